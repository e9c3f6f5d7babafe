// Value formats: what each shows, what typed text and keys do to the value, and the limits.

#include "CellsTestKit.h"
#include "cmcFCache.h"
#include "cmcFmtFreq.h"
#include "cmcFmtNumber.h"
#include "cmcFmtSelect.h"
#include "cmcFmtText.h"
#include "cmcFmtTimer.h"
#include "cmcFmtTone.h"
#include "cuiFlector.h"

#include <QtTest>
#include <cstring>

using CellsTestKit::hex;

// QFETCH as an expression.
#define FETCHED(Type, name) (*static_cast<Type*>(QTest::qData(#name, ::qMetaTypeId<Type>())))

namespace {

cuiFlector committing(const QString& text) {
    cuiFlector f;
    f.operation = cuiFlector::OpCommit;
    f.editText = text;
    return f;
}

cuiFlector typing(int key) {
    cuiFlector f;
    f.keyMode = true;
    f.key = key;
    return f;
}

} // namespace

class tst_formats : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { CellsTestKit::useCellsOverlay(); }

    void channelFrequencyCommit_data();
    void channelFrequencyCommit();
    void transmitFollowsAndMarks();
    void frequencyKeys_data();
    void frequencyKeys();
    void limitedFrequency();

    void textCommit_data();
    void textCommit();
    void textKeys();

    void hexNumber_data();
    void hexNumber();
    void decimalCommit_data();
    void decimalCommit();
    void decimalSteps_data();
    void decimalSteps();

    void toneCommit_data();
    void toneCommit();
    void tonePairAndChoices();

    void timerDisplay_data();
    void timerDisplay();
    void timerCommitAndSteps();

    void selection();
    void rowReference();
};

// ---- frequencies ----------------------------------------------------------------------

void tst_formats::channelFrequencyCommit_data() {
    QTest::addColumn<bool>("transmit");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<uint>("rx");
    QTest::addColumn<uint>("tx");
    QTest::addColumn<QString>("shown");

    // The row starts as rx 7,100,000 / tx 7,200,000 when in use, as 0 / 0 when not.
    QTest::newRow("cut down to 10 Hz")
        << false << false << "14.2345678" << true << 14234560u << 14234560u << "14.234560";
    QTest::newRow("receive lower limit")
        << false << false << "0.01" << true << 30000u << 1600000u << "0.030000";
    QTest::newRow("receive upper limit")
        << false << false << "45" << true << 29999990u << 29999990u << "29.999990";
    QTest::newRow("blanks and the unit")
        << false << true << " 3.5 MHz " << true << 3500000u << 7200000u << "3.500000";
    // Text that is not a number in MHz is refused, never read as one (and then limited).
    for (const char* text : {"f=3.5 MHz", "1e-5", "0x10", "-1e308", "7.1.5", "3.5 kHz", "12abc"})
        QTest::newRow(qPrintable(QStringLiteral("not a number: %1").arg(QLatin1String(text))))
            << false << true << text << false << 7100000u << 7200000u << "7.100000";
    QTest::newRow("empty text refused")
        << false << true << "" << false << 7100000u << 7200000u << "7.100000";
    QTest::newRow("zero refused") << false << true << "0.000001" << false << 7100000u << 7200000u
                                  << "7.100000";
    QTest::newRow("letters refused")
        << false << true << "abc" << false << 7100000u << 7200000u << "7.100000";
    QTest::newRow("transmit lower limit")
        << true << true << "1" << true << 7100000u << 1600000u << "1.600000";
    QTest::newRow("transmit set") << true << true << "7.15" << true << 7100000u << 7150000u
                                  << "7.150000";
    QTest::newRow("not in use shows empty") << false << false << "" << false << 0u << 0u << "";
}

