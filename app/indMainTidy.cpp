// Find, sort and tidy the lists: the find bar (Ctrl+F, F3, Shift+F3), Edit > Sort...,
// Find Duplicates... and Compact, and the sort by a list sheet's column heading. The model
// does the work (imcFind, imcListTidy: every reference follows its row); here the user is
// asked, the change becomes one undo step and the sheets are repainted.

#include "cmcCellDispatch.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcCsvList.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "cmcPrompt.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "imcCsvLists.h"
#include "imcFind.h"
#include "imcImageDiff.h"
#include "imcListTidy.h"
#include "imcRowText.h"
#include "indMain.h"
#include "iuiFindBar.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QPalette>
#include <QToolBar>
#include <algorithm>

namespace {

const QString TextKey = QStringLiteral("GI_AppInd_Find");
enum Line {
    ReplaceName = 7,
    ReplaceAllName = 10,
    SortQuestion = 12,
    SortName = 13,
    CompactName = 14,
    NoGaps = 15,
    MergeName = 16,
    DeleteName = 17,
    NoDuplicates = 18,
    Repeats = 19,
    NamedBy = 20,
    NamedByNothing = 21,
    DuplicateButtons = 22,
    SortBy = 23,
    ThenBy = 24,
    Directions = 25,
};

QString text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

// Fills the %d and %s of a text in their order.
QString filled(QString t, const QStringList& values) {
    for (const QString& v : values) {
        const qsizetype d = t.indexOf(QLatin1String("%d")), s = t.indexOf(QLatin1String("%s"));
        const qsizetype at = d < 0 ? s : s < 0 ? d : std::min(d, s);
        if (at < 0) break;
        t.replace(at, 2, v);
    }
    return t;
}

// "Sort, 120 rows", as the row commands' steps are named.
QString stepName(int line, int rows) {
    return filled(cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_UndoCaption"), 4),
                  {text(line), QString::number(rows)});
}

QString rowNoun(const cmcCsvTable& list, bool plural) {
    const QStringList forms =
        cmcGTex::mainTable()
            .getText(QStringLiteral("GI_AppInd_ListCsvNames"), imcCsvLists::indexOf(list))
            .split(u'\t');
    return plural && forms.size() >= 2 ? forms.value(1) : forms.value(0);
}

QString capitalised(QString s) {
    if (!s.isEmpty()) s[0] = s[0].toUpper();
    return s;
}

bool isTidyCommand(int32_t label) {
    return label == CL_Menu_Edit_Find || label == CL_Menu_Edit_Sort ||
           label == CL_Menu_Edit_Duplicates || label == CL_Menu_Edit_Compact;
}

// The columns a list sorts by, with the headings its sheet gives them.
struct SortColumn {
    int column;
    QString heading;
};

std::vector<SortColumn> sortColumns(const cmcCsvTable& list, cuiSheet* sheet) {
    std::vector<SortColumn> out;
    for (size_t i = 0; i < list.columns.size(); ++i) {
        const cmcCsvColumn& c = list.columns[i];
        if (c.hidden || c.label == CL_None || c.kind == cmcCsvColumn::RowNumber) continue;
        QString heading = QString::fromLatin1(c.name);
        // The sheet's heading above the column's cells, where the sheet shows them.
        if (sheet)
            for (int col = 0; col < sheet->colCount(); ++col) {
                bool found = false;
                for (int row = sheet->fixedRowsStyle(); row < sheet->rowCount() && row < 8; ++row)
                    found = found || sheet->CellObjectAt(col, row).label == c.label;
                if (!found || sheet->fixedRowsStyle() < 1) continue;
                const QString shown =
                    sheet->CellObjectAt(col, sheet->fixedRowsStyle() - 1).displayText.simplified();
                if (!shown.isEmpty()) heading = shown;
                break;
            }
        out.push_back({int(i), heading});
    }
    return out;
}

QString userText(const imcRowUser& u) {
    QString noun;
    if (u.list == QxList::AleChannels)
        noun = rowNoun(*imcCsvLists::ofList(QxList::AleChannels), false);
    else if (const cmcCsvTable* t = imcCsvLists::ofList(u.list))
        noun = rowNoun(*t, false);
    return QStringLiteral("%1 %2").arg(noun).arg(u.row + 1);
}

} // namespace

void indMain::AddFindActions() {
    if (!m_form) return;
    const auto add = [this](const QList<QKeySequence>& keys, auto slot) {
        auto* a = new QAction(m_form);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        m_form->addAction(a);
    };
    add({QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] {
        CommitPendingEdit();
        findBar()->open();
    });
    add({QKeySequence(Qt::Key_F3)}, [this] {
        CommitPendingEdit();
        findBar()->step(1);
    });
    add({QKeySequence(Qt::SHIFT | Qt::Key_F3)}, [this] {
        CommitPendingEdit();
        findBar()->step(-1);
    });
    cuiSheet::setHeadingClick(
        [this](cuiSheet& sheet, int col) { return SortByHeading(sheet, col); });
}

