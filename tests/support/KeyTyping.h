#pragma once
// Typing as a person does at a real keyboard: each capital with Shift pressed before it and
// released after it, every key sent to whatever has the focus at that moment (an editor that
// opens on the first key gets the rest).

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

// The widget with the keyboard focus, or fallback when none has it.
inline QWidget* focusedOr(QWidget* fallback) {
    QWidget* w = QApplication::focusWidget();
    return w ? w : fallback;
}

inline void typeLikeAPerson(QWidget* fallback, const QString& text) {
    for (const QChar ch : text) {
        const bool upper = ch.isUpper();
        if (upper) QTest::keyPress(focusedOr(fallback), Qt::Key_Shift, Qt::ShiftModifier);
        const Qt::Key key =
            ch == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key(ch.toUpper().unicode());
        const Qt::KeyboardModifiers mods = upper ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Press, focusedOr(fallback), key, QString(ch), mods);
        QTest::sendKeyEvent(QTest::Release, focusedOr(fallback), key, QString(ch), mods);
        if (upper) QTest::keyRelease(focusedOr(fallback), Qt::Key_Shift);
    }
}
