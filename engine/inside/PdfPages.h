#pragma once
// The text of a PDF's pages through poppler-cpp, read only, one page at a
// time so that a long document is never held as text whole: each page's
// text in reading order, UTF-8, pages numbered from 1 and named
// "Seite N". Not thread-safe; one object per file.
#include <memory>
#include <string>

#include "engine/inside/TextPage.h"

namespace poppler {
class document;
}

namespace tarnwick::inside {

class PdfPages {
public:
    // Throws InsideError: CannotOpen (the system's text), Encrypted for a
    // file that needs a password to be read, Damaged.
    explicit PdfPages(const std::string& path);
    ~PdfPages();
    PdfPages(const PdfPages&) = delete;
    PdfPages& operator=(const PdfPages&) = delete;

    int pageCount() const { return m_pageCount; }
    // Page `number` (1 to pageCount()). Throws InsideError (Damaged) for a
    // page that cannot be read.
    TextPage page(int number) const;

    static std::string pageName(int number);

private:
    std::string m_path;
    std::unique_ptr<poppler::document> m_document;
    int m_pageCount = 0;
};

}  // namespace tarnwick::inside
