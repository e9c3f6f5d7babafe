// Per-radio values in the editor: the several-radios window takes a sheet only when every
// value passes its cell (the faults named by line and column), shows it, and writes each
// radio with its own row (two radios, one on a pseudo-terminal and one over TCP); a radio
// without a row stops the batch unless the plain document is allowed for it (and when two or
// more get it, the user is warned first, naming them). Clone > Fleet Sheet makes the sheet
// from the radios' clone files, or from the radios on the list read side by side (and
// cancelled), and opens it for editing, with undo, CSV out and a column added from a list
// cell's pop-up menu.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcComm.h"
#include "cmcCsvList.h"
#include "cmcListInfo.h"
#include "cuiFleetRead.h"
#include "cuiFleetSheetBox.h"
#include "cuiFleetWrite.h"
#include "imcFleetSheet.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indMain.h"
#include "iuiFleetSheetWin.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>
#include <memory>

namespace {

constexpr int kCloneTimeout = 150000;
const char* const SelfRef = "CT_AleSelfIndId.CL_Ale_SelfId_Id[0]";

void setChannel(cmcEeprom& image, int row, uint32_t frequency) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    for (int i = 0; i < 4; ++i) {
        image.SetByte(ch->base + row * ch->size + QxRec::ChFreqR + i,
                      uint8_t(frequency >> (8 * i)));
        image.SetByte(ch->base + row * ch->size + QxRec::ChFreqT + i,
                      uint8_t(frequency >> (8 * i)));
    }
    image.SetByte(ch->base + row * ch->size + QxRec::ChMode, 0);
}

QString selfAddress(const cmcEeprom& image) {
    cmcEeprom copy(image);
    return cmcCellDispatch(&copy).text(CT_AleSelfIndId, CL_Ale_SelfId_Id, 0);
}

} // namespace

