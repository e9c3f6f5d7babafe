#include "cuiPrinter.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "cuiPreview.h"
#include "cuiPrintDialogs.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cstdio>

namespace {

QString text(cmcGTex& table, const char* key, int index = 0) {
    const QString k = QString::fromLatin1(key);
    return table.hasKey(k) ? table.getText(k, index) : QString();
}

// The preview's pages: every sheet measured by one renderer at the font size of the moment
// (again after the setting changed), a page drawn only when the preview shows it.
class clsRendererPages : public cuiPreviewPages {
  public:
    clsRendererPages(cmcGTex& table, std::function<clsPageSetup()> setup, QStringList commands)
        : m_table(table), m_setup(std::move(setup)), m_commands(std::move(commands)) {}

    int layOut() override {
        m_renderer = std::make_unique<cuiPageRenderer>(m_table, m_setup());
        for (const QString& command : m_commands)
            m_renderer->measure(command);
        m_renderer->setPageCount(int(m_renderer->pages().size()));
        return int(m_renderer->pages().size());
    }
    QSizeF paperInches() const override {
        if (!m_renderer) return QSizeF();
        const clsPageSetup& s = m_renderer->setup();
        const double dpi = std::max(1, s.dpi);
        return QSizeF(s.pageWidth / dpi, s.pageHeight / dpi);
    }
    QImage draw(int index, const QSize& size) override {
        return m_renderer ? m_renderer->pageImage(index, size) : QImage();
    }

  private:
    cmcGTex& m_table;
    std::function<clsPageSetup()> m_setup;
    QStringList m_commands;
    std::unique_ptr<cuiPageRenderer> m_renderer;
};

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
    s.titleText = title.contains(QLatin1String("%s"))
                      ? title.replace(QLatin1String("%s"),
                                      m_revision.isEmpty() ? QStringLiteral("-") : m_revision)
                      : title;
    s.makerText = text(m_table, "GI_Sys_Maker");
    s.pageFormat = text(m_table, "GI_Sys_Printer_Footer", 0);
    s.pageFormatAlone = text(m_table, "GI_Sys_Printer_Footer", 1);
    const QString dateFormat = text(m_table, "GI_Sys_Printer_Footer", 2);
    s.dateText = QDate::currentDate().toString(dateFormat.isEmpty() ? QStringLiteral("yyyy-MM-dd")
                                                                    : dateFormat);
    s.documentName = m_documentName;
    s.usedRowsOnly = m_usedRowsOnly;
    s.rowUse = m_rowUse;
    s.cancel = &m_cancel;
    return s;
}

int cuiPrinter::countPages(const QStringList& commands, QPrinter& printer) {
    cuiPageRenderer renderer(m_table, pageSetup(printer));
    int count = 0;
    for (const QString& command : commands)
        count += renderer.measure(command);
    return count;
}

std::unique_ptr<cuiPreviewPages> cuiPrinter::previewPages(const QStringList& commands,
                                                          QPrinter& printer) {
    return std::make_unique<clsRendererPages>(
        m_table, [this, &printer] { return pageSetup(printer); }, commands);
}

int cuiPrinter::printNow(const QStringList& commands, QPrinter& printer) {
    clsPageSetup setup = pageSetup(printer);
    setup.pageCount = countPages(commands, printer);
    cuiPageRenderer renderer(m_table, setup);
    QPainter painter;
    if (!painter.begin(&printer)) return -1;
    for (const QString& command : commands)
        renderer.print(command, printer, painter);
    painter.end();
    return renderer.printedPages();
}

int cuiPrinter::exportPdf(const QStringList& commands, const QString& path) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    if (m_printer) {
        pdf.setPageLayout(m_printer->pageLayout());
        pdf.setResolution(m_printer->resolution());
    }
    if (countPages(commands, pdf) <= 0) return 0;
    // Printed beside the target under another name, then put in its place in one step when
    // complete: a failed print leaves the old file. The part stays open while it exists (a
    // temporary file keeps its name that way), and Windows renames no open file, so its bytes
    // go through a save file, which replaces the target there too.
    const QFileInfo target(path);
    QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!part.open()) return -1;
    pdf.setOutputFileName(part.fileName());
    const int pages = printNow(commands, pdf);
    if (pages <= 0 || !part.reset()) return -1;
    const QByteArray printed = part.readAll();
    QSaveFile out(target.absoluteFilePath());
    if (printed.isEmpty() || !out.open(QIODevice::WriteOnly) ||
        out.write(printed) != printed.size() || !out.commit())
        return -1;
    QFile::setPermissions(target.absoluteFilePath(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ReadGroup | QFile::ReadOther);
    return pages;
}

