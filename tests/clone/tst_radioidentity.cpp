// The radio's model name and serial number from its information block, whatever the
// block's layout: texts at other places, labelled or not, no text at all, text up to the
// block's last byte.

#include "imcRadioIdentity.h"

#include <QtTest>

namespace {

// A 32-byte block: length, version, kind, then the body from byte 3, 0xFF after it; parts
// are placed at their offsets over that.
QByteArray block(const QList<QPair<int, QByteArray>>& parts, char fill = char(0xFF)) {
    QByteArray b(32, fill);
    b[0] = 32;
    b[1] = 0x01;
    b[2] = 0x02;
    for (const auto& [at, bytes] : parts)
        b.replace(at, bytes.size(), bytes);
    return b;
}

} // namespace

class tst_RadioIdentity : public QObject {
    Q_OBJECT
  private slots:
    void layouts_data() {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("key");

        QTest::newRow("name and number in padded fields")
            << block({{3, QByteArray(1, '\0')},
                      {4, QByteArray("QX-T5200").leftJustified(12)},
                      {16, QByteArray("SIM-0005200").leftJustified(16)}})
            << "QX-T5200"
            << "SIM-0005200"
            << "SIM-0005200";
        // Cut at fixed places this block gave "X-T5200S/N 0" and "1234567".
        QTest::newRow("labelled number right after the name")
            << block({{3, "QX-T5200"}, {11, "S/N 01234567"}}) << "QX-T5200"
            << "S/N 01234567"
            << "01234567";
        QTest::newRow("number first, name later, apart by zeros")
            << block({{5, "SN:A1B2"}, {20, "QX-T5200"}}, '\0') << "QX-T5200"
            << "SN:A1B2"
            << "A1B2";
        QTest::newRow("number up to the block's last byte")
            << block({{3, "QX-T5200"}, {11, QByteArray(1, '\0')}, {12, "ABCDEFGHIJ0123456789"}})
            << "QX-T5200"
            << "ABCDEFGHIJ0123456789"
            << "ABCDEFGHIJ0123456789";
        QTest::newRow("another model's name, unlabelled number")
            << block({{6, "XR-100"}, {13, QByteArray(1, '\0')}, {14, "778 899/2"}}) << "XR-100"
            << "778 899/2"
            << "778_899_2";
        QTest::newRow("a number alone") << block({{3, "0042-7781"}}) << QString() << "0042-7781"
                                        << "0042-7781";
        QTest::newRow("no text: the bytes in hexadecimal")
            << block({{3, QByteArray::fromHex("0001234567")}, {10, QByteArray::fromHex("0A0B")}})
            << QString() << "0001234567FFFF0A0B"
            << "0001234567FFFF0A0B";
        QTest::newRow("a name alone: the bytes in hexadecimal")
            << block({{3, "QX-T5200"}}) << "QX-T5200"
            << "51582D5435323030"
            << "51582D5435323030";
        QTest::newRow("header only")
            << QByteArray::fromHex("200102") << QString() << QString() << QString();
        QTest::newRow("empty") << QByteArray() << QString() << QString() << QString();
    }

    void layouts() {
        QFETCH(QByteArray, info);
        QFETCH(QString, model);
        QFETCH(QString, serial);
        QFETCH(QString, key);
        const imcRadioIdentity id = imcRadioIdentity::FromInfo(info);
        QCOMPARE(id.model, model);
        QCOMPARE(id.serial, serial);
        QCOMPARE(id.key, key);
        QCOMPARE(id.backupKind("write"), key.isEmpty() ? QStringLiteral("write") : "write-" + key);
    }
};

QTEST_APPLESS_MAIN(tst_RadioIdentity)
#include "tst_radioidentity.moc"
