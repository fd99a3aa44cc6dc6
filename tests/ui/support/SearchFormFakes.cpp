#include "tests/ui/support/SearchFormFakes.h"

#include <chrono>
#include <thread>

namespace tarnwick::test {

void RecordingNotifier::post(UserMessage message)
{
    std::lock_guard lock(m_mutex);
    m_queue.push_back(message);
    m_posted.notify_all();
}

void RecordingNotifier::showMessage(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_texts.push_back(text);
}

std::optional<UserMessage> RecordingNotifier::waitForMessage(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    if (!m_posted.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !m_queue.empty(); })) return std::nullopt;
    const UserMessage message = m_queue.front();
    m_queue.pop_front();
    return message;
}

std::vector<std::string> RecordingNotifier::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_texts;
}

Expected<void> FakeCommands::run(WorkerCommand command, WorkerState& state)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_starts;
        m_lastInput = state.current;
        m_started.notify_all();
    }
    if (body) body(command, state);
    return succeeded();
}

bool FakeCommands::waitForStarts(int count, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_started.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_starts >= count; });
}

int FakeCommands::starts() const
{
    std::lock_guard lock(m_mutex);
    return m_starts;
}

CommandInput FakeCommands::lastInput() const
{
    std::lock_guard lock(m_mutex);
    return m_lastInput;
}

std::function<void(WorkerCommand, WorkerState&)> RunUntilStopped(int hits)
{
    return [hits](WorkerCommand, WorkerState& state) {
        state.counters.hits.store(hits);
        state.counters.files.store(1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (state.stopFlag.load() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
}

}  // namespace tarnwick::test
