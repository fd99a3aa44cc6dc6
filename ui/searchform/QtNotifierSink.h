#pragma once
// What receives the worker's messages on the user interface thread (the
// search form). Plain interface: the form's decisions need no Qt.
#include <string>

#include "engine/worker/Notifier.h"

namespace tarnwick::ui {

class WorkerMessageSink {
public:
    virtual ~WorkerMessageSink() = default;
    // A completion message.
    virtual void handleWorkerMessage(UserMessage message) = 0;
    // A message box the worker asked for; `title` empty for the usual one.
    virtual void handleWorkerError(const std::string& title, const std::string& text) = 0;
    // The walk's current directory or entry, for the status bar.
    virtual void handleWorkerStatus(const std::string& text) = 0;
};

}  // namespace tarnwick::ui