iuiFindBar* indMain::findBar() {
    if (!m_findBar) {
        iuiFindBar::Host host;
        host.image = [this]() -> const cmcEeprom& { return m_working; };
        host.sheetInView = [this] {
            cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
            return sheet ? sheet->command() : QString();
        };
        host.show = [this](const imcFindMatch& m) { return ShowFound(m); };
        host.replace = [this](const std::vector<imcFindMatch>& cells, const QString& t,
                              const QString& with) { return ReplaceFound(cells, t, with); };
        m_findBar = new iuiFindBar(cmcGTex::mainTable(), std::move(host), m_form);
        if (m_form) {
            auto* bar = new QToolBar(m_form);
            bar->setObjectName(QStringLiteral("FindToolBar"));
            bar->setMovable(false);
            bar->addWidget(m_findBar);
            m_form->addToolBar(Qt::BottomToolBarArea, bar);
            // Closing the bar hides its tool bar too.
            connect(m_findBar, &iuiFindBar::closed, bar, &QWidget::hide);
        }
    }
    if (QWidget* bar = m_findBar->parentWidget(); bar && bar != m_form) bar->show();
    return m_findBar;
}

bool indMain::ShowFound(const imcFindMatch& m) {
    imcCellChange place;
    place.sheet = m.sheet;
    place.category = m.category;
    place.label = m.label;
    place.index = m.index;
    return ShowChange(place);
}

int indMain::ReplaceFound(const std::vector<imcFindMatch>& cells, const QString& t,
                          const QString& with) {
    CommitPendingEdit();
    // A dispatcher of its own: the cells' changes become one step here, not one each.
    cmcCellDispatch d(&m_working);
    d.setDefaultImage(cmcCellDispatch::global().defaultImage());
    int done = 0;
    for (const imcFindMatch& m : cells)
        done += imcFind::replace(d, m, t, with);
    if (done == 0) return 0;
    ImageChanged(cells.size() == 1 && done == 1 ? text(ReplaceName)
                                                : stepName(ReplaceAllName, done));
    RefreshViews();
    return done;
}

bool indMain::TidyCell(cmcCellRequest& r) {
    const int32_t command = isTidyCommand(r.menuCommand) ? r.menuCommand
                            : isTidyCommand(r.label)     ? r.label
                                                         : CL_None;
    if (command == CL_None) return false;
    const bool run = r.execute || r.menuCommand == command;
    const cmcCsvTable* list = shownList();
    const bool serves = list && imcListTidy::serves(list->list);
    if (command != CL_Menu_Edit_Find && !serves) r.menuState |= cmcCellObj::F_Disabled;
    if (!run) return true;
    CommitPendingEdit();
    switch (command) {
    case CL_Menu_Edit_Find:
        findBar()->open();
        break;
    case CL_Menu_Edit_Sort: {
        if (!serves) break;
        // The selected rows of the list, else the whole list.
        int32_t first = 0, last = list->rows - 1;
        if (r.menuCommand == command && r.rangeFirst >= 0 && r.rangeLast > r.rangeFirst &&
            imcRowText::listOfCell(r.category, r.label) == list->list) {
            first = r.rangeFirst;
            last = r.rangeLast;
        }
        cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
        const std::vector<SortColumn> columns = sortColumns(*list, sheet);
        const QStringList directions = text(Directions).split(u'\t');
        QStringList items;
        for (const SortColumn& c : columns)
            for (const QString& d : directions)
                items << c.heading + QStringLiteral(", ") + d;
        const QString caption =
            filled(text(SortBy), {QString::number(last - first + 1), rowNoun(*list, last > first)});
        const int one = cmcPrompt::choose(caption, appTitle(), items, 0);
        if (one < 0) break;
        QStringList more = items;
        more.prepend(text(ThenBy).section(u'\t', 1));
        const int two = cmcPrompt::choose(text(ThenBy).section(u'\t', 0), appTitle(), more, 0);
        if (two < 0) break;
        std::vector<imcSortKey> keys{{columns[size_t(one / 2)].column, one % 2 == 1}};
        if (two > 0) keys.push_back({columns[size_t((two - 1) / 2)].column, (two - 1) % 2 == 1});
        SortList(*list, first, last, keys);
        break;
    }
    case CL_Menu_Edit_Duplicates:
        if (serves) FindDuplicates(*list);
        break;
    case CL_Menu_Edit_Compact:
        if (serves) CompactList(*list);
        break;
    default:
        break;
    }
    r.changed = false;
    return true;
}

