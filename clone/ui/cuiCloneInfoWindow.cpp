#include "cuiCloneInfoWindow.h"

#include "cmcGTex.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

cuiCloneInfoWindow::cuiCloneInfoWindow(uint16_t code1, uint16_t code2, const QByteArray& record, QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")));
    m_view = new QPlainTextEdit(listing(code1, code2, record));
    m_view->setReadOnly(true);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    // Big enough to show the whole listing without scrolling.
    const QFontMetrics fm(m_view->font());
    const QStringList lines = m_view->toPlainText().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& l : lines) widest = std::max(widest, fm.horizontalAdvance(l));
    const QMargins m = layout->contentsMargins();
    const int chrome = 2 * m_view->frameWidth() + 2 * int(m_view->document()->documentMargin()) + 8;
    resize(widest + chrome + m.left() + m.right(),
           fm.lineSpacing() * int(lines.size() + 1) + chrome + m.top() + m.bottom());
    if (owner) move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}

QString cuiCloneInfoWindow::text() const { return m_view->toPlainText(); }

QString cuiCloneInfoWindow::listing(uint16_t code1, uint16_t code2, const QByteArray& record)
{
    cmcGTex& t = cmcGTex::mainTable();
    const QString key = QStringLiteral("GI_AppInd_CloneInfo_Labels");
    QStringList lines;
    const QString l0 = t.getText(key, 0), l1 = t.getText(key, 1);
    const int width = int(std::max(l0.size(), l1.size())) + 1;
    lines << (l0 + QLatin1Char(':')).leftJustified(width + 1) + QString::asprintf("%04X", unsigned(code1));
    lines << (l1 + QLatin1Char(':')).leftJustified(width + 1) + QString::asprintf("%04X", unsigned(code2));
    lines << QString() << t.getText(key, 2) + QLatin1Char(':');
    for (int row = 0; row < record.size(); row += 16) {
        QString hex, chars;
        for (int i = row; i < row + 16; ++i) {
            if (i < record.size()) {
                const uint8_t b = uint8_t(record[i]);
                hex += QString::asprintf("%02X ", unsigned(b));
                chars += b >= 0x20 && b < 0x7F ? QChar(b) : QLatin1Char('.');
            } else {
                hex += QStringLiteral("   ");
            }
        }
        lines << QString::asprintf("%02X: ", unsigned(row)) + hex + QLatin1Char(' ') + chars;
    }
    return lines.join(QLatin1Char('\n'));
}
