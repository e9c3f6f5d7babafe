#include "cuiCellEditor.h"

#include <QFrame>
#include <QKeyEvent>
#include <QTextDocument>

cuiCellEditor::cuiCellEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameStyle(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
}

void cuiCellEditor::keyPressEvent(QKeyEvent* event) {
    QPlainTextEdit::keyPressEvent(event);
    event->accept();
}

void cuiCellEditor::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    event->accept();
}
