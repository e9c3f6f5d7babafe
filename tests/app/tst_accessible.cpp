// The channel list as a screen reader reads it through Qt's accessibility interfaces: a
// table of the values the sheet paints with named headers, focus and active-descendant
// events as the current cell moves, name changes for the cells a change touched, the
// in-place editor named after its cell, and the pick list a list of its choices.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cuiGrid.h"
#include "cuiMenu.h"
#include "cuiPickList.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "iuiCompareWin.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <memory>

namespace {

// What the update handler saw: the event, the child it names and that child's name.
struct Seen {
    QAccessible::Event type;
    QObject* object;
    int child;
    QString name;
};
std::vector<Seen> g_seen;

void record(QAccessibleEvent* event) {
    QString name;
    if (QAccessibleInterface* iface = event->accessibleInterface())
        name = iface->text(QAccessible::Name);
    g_seen.push_back({event->type(), event->object(), event->child(), name});
}

} // namespace

class tst_accessible : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cuiSheet* m_sheet = nullptr;

    cmcCellDispatch& cells() { return cmcCellDispatch::global(); }
    QAccessibleInterface* table() { return QAccessible::queryAccessibleInterface(m_sheet->grid()); }
    // The grid column of a channel field on the sheet.
    int columnOf(int32_t label) {
        for (int c = 0; c < m_sheet->colCount(); ++c)
            if (m_sheet->CellObjectAt(c, m_sheet->grid()->fixedRows()).label == label) return c;
        return -1;
    }
    QString cellName(int32_t label, int channel) {
        QAccessibleInterface* cell = table()->tableInterface()->cellAt(
            channel, columnOf(label) - m_sheet->grid()->fixedCols());
        return cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>");
    }
    // The events of a type seen since the last clear, as "child name".
    QStringList seen(QAccessible::Event type) const {
        QStringList out;
        for (const Seen& s : g_seen)
            if (s.type == type && s.object == m_sheet->grid())
                out << QStringLiteral("%1 %2").arg(s.child).arg(s.name);
        return out;
    }
    QString currentEntry() {
        cuiGrid* g = m_sheet->grid();
        const int index = g->row() * g->colCount() + g->col();
        return QStringLiteral("%1 %2").arg(index).arg(
            table()->child(index)->text(QAccessible::Name));
    }

    // Channels 1 and 2 in use (1: Harbour on 7.1 MHz), the channel list shown with the
    // keyboard focus, a reader listening.
    void openChannels() {
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1")));
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Mode, 0, QStringLiteral("USB")));
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Name, 0, QStringLiteral("Harbour")));
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_FreqR, 1, QStringLiteral("8.2")));
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Name, 1, QStringLiteral("Pier")));
        m_main->document().clearHistory();
        m_sheet = m_editor->showSheet();
        QVERIFY(m_sheet);
        QVERIFY(table());
        g_seen.clear();
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        // Switched on as a screen reader switches it on: the offscreen platform has none.
        QPlatformAccessibility* platform =
            QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(platform);
        platform->setActive(true);
        QVERIFY(QAccessible::isActive());
        QAccessible::installUpdateHandler(record);
    }
    void cleanupTestCase() {
        QAccessible::installUpdateHandler(nullptr);
        QDir(indMain::backupFolder()).removeRecursively();
    }
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-access-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
    }
    void cleanup() {
        m_sheet = nullptr;
        m_editor.reset();
        g_seen.clear();
    }

    // The grid is a table named after the sheet: its rows the channels, its columns the
    // fields under the headings, the channel number the row header; each cell's name is the
    // text painted in it, and every cell is a child that maps back to its own index.
    void channelListIsATable() {
        openChannels();
        QAccessibleInterface* grid = table();
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("Channel List"));
        QAccessibleTableInterface* t = grid->tableInterface();
        QVERIFY(t);
        QCOMPARE(t->rowCount(), m_sheet->rowCount() - 1);
        QCOMPARE(t->columnCount(), 4);
        QStringList headers;
        for (int c = 0; c < t->columnCount(); ++c)
            headers << t->columnDescription(c);
        QCOMPARE(headers,
                 (QStringList{"RX Frequency (MHz)", "TX Frequency (MHz)", "Mode", "Name"}));

        QCOMPARE(cellName(CL_ChL_FreqR, 0), QStringLiteral("7.100000"));
        QCOMPARE(cellName(CL_ChL_Name, 0), QStringLiteral("Harbour"));
        QCOMPARE(cellName(CL_ChL_Mode, 0), QStringLiteral("USB"));
        QCOMPARE(cellName(CL_ChL_Name, 1), QStringLiteral("Pier"));

        QAccessibleInterface* harbour = t->cellAt(0, columnOf(CL_ChL_Name) - 1);
        QCOMPARE(harbour->role(), QAccessible::Cell);
        QAccessibleTableCellInterface* cell = harbour->tableCellInterface();
        QVERIFY(cell);
        QCOMPARE(cell->rowIndex(), 0);
        QCOMPARE(cell->columnIndex(), columnOf(CL_ChL_Name) - 1);
        QCOMPARE(cell->columnHeaderCells().size(), 1);
        QCOMPARE(cell->columnHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("Name"));
        QCOMPARE(cell->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
        QCOMPARE(cell->rowHeaderCells().size(), 1);
        QCOMPARE(cell->rowHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("1"));
        QCOMPARE(cell->rowHeaderCells()[0]->role(), QAccessible::RowHeader);
        QCOMPARE(cell->table(), grid);
        QCOMPARE(harbour->parent(), grid);

        for (int i : {0, 1, 7, grid->childCount() - 1}) {
            QAccessibleInterface* child = grid->child(i);
            QVERIFY(child);
            QCOMPARE(grid->indexOfChild(child), i);
        }
        QVERIFY(!grid->child(grid->childCount()));
        // A cell is found where it is drawn on the screen.
        const QRect r = harbour->rect();
        QVERIFY(!r.isEmpty());
        QCOMPARE(grid->childAt(r.center().x(), r.center().y()), harbour);
    }

    // States: the current cell focused and selected, headers read-only, rows selected with
    // Shift+Down through the table's selection.
    void statesAndSelection() {
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 0));
        QAccessibleTableInterface* t = table()->tableInterface();
        const int name = columnOf(CL_ChL_Name) - 1;
        const QAccessible::State current = t->cellAt(0, name)->state();
        QVERIFY(current.focused);
        QVERIFY(current.selected);
        QVERIFY(!current.readOnly);
        QVERIFY(!t->cellAt(1, name)->state().focused);
        QVERIFY(table()->child(0)->state().readOnly); // the "CH" heading
        QVERIFY(table()->focusChild() == t->cellAt(0, name));

        QTest::keyClick(m_sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(m_sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(t->selectedRows(), (QList<int>{0, 1, 2}));
        QVERIFY(t->isRowSelected(2));
        QVERIFY(!t->isRowSelected(3));
        QVERIFY(t->selectedCellCount() >= 3);
        QVERIFY(!t->selectRow(5)); // the selection stays the user's
    }

    // Every way the current cell moves tells the reader which cell it is now.
    void movesSendFocusAndActiveDescendant() {
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_FreqR, 0));
        g_seen.clear();
        cuiGrid* grid = m_sheet->grid();

        QTest::keyClick(grid, Qt::Key_Right);
        const QString rightOf = currentEntry();
        QTest::keyClick(grid, Qt::Key_Down);
        const QString below = currentEntry();
        const QRect harbour = grid->cellRect(columnOf(CL_ChL_Name), grid->fixedRows());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, harbour.center());
        const QString clicked = currentEntry();
        QVERIFY(clicked.endsWith(QLatin1String(" Harbour")));
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 1));
        const QString selected = currentEntry();
        QVERIFY(selected.endsWith(QLatin1String(" Pier")));

        const QStringList moves{rightOf, below, clicked, selected};
        QCOMPARE(seen(QAccessible::Focus), moves);
        QCOMPARE(seen(QAccessible::ActiveDescendantChanged), moves);

        // Without the keyboard focus the cell still becomes the active one, but takes no focus.
        grid->clearFocus();
        QTRY_VERIFY(!grid->hasFocus());
        g_seen.clear();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 0));
        QCOMPARE(seen(QAccessible::Focus), QStringList());
        QCOMPARE(seen(QAccessible::ActiveDescendantChanged), QStringList{currentEntry()});

        // A click from outside both focuses the grid and moves the cell: the reader hears
        // the new cell once, not once for each.
        g_seen.clear();
        const QRect pier = grid->cellRect(columnOf(CL_ChL_Name), grid->fixedRows() + 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, pier.center());
        QTRY_VERIFY(grid->hasFocus());
        QCoreApplication::processEvents();
        QVERIFY(currentEntry().endsWith(QLatin1String(" Pier")));
        QStringList cellFocus = seen(QAccessible::Focus); // less the grid's own (child -1)
        cellFocus.removeIf([](const QString& e) { return e.startsWith(QLatin1String("-1 ")); });
        QCOMPARE(cellFocus, QStringList{currentEntry()});
    }

    // A committed value, a fill of several rows and Undo tell of exactly the cells whose
    // text changed.
    void changedCellsSendNameChanges() {
        openChannels();
        const int name = columnOf(CL_ChL_Name), rows = m_sheet->grid()->fixedRows();
        const int cols = m_sheet->colCount();
        auto entry = [&](int channel, const QString& text) {
            return QStringLiteral("%1 %2").arg((rows + channel) * cols + name).arg(text);
        };
        // The reader has seen the names of channels 1 and 2.
        QCOMPARE(cellName(CL_ChL_Name, 0), QStringLiteral("Harbour"));
        QCOMPARE(cellName(CL_ChL_Name, 1), QStringLiteral("Pier"));

        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 0));
        g_seen.clear();
        QTest::keyClicks(m_sheet->grid(), QStringLiteral("C"));
        QVERIFY(m_sheet->editorVisible());
        QTest::keyClicks(m_sheet->editor(), QStringLiteral("oast"));
        QTest::keyClick(m_sheet->editor(), Qt::Key_Return);
        m_editor->events->dispatchStep();
        QCOMPARE(seen(QAccessible::NameChanged), QStringList{entry(0, "Coast")});

        g_seen.clear();
        m_main->Undo();
        m_editor->events->dispatchStep();
        QCOMPARE(seen(QAccessible::NameChanged), QStringList{entry(0, "Harbour")});

        // Both rows selected, one name stored into both with Ctrl+Enter.
        g_seen.clear();
        QTest::keyClick(m_sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClicks(m_sheet->grid(), QStringLiteral("Q"));
        QTest::keyClick(m_sheet->editor(), Qt::Key_Return, Qt::ControlModifier);
        m_editor->events->dispatchStep();
        QCOMPARE(seen(QAccessible::NameChanged), (QStringList{entry(0, "Q"), entry(1, "Q")}));
    }

    // The editor says which cell it edits and what the cell held; Escape leaves nothing in it.
    void editorNamedAfterItsCell() {
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 0));
        QTest::keyClicks(m_sheet->grid(), QStringLiteral("W"));
        QVERIFY(m_sheet->editorVisible());
        QAccessibleInterface* editor = QAccessible::queryAccessibleInterface(m_sheet->editor());
        QCOMPARE(editor->text(QAccessible::Name), QStringLiteral("Name, CH 1"));
        QCOMPARE(editor->text(QAccessible::Description), QStringLiteral("Harbour"));
        QCOMPARE(editor->textInterface()->text(0, editor->textInterface()->characterCount()),
                 QStringLiteral("W"));

        QTest::keyClick(m_sheet->editor(), Qt::Key_Escape);
        QVERIFY(!m_sheet->editorVisible());
        QCOMPARE(editor->textInterface()->characterCount(), 0);
        QCOMPARE(editor->text(QAccessible::Name), QString());
        QCOMPARE(cellName(CL_ChL_Name, 0), QStringLiteral("Harbour"));
    }

    // The mode's pick list is a list named after the cell, its items the modes, and the
    // highlighted item takes the focus as it moves.
    void pickListIsAList() {
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Mode, 0));
        QTest::keyClick(m_sheet->grid(), Qt::Key_Return);
        cuiPickList* list = m_sheet->pickList();
        QVERIFY(list);
        QTRY_VERIFY(list->isVisible());
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list->grid());
        QCOMPARE(iface->role(), QAccessible::List);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Mode, CH 1"));
        QVERIFY(!iface->tableInterface());
        QCOMPARE(iface->childCount(), list->count());
        QStringList items, names;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
            names << iface->child(i)->text(QAccessible::Name);
            QCOMPARE(iface->child(i)->role(), QAccessible::ListItem);
        }
        QCOMPARE(names, items);
        QVERIFY(items.contains(QStringLiteral("USB")));
        const int usb = int(items.indexOf(QStringLiteral("USB")));
        QVERIFY(iface->child(usb)->state().selected);

        g_seen.clear();
        QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                          : static_cast<QWidget*>(list),
                        Qt::Key_Down);
        const int next = (usb + 1) % list->count();
        QStringList focus;
        for (const Seen& s : g_seen)
            if (s.type == QAccessible::Focus && s.object == list->grid())
                focus << QStringLiteral("%1 %2").arg(s.child).arg(s.name);
        QCOMPARE(focus, QStringList{QStringLiteral("%1 %2").arg(next).arg(items[next])});
        QTest::keyClick(list, Qt::Key_Escape);
    }

    // Menu items are named by their caption alone; the key shown beside it is the item's
    // shortcut, whether the item takes the key itself (New) or only shows the key of a
    // command that takes it elsewhere (Undo, Find), also once Undo names the change. The
    // reader hears the key in Qt's portable form; the menu shows it as the overlay writes
    // it, in German "Strg+Z".
    void menuItemsKeepTheirShortcutApart_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("label");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        const struct {
            const char* row;
            int language;
            int32_t label;
            bool changed;
            const char* name;
            const char* keys;
            const char* shown;
        } rows[] = {
            {"New", 0, CL_Menu_File_New, false, "New", "Ctrl+N", "Ctrl+N"},
            {"Contents", 0, CL_Help_Contents, false, "Contents", "F1", "F1"},
            {"Undo", 0, CL_Menu_Edit_Undo, false, "Undo", "Ctrl+Z", "Ctrl+Z"},
            {"Undo a change", 0, CL_Menu_Edit_Undo, true, "Undo Name, CH 1", "Ctrl+Z", "Ctrl+Z"},
            {"Redo", 0, CL_Menu_Edit_Redo, false, "Redo", "Ctrl+Y", "Ctrl+Y"},
            {"Find", 0, CL_Menu_Edit_Find, false, "Find...", "Ctrl+F", "Ctrl+F"},
            {"Undo, German", 1, CL_Menu_Edit_Undo, false, "R\u00fcckg\u00e4ngig", "Ctrl+Z",
             "Strg+Z"},
            {"New, German", 1, CL_Menu_File_New, false, "Neu", "Ctrl+N", "Strg+N"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.language << int(r.label) << r.changed
                                 << QString::fromUtf8(r.name) << QString::fromUtf8(r.keys)
                                 << QString::fromUtf8(r.shown);
    }
    void menuItemsKeepTheirShortcutApart() {
        QFETCH(int, language);
        QFETCH(int, label);
        QFETCH(bool, changed);
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        if (language) m_main->SelectLanguage(language);
        openChannels();
        if (changed) {
            QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 0));
            QTest::keyClicks(m_sheet->grid(), QStringLiteral("C"));
            QTest::keyClick(m_sheet->editor(), Qt::Key_Return);
        }
        QAction* edit = m_main->menu()->actionOf(CL_Menu_Edit_Top);
        QVERIFY(edit && edit->menu());
        emit edit->menu()->aboutToShow();
        m_main->menu()->RefreshStates();
        QAction* item = m_main->menu()->actionOf(label);
        QVERIFY(item);
        QMenu* menu = qobject_cast<QMenu*>(item->associatedObjects().value(0));
        QVERIFY(menu);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(menu);
        QAccessibleInterface* entry = list->child(int(menu->actions().indexOf(item)));
        QVERIFY(entry);
        QCOMPARE(entry->role(), QAccessible::MenuItem);
        QCOMPARE(entry->text(QAccessible::Name), name);
        QCOMPARE(entry->text(QAccessible::Accelerator), keys);
        QCOMPARE(item->shortcut().toString(QKeySequence::NativeText), shown);
        QVERIFY(!item->text().contains(u'\t'));
    }

    // The Compare window from the keyboard: Enter on a listed change opens the sheet at its
    // cell, as a double click does, and leaves the window open (Enter is not Close).
    void compareRowOpensWithEnter() {
        openChannels();
        ScriptedPrompt prompt;
        const QString saved = m_editor->path(QStringLiteral("plan.icf"));
        QVERIFY(m_main->Save(saved));
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Mode, 1, QStringLiteral("FSK")));
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("GI_Sheet_USetM")));
        ScriptedDialogs dialogs;
        dialogs.answers << saved;
        m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareFile)->trigger();
        auto* window = qobject_cast<iuiCompareWin*>(m_main->compareWindow());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->list()->accessibleName(), window->windowTitle());
        window->activateWindow();
        window->list()->setFocus();
        window->list()->setCurrentItem(window->list()->topLevelItem(0));
        QTRY_VERIFY(window->list()->hasFocus());
        QTest::keyClick(window->list(), Qt::Key_Return);
        m_sheet = m_main->sheetHost()->sheet();
        QCOMPARE(m_sheet->command(), EditorFixture::channelSheet);
        const cuiCell& current =
            m_sheet->CellObjectAt(m_sheet->grid()->col(), m_sheet->grid()->row());
        QCOMPARE(current.label, int32_t(CL_ChL_Mode));
        QCOMPARE(current.index, 1);
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(tst_accessible)
#include "tst_accessible.moc"
