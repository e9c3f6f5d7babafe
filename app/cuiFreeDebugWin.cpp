#include "cuiFreeDebugWin.h"

#include "cmcEvMan.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

cuiFreeDebugWin::cuiFreeDebugWin(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Free Debug Window"));
    m_log = new QPlainTextEdit;
    m_log->setReadOnly(true);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setFont(QFont(QStringLiteral("Monospace")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_log);

    if (mainWindow) {
        // A top-level window's geometry is its client area in screen coordinates.
        const QRect client = mainWindow->geometry();
        resize(std::max(300, client.width() / 2), std::max(MinHeight, client.height() * 8 / 10));
        move(client.center() - QPoint(width() / 2, height() / 2));
    } else {
        resize(400, 300);
    }
    if (auto* ev = cmcEvMan::instance()) ev->attach(&cuiFreeDebugWin::eventCallback, this);
}

cuiFreeDebugWin::~cuiFreeDebugWin() {
    if (auto* ev = cmcEvMan::instance()) ev->detach(&cuiFreeDebugWin::eventCallback, this);
}

QStringList cuiFreeDebugWin::lines() const {
    const QString text = m_log->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void cuiFreeDebugWin::eventCallback(void* context, const cmcEvent* event) {
    if (const auto line = cmcEvDebugText::read(event))
        static_cast<cuiFreeDebugWin*>(context)->m_log->appendPlainText(line->text);
}
