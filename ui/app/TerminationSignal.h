#pragma once
// SIGTERM (a logout, a shutdown, `kill`) closes the desktop program the way
// the user would: through the main window's close sequence, so the form's
// settings and the window's placement are saved. The handler only writes to
// a socket pair; the notifier turns that into a queued call on the user
// interface thread. The first request closes the window; a second one (the
// close was cancelled, say by the viewer's question about unsaved changes)
// quits at once: the settings were written by the first.
//
// One object per process; it restores the previous handler when it goes.
#include <QObject>

#include <memory>

class QSocketNotifier;

namespace tarnwick::ui {

enum class TerminationAction { CloseWindow, Quit };

// What each termination request does.
class TerminationPolicy {
public:
    TerminationAction onRequest() { return m_requests++ == 0 ? TerminationAction::CloseWindow : TerminationAction::Quit; }

private:
    int m_requests = 0;
};

class TerminationSignal : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;

signals:
    void requested(tarnwick::ui::TerminationAction action);

private:
    void readSignal();

    int m_sockets[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    TerminationPolicy m_policy;
};

}  // namespace tarnwick::ui
