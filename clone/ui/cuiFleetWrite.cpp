#include "cuiFleetWrite.h"

#include "clsLabelFor.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "cmcTcpClient.h"
#include "cuiFleetSheetBox.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString TextKey = QStringLiteral("GI_FleetWrite_Texts");
constexpr int LinkRole = Qt::UserRole + 1;

enum Line {
    Caption = 0,
    LinksLabel = 1,
    AdapterLabel = 2,
    AddButton = 3,
    WriteButton = 4,
    CloseButton = 5,
    ColumnLink = 6, // to 9: link, serial number, status, message
    StatusOk = 10,
    NoLinkChosen = 11,
    NotAnAdapter = 12,
    PhaseIdentifying = 13, // to 17: identifying, writing, verifying, done, failed
    Summary = 18,
};

// The per-radio values' column heading (a line of the values' own texts).
constexpr int ValuesColumn = 6;

} // namespace

QString cuiFleetWrite::text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

cuiFleetWrite::cuiFleetWrite(const QList<imcFleetClone::Link>& links, const QList<bool>& checked,
                             QWidget* parent)
    : QDialog(parent), m_links(links) {
    setObjectName(QStringLiteral("FleetWrite"));
    setWindowTitle(text(Caption));
    auto* layout = new QVBoxLayout(this);
    auto* linksLabel = new QLabel(text(LinksLabel), this);
    layout->addWidget(linksLabel);
    m_list = new QListWidget(this);
    clsLabelFor::link(linksLabel, m_list, QString());
    for (int i = 0; i < links.size(); ++i) {
        auto* item = new QListWidgetItem(links[i].name, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.value(i) ? Qt::Checked : Qt::Unchecked);
        item->setData(LinkRole, i);
    }
    layout->addWidget(m_list);

    auto* adapterRow = new QHBoxLayout;
    auto* adapterLabel = new QLabel(text(AdapterLabel), this);
    adapterRow->addWidget(adapterLabel);
    m_adapter = new QLineEdit(this);
    clsLabelFor::link(adapterLabel, m_adapter, QString());
    m_adapter->setPlaceholderText(QStringLiteral("192.168.1.100:41000"));
    adapterRow->addWidget(m_adapter, 1);
    m_add = new QPushButton(text(AddButton), this);
    m_add->setAutoDefault(false);
    adapterRow->addWidget(m_add);
    layout->addLayout(adapterRow);
    connect(m_add, &QPushButton::clicked, this, [this] {
        if (addAdapter(m_adapter->text())) m_adapter->clear();
    });

    m_sheetBox = new cuiFleetSheetBox(this);
    layout->addWidget(m_sheetBox);

    m_progressArea = new QWidget(this);
    m_progressArea->setLayout(new QGridLayout);
    m_progressArea->hide();
    layout->addWidget(m_progressArea);

    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels(
        {text(ColumnLink), text(ColumnLink + 1), text(ColumnLink + 2), text(ColumnLink + 3)});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->hide();
    layout->addWidget(m_table, 1);
    m_summary = new QLabel(this);
    m_summary->hide();
    layout->addWidget(m_summary);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_write = new QPushButton(text(WriteButton), this);
    m_write->setDefault(true);
    m_close = new QPushButton(text(CloseButton), this);
    m_close->setAutoDefault(false);
    buttons->addWidget(m_write);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(m_write, &QPushButton::clicked, this, [this] { start(); });
    connect(m_close, &QPushButton::clicked, this, [this] { reject(); });
    resize(640, 420);

    m_task = new cmcTask;
    m_task->setCallback(&cuiFleetWrite::tick, this);
    m_fleet.setFinished([this] {
        m_task->setInterval(-1);
        refresh();
        showResults();
        if (finished) finished(m_fleet);
    });
}

cuiFleetWrite::~cuiFleetWrite() {
    cmcTask::release(m_task);
}

void cuiFleetWrite::setImage(const cmcEeprom& image, const cmcAdrRange* ranges) {
    m_image = image;
    m_ranges = ranges;
}

QProgressBar* cuiFleetWrite::progressBar(int radio) const {
    return m_bars.value(radio);
}

bool cuiFleetWrite::addAdapter(const QString& typed) {
    const QString t = typed.trimmed();
    const int colon = int(t.lastIndexOf(QLatin1Char(':')));
    uint32_t address = 0;
    bool ok = false;
    const uint port = colon > 0 ? t.mid(colon + 1).toUInt(&ok) : 0;
    if (!ok || port < 1 || port > 65535 || !cmcTcpClient::ParseAddress(t.left(colon), &address)) {
        cmcPrompt::tell(text(NotAnAdapter).arg(t), text(Caption), cmcPromptIcon::Error);
        return false;
    }
    imcFleetClone::Link link;
    link.tcp = true;
    link.host = t.left(colon);
    link.tcpPort = uint16_t(port);
    link.name = QStringLiteral("%1:%2").arg(link.host).arg(port);
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->text() == link.name) { // already listed: tick it
            m_list->item(i)->setCheckState(Qt::Checked);
            return true;
        }
    }
    m_links.append(link);
    auto* item = new QListWidgetItem(link.name, m_list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setData(LinkRole, int(m_links.size() - 1));
    if (adaptersChanged) adaptersChanged(adapters());
    return true;
}

QStringList cuiFleetWrite::adapters() const {
    QStringList out;
    for (const imcFleetClone::Link& l : m_links)
        if (l.tcp) out << l.name;
    return out;
}

