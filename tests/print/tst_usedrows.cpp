// Printing what is used: qxt5200-cli print --used-rows leaves out the list rows not in use,
// and every page's footer names its page number of the count, the file and the date. Real
// PDF files, read back with pdfinfo and pdftotext.

#include "CliRunner.h"
#include "PdfText.h"

#include <QDate>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class tst_UsedRows : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void initTestCase() {
        QVERIFY2(pdfToolsFound(),
                 "pdftotext and pdfinfo (poppler-utils) are needed: scripts/deps installs them");
    }

    // The channel list with three channels in use, far apart: the full print runs over
    // every row of the list, the used-rows print keeps the three channels (and their
    // rows' neighbours out), on fewer pages, each numbered of its own count.
    void usedRowsOnFewerPages() {
        const QString file = m_dir.filePath(QStringLiteral("three.icf"));
        QCOMPARE(cli({"new", file}).exitCode, 0);
        const CliRun set =
            cli({"set", file, "CT_ChannelList.CL_ChL_FreqR[2]=7.1",
                 "CT_ChannelList.CL_ChL_Name[2]=HARBOUR", "CT_ChannelList.CL_ChL_FreqR[250]=14.2",
                 "CT_ChannelList.CL_ChL_Name[250]=RIDGE", "CT_ChannelList.CL_ChL_FreqR[490]=21.3",
                 "CT_ChannelList.CL_ChL_Name[490]=LIGHTHOUSE"});
        QVERIFY2(set.exitCode == 0, qPrintable(set.out + set.err));

        const QString full = m_dir.filePath(QStringLiteral("full.pdf"));
        const QString used = m_dir.filePath(QStringLiteral("used.pdf"));
        const QStringList sheet{"--sheet", "Channel List"};
        CliRun r = cli(QStringList{"print", file, "-o", full} + sheet);
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        r = cli(QStringList{"print", file, "--used-rows", "-o", used} + sheet);
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));

        const int fullPages = pdfPages(full);
        const int usedPages = pdfPages(used);
        QVERIFY2(usedPages >= 1 && usedPages < fullPages,
                 qPrintable(QStringLiteral("%1 used, %2 full").arg(usedPages).arg(fullPages)));

        const QStringList usedText = pdfPageTexts(used);
        QCOMPARE(usedText.size(), usedPages);
        const QString all = usedText.join(QLatin1Char('\n'));
        for (const char* name : {"HARBOUR", "RIDGE", "LIGHTHOUSE"})
            QVERIFY2(all.contains(QLatin1String(name)), name);
        // A row not in use between them is not printed: its row number is gone.
        const QRegularExpression row100(QStringLiteral("(^|\\n)\\s*100\\s"));
        QVERIFY(row100.match(pdfPageTexts(full).join(QLatin1Char('\n'))).hasMatch());
        QVERIFY(!row100.match(all).hasMatch());

        // Every page of both files: its number of the count, the file name and the date.
        const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        for (const QString& pdf : {full, used}) {
            const QStringList pages = pdfPageTexts(pdf);
            for (int i = 0; i < pages.size(); ++i) {
                const QString footer = QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size());
                QVERIFY2(pages[i].contains(footer), qPrintable(pdf + ": " + footer));
                QVERIFY(pages[i].contains(QLatin1String("three.icf")));
                QVERIFY(pages[i].contains(date));
            }
        }
    }
};

QTEST_MAIN(tst_UsedRows)
#include "tst_usedrows.moc"
