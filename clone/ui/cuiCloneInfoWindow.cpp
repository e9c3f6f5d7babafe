#include "cuiCloneInfoWindow.h"

#include "cmcGTex.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QVBoxLayout>

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
    const QFontMetrics fm(m_view->font());
    resize(fm.horizontalAdvance(QString(76, QLatin1Char('W'))) * 3 / 4 + 40, fm.lineSpacing() * 9 + 40);
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
