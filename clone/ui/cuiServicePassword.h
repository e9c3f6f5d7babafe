#pragma once
// Sets, changes or removes the service password that guards the adjustment read: the
// current password first when one is set, then the new one twice; both new entries left
// empty remove it. Every entry shows "*" for each character and takes at most 8
// characters, as the adjustment read's own dialog does. A wrong current password or two
// new entries that differ are told and keep the dialog open, the keyboard in the entry to
// correct. The dialog keeps nothing of the entries once closed but the accepted word.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class cuiServicePassword : public QDialog {
  public:
    cuiServicePassword(const QString& storedWord, QWidget* owner);

    // The entry of the current password (null when none is set).
    QLineEdit* currentEdit() const { return m_current; }
    QLineEdit* newEdit() const { return m_new; }
    QLineEdit* repeatEdit() const { return m_repeat; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // After acceptance: the new password (empty: none).
    QString word() const { return m_word; }

  private:
    void tryAccept();
    QLineEdit* passwordEdit();

    QString m_stored;
    QString m_word;
    QLineEdit* m_current = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_repeat = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