void tst_formats::channelFrequencyCommit() {
    QFETCH(bool, transmit);
    QFETCH(bool, inUse);
    QFETCH(QString, text);
    uint32_t rx = inUse ? 7100000 : 0;
    uint32_t tx = inUse ? 7200000 : 0;
    cuiFlector f = committing(text);
    QCOMPARE(cmcFmtFreq::channel(f, rx, tx, transmit, inUse), FETCHED(bool, changed));
    QCOMPARE(rx, FETCHED(uint, rx));
    QCOMPARE(tx, FETCHED(uint, tx));
    QCOMPARE(f.display, FETCHED(QString, shown));
}

void tst_formats::transmitFollowsAndMarks() {
    uint32_t rx = 7100000, tx = 7100000;
    bool inUse = true;
    cuiFlector show;
    cmcFmtFreq::channel(show, rx, tx, true, inUse);
    QCOMPARE(show.display, QStringLiteral("<-"));
    QCOMPARE(show.style, int(cuiFlector::StMark));

    cuiFlector f = committing(QStringLiteral("10.5"));
    QVERIFY(cmcFmtFreq::channel(f, rx, tx, false, inUse));
    QCOMPARE(tx, 10500000u); // followed the receive frequency

    tx = 11000000;
    f = committing(QStringLiteral("12"));
    cmcFmtFreq::channel(f, rx, tx, false, inUse);
    QCOMPARE(rx, 12000000u);
    QCOMPARE(tx, 11000000u); // different: left alone
    cuiFlector t;
    cmcFmtFreq::channel(t, rx, tx, true, inUse);
    QCOMPARE(t.display, QStringLiteral("11.000000"));
    QCOMPARE(t.style, int(cuiFlector::StNormal));
}

void tst_formats::frequencyKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("transmit");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<int>("caret");

    QTest::newRow("digit") << int('7') << false << true << 2 << "7" << 1;
    QTest::newRow("point: caret after it") << int('.') << false << true << 2 << "7.100000" << 2;
    QTest::newRow("= takes the receive frequency") << int('=') << true << true << 2 << "7.10" << 4;
    QTest::newRow("Enter edits the current text") << 13 << false << true << 2 << "7.100000" << 0;
    QTest::newRow("Enter on transmit edits its frequency")
        << 13 << true << true << 2 << "7.200000" << 0;
    QTest::newRow("Enter on a row not in use") << 13 << false << false << 2 << "" << 0;
    QTest::newRow("letter does nothing") << int('x') << false << true << 0 << "7.100000" << 0;
}

void tst_formats::frequencyKeys() {
    QFETCH(int, key);
    QFETCH(bool, transmit);
    QFETCH(bool, inUse);
    uint32_t rx = inUse ? 7100000 : 0, tx = inUse ? 7200000 : 0;
    cuiFlector f = typing(key);
    QVERIFY(!cmcFmtFreq::channel(f, rx, tx, transmit, inUse));
    QCOMPARE(f.editStatus, FETCHED(int, status));
    QCOMPARE(f.display, FETCHED(QString, editText));
    QCOMPARE(f.caret, FETCHED(int, caret));
}

void tst_formats::limitedFrequency() {
    uint32_t v = 0;
    cuiFlector show;
    cmcFmtFreq::limited(show, v, 30000, 2499990);
    QCOMPARE(show.display, QString()); // 0 shows empty

    cuiFlector f = committing(QStringLiteral("5"));
    QVERIFY(cmcFmtFreq::limited(f, v, 30000, 2499990));
    QCOMPARE(v, 2499990u);
    QCOMPARE(f.display, QStringLiteral("2.499990"));

    f = committing(QStringLiteral("x"));
    QVERIFY(!cmcFmtFreq::limited(f, v, 30000, 2499990));
    QCOMPARE(v, 2499990u);
}

// ---- texts ------------------------------------------------------------------------------

