#pragma once
// A label that stands for a control (its buddy): a screen reader names the control by the
// label, also a list, which Qt does not name from a buddy itself; and the label's mnemonic
// (Alt and a letter) moves the keyboard to the control. A text without a mnemonic gets its
// first letter or digit that no other label or button of the window (nor taken) has.

class QChar;
class QLabel;
class QString;
class QWidget;

struct clsLabelFor {
    static void link(QLabel* label, QWidget* control, const QString& taken);
    // The letter after a single '&' (in lower case), or a null character.
    static QChar mnemonicOf(const QString& text);
};
