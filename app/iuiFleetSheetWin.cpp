#include "iuiFleetSheetWin.h"

#include "cmcCsvList.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUndoCommand>
#include <QVBoxLayout>

namespace {

const QString TextKey = QStringLiteral("GI_FleetSheetWin_Texts");

enum Line {
    Caption = 0,
    OpenButton = 1,
    SaveButton = 2,
    AddRadioButton = 3,
    RemoveRadioButton = 4,
    AddColumnButton = 5,
    RemoveColumnButton = 6,
    UndoButton = 7,
    RedoButton = 8,
    NewRadio = 9,
    AllFit = 10,
    Faults = 11,
    FileFilter = 12,
    ReferenceHint = 13,
};

constexpr size_t ShownFaults = 20;

} // namespace

// One change of the sheet, undone by putting back the sheet as it was before.
class iuiFleetSheetWin::Step : public QUndoCommand {
  public:
    Step(iuiFleetSheetWin* win, const imcFleetSheet& before, const imcFleetSheet& after)
        : m_win(win), m_before(before), m_after(after) {}
    void undo() override { set(m_before); }
    void redo() override { set(m_after); }

  private:
    void set(const imcFleetSheet& s) {
        m_win->m_sheet = s;
        m_win->fill();
        m_win->check();
    }
    iuiFleetSheetWin* m_win;
    imcFleetSheet m_before, m_after;
};

QString iuiFleetSheetWin::text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

iuiFleetSheetWin::iuiFleetSheetWin(std::function<const cmcEeprom&()> document,
                                   const cmcEeprom* defaults, QWidget* parent)
    : QDialog(parent), m_document(std::move(document)), m_defaults(defaults) {
    setObjectName(QStringLiteral("FleetSheet"));
    setWindowTitle(text(Caption));
    auto* layout = new QVBoxLayout(this);
    auto* tools = new QHBoxLayout;
    auto button = [&](int line, auto slot) {
        auto* b = new QPushButton(text(line), this);
        b->setAutoDefault(false);
        tools->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(OpenButton, [this] {
        const QString path =
            cuiFileDialogs::current().openFile(this, text(OpenButton), text(FileFilter), m_file);
        if (!path.isEmpty()) open(path);
    });
    button(SaveButton, [this] {
        const QString path = cuiFileDialogs::current().saveFile(
            this, text(SaveButton), text(FileFilter), m_file, QStringLiteral("fleet.csv"));
        if (!path.isEmpty()) save(path);
    });
    button(AddRadioButton, [this] { addRadio(text(NewRadio)); });
    button(RemoveRadioButton, [this] {
        const int row = m_grid->currentRow();
        if (row < 0) return;
        imcFleetSheet after = m_sheet;
        after.removeRow(row);
        m_undo.push(new Step(this, m_sheet, after));
    });
    button(RemoveColumnButton, [this] {
        const int column = m_grid->currentColumn() - 1;
        if (column < 0) return;
        imcFleetSheet after = m_sheet;
        after.removeColumn(column);
        m_undo.push(new Step(this, m_sheet, after));
    });
    auto* undo = button(UndoButton, [this] { m_undo.undo(); });
    auto* redo = button(RedoButton, [this] { m_undo.redo(); });
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&m_undo, &QUndoStack::canUndoChanged, undo, &QPushButton::setEnabled);
    connect(&m_undo, &QUndoStack::canRedoChanged, redo, &QPushButton::setEnabled);
    tools->addStretch(1);
    layout->addLayout(tools);

    auto* columnRow = new QHBoxLayout;
    m_reference = new QLineEdit(this);
    m_reference->setPlaceholderText(text(ReferenceHint));
    columnRow->addWidget(m_reference, 1);
    auto* add = new QPushButton(text(AddColumnButton), this);
    add->setAutoDefault(false);
    columnRow->addWidget(add);
    connect(add, &QPushButton::clicked, this, [this] {
        if (addColumn(m_reference->text())) m_reference->clear();
    });
    layout->addLayout(columnRow);

    m_grid = new QTableWidget(0, 1, this);
    m_grid->verticalHeader()->hide();
    layout->addWidget(m_grid, 1);
    connect(m_grid, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (m_filling) return;
        // Taken after the grid has finished with the item: the step rebuilds the grid.
        const QString typed = m_grid->item(row, column)->text();
        QTimer::singleShot(0, this, [this, row, column, typed] { edit(row, column, typed); });
    });
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    resize(720, 420);
    fill();
    check();
}

