#include "ui/viewer/DocumentShowRouter.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace tarnwick::ui {

struct DocumentShowRouter::State {
    WriterShow writer;
    Post post;
    Fallback fallback;
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<DocumentHit> pending;
    bool started = false;
    bool ending = false;
    // When the request being shown was taken up; empty while idle.
    std::optional<std::chrono::steady_clock::time_point> busySince;
};

namespace {

void serve(const std::shared_ptr<DocumentShowRouter::State>& state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->ending || state->pending; });
        if (state->ending) return;
        const DocumentHit hit = std::move(*state->pending);
        state->pending.reset();
        state->busySince = std::chrono::steady_clock::now();
        lock.unlock();
        bool shown = false;
        try {
            state->writer(hit);
            shown = true;
        } catch (const std::exception&) {
            // Shown in the document window instead, below.
        }
        lock.lock();
        state->busySince.reset();
        if (state->ending) return;
        if (!shown) state->post([state, hit] { state->fallback(hit); });
    }
}

}  // namespace

DocumentShowRouter::DocumentShowRouter(std::function<bool()> available, WriterShow writer, Post post, Fallback fallback,
                                       std::chrono::milliseconds stuckAfter)
    : m_available(std::move(available)), m_stuckAfter(stuckAfter), m_state(std::make_shared<State>())
{
    m_state->writer = std::move(writer);
    m_state->post = std::move(post);
    m_state->fallback = std::move(fallback);
}

DocumentShowRouter::~DocumentShowRouter()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->ending = true;
    }
    m_state->wake.notify_all();
}

bool DocumentShowRouter::show(DocumentHit hit)
{
    if (!m_available || !m_available() || !m_state->writer) return false;
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->busySince && std::chrono::steady_clock::now() - *m_state->busySince >= m_stuckAfter) return false;
        m_state->pending = std::move(hit);
        if (!m_state->started) {
            m_state->started = true;
            std::thread(serve, m_state).detach();
        }
    }
    m_state->wake.notify_all();
    return true;
}

}  // namespace tarnwick::ui
