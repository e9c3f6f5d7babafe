#include "cuiHandedFiles.h"

#include "cmcSingleInstance.h"

#include <QApplication>
#include <QWidget>

namespace {
// How often a request waiting for a busy window looks again.
constexpr int RetryMs = 200;
} // namespace

cuiHandedFiles::cuiHandedFiles(cmcSingleInstance& guard, Opener open, QObject* parent)
    : QObject(parent), m_open(std::move(open)) {
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &cuiHandedFiles::deliver);
    connect(&guard, &cmcSingleInstance::openRequested, this, &cuiHandedFiles::take);
    connect(&guard, &cmcSingleInstance::flashRequested, this, [this] {
        if (m_window) QApplication::alert(m_window);
    });
}

void cuiHandedFiles::setWindow(QWidget* window) {
    m_window = window;
    deliver();
}

void cuiHandedFiles::take(const QString& path) {
    m_pending << path;
    if (m_window && !windowFree()) QApplication::alert(m_window);
    deliver();
}

bool cuiHandedFiles::windowFree() const {
    // A disabled main window runs a clone; a modal window waits for the user's answer.
    return m_window && m_window->isVisible() && m_window->isEnabled() &&
           !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

void cuiHandedFiles::deliver() {
    if (m_pending.isEmpty()) {
        m_retry.stop();
        return;
    }
    if (!windowFree()) {
        m_retry.start();
        return;
    }
    m_retry.stop();
    bringToFront();
    const QString path = m_pending.takeFirst();
    m_open(path);
    // Several files handed over at once are opened one after the other, each asking first.
    if (!m_pending.isEmpty()) m_retry.start();
}

void cuiHandedFiles::bringToFront() {
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->activateWindow();
    // Window managers that refuse to give the focus away at least mark the task bar button.
    QApplication::alert(m_window);
}
