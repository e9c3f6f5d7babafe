// Menus built from definitions: the item tree, states from the cells, clicks, the event
// bus updates, and the current cell's pop-up menu of a sheet feeding the main Edit menu.

#include "SheetTestKit.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiToolBar.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

QStringList captions(QMenu* menu) {
    QStringList list;
    for (QAction* a : menu->actions()) {
        QString c = a->isSeparator() ? "-" : a->text();
        if (a->menu()) c += "(" + captions(a->menu()).join(",") + ")";
        list << c;
    }
    return list;
}

void addDefinitions(SheetTable& defs) {
    defs.add("GI_Menu_Main_BasicCell", {"{(%CT_Null.CL_Null)}"});
    defs.add("GI_Menu_Main_Body",
             {"+File{(%CL_Menu_File_New)}", " +New{(%CL_Menu_File_New:Ctrl+N)}", " +-",
              " +Save{(%CL_Menu_File_Save:Ctrl+S)}", "+Edit{(%CL_Menu_Edit_Top)}",
              "+View{(%CL_Menu_View_ToolBar)}", "#"});
    defs.add("GI_PMenu_Edit_BasicCell", {"{(%CT_PopupMenu.CL_Null)}"});
    defs.add("GI_PMenu_Edit_Body", {"+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
                                    "+Copy{(%CT_PopupMenu.CL_PMenu_Copy)}", "#"});
}

} // namespace

class tst_Menu : public QObject {
    Q_OBJECT
  private slots:
    void buildsItemTree();
    void statesComeFromCells();
    void clickActivatesCell();
    void eventsRemoveAndAddItems();
    void sheetCellMenuFeedsEditMenu();
    void toolBarButtons();
    void mnemonics_data();
    void mnemonics();
};

void tst_Menu::buildsItemTree() {
    SheetTable defs;
    addDefinitions(defs);
    RecordingCellSource source;
    cuiMenu menu(nullptr, defs.table(), "GI_Menu_Main");
    QCOMPARE(captions(menu.menu()), QStringList({"File(New,-,Save)", "Edit", "View"}));
    QCOMPARE(menu.actionOf(CL_Menu_File_Save)->shortcut(), QKeySequence("Ctrl+S"));
    QCOMPARE(menu.cellOf(menu.actionOf(CL_Menu_View_ToolBar))->category, 0);
}

void tst_Menu::statesComeFromCells() {
    SheetTable defs;
    addDefinitions(defs);
    RecordingCellSource source;
    cuiMenu menu(nullptr, defs.table(), "GI_Menu_Main");
    source.menuFlags[CL_Menu_File_New] = 1;         // ticked
    source.menuFlags[CL_Menu_File_Save] = 4;        // disabled
    source.menuFlags[CL_Menu_View_ToolBar] = 2 | 8; // hidden, caption from the cell
    source.menuCaptions[CL_Menu_View_ToolBar] = "Tools";
    menu.RefreshStates();
    QVERIFY(menu.actionOf(CL_Menu_File_New)->isChecked());
    QVERIFY(!menu.actionOf(CL_Menu_File_Save)->isEnabled());
    QVERIFY(!menu.actionOf(CL_Menu_View_ToolBar)->isVisible());
    QCOMPARE(menu.actionOf(CL_Menu_View_ToolBar)->text(), QString("Tools"));
    // States are asked afresh each time: cleared flags come back.
    source.menuFlags.clear();
    menu.RefreshStates();
    QVERIFY(!menu.actionOf(CL_Menu_File_New)->isChecked());
    QVERIFY(menu.actionOf(CL_Menu_File_Save)->isEnabled());
}

void tst_Menu::clickActivatesCell() {
    SheetTable defs;
    addDefinitions(defs);
    RecordingCellSource source;
    cuiMenu menu(nullptr, defs.table(), "GI_Menu_Main");
    menu.actionOf(CL_Menu_File_Save)->trigger();
    QCOMPARE(source.activated, QList<int>({CL_Menu_File_Save}));
    int clicked = -1;
    menu.setClickHandler([&](const cuiCell& c) { clicked = c.label; });
    menu.actionOf(CL_Menu_File_New)->trigger();
    QCOMPARE(clicked, int(CL_Menu_File_New));
    QCOMPARE(source.activated.size(), 1);
}

void tst_Menu::eventsRemoveAndAddItems() {
    cmcEvMan events;
    SheetTable defs;
    addDefinitions(defs);
    RecordingCellSource source;
    cuiMenu menu(nullptr, defs.table(), "GI_Menu_Main");
    events.sendWithText(EV_MenuRebuildPopup, 0, CL_Menu_Edit_Top, "GI_PMenu_Edit");
    QCOMPARE(captions(menu.menu())[1], QString("Edit(Edit...,Copy)"));
    events.send(EV_MenuAct, 0, CL_Menu_Edit_Top);
    QCOMPARE(captions(menu.menu())[1], QString("Edit()"));
    QVERIFY(!menu.actionOf(CL_PMenu_Copy));
}

