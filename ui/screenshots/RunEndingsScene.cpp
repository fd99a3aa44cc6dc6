// The main window after runs that did not end as a normal completion: a
// search the user stopped (its summary and the line saying the list is
// incomplete), and a search whose start folder does not exist (the message
// box over the window, the refusal in the list).
#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QtDebug>

#include <cstdint>
#include <string_view>

#include "engine/Messages.h"
#include "engine/log/RunLog.h"
#include "platform/Clock.h"
#include "results/ResultList.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/MainFrameCommand.h"
#include "ui/results/ResultsPane.h"
#include "ui/screenshots/ScreenshotScenes.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormWidget.h"

namespace tarnwick::screenshots {
namespace {

constexpr std::string_view kWord = "spin_lock";

void AddFileWithHits(ResultList& list, const char* path, std::initializer_list<std::pair<std::int64_t, std::string_view>> hits)
{
    list.AddNoteItem(path, ItemKind::File, static_cast<std::int32_t>(hits.size()));
    for (const auto& [position, context] : hits) {
        const auto start = static_cast<std::int32_t>(context.find(kWord));
        list.AddHitItem(position, static_cast<std::int32_t>(kWord.size()), context, start, ItemKind::None, -1);
    }
}

// What the list holds when the user stops a search of a kernel tree early.
void FillStoppedSearch(ResultList& list)
{
    list.AddFileItem(SearchHeaderLine(kWord), ItemKind::Info);
    AddFileWithHits(list, "/home/anna/linux/drivers/net/ethernet/intel/e1000/e1000_main.c",
                    {{48'211, "\tspin_lock(&adapter->stats_lock);"}, {48'902, "\tspin_lock(&adapter->stats_lock);"}});
    AddFileWithHits(list, "/home/anna/linux/kernel/sched/core.c",
                    {{12'007, "\tspin_lock(&p->pi_lock);"},
                     {96'544, "\t\tspin_lock(&rq->__lock);"},
                     {101'730, "\tspin_lock(&dst_rq->lock); /* see comment above */"}});
    AddFileWithHits(list, "/home/anna/linux/mm/page_alloc.c", {{71'381, "\tspin_lock(&zone->lock);"}});
    list.AddFileItem(SearchSummary(6, 3), ItemKind::Info);
    list.AddFileItem(text::kRunStopped, ItemKind::Info);
}

struct Window {
    QTemporaryDir dir;
    FixedClock clock{1'710'408'600};
    ui::ProgramWindow window{setup()};

    ui::ProgramSetup setup()
    {
        ui::ProgramSetup s;
        s.profilePath = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
        s.clock = &clock;
        return s;
    }
};

// No `size`: the usual one, or the size the run was asked for.
void RenderStopped(const QString& pngPath, QSize size = QSize())
{
    Window w;
    w.window.controller().setComboText(ui::FormCombo::SearchText, std::string(kWord));
    w.window.controller().setComboText(ui::FormCombo::Directory, "/home/anna/linux");
    w.window.form().refresh();
    FillStoppedSearch(w.window.resultList());
    w.window.results().catchUp();
    w.window.frame().resize(size.isValid() ? size : WindowSize(QSize(1000, 680)));
    SaveWindowShot(w.window.frame(), pngPath);
}

// The search is started as the user starts it; the message box it shows is
// grabbed while it is open, then closed, and drawn over the window.
void RenderMissingFolder(const QString& pngPath)
{
    Window w;
    w.window.controller().setComboText(ui::FormCombo::SearchText, "Archivserver");
    w.window.controller().setComboText(ui::FormCombo::Directory, "/home/anna/projekte/archiv");
    w.window.form().refresh();
    w.window.frame().resize(WindowSize(QSize(1000, 680)));
    w.window.frame().show();
    QPixmap box;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        for (int round = 0; round < 5; ++round) QApplication::processEvents();
        box = dialog->grab();
        title = dialog->windowTitle();
        dialog->accept();
    });
    w.window.frame().action(ui::FrameCommand::StartSearch)->trigger();
    w.window.results().catchUp();
    for (int round = 0; round < 5; ++round) QApplication::processEvents();
    if (box.isNull()) {
        qWarning("the missing folder showed no message");
        return;
    }
    if (!ShotWithDialog(w.window.frame(), box, title).save(pngPath, "PNG")) qWarning("cannot write %s", qPrintable(pngPath));
}

const SceneRegistration kStopped{QStringLiteral("run-stopped"), [](const QString& path) { RenderStopped(path); }};
const SceneRegistration kStoppedSmall{QStringLiteral("run-stopped-1024x768"),
                                      [](const QString& path) { RenderStopped(path, QSize(1024, 768)); }};
const SceneRegistration kStoppedLarge{QStringLiteral("run-stopped-1920x1080"),
                                      [](const QString& path) { RenderStopped(path, QSize(1920, 1080)); }};
const SceneRegistration kMissingFolder{QStringLiteral("run-missing-folder"), &RenderMissingFolder};

}  // namespace
}  // namespace tarnwick::screenshots