void tst_formats::textCommit_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("plain, rest 0xFF") << int(cmcFmtText::Plain) << 6 << "AB"
                                      << "41 42 FF FF FF FF"
                                      << "AB";
    QTest::newRow("plain all blanks is empty") << int(cmcFmtText::Plain) << 6 << "   "
                                               << "FF FF FF FF FF FF"
                                               << "";
    QTest::newRow("plain cut to n") << int(cmcFmtText::Plain) << 3 << "ABCDEF"
                                    << "41 42 43"
                                    << "ABC";
    QTest::newRow("plain control character") << int(cmcFmtText::Plain) << 4 << "A\tB"
                                             << "41 FF 42 FF"
                                             << "A";
    QTest::newRow("padded") << int(cmcFmtText::Padded) << 5 << "ab"
                            << "61 62 20 20 20"
                            << "ab";
    QTest::newRow("upper") << int(cmcFmtText::Upper) << 6 << "ab~c"
                           << "41 42 20 43 FF FF"
                           << "AB C";
    QTest::newRow("upper all blanks") << int(cmcFmtText::Upper) << 3 << " "
                                      << "FF FF FF"
                                      << "";
    QTest::newRow("address") << int(cmcFmtText::Address) << 8 << "ab c?1"
                             << "41 42 43 3F 31 FF FF FF"
                             << "ABC?1";
    QTest::newRow("address keeps @") << int(cmcFmtText::Address) << 4 << "-x@y"
                                     << "58 40 59 FF"
                                     << "X@Y";
    QTest::newRow("digit string") << int(cmcFmtText::Digits) << 5 << "12-34"
                                  << "12 34 FF FF FF"
                                  << "1234";
    QTest::newRow("digit string, odd count") << int(cmcFmtText::Digits) << 3 << "123"
                                             << "12 3F FF"
                                             << "123";
    QTest::newRow("digit string cut") << int(cmcFmtText::Digits) << 1 << "9876"
                                      << "98"
                                      << "98";
    QTest::newRow("digits with tail") << int(cmcFmtText::DigitsTail) << 5 << "1234567"
                                      << "12 34 56 FF FF"
                                      << "123456";
}

void tst_formats::textCommit() {
    QFETCH(int, n);
    uint8_t bytes[16];
    std::memset(bytes, 0x55, sizeof bytes);
    cuiFlector f = committing(FETCHED(QString, text));
    QVERIFY(cmcFmtText::run(f, bytes, n, cmcFmtText::Variant(FETCHED(int, variant))));
    QCOMPARE(hex(bytes, n), FETCHED(QString, bytes));
    QCOMPARE(f.display, FETCHED(QString, shown));
    QCOMPARE(bytes[n], uint8_t(0x55)); // nothing beyond the field
}

void tst_formats::textKeys() {
    uint8_t bytes[4] = {'A', 'B', 0xFF, 0xFF};
    cuiFlector f = typing('x');
    QVERIFY(!cmcFmtText::run(f, bytes, 4));
    QCOMPARE(f.editStatus, int(cuiFlector::EsEdit));
    QCOMPARE(f.display, QStringLiteral("x"));
    QCOMPARE(f.caret, 1);

    for (int key : {13, 32, 8}) {
        cuiFlector e = typing(key);
        cmcFmtText::run(e, bytes, 4);
        QCOMPARE(e.editStatus, int(cuiFlector::EsEdit));
        QCOMPARE(e.display, QStringLiteral("AB"));
    }
    QCOMPARE(hex(bytes, 4), QStringLiteral("41 42 FF FF"));
}

// ---- numbers ----------------------------------------------------------------------------

void tst_formats::hexNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<qlonglong>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("lower case") << "1f" << true << 0x1FLL << "1F";
    QTest::newRow("above max") << "FF" << true << 0xDFLL << "DF";
    QTest::newRow("below min") << " 0 " << true << 0x01LL << "01";
    QTest::newRow("cut to digits + 1")
        << "0A12" << true << 0x0A1LL << "A1"; // 0xA1 is within the limits
    QTest::newRow("not hexadecimal") << "1g" << false << 0x40LL << "40";
    QTest::newRow("empty") << "" << false << 0x40LL << "40";
}

