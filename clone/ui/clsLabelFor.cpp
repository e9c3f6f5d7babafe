#include "clsLabelFor.h"

#include <QAbstractButton>
#include <QLabel>

QChar clsLabelFor::mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] != u'&') return text[i + 1].toLower();
        ++i; // "&&" is a literal ampersand
    }
    return {};
}

void clsLabelFor::link(QLabel* label, QWidget* control, const QString& taken) {
    label->setBuddy(control);
    QString text = label->text();
    if (mnemonicOf(text).isNull()) {
        QString used = taken.toLower();
        for (const QWidget* window : {label->window(), control->window()}) {
            for (const QLabel* other : window->findChildren<QLabel*>())
                if (other != label) used += mnemonicOf(other->text());
            for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
                used += mnemonicOf(button->text());
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!text[i].isLetterOrNumber() || used.contains(text[i].toLower())) continue;
            text.insert(i, u'&');
            label->setText(text);
            break;
        }
    }
    if (control->accessibleName().isEmpty()) {
        QString name;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'&' && i + 1 < text.size()) ++i;
            name += text[i];
        }
        control->setAccessibleName(name.simplified());
    }
}
