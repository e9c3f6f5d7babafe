// The lists as CSV: the text (RFC 4180 quoting, BOM, line ends), every list exported and
// imported again through the cells, the channel list in the common layout, import errors
// that name line, column and reason and change nothing, clamping, the import modes and
// selection names independent of the language in use.

#include "ListImages.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcCsvLists.h"

#include <QTest>

namespace {

using ListImages::erasedImage;
using ListImages::overlay;
using ListImages::set;

const cmcEeprom& source() {
    return ListImages::populated();
}

int rowsInUse(const cmcEeprom& image, const cmcCsvTable& t) {
    int n = 0;
    for (int32_t row = 0; row < t.rows; ++row)
        n += t.inUse(image, row) ? 1 : 0;
    return n;
}

cmcCsvResult import(cmcEeprom& image, const cmcCsvTable& list, const QByteArray& text,
                    cmcCsvOptions options = {}) {
    return cmcCsvList::read(image, nullptr, imcCsvLists::layouts(list), text, options);
}

QStringList described(const std::vector<cmcCsvIssue>& issues) {
    QStringList out;
    for (const cmcCsvIssue& i : issues)
        out << i.describe();
    return out;
}

} // namespace

class tst_CsvLists : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }

    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<QList<int>>("lines");
        using L = QList<QStringList>;
        QTest::newRow("LF") << QByteArray("a,b\n1,2\n") << L{{"a", "b"}, {"1", "2"}}
                            << QList<int>{1, 2};
        QTest::newRow("CRLF") << QByteArray("a,b\r\n1,2\r\n") << L{{"a", "b"}, {"1", "2"}}
                              << QList<int>{1, 2};
        QTest::newRow("no final line end")
            << QByteArray("a,b\r\n1,2") << L{{"a", "b"}, {"1", "2"}} << QList<int>{1, 2};
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFrow,name\n1,x\n")
                                         << L{{"row", "name"}, {"1", "x"}} << QList<int>{1, 2};
        QTest::newRow("comma in quotes")
            << QByteArray("a\n\"Pier, 3\"\n") << L{{"a"}, {"Pier, 3"}} << QList<int>{1, 2};
        QTest::newRow("doubled quote") << QByteArray("a\n\"say \"\"hi\"\"\"\n")
                                       << L{{"a"}, {"say \"hi\""}} << QList<int>{1, 2};
        QTest::newRow("line break in a field")
            << QByteArray("a,b\n\"one\r\ntwo\",3\n4,5\n")
            << L{{"a", "b"}, {"one\ntwo", "3"}, {"4", "5"}} << QList<int>{1, 2, 4};
        QTest::newRow("empty fields")
            << QByteArray("a,b,c\n,,\n\"\",x,\n") << L{{"a", "b", "c"}, {"", "", ""}, {"", "x", ""}}
            << QList<int>{1, 2, 3};
        QTest::newRow("UTF-8 text")
            << QByteArray("name\nZ\xC3\xBCrich\n") << L{{"name"}, {QStringLiteral("Z\u00FCrich")}}
            << QList<int>{1, 2};
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, records);
        QFETCH(QList<int>, lines);
        std::vector<cmcCsvRecord> out;
        QString error;
        QVERIFY2(cmcCsvList::parse(bytes, out, &error), qPrintable(error));
        QCOMPARE(int(out.size()), records.size());
        for (int i = 0; i < records.size(); ++i) {
            QCOMPARE(out[size_t(i)].fields, records[i]);
            QCOMPARE(out[size_t(i)].line, lines[i]);
        }
    }

    void parseRefuses_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("open quote")
            << QByteArray("a\n1\n\"never closed\n") << "line 3: a quoted field is not closed";
        QTest::newRow("Latin-1") << QByteArray("name\nok\nZ\xFCrich\n")
                                 << "line 3: the text is not UTF-8";
    }
    void parseRefuses() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        std::vector<cmcCsvRecord> out;
        QString why;
        QVERIFY(!cmcCsvList::parse(bytes, out, &why));
        QCOMPARE(why, error);
    }

    // What is written reads back as the same fields.
    void writeQuotes_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Harbour"
                               << "Harbour";
        QTest::newRow("comma") << "Pier, 3"
                               << "\"Pier, 3\"";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"say \"\"hi\"\"\"";
        QTest::newRow("line break") << "a\nb"
                                    << "\"a\nb\"";
        QTest::newRow("leading blank") << " x"
                                       << "\" x\"";
        QTest::newRow("empty") << ""
                               << "";
    }
    void writeQuotes() {
        QFETCH(QString, value);
        QFETCH(QString, written);
        QCOMPARE(cmcCsvList::field(value), written);
        std::vector<cmcCsvRecord> out;
        QVERIFY(cmcCsvList::parse(cmcCsvList::record({value, QStringLiteral("end")}).toUtf8(), out,
                                  nullptr));
        QCOMPARE(out.at(0).fields, (QStringList{value, QStringLiteral("end")}));
    }

    // Every list: exported, then imported into the same image with that list cleared, gives
    // the same cells (the same export) and the same rows in use.
    void roundTrip_data() {
        QTest::addColumn<QString>("list");
        for (const cmcCsvTable* t : imcCsvLists::all())
            QTest::newRow(t->name) << QString::fromLatin1(t->name);
    }
    void roundTrip() {
        QFETCH(QString, list);
        const cmcCsvTable& t = *imcCsvLists::find(list);
        const QByteArray text = cmcCsvList::write(source(), t);
        const int used = rowsInUse(source(), t);
        QVERIFY2(used >= 3, qPrintable(list));
        QCOMPARE(int(text.count('\n')), used + 1);

        cmcEeprom target(source());
        for (int32_t row = 0; row < t.rows; ++row)
            t.clearRow(target, row);
        const bool records = cmcListInfo::layout(t.list) != nullptr;
        if (records)
            QCOMPARE(rowsInUse(target, t), 0);
        else
            QVERIFY(cmcCsvList::write(target, t) != text); // memberships cleared
        const cmcCsvResult result = import(target, t, text);
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QCOMPARE(result.rows, used);
        QCOMPARE(cmcCsvList::write(target, t), text);
        // The records' bytes too (a network's channel bits travel with the net-channels list).
        if (records && t.list != QxList::Network) {
            const cmcListLayout& l = *cmcListInfo::layout(t.list);
            for (int32_t a = l.base; a < l.base + l.rows * l.size; ++a)
                QCOMPARE(target.GetByte(a), source().GetByte(a));
            for (int32_t a = l.bitmap; a < l.bitmap + (l.rows + 7) / 8; ++a)
                QCOMPARE(target.GetByte(a), source().GetByte(a));
        }
    }

    // All lists into an erased image, in tree order: every list reads back the same.
    void wholeImageIntoBlank() {
        cmcEeprom target = erasedImage();
        for (int g = 0; g < 100; ++g)
            for (int b = 0; b < QxList::AleGroupSize; ++b)
                target.SetByte(QxList::AleGroupBase + g * QxList::AleGroupSize + b, 0);
        for (const cmcCsvTable* t : imcCsvLists::all()) {
            const cmcCsvResult result = import(target, *t, cmcCsvList::write(source(), *t));
            QVERIFY2(result.ok(), qPrintable(QString::fromLatin1(t->name) + u' ' +
                                             described(result.errors).join(u'\n')));
        }
        for (const cmcCsvTable* t : imcCsvLists::all())
            QCOMPARE(cmcCsvList::write(target, *t), cmcCsvList::write(source(), *t));
    }

    // The common layout, both ways: simplex, +/- offsets and split channels.
    void commonLayout_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<uint>("rx");
        QTest::addColumn<uint>("tx");
        QTest::newRow("simplex") << "1,Harbour,7.100000,,0.000000,USB," << 7100000u << 7100000u;
        QTest::newRow("plus") << "2,Relay,29.520000,+,0.100000,AM," << 29520000u << 29620000u;
        QTest::newRow("minus") << "3,Down,14.300000,-,0.025000,LSB," << 14300000u << 14275000u;
        QTest::newRow("split") << "4,\"Cross, band\",4.125000,split,8.291000,CW," << 4125000u
                               << 8291000u;
    }
    void commonLayout() {
        QFETCH(QString, line);
        QFETCH(uint, rx);
        QFETCH(uint, tx);
        const cmcCsvTable& channels = *imcCsvLists::find(QStringLiteral("channels"));
        const QString header =
            QStringLiteral("Location,Name,Frequency,Duplex,Offset,Mode,Comment\r\n");
        cmcEeprom image = erasedImage();
        const cmcCsvResult result =
            import(image, channels, (header + line + QStringLiteral("\r\n")).toUtf8());
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QCOMPARE(result.table, &imcCsvLists::commonChannels());
        const int32_t row = line.section(u',', 0, 0).toInt() - 1;
        cmcCellDispatch d(&image);
        int64_t v = 0;
        QVERIFY(d.value(CT_ChannelList, CL_ChL_FreqR, row, &v));
        QCOMPARE(v, int64_t(rx));
        QVERIFY(d.value(CT_ChannelList, CL_ChL_FreqT, row, &v));
        QCOMPARE(v, int64_t(tx));
        QCOMPARE(QString::fromUtf8(cmcCsvList::write(image, imcCsvLists::commonChannels())),
                 header + line + QStringLiteral("\r\n"));
    }

    // Location counts as the file counts: a file that gives Location 0 counts from 0, any
    // other from 1; both land on the first rows. Numbers beyond the list are refused with
    // the file's own range.
    void commonLayoutNumbering_data() {
        QTest::addColumn<QByteArray>("locations"); // the Location of each record
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("landed");
        QTest::newRow("from 0") << QByteArray("0,1,2") << 0 << "1-3";
        QTest::newRow("from 1") << QByteArray("1,2,3") << 1 << "1-3";
        QTest::newRow("from 0, file order mixed") << QByteArray("2,0,1") << 0 << "1-3";
        QTest::newRow("from 0, with a gap") << QByteArray("0,1,4") << 0 << "1-2, 5";
        QTest::newRow("from 1, with a gap") << QByteArray("1,2,5") << 1 << "1-2, 5";
        QTest::newRow("from 0, last row") << QByteArray("0,499") << 0 << "1, 500";
    }
    void commonLayoutNumbering() {
        QFETCH(QByteArray, locations);
        QFETCH(int, first);
        QFETCH(QString, landed);
        QByteArray text = "Location,Name,Frequency,Duplex,Offset,Mode,Comment\r\n";
        const QList<QByteArray> numbers = locations.split(',');
        for (const QByteArray& n : numbers)
            text += n + ",CH" + n + ",7." + n.rightJustified(3, '0') + "000,,0.000000,USB,\r\n";
        cmcEeprom image = erasedImage();
        const cmcCsvResult result =
            import(image, *imcCsvLists::find(QStringLiteral("channels")), text);
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QCOMPARE(result.firstNumber, first);
        QCOMPARE(result.landed(), landed);
        cmcCellDispatch d(&image);
        for (const QByteArray& n : numbers) {
            const int32_t row = n.toInt() - first;
            QCOMPARE(d.text(CT_ChannelList, CL_ChL_Name, row), QString::fromLatin1("CH" + n));
        }
        QCOMPARE(rowsInUse(image, imcCsvLists::commonChannels()), int(numbers.size()));

        // One past the list, in the file's own numbering: refused, nothing changes.
        const cmcEeprom before = image;
        const QByteArray beyond = text + QByteArray::number(500 + first) + ",X,7.0,,0,USB,\r\n";
        const cmcCsvResult refused =
            import(image, *imcCsvLists::find(QStringLiteral("channels")), beyond);
        QCOMPARE(described(refused.errors),
                 QStringList{QStringLiteral("line %1, column 1 (Location): '%2' is not a row "
                                            "number (%3 to %4)")
                                 .arg(numbers.size() + 2)
                                 .arg(500 + first)
                                 .arg(first)
                                 .arg(499 + first)});
        QVERIFY(image == before);
    }

    // Other tools' columns are passed over; what the radio cannot hold is named.
    void commonLayoutOtherTools() {
        const cmcCsvTable& channels = *imcCsvLists::find(QStringLiteral("channels"));
        cmcEeprom image = erasedImage();
        const QByteArray good =
            "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,Mode,TStep,Skip,Comment\n"
            "5,Beacon,10.144000,,0.000000,,88.5,CW,5.00,,weak\n";
        cmcCsvResult result = import(image, channels, good);
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QCOMPARE(cmcCellDispatch(&image).text(CT_ChannelList, CL_ChL_Name, 4),
                 QStringLiteral("Beacon"));

        const cmcEeprom before = image;
        const QByteArray bad = "Location,Name,Frequency,Duplex,Offset,Mode\n"
                               "6,A,7.000000,off,0.000000,USB\n"
                               "7,B,7.000000,+,abc,USB\n"
                               "8,C,7.000000,,0,FM\n";
        result = import(image, channels, bad);
        QCOMPARE(
            described(result.errors),
            (QStringList{"line 2, column 4 (Duplex): this radio cannot switch transmitting off for "
                         "one channel",
                         "line 3, column 5 (Offset): 'abc' is not an offset in MHz",
                         "line 4, column 6 (Mode): 'FM' is not one of: USB, LSB, CW, AM, FSK"}));
        QVERIFY(image == before);
    }

    // Every wrong row is reported with its line, column and reason, and nothing changes,
    // not even the good rows.
    void importErrors_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("not a frequency")
            << "channels" << QByteArray("row,rx_frequency,name\n90,7.1,Good\n91,abc,Bad\n")
            << QStringList{"line 3, column 2 (rx_frequency): 'abc' is not a frequency in MHz "
                           "(0.030000 to 29.999990 MHz in 10 Hz steps)"};
        QTest::newRow("above the limit")
            << "channels" << QByteArray("row,rx_frequency\n92,45\n")
            << QStringList{"line 2, column 2 (rx_frequency): the radio cannot hold '45'; it would "
                           "be stored as '29.999990' "
                           "(0.030000 to 29.999990 MHz in 10 Hz steps)"};
        QTest::newRow("finer than 10 Hz")
            << "channels" << QByteArray("row,rx_frequency\n92,14.2345678\n")
            << QStringList{"line 2, column 2 (rx_frequency): the radio cannot hold '14.2345678'; "
                           "it would be stored as "
                           "'14.234560' (0.030000 to 29.999990 MHz in 10 Hz steps)"};
        QTest::newRow("transmit below its limit")
            << "channels" << QByteArray("row,rx_frequency,tx_frequency\n92,1.2,\n")
            << QStringList{"line 2, column 3 (tx_frequency): the radio cannot hold '1.2'; it would "
                           "be stored as '1.600000' "
                           "(1.600000 to 29.999990 MHz in 10 Hz steps)"};
        QTest::newRow("name too long")
            << "channels" << QByteArray("row,rx_frequency,name\n92,7.1,ABCDEFGHIJKLMNOPQRSTU\n")
            << QStringList{"line 2, column 3 (name): the radio cannot hold "
                           "'ABCDEFGHIJKLMNOPQRSTU'; it would be stored as "
                           "'ABCDEFGHIJKLMNOPQRST' (20 characters: letters, digits, blanks and "
                           "ASCII signs)"};
        QTest::newRow("character not held")
            << "channels" << QByteArray("row,rx_frequency,name\n92,7.1,Z\xC3\xBCrich\n")
            << QStringList{
                   QStringLiteral("line 2, column 3 (name): the radio cannot hold 'Z\u00FCrich'; "
                                  "it would be stored as 'Z' "
                                  "(20 characters: letters, digits, blanks and ASCII signs)")};
        QTest::newRow("no such item")
            << "channels" << QByteArray("row,rx_frequency,mode\n92,7.1,FM\n")
            << QStringList{"line 2, column 3 (mode): 'FM' is not one of: USB, LSB, CW, AM, FSK"};
        QTest::newRow("row not in use")
            << "channels" << QByteArray("row,name\n92,Harbour\n")
            << QStringList{
                   "line 2, column 2 (name): the row is not in use: it needs an rx_frequency"};
        QTest::newRow("row numbers")
            << "channels" << QByteArray("row,rx_frequency\n0,7.1\n501,7.1\nx,7.1\n1,7.1\n1,7.2\n")
            << QStringList{"line 2, column 1 (row): '0' is not a row number (1 to 500)",
                           "line 3, column 1 (row): '501' is not a row number (1 to 500)",
                           "line 4, column 1 (row): 'x' is not a row number (1 to 500)",
                           "line 6, column 1 (row): row 1 is already on line 5"};
        QTest::newRow("fields") << "messages" << QByteArray("row,message\n1,a,b\n2\n")
                                << QStringList{"line 2: 3 fields where the header has 2",
                                               "line 3: 1 fields where the header has 2"};
        QTest::newRow("unknown column")
            << "messages" << QByteArray("row,text\n1,a\n")
            << QStringList{
                   "line 1, column 2 (text): no such column; the messages list has row, message"};
        QTest::newRow("no row column")
            << "messages" << QByteArray("message\nhello\n")
            << QStringList{"line 1: there is no row column (needed unless the rows are appended)"};
        QTest::newRow("reference to no row")
            << "addresses" << QByteArray("row,name,network,channel\n1,A,11,\n2,B,,600 Far\n")
            << QStringList{"line 2, column 3 (network): '11' names no row (a network 1 to 10, or "
                           "empty for none)",
                           "line 3, column 4 (channel): '600 Far' names no row (a channel 1 to "
                           "500, or empty for none)"};
        QTest::newRow("digits")
            << "addresses" << QByteArray("row,name,address\n1,A,12x456\n2,B,1234567\n")
            << QStringList{
                   "line 2, column 3 (address): the radio cannot hold '12x456'; it would be stored "
                   "as '12456' (6 digits)",
                   "line 3, column 3 (address): the radio cannot hold '1234567'; it would be "
                   "stored "
                   "as '123456' (6 digits)"};
        QTest::newRow("ALE address")
            << "ale-networks" << QByteArray("row,address\n1,ab-c\n")
            << QStringList{
                   "line 2, column 2 (address): the radio cannot hold 'ab-c'; it would be stored "
                   "as 'ABC' (15 characters: letters, digits, @ and ?)"};
        QTest::newRow("number out of limits")
            << "networks" << QByteArray("row,name,preamble,detect_time\n1,N,21,2.5\n2,M,3,0.05\n")
            << QStringList{"line 2, column 3 (preamble): the radio cannot hold '21'; it would be "
                           "stored as '20' (0 to 20 seconds)",
                           "line 3, column 4 (detect_time): the radio cannot hold '0.05'; it would "
                           "be stored as '0.1' "
                           "(0.1 to 25 seconds in steps of 0.1)"};
        QTest::newRow("membership of a channel not valid")
            << "net-channels" << QByteArray("row,network_1\n22,ON\n")
            << QStringList{"line 2, column 2 (network_1): the channel is not valid: it needs a "
                           "frequency and a name in the "
                           "channel list"};
    }
    void importErrors() {
        QFETCH(QString, list);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, errors);
        cmcEeprom image(source());
        const cmcCsvResult result = import(image, *imcCsvLists::find(list), text);
        QCOMPARE(described(result.errors), errors);
        QVERIFY(image == source());
    }

    // A full channel group is refused as the sheet refuses it, without a message box.
    void fullChannelGroup() {
        cmcEeprom image(source());
        cmcCellDispatch d(&image);
        QByteArray text = "row,group_2\n";
        int valid = 0;
        for (int ch = 0; ch < 500 && valid < 101; ++ch) {
            if (!datCh::channelValid(image, ch)) {
                set(d, CT_ChannelList, CL_ChL_FreqR, ch, QStringLiteral("5.5"));
                set(d, CT_ChannelList, CL_ChL_Name, ch, QStringLiteral("C%1").arg(ch));
            }
            text += QByteArray::number(ch + 1) + ",ON\n";
            ++valid;
        }
        const cmcEeprom before = image;
        ScriptedPrompt prompt;
        const cmcCsvResult result =
            import(image, *imcCsvLists::find(QStringLiteral("channel-groups")), text);
        QCOMPARE(described(result.errors),
                 QStringList{"line 102, column 2 (group_2): channel group 2 already holds 100 "
                             "channels, the most it can"});
        QVERIFY(prompt.entries().isEmpty());
        QVERIFY(image == before);
    }

    void clamp_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int32_t>("label");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("report");
        QTest::newRow("frequency")
            << QByteArray("row,rx_frequency\n95,45\n") << int32_t(CL_ChL_FreqR) << "29.999990"
            << "line 2, column 2 (rx_frequency): '45' stored as '29.999990'";
        QTest::newRow("long name")
            << QByteArray("row,rx_frequency,name\n95,7.1,ABCDEFGHIJKLMNOPQRSTUVW\n")
            << int32_t(CL_ChL_Name) << "ABCDEFGHIJKLMNOPQRST"
            << "line 2, column 3 (name): 'ABCDEFGHIJKLMNOPQRSTUVW' stored as "
               "'ABCDEFGHIJKLMNOPQRST'";
        QTest::newRow("character")
            << QByteArray("row,rx_frequency,name\n95,7.1,Z\xC3\xBCrich\n") << int32_t(CL_ChL_Name)
            << "Z" << QStringLiteral("line 2, column 3 (name): 'Z\u00FCrich' stored as 'Z'");
    }
    void clamp() {
        QFETCH(QByteArray, text);
        QFETCH(int32_t, label);
        QFETCH(QString, shown);
        QFETCH(QString, report);
        cmcEeprom image(source());
        cmcCsvOptions options;
        options.clamp = true;
        const cmcCsvResult result =
            import(image, *imcCsvLists::find(QStringLiteral("channels")), text, options);
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QCOMPARE(described(result.clamped), QStringList{report});
        QCOMPARE(cmcCellDispatch(&image).text(CT_ChannelList, label, 94), shown);
        if (label == CL_ChL_Name) // stored cleanly: nothing after the text
            for (int i = int(shown.size()); i < 20; ++i)
                QCOMPARE(image.GetByte(0x052F + 94 * 29 + 9 + i), uint8_t(0xFF));
    }

    void modes() {
        const cmcCsvTable& messages = *imcCsvLists::find(QStringLiteral("messages"));
        const QByteArray text = "row,message\n2,two\n";
        cmcCsvOptions options;
        // Merge: the others stay.
        cmcEeprom image(source());
        QVERIFY(import(image, messages, text, options).ok());
        QCOMPARE(rowsInUse(image, messages), rowsInUse(source(), messages) + 1);
        // Replace: the file's rows only.
        image = source();
        options.mode = cmcCsvOptions::Replace;
        QVERIFY(import(image, messages, text, options).ok());
        QCOMPARE(rowsInUse(image, messages), 1);
        QCOMPARE(cmcCellDispatch(&image).text(CT_MessageList, CL_MsgL_Msg, 1),
                 QStringLiteral("two"));
        // Append: after the last row in use, in file order, as far as the list goes.
        image = source();
        messages.clearRow(image, 9);
        options.mode = cmcCsvOptions::Append;
        cmcCsvResult result = import(image, messages, "message\na\nb\nc\n", options);
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QCOMPARE(cmcCellDispatch(&image).text(CT_MessageList, CL_MsgL_Msg, 7), QStringLiteral("a"));
        QCOMPARE(cmcCellDispatch(&image).text(CT_MessageList, CL_MsgL_Msg, 9), QStringLiteral("c"));
        result = import(image, messages, "message\nd\n", options);
        QCOMPARE(described(result.errors), QStringList{"line 2: no room: the list ends at row 10"});
        // Memberships have no rows of their own to append.
        result = import(image, *imcCsvLists::find(QStringLiteral("net-channels")),
                        "row,network_1\n1,ON\n", options);
        QCOMPARE(described(result.errors),
                 QStringList{"the rows of the net-channels list cannot be appended"});
    }

    // With the cells in German, a file still holds the first language's item names.
    void itemNamesOfTheFirstLanguage() {
        cmcFCache::instance().setTable(&overlay("QXT5200_DEU.OVL"));
        const cmcCsvTable& addresses = *imcCsvLists::find(QStringLiteral("addresses"));
        const QByteArray german = cmcCsvList::write(source(), addresses);
        QVERIFY(german.contains(",TELEFON,"));
        const QByteArray english =
            cmcCsvList::write(source(), addresses, &overlay("QXT5200_ENG.OVL"));
        QVERIFY(english.contains(",PHONE,") && !english.contains("TELEFON") &&
                !english.contains(",AUS"));

        cmcEeprom image(source());
        cmcCsvOptions options;
        options.mode = cmcCsvOptions::Replace;
        options.items = &overlay("QXT5200_ENG.OVL");
        const cmcCsvResult result = import(image, addresses, english, options);
        cmcFCache::instance().setTable(&overlay("QXT5200_ENG.OVL"));
        QVERIFY2(result.ok(), qPrintable(described(result.errors).join(u'\n')));
        QVERIFY(image == source());
    }
};

QTEST_GUILESS_MAIN(tst_CsvLists)
#include "tst_csvlists.moc"
