#include "engine/inside/PdfPages.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <mutex>

#include "engine/Messages.h"
#include "engine/inside/InsideError.h"
#include "engine/inside/InsideMessages.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick::inside {
namespace {

// poppler writes what it finds wrong in a file to standard error; a search
// reports a file it cannot read as an error item instead.
void silencePoppler()
{
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr); });
}

}  // namespace

PdfPages::PdfPages(std::unique_ptr<poppler::document> document)
    : m_document(std::move(document)), m_pageCount(m_document->pages())
{
}

PdfPages::~PdfPages() = default;
PdfPages::PdfPages(PdfPages&&) noexcept = default;
PdfPages& PdfPages::operator=(PdfPages&&) noexcept = default;

Expected<PdfPages> PdfPages::open(const std::string& path)
{
    silencePoppler();
    {
        // What the engine's own open would refuse (no permission, a FIFO, a
        // lock another program holds) is refused here with the system's text.
        InputFile file;
        if (const std::error_code error = file.open(path))
            return systemFailure(error, text::kCannotOpenFile + SystemErrorText(error));
    }
    std::unique_ptr<poppler::document> document(poppler::document::load_from_file(path));
    if (!document)
        return InsideFailure(InsideErrorKind::Damaged, std::string(text::kInsideDamagedPdf) + "sie lässt sich nicht lesen.");
    if (document->is_locked()) return InsideFailure(InsideErrorKind::Encrypted, text::kInsideEncryptedPdf);
    return PdfPages(std::move(document));
}

Expected<TextPage> PdfPages::page(int number) const
{
    TextPage page{pageName(number), {}};
    const std::unique_ptr<poppler::page> pdfPage(number >= 1 && number <= m_pageCount ? m_document->create_page(number - 1)
                                                                                      : nullptr);
    if (!pdfPage)
        return InsideFailure(InsideErrorKind::Damaged,
                             std::string(text::kInsideDamagedPdf) + "die Seite lässt sich nicht lesen.");
    // Reading order, as a reader of the page sees it, not the order in which
    // the file happens to draw its pieces.
    const poppler::byte_array utf8 = pdfPage->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
    page.text.assign(utf8.begin(), utf8.end());
    return page;
}

std::string PdfPages::pageName(int number) { return text::kInsidePdfPage + std::to_string(number); }

}  // namespace tarnwick::inside
