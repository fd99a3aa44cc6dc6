#include "ui/results/ResultOpener.h"

#include <sys/stat.h>

#include "engine/inside/InnerFileExtract.h"
#include "ui/common/EngineText.h"
#include "ui/results/ResultTarget.h"
#include "ui/results/RunKind.h"
#include "ui/viewer/ViewerAccess.h"
#include "ui/viewer/ViewerTexts.h"
#include "ui/viewer/ViewerWordConnection.h"
#include "word/automation/Automation.h"
#include "word/open/FileSniffer.h"

namespace tarnwick::ui {
namespace {

bool isLegacyDocument(const std::string& path)
{
    try {
        return word::SniffDocument(path) == word::DocumentKind::LegacyBinary;
    } catch (const word::ServerError&) {
        return false;  // the document window reports what is wrong with it
    }
}

}  // namespace

ResultOpener::ResultOpener(const ResultList& list, const CodePage& codePage, ResultOpenerHost& host)
    : m_list(list), m_codePage(codePage), m_host(host)
{
}

void ResultOpener::open(ItemHandle item)
{
    const std::optional<ResultTarget> target = ResultTargetOf(m_list, item);
    if (!target || target->path.empty()) return;
    struct stat info {};
    if (::stat(target->path.c_str(), &info) != 0) {
        // No file by that name: a path into an archive or a PDF, or a file
        // that has gone since the run, which is silently left alone.
        openInside(*target);
        return;
    }
    const std::int64_t length = SelectionLength(*target, m_host.lastRunKind(), m_host.workerReplacement(), m_codePage);

    if (target->fileKind == ItemKind::Document) {
        if (m_host.showInOffice(target->path, target->story, target->position, length)) return;
        showInDocumentWindow(target->path, target->story, target->position, length);
        return;
    }

    ViewerAccess* viewer = m_host.viewer();
    if (viewer == nullptr) return;
    // A file the viewer refuses (too large and declined, unreadable) still
    // leaves the page "Vorschau" in front, with nothing selected.
    viewer->openForResult(fromPath(target->path), target->position.value_or(-1), target->position ? length : 0,
                          m_host.splitLength());
    m_host.showPreviewPage();
}

void ResultOpener::openInside(const ResultTarget& target)
{
    // A replace never writes there: the hit is still what was found.
    const std::int64_t length = target.matchLength;
    const std::optional<inside::OuterFileSplit> split = inside::SplitAtOuterFile(target.path);
    if (!split) return;
    if (const std::optional<int> page = inside::PdfPageOf(*split); page && m_host.showPdfPage(split->outer, *page)) return;
    ViewerAccess* viewer = m_host.viewer();
    if (viewer == nullptr) return;
    const QString name = fromPath(target.path);
    // Read into memory only: nothing found inside a file is written to disk.
    const auto read = [&target, &name] {
        ViewerInnerRead result;
        const Expected<inside::InnerContent> content = inside::ExtractInnerFile(target.path);
        if (!content) {
            result.error = viewertext::CannotRead().arg(name, QString::fromStdString(content.error().detail));
            return result;
        }
        result.bytes = QByteArray(content.value().bytes.data(), static_cast<qsizetype>(content.value().bytes.size()));
        result.isPageText = content.value().isPageText;
        return result;
    };
    viewer->openInnerForResult(name, read, target.position.value_or(-1), target.position ? length : 0, m_host.splitLength());
    m_host.showPreviewPage();
}

void ResultOpener::showInDocumentWindow(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                                        std::int64_t length)
{
    if (!story.isMainText() && isLegacyDocument(path)) {
        m_host.showMessage(kDocPartNeedsWriterMessage);
        return;
    }
    switch (m_host.showInWord(path, story, position, length)) {
    case WordShowOutcome::Shown: break;
    case WordShowOutcome::NoConnection: m_host.showMessage(kWordCannotStartMessage); break;
    case WordShowOutcome::Failed: m_host.showMessage(kWordShowFailedMessage); break;
    }
}

}  // namespace tarnwick::ui
