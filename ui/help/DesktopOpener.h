#pragma once
// Hands a file or an address to the desktop's opener (xdg-open) and tells
// whether the browser took it. QDesktopServices cannot say: it only starts
// xdg-open, which reports a missing browser on its standard error and in its
// exit status. And where xdg-open starts the browser itself, it waits for
// the browser to end. So xdg-open runs as a child in a session of its own:
// an exit status other than 0 within the grace period is a failure, one still
// running after it counts as opened. Later exits are only reaped; a child is
// never killed, so a browser it started outlives this program. UI thread
// only (a timer looks after the children).
#include <QObject>
#include <QTimer>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "ui/help/HelpLauncher.h"

namespace tarnwick::ui {

class DesktopOpener : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultGrace{8000};

    // `program` is looked up in PATH unless it holds a '/'.
    explicit DesktopOpener(std::string program = "xdg-open", std::chrono::milliseconds grace = kDefaultGrace,
                           QObject* parent = nullptr);
    ~DesktopOpener() override;

    // Calls `done` once: at once when the program cannot be started, else
    // from the event loop.
    void open(const std::string& target, std::function<void(const BrowserAnswer&)> done);

private:
    struct Child {
        pid_t pid;
        std::chrono::steady_clock::time_point deadline;
        std::function<void(const BrowserAnswer&)> done;  // empty once answered
    };

    void poll();

    std::string m_program;
    std::chrono::milliseconds m_grace;
    QTimer m_timer;
    std::vector<Child> m_children;
};

}  // namespace tarnwick::ui
