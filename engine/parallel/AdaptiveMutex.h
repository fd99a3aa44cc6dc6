#pragma once
// A mutex that spins briefly before it sleeps. The ordered hand-over of a
// parallel search takes its locks for a few instructions at a time, many
// times per file; putting a thread to sleep and waking it again costs far
// more than the wait. Lockable, so usable with std::unique_lock and
// std::condition_variable_any.
#include <pthread.h>

namespace tarnwick {

class AdaptiveMutex {
public:
    AdaptiveMutex()
    {
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ADAPTIVE_NP);
        pthread_mutex_init(&m_mutex, &attributes);
        pthread_mutexattr_destroy(&attributes);
    }
    ~AdaptiveMutex() { pthread_mutex_destroy(&m_mutex); }
    AdaptiveMutex(const AdaptiveMutex&) = delete;
    AdaptiveMutex& operator=(const AdaptiveMutex&) = delete;

    void lock() { pthread_mutex_lock(&m_mutex); }
    bool try_lock() { return pthread_mutex_trylock(&m_mutex) == 0; }
    void unlock() { pthread_mutex_unlock(&m_mutex); }

private:
    pthread_mutex_t m_mutex;
};

}  // namespace tarnwick
