// Rows as text for a spreadsheet's clipboard: rows copied as tab-separated text paste back
// into another range of their list unchanged; spreadsheet text (no row column, quoted
// fields, comma-separated lines) lands on the rows from the cell on; bad text names line
// and column and changes nothing; the row commands put the text on the clipboard on Copy,
// take foreign text on Paste as one change after the overwrite question, and keep the row
// clipboard's bytes for the program's own copy.

#include "ListImages.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcListInfo.h"
#include "cuiEditUser.h"
#include "imcCsvLists.h"
#include "imcRowText.h"

#include <QTest>

namespace {

using ListImages::overlay;

// A record's bytes; a network's without its channel bits, which are the memberships of the
// net-channels list and not a column of the network's row.
QByteArray recordBytes(const cmcEeprom& image, const cmcListLayout& l, int32_t row,
                       int32_t list = 0) {
    QByteArray bytes(reinterpret_cast<const char*>(image.data()) + l.base + row * l.size, l.size);
    if (list == QxList::Network) bytes.remove(QxList::NetworkChBitsOffset, QxList::ChBitsSize);
    return bytes;
}

bool valid(const cmcEeprom& image, const cmcListLayout& l, int32_t row) {
    return !(image.GetByte(l.bitmap + row / 8) >> (row % 8) & 1);
}

QStringList described(const std::vector<cmcCsvIssue>& issues) {
    QStringList out;
    for (const cmcCsvIssue& i : issues)
        out << i.describe();
    return out;
}

int changes = 0;
void countChange(void*, const cmcCellRequest&) {
    ++changes;
}

} // namespace