class tst_FleetSheetWin : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    QString m_radioFile;

    QString sheetFile(const QByteArray& rows) {
        const QString path = m_editor->path("fleet.csv");
        const QByteArray text = QByteArray("radio,") + SelfRef + "\r\n" + rows;
        return cmcCsvList::writeFile(path, text, nullptr) ? path : QString();
    }

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-fleetsheet-"));
        m_main = m_editor->main.get();
        cmcEeprom radio = cloneTestImage(5200);
        setChannel(radio, 0, 7100000);
        m_radioFile = m_editor->path("radio.icf");
        QVERIFY(cloneWriteImageFile(m_radioFile, radio));
        setChannel(m_main->workingImage(), 2, 14070000);
    }
    void cleanup() {
        m_editor.reset();
        m_main = nullptr;
    }

    // A sheet with a value its cell refuses is not taken: the message names the line and
    // the column, and the window keeps no sheet. A sound one shows a row per radio.
    void chooseSheet() {
        ScriptedPrompt prompt;
        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        cuiFleetWrite* w = m_main->fleetWindow();
        QVERIFY(w);
        cuiFleetSheetBox* box = w->sheetBox();
        QVERIFY(!box->load(sheetFile("ED-A,ALPHA\r\nED-B,BR_VO\r\n")));
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY2(prompt.texts()[0].contains(QStringLiteral("line 3, column 2 (%1)").arg(SelfRef)),
                 qPrintable(prompt.texts()[0]));
        QVERIFY(box->pathEdit()->text().isEmpty());
        QVERIFY(!box->plainBox()->isEnabled());

        QVERIFY(box->load(sheetFile("ED-A,ALPHA\r\nED-B,BRAVO\r\n")));
        QCOMPARE(box->view()->rowCount(), 2);
        QCOMPARE(box->view()->horizontalHeaderItem(1)->text(), QString::fromLatin1(SelfRef));
        QCOMPARE(box->view()->item(1, 1)->text(), QStringLiteral("BRAVO"));
        QVERIFY(box->plainBox()->isEnabled());
        w->close();
    }

    // Two radios written with the sheet: each holds the document with its own self address,
    // the table names the values, the backups hold what each got. A radio without a row
    // stops both, unless the plain document is allowed for it.
    void writeWithSheet_data() {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<QStringList>("held"); // self address afterwards; empty: not written
        QTest::addColumn<bool>("warned");      // the plain document goes to both: said first
        QTest::newRow("a row each")
            << QByteArray("ED-A,ALPHA\r\nED-B,BRAVO\r\n") << false << QStringList{"0", "0"}
            << QStringList{"ALPHA", "BRAVO"} << false;
        QTest::newRow("no row for one") << QByteArray("ED-A,ALPHA\r\n") << false
                                        << QStringList{"21", "21"} << QStringList{"", ""} << false;
        QTest::newRow("plain for it")
            << QByteArray("ED-A,ALPHA\r\n") << true << QStringList{"0", "0"}
            << QStringList{"ALPHA", "*"} << false;
        QTest::newRow("plain for both") << QByteArray("ED-X,ALPHA\r\n") << true
                                        << QStringList{"0", "0"} << QStringList{"*", "*"} << true;
    }

    void writeWithSheet() {
        QFETCH(QByteArray, rows);
        QFETCH(bool, plain);
        QFETCH(QStringList, statuses);
        QFETCH(QStringList, held);
        QFETCH(bool, warned);
        ScriptedPrompt prompt;
        cloneSimProcess a, b;
        const QString saved[2] = {m_editor->path("a.icf"), m_editor->path("b.icf")};
        QVERIFY(a.start(cloneSimProcess::Serial,
                        {"--file", m_radioFile, "--serial", "ED-A", "--save", saved[0]}));
        QVERIFY(b.start(cloneSimProcess::Tcp,
                        {"--file", m_radioFile, "--serial", "ED-B", "--save", saved[1]}));
        cmcEeprom document = m_main->workingImage();
        m_main->PrepareImage(document, true);

        // Named before the window lists the ports, so that the list holds it.
        const QString nameA = cmcComm::DisplayName(cmcComm::PortNumberOf(a.address()));
        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        cuiFleetWrite* w = m_main->fleetWindow();
        QVERIFY(w);
#ifdef Q_OS_WIN
        // Windows keeps no table of serial devices to list: the COM port is added by its name.
        QVERIFY(w->addDevice(a.address()));
#endif
        QVERIFY(w->addAdapter(b.address()));
        for (int i = 0; i < w->linkList()->count(); ++i) {
            QListWidgetItem* item = w->linkList()->item(i);
            item->setCheckState(
                item->text() == nameA || item->text() == b.address() ? Qt::Checked : Qt::Unchecked);
        }
        QVERIFY(w->sheetBox()->load(sheetFile(rows)));
        w->sheetBox()->plainBox()->setChecked(plain);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        w->writeButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);

        // Radios without a row that would all get the same identity are named before any
        // data goes out; the user asked for it, so OK writes them.
        const QStringList warnings =
            prompt.texts().filter(QStringLiteral("The plain document goes to"));
        if (warned) {
            QCOMPARE(warnings,
                     QStringList{cuiFleetWrite::text(20).arg(2).arg(
                         QStringLiteral("ED-A (%1), ED-B (%2)").arg(nameA, b.address()))});
            QCOMPARE(prompt.entries().last().icon, cmcPromptIcon::Warning);
        } else {
            QVERIFY(warnings.isEmpty());
        }

        QTableWidget* table = w->resultTable();
        QCOMPARE(table->rowCount(), 2);
        const int values = table->columnCount() - 1;
        QCOMPARE(table->horizontalHeaderItem(values)->text(), cuiFleetSheetBox::text(6));
        for (int r = 0; r < 2; ++r) {
            QCOMPARE(table->item(r, 2)->text(), statuses[r]);
            if (held[r].isEmpty()) {
                QVERIFY(!QFile::exists(saved[r]));
                continue;
            }
            cmcEeprom memory(QxRadio::ImageSize);
            QCOMPARE(indCloneFile::open(saved[r], memory), 0);
            // The document everywhere but in the radio's own value.
            cmcEeprom expected = document;
            if (held[r] != QLatin1String("*")) {
                QCOMPARE(selfAddress(memory), held[r]);
                QCOMPARE(table->item(r, values)->text(),
                         QStringLiteral("CL_Ale_SelfId_Id[0]=%1").arg(held[r]));
                cmcCellDispatch(&expected).commit(CT_AleSelfIndId, CL_Ale_SelfId_Id, 0, held[r]);
            }
            for (int32_t addr = QxRadio::UserWriteFirst; addr <= QxRadio::UserWriteLast; ++addr)
                if (memory.GetByte(addr) != expected.GetByte(addr))
                    QFAIL(qPrintable(
                        QStringLiteral("radio %1 differs at %2").arg(r).arg(addr, 4, 16)));
            const QStringList kept =
                EditorFixture::backups(QStringLiteral("*_write-ED-%1.icf").arg(QChar('A' + r)));
            QVERIFY(!kept.isEmpty());
        }
        if (statuses[0] == QLatin1String("21"))
            QVERIFY(table->item(1, 3)->text().contains(QStringLiteral("has no row")));
        w->close();
    }

    // Clone > Fleet Sheet...: the files chosen, the sheet saved where asked, holding the
    // cells that differ with a row per file.
    void fleetSheetFromFiles() {
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        cmcEeprom one = m_main->workingImage(), two = one;
        cmcCellDispatch(&one).commit(CT_AleSelfIndId, CL_Ale_SelfId_Id, 0, "ALPHA");
        cmcCellDispatch(&two).commit(CT_AleSelfIndId, CL_Ale_SelfId_Id, 0, "BRAVO");
        const QString fileOne = m_editor->path("SN-1.icf"), fileTwo = m_editor->path("SN-2.icf");
        QVERIFY(cloneWriteImageFile(fileOne, one));
        QVERIFY(cloneWriteImageFile(fileTwo, two));
        const QString out = m_editor->path("derived.csv");
        dialogs.answers = QStringList{fileOne + '\n' + fileTwo, out};
        EditorFixture::runMenu(CL_Menu_Clone_FleetSheet);
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Information);
        imcFleetSheet sheet;
        QVERIFY(sheet.readFile(out, nullptr));
        QCOMPARE(int(sheet.columns().size()), 1);
        QCOMPARE(sheet.columns()[0].reference, QString::fromLatin1(SelfRef));
        QCOMPARE(sheet.rows()[0].radio, QStringLiteral("SN-1"));
        QCOMPARE(sheet.value(1, 0), QStringLiteral("BRAVO"));
    }

    // Clone > Fleet Sheet > Read from the Radios on the List: the three radios ticked in the
    // several-radios list (two on pseudo-terminals, one over TCP) are read side by side, each
    // image kept as its serial's backup, and the sheet made from them has a row per serial
    // and the one cell that differs, the self address.
    void fleetSheetFromRadios() {
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        const QStringList serials = {"ED-A", "ED-B", "ED-C"};
        const QStringList selves = {"ALPHA", "BRAVO", "CHARLIE"};
        cloneSimProcess sims[3];
        QStringList ticked;
        for (int i = 0; i < 3; ++i) {
            cmcEeprom image = cloneTestImage(5200);
            cmcCellDispatch(&image).commit(CT_AleSelfIndId, CL_Ale_SelfId_Id, 0, selves[i]);
            QCOMPARE(selfAddress(image), selves[i]);
            const QString file = m_editor->path(QStringLiteral("radio-%1.icf").arg(i));
            QVERIFY(cloneWriteImageFile(file, image));
            QVERIFY(sims[i].start(i < 2 ? cloneSimProcess::Serial : cloneSimProcess::Tcp,
                                  {"--file", file, "--serial", serials[i]}));
            ticked << sims[i].address();
        }
        m_editor->env->fleetDevices = ticked.mid(0, 2);
        m_editor->env->fleetAdapters = {ticked[2]};
        m_editor->env->fleetTicked = ticked;
        const QString out = m_editor->path("read.csv");
        dialogs.answers = QStringList{out};
        // Each radio's image kept once more under its serial number.
        const auto readBackup = [&serials](int i) {
            return QStringLiteral("*_read-%1.icf").arg(serials[i]);
        };
        qsizetype keptBefore[3];
        for (int i = 0; i < 3; ++i)
            keptBefore[i] = EditorFixture::backups(readBackup(i)).size();
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        EditorFixture::runMenu(CL_Menu_Clone_FleetSheet, 1);
        QVERIFY(m_main->fleetReadWindow());
        QVERIFY(m_main->fleetReadWindow()->progressBar(2));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 0);

        imcFleetSheet sheet;
        QVERIFY(sheet.readFile(out, nullptr));
        QCOMPARE(int(sheet.columns().size()), 1);
        QCOMPARE(sheet.columns()[0].reference, QString::fromLatin1(SelfRef));
        QCOMPARE(int(sheet.rows().size()), 3);
        // Rows come in the list's order, which follows the port table (devices of earlier
        // cases may stand before these): each serial is looked for.
        for (int i = 0; i < 3; ++i) {
            const int row = sheet.find({serials[i]}, {});
            QVERIFY2(row >= 0, qPrintable(serials[i]));
            QCOMPARE(sheet.value(row, 0), selves[i]);
            QCOMPARE(EditorFixture::backups(readBackup(i)).size(), keptBefore[i] + 1);
        }
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Information);
        QVERIFY(m_main->fleetSheetWindow());
        QTRY_VERIFY(!m_main->fleetReadWindow());
    }

    // Cancel during the reads stops them all: no sheet is made, no backup kept, and the
    // status line says so.
    void fleetSheetReadCancelled() {
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        cloneSimProcess a, b;
        QVERIFY(a.start(cloneSimProcess::Serial,
                        {"--file", m_radioFile, "--serial", "ED-A", "--baud", "38400"}));
        QVERIFY(b.start(cloneSimProcess::Tcp,
                        {"--file", m_radioFile, "--serial", "ED-B", "--baud", "38400"}));
        m_editor->env->fleetDevices = {a.address()};
        m_editor->env->fleetAdapters = {b.address()};
        m_editor->env->fleetTicked = {a.address(), b.address()};
        const QString out = m_editor->path("cancelled.csv");
        dialogs.answers = QStringList{out};
        const QStringList backupsBefore = EditorFixture::backups();
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        EditorFixture::runMenu(CL_Menu_Clone_FleetSheet, 1);
        cuiFleetRead* w = m_main->fleetReadWindow();
        QVERIFY(w);
        QTRY_VERIFY_WITH_TIMEOUT(w->fleet().done(0) > 4000, kCloneTimeout);
        w->cancelButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QCOMPARE(finished.at(0).at(1).toInt(), int(CS_Cancelled));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(EditorFixture::backups(), backupsBefore);
        QVERIFY(prompt.entries().isEmpty());
        QCOMPARE(m_main->statusText(), cuiFleetSheetBox::text(18));
    }

    // The editing window: values typed are checked at once (a shared self address named by
    // line and column), undo takes a step back, the sheet saves as CSV; a list cell's pop-up
    // item adds the cell as a column.
    void editSheetWindow() {
        ScriptedPrompt prompt;
        iuiFleetSheetWin* w = m_main->openFleetSheetWindow();
        QVERIFY(w->addColumn(SelfRef));
        w->addRadio("ED-A");
        w->edit(0, 1, "ALPHA");
        w->addRadio("ED-B");
        w->edit(1, 1, "alpha");
        QCOMPARE(w->faults().size(), 1);
        QVERIFY2(w->faults()[0].startsWith(QStringLiteral("line 3, column 2")),
                 qPrintable(w->faults()[0]));
        QVERIFY(w->grid()->item(1, 1)->background() != QBrush());
        w->undoStack().undo();
        QVERIFY(w->faults().isEmpty());
        QCOMPARE(w->grid()->item(1, 1)->text(), QString());
        w->edit(1, 1, "BRAVO");
        // Typed into the grid as a user does: the step comes once the grid is done with it.
        w->grid()->item(1, 0)->setText("ED-C");
        QTRY_COMPARE(w->sheet().rows()[1].radio, QStringLiteral("ED-C"));
        const QString out = m_editor->path("edited.csv");
        QVERIFY(w->save(out));
        QByteArray csv;
        QVERIFY(cmcCsvList::readFile(out, &csv, nullptr));
        QCOMPARE(csv, QByteArray("radio,") + SelfRef + "\r\nED-A,ALPHA\r\nED-C,BRAVO\r\n");

        cmcCellRequest r(CT_ProfileList, CL_ProfileL_Id, 4);
        r.menuCommand = CL_PMenu_FleetColumn;
        r.execute = true;
        cmcCellDispatch::global().dispatch(r);
        QCOMPARE(w->sheet().columns().size(), size_t(2));
        QCOMPARE(w->sheet().columns()[1].reference,
                 QStringLiteral("CT_ProfileList.CL_ProfileL_Id[4]"));
        QVERIFY(prompt.texts().isEmpty());
        w->close();
    }
};

QTEST_MAIN(tst_FleetSheetWin)
#include "tst_fleetsheetwin.moc"
