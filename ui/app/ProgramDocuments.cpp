#include "ui/app/ProgramDocuments.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "ui/common/EngineText.h"
#include "ui/frame/DocumentOpenRules.h"
#include "ui/frame/MainFrame.h"
#include "ui/results/ResultTarget.h"
#include "ui/results/ResultsPane.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormPrompts.h"
#include "ui/searchform/SearchFormWidget.h"
#include "ui/viewer/DocumentWindow.h"
#include "ui/viewer/ViewerAccess.h"

namespace tarnwick::ui {
namespace {

// "&1 /home/anna/brief.txt": an ampersand of the path is shown, not taken
// as the access key.
QString RecentEntryText(std::size_t index, const std::string& path)
{
    QString shown = fromPath(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

QMenu* MenuHolding(QAction* action)
{
    if (action == nullptr) return nullptr;
    for (QObject* object : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(object)) return menu;
    return nullptr;
}

}  // namespace

ProgramDocuments::ProgramDocuments(ProgramDocumentParts parts)
    : m_parts(std::move(parts)), m_documentWindow(std::make_unique<DocumentWindow>()),
      m_word(m_parts.wordFactory, m_documentWindow.get()), m_opener(m_parts.results.results(), m_parts.codePage, *this),
      m_office(
          m_parts.writerAvailable, m_parts.writerShow,
          [this](std::function<void()> call) { QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection); },
          [this](const DocumentHit& hit) { m_opener.showInDocumentWindow(hit.path, hit.story, hit.position, hit.length); },
          m_parts.writerStuckAfter)
{
    m_chooseFile = [this] {
        // The dialog starts where the file shown now lies (an archive's
        // folder for a file shown from inside it).
        ViewerAccess* shown = viewer();
        return QFileDialog::getOpenFileName(&m_parts.frame, QStringLiteral("Öffnen"),
                                            ExistingFolderOf(shown != nullptr ? shown->currentPath() : QString()));
    };
    MainFrame& frame = m_parts.frame;
    m_parts.results.setOpenInViewerHandler([this](ItemHandle item) { openResult(item); });
    connect(&m_parts.form, &SearchFormWidget::releaseViewerDocuments, this, [this] { quitWord(); });
    connect(&frame, &MainFrame::fileDropped, this, [this](const QString& path) { openDocumentFile(path); });
    connect(&frame, &MainFrame::activeTabChanged, this, &ProgramDocuments::onActiveTabChanged);
    if (QAction* open = frame.action(FrameCommand::FileOpen))
        connect(open, &QAction::triggered, this, [this] { chooseAndOpenFile(); });
    m_recent.read(m_parts.store);
    rebuildRecentMenu();
}

ProgramDocuments::~ProgramDocuments()
{
    // The connection quits the word processor before its window goes.
    m_word.quit();
}

bool ProgramDocuments::openDocumentFile(const QString& path)
{
    ViewerAccess* shownIn = viewer();
    if (path.isEmpty() || shownIn == nullptr) return false;
    const QString absolute = AbsoluteDocumentPath(path);
    const QString refusal = OpenRefusal(absolute);
    if (!refusal.isEmpty()) {
        m_parts.prompts.showMessage(refusal.toStdString());
        return false;
    }
    if (!shownIn->openFile(absolute)) return false;
    showPreviewPage();
    m_parts.frame.setWindowTitle(MainWindowTitle(absolute));
    rememberRecentFile(absolute);
    return true;
}

void ProgramDocuments::chooseAndOpenFile()
{
    const QString path = m_chooseFile ? m_chooseFile() : QString();
    if (!path.isEmpty()) openDocumentFile(path);
}

void ProgramDocuments::openRecentFile(std::size_t index)
{
    if (index >= m_recent.entries().size() || viewer() == nullptr) return;
    if (openDocumentFile(fromPath(m_recent.entries()[index]))) return;
    m_recent.remove(index);
    IgnoreFailure(m_recent.write(m_parts.store));
    rebuildRecentMenu();
}

void ProgramDocuments::openResult(ItemHandle item) { m_opener.open(item); }

void ProgramDocuments::onActiveTabChanged(int tab)
{
    if (tab != MainFrame::kPreviewTab || m_showingPreview) return;
    // The worker reads the marks while it replaces in them.
    if (m_parts.results.commands().isSelectedReplaceRunning()) return;
    const ResultList& list = m_parts.results.results();
    const std::vector<ItemHandle> selected = list.SelectedItems();
    if (!OpensOnPreviewTab(list, selected)) return;
    m_openingForPreviewTab = true;
    openResult(selected.front());
    m_openingForPreviewTab = false;
}

RunKind ProgramDocuments::lastRunKind() const { return m_parts.controller.runs().lastRunKind(); }

std::string ProgramDocuments::workerReplacement() const { return m_parts.controller.runs().workerReplacement(); }

std::int64_t ProgramDocuments::splitLength() const { return m_parts.controller.state().options.splitLength; }

void ProgramDocuments::showPreviewPage()
{
    m_showingPreview = true;
    m_parts.frame.showPreviewTab();
    m_showingPreview = false;
}

bool ProgramDocuments::showInOffice(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                                    std::int64_t length)
{
    return m_office.show(DocumentHit{path, position, length, story});
}

WordShowOutcome ProgramDocuments::showInWord(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                                             std::int64_t length)
{
    return m_word.show(path, position, length, story);
}

bool ProgramDocuments::showPdfPage(const std::string& path, int page)
{
    return !m_openingForPreviewTab && m_parts.pdfPageShow && m_parts.pdfPageShow(path, page);
}

void ProgramDocuments::showMessage(std::string_view text) { m_parts.prompts.showMessage(text); }

void ProgramDocuments::rememberRecentFile(const QString& path)
{
    m_recent.add(toPath(path));
    IgnoreFailure(m_recent.write(m_parts.store));
    rebuildRecentMenu();
}

void ProgramDocuments::rebuildRecentMenu()
{
    QAction* placeholder = m_parts.frame.action(FrameCommand::RecentFile);
    QMenu* menu = MenuHolding(placeholder);
    // An entry may be the one being triggered: it goes once its signal is done.
    for (QAction* entry : m_recentActions) {
        if (menu != nullptr) menu->removeAction(entry);
        entry->deleteLater();
    }
    m_recentActions.clear();
    if (placeholder == nullptr) return;
    const auto& entries = m_recent.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* entry = new QAction(RecentEntryText(i, entries[i]), this);
        entry->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        entry->setStatusTip(fromPath(entries[i]));
        connect(entry, &QAction::triggered, this, [this, i] { openRecentFile(i); });
        if (menu != nullptr) menu->insertAction(placeholder, entry);
        m_recentActions.push_back(entry);
    }
    // Without entries the menu shows "Letzte Datei", disabled, in their place.
    placeholder->setVisible(entries.empty());
    placeholder->setEnabled(false);
}

}  // namespace tarnwick::ui
