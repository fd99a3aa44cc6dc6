// The search form filled in as a user might have left it, expanded and
// collapsed (with the line of the filters it hides), in the main window.
#include <QSize>
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "settings/FormSettings.h"
#include "settings/ProfileStore.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

// Stored settings of an earlier session, as the form writes them.
void WriteEarlierSession(const std::string& profile, bool expanded)
{
    settings::ProfileStore store(profile);
    settings::ProfileStore::Batch batch(store);
    const char* form = settings::kFormSection;
    batch.WriteProfileString(form, "Suchstring", "Rechnungsnummer");
    batch.WriteProfileString(form, "Suchstring1", "Angebot");
    batch.WriteProfileString(form, "Ersetzstring", "Belegnummer");
    batch.WriteProfileString(form, "Verz0", "/home/anna/Dokumente/Rechnungen");
    batch.WriteProfileString(form, "Verz1", "/home/anna/Projekte");
    batch.WriteProfileString(form, "Dateitypen", "#.txt; .csv;#*.h;*.cpp;");
    batch.WriteProfileString(form, "Dateinamenstrings", "%2024;");
    batch.WriteProfileInt(form, "Unterordner durchs", 1);
    batch.WriteProfileInt(form, "Dateinamen durchsuchen", 1);
    batch.WriteProfileInt(form, "Groesse", 1);
    batch.WriteProfileInt(form, "Max Groesse", 2048);
    batch.WriteProfileInt(form, "Dateiatribute", 2);
    batch.WriteProfileInt(form, "Nach Dat durchs", 1);
    batch.WriteProfileInt(form, "Erstellt", 0);
    batch.WriteProfileInt(form, "Geändert", 1);
    batch.WriteProfileInt(form, "Datum relativ", 1);
    batch.WriteProfileInt(form, "Datum relativ Anzahl", 14);
    batch.WriteProfileInt(form, "Erweiterte Ansicht", expanded ? 1 : 0);
    (void)batch.commit();
}

// No `size`: the usual one, or the size the run was asked for.
void RenderForm(const QString& pngPath, bool expanded, QSize size = QSize())
{
    QTemporaryDir dir;
    const std::string profile = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    WriteEarlierSession(profile, expanded);
    const FixedClock clock(1'710'408'600);
    ui::ProgramSetup setup;
    setup.profilePath = profile;
    setup.clock = &clock;
    ui::ProgramWindow window(setup);
    window.frame().resize(size.isValid() ? size : WindowSize(QSize(1000, 720)));
    SaveWindowShot(window.frame(), pngPath);
}

void RenderExpanded(const QString& pngPath) { RenderForm(pngPath, true); }
void RenderCollapsed(const QString& pngPath) { RenderForm(pngPath, false); }

const SceneRegistration kExpanded{QStringLiteral("form-expanded"), &RenderExpanded};
const SceneRegistration kCollapsed{QStringLiteral("form-collapsed"), &RenderCollapsed};
// The smallest screen the form is laid out for, and a large one.
const SceneRegistration kExpandedSmall{QStringLiteral("form-expanded-1024x768"),
                                       [](const QString& path) { RenderForm(path, true, QSize(1024, 768)); }};
const SceneRegistration kCollapsedSmall{QStringLiteral("form-collapsed-1024x768"),
                                        [](const QString& path) { RenderForm(path, false, QSize(1024, 768)); }};
const SceneRegistration kExpandedLarge{QStringLiteral("form-expanded-1920x1080"),
                                       [](const QString& path) { RenderForm(path, true, QSize(1920, 1080)); }};
const SceneRegistration kCollapsedLarge{QStringLiteral("form-collapsed-1920x1080"),
                                        [](const QString& path) { RenderForm(path, false, QSize(1920, 1080)); }};

}  // namespace
}  // namespace tarnwick::screenshots
