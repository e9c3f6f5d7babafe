// PDF without a printer: File > Export PDF writes the pages that printing gives (same page
// count, the file's channel names and frequencies in its text), the "No printer" message
// offers the export instead, and qxt5200-cli print does the same headless. The pages are
// the printer's alone: the print font is its size at the printer's resolution, and the same
// file gives the same pages whatever the screen's resolution.

#include "CliRunner.h"
#include "EditorFixture.h"
#include "PdfPrintDialogs.h"
#include "PdfText.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "cuiPageRenderer.h"
#include "cuiPreview.h"
#include "cuiPrintDialogs.h"
#include "cuiPrinter.h"
#include "datCh.h"
#include "indCloneFile.h"
#include "indMain.h"

#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

const char kName[] = "HARBOUR PLAN";
constexpr uint32_t kFrequency = 7123450; // shown as 7.123450

// Channel row 4 with a name and a frequency to find in the PDF's text.
void setNamedChannel(cmcEeprom& image) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    const int32_t base = ch->base + 4 * ch->size;
    for (int i = 0; i < ch->size; ++i)
        image.SetByte(base + i, 0xFF);
    for (int i = 0; i < 4; ++i) {
        image.SetByte(base + QxRec::ChFreqR + i, uint8_t(kFrequency >> (8 * i)));
        image.SetByte(base + QxRec::ChFreqT + i, uint8_t(kFrequency >> (8 * i)));
    }
    image.SetByte(base + QxRec::ChMode, 0);
    image.SetBlock(base + QxRec::ChName, reinterpret_cast<const uint8_t*>(kName),
                   int32_t(std::strlen(kName)));
}

// The words of a PDF file with their boxes (points), as pdftotext -bbox gives them.
struct PdfWord {
    int page;
    QString text;
    double xMin, yMin, xMax, yMax;
    double height() const { return yMax - yMin; }
};

QString pdfBoxes(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<PdfWord> pdfWords(const QString& boxes) {
    static const QRegularExpression word(
        QStringLiteral("<page |<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" "
                       "xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                      m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

// The command-line tool's print, offscreen, with the environment's additions.
int cliPrint(const QStringList& args, const QMap<QString, QString>& extra) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), cliDataHome());
    for (auto it = extra.begin(); it != extra.end(); ++it)
        env.insert(it.key(), it.value());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX),
            QStringList{"print"} + args);
    if (!p.waitForFinished(240000)) return -1;
    return p.exitCode();
}

} // namespace