bool indMain::SortList(const cmcCsvTable& list, int32_t first, int32_t last,
                       const std::vector<imcSortKey>& keys) {
    const int32_t moved = imcListTidy::sort(m_working, list, first, last, keys);
    const QString name = stepName(SortName, last - first + 1);
    if (moved == 0) {
        SetStatus(name, qApp->palette().color(QPalette::WindowText),
                  qApp->palette().color(QPalette::Button));
        return false;
    }
    ImageChanged(name);
    RefreshViews();
    SetStatus(name, qApp->palette().color(QPalette::WindowText),
              qApp->palette().color(QPalette::Button));
    return true;
}

bool indMain::SortByHeading(cuiSheet& sheet, int col) {
    if (!sheetHost() || sheetHost()->sheet() != &sheet) return false;
    const cmcCsvTable* list = shownList();
    if (!list || !imcListTidy::serves(list->list)) return false;
    // The list's column whose cells stand under the heading.
    int32_t label = CL_None;
    for (int row = sheet.fixedRowsStyle(); row < sheet.rowCount() && row < 8 && label == CL_None;
         ++row) {
        const cuiCell& cell = sheet.CellObjectAt(col, row);
        if (cell.selectable && imcRowText::listOfCell(cell.category, cell.label) == list->list)
            label = cell.label;
    }
    int column = -1;
    for (const SortColumn& c : sortColumns(*list, &sheet))
        if (list->columns[size_t(c.column)].label == label) column = c.column;
    if (column < 0) return false;
    CommitPendingEdit();
    QString heading;
    for (int row = sheet.fixedRowsStyle() - 1; row >= 0 && heading.isEmpty(); --row)
        heading = sheet.CellObjectAt(col, row).displayText.simplified();
    const QString question =
        filled(text(SortQuestion), {QString::number(list->rows), rowNoun(*list, true), heading});
    if (cmcPrompt::ask(question, appTitle(), cmcPromptButtons::OkCancel) != PA_Ok) return true;
    SortList(*list, 0, list->rows - 1, {{column, false}});
    return true;
}

bool indMain::CompactList(const cmcCsvTable& list) {
    const int32_t moved = imcListTidy::compact(m_working, list.list);
    if (moved == 0) {
        cmcPrompt::tell(filled(text(NoGaps), {rowNoun(list, true)}), appTitle());
        return false;
    }
    int32_t used = 0;
    for (int32_t row = 0; row < list.rows; ++row)
        used += imcListTidy::inUse(m_working, list.list, row);
    ImageChanged(stepName(CompactName, used));
    RefreshViews();
    return true;
}

bool indMain::FindDuplicates(const cmcCsvTable& list) {
    std::vector<imcDuplicate> found = imcListTidy::duplicates(m_working, list.list);
    if (found.empty()) {
        cmcPrompt::tell(filled(text(NoDuplicates), {rowNoun(list, true)}), appTitle());
        return false;
    }
    // Each repeat in turn: merged into its first row, deleted, passed over, or the end.
    struct Pair {
        int32_t first, row;
        std::vector<imcRowUser> users;
    };
    std::vector<Pair> pairs;
    for (const imcDuplicate& d : found)
        for (const imcDuplicateRow& r : d.repeats)
            pairs.push_back({d.first.row, r.row, r.users});
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair& a, const Pair& b) { return a.row < b.row; });
    const QStringList buttons = text(DuplicateButtons).split(u'\t');
    bool changed = false;
    int32_t gone = 0; // rows deleted above the next repeat
    for (const Pair& p : pairs) {
        const int32_t first = p.first, row = p.row - gone;
        QStringList users;
        for (const imcRowUser& u : p.users)
            users << userText(u);
        const QString what =
            filled(text(Repeats), {capitalised(rowNoun(list, false)), QString::number(row + 1),
                                   QString::number(first + 1)}) +
            u'\n' +
            (users.isEmpty() ? text(NamedByNothing)
                             : filled(text(NamedBy), {users.join(QStringLiteral(", "))}));
        const int answer = cmcPrompt::askButtons(what, appTitle(), buttons);
        if (answer == 0 || answer == 1) {
            if (answer == 0)
                imcListTidy::merge(m_working, list.list, row, first);
            else
                imcListTidy::remove(m_working, list.list, row);
            ++gone;
            ImageChanged(QStringLiteral("%1, %2 %3")
                             .arg(text(answer == 0 ? MergeName : DeleteName), rowNoun(list, false))
                             .arg(row + 1));
            RefreshViews();
            changed = true;
        } else if (answer != 2) {
            break;
        }
    }
    return changed;
}
