// One value into many rows: a commit with fillRange stores the text into every row in use
// of the range as one change (rows not in use left alone), a frequency series fills
// START + k * STEP, and a row that refuses its value leaves the image as it was.

#include "ListImages.h"
#include "cmcBulkEdit.h"
#include "cmcCellDispatch.h"
#include "cmcEditUser.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "datCh.h"

#include <QTest>

namespace {

int changes = 0;
void countChange(void*, const cmcCellRequest&) {
    ++changes;
}

// Channels in use at rows 0, 3, 6 ... of the fixture.
bool inUse(const cmcEeprom& image, int32_t row) {
    datCh rec;
    return rec.load(image, QxList::Channel, row) && rec.inUse;
}

cmcCellRequest fill(int32_t label, int32_t current, int32_t first, int32_t last,
                    const QString& text) {
    cmcCellRequest r(CT_ChannelList, label, current);
    r.fl.operation = cuiFlector::OpCommit;
    r.fl.editText = text;
    r.rangeFirst = first;
    r.rangeLast = last;
    r.fillRange = true;
    return r;
}

// Keeps the status messages an edit says to its user.
struct StatusUser : cmcEditUser {
    QStringList statuses;
    bool confirm(const QString&) override { return true; }
    void tell(const QString&, const QStringList&) override {}
    void report(const cmcEditReport& r) override { statuses << r.statusText; }
};

} // namespace

class tst_BulkEdit : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }

    void series_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isSeries");
        QTest::addColumn<qlonglong>("start");
        QTest::addColumn<qlonglong>("step");
        QTest::newRow("up") << "7.1 +0.005" << true << 7100000ll << 5000ll;
        QTest::newRow("down, no blanks") << "14.35-0.01" << true << 14350000ll << -10000ll;
        QTest::newRow("plain frequency") << "7.1" << false << 0ll << 0ll;
        QTest::newRow("not a number") << "abc +1" << false << 0ll << 0ll;
        QTest::newRow("finer than a hertz") << "7.1 +0.0000001" << false << 0ll << 0ll;
    }
    void series() {
        QFETCH(QString, text);
        QFETCH(bool, isSeries);
        QFETCH(qlonglong, start);
        QFETCH(qlonglong, step);
        int64_t a = 0, b = 0;
        QCOMPARE(cmcBulkEdit::series(text, &a, &b), isSeries);
        if (!isSeries) return;
        QCOMPARE(qlonglong(a), start);
        QCOMPARE(qlonglong(b), step);
    }

    void fillsRowsInUse_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown"); // rows 0, 3, 6, 9 afterwards
        QTest::newRow("one mode for all")
            << int(CL_ChL_Mode) << "CW" << QStringList{"CW", "CW", "CW", "CW"};
        QTest::newRow("one name for all")
            << int(CL_ChL_Name) << "Relay" << QStringList{"Relay", "Relay", "Relay", "Relay"};
        QTest::newRow("frequency series")
            << int(CL_ChL_FreqR) << "7.000 +0.005"
            << QStringList{"7.000000", "7.005000", "7.010000", "7.015000"};
        QTest::newRow("series downwards")
            << int(CL_ChL_FreqR) << "3.5-0.1"
            << QStringList{"3.500000", "3.400000", "3.300000", "3.200000"};
    }
    // Rows 1 to 10 selected: the four rows in use take the value, in one change; the rows
    // not in use stay byte for byte.
    void fillsRowsInUse() {
        QFETCH(int, label);
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        cmcEeprom image(ListImages::populated());
        cmcCellDispatch d(&image);
        changes = 0;
        d.setChangeListener(&countChange, nullptr);
        cmcCellRequest r = fill(label, 3, 9, 0, text);
        QVERIFY(d.dispatch(r));
        QCOMPARE(changes, 1);
        QCOMPARE(int(r.value), 4);
        QCOMPARE(r.selectFirst, 0);
        QCOMPARE(r.selectLast, 9);
        QStringList got;
        for (int row = 0; row <= 9; row += 3)
            got << d.text(CT_ChannelList, label, row);
        QCOMPARE(got, shown);
        const cmcListLayout& l = *cmcListInfo::layout(QxList::Channel);
        auto record = [&](const cmcEeprom& from, int row) {
            return QByteArray(reinterpret_cast<const char*>(from.data()) + l.base + row * l.size,
                              l.size);
        };
        for (int row = 0; row < 12; ++row)
            if (!inUse(ListImages::populated(), row)) {
                QVERIFY(!inUse(image, row));
                QCOMPARE(record(image, row), record(ListImages::populated(), row));
            }
        // Rows outside the range kept their values.
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_Name, 12),
                 cmcCellDispatch(const_cast<cmcEeprom*>(&ListImages::populated()))
                     .text(CT_ChannelList, CL_ChL_Name, 12));
    }

    void refusedRowChangesNothing_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a mode") << int(CL_ChL_Mode) << "QRP"
                                    << "'QRP' was not taken in row 1; no row was changed.";
        QTest::newRow("series beyond the top") << int(CL_ChL_FreqR) << "29.98 +0.01"
                                               << "'30.000000' was not taken in row 7; no row "
                                                  "was changed.";
    }
    void refusedRowChangesNothing() {
        QFETCH(int, label);
        QFETCH(QString, text);
        QFETCH(QString, message);
        cmcEeprom image(ListImages::populated());
        cmcCellDispatch d(&image);
        changes = 0;
        d.setChangeListener(&countChange, nullptr);
        StatusUser user;
        d.setEditUser(&user);
        cmcCellRequest r = fill(label, 0, 0, 9, text);
        QString refusal;
        QVERIFY(!cmcBulkEdit::fill(d, r, &refusal));
        QCOMPARE(refusal, message);
        QCOMPARE(user.statuses, QStringList{message}); // the status line says why
        QVERIFY(!d.dispatch(r));
        QCOMPARE(changes, 0);
        QVERIFY(image == ListImages::populated());
    }
};

QTEST_GUILESS_MAIN(tst_BulkEdit)
#include "tst_bulkedit.moc"
