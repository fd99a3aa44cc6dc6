#pragma once
// The worker's way to the user interface thread: completion messages,
// message boxes and the status text arrive on the worker thread and are
// handed over as queued calls to a WorkerMessageSink (the search form).
//
// Thread safety: Post, ShowMessage, ShowTitledMessage and ShowStatus may be
// called from any thread; attach and detach on the user interface thread.
// After detach nothing reaches the sink any more, also not calls already
// queued, so the sink may be destroyed. An abandoned worker thread may keep
// this object alive; it then touches nothing but its own mutex.
#include <memory>
#include <mutex>
#include <string>

#include "engine/job/RunContext.h"
#include "engine/worker/Notifier.h"
#include "ui/searchform/QtNotifierSink.h"

namespace tarnwick::ui {

class QtNotifier final : public Notifier, public StatusDisplay, public std::enable_shared_from_this<QtNotifier> {
public:
    static std::shared_ptr<QtNotifier> create();

    void attach(WorkerMessageSink* sink);
    void detach();

    // Notifier
    void post(UserMessage message) override;
    void showMessage(const std::string& text) override;
    void showTitledMessage(const std::string& title, const std::string& text) override;
    // StatusDisplay: only the newest text counts, so a fast walk queues at
    // most one call at a time.
    void showStatus(const std::string& text) override;

private:
    QtNotifier() = default;
    // Queues `call` for the user interface thread; dropped when no sink is
    // attached by the time it runs.
    template <typename Call>
    void queue(Call call);
    void deliverStatus();

    std::mutex m_mutex;
    WorkerMessageSink* m_sink = nullptr;  // guarded by m_mutex
    std::string m_statusText;  // guarded by m_mutex
    bool m_statusQueued = false;  // guarded by m_mutex
};

}  // namespace tarnwick::ui
