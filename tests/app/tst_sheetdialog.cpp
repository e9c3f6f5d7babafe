// The sheet dialog with an update button: its sheet built for a key and arguments, OK and
// Update at the bottom right 5 pixels apart, Update showing every cell again (or the
// owner's action), OK closing it.

#include "SheetTestKit.h"
#include "cmcEvMan.h"
#include "cuiGrid.h"
#include "cuiSheet.h"
#include "cuiSheetDialog.h"

#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

struct DialogFixture {
    RecordingSheetEnv env;
    RecordingCellSource source;
    SheetTable defs;
    QWidget owner;

    DialogFixture() {
        defs.sheet("K", "(FixedRows=1)", "{<}",
                   {"{^H}No|{^H}Entry", ":(LoopFrom 3)",
                    "{SH(%CL_ChL_Name[0])}n|{SH(%CL_ChL_FreqR[0])}f", ":(LoopTo)"})
            .add("GI_Sys_AppTitle", {"Editor"})
            .add("GI_AppInd_Button_OkCancel", {"OK", "Cancel"})
            .add("GI_AppInd_Update", {"Update"});
        owner.resize(600, 400);
        owner.show();
    }
};

} // namespace

class tst_SheetDialog : public QObject {
    Q_OBJECT
  private slots:
    void buttonsAndSheet();
    void updateShowsTheCellsAgain();
};

void tst_SheetDialog::buttonsAndSheet() {
    DialogFixture f;
    QPointer<cuiSheetDialog> dialog = new cuiSheetDialog("K", "", f.defs.table(), &f.owner);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Editor"));
    QCOMPARE(dialog->sheet()->rowCount(), 4);
    QCOMPARE(dialog->okButton()->text(), QStringLiteral("OK"));
    QCOMPARE(dialog->updateButton()->text(), QStringLiteral("Update"));
    const QRect ok = dialog->okButton()->geometry(), update = dialog->updateButton()->geometry();
    QCOMPARE(update.left() - ok.right() - 1, 5);
    QCOMPARE(dialog->width() - update.right() - 1, 5);
    QCOMPARE(dialog->height() - update.bottom() - 1, 5);
    // Over its owner.
    QVERIFY(f.owner.frameGeometry().contains(dialog->frameGeometry().center()));
    dialog->okButton()->click();
    QTRY_VERIFY(!dialog);
}

void tst_SheetDialog::updateShowsTheCellsAgain() {
    cmcEvMan events;
    DialogFixture f;
    auto* dialog = new cuiSheetDialog("K", "", f.defs.table(), &f.owner);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    int repaints = 0;
    events.attach(
        [](void* c, const cmcEvent* e) {
            if (e->code == EV_RepaintAll) ++*static_cast<int*>(c);
        },
        &repaints);
    dialog->updateButton()->click();
    QCOMPARE(repaints, 1);
    // An owner's own action replaces it.
    bool updated = false;
    dialog->onUpdate([&] { updated = true; });
    dialog->updateButton()->click();
    QVERIFY(updated);
    QCOMPARE(repaints, 1);
    delete dialog;
}

QTEST_MAIN(tst_SheetDialog)
#include "tst_sheetdialog.moc"
