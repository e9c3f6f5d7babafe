// The per-radio values of a fleet: derived from several radios' images (the cells that
// differ, one row per radio), applied back to give each radio exactly its own image, read
// from CSV with errors naming line and column, and the refusals before any write (values a
// cell refuses, values that must be unique held by two radios).

#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "imcFleetSheet.h"
#include "imcImageDiff.h"

#include <QTest>

namespace {

void typed(cmcEeprom& image, int32_t category, int32_t label, int32_t row, const QString& text) {
    cmcCellDispatch d(&image);
    ListImages::set(d, category, label, row, text);
}

// Three radios of one network: the common data, each with its own ALE self address and
// profile identifier, and the third with a name of its own on its second self address.
std::vector<cmcEeprom> radios() {
    std::vector<cmcEeprom> r(3, ListImages::populated());
    const char* self[3] = {"ALPHA", "BRAVO", "CHARLIE"};
    const char* ids[3] = {"100001", "100002", "100003"};
    for (int i = 0; i < 3; ++i) {
        typed(r[size_t(i)], CT_AleSelfIndId, CL_Ale_SelfId_Id, 0, self[i]);
        typed(r[size_t(i)], CT_ProfileList, CL_ProfileL_Id, 2, ids[i]);
    }
    typed(r[2], CT_AleSelfIndId, CL_Ale_SelfId_Id, 1, "DELTA");
    return r;
}

QString issues(const std::vector<cmcCsvIssue>& list) {
    QStringList out;
    for (const cmcCsvIssue& i : list)
        out << i.describe();
    return out.join(QLatin1Char('\n'));
}

} // namespace