void tst_formats::hexNumber() {
    int64_t v = 0x40;
    cuiFlector f = committing(FETCHED(QString, text));
    QCOMPARE(cmcFmtNumber::hex(f, v, 0x01, 0xDF, 2), FETCHED(bool, changed));
    QCOMPARE(qlonglong(v), FETCHED(qlonglong, value));
    QCOMPARE(f.display, FETCHED(QString, shown));
}

void tst_formats::decimalCommit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qlonglong>("min");
    QTest::addColumn<qlonglong>("offset");
    QTest::addColumn<qlonglong>("step");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<qlonglong>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("plain") << "7" << 0LL << 0LL << 1LL << true << 7LL << "7";
    QTest::newRow("above max") << "120" << 0LL << 0LL << 1LL << true << 50LL << "50";
    QTest::newRow("offset") << "5" << 0LL << 1LL << 1LL << true << 4LL << "5";
    QTest::newRow("step rounds down") << "12" << 0LL << 0LL << 5LL << true << 10LL << "10";
    QTest::newRow("step half away from zero")
        << "12.5" << 0LL << 0LL << 5LL << true << 15LL << "15";
    QTest::newRow("negative half away from zero")
        << "-12.5" << -50LL << 0LL << 5LL << true << -15LL << "-15";
    QTest::newRow("letters only") << "abc" << 0LL << 0LL << 1LL << false << 3LL << "3";
    QTest::newRow("exponent") << "1e-5" << 0LL << 0LL << 1LL << false << 3LL << "3";
    QTest::newRow("hexadecimal") << "0x10" << 0LL << 0LL << 1LL << false << 3LL << "3";
    QTest::newRow("number and text") << "12abc" << 0LL << 0LL << 1LL << false << 3LL << "3";
    // More digits than a double turns into an integer: brought into the limits, no overflow.
    QTest::newRow("63 digits") << QString(63, u'5') << 0LL << 0LL << 1LL << true << 50LL << "50";
    QTest::newRow("63 digits negative")
        << "-" + QString(63, u'5') << 0LL << 0LL << 1LL << true << 0LL << "0";
}

void tst_formats::decimalCommit() {
    cmcDecParams p;
    p.min = FETCHED(qlonglong, min);
    p.max = 50;
    p.offset = FETCHED(qlonglong, offset);
    p.step = FETCHED(qlonglong, step);
    int64_t v = 3;
    cuiFlector f = committing(FETCHED(QString, text));
    QCOMPARE(cmcFmtNumber::decimal(f, v, p), FETCHED(bool, changed));
    QCOMPARE(qlonglong(v), FETCHED(qlonglong, value));
    QCOMPARE(f.display, FETCHED(QString, shown));
}

void tst_formats::decimalSteps_data() {
    QTest::addColumn<qlonglong>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<qlonglong>("value");

    QTest::newRow("space adds a step") << 4LL << 32 << true << 6LL;
    QTest::newRow("backspace takes one") << 4LL << 8 << true << 2LL;
    QTest::newRow("wrap past max") << 10LL << 32 << true << 0LL;
    QTest::newRow("wrap past min") << 0LL << 8 << true << 10LL;
    QTest::newRow("stop at max") << 10LL << 32 << false << 10LL;
    QTest::newRow("stop at min") << 0LL << 8 << false << 0LL;
}

void tst_formats::decimalSteps() {
    cmcDecParams p;
    p.min = 0;
    p.max = 10;
    p.step = 2;
    p.wrap = FETCHED(bool, wrap);
    int64_t v = FETCHED(qlonglong, start);
    cuiFlector f = typing(FETCHED(int, key));
    QVERIFY(cmcFmtNumber::decimal(f, v, p));
    QCOMPARE(qlonglong(v), FETCHED(qlonglong, value));
    QCOMPARE(f.editStatus, int(cuiFlector::EsNone));
}

