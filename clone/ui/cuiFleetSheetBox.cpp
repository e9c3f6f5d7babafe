#include "cuiFleetSheetBox.h"

#include "clsLabelFor.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString TextKey = QStringLiteral("GI_FleetSheet_Texts");

enum Line {
    Label = 0,
    ChooseButton = 1,
    NoSheet = 2,
    PlainBox = 3,
    FileFilter = 4,
    Refused = 5,
    RadioColumn = 7,
    RemoveButton = 8,
    ChooseTitle = 9,
};

// At most this many faults are listed in one message box.
constexpr size_t ShownIssues = 20;

} // namespace

QString cuiFleetSheetBox::text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

cuiFleetSheetBox::cuiFleetSheetBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FleetSheetBox"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(text(Label), this);
    row->addWidget(label);
    m_path = new QLineEdit(this);
    clsLabelFor::link(label, m_path, QString());
    m_path->setReadOnly(true);
    m_path->setPlaceholderText(text(NoSheet));
    row->addWidget(m_path, 1);
    m_choose = new QPushButton(text(ChooseButton), this);
    m_choose->setAutoDefault(false);
    row->addWidget(m_choose);
    m_remove = new QPushButton(text(RemoveButton), this);
    m_remove->setAutoDefault(false);
    m_remove->setEnabled(false);
    row->addWidget(m_remove);
    layout->addLayout(row);
    m_plain = new QCheckBox(text(PlainBox), this);
    m_plain->setEnabled(false);
    layout->addWidget(m_plain);
    m_view = new QTableWidget(0, 0, this);
    m_view->verticalHeader()->hide();
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->hide();
    layout->addWidget(m_view, 1);

    connect(m_choose, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, text(ChooseTitle), m_file, text(FileFilter));
        if (!path.isEmpty()) load(path);
    });
    connect(m_remove, &QPushButton::clicked, this, [this] { clear(); });
}

void cuiFleetSheetBox::setDocument(const cmcEeprom& image, const cmcEeprom* defaults) {
    m_document = image;
    m_defaults = defaults;
}

bool cuiFleetSheetBox::checked(const imcFleetSheet& sheet, const QString& path) {
    std::vector<cmcCsvIssue> issues = sheet.check(m_document, m_defaults);
    if (issues.empty()) return true;
    QStringList lines;
    for (size_t i = 0; i < issues.size() && i < ShownIssues; ++i)
        lines << issues[i].describe();
    if (issues.size() > ShownIssues) lines << QStringLiteral("...");
    cmcPrompt::tell(text(Refused).arg(path) + QStringLiteral("\n\n") + lines.join(u'\n'),
                    cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")),
                    cmcPromptIcon::Error);
    return false;
}

bool cuiFleetSheetBox::load(const QString& path) {
    auto sheet = std::make_unique<imcFleetSheet>();
    std::vector<cmcCsvIssue> issues;
    if (!sheet->readFile(path, &issues)) {
        QStringList lines;
        for (size_t i = 0; i < issues.size() && i < ShownIssues; ++i)
            lines << issues[i].describe();
        cmcPrompt::tell(text(Refused).arg(path) + QStringLiteral("\n\n") + lines.join(u'\n'),
                        cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")),
                        cmcPromptIcon::Error);
        return false;
    }
    if (!checked(*sheet, path)) return false;
    m_sheet = std::move(sheet);
    m_file = path;
    m_path->setText(path);
    m_plain->setEnabled(true);
    m_remove->setEnabled(true);
    showSheet(*m_sheet);
    return true;
}

void cuiFleetSheetBox::clear() {
    m_sheet.reset();
    m_path->clear();
    m_plain->setChecked(false);
    m_plain->setEnabled(false);
    m_remove->setEnabled(false);
    m_view->hide();
}

const imcFleetSheet* cuiFleetSheetBox::sheet(bool* ok) {
    *ok = true;
    if (!m_sheet) return nullptr;
    *ok = checked(*m_sheet, m_file);
    return m_sheet.get();
}

bool cuiFleetSheetBox::plainForUnlisted() const {
    return m_sheet && m_plain->isChecked();
}

void cuiFleetSheetBox::showSheet(const imcFleetSheet& sheet) {
    QStringList headings{text(RadioColumn)};
    for (const imcFleetSheet::Column& c : sheet.columns())
        headings << c.reference;
    m_view->clear();
    m_view->setColumnCount(int(headings.size()));
    m_view->setHorizontalHeaderLabels(headings);
    m_view->setRowCount(int(sheet.rows().size()));
    for (int r = 0; r < int(sheet.rows().size()); ++r) {
        m_view->setItem(r, 0, new QTableWidgetItem(sheet.rows()[size_t(r)].radio));
        for (int c = 0; c < int(sheet.columns().size()); ++c)
            m_view->setItem(r, c + 1, new QTableWidgetItem(sheet.value(r, c)));
    }
    m_view->resizeColumnsToContents();
    m_view->show();
}