class tst_FleetSheet : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }

    // The sheet of three images holds exactly the cells that differ, a row per radio; its
    // rows applied to the first radio's image give each radio's image byte for byte, and
    // applied to a document they change nothing but those cells.
    void deriveAndApply() {
        const std::vector<cmcEeprom> images = radios();
        const imcFleetSheet sheet =
            imcFleetSheet::derive({&images[0], &images[1], &images[2]}, {"SN-1", "SN-2", "SN-3"});
        QStringList refs;
        for (const imcFleetSheet::Column& c : sheet.columns())
            refs << c.reference;
        QCOMPARE(refs, QStringList({"CT_ProfileList.CL_ProfileL_Id[2]",
                                    "CT_AleSelfIndId.CL_Ale_SelfId_Id[0]",
                                    "CT_AleSelfIndId.CL_Ale_SelfId_Id[1]"}));
        QCOMPARE(int(sheet.rows().size()), 3);
        QCOMPARE(sheet.rows()[1].radio, QStringLiteral("SN-2"));
        QCOMPARE(sheet.rows()[1].values, QStringList({"100002", "BRAVO", sheet.value(0, 2)}));
        QCOMPARE(sheet.value(2, 2), QStringLiteral("DELTA"));

        // Through its text and back, unchanged.
        imcFleetSheet again;
        std::vector<cmcCsvIssue> errors;
        QVERIFY2(again.read(sheet.toCsv(), &errors), qPrintable(issues(errors)));
        QCOMPARE(again.toCsv(), sheet.toCsv());

        for (int i = 0; i < 3; ++i) {
            cmcEeprom image = images[0];
            QVERIFY2(again.apply(i, image, nullptr, &errors), qPrintable(issues(errors)));
            QVERIFY2(image == images[size_t(i)], qPrintable(QString::number(i)));
        }
        cmcEeprom document = images[0];
        typed(document, CT_ChannelList, CL_ChL_Name, 3, "Quay");
        cmcEeprom third = document;
        QVERIFY(again.apply(2, third, nullptr, &errors));
        const imcImageDiffResult diff = imcImageDiff::compare(images[2], third);
        QCOMPARE(diff.cells.size(), size_t(1));
        QCOMPARE(diff.cells[0].label, int32_t(CL_ChL_Name));
        QVERIFY(diff.bytes.empty());
    }

    // Every fault of a sheet, from its text or its values against a document, named by line
    // and column; the faulty text leaves the sheet as it was.
    void refusals_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("error"); // the start of the first error
        QTest::addColumn<QString>("names"); // a text the error holds as well
        const QByteArray head = "radio,CT_AleSelfIndId.CL_Ale_SelfId_Id[0],"
                                "CT_ProfileList.CL_ProfileL_Id[2]\r\n";
        QTest::newRow("first column") << QByteArray("serial,CT_ProfileList.CL_ProfileL_Id[2]\n")
                                      << "line 1, column 1 (serial)"
                                      << "radio";
        QTest::newRow("no such cell") << QByteArray("radio,CT_ProfileList.CL_ProfileL_Idx[2]\n")
                                      << "line 1, column 2 (CT_ProfileList.CL_ProfileL_Idx[2])"
                                      << "names no cell";
        QTest::newRow("row beyond the list")
            << QByteArray("radio,CT_ProfileList.CL_ProfileL_Id[20]\n") << "line 1, column 2"
            << "rows 0 to 19";
        QTest::newRow("not a value cell")
            << QByteArray("radio,CT_Null.CL_Menu_File_New[0]\n") << "line 1, column 2"
            << "neither a list cell nor a setting";
        QTest::newRow("field count") << head + "A,ALPHA,100001\r\nB,BRAVO\r\n"
                                     << "line 3: 2 fields"
                                     << "header has 3";
        QTest::newRow("radio twice") << head + "A,ALPHA,100001\r\na,BRAVO,100002\r\n"
                                     << "line 3, column 1 (radio)"
                                     << "already on line 2";
        QTest::newRow("radio missing") << head + " ,ALPHA,100001\r\n"
                                       << "line 2, column 1 (radio)"
                                       << "missing";
        QTest::newRow("not UTF-8") << head + "A,\xff\xfe,100001\r\n"
                                   << "line 2"
                                   << "not UTF-8";
        QTest::newRow("address refused") << head + "A,ALPHA,100001\r\nB,BR_VO,100002\r\n"
                                         << "line 3, column 2 (CT_AleSelfIndId.CL_Ale_SelfId_Id[0])"
                                         << "radio B";
        QTest::newRow("identifier too long")
            << head + "A,ALPHA,1000019\r\n"
            << "line 2, column 3 (CT_ProfileList.CL_ProfileL_Id[2])"
            << "1000019";
        QTest::newRow("same self address") << head + "A,ALPHA,100001\r\nB,alpha,100002\r\n"
                                           << "line 3, column 2"
                                           << "radios A and B are both given 'ALPHA'";
        QTest::newRow("self address of another column")
            << QByteArray(
                   "radio,CT_AleSelfIndId.CL_Ale_SelfId_Id[0],CT_AleSelfIndId.CL_Ale_SelfId_Id[1]\n"
                   "A,ALPHA,\nB,BRAVO,ALPHA\n")
            << "line 3, column 3"
            << "radios A and B are both given 'ALPHA'";
        QTest::newRow("two radios keep the document's")
            << head + "A,,100001\r\nB,,100002\r\nC,CHARLIE,100003\r\n"
            << "line 3, column 2"
            << "radios A and B would both hold";
    }

    void refusals() {
        QFETCH(QByteArray, csv);
        QFETCH(QString, error);
        QFETCH(QString, names);
        imcFleetSheet sheet;
        QVERIFY(sheet.read("radio,CT_NetworkList.CL_NetL_Name[0]\nX,Net\n", nullptr));
        const QByteArray before = sheet.toCsv();
        std::vector<cmcCsvIssue> errors;
        if (sheet.read(csv, &errors)) {
            errors = sheet.check(radios()[0], nullptr, false);
        } else {
            QCOMPARE(sheet.toCsv(), before);
        }
        QVERIFY2(!errors.empty(), "accepted");
        const QString first = errors.front().describe();
        QVERIFY2(first.startsWith(error), qPrintable(first));
        QVERIFY2(first.contains(names, Qt::CaseInsensitive), qPrintable(first));
    }

    // A sheet whose every value the cells take, with its own value for each radio, passes.
    void soundSheetPasses() {
        imcFleetSheet sheet;
        QVERIFY(sheet.read("radio,CT_AleSelfIndId.CL_Ale_SelfId_Id[0],"
                           "CT_ProfileList.CL_ProfileL_Id[2],CT_NetworkList.CL_NetL_Name[0]\n"
                           "A,alpha,100-001,Same\nB,BRAVO,100 002,Same\n",
                           nullptr));
        const std::vector<cmcCsvIssue> errors = sheet.check(radios()[0], nullptr, false);
        QVERIFY2(errors.empty(), qPrintable(issues(errors)));
    }

    // A radio's row: by one of its serial texts first, else by one of its links.
    void findRow_data() {
        QTest::addColumn<QStringList>("serials");
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<int>("row");
        QTest::newRow("serial") << QStringList{"0042", "S/N 0042"} << QStringList{"/dev/ttyUSB0"}
                                << 1;
        QTest::newRow("serial before link")
            << QStringList{"0042"} << QStringList{"10.0.0.5:4001"} << 1;
        QTest::newRow("link") << QStringList{"0099"} << QStringList{"10.0.0.5:4001"} << 0;
        QTest::newRow("none") << QStringList{"0099"} << QStringList{"/dev/ttyUSB1"} << -1;
        QTest::newRow("empty serial matches nothing") << QStringList{""} << QStringList{} << -1;
    }

    void findRow() {
        QFETCH(QStringList, serials);
        QFETCH(QStringList, links);
        QFETCH(int, row);
        imcFleetSheet sheet;
        QVERIFY(sheet.read("radio,CT_AleSelfIndId.CL_Ale_SelfId_Id[0]\n"
                           "10.0.0.5:4001,ALPHA\n0042,BRAVO\n",
                           nullptr));
        QCOMPARE(sheet.find(serials, links), row);
    }
};

QTEST_GUILESS_MAIN(tst_FleetSheet)
#include "tst_fleetsheet.moc"
