// The character set of a font description: which script each Windows set stands for, and the
// family a font is drawn with when its face lacks that script.

#include "cuiFont.h"

#include <QFontDatabase>
#include <QtTest>

class tst_Font : public QObject {
    Q_OBJECT
  private slots:
    void writingSystemOfCharset_data();
    void writingSystemOfCharset();
    void faceKeptOrReplaced_data();
    void faceKeptOrReplaced();
};

void tst_Font::writingSystemOfCharset_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("writingSystem");
    QTest::newRow("ansi") << "ANSI_CHARSET" << int(QFontDatabase::Any);
    QTest::newRow("default") << "DEFAULT_CHARSET" << int(QFontDatabase::Any);
    QTest::newRow("oem") << "OEM_CHARSET" << int(QFontDatabase::Any);
    QTest::newRow("mac") << "MAC_CHARSET" << int(QFontDatabase::Any);
    QTest::newRow("symbol") << "SYMBOL_CHARSET" << int(QFontDatabase::Symbol);
    QTest::newRow("russian") << "RUSSIAN_CHARSET" << int(QFontDatabase::Cyrillic);
    QTest::newRow("greek") << "GREEK_CHARSET" << int(QFontDatabase::Greek);
    QTest::newRow("east europe") << "EASTEUROPE_CHARSET" << int(QFontDatabase::Latin);
    QTest::newRow("shift-jis") << "SHIFTJIS_CHARSET" << int(QFontDatabase::Japanese);
    QTest::newRow("johab") << "JOHAB_CHARSET" << int(QFontDatabase::Korean);
    QTest::newRow("big5") << "CHINESEBIG5_CHARSET" << int(QFontDatabase::TraditionalChinese);
    QTest::newRow("gb2312") << "GB2312_CHARSET" << int(QFontDatabase::SimplifiedChinese);
    QTest::newRow("hebrew") << "HEBREW_CHARSET" << int(QFontDatabase::Hebrew);
    QTest::newRow("arabic") << "ARABIC_CHARSET" << int(QFontDatabase::Arabic);
    QTest::newRow("thai") << "THAI_CHARSET" << int(QFontDatabase::Thai);
    QTest::newRow("vietnamese") << "VIETNAMESE_CHARSET" << int(QFontDatabase::Vietnamese);
}

void tst_Font::writingSystemOfCharset() {
    QFETCH(QString, name);
    QFETCH(int, writingSystem);
    cuiFont font;
    font.applyText(name + QStringLiteral(",,,,,,"));
    QCOMPARE(int(cuiFont::writingSystemOf(font.charset)), writingSystem);
}

void tst_Font::faceKeptOrReplaced_data() {
    QTest::addColumn<QString>("fontText");
    QTest::addColumn<int>("writingSystem"); // Any: the face is kept as it is
    QTest::newRow("default keeps even an unknown face")
        << "DEFAULT_CHARSET,No Such Face,,,,," << int(QFontDatabase::Any);
    QTest::newRow("ansi keeps the face")
        << "ANSI_CHARSET,No Such Face,,,,," << int(QFontDatabase::Any);
    QTest::newRow("russian takes a face with Cyrillic")
        << "RUSSIAN_CHARSET,No Such Face,,,,," << int(QFontDatabase::Cyrillic);
    QTest::newRow("symbol takes a symbol face")
        << "SYMBOL_CHARSET,No Such Face,,,,," << int(QFontDatabase::Symbol);
}

void tst_Font::faceKeptOrReplaced() {
    QFETCH(QString, fontText);
    QFETCH(int, writingSystem);
    cuiFont font;
    font.applyText(fontText);
    const QString family = font.toQFont().family();
    if (writingSystem == QFontDatabase::Any) {
        QCOMPARE(family, QStringLiteral("No Such Face"));
        return;
    }
    const auto ws = QFontDatabase::WritingSystem(writingSystem);
    if (QFontDatabase::families(ws).isEmpty()) QSKIP("no installed family has this script");
    QVERIFY2(QFontDatabase::writingSystems(family).contains(ws), qPrintable(family));
    // A face that has the script is kept.
    const QString having = QFontDatabase::families(ws).last();
    cuiFont own;
    own.applyText(fontText.section(',', 0, 0) + ',' + having + QStringLiteral(",,,,,"));
    QCOMPARE(own.toQFont().family(), having);
}

QTEST_MAIN(tst_Font)
#include "tst_font.moc"
