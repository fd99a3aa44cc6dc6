#include "platform/BackgroundSync.h"

#include "platform/FileOps.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {
namespace {

std::error_code syncPath(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return LastErrnoCode();
    const std::error_code error = FileOps::current().sync(fd);
    ::close(fd);
    return error;
}

}  // namespace

BackgroundSync::~BackgroundSync()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

void BackgroundSync::addDescriptor(int fd) { add(Task{fd, {}}); }

void BackgroundSync::addPath(const std::string& path) { add(Task{-1, path}); }

void BackgroundSync::add(Task task)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_threads.empty())
            for (std::size_t i = 0; i < m_threadCount; ++i) m_threads.emplace_back([this] { work(); });
        m_queue.push_back(std::move(task));
        ++m_outstanding;
    }
    m_changed.notify_all();
}

std::error_code BackgroundSync::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_outstanding == 0; });
    const std::error_code error = m_error;
    m_error.clear();
    return error;
}

void BackgroundSync::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_queue.empty()) return;
        const Task task = std::move(m_queue.back());
        m_queue.pop_back();
        lock.unlock();
        const std::error_code error = task.fd >= 0 ? FileOps::current().sync(task.fd) : syncPath(task.path);
        lock.lock();
        if (error && !m_error) m_error = error;
        if (--m_outstanding == 0) m_changed.notify_all();
    }
}

}  // namespace tarnwick
