#pragma once
// "&Hilfe": the program's HTML help (help/index.html beside the program, or
// in the installed share directory), handed to the desktop's browser. Where
// no browser takes it (none is registered, or it fails), the help is shown
// in the program's own help window, which says what failed. Help that is
// missing or cannot be read is a message: a request never ends in silence.
// Once missing, the help is not sought again; once the browser has failed,
// later requests go straight to the own window. Plain C++; the browser and
// the display are injected. UI thread only.
#include <QUrl>

#include <functional>
#include <memory>
#include <string>

namespace tarnwick::ui {

// How handing a page or an address to the browser ended.
struct BrowserAnswer {
    bool opened = false;
    std::string failure;  // German: what failed, when not opened
};

// Hands `target` (a local file or an address) to the desktop's browser and
// calls `done` once with the outcome, at once or later.
using BrowserOpener = std::function<void(const std::string& target, std::function<void(const BrowserAnswer&)> done)>;

// Where the help appears when the browser does not show it.
class HelpDisplay {
public:
    virtual ~HelpDisplay() = default;
    // The program's own help window on `page`, with `note` in it.
    virtual void showHelpWindow(const std::string& page, const std::string& note) = 0;
    // A new note in the help window (a link that could not be followed).
    virtual void showHelpNote(const std::string& note) = 0;
    // The help cannot be shown at all.
    virtual void showHelpMessage(const std::string& text) = 0;
};

class HelpLauncher {
public:
    // `display` must outlive this object; answers that arrive after it is
    // gone are dropped.
    HelpLauncher(std::string programDirectory, BrowserOpener opener, HelpDisplay& display);
    ~HelpLauncher();

    void show();
    // A link of the own window that leads out of the help: to the browser;
    // when that fails, the address is shown as text.
    void openAddress(const std::string& address);

    bool isUnavailable() const;
    bool hasBrowserFailed() const;

private:
    struct State;
    std::shared_ptr<State> m_state;  // shared with the answers still to come
};

// Whether the own window shows `link` itself (a page of the help or a place
// in one), or hands it on: only local HTML files are help pages.
bool IsHelpPage(const QUrl& link);

}  // namespace tarnwick::ui
