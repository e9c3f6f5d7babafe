// The sheet viewer: a sheet painted into a PNG over the initial data, and the failures it
// reports instead of showing a window.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_SheetView : public QObject {
    Q_OBJECT

  private slots:
    void run_data();
    void run();
};

void tst_SheetView::run_data() {
    QTest::addColumn<QStringList>("args"); // "%icf" and "%png" are filled in
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error"); // part of the error output; empty: a PNG is written

    QTest::newRow("bank sheet") << QStringList{"%icf", "[St_ChBank]GI_Sheet_Mch_,Bank 0", "--grab",
                                               "%png"}
                                << 0 << QString();
    QTest::newRow("settings sheet")
        << QStringList{"--size", "600x900", "%icf", "[St_Common]GI_Sheet_SetM", "--grab", "%png"}
        << 0 << QString();
    QTest::newRow("sheet not in the overlay")
        << QStringList{"%icf", "GI_Sheet_NoSuchSheet", "--grab", "%png"} << 3
        << QString("GI_Sheet_NoSuchSheet_");
    QTest::newRow("clone file missing")
        << QStringList{"missing.icf", "GI_Sheet_VFO"} << 1 << QString("missing.icf");
    QTest::newRow("overlay missing")
        << QStringList{"--overlay", "none.OVL", "%icf", "GI_Sheet_VFO"} << 2 << QString("none.OVL");
    QTest::newRow("command missing") << QStringList{"%icf"} << 2 << QString("usage");
}

void tst_SheetView::run() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString png = dir.filePath("sheet.png");
    for (QString& a : args) {
        if (a == QLatin1String("%icf")) a = QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf");
        if (a == QLatin1String("%png")) a = png;
    }
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(QX_RUNTIME_DIR "/qxt5200-sheetview" QX_EXE_SUFFIX), args);
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    QVERIFY2(p.exitStatus() == QProcess::NormalExit, qPrintable(err));
    QCOMPARE(p.exitCode(), status);
    if (error.isEmpty()) {
        const QImage image(png);
        QVERIFY2(!image.isNull(), qPrintable(err));
        QVERIFY(image.width() >= 100 && image.height() >= 100);
    } else {
        QVERIFY2(err.contains(error), qPrintable(err));
    }
}

QTEST_GUILESS_MAIN(tst_SheetView)
#include "tst_sheetview.moc"
