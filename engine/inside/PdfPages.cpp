#include "engine/inside/PdfPages.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <mutex>

#include "engine/Messages.h"
#include "engine/inside/InsideError.h"
#include "engine/inside/InsideMessages.h"
#include "engine/inside/InsidePath.h"
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

PdfPages::PdfPages(const std::string& path) : m_path(path)
{
    silencePoppler();
    {
        // What the engine's own open would refuse (no permission, a FIFO, a
        // lock another program holds) is refused here with the system's text.
        InputFile file;
        if (const std::error_code error = file.open(path))
            throw InsideError(InsideErrorKind::CannotOpen, path, text::kCannotOpenFile + SystemErrorText(error));
    }
    m_document.reset(poppler::document::load_from_file(path));
    if (!m_document)
        throw InsideError(InsideErrorKind::Damaged, path, std::string(text::kInsideDamagedPdf) + "sie lässt sich nicht lesen.");
    if (m_document->is_locked()) throw InsideError(InsideErrorKind::Encrypted, path, text::kInsideEncryptedPdf);
    m_pageCount = m_document->pages();
}

PdfPages::~PdfPages() = default;

TextPage PdfPages::page(int number) const
{
    TextPage page{pageName(number), {}};
    const std::unique_ptr<poppler::page> pdfPage(number >= 1 && number <= m_pageCount ? m_document->create_page(number - 1)
                                                                                      : nullptr);
    if (!pdfPage)
        throw InsideError(InsideErrorKind::Damaged, InsidePath(m_path, page.name),
                          std::string(text::kInsideDamagedPdf) + "die Seite lässt sich nicht lesen.");
    // Reading order, as a reader of the page sees it, not the order in which
    // the file happens to draw its pieces.
    const poppler::byte_array utf8 = pdfPage->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
    page.text.assign(utf8.begin(), utf8.end());
    return page;
}

std::string PdfPages::pageName(int number) { return text::kInsidePdfPage + std::to_string(number); }

}  // namespace tarnwick::inside
