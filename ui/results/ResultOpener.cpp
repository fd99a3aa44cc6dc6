#include "ui/results/ResultOpener.h"

#include <sys/stat.h>

#include "ui/common/EngineText.h"
#include "ui/results/ResultTarget.h"
#include "ui/results/RunKind.h"
#include "ui/viewer/ViewerAccess.h"
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
    struct stat info {};
    // A file that has gone since the run is silently left alone.
    if (!target || target->path.empty() || ::stat(target->path.c_str(), &info) != 0) return;
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