void tst_Menu::sheetCellMenuFeedsEditMenu() {
    cmcEvMan events;
    SheetTable defs;
    addDefinitions(defs);
    defs.sheet("S", "", "{<H(PopupMenu=GI_PMenu_Edit)}",
               {"{S(%CL_ChL_Name[0])}a|{S(%CL_ChL_Name[1])}b"});
    RecordingCellSource source;
    cuiMenu mainMenu(nullptr, defs.table(), "GI_Menu_Main");
    QWidget host;
    host.resize(400, 200);
    cuiSheet sheet(&host, defs.table());
    sheet.setKey("S");
    sheet.Build();
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    host.activateWindow();
    sheet.grid()->setFocus();
    QTRY_VERIFY(sheet.grid()->hasFocus());
    QVERIFY(sheet.cellMenu());
    QCOMPARE(sheet.cellMenu()->key(), QString("GI_PMenu_Edit"));
    events.dispatchStep();
    QCOMPARE(captions(mainMenu.menu())[1], QString("Edit(Edit...,Copy)"));

    // A pop-up item sends its label to the current cell as a menu command.
    sheet.SelectCell(1, 0);
    sheet.cellMenu()->actionOf(CL_PMenu_Copy)->trigger();
    QCOMPARE(source.received.last().code, 0);
    QCOMPARE(source.received.last().argument, int(CL_PMenu_Copy));
    QCOMPARE(source.received.last().label, int(CL_ChL_Name));
    QCOMPARE(source.received.last().index, 1);

    // A right click selects the cell under the pointer and opens its menu there.
    const QPoint p = sheet.grid()->cellRect(0, 0).center();
    QTest::mouseClick(sheet.grid()->viewport(), Qt::RightButton, {}, p);
    QCOMPARE(sheet.grid()->col(), 0);
    QTRY_VERIFY(sheet.cellMenu()->menu()->isVisible());
    sheet.cellMenu()->menu()->hide();
}

void tst_Menu::toolBarButtons() {
    cmcEvMan events;
    SheetTable defs;
    defs.add("GI_ToolBar_Main_BasicCell", {"{(%CT_Null.CL_Null)(ImageIndex=0)}"});
    defs.add("GI_ToolBar_Main_Body",
             {"{(%CL_Menu_File_New)(ImageIndex=3)}New", "-", "{(%CL_Menu_File_Save)}Save", "/",
              "{(%CL_Menu_View_ToolBar)}Tools", "#"});
    RecordingCellSource source;
    cuiToolBar tools(nullptr, defs.table(), "GI_ToolBar_Main");
    const QList<QAction*> buttons = tools.buttons();
    QCOMPARE(buttons.size(), 5);
    QVERIFY(buttons[1]->isSeparator() && buttons[3]->isSeparator());
    QCOMPARE(tools.rowBreaks(), 1);
    QCOMPARE(buttons[0]->toolTip(), QString("New"));
    QCOMPARE(tools.cellOf(buttons[0])->imageIndex, 3);
    QCOMPARE(tools.cellOf(buttons[2])->imageIndex, 0);

    source.menuFlags[CL_Menu_File_New] = 1;  // pressed
    source.menuFlags[CL_Menu_File_Save] = 4; // disabled
    events.send(EV_Controller);
    QVERIFY(buttons[0]->isChecked());
    QVERIFY(!buttons[2]->isEnabled());
    QVERIFY(buttons[4]->isEnabled() && !buttons[4]->isChecked());

    buttons[4]->trigger();
    QCOMPARE(source.activated, QList<int>({CL_Menu_View_ToolBar}));
}

// Menu-bar captions get an Alt+letter each: the first letter no caption before took; one
// given in the definition stays, and a caption a cell replaces keeps its letter.
void tst_Menu::mnemonics_data() {
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("English") << QStringList{"File",   "Edit",  "View", "Port",
                                            "TCP/IP", "Clone", "Help"}
                             << QStringList{"&File",   "&Edit",  "&View", "&Port",
                                            "&TCP/IP", "&Clone", "&Help"};
    QTest::newRow("letters taken")
        << QStringList{"Datei", "Bearbeiten", "Ansicht", "Anschluss", "Debug"}
        << QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "A&nschluss", "D&ebug"};
    QTest::newRow("one of its own") << QStringList{"File", "Fi&nd", "Rock && Roll", "F"}
                                    << QStringList{"&File", "Fi&nd", "&Rock && Roll", "F"};
}

void tst_Menu::mnemonics() {
    QFETCH(QStringList, captions);
    QFETCH(QStringList, shown);
    QMenu bar;
    for (const QString& c : captions)
        bar.addAction(c);
    cuiMenu::addMnemonics(bar.actions());
    QStringList got;
    for (const QAction* a : bar.actions())
        got << a->text();
    QCOMPARE(got, shown);
    QCOMPARE(cuiMenu::keepMnemonic("T&ools", "Tools 2"), QString("T&ools 2"));
    QCOMPARE(cuiMenu::keepMnemonic("&Edit", "Undo"), QString("Undo"));
}

QTEST_MAIN(tst_Menu)
#include "tst_menu.moc"