// ---- tones ------------------------------------------------------------------------------

void tst_formats::toneCommit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("shown");

    // The receive tone starts off (all zero).
    QTest::newRow("digital code, normal") << "023" << true << "03 00 00 00 13 00"
                                          << "023N";
    QTest::newRow("digital code, inverted") << "754i" << true << "07 00 00 00 EC 01"
                                            << "754i";
    QTest::newRow("8 is not octal: a tone name") << "758" << false << "00 00 00 00 00 00"
                                                 << "OFF";
    QTest::newRow("tone name") << "71.9" << true << "01 00 04 00 00 00"
                               << "71.9";
    QTest::newRow("tone name without point") << "1318" << true << "01 00 16 00 00 00"
                                             << "131.8";
    QTest::newRow("two characters name a tone") << "25" << true << "01 00 32 00 00 00"
                                                << "250.3";
    QTest::newRow("one character is not enough") << "2" << false << "00 00 00 00 00 00"
                                                 << "OFF";
    QTest::newRow("bad fourth character") << "023X" << false << "00 00 00 00 00 00"
                                          << "OFF";
}

void tst_formats::toneCommit() {
    uint8_t pair[12] = {};
    cuiFlector f = committing(FETCHED(QString, text));
    QCOMPARE(cmcFmtTone::run(f, pair, false), FETCHED(bool, changed));
    QCOMPARE(hex(pair, 6), FETCHED(QString, record));
    QCOMPARE(f.display, FETCHED(QString, shown));
}

void tst_formats::tonePairAndChoices() {
    uint8_t pair[12] = {};
    // Both off and equal: a receive change takes the transmit tone along.
    cuiFlector f = committing(QStringLiteral("88.5"));
    QVERIFY(cmcFmtTone::run(f, pair, false));
    QCOMPARE(hex(pair + 6, 6), hex(pair, 6));
    cuiFlector t;
    cmcFmtTone::run(t, pair, true);
    QCOMPARE(t.display, QStringLiteral("<-"));
    QCOMPARE(t.style, int(cuiFlector::StMark));

    // Transmit set apart; a receive change then leaves it.
    cuiFlector ch;
    ch.operation = cuiFlector::OpChoose;
    ch.popupKind = cuiFlector::KindTone;
    ch.popupValue = 0;
    QVERIFY(cmcFmtTone::run(ch, pair, true));
    QCOMPARE(ch.display, QStringLiteral("60.0"));
    f = committing(QStringLiteral("023"));
    cmcFmtTone::run(f, pair, false);
    QCOMPARE(cmcFmtTone::currentItem(pair + 6), 0);

    // Space toggles the polarity of a digital code.
    cuiFlector sp = typing(32);
    QVERIFY(cmcFmtTone::run(sp, pair, false));
    QCOMPARE(sp.display, QStringLiteral("023i"));

    // Off clears the on flag and the tone number; the digital item switches the code on.
    ch.popupValue = cmcFmtTone::ItemOff;
    cmcFmtTone::run(ch, pair, false);
    QCOMPARE(pair[0] & cmcFmtTone::On, 0);
    QCOMPARE(ch.display, QStringLiteral("OFF"));
    ch.popupValue = cmcFmtTone::ItemDigital;
    cmcFmtTone::run(ch, pair, false);
    QCOMPARE(ch.display, QStringLiteral("023i"));

    // A choice from another kind of list is not for this cell; Enter opens the tone list.
    ch.popupKind = cuiFlector::KindSelection;
    ch.popupValue = 3;
    QVERIFY(!cmcFmtTone::run(ch, pair, false));
    cuiFlector enter = typing(13);
    cmcFmtTone::run(enter, pair, false);
    QCOMPARE(enter.editStatus, int(cuiFlector::EsPopup));
    QCOMPARE(enter.popupKey, QStringLiteral("GI_Sheet_Sel_Mch_CTone"));
    QCOMPARE(enter.popupValue, qint64(cmcFmtTone::ItemDigital));
}

