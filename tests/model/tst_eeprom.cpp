// The memory image and the byte buffer.

#include "ScriptedPrompt.h"
#include "cmcBuff.h"
#include "cmcChangeTracker.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"

#include <QTest>
#include <vector>

class tst_Eeprom : public QObject {
    Q_OBJECT
  private slots:
    void setSizeClears();
    void equality();
    void assignCopiesSizeAndBytes();
    void blockAccess_data();
    void blockAccess();
    void byteAccessOutsideIsFatal_data();
    void byteAccessOutsideIsFatal();

    void bufferGrowth();
    void popFront();
    void compactsAfter4097Pops();
    void appendOwnBytesWhileGrowing();
    void hexText_data();
    void hexText();
    void atOutsideIsFatal();

    void changeTracking();
};

void tst_Eeprom::setSizeClears() {
    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xA5);
    image.SetSize(QxRadio::ImageSize);
    QCOMPARE(image.GetSize(), QxRadio::ImageSize);
    for (int32_t a = 0; a < image.GetSize(); ++a)
        if (image.GetByte(a) != 0) QFAIL(qPrintable(QString("byte %1 not cleared").arg(a)));

    image.SetSize(0);
    QCOMPARE(image.GetSize(), 0);
    QVERIFY(image.data() == nullptr);
    QVERIFY(!image.IsValidAddress(0));
    image.Fill(1); // nothing to fill, nothing happens
}

void tst_Eeprom::equality() {
    cmcEeprom a(16), b(16), c(17);
    QVERIFY(a == b);
    b.SetByte(15, 1);
    QVERIFY(a != b);
    // A prefix of another image is never equal to it.
    QVERIFY(a != c);
    QVERIFY(cmcEeprom() == cmcEeprom());
}

void tst_Eeprom::assignCopiesSizeAndBytes() {
    cmcEeprom a(8);
    a.SetByte(7, 0x42);
    cmcEeprom b(3);
    b = a;
    QCOMPARE(b.GetSize(), 8);
    QCOMPARE(b.GetByte(7), uint8_t(0x42));
    a.SetByte(7, 0);
    QCOMPARE(b.GetByte(7), uint8_t(0x42)); // owns its own bytes
    const cmcEeprom c(b);
    QVERIFY(c == b);
}

void tst_Eeprom::blockAccess_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("copies");
    QTest::newRow("last 16 bytes") << 0xFFE0 << 16 << true;
    QTest::newRow("one past the end") << 0xFFE1 << 16 << false;
    QTest::newRow("first byte") << 0 << 1 << true;
    QTest::newRow("count 0") << 0 << 0 << false;
    QTest::newRow("negative count") << 0 << -1 << false;
    QTest::newRow("negative address") << -1 << 2 << false;
    QTest::newRow("address at size") << 0xFFF0 << 1 << false;
}

void tst_Eeprom::blockAccess() {
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(bool, copies);
    cmcEeprom image(QxRadio::ImageSize);
    for (int32_t a = 0; a < image.GetSize(); ++a)
        image.SetByte(a, uint8_t(a * 7));

    std::vector<uint8_t> dst(32, 0xEE);
    image.GetBlock(address, dst.data(), count);
    for (int i = 0; i < 32; ++i) {
        const uint8_t expected = copies && i < count ? uint8_t((address + i) * 7) : 0xEE;
        QCOMPARE(dst[size_t(i)], expected);
    }

    const cmcEeprom before(image);
    const std::vector<uint8_t> src(32, 0x5A);
    image.SetBlock(address, src.data(), count);
    for (int32_t a = 0; a < image.GetSize(); ++a) {
        const bool inside = copies && a >= address && a < address + count;
        QCOMPARE(image.GetByte(a), inside ? uint8_t(0x5A) : before.GetByte(a));
    }
}

void tst_Eeprom::byteAccessOutsideIsFatal_data() {
    QTest::addColumn<bool>("set");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("SetByte at size") << true << 0xFFF0 << "Out of EEPROM image address (SetByte).";
    QTest::newRow("SetByte negative") << true << -1 << "Out of EEPROM image address (SetByte).";
    QTest::newRow("GetByte at size") << false << 0xFFF0 << "Out of EEPROM image address (GetByte).";
    QTest::newRow("GetByte negative") << false << -1 << "Out of EEPROM image address (GetByte).";
}

void tst_Eeprom::byteAccessOutsideIsFatal() {
    QFETCH(bool, set);
    QFETCH(int, address);
    QFETCH(QString, message);
    FatalGuard guard;
    cmcEeprom image(QxRadio::ImageSize);
    try {
        if (set)
            image.SetByte(address, 1);
        else
            (void)image.GetByte(address);
        QFAIL("no fatal stop");
    } catch (const cmcFatalError& e) {
        QCOMPARE(e.message, message);
    }
}

