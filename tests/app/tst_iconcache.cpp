// The main form's image lists kept between starts: a list drawn once is read back, pixel
// for pixel, by the next start; a file that does not hold exactly this list (damaged, cut
// short, another size or list, another program build) is never used: the pictures are
// drawn again and the file made right.

#include "cuiIconCache.h"
#include "cuiIcons.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The real drawing, counted.
struct CountedDraw {
    int calls = 0;
    cuiIconCache::Draw draw() {
        return [this](const QString& name, int size) {
            ++calls;
            return cuiIcons::draw(name, size);
        };
    }
};

bool samePictures(const QList<QImage>& got, const QStringList& names, int size) {
    if (got.size() != names.size()) return false;
    for (int i = 0; i < names.size(); ++i)
        if (got[i] != cuiIcons::draw(names[i], size)) return false;
    return true;
}
} // namespace

class tst_IconCache : public QObject {
    Q_OBJECT

  private slots:
    // Both lists of the main form, as the program keeps them: the second start draws
    // nothing and shows the same pictures.
    void keptListIsReadBack_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("tree") << cuiIcons::treeNames();
        QTest::newRow("tool bar") << cuiIcons::toolBarNames();
    }
    void keptListIsReadBack() {
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("cache/icons.bin"));
        CountedDraw first;
        cuiIconCache drawing(file);
        QVERIFY(samePictures(drawing.images(names, 16, first.draw()), names, 16));
        QVERIFY(!drawing.read());
        QCOMPARE(first.calls, names.size());
        QVERIFY(QFile::exists(file));

        CountedDraw second;
        cuiIconCache reading(file);
        QVERIFY(samePictures(reading.images(names, 16, second.draw()), names, 16));
        QVERIFY(reading.read());
        QCOMPARE(second.calls, 0);
    }

    // A file kept for something else, or damaged, is drawn over; the start after that reads
    // the right pictures again.
    void unfitFileIsDrawnAgain_data() {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("count");
        QTest::newRow("cut short") << QByteArray("cut") << 16 << 0;
        QTest::newRow("one byte more") << QByteArray("grow") << 16 << 0;
        QTest::newRow("another program build") << QByteArray("stamp") << 16 << 0;
        QTest::newRow("not a list at all") << QByteArray("text") << 16 << 0;
        QTest::newRow("empty") << QByteArray("empty") << 16 << 0;
        QTest::newRow("another size") << QByteArray() << 24 << 0;
        QTest::newRow("fewer pictures") << QByteArray() << 16 << 5;
    }
    void unfitFileIsDrawnAgain() {
        QFETCH(QByteArray, damage);
        QFETCH(int, size);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("icons.bin"));
        const QStringList kept = cuiIcons::treeNames();
        CountedDraw unused;
        cuiIconCache(file).images(kept, 16, unused.draw());

        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        if (damage == "cut") bytes.chop(7);
        if (damage == "grow") bytes.append('\0');
        if (damage == "stamp") bytes.replace("program ", "program 1");
        if (damage == "text") bytes = "icons 1\nprogram 0 0\n";
        if (damage == "empty") bytes.clear();
        QVERIFY(f.resize(0) && f.write(bytes) == bytes.size());
        f.close();

        const QStringList names = count ? kept.mid(0, count) : kept;
        CountedDraw again;
        cuiIconCache cache(file);
        QVERIFY(samePictures(cache.images(names, size, again.draw()), names, size));
        QVERIFY(!cache.read());
        QCOMPARE(again.calls, names.size());

        cuiIconCache next(file);
        QVERIFY(samePictures(next.images(names, size, again.draw()), names, size));
        QVERIFY(next.read());
    }

    // Without a cache folder every start draws, and nothing is written anywhere.
    void noFileDrawsEveryTime() {
        CountedDraw counted;
        cuiIconCache none{QString()};
        QVERIFY(samePictures(none.images(cuiIcons::treeNames(), 16, counted.draw()),
                             cuiIcons::treeNames(), 16));
        QVERIFY(!none.read());
        QCOMPARE(counted.calls, cuiIcons::treeNames().size());
    }
};

QTEST_MAIN(tst_IconCache)
#include "tst_iconcache.moc"