// ---- timers -----------------------------------------------------------------------------

void tst_formats::timerDisplay_data() {
    QTest::addColumn<qlonglong>("value");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("trim");
    QTest::addColumn<QString>("shown");

    QTest::newRow("zeros and point trimmed") << 50LL << 10 << 0 << 4 << "  5";
    QTest::newRow("one decimal kept") << 55LL << 10 << 0 << 4 << "  5.5";
    QTest::newRow("trim 3 keeps the point") << 50LL << 10 << 0 << 3 << "  5.";
    QTest::newRow("no trim") << 55LL << 10 << 0 << 0 << "  5.500";
    QTest::newRow("thousandths") << 7LL << 3 << 0 << 4 << "  2.333";
    QTest::newRow("off item") << 0LL << 10 << 1 << 4 << "OFF";
    QTest::newRow("auto item") << 0LL << 1 << 2 << 0 << "AUTO";
    QTest::newRow("mode 2 whole units") << 45LL << 10 << 2 << 0 << "4";
}

void tst_formats::timerDisplay() {
    cmcTimerParams p;
    p.stepsPerUnit = FETCHED(int, steps);
    p.mode = FETCHED(int, mode);
    p.trim = FETCHED(int, trim);
    p.special = 0;
    p.max = 1000;
    QCOMPARE(cmcFmtTimer::display(FETCHED(qlonglong, value), p), FETCHED(QString, shown));
}

void tst_formats::timerCommitAndSteps() {
    cmcTimerParams p;
    p.stepsPerUnit = 10;
    p.min = 5;
    p.max = 100;
    p.mode = 1;
    p.special = 0;
    p.trim = 4;
    int64_t v = 50;

    cuiFlector f = committing(QStringLiteral("2.5 s"));
    QVERIFY(cmcFmtTimer::run(f, v, p));
    QCOMPARE(v, int64_t(25));
    f = committing(QStringLiteral("99"));
    cmcFmtTimer::run(f, v, p);
    QCOMPARE(v, int64_t(100)); // limited
    f = committing(QStringLiteral("OFF"));
    QVERIFY(cmcFmtTimer::run(f, v, p));
    QCOMPARE(v, int64_t(0));
    QCOMPARE(f.display, QStringLiteral("OFF"));
    f = committing(QStringLiteral("soon"));
    QVERIFY(!cmcFmtTimer::run(f, v, p));
    QCOMPARE(v, int64_t(0));
    for (const char* text : {"1e-5", "0x10", "turn off", "2.5.1"}) {
        f = committing(QLatin1String(text));
        QVERIFY2(!cmcFmtTimer::run(f, v, p), text);
        QCOMPARE(v, int64_t(0));
    }

    // "auto" counts only in mode 2.
    p.mode = 0;
    v = 50;
    f = committing(QStringLiteral("auto"));
    QVERIFY(!cmcFmtTimer::run(f, v, p));

    v = 100;
    cuiFlector sp = typing(32);
    QVERIFY(cmcFmtTimer::run(sp, v, p));
    QCOMPARE(v, int64_t(5)); // wrapped to min
    cuiFlector bs = typing(8);
    cmcFmtTimer::run(bs, v, p);
    QCOMPARE(v, int64_t(100));

    cuiFlector o = typing('o');
    cmcFmtTimer::run(o, v, p);
    QCOMPARE(o.editStatus, int(cuiFlector::EsNone)); // "o" starts editing only in mode 1
    p.mode = 1;
    cmcFmtTimer::run(o, v, p);
    QCOMPARE(o.editStatus, int(cuiFlector::EsEdit));
}

// ---- lists ------------------------------------------------------------------------------

