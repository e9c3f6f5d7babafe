#include "cuiMessageBoxPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QPushButton>

QMessageBox::Icon cuiMessageBoxPrompt::boxIcon(cmcPromptIcon icon) {
    switch (icon) {
    case cmcPromptIcon::Information:
        return QMessageBox::Information;
    case cmcPromptIcon::Question:
        return QMessageBox::Question;
    case cmcPromptIcon::Warning:
        return QMessageBox::Warning;
    case cmcPromptIcon::Error:
        return QMessageBox::Critical;
    case cmcPromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons cuiMessageBoxPrompt::boxButtons(cmcPromptButtons buttons) {
    switch (buttons) {
    case cmcPromptButtons::Ok:
        return QMessageBox::Ok;
    case cmcPromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case cmcPromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case cmcPromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case cmcPromptButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

int cuiMessageBoxPrompt::answerOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return PA_Ok;
    case QMessageBox::Cancel:
        return PA_Cancel;
    case QMessageBox::Abort:
        return PA_Abort;
    case QMessageBox::Retry:
        return PA_Retry;
    case QMessageBox::Ignore:
        return PA_Ignore;
    case QMessageBox::Yes:
        return PA_Yes;
    case QMessageBox::No:
        return PA_No;
    default:
        return PA_None;
    }
}

namespace {

// The first button of each set is the default, as in the window system's message boxes.
QMessageBox::StandardButton firstButton(cmcPromptButtons buttons) {
    switch (buttons) {
    case cmcPromptButtons::Ok:
    case cmcPromptButtons::OkCancel:
        return QMessageBox::Ok;
    case cmcPromptButtons::YesNo:
    case cmcPromptButtons::YesNoCancel:
        return QMessageBox::Yes;
    case cmcPromptButtons::RetryCancel:
        return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

// What closing the box without a button means: cancel where there is one, else the only
// way out (Ok), else No.
int closedAnswer(cmcPromptButtons buttons) {
    switch (buttons) {
    case cmcPromptButtons::Ok:
        return PA_Ok;
    case cmcPromptButtons::YesNo:
        return PA_No;
    default:
        return PA_Cancel;
    }
}

} // namespace

int cuiMessageBoxPrompt::ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
                             cmcPromptIcon icon) {
    return askWithCheck(text, caption, buttons, icon, QString(), nullptr);
}

int cuiMessageBoxPrompt::askWithCheck(const QString& text, const QString& caption,
                                      cmcPromptButtons buttons, cmcPromptIcon icon,
                                      const QString& checkText, bool* checked) {
    QMessageBox box(boxIcon(icon), caption, text, boxButtons(buttons),
                    QApplication::activeWindow());
    box.setDefaultButton(firstButton(buttons));
    QCheckBox* check = nullptr;
    if (checked && !checkText.isEmpty()) {
        check = new QCheckBox(checkText, &box);
        check->setChecked(*checked);
        box.setCheckBox(check);
    }
    box.exec();
    if (check) *checked = check->isChecked();
    const int answer =
        answerOf(static_cast<QMessageBox::StandardButton>(box.standardButton(box.clickedButton())));
    return answer == PA_None ? closedAnswer(buttons) : answer;
}

// A list to pick from, not editable; Ok or a double click takes the item.
int cuiMessageBoxPrompt::choose(const QString& text, const QString& caption,
                                const QStringList& items, int current) {
    if (items.isEmpty()) return -1;
    bool ok = false;
    const QString item =
        QInputDialog::getItem(QApplication::activeWindow(), caption, text, items,
                              qBound(0, current, int(items.size()) - 1), false, &ok);
    return ok ? int(items.indexOf(item)) : -1;
}

int cuiMessageBoxPrompt::askButtons(const QString& text, const QString& caption,
                                    const QStringList& buttons, cmcPromptIcon icon) {
    if (buttons.isEmpty()) return -1;
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QList<QAbstractButton*> made;
    for (int i = 0; i < buttons.size(); ++i) {
        // The last button is the way out (Escape and closing the box); the first the default.
        const QMessageBox::ButtonRole role = i == buttons.size() - 1 ? QMessageBox::RejectRole
                                             : i == 0                ? QMessageBox::AcceptRole
                                                                     : QMessageBox::ActionRole;
        made.append(box.addButton(buttons[i], role));
    }
    box.setDefaultButton(static_cast<QPushButton*>(made.first()));
    box.setEscapeButton(made.last());
    box.exec();
    const int pressed = int(made.indexOf(box.clickedButton()));
    return pressed < 0 ? int(buttons.size()) - 1 : pressed;
}

void cuiMessageBoxPrompt::tell(const QString& text, const QString& caption, cmcPromptIcon icon) {
    ask(text, caption, cmcPromptButtons::Ok, icon);
}
