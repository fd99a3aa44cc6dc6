#pragma once
// Hands files to the disk on helper threads while the caller goes on, e.g.
// writing and syncing the temporary file of the commit that must wait for
// them. Syncs that run at the same time cost about one: the file system
// commits them together, where one after the other each waits for its own.
//
// One owner thread calls start() and wait(); the helper threads are made at
// the first start().
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace tarnwick {

class BackgroundSync {
public:
    explicit BackgroundSync(std::size_t threads = 2) : m_threadCount(threads) {}
    ~BackgroundSync();
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    // Starts syncing the open descriptor `fd` (which must stay open until wait()).
    void addDescriptor(int fd);
    // Starts syncing the file or folder at `path`.
    void addPath(const std::string& path);
    // Waits for everything started; the first failure, if any.
    std::error_code wait();

private:
    struct Task {
        int fd = -1;
        std::string path;
    };
    void add(Task task);
    void work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Task> m_queue;
    std::size_t m_outstanding = 0;
    std::error_code m_error;
    bool m_quit = false;
    std::size_t m_threadCount;
    std::vector<std::thread> m_threads;
};

}  // namespace tarnwick
