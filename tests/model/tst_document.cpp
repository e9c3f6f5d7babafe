// The document alone, without a window: named undo steps that keep only the bytes that
// changed, merging of repeated edits of one cell, redo, and the modified flag.

#include "cmcDocument.h"

#include <QTest>

class tst_document : public QObject {
    Q_OBJECT

  private slots:
    void stepsAreNamedAndUndoneInOrder() {
        cmcDocument doc(0x1000);
        doc.working().Fill(0xFF);
        doc.clearHistory();
        doc.markSaved();
        QVERIFY(!doc.canUndo());
        QVERIFY(!doc.recordChange(QStringLiteral("nothing"))); // no change, no step

        doc.working().SetByte(0x10, 1);
        QVERIFY(doc.recordChange(QStringLiteral("RX Frequency, CH 1"), QStringLiteral("a")));
        doc.working().SetByte(0x800, 2);
        doc.working().SetByte(0x900, 3);
        QVERIFY(doc.recordChange(QStringLiteral("Paste, 4 rows")));
        QCOMPARE(doc.undoName(), QStringLiteral("Paste, 4 rows"));
        QVERIFY(doc.isModified());

        QVERIFY(doc.undo());
        QCOMPARE(doc.working().GetByte(0x800), uint8_t(0xFF));
        QCOMPARE(doc.working().GetByte(0x900), uint8_t(0xFF));
        QCOMPARE(doc.working().GetByte(0x10), uint8_t(1));
        QCOMPARE(doc.undoName(), QStringLiteral("RX Frequency, CH 1"));
        QCOMPARE(doc.redoName(), QStringLiteral("Paste, 4 rows"));
        QVERIFY(doc.undo());
        QVERIFY(!doc.canUndo());
        QVERIFY(!doc.isModified()); // back to the saved bytes

        QVERIFY(doc.redo());
        QVERIFY(doc.redo());
        QCOMPARE(doc.working().GetByte(0x900), uint8_t(3));
        QVERIFY(!doc.canRedo());

        // A new change after an undo drops what could be redone.
        QVERIFY(doc.undo());
        doc.working().SetByte(0x20, 4);
        QVERIFY(doc.recordChange(QStringLiteral("Name, CH 2")));
        QVERIFY(!doc.canRedo());
    }

    // Typing into one cell again and again is one step; another cell, or a break (the
    // editor moved on), starts a new one.
    void repeatedEditsOfOneCellMerge() {
        cmcDocument doc(0x100);
        doc.clearHistory();
        const uint8_t original = doc.working().GetByte(0x40);
        for (uint8_t v : {uint8_t(1), uint8_t(2), uint8_t(3)}) {
            doc.working().SetByte(0x40, v);
            doc.working().SetByte(0x48, v); // the same record, a few bytes on
            QVERIFY(doc.recordChange(QStringLiteral("Name, CH 1"), QStringLiteral("name/0")));
        }
        QCOMPARE(doc.undoCount(), 1);
        doc.working().SetByte(0x80, 9);
        QVERIFY(doc.recordChange(QStringLiteral("Name, CH 2"), QStringLiteral("name/1")));
        QCOMPARE(doc.undoCount(), 2);
        doc.breakMerge();
        doc.working().SetByte(0x80, 10);
        QVERIFY(doc.recordChange(QStringLiteral("Name, CH 2"), QStringLiteral("name/1")));
        QCOMPARE(doc.undoCount(), 3);

        QVERIFY(doc.undo());
        QVERIFY(doc.undo());
        QVERIFY(doc.undo());
        QCOMPARE(doc.working().GetByte(0x40), original);
        QCOMPARE(doc.working().GetByte(0x48), original);
        QVERIFY(!doc.canUndo());
    }

    // A change that nobody recorded (bytes put back by a window) is undone before the
    // step under it; the history holds at most MaxSteps steps.
    void unrecordedChangesAndTheLimit() {
        cmcDocument doc(0x400);
        doc.clearHistory();
        doc.working().SetByte(1, 0x11);
        QVERIFY(doc.recordChange(QStringLiteral("first")));
        doc.working().SetByte(2, 0x22); // not recorded
        QVERIFY(doc.undo());
        QCOMPARE(doc.working().GetByte(2), uint8_t(0));
        QCOMPARE(doc.working().GetByte(1), uint8_t(0x11));

        doc.clearHistory();
        for (int i = 0; i < cmcDocument::MaxSteps + 10; ++i) {
            doc.working().SetByte(i, uint8_t(i + 1));
            QVERIFY(doc.recordChange(QString::number(i)));
        }
        QCOMPARE(doc.undoCount(), cmcDocument::MaxSteps);
        QCOMPARE(doc.undoName(), QString::number(cmcDocument::MaxSteps + 9));
    }
};

QTEST_GUILESS_MAIN(tst_document)
#include "tst_document.moc"
