// The recovery journal without a window: when it is written (after a quiet spell, at the
// latest a while after the first unwritten change, never while nothing changed), that it is
// removed once the document is no longer modified, what it keeps (image, file, stamp), which
// journals are offered (not a running editor's, never the own one); and the file stamp that
// finds a file changed behind the editor's back.

#include "cmcEeprom.h"
#include "cmcFileStamp.h"
#include "cmcTick.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indRecoveryJournal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

uint32_t g_now = 1000;

cmcEeprom initialImage() {
    cmcEeprom image(QxRadio::ImageSize);
    if (indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), image) !=
        ICF_Ok)
        qWarning("initial data not read");
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_journal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    cmcEeprom m_image;

  private slots:
    void initTestCase() {
        cmcTick::setClock([] { return g_now; });
        m_image = initialImage();
        QVERIFY(indCloneFile::hasIdentity(m_image));
    }
    void cleanupTestCase() { cmcTick::setClock({}); }
    void init() {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    // Written after the quiet time, not before; a burst of typing that never pauses is
    // written after the longest delay; nothing new, nothing written; unmodified, removed.
    void writtenAfterQuietSpellAndRemovedWhenUnmodified() {
        indRecoveryJournal journal(m_dir.path(), QStringLiteral("editor-a"));
        cmcEeprom image = m_image;
        const QString file = m_dir.filePath(QStringLiteral("channels.icf"));

        QVERIFY(!journal.poll(image, false, file, {})); // unmodified: nothing
        QVERIFY(!journal.exists());
        image.SetByte(0x1000, 0x42);
        QVERIFY(!journal.poll(image, true, file, {}));
        g_now += indRecoveryJournal::QuietMs - 1;
        QVERIFY(!journal.poll(image, true, file, {}));
        QVERIFY(!journal.exists());
        g_now += 1;
        QVERIFY(journal.poll(image, true, file, {}));
        QVERIFY(journal.exists());
        g_now += 10 * indRecoveryJournal::QuietMs;
        QVERIFY(!journal.poll(image, true, file, {})); // nothing new

        // A change every half second: the quiet time never comes, the longest delay does.
        uint32_t waited = 0;
        bool written = false;
        const uint8_t was = image.GetByte(0x1001);
        for (int i = 0; i < 100 && !written; ++i) {
            image.SetByte(0x1001, uint8_t(~was + i)); // another value each time
            written = journal.poll(image, true, file, {});
            if (!written) {
                g_now += 500;
                waited += 500;
            }
        }
        QVERIFY(written);
        QVERIFY(waited >= indRecoveryJournal::LongestDelayMs - 500);
        QVERIFY(waited <= indRecoveryJournal::LongestDelayMs);

        QVERIFY(!journal.poll(image, false, file, {})); // saved
        QVERIFY(!journal.exists());
        QVERIFY(!QFile::exists(journal.infoPath()));
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
    }

    // Before a clone write the journal is written at once; what it keeps reads back: the
    // image, the document's file, the stamp and the time.
    void writtenAtOnceAndReadBack() {
        indRecoveryJournal journal(m_dir.path(), QStringLiteral("editor-a"));
        const QString file = m_dir.filePath(QStringLiteral("channels.icf"));
        QVERIFY(writeFile(file, "some bytes"));
        const cmcFileStamp stamp = cmcFileStamp::of(file);
        cmcEeprom image = m_image;
        image.SetByte(0x2000, 0x55);
        QVERIFY(journal.writeNow(image, true, file, stamp));
        QVERIFY(journal.lastWriteMs() > 0);

        const QList<indRecoveryJournal::Entry> all = indRecoveryJournal::entries(m_dir.path());
        QCOMPARE(all.size(), 1);
        const indRecoveryJournal::Entry& e = all.first();
        QCOMPARE(e.imagePath, journal.imagePath());
        QCOMPARE(e.owner, QStringLiteral("editor-a"));
        QCOMPARE(e.original, file);
        QVERIFY(qAbs(e.written.secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(e.stamp.toText(), stamp.toText());
        cmcEeprom back(QxRadio::ImageSize);
        QCOMPARE(indRecoveryJournal::readImage(e, back), int(ICF_Ok));
        QVERIFY(back == image);

        QVERIFY(indRecoveryJournal::discard(e));
        QVERIFY(indRecoveryJournal::entries(m_dir.path()).isEmpty());
    }

    // Offered: journals whose owner no longer answers, and those left under this editor's own
    // name (it took the name over from a killed editor); never its own journal, never a
    // running editor's. Newest first.
    void orphansAreTheJournalsNobodyRuns() {
        cmcEeprom image = m_image;
        image.SetByte(0x3000, 1);
        indRecoveryJournal running(m_dir.path(), QStringLiteral("editor-running"));
        indRecoveryJournal dead(m_dir.path(), QStringLiteral("editor-dead"));
        indRecoveryJournal sameName(m_dir.path(), QStringLiteral("editor-me"));
        QVERIFY(running.writeNow(image, true, QString(), {}));
        QVERIFY(dead.writeNow(image, true, QStringLiteral("/x/dead.icf"), {}));
        QThread::msleep(20);
        QVERIFY(sameName.writeNow(image, true, QStringLiteral("/x/me.icf"), {}));
        indRecoveryJournal me(m_dir.path(), QStringLiteral("editor-me"));
        QVERIFY(me.writeNow(image, true, QStringLiteral("/x/now.icf"), {}));

        QStringList asked;
        const auto answering = [&asked](const QString& owner) {
            asked << owner;
            return owner == QLatin1String("editor-running");
        };
        const QList<indRecoveryJournal::Entry> offered = me.orphans(answering);
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[0].original, QStringLiteral("/x/me.icf")); // the newer one
        QCOMPARE(offered[1].original, QStringLiteral("/x/dead.icf"));
        QVERIFY(!asked.contains(QStringLiteral("editor-me")));
        QCOMPARE(indRecoveryJournal::entries(m_dir.path()).size(), 4);

        // An image without its companion (stopped between the two writes) is offered too.
        QVERIFY(QFile::remove(dead.infoPath()));
        bool withoutInfo = false;
        for (const auto& e : me.orphans(answering))
            withoutInfo = withoutInfo || (e.imagePath == dead.imagePath() && e.owner.isEmpty());
        QVERIFY(withoutInfo);
    }

    // The stamp finds another size, another time, and the same size and time with other
    // bytes; the file unchanged, or no stamp, is no change.
    void stampFindsChanges_data() {
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("keepTime");
        QTest::addColumn<bool>("changed");
        QTest::newRow("unchanged") << QByteArray("0123456789") << true << false;
        QTest::newRow("longer") << QByteArray("0123456789A") << false << true;
        QTest::newRow("same size, later") << QByteArray("0123456789") << false << true;
        QTest::newRow("same size and time, other bytes")
            << QByteArray("9876543210") << true << true;
    }
    void stampFindsChanges() {
        QFETCH(QByteArray, after);
        QFETCH(bool, keepTime);
        QFETCH(bool, changed);
        const QString path = m_dir.filePath(QStringLiteral("file.csv"));
        QDir().mkpath(m_dir.path());
        QVERIFY(writeFile(path, "0123456789"));
        const cmcFileStamp stamp = cmcFileStamp::of(path);
        QVERIFY(stamp.isValid());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QDateTime time = f.fileTime(QFileDevice::FileModificationTime);
        QVERIFY(f.resize(0));
        QCOMPARE(f.write(after), after.size());
        f.close();
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(
            f.setFileTime(keepTime ? time : time.addSecs(5), QFileDevice::FileModificationTime));
        f.close();
        QCOMPARE(stamp.changedOnDisk(path), changed);
        QCOMPARE(cmcFileStamp::fromText(stamp.toText()).changedOnDisk(path), changed);
        QVERIFY(!cmcFileStamp().changedOnDisk(path));
        QVERIFY(QFile::remove(path));
        QVERIFY(stamp.changedOnDisk(path)); // gone
    }
};

QTEST_GUILESS_MAIN(tst_journal)
#include "tst_journal.moc"
