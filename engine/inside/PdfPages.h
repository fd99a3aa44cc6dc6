#pragma once
// The text of a PDF's pages through poppler-cpp, read only, one page at a
// time so that a long document is never held as text whole: each page's
// text in reading order, UTF-8, pages numbered from 1 and named
// "Seite N". Not thread-safe; one object per file.
#include <memory>
#include <string>

#include "engine/inside/TextPage.h"
#include "platform/Expected.h"

namespace poppler {
class document;
}

namespace tarnwick::inside {

class PdfPages {
public:
    // Fails (InsideError.h) with the system's code when the file cannot be
    // opened, Encrypted for a file that needs a password to be read, Damaged.
    static Expected<PdfPages> open(const std::string& path);
    ~PdfPages();
    PdfPages(PdfPages&&) noexcept;
    PdfPages& operator=(PdfPages&&) noexcept;

    int pageCount() const { return m_pageCount; }
    // Page `number` (1 to pageCount()); Damaged for a page that cannot be read.
    Expected<TextPage> page(int number) const;

    static std::string pageName(int number);

private:
    explicit PdfPages(std::unique_ptr<poppler::document> document);

    std::unique_ptr<poppler::document> m_document;
    int m_pageCount = 0;
};

}  // namespace tarnwick::inside
