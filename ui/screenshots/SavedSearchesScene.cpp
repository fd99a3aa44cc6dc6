// "Gespeicherte Suchen" with a few searches, and the menu "Suchen/Ersetzen"
// with the commands to save a search and to copy it as a command line.
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "settings/ProfileStore.h"
#include "settings/SavedSearches.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/screenshots/ScreenshotScenes.h"
#include "ui/searchform/SavedSearchesDialog.h"

namespace tarnwick::screenshots {
namespace {

void StoreSearches(const std::string& profile)
{
    settings::ProfileStore store(profile);
    std::vector<settings::SavedSearch> searches;
    for (const char* name : {"Rechnungen 2024", "TODO in Quelltexten", "Protokolle der letzten Woche"}) {
        settings::FormState form;
        form.searchTexts.text = name;
        (void)settings::PutSavedSearch(searches, name, form);  // names the list does not have yet
    }
    IgnoreFailure(settings::StoreSavedSearches(store, searches));
}

void RenderSavedSearches(const QString& pngPath)
{
    QTemporaryDir dir;
    const std::string profile = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    StoreSearches(profile);
    const FixedClock clock(1'710'408'600);
    ui::ProgramSetup setup;
    setup.profilePath = profile;
    setup.clock = &clock;
    ui::ProgramWindow window(setup);
    ui::SavedSearchesDialog dialog(window.controller(), CodePage::system());
    dialog.resize(460, 240);
    SaveWindowShot(dialog, pngPath);
}

void RenderSearchMenu(const QString& pngPath)
{
    QTemporaryDir dir;
    const FixedClock clock(1'710'408'600);
    ui::ProgramSetup setup;
    setup.profilePath = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    setup.clock = &clock;
    ui::ProgramWindow window(setup);
    QMenu* menu = window.frame().menuBar()->actions().at(1)->menu();
    SaveWindowShot(*menu, pngPath);
}

const SceneRegistration kSavedSearches{QStringLiteral("saved-searches"), &RenderSavedSearches};
const SceneRegistration kSearchMenu{QStringLiteral("menu-search-replace"), &RenderSearchMenu};

}  // namespace
}  // namespace tarnwick::screenshots
