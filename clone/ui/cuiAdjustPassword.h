#pragma once
// The access dialog of the adjustment read: a notice, a password box that shows "*" for
// every character (at most 8) and OK / Cancel. OK compares the entry with the stored word;
// a wrong entry shows the error box and closes the dialog all the same. The dialog neither
// shows nor keeps the stored word.

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QPushButton;

class cuiAdjustPassword : public QDialog {
  public:
    static constexpr int MaxLength = 8;

    cuiAdjustPassword(const QString& storedWord, QWidget* owner);

    QLineEdit* edit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // An entry of 1 to 8 characters that equals the stored word's first (at most) 8
    // characters. Characters are counted as a person counts them, whatever their encoding
    // takes: "ä" is one character, typed as one code point or as "a" and its diaeresis.
    static bool Matches(const QString& entry, const QString& storedWord);
    // A word's characters in that sense (grapheme clusters of its composed form).
    static QStringList Characters(const QString& word);
    // A password entry as every password dialog has it: "*" for each character, at most
    // MaxLength characters as Characters() counts them.
    static QLineEdit* NewEntry(QWidget* parent);

  private:
    void tryAccept();

    QString m_stored;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
