#pragma once
// The main form: placed from the settings (clamped against the work area), holds the two
// image lists and hands itself to the controller, which builds the content. Closing asks
// the controller (save changes) and stores the placement; a disabled form (a clone running)
// refuses to close.

#include <QMainWindow>

class indMain;
class cmcTask;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int MinWidth = 400;
    static constexpr int MinHeight = 200;

    explicit TForm1(indMain& controller, const QRect& workArea = QRect());
    ~TForm1() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    indMain& m_controller;
    cmcTask* m_task = nullptr; // the form's own task: never enabled
};
