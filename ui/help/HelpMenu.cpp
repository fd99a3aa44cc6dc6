#include "ui/help/HelpMenu.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include "settings/UpdateSettings.h"
#include "ui/common/EngineText.h"
#include "ui/help/AboutBox.h"
#include "ui/help/HelpMenuTexts.h"
#include "ui/help/TipsDialog.h"
#include "ui/help/UpdateCheckDialog.h"
#include "ui/searchform/SearchFormController.h"

namespace tarnwick::ui {
namespace {

// QDesktopServices::openUrl of the file's URL.
bool OpenInDesktop(const std::string& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(fromPath(path))); }

}  // namespace

HelpMenu::HelpMenu(QWidget& window, SearchFormController& form, settings::ProfileStore& store, std::string programDirectory)
    : m_window(window), m_form(form), m_store(store), m_programDirectory(std::move(programDirectory)),
      m_help(std::make_unique<HelpLauncher>(m_programDirectory, &OpenInDesktop))
{
}

HelpMenu::~HelpMenu() = default;

void HelpMenu::setHelpOpener(HelpLauncher::Opener opener)
{
    m_help = std::make_unique<HelpLauncher>(m_programDirectory, std::move(opener));
}

void HelpMenu::showHelp() { m_help->Show(); }

void HelpMenu::showTips()
{
    if (m_tips)
        m_tips(&m_window);
    else
        ShowTips(&m_window, m_store, m_programDirectory);
}

void HelpMenu::showStartUpTip() { ShowTipsAtStartUp(&m_window, m_store, m_programDirectory); }

void HelpMenu::showAbout()
{
    std::optional<UpdateChoice> choice;
    if (m_about) {
        choice = m_about(&m_window);
    } else {
        // The server is read when the user asks, so a changed setting counts.
        settings::ProfileStore& store = m_store;
        AboutBox box([&store](QWidget* parent) { return RunUpdateCheck(parent, settings::ReadUpdateServer(store)); }, &m_window);
        box.exec();
        choice = box.updateChoice();
    }
    if (choice) startUpdate(*choice);
}

void HelpMenu::startUpdate(const UpdateChoice& choice)
{
    UpdaterLauncher& launcher = m_launcher != nullptr ? *m_launcher : m_detached;
    if (!StartUpdater(choice, m_programDirectory, launcher)) {
        const QString text = qs(text::help::kUpdaterStartFailed);
        if (m_message) {
            m_message(&m_window, text);
        } else {
            QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, &m_window);
            box.exec();
        }
        return;
    }
    // The usual close: the form writes its settings, the viewer may ask
    // about unsaved changes. The updater waits for the program to end.
    m_form.MarkClosingForUpdate();
    m_window.close();
}

}  // namespace tarnwick::ui
