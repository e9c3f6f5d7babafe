#pragma once
// The access dialog of the adjustment read: a notice, a password box that shows "*" for
// every character (at most 8) and OK / Cancel. OK compares the entry with the stored word;
// a wrong entry shows the error box and closes the dialog all the same. The dialog neither
// shows nor keeps the stored word.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class cuiAdjustPassword : public QDialog {
  public:
    static constexpr int MaxLength = 8;

    cuiAdjustPassword(const QString& storedWord, QWidget* owner);

    QLineEdit* edit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // An entry of 1 to 8 characters that equals the stored word, both compared as 8-byte
    // blocks of their first (at most) 8 characters, zero-filled.
    static bool Matches(const QString& entry, const QString& storedWord);

  private:
    void tryAccept();

    QString m_stored;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
