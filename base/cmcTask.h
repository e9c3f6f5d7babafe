#pragma once
// A periodic callback driven by a precise Qt timer on the user-interface thread.
//
// The callback is never re-entered: a tick that arrives while it runs (for example while it
// shows a modal dialog) is dropped, not queued. Owners release a task in one way everywhere:
// cmcTask::release(task) stops and disposes a running task and deletes a stopped one.
// Disposal from inside the task's own callback is deferred until the callback has returned.

#include <QObject>
#include <QTimer>

class cmcTask : public QObject {
    Q_OBJECT
  public:
    using Callback = void (*)(void* context, cmcTask* task);

    cmcTask();
    ~cmcTask() override;

    void setCallback(Callback callback, void* context);
    // Negative: stopped; 0: every millisecond; positive: that period in ms.
    void setInterval(int ms);
    int interval() const { return m_interval; }
    bool isStopped() const { return m_stopped; }
    bool isBusy() const { return m_busy; }

    // Clears the callback and stops the timer.
    void stop();
    // Deletes the task: at once, or after its callback returns when called from inside it.
    void dispose();

    // The one release rule: stop then dispose when running, else delete.
    static void release(cmcTask*& task);

    // Runs one tick as the timer would (also used by the timer itself).
    void tick();

  private:
    QTimer m_timer;
    Callback m_callback = nullptr;
    void* m_context = nullptr;
    int m_interval = -1;
    bool m_busy = false;
    bool m_disposePending = false;
    bool m_stopped = true;
};
