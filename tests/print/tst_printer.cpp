// Printing sheets of the program's overlay to PDF files: page counts and column blocks.

#include "EditorFixture.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcGTex.h"
#include "cuiPageRenderer.h"
#include "cuiPrinter.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString kChannels = QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0");

// Pages of a PDF file: its page objects, not the page tree.
int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray data = file.readAll();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(data).count(page));
}

std::unique_ptr<QPrinter> pdfPrinter(const QString& path, int dpi = 300) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setResolution(dpi);
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

void fillChannels(int count) {
    cmcCellDispatch& cells = cmcCellDispatch::global();
    for (int i = 0; i < count; ++i) {
        QVERIFY(
            cells.commit(CT_ChannelList, CL_ChL_FreqR, i, QString::number(7.0 + i * 0.01, 'f', 3)));
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_Name, i, QStringLiteral("Chan %1").arg(i)));
    }
}

} // namespace

class tst_Printer : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorFixture> m_editor;

  private slots:
    void init() { m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-print-")); }
    void cleanup() { m_editor.reset(); }

    void channelSheetPrintsTheMeasuredPages_data() {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("fontSize");
        QTest::newRow("a few channels") << 5 << 10;
        QTest::newRow("many channels at 12 points") << 150 << 12;
    }
    void channelSheetPrintsTheMeasuredPages() {
        QFETCH(int, channels);
        QFETCH(int, fontSize);
        fillChannels(channels);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("channels.pdf"));
        auto printer = pdfPrinter(path);
        cuiPrinter p(m_editor->form.get(), cmcGTex::mainTable());
        p.setFontSize(fontSize);
        const int measured = p.countPages({kChannels}, *printer);
        QVERIFY(measured >= 1);
        QCOMPARE(p.printNow({kChannels}, *printer), measured);
        QCOMPARE(pdfPages(path), measured);
        if (channels > 100) QVERIFY2(measured > 1, "150 channels fill more than one page");

        std::vector<QImage> pages;
        p.renderPreview({kChannels}, *printer, pages);
        QCOMPARE(int(pages.size()), measured);
        // A preview page has the page's proportions and something drawn on it.
        const QImage& first = pages.front();
        QVERIFY(qAbs(double(first.width()) / first.height() - 210.0 / 297.0) < 0.01);
        QVERIFY(first.pixelColor(first.width() / 2, first.height() / 2) != QColor());
    }

    void narrowSheetIsOneColumnBlockPerBand() {
        fillChannels(150);
        QTemporaryDir dir;
        auto printer = pdfPrinter(dir.filePath(QStringLiteral("narrow.pdf")));
        cuiPrinter p(m_editor->form.get(), cmcGTex::mainTable());
        cuiPageRenderer renderer(cmcGTex::mainTable(), p.pageSetup(*printer));
        const int pages = renderer.measure(kChannels);
        QCOMPARE(int(renderer.columnBlocks().size()), 1);
        QCOMPARE(pages, int(renderer.rowBands().size()));
        QVERIFY(pages > 1);
    }
};

QTEST_MAIN(tst_Printer)
#include "tst_printer.moc"