class tst_RowText : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }
    void init() { imcRowText::setClipboardText(QString()); }

    void copiedRowsPasteUnchanged_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("at");
        QTest::newRow("channels") << "channels" << 0 << 29 << 301;
        QTest::newRow("addresses") << "addresses" << 0 << 28 << 250;
        QTest::newRow("networks") << "networks" << 0 << 4 << 5;
        QTest::newRow("messages") << "messages" << 0 << 3 << 4;
        QTest::newRow("phone-links") << "phone-links" << 0 << 10 << 16;
        QTest::newRow("profiles") << "profiles" << 5 << 10 << 12;
        QTest::newRow("ale-networks") << "ale-networks" << 0 << 18 << 60;
        QTest::newRow("ale-self") << "ale-self" << 3 << 9 << 13;
        QTest::newRow("ale-individual") << "ale-individual" << 0 << 18 << 70;
        QTest::newRow("amd-messages") << "amd-messages" << 0 << 3 << 5;
    }
    // Each row in use of the copied range lands at the same distance from the target row,
    // with the same record bytes and validity; rows in between stay as they were.
    void copiedRowsPasteUnchanged() {
        QFETCH(QString, list);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, at);
        const cmcCsvTable& t = *imcCsvLists::find(list);
        const cmcListLayout& l = *cmcListInfo::layout(t.list);
        const cmcEeprom& source = ListImages::populated();
        const QString text = imcRowText::rows(source, t, first, last);
        QVERIFY(text.startsWith(QStringLiteral("row\t")));

        cmcEeprom image(source);
        const cmcCsvResult r = imcRowText::take(image, nullptr, t, text, at);
        QVERIFY2(r.ok(), qPrintable(described(r.errors).join(u'\n')));
        int firstInUse = -1;
        std::vector<int32_t> expected;
        for (int row = first; row <= last; ++row) {
            if (!t.inUse(source, row)) continue;
            if (firstInUse < 0) firstInUse = row;
            const int to = at + row - firstInUse;
            expected.push_back(to);
            QCOMPARE(recordBytes(image, l, to, t.list), recordBytes(source, l, row, t.list));
            QCOMPARE(valid(image, l, to), valid(source, l, row));
        }
        QVERIFY(expected.size() >= 2);
        QCOMPARE(r.targets, expected);
        for (int row = 0; row < l.rows; ++row)
            if (std::find(expected.begin(), expected.end(), row) == expected.end())
                QCOMPARE(recordBytes(image, l, row), recordBytes(source, l, row));
    }

    void spreadsheetText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");   // rows 10, 11, 12 after the paste
        QTest::addColumn<QStringList>("targets"); // rows written, from 1
        QTest::newRow("no row column: one after the other")
            << "rx_frequency\tmode\tname\r\n7.1\tLSB\tA\r\n7.2\tUSB\tB\r\n7.3\tCW\tC\r\n"
            << QStringList{"A", "B", "C"} << QStringList{"11", "12", "13"};
        QTest::newRow("row numbers keep their distance")
            << "row\trx_frequency\tname\n40\t7.1\tA\n42\t7.2\tC\n"
            << QStringList{"A", "", "C"} << QStringList{"11", "13"};
        QTest::newRow("quoted fields")
            << "rx_frequency\tname\r\n5.0\t\"X, Y\"\r\n5.1\t\"say \"\"hi\"\"\"\r\n"
            << QStringList{"X, Y", "say \"hi\"", ""} << QStringList{"11", "12"};
        QTest::newRow("comma-separated lines")
            << "row,rx_frequency,name\n1,3.3,\"Pier, 2\"\n"
            << QStringList{"Pier, 2", "", ""} << QStringList{"11"};
        QTest::newRow("common layout")
            << "Location\tName\tFrequency\tDuplex\tOffset\tMode\tComment\n"
               "1\tRelay\t29.520000\t+\t0.100000\tAM\t\n"
            << QStringList{"Relay", "", ""} << QStringList{"11"};
    }
    // Text copied from a spreadsheet lands from the cell's row (row 11) on.
    void spreadsheetText() {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QFETCH(QStringList, targets);
        cmcEeprom image = ListImages::erasedImage();
        const cmcCsvResult r =
            imcRowText::take(image, nullptr, *imcCsvLists::find("channels"), text, 10);
        QVERIFY2(r.ok(), qPrintable(described(r.errors).join(u'\n')));
        QStringList written;
        for (int32_t row : r.targets)
            written << QString::number(row + 1);
        QCOMPARE(written, targets);
        cmcCellDispatch d(&image);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(d.text(CT_ChannelList, CL_ChL_Name, 10 + i), names[i]);
    }

    void refusedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("at");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("bad frequency and unknown mode")
            << "row\trx_frequency\tmode\n1\t7.1\tUSB\n2\tabc\tUSB\n3\t7.3\tXYZ\n"
            << 0
            << QStringList{"line 3, column 2 (rx_frequency): 'abc' is not a frequency in MHz",
                           "line 4, column 3 (mode): 'XYZ' is not one of:"};
        QTest::newRow("past the list's end")
            << "row\trx_frequency\n1\t7.1\n3\t7.3\n"
            << 498
            << QStringList{"line 3, column 1 (row): row 3 would land on row 501; the list ends "
                           "at row 500"};
        QTest::newRow("not rows of this list")
            << "row\tmessage\n1\thello\n"
            << 0
            << QStringList{"line 1, column 2 (message): no such column; the channels list has"};
    }
    void refusedText() {
        QFETCH(QString, text);
        QFETCH(int, at);
        QFETCH(QStringList, errors);
        cmcEeprom image = ListImages::erasedImage();
        const cmcEeprom before(image);
        const cmcCsvResult r =
            imcRowText::take(image, nullptr, *imcCsvLists::find("channels"), text, at);
        const QStringList got = described(r.errors);
        QCOMPARE(got.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i)
            QVERIFY2(got[i].startsWith(errors[i]), qPrintable(got[i]));
        QVERIFY(image == before);
    }

    // Copy and Paste of the row commands: the text goes on the clipboard with Copy; the
    // program's own copy pastes its bytes, foreign text goes in through the cells as one
    // change, after the overwrite question when rows in use are met.
    void rowCommands() {
        cmcEeprom image(ListImages::populated());
        cmcCellDispatch d(&image);
        cuiEditUser user; // questions and errors through the (scripted) prompt service
        d.setEditUser(&user);
        changes = 0;
        d.setChangeListener(&countChange, nullptr);

        cmcCellRequest copy(CT_ChannelList, CL_ChL_Name, 0);
        copy.menuCommand = CL_PMenu_Copy;
        copy.rangeFirst = 0;
        copy.rangeLast = 5;
        d.dispatch(copy);
        const QString copied = imcRowText::clipboardText();
        QCOMPARE(copied.section(u'\n', 0, 0),
                 QStringLiteral("row\trx_frequency\ttx_frequency\tmode\tname\r"));
        QCOMPARE(copied.count(u'\n'), 3); // header, rows 1 and 4
        QVERIFY(!imcRowText::pastesText(QxList::Channel));
        QVERIFY(!imcRowText::pastesText(QxList::Address)); // the row clipboard's: not here

        ScriptedPrompt prompt;
        imcRowText::setClipboardText(QStringLiteral("name\tmode\trx_frequency\nRelay\tAM\t9.9\n"
                                                    "Coast\tCW\t8.8\n"));
        QVERIFY(imcRowText::pastesText(QxList::Channel));
        cmcCellRequest paste(CT_ChannelList, CL_ChL_Name, 2);
        paste.menuCommand = CL_PMenu_Paste;
        prompt.queueAnswer(PA_Cancel); // row 4 is in use
        d.dispatch(paste);
        QVERIFY(!paste.changed);
        QCOMPARE(changes, 0);
        QVERIFY(image == ListImages::populated());

        prompt.queueAnswer(PA_Ok);
        d.dispatch(paste);
        QVERIFY(paste.changed);
        QCOMPARE(changes, 1);
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_Name, 2), QStringLiteral("Relay"));
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_Mode, 3), QStringLiteral("CW"));
        QCOMPARE(paste.selectFirst, 2);
        QCOMPARE(paste.selectLast, 3);
        QCOMPARE(paste.rangeLast - paste.rangeFirst + 1, 2); // the undo step's row count
        QCOMPARE(prompt.entries().size(), 2);
        QVERIFY(prompt.entries().at(0).question);

        // Refused text: one message naming the line, nothing changed.
        imcRowText::setClipboardText(QStringLiteral("rx_frequency\tmode\n7.1\tQRP\n"));
        prompt.clear();
        const cmcEeprom before(image);
        d.dispatch(paste);
        QVERIFY(!paste.changed);
        QVERIFY(image == before);
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY(prompt.entries().at(0).text.contains(QStringLiteral("line 2, column 2 (mode)")));
    }
};

QTEST_GUILESS_MAIN(tst_RowText)
#include "tst_rowtext.moc"
