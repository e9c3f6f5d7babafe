#include "cmcTask.h"

cmcTask::cmcTask() {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &cmcTask::tick);
}

cmcTask::~cmcTask() = default;

void cmcTask::setCallback(Callback callback, void* context) {
    m_callback = callback;
    m_context = context;
}

void cmcTask::setInterval(int ms) {
    m_interval = ms;
    if (ms < 0 || m_disposePending) {
        m_timer.stop();
    } else {
        m_timer.start(ms == 0 ? 1 : ms);
    }
    m_stopped = !m_timer.isActive();
}

void cmcTask::stop() {
    m_callback = nullptr;
    m_context = nullptr;
    setInterval(-1);
}

void cmcTask::dispose() {
    m_disposePending = true;
    tick();
}

void cmcTask::release(cmcTask*& task) {
    if (!task) return;
    if (!task->isStopped()) {
        task->stop();
        task->dispose();
    } else if (task->isBusy()) {
        task->dispose(); // released from inside its own callback: deferred
    } else {
        delete task;
    }
    task = nullptr;
}

void cmcTask::tick() {
    if (m_disposePending) {
        if (m_busy) {
            // Disposed from inside its own callback: the callback still runs on this
            // object, so the deletion waits until it has returned.
            m_timer.stop();
            m_stopped = true;
            return;
        }
        delete this;
        return;
    }
    if (m_busy || !m_callback) return; // re-entered tick (nested event loop): dropped
    m_busy = true;
    m_callback(m_context, this);
    m_busy = false;
    if (m_disposePending) {
        m_timer.stop();
        m_stopped = true;
        deleteLater();
    }
}