void tst_formats::selection() {
    const cmcSelList& modes = cmcFCache::instance().get(
        QStringLiteral("GI_Sheet_Sel_SetM_TxRxMode"), cuiFlector::KindSelection);
    QCOMPARE(modes.count(), 5);
    int64_t v = 4;
    cuiFlector sp = typing(32);
    QVERIFY(cmcFmtSelect::select(sp, v, modes));
    QCOMPARE(v, int64_t(0)); // the last item wraps to the first
    QCOMPARE(sp.display, QStringLiteral("USB"));
    cuiFlector bs = typing(8);
    cmcFmtSelect::select(bs, v, modes);
    QCOMPARE(v, int64_t(4));

    v = 9;
    cuiFlector show;
    cmcFmtSelect::select(show, v, modes);
    QCOMPARE(show.display, QStringLiteral("error"));

    cuiFlector enter = typing(13);
    cmcFmtSelect::select(enter, v, modes);
    QCOMPARE(enter.editStatus, int(cuiFlector::EsPopup));
    QCOMPARE(enter.popupKey, QStringLiteral("GI_Sheet_Sel_SetM_TxRxMode"));

    cuiFlector pick;
    pick.operation = cuiFlector::OpChoose;
    pick.popupKind = cuiFlector::KindTone;
    pick.popupValue = 2;
    QVERIFY(!cmcFmtSelect::select(pick, v, modes)); // another kind of list
    pick.popupKind = cuiFlector::KindSelection;
    QVERIFY(cmcFmtSelect::select(pick, v, modes));
    QCOMPARE(pick.display, QStringLiteral("CW"));

    cuiFlector typed = committing(QStringLiteral(" lsb "));
    QVERIFY(cmcFmtSelect::select(typed, v, modes));
    QCOMPARE(v, int64_t(1));
    typed = committing(QStringLiteral("SSB"));
    QVERIFY(!cmcFmtSelect::select(typed, v, modes));
}

void tst_formats::rowReference() {
    const cmcFmtSelect::RowRef ref{"GI_Sheet_Sel_ChannelList", 27, 0, 499, 0xFFFF};
    auto shown = [](const void*, int64_t row) {
        return row == 0xFFFF ? QString() : QString::number(row + 1);
    };
    int64_t v = 0xFFFF;
    cuiFlector f = committing(QStringLiteral("12 HOME"));
    QVERIFY(cmcFmtSelect::rowRef(f, v, ref, shown, nullptr));
    QCOMPARE(v, int64_t(11));
    QCOMPARE(f.display, QStringLiteral("12"));
    f = committing(QStringLiteral("501"));
    QVERIFY(!cmcFmtSelect::rowRef(f, v, ref, shown, nullptr));
    // Text that is not a row number is no row, not the number it starts with.
    for (const char* text : {"12abc", "1e-5", "0x10", "3.5.1"}) {
        f = committing(QLatin1String(text));
        QVERIFY2(!cmcFmtSelect::rowRef(f, v, ref, shown, nullptr), text);
        QCOMPARE(v, int64_t(11));
    }
    // A row number of 63 digits (found by fuzzing the list import) is refused, not
    // turned into an integer it cannot fit.
    f = committing(QString(63, u'5'));
    QVERIFY(!cmcFmtSelect::rowRef(f, v, ref, shown, nullptr));
    QCOMPARE(v, int64_t(11));
    f = committing(QString());
    QVERIFY(cmcFmtSelect::rowRef(f, v, ref, shown, nullptr));
    QCOMPARE(v, int64_t(0xFFFF));

    cuiFlector pick;
    pick.operation = cuiFlector::OpChoose;
    pick.popupKind = 29;
    pick.popupValue = 3;
    QVERIFY(!cmcFmtSelect::rowRef(pick, v, ref, shown, nullptr));
    pick.popupKind = 27;
    QVERIFY(cmcFmtSelect::rowRef(pick, v, ref, shown, nullptr));
    QCOMPARE(v, int64_t(3));
}

QTEST_GUILESS_MAIN(tst_formats)
#include "tst_formats.moc"
