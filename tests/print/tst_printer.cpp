// Printing sheets of the program's overlay to PDF files: page counts and column blocks, and
// the preview of the pages.

#include "EditorFixture.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcGTex.h"
#include "cuiPageRenderer.h"
#include "cuiPreview.h"
#include "cuiPrinter.h"

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
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

        const std::unique_ptr<cuiPreviewPages> preview = p.previewPages({kChannels}, *printer);
        QCOMPARE(preview->layOut(), measured);
        // The preview's paper is the printer's; a page is drawn at the size asked for, with
        // the frame's black bar and the sheet's text on it.
        const QSizeF paper = preview->paperInches();
        QVERIFY(qAbs(paper.width() - 210 / 25.4) < 0.01);
        QVERIFY(qAbs(paper.height() - 297 / 25.4) < 0.01);
        const QImage first = preview->draw(0, QSize(827, 1169));
        QCOMPARE(first.size(), QSize(827, 1169));
        int black = 0;
        for (int y = 0; y < first.height(); ++y)
            black += first.pixelColor(first.width() / 2, y) == QColor(Qt::black);
        QVERIFY(black > 0);
        QVERIFY(preview->draw(measured, QSize(827, 1169)).isNull());
    }

    // The preview window over the printer's pages: the zoomed page is drawn at the zoom's
    // resolution, sharp (its text as dark as on paper), not a smaller page scaled up.
    void zoomedPreviewIsDrawnAtTheZoomsResolution() {
        fillChannels(150);
        QTemporaryDir dir;
        auto printer = pdfPrinter(dir.filePath(QStringLiteral("preview.pdf")), 600);
        cuiPrinter p(m_editor->form.get(), cmcGTex::mainTable());
        const std::unique_ptr<cuiPreviewPages> pages = p.previewPages({kChannels}, *printer);
        cuiPreview preview(
            nullptr, QString(), *pages, [] { return 10; }, [](int) {});
        QVERIFY(preview.pageCount() > 1);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.zoomButton()->click();
        const qreal dpr = preview.devicePixelRatioF();
        const QSize zoomed = (QSizeF(8.27, 11.69) * (cuiPreview::ZoomDpi * dpr)).toSize();
        const QImage page = preview.shownImage();
        QVERIFY(qAbs(page.width() - zoomed.width()) <= 1);
        QVERIFY(qAbs(page.height() - zoomed.height()) <= 1);
        QCOMPARE(preview.pageLabel()->pixmap().size(), page.size());
        // Channel names in black on white: the darkest pixel of the body is black.
        int darkest = 255;
        for (int y = page.height() / 4; y < page.height() / 2; ++y)
            for (int x = 0; x < page.width(); ++x)
                darkest = std::min(darkest, qGray(page.pixel(x, y)));
        QVERIFY2(darkest < 40, qPrintable(QString::number(darkest)));
        // Two pages later the memory kept is still a few pages' worth.
        preview.nextButton()->click();
        preview.nextButton()->click();
        QVERIFY(preview.keptBytes() <=
                cuiPreview::KeptPages * qint64(page.width()) * page.height() * 4);
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