void tst_Eeprom::bufferGrowth() {
    cmcBuff b;
    QCOMPARE(b.GetLength(), 0);
    QCOMPARE(b.GetCapacity(), 1);
    const uint8_t* block = b.GetData();
    b.AppendByte(1); // fills the 1-byte block
    QCOMPARE(b.GetCapacity(), 1);
    QVERIFY(b.GetData() == block);
    b.AppendByte(2); // 1/4 + 2
    QCOMPARE(b.GetCapacity(), 2);
    b.AppendByte(3); // 2/4 + 3
    QCOMPARE(b.GetCapacity(), 3);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(b.GetData()), 3), QByteArray("\x01\x02\x03"));

    cmcBuff c;
    c.SetLength(100);
    QCOMPARE(c.GetCapacity(), 100);
    c.SetLength(101); // 100/4 + 101
    QCOMPARE(c.GetCapacity(), 126);
    // Shrinking keeps the block; the reserved room is filled with the fill byte (0).
    c.SetLength(0);
    QCOMPARE(c.GetCapacity(), 126);
    c.SetLength(126);
    for (int i = 0; i < 126; ++i)
        QCOMPARE(*c.At(i), uint8_t(0));
}

void tst_Eeprom::popFront() {
    cmcBuff b;
    QCOMPARE(b.PopFront(), -1);
    QCOMPARE(b.GetLength(), 0);
    QCOMPARE(b.GetCapacity(), 1);

    const uint8_t bytes[] = {0xFF, 0x00, 0x7F};
    b.Set(bytes, 3);
    const int32_t capacity = b.GetCapacity();
    QCOMPARE(b.PopFront(), 0xFF);
    QCOMPARE(b.GetLength(), 2);
    QCOMPARE(b.GetCapacity(), capacity - 1);
    QCOMPARE(b.PopFront(), 0x00);
    QCOMPARE(b.PopFront(), 0x7F);
    QCOMPARE(b.PopFront(), -1);
}

void tst_Eeprom::compactsAfter4097Pops() {
    cmcBuff b;
    b.AppendFill(0x11, 5000);
    b.AppendByte(0x22);
    for (int i = 0; i < 4096; ++i)
        b.PopFront();
    QCOMPARE(b.consumedFront(), 4096);
    QCOMPARE(b.GetLength(), 905);
    b.PopFront(); // the 4,097th
    QCOMPARE(b.consumedFront(), 0);
    QCOMPARE(b.GetLength(), 904);
    QCOMPARE(b.GetCapacity(), 904);
    QCOMPARE(*b.At(903), uint8_t(0x22));

    cmcBuff empty;
    empty.Compact();
    QCOMPARE(empty.GetCapacity(), 1);
}

void tst_Eeprom::appendOwnBytesWhileGrowing() {
    // Appending a buffer's own bytes must survive the block being replaced by growth.
    cmcBuff b;
    const uint8_t bytes[] = {1, 2, 3, 4};
    b.Set(bytes, 4);
    QCOMPARE(b.GetCapacity(), 4);
    b.AppendBytes(b.GetData(), 4);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(b.GetData()), b.GetLength()),
             QByteArray("\x01\x02\x03\x04\x01\x02\x03\x04", 8));
    b.Append(b);
    QCOMPARE(b.GetLength(), 16);
    QCOMPARE(*b.At(15), uint8_t(4));

    cmcBuff c(b);
    QCOMPARE(c.GetLength(), 16);
}

void tst_Eeprom::hexText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("skips a blank, odd nibble high") << "0a B" << QByteArray("\x0A\xB0", 2);
    QTest::newRow("frame text") << "FE FE EE EF E0" << QByteArray("\xFE\xFE\xEE\xEF\xE0");
    QTest::newRow("no digits") << "xyz -!" << QByteArray();
    QTest::newRow("mixed case") << "aBcD" << QByteArray("\xAB\xCD");
}

void tst_Eeprom::hexText() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    cmcBuff b;
    b.AppendByte(0x99);
    b.AppendHexText(text);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(b.GetData()), b.GetLength()),
             QByteArray("\x99", 1) + bytes);
}

void tst_Eeprom::atOutsideIsFatal() {
    FatalGuard guard;
    cmcBuff b;
    b.AppendByte(1);
    QCOMPARE(*b.At(0), uint8_t(1));
    for (int32_t i : {1, -1}) {
        try {
            b.At(i);
            QFAIL("no fatal stop");
        } catch (const cmcFatalError& e) {
            QCOMPARE(e.message, QStringLiteral("Out of cmcBuff element !"));
        }
    }
}

void tst_Eeprom::changeTracking() {
    cmcEeprom working(QxRadio::ImageSize), snapshot;
    cmcChangeTracker tracker(working, snapshot);
    int refreshes = 0;
    tracker.setTitleRefresh([](void* c) { ++*static_cast<int*>(c); }, &refreshes);

    tracker.markSaved();
    QVERIFY(snapshot == working);
    QCOMPARE(refreshes, 1);
    QVERIFY(!tracker.isModified());
    QCOMPARE(refreshes, 1); // nothing changed, no refresh

    // A change undone before the question counts as none.
    working.SetByte(0x100, 1);
    working.SetByte(0x100, 0);
    QVERIFY(!tracker.isModified());

    // Any byte counts, and the answer stays yes even after the change is undone.
    working.SetByte(QxRadio::ImageSize - 1, 9);
    QVERIFY(tracker.isModified());
    QCOMPARE(refreshes, 2);
    working.SetByte(QxRadio::ImageSize - 1, 0);
    QVERIFY(tracker.isModified());
    QCOMPARE(refreshes, 2);

    tracker.markSaved();
    QVERIFY(!tracker.isModified());
    tracker.markModified();
    QVERIFY(tracker.modifiedFlag());
    QVERIFY(tracker.isModified());
    QCOMPARE(refreshes, 4);
}

QTEST_GUILESS_MAIN(tst_Eeprom)
#include "tst_eeprom.moc"