class tst_PdfExport : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorFixture> m_editor;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    std::unique_ptr<PdfPrintDialogs> m_printers;
    QTemporaryDir m_dir;

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(pdfToolsFound(),
                 "pdftotext and pdfinfo (poppler-utils) are needed: scripts/deps installs them");
    }
    void init() {
        m_prompt = std::make_unique<ScriptedPrompt>();
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-pdf-"));
        m_editor->form->show();
        setNamedChannel(m_editor->main->workingImage());
        QVERIFY(m_editor->main->ShowSheetNow(EditorFixture::channelSheet));
        m_printers = std::make_unique<PdfPrintDialogs>();
    }
    void cleanup() {
        m_printers.reset();
        m_editor.reset();
        m_prompt.reset();
    }

    // Printed first (to a PDF printer), then exported: the export has the printed pages,
    // and its text holds the channel's name and frequency.
    void exportHasThePrintedPages_data() {
        QTest::addColumn<int>("which"); // 0 the sheet on screen, 1 every sheet
        QTest::newRow("current sheet") << 0;
        QTest::newRow("all sheets") << 1;
    }
    void exportHasThePrintedPages() {
        QFETCH(int, which);
        m_printers->pdfPath = m_dir.filePath(QStringLiteral("printed%1.pdf").arg(which));
        EditorFixture::runMenu(which == 0 ? CL_Menu_File_Print_Current : CL_Menu_File_Print_All);
        QTRY_VERIFY_WITH_TIMEOUT(!m_editor->main->printer().isPrinting(), 120000);
        const int printed = pdfPages(m_printers->pdfPath);
        QVERIFY(printed > 0);

        ScriptedDialogs files;
        const QString exported = m_dir.filePath(QStringLiteral("exported%1").arg(which));
        files.answers << exported; // typed without its suffix
        EditorFixture::runMenu(CL_Menu_File_ExportPdf, which);
        QCOMPARE(files.saves, 1);
        QVERIFY(files.filters.first().contains("*.pdf"));
        QCOMPARE(pdfPages(exported + ".pdf"), printed);
        const QString text = pdfText(exported + ".pdf");
        QVERIFY2(text.contains(kName), qPrintable(text.left(2000)));
        QVERIFY(text.contains(QStringLiteral("7.123450")));
        QVERIFY(m_prompt->entries().isEmpty());
    }

    // Without a printer the message offers the PDF instead: Yes asks for the file and
    // writes the pages, No leaves it at that.
    void noPrinterOffersPdf_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(PA_Yes);
        QTest::newRow("no") << int(PA_No);
    }
    void noPrinterOffersPdf() {
        QFETCH(int, answer);
        m_printers->printerInstalled = false;
        m_prompt->queueAnswer(answer);
        ScriptedDialogs files;
        const QString path = m_dir.filePath(QStringLiteral("fallback%1.pdf").arg(answer));
        files.answers << path;
        EditorFixture::runMenu(CL_Menu_File_Print_Current);
        QCOMPARE(m_prompt->entries().size(), 1);
        const ScriptedPrompt::Entry& offer = m_prompt->entries().first();
        QVERIFY(offer.question);
        QCOMPARE(offer.buttons, cmcPromptButtons::YesNo);
        QVERIFY(offer.text.startsWith(cmcGTex::mainTable().getText("GI_Sys_Printer_NoPrinter")));
        QCOMPARE(m_printers->setups, 0);
        QCOMPARE(files.saves, answer == PA_Yes ? 1 : 0);
        QCOMPARE(QFile::exists(path), answer == PA_Yes);
        if (answer == PA_Yes) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            QCOMPARE(pdfPages(path),
                     m_editor->main->printer().countPages({EditorFixture::channelSheet}, printer));
            QVERIFY(pdfText(path).contains(kName));
        }
        QVERIFY(m_editor->form->isEnabled());
    }

    // A file that cannot be written is reported and leaves nothing behind.
    void unwritableExportIsReported() {
        ScriptedDialogs files;
        files.answers << m_dir.filePath(QStringLiteral("no-such-folder/plan.pdf"));
        EditorFixture::runMenu(CL_Menu_File_ExportPdf, 0);
        QCOMPARE(m_prompt->entries().size(), 1);
        QCOMPARE(m_prompt->entries().first().icon, cmcPromptIcon::Error);
        QVERIFY(m_prompt->entries().first().text.contains("plan.pdf"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("no-such-folder"))));
    }

    // 10 points at 600 dpi are 83 printer pixels (10 × 600 / 72 = 83.3), not a height that
    // went through the screen's pixels: in the PDF the channel name (10 points) stands to
    // the header (9 points, 75 pixels) as 83 to 75.
    void printFontIsTheSizeAtThePrintersResolution() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = m_dir.filePath(QStringLiteral("font600.pdf"));
        printer.setOutputFileName(path);
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        cuiPrinter& owner = m_editor->main->printer();
        owner.setFontSize(10);
        cuiPageRenderer renderer(cmcGTex::mainTable(), owner.pageSetup(printer));
        QPainter painter(&printer);
        QVERIFY(renderer.print(EditorFixture::channelSheet, printer, painter) > 0);
        painter.end();
        QCOMPARE(renderer.lastFontHeight(), -83);

        const QList<PdfWord> words = pdfWords(pdfBoxes(path));
        const PdfWord* name = nullptr;
        const PdfWord* header = nullptr;
        for (const PdfWord& w : words) {
            if (w.page != 1) continue;
            if (w.text == QLatin1String("HARBOUR")) name = &w;
            if (!header || w.yMin < header->yMin) header = &w;
        }
        QVERIFY(name && header);
        const double ratio = name->height() / header->height();
        QVERIFY2(qAbs(ratio - 83.0 / 75.0) < 0.003,
                 qPrintable(QStringLiteral("%1 to %2").arg(name->height()).arg(header->height())));
    }

    // The same file printed headless on screens of 96 and 144 dots per inch: the same page
    // count and every word at the same place.
    void samePdfWhateverTheScreen() {
        const QString file = m_dir.filePath(QStringLiteral("screens.icf"));
        QVERIFY(m_editor->main->Save(file));
        const QString at96 = m_dir.filePath(QStringLiteral("screen96.pdf"));
        const QString at144 = m_dir.filePath(QStringLiteral("screen144.pdf"));
        QCOMPARE(cliPrint({file, "-o", at96}, {}), 0);
        QCOMPARE(cliPrint({file, "-o", at144},
                          {{"QT_ENABLE_HIGHDPI_SCALING", "0"}, {"QT_FONT_DPI", "144"}}),
                 0);
        QVERIFY(pdfPages(at96) > 1);
        QCOMPARE(pdfPages(at144), pdfPages(at96));
        const QString boxes = pdfBoxes(at96);
        QVERIFY(boxes.contains(QLatin1String(">HARBOUR<")));
        const QList<PdfWord> a = pdfWords(boxes);
        const QList<PdfWord> b = pdfWords(pdfBoxes(at144));
        QCOMPARE(b.size(), a.size());
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString where = QStringLiteral("page %1 '%2' at %3,%4 / '%5' at %6,%7")
                                      .arg(a[i].page)
                                      .arg(a[i].text)
                                      .arg(a[i].xMin)
                                      .arg(a[i].yMin)
                                      .arg(b[i].text)
                                      .arg(b[i].xMin)
                                      .arg(b[i].yMin);
            QVERIFY2(a[i].page == b[i].page && a[i].text == b[i].text && a[i].xMin == b[i].xMin &&
                         a[i].yMin == b[i].yMin && a[i].xMax == b[i].xMax && a[i].yMax == b[i].yMax,
                     qPrintable(where));
        }
    }

    // The command line, headless: the channel sheet as the editor prints it, by caption or
    // command; a sheet that does not exist and a file that cannot be written fail cleanly.
    void commandLinePrint_data() {
        QTest::addColumn<QStringList>("sheet");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("by caption") << QStringList{"--sheet", "channel list"} << 0;
        QTest::newRow("by command") << QStringList{"--sheet", EditorFixture::channelSheet} << 0;
        QTest::newRow("no such sheet") << QStringList{"--sheet", "Nothing Here"} << 36;
        QTest::newRow("unwritable") << QStringList{"--sheet", "Channel List"} << 37;
    }
    void commandLinePrint() {
        QFETCH(QStringList, sheet);
        QFETCH(int, exitCode);
        const QString file = m_dir.filePath(QStringLiteral("plan.icf"));
        QVERIFY(m_editor->main->Save(file));
        const QString out = exitCode == 37 ? m_dir.filePath(QStringLiteral("missing/plan.pdf"))
                                           : m_dir.filePath(QStringLiteral("cli.pdf"));
        QFile::remove(out);
        const CliRun r = cli(QStringList{"print", file, "-o", out} + sheet);
        QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
        if (exitCode != 0) {
            QVERIFY(!QFile::exists(out));
            return;
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        QCOMPARE(pdfPages(out),
                 m_editor->main->printer().countPages({EditorFixture::channelSheet}, printer));
        const QString text = pdfText(out);
        QVERIFY(text.contains(kName));
        QVERIFY(text.contains(QStringLiteral("7.123450")));
    }
};

QTEST_MAIN(tst_PdfExport)
#include "tst_pdfexport.moc"
