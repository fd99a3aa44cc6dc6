#pragma once
// Stand-ins for the search form's tests: answers scripted in advance, a
// notifier that records what the worker posts, and commands that do only
// what a test tells them.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/worker/Notifier.h"
#include "engine/worker/SearchWorker.h"
#include "engine/worker/WorkerState.h"
#include "ui/searchform/SearchFormPrompts.h"

namespace tarnwick::test {

class ScriptedPrompts final : public ui::FormPrompts {
public:
    // Every text shown or asked, in order.
    std::vector<std::string> shown;
    std::deque<bool> okCancelAnswers;  // missing: OK
    std::deque<ui::HinweisAnswer> hinweisAnswers;  // missing: OK, box not ticked
    std::optional<ui::RenameChoice> renameChoice = ui::RenameChoice::AllNames;
    std::optional<std::string> chosenDirectory;
    std::string directoryAskedFor;

    void showMessage(std::string_view text) override { shown.emplace_back(text); }
    bool askOkCancel(std::string_view text) override
    {
        shown.emplace_back(text);
        if (okCancelAnswers.empty()) return true;
        const bool answer = okCancelAnswers.front();
        okCancelAnswers.pop_front();
        return answer;
    }
    ui::HinweisAnswer showHinweis(std::string_view text) override
    {
        shown.emplace_back(text);
        if (hinweisAnswers.empty()) return {true, false};
        const ui::HinweisAnswer answer = hinweisAnswers.front();
        hinweisAnswers.pop_front();
        return answer;
    }
    std::optional<ui::RenameChoice> askRenameChoice() override { return renameChoice; }
    std::optional<std::string> chooseDirectory(const std::string& current) override
    {
        directoryAskedFor = current;
        return chosenDirectory;
    }
};

// Keeps what the worker posts; the test hands it to the form when it wants.
class RecordingNotifier final : public Notifier {
public:
    void post(UserMessage message) override;
    void showMessage(const std::string& text) override;
    // The next posted message, or nothing after `timeoutMs`.
    std::optional<UserMessage> waitForMessage(int timeoutMs = 10'000);
    std::vector<std::string> messages() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<UserMessage> m_queue;  // guarded by m_mutex
    std::vector<std::string> m_texts;  // guarded by m_mutex
};

// Commands that record what they were given and run `body` on the worker thread.
class FakeCommands final : public CommandRunner {
public:
    std::function<void(WorkerCommand command, WorkerState& state)> body;

    Expected<void> run(WorkerCommand command, WorkerState& state) override;
    // Waits until `count` commands have begun; false after `timeoutMs`.
    bool waitForStarts(int count, int timeoutMs = 10'000);
    int starts() const;
    CommandInput lastInput() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_started;
    int m_starts = 0;  // guarded by m_mutex
    CommandInput m_lastInput;  // guarded by m_mutex
};

// A body that runs until the stop flag is set, counting `hits` hits first.
std::function<void(WorkerCommand, WorkerState&)> RunUntilStopped(int hits);

}  // namespace tarnwick::test
