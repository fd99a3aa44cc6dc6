#pragma once
// How the worker reaches its front end: completion messages, message boxes
// and the status display. Implementations are called on the worker thread
// and must hand the call over to their own thread themselves.
#include <string>

namespace tarnwick {

// Completion messages posted by the worker: one per command that ran, or
// the end of a command that failed.
enum class UserMessage {
    ReplaceDone = 0x0501,
    RenameDone = 0x0503,
    SelectedDone = 0x0505,
    SearchDone = 0x0506,
    RunAborted = 0x0507,
};

class Notifier {
public:
    virtual ~Notifier() = default;
    // Posts a completion message; returns at once.
    virtual void post(UserMessage message) = 0;
    // Shows an error text in a message box with an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // The same with a title of its own (errors of the document server).
    virtual void showTitledMessage(const std::string& /*title*/, const std::string& text) { showMessage(text); }
};

}  // namespace tarnwick
