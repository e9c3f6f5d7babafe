// The worked example of the definition language on the architecture page, read from the
// page itself and built over the program's overlay (its cell models and names): the sheet
// is what the page says it is, so the page cannot drift from the language.

#include "ScriptedPrompt.h"
#include "SheetTestKit.h"
#include "cmcCellNames.h"
#include "cmcGTex.h"
#include "cuiSheetLayout.h"

#include <QFile>
#include <QTest>
#include <memory>

namespace {

QStringList linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return lines;
}

// The lines of the first fenced block after the example's heading.
QStringList exampleFromPage() {
    const QStringList page =
        linesOf(QStringLiteral(QX_TEST_DATA_DIR "/../../docs/ARCHITECTURE.md"));
    const qsizetype heading = page.indexOf(QStringLiteral("### A worked example"));
    if (heading < 0) return {};
    const QString fence = QStringLiteral("```");
    const qsizetype open = page.indexOf(fence, heading);
    const qsizetype close = open < 0 ? -1 : page.indexOf(fence, open + 1);
    return close < 0 ? QStringList() : page.mid(open + 1, close - open - 1);
}

// The program's overlay up to its end mark, the example's keys after it.
QStringList overlayWith(const QStringList& example) {
    QStringList lines = linesOf(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    const qsizetype end = lines.indexOf(QStringLiteral("#End_Of_Ovl"));
    if (end >= 0) lines = lines.mid(0, end);
    return lines + example + QStringList{QStringLiteral("#End_Of_Ovl")};
}

} // namespace

class tst_DocExample : public QObject {
    Q_OBJECT
    RecordingSheetEnv m_env;

  private slots:
    void exampleBuildsAsThePageSays() {
        const QStringList example = exampleFromPage();
        QVERIFY2(example.size() >= 6 && example.first().startsWith(QLatin1String("#GI_Sheet_Demo")),
                 qPrintable(example.join('\n')));
        cmcGTex table;
        QVERIFY(table.attachLines(overlayWith(example)));
        auto layout = cuiSheetLayout::create(QStringLiteral("GI_Sheet_Demo"), table);
        {
            FatalGuard guard;
            try {
                layout->Build();
            } catch (const cmcFatalError& e) {
                QFAIL(qPrintable(QStringLiteral("the example does not build: ") + e.message));
            }
        }

        // Titled "Demo" in bold, 15 pixels high; one fixed column and row; the current
        // row tinted.
        QCOMPARE(layout->title(), QStringLiteral("Demo"));
        QVERIFY(layout->titleFont());
        QCOMPARE(layout->titleFont()->height, -15);
        QCOMPARE(layout->titleFont()->style, uint8_t(cuiFont::Bold));
        QCOMPARE(layout->fixedColsStyle(), 1);
        QCOMPARE(layout->fixedRowsStyle(), 1);
        QVERIFY(layout->colorSelectLine());

        // A heading row and three rows from the one-row loop body.
        QCOMPARE(layout->colCount(), 3);
        QCOMPARE(layout->rowCount(), 4);
        QCOMPARE(layout->CellObjectAt(1, 0).displayText, QStringLiteral("RX Frequency\n(MHz)"));
        QVERIFY(layout->CellObjectAt(2, 0).flag(6)); // no page block starts at "Name"
        QVERIFY(!layout->CellObjectAt(1, 0).flag(6));
        for (int r = 1; r <= 3; ++r) {
            QCOMPARE(layout->rowEntry(r).line, layout->rowEntry(1).line);
            const cuiCell& number = layout->CellObjectAt(0, r);
            QCOMPARE(number.category, int32_t(CT_ChannelList));
            QCOMPARE(number.label, int32_t(CL_Misc_ChNo_1Base));
            QCOMPARE(number.index, r - 1);
            QVERIFY(!number.selectable);
            const int32_t labels[] = {CL_ChL_FreqR, CL_ChL_Name};
            for (int c = 1; c <= 2; ++c) {
                const cuiCell& value = layout->CellObjectAt(c, r);
                QCOMPARE(value.label, labels[c - 1]);
                QCOMPARE(value.index, r - 1); // channels 0, 1, 2
                QVERIFY(value.selectable);
                QVERIFY(value.fitWidth);
                QCOMPARE(value.popupMenu, QStringLiteral("GI_PMenu_List"));
            }
        }
    }
};

QTEST_MAIN(tst_DocExample)
#include "tst_docexample.moc"