bool cuiFleetWrite::start() {
    if (m_fleet.isRunning() || !m_ranges) return false;
    QList<imcFleetClone::Link> chosen;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            chosen << m_links.value(m_list->item(i)->data(LinkRole).toInt());
    if (chosen.isEmpty()) {
        cmcPrompt::tell(text(NoLinkChosen), text(Caption), cmcPromptIcon::Warning);
        return false;
    }
    // Per-radio values, checked again against the document before anything is asked.
    bool sheetOk = true;
    const imcFleetSheet* sheet = m_sheetBox->sheet(&sheetOk);
    if (!sheetOk) return false;
    m_fleet.setSheet(sheet, m_sheetBox->plainForUnlisted(), m_sheetBox->defaults());
    bool verify = m_fleet.verify();
    if (confirm && !confirm(&verify)) return false;
    m_fleet.setLinks(chosen);
    m_fleet.setVerify(verify);
    m_fleet.setInfoExchanges(1);

    // One bar per radio in place of the choice.
    auto* grid = static_cast<QGridLayout*>(m_progressArea->layout());
    qDeleteAll(m_bars);
    qDeleteAll(m_phases);
    m_bars.clear();
    m_phases.clear();
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (int i = 0; i < chosen.size(); ++i) {
        auto* name = new QLabel(chosen[i].name, m_progressArea);
        auto* bar = new QProgressBar(m_progressArea);
        bar->setRange(0, 1000);
        auto* phase = new QLabel(m_progressArea);
        grid->addWidget(name, i, 0);
        grid->addWidget(bar, i, 1);
        grid->addWidget(phase, i, 2);
        m_bars << bar;
        m_phases << phase;
    }
    m_table->hide();
    m_summary->hide();
    m_progressArea->show();
    m_list->setEnabled(false);
    m_adapter->setEnabled(false);
    m_add->setEnabled(false);
    m_sheetBox->setEnabled(false);
    m_write->setEnabled(false);
    m_close->setEnabled(false);
    if (!m_fleet.startWrite(m_image, m_ranges)) {
        m_list->setEnabled(true);
        m_write->setEnabled(true);
        m_close->setEnabled(true);
        return false;
    }
    m_task->setInterval(100);
    refresh();
    return true;
}

void cuiFleetWrite::tick(void* context, cmcTask*) {
    static_cast<cuiFleetWrite*>(context)->refresh();
}

void cuiFleetWrite::refresh() {
    const int total = std::max(1, m_fleet.total());
    for (int i = 0; i < m_fleet.count() && i < m_bars.size(); ++i) {
        const imcFleetClone::Radio& r = m_fleet.radio(i);
        m_bars[i]->setValue(int(qint64(std::min(m_fleet.done(i), total)) * 1000 / total));
        const int phase = r.phase == imcFleetClone::Done        ? (r.status == 0 ? 3 : 4)
                          : r.phase == imcFleetClone::Writing   ? 1
                          : r.phase == imcFleetClone::Verifying ? 2
                                                                : 0;
        m_phases[i]->setText(text(PhaseIdentifying + phase));
    }
}

void cuiFleetWrite::showResults() {
    m_table->setRowCount(m_fleet.count());
    int good = 0;
    for (int i = 0; i < m_fleet.count(); ++i) {
        const imcFleetClone::Radio& r = m_fleet.radio(i);
        good += r.status == 0 ? 1 : 0;
        const QStringList cells = {r.link.name, m_fleet.identity(i).shownSerial(), QString::number(r.status),
                                   r.status == 0 ? text(StatusOk) : m_fleet.message(i)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 3 && r.status != 0) item->setToolTip(m_fleet.fullMessage(i));
            m_table->setItem(i, c, item);
        }
    }
    showAppliedValues();
    m_table->resizeColumnsToContents();
    m_table->show();
    m_summary->setText(text(Summary).arg(good).arg(m_fleet.count()));
    m_summary->show();
    m_list->setEnabled(true);
    m_adapter->setEnabled(true);
    m_add->setEnabled(true);
    m_sheetBox->setEnabled(true);
    m_write->setEnabled(true);
    m_close->setEnabled(true);
}

void cuiFleetWrite::showAppliedValues() {
    bool perRadio = false;
    for (int i = 0; i < m_fleet.count(); ++i)
        perRadio = perRadio || !m_fleet.radio(i).applied.isEmpty() ||
                   m_fleet.radio(i).status == imcFleetClone::LeftOut;
    // The column stays from an earlier write of the window: found by its heading.
    const QString heading = cuiFleetSheetBox::text(ValuesColumn);
    int column = -1;
    for (int c = 0; c < m_table->columnCount(); ++c)
        if (m_table->horizontalHeaderItem(c) && m_table->horizontalHeaderItem(c)->text() == heading)
            column = c;
    if (!perRadio) {
        if (column >= 0) m_table->removeColumn(column);
        return;
    }
    if (column < 0) {
        column = m_table->columnCount();
        m_table->setColumnCount(column + 1);
        m_table->setHorizontalHeaderItem(column, new QTableWidgetItem(heading));
    }
    for (int i = 0; i < m_fleet.count(); ++i) {
        const QString& applied = m_fleet.radio(i).applied;
        m_table->setItem(i, column,
                         new QTableWidgetItem(applied.isEmpty() ? QStringLiteral("-") : applied));
    }
}

// The window stays while radios are being written.
void cuiFleetWrite::closeEvent(QCloseEvent* event) {
    if (m_fleet.isRunning())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void cuiFleetWrite::reject() {
    if (!m_fleet.isRunning()) QDialog::reject();
}
