#include "ui/searchform/QtNotifier.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tarnwick::ui {

std::shared_ptr<QtNotifier> QtNotifier::create() { return std::shared_ptr<QtNotifier>(new QtNotifier); }

void QtNotifier::attach(WorkerMessageSink* sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = sink;
}

void QtNotifier::detach()
{
    std::lock_guard lock(m_mutex);
    m_sink = nullptr;
}

template <typename Call>
void QtNotifier::queue(Call call)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_sink == nullptr) return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    // The application object lives on the user interface thread for as long
    // as a sink can be attached; the sink is looked up again when the call
    // runs, so a detached sink is never reached.
    QMetaObject::invokeMethod(
        app,
        [self = shared_from_this(), call = std::move(call)] {
            WorkerMessageSink* sink = nullptr;
            {
                std::lock_guard lock(self->m_mutex);
                sink = self->m_sink;
            }
            if (sink != nullptr) call(*sink);
        },
        Qt::QueuedConnection);
}

void QtNotifier::post(UserMessage message)
{
    queue([message](WorkerMessageSink& sink) { sink.handleWorkerMessage(message); });
}

void QtNotifier::showMessage(const std::string& text) { showTitledMessage({}, text); }

void QtNotifier::showTitledMessage(const std::string& title, const std::string& text)
{
    // Not waited for: the worker goes on to post its abort message, which
    // arrives after this one.
    queue([title, text](WorkerMessageSink& sink) { sink.handleWorkerError(title, text); });
}

void QtNotifier::showStatus(const std::string& text)
{
    {
        std::lock_guard lock(m_mutex);
        m_statusText = text;
        if (m_statusQueued || m_sink == nullptr) return;
        m_statusQueued = true;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    // The call always runs deliverStatus, so the flag is cleared even when
    // the sink went in the meantime.
    QMetaObject::invokeMethod(
        app, [self = shared_from_this()] { self->deliverStatus(); }, Qt::QueuedConnection);
}

void QtNotifier::deliverStatus()
{
    std::string text;
    WorkerMessageSink* sink = nullptr;
    {
        std::lock_guard lock(m_mutex);
        m_statusQueued = false;
        text = m_statusText;
        sink = m_sink;
    }
    if (sink != nullptr) sink->handleWorkerStatus(text);
}

}  // namespace tarnwick::ui
