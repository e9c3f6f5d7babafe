#include "cuiPrinter.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "cuiPreview.h"
#include "cuiPrintDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QThread>

namespace {

QString text(cmcGTex& table, const char* key, int index = 0) {
    const QString k = QString::fromLatin1(key);
    return table.hasKey(k) ? table.getText(k, index) : QString();
}

} // namespace

cuiPrinter::cuiPrinter(QWidget* owner, cmcGTex& table) : m_owner(owner), m_table(table) {}

cuiPrinter::~cuiPrinter() {
    cmcTask::release(m_task);
    if (m_jobPainter && m_jobPainter->isActive()) m_jobPainter->end();
    m_jobPainter.reset();
    m_jobRenderer.reset();
    delete m_dialog.data();
}

clsPageSetup cuiPrinter::pageSetup(QPrinter& printer) {
    printer.setFullPage(true);
    clsPageSetup s;
    s.device = &printer;
    s.dpi = printer.resolution();
    const QRect page = printer.pageLayout().fullRectPixels(s.dpi);
    s.pageWidth = page.width();
    s.pageHeight = page.height();
    s.printable = cuiPageLayout::printableRect(text(m_table, "GI_Sys_Printer_Margins"), s.dpi,
                                               s.pageWidth, s.pageHeight);
    s.fontPoints = m_fontPoints;
    bool ok = false;
    const int frame = text(m_table, "GI_Sys_Printer_FrameFont").trimmed().toInt(&ok);
    s.frameFontPoints = ok && frame > 0 ? frame : 9;
    QString title = text(m_table, "GI_Sys_AppTitleRev");
    s.titleText = title.contains(QLatin1String("%s")) ? title.replace(QLatin1String("%s"), m_revision)
                                                       : title;
    s.makerText = text(m_table, "GI_Sys_Maker");
    s.cancel = &m_cancel;
    return s;
}

int cuiPrinter::countPages(const QStringList& commands, QPrinter& printer) {
    cuiPageRenderer renderer(m_table, pageSetup(printer));
    int count = 0;
    for (const QString& command : commands) count += renderer.measure(command);
    return count;
}

void cuiPrinter::renderPreview(const QStringList& commands, QPrinter& printer,
                               std::vector<QImage>& pages) {
    cuiPageRenderer renderer(m_table, pageSetup(printer));
    for (const QString& command : commands) renderer.preview(command, pages);
}

int cuiPrinter::printNow(const QStringList& commands, QPrinter& printer) {
    cuiPageRenderer renderer(m_table, pageSetup(printer));
    QPainter painter;
    if (!painter.begin(&printer)) return -1;
    for (const QString& command : commands) renderer.print(command, printer, painter);
    painter.end();
    return renderer.printedPages();
}