void iuiFleetSheetWin::tell(const QString& message) {
    cmcPrompt::tell(message, cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")),
                    cmcPromptIcon::Error);
}

bool iuiFleetSheetWin::open(const QString& path) {
    imcFleetSheet read;
    std::vector<cmcCsvIssue> issues;
    if (!read.readFile(path, &issues)) {
        QStringList lines;
        for (size_t i = 0; i < issues.size() && i < ShownFaults; ++i)
            lines << issues[i].describe();
        tell(lines.join(u'\n'));
        return false;
    }
    m_file = path;
    m_undo.push(new Step(this, m_sheet, read));
    return true;
}

bool iuiFleetSheetWin::save(const QString& path) {
    QString why;
    if (!cmcCsvList::writeFile(path, m_sheet.toCsv(), &why)) {
        tell(why);
        return false;
    }
    m_file = path;
    m_undo.setClean();
    return true;
}

bool iuiFleetSheetWin::addColumn(const QString& reference) {
    imcFleetSheet after = m_sheet;
    QString why;
    if (!after.addColumn(reference, &why)) {
        tell(why);
        return false;
    }
    m_undo.push(new Step(this, m_sheet, after));
    return true;
}

void iuiFleetSheetWin::addRadio(const QString& radio) {
    imcFleetSheet after = m_sheet;
    after.addRow(radio);
    m_undo.push(new Step(this, m_sheet, after));
    m_grid->setCurrentCell(int(m_sheet.rows().size()) - 1, 0);
}

void iuiFleetSheetWin::edit(int row, int column, const QString& typed) {
    if (row < 0 || row >= int(m_sheet.rows().size()) || column < 0 ||
        column > int(m_sheet.columns().size()))
        return;
    const QString before =
        column == 0 ? m_sheet.rows().at(size_t(row)).radio : m_sheet.value(row, column - 1);
    if (typed == before) return;
    imcFleetSheet after = m_sheet;
    if (column == 0)
        after.setRadio(row, typed);
    else
        after.setValue(row, column - 1, typed);
    m_undo.push(new Step(this, m_sheet, after));
}

void iuiFleetSheetWin::fill() {
    m_filling = true;
    QStringList headings{QString::fromLatin1(imcFleetSheet::RadioHeading)};
    for (const imcFleetSheet::Column& c : m_sheet.columns())
        headings << c.reference;
    m_grid->setColumnCount(int(headings.size()));
    m_grid->setHorizontalHeaderLabels(headings);
    m_grid->setRowCount(int(m_sheet.rows().size()));
    for (int r = 0; r < int(m_sheet.rows().size()); ++r) {
        m_grid->setItem(r, 0, new QTableWidgetItem(m_sheet.rows()[size_t(r)].radio));
        for (int c = 0; c < int(m_sheet.columns().size()); ++c)
            m_grid->setItem(r, c + 1, new QTableWidgetItem(m_sheet.value(r, c)));
    }
    m_grid->resizeColumnsToContents();
    m_filling = false;
}

void iuiFleetSheetWin::check() {
    // Rows are numbered as the saved file numbers its lines, so faults name the grid's rows.
    imcFleetSheet numbered;
    numbered.read(m_sheet.toCsv(), nullptr);
    const std::vector<cmcCsvIssue> issues = numbered.check(m_document(), m_defaults);
    m_faults.clear();
    m_filling = true;
    for (int r = 0; r < m_grid->rowCount(); ++r)
        for (int c = 0; c < m_grid->columnCount(); ++c)
            if (QTableWidgetItem* item = m_grid->item(r, c)) {
                item->setBackground(QBrush());
                item->setToolTip(QString());
            }
    for (const cmcCsvIssue& issue : issues) {
        m_faults << issue.describe();
        QTableWidgetItem* item = m_grid->item(issue.line - 2, std::max(issue.column - 1, 0));
        if (!item) continue;
        item->setBackground(QColor(255, 200, 200));
        item->setToolTip(issue.text);
    }
    m_filling = false;
    QStringList shown = m_faults.mid(0, int(ShownFaults));
    m_status->setText(m_faults.isEmpty() ? text(AllFit) : text(Faults) + u'\n' + shown.join(u'\n'));
}
