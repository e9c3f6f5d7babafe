#include "iuiCompareWin.h"

#include "cmcEeprom.h"
#include "cmcGTex.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString TextKey = QStringLiteral("GI_AppInd_Compare");
enum TextLine { Title = 0, Headings, Same, Memory, OpenTitle, Summary };

} // namespace

iuiCompareWin::iuiCompareWin(cmcGTex& texts, QWidget* owner) : QDialog(owner), m_texts(texts) {
    setWindowTitle(m_texts.getText(TextKey, Title).remove(u'&'));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    layout->addWidget(m_list);
    m_list->setAccessibleName(windowTitle());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openRow(m_list->indexOfTopLevelItem(item)); });
    // Enter on a row opens it, as a double click does; it never presses Close (Escape does).
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* open = new QShortcut(key, m_list);
        open->setContext(Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this,
                [this] { openRow(m_list->indexOfTopLevelItem(m_list->currentItem())); });
    }
    resize(760, 420);
}

void iuiCompareWin::showChanges(const imcImageDiffResult& result, const QString& otherName,
                                const cmcEeprom& other, const cmcEeprom& document) {
    m_result = result;
    m_list->clear();
    m_list->setHeaderLabels(
        m_texts.getText(TextKey, Headings).replace(QLatin1String("%s"), otherName).split(u'\t'));
    for (const imcCellChange& c : result.cells)
        new QTreeWidgetItem(m_list, {c.where, c.row > 0 ? QString::number(c.row) : QString(),
                                     c.column, c.before, c.after});
    const QString memory = m_texts.getText(TextKey, Memory);
    for (int32_t a : result.bytes)
        new QTreeWidgetItem(
            m_list,
            {memory, QString(),
             QStringLiteral("0x%1")
                 .arg(a, 4, 16, QLatin1Char('0'))
                 .toUpper()
                 .replace(QLatin1String("0X"), QLatin1String("0x")),
             QStringLiteral("%1").arg(other.GetByte(a), 2, 16, QLatin1Char('0')).toUpper(),
             QStringLiteral("%1").arg(document.GetByte(a), 2, 16, QLatin1Char('0')).toUpper()});
    const int changes = int(result.cells.size() + result.bytes.size());
    m_summary->setText(m_texts.getText(TextKey, Summary)
                           .replace(QLatin1String("%d"), QString::number(changes))
                           .replace(QLatin1String("%s"), otherName));
    for (int c = 0; c < m_list->columnCount(); ++c)
        m_list->resizeColumnToContents(c);
    QDialog::show();
    raise();
    activateWindow();
}

bool iuiCompareWin::openRow(int i) {
    if (i < 0 || i >= int(m_result.cells.size()) || !m_open) return false;
    m_open(m_result.cells[size_t(i)]);
    return true;
}