void cuiPrinter::Print(bool multiple, const QString& source) {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
    // A job still running keeps the printer until it ends.
    if (m_printing) return;
    const QStringList commands = multiple ? m_list : QStringList{source};
    if (commands.isEmpty() || commands.first().isEmpty()) return;
    const QString caption = text(m_table, "GI_Sys_AppTitle");
    cuiPrintDialogs& dialogs = cuiPrintDialogs::current();
    if (!dialogs.hasPrinter()) {
        // No dead end: the same pages can go into a PDF file instead.
        if (!m_pdfFallback) {
            cmcPrompt::tell(text(m_table, "GI_Sys_Printer_NoPrinter"), caption,
                            cmcPromptIcon::Error);
        } else if (cmcPrompt::ask(
                       text(m_table, "GI_Sys_Printer_NoPrinter") + QLatin1Char('\n') +
                           m_table.getTextBlock(QStringLiteral("GI_Sys_Printer_OfferPdf")),
                       caption, cmcPromptButtons::YesNo, cmcPromptIcon::Question) == PA_Yes) {
            m_pdfFallback(commands);
        }
        return;
    }
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!dialogs.setupPrinter(m_owner, *m_printer)) return;

    m_printing = true;
    m_cancel = false;
    m_source = source;
    if (m_owner) m_owner->setEnabled(false);
    buildPrintingDialog();
    m_printer->setCopyCount(1);

    bool print = false;
    int pageCount = 0;
    {
        const std::unique_ptr<cuiPreviewPages> pages = previewPages(commands, *m_printer);
        cuiPreview preview(
            m_owner, caption, *pages, [this] { return m_fontPoints; },
            [this](int points) {
                m_fontPoints = points;
                if (m_storeFont) m_storeFont(points);
            });
        // The preview is a window of its own while the main window is disabled.
        preview.setEnabled(true);
        m_preview = &preview;
        if (m_rowUse)
            preview.setUsedRowsOption([this] { return m_usedRowsOnly; },
                                      [this](bool on) { m_usedRowsOnly = on; });
        print = dialogs.runPreview(preview);
        pageCount = preview.pageCount();
        m_preview = nullptr;
    }
    if (!print) {
        finish();
        return;
    }

    if (m_dialog) m_dialog->show();
    QElapsedTimer pause;
    pause.start();
    while (pause.elapsed() < 10)
        QApplication::processEvents(QEventLoop::AllEvents, 10);

    // One sheet or many, the job runs from the task with the printing dialog up; its
    // Cancel is seen between sheets and between the pages of a sheet.
    m_jobList = commands;
    clsPageSetup setup = pageSetup(*m_printer);
    setup.pagePrinted = [] { QApplication::processEvents(QEventLoop::AllEvents, 5); };
    setup.pageCount = pageCount;
    m_jobRenderer = std::make_unique<cuiPageRenderer>(m_table, setup);
    m_savedRect = setup.printable;
    m_jobIndex = 0;
    m_jobRunning = true;
    m_task = new cmcTask;
    m_task->setCallback(&cuiPrinter::jobTick, this);
    m_task->setInterval(50);
}

void cuiPrinter::tellStartError() {
    // The document could not begin (the printer is gone, the file cannot be written):
    // say so rather than ending as if the pages were printed.
    cmcPrompt::tell(text(m_table, "GI_Sys_Printer_StartError"), text(m_table, "GI_Sys_AppTitle"),
                    cmcPromptIcon::Error);
}

void cuiPrinter::jobTick(void* context, cmcTask*) {
    static_cast<cuiPrinter*>(context)->runJobStep();
}

void cuiPrinter::runJobStep() {
    if (!m_jobRunning || !m_jobRenderer) return;
    if (m_jobIndex == 0) {
        m_jobPainter = std::make_unique<QPainter>();
        if (!m_jobPainter->begin(m_printer.get())) {
            m_jobPainter.reset();
            tellStartError();
            finish();
            return;
        }
    }
    if (m_jobIndex < m_jobList.size() && !m_cancel)
        m_jobRenderer->print(m_jobList[m_jobIndex], *m_printer, *m_jobPainter);
    ++m_jobIndex;
    if (m_jobIndex >= m_jobList.size() || m_cancel) {
        m_jobPainter->end();
        m_jobPainter.reset();
        m_list.clear();
        finish();
    }
}

void cuiPrinter::finish() {
    m_jobRunning = false;
    m_printing = false;
    cmcTask::release(m_task);
    m_jobRenderer.reset();
    m_jobList.clear();
    if (m_owner) m_owner->setEnabled(true);
    delete m_dialog.data();
}

void cuiPrinter::buildPrintingDialog() {
    delete m_dialog.data();
    auto* dialog = new QDialog(m_owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setObjectName(QStringLiteral("PrintingDialog"));
    dialog->setWindowTitle(text(m_table, "GI_Sys_Printer_PrintingDialog", 0));
    auto* label = new QLabel(text(m_table, "GI_Sys_Printer_PrintingDialog", 1), dialog);
    auto* button = new QPushButton(text(m_table, "GI_Sys_Printer_PrintingDialog", 2), dialog);
    label->adjustSize();
    button->adjustSize();
    const int lw = std::max(1, label->width()), lh = std::max(1, label->height());
    const int bw = int(lw * 1.2), bh = std::max(1, button->height());
    const int width = 2 * lw, height = 3 * (lh + bh);
    dialog->setFixedSize(width, height);
    label->move((width - lw) / 2, 2 * lh);
    button->setGeometry((width - bw) / 2, height - int(1.5 * bh), bw, bh);
    QObject::connect(button, &QPushButton::clicked, [this] { m_cancel = true; });
    if (m_owner) {
        const QRect owner = m_owner->window()->geometry();
        dialog->move(owner.center() - QPoint(width / 2, height / 2));
    }
    dialog->setEnabled(true);
    m_dialog = dialog;
}
