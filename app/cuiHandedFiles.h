#pragma once
// Files handed to the running editor by a second start (a clone file double-clicked in a
// file manager). They are kept until the main window can take them: after the splash, and
// not while a modal window or a clone operation holds it. Each is then opened through the
// controller, which asks to save its own changes first, and the window comes to the front.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;
class cmcSingleInstance;

class cuiHandedFiles : public QObject {
  public:
    using Opener = std::function<bool(const QString& path)>;

    cuiHandedFiles(cmcSingleInstance& guard, Opener open, QObject* parent = nullptr);

    // The main window, once it is up; until then requests wait.
    void setWindow(QWidget* window);
    QStringList pending() const { return m_pending; }

  private:
    void take(const QString& path);
    void deliver();
    bool windowFree() const;
    void bringToFront();

    Opener m_open;
    QPointer<QWidget> m_window;
    QStringList m_pending;
    QTimer m_retry;
};
