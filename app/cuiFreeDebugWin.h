#pragma once
// The free debug window: a read-only log, captioned "Free Debug Window", that appends the
// text of every event 22 as a line while it is open. It opens 80 % as high as the main
// window's client area (at least 100 pixels), centred on the main window, and is
// destroyed when closed.

#include <QWidget>

class QPlainTextEdit;
struct cmcEvent;

class cuiFreeDebugWin : public QWidget {
  public:
    explicit cuiFreeDebugWin(QWidget* mainWindow);
    ~cuiFreeDebugWin() override;

    static constexpr int MinHeight = 100;

    QPlainTextEdit* log() const { return m_log; }
    // The log's lines.
    QStringList lines() const;

  private:
    static void eventCallback(void* context, const cmcEvent* event);

    QPlainTextEdit* m_log = nullptr;
};
