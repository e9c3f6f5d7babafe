#pragma once
// The About box: the program icon, the about text with the revision, and one button. Every
// character typed while it is open goes to the controller (the hidden version display).

#include <QDialog>

class cuiMain;

class cuiAboutBox : public QDialog {
    Q_OBJECT
  public:
    cuiAboutBox(cuiMain& controller, const QString& revision, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    cuiMain& m_controller;
};
