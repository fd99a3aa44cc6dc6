#pragma once
// The commands of the menu "&?": the About box (with the update check and
// the updater's start), the help (in the browser, else in the program's own
// help window) and the tips of the day, and the tip shown at start-up. The
// dialogs, the help's browser and the updater's start can be replaced, so
// tests drive the commands without starting programs. User interface
// thread only.
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/help/DesktopOpener.h"
#include "ui/help/HelpLauncher.h"
#include "ui/help/HelpWindow.h"
#include "ui/help/UpdaterLaunch.h"

class QWidget;

namespace tarnwick::settings {
class ProfileStore;
}

namespace tarnwick::ui {

class SearchFormController;

class HelpMenu : private HelpDisplay {
public:
    // Shows the About box; the user's choice when the update check ended
    // with "Aktualisieren".
    using AboutRunner = std::function<std::optional<UpdateChoice>(QWidget* parent)>;
    using TipsRunner = std::function<void(QWidget* parent)>;
    using MessageSink = std::function<void(QWidget* parent, const QString& text)>;

    // `window` is the main window, closed after the updater has started;
    // all references must outlive this object.
    HelpMenu(QWidget& window, SearchFormController& form, settings::ProfileStore& store, std::string programDirectory);
    ~HelpMenu() override;

    void showAbout();
    void showHelp();
    void showTips();
    // Once, after the main window is shown, unless the tips are switched off.
    void showStartUpTip();

    void setAboutRunner(AboutRunner runner) { m_about = std::move(runner); }
    void setTipsRunner(TipsRunner runner) { m_tips = std::move(runner); }
    // Where the help is looked for (the program's directory) and the browser
    // it is handed to.
    void setHelpSource(std::string programDirectory, BrowserOpener opener);
    // Not owned; null goes back to starting programs for real.
    void setUpdaterLauncher(UpdaterLauncher* launcher) { m_launcher = launcher; }
    void setMessageSink(MessageSink sink) { m_message = std::move(sink); }

    const HelpLauncher& help() const { return *m_help; }
    // The own help window once it has been shown; else null.
    HelpWindow* helpWindow() const { return m_helpWindow; }

private:
    void startUpdate(const UpdateChoice& choice);
    void showMessage(const QString& text);

    // HelpDisplay
    void showHelpWindow(const std::string& page, const std::string& note) override;
    void showHelpNote(const std::string& note) override;
    void showHelpMessage(const std::string& text) override;

    QWidget& m_window;
    SearchFormController& m_form;
    settings::ProfileStore& m_store;
    std::string m_programDirectory;
    DesktopOpener m_desktop;
    std::unique_ptr<HelpLauncher> m_help;
    QPointer<HelpWindow> m_helpWindow;  // a child of the main window
    AboutRunner m_about;
    TipsRunner m_tips;
    DetachedUpdaterLauncher m_detached;
    UpdaterLauncher* m_launcher = nullptr;
    MessageSink m_message;
};

}  // namespace tarnwick::ui
