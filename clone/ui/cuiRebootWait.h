#pragma once
// The wait while the radio restarts after a clone read over TCP: a label that counts the
// seconds down ("GI_Mess_AdjRead_RebootWait_Message" with the seconds left) and one button
// that ends the wait at once. When the count falls below 1 the dialog closes by itself.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTimer;

class cuiRebootWait : public QDialog {
  public:
    cuiRebootWait(int seconds, QWidget* owner);

    // The seconds the text table asks for ("GI_Mess_AdjRead_RebootWait_Time", decimal).
    static int configuredSeconds();
    // Length of one counted second in ms (1,000); tests shorten it instead of waiting.
    static void setSecondMs(int ms);

    int secondsLeft() const { return m_left; }
    QLabel* label() const { return m_label; }
    QPushButton* button() const { return m_button; }

  private:
    void countDown();
    void showLeft();

    int m_left;
    QLabel* m_label = nullptr;
    QPushButton* m_button = nullptr;
    QTimer* m_timer = nullptr;
};
