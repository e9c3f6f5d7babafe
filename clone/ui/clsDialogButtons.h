#pragma once
// The OK and Cancel row of the small input dialogs: captions from "<stem>_Buttons" (lines 0
// and 1), a width from the sample text "<stem>_SizeOfButtons", OK the default button and
// Cancel rejecting the dialog. The dialog connects OK to its own check. When the dialog
// first shows, each label that stands for a control gets its mnemonic (clsLabelFor), and a
// list without a label is named after the dialog, for a screen reader.

class QDialog;
class QHBoxLayout;
class QPushButton;
class QString;
class cmcGTex;

struct clsDialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = nullptr; // right-aligned, for the dialog's layout

    static clsDialogButtons make(QDialog* dialog, cmcGTex& table, const QString& stem);
};
