#include "ui/help/HelpMenu.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

#include "settings/UpdateSettings.h"
#include "ui/common/EngineText.h"
#include "ui/help/AboutBox.h"
#include "ui/help/HelpMenuTexts.h"
#include "ui/help/TipsDialog.h"
#include "ui/help/UpdateCheckDialog.h"
#include "ui/searchform/SearchFormController.h"

namespace tarnwick::ui {

HelpMenu::HelpMenu(QWidget& window, SearchFormController& form, settings::ProfileStore& store, std::string programDirectory)
    : m_window(window), m_form(form), m_store(store), m_programDirectory(std::move(programDirectory))
{
    setHelpSource(m_programDirectory, [this](const std::string& target, std::function<void(const BrowserAnswer&)> done) {
        m_desktop.open(target, std::move(done));
    });
}

// The help window is the main window's child, but it calls this object.
HelpMenu::~HelpMenu() { delete m_helpWindow.data(); }

void HelpMenu::setHelpSource(std::string programDirectory, BrowserOpener opener)
{
    m_help = std::make_unique<HelpLauncher>(std::move(programDirectory), std::move(opener), static_cast<HelpDisplay&>(*this));
}

void HelpMenu::showHelp() { m_help->show(); }

void HelpMenu::showHelpWindow(const std::string& page, const std::string& note)
{
    if (!m_helpWindow) {
        m_helpWindow = new HelpWindow(&m_window);
        QObject::connect(m_helpWindow, &HelpWindow::externalLinkActivated,
                         [this](const QString& target) { m_help->openAddress(toPath(target)); });
    }
    m_helpWindow->showPage(fromPath(page), QString::fromStdString(note));
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void HelpMenu::showHelpNote(const std::string& note)
{
    if (m_helpWindow) m_helpWindow->setNote(QString::fromStdString(note));
}

void HelpMenu::showHelpMessage(const std::string& text) { showMessage(QString::fromStdString(text)); }

void HelpMenu::showMessage(const QString& text)
{
    if (m_message) {
        m_message(&m_window, text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, &m_window);
    box.exec();
}

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
        showMessage(qs(text::help::kUpdaterStartFailed));
        return;
    }
    // The usual close: the form writes its settings, the viewer may ask
    // about unsaved changes. The updater waits for the program to end.
    m_form.markClosingForUpdate();
    m_window.close();
}

}  // namespace tarnwick::ui
