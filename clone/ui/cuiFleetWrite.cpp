#include "cuiFleetWrite.h"

#include "clsLabelFor.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "cmcTcpClient.h"
#include "cuiFleetSheetBox.h"
#include "imcFleetSheet.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
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
    RetryButton = 19,
    PlainToSeveral = 20,
};

// Columns of the result table: link, serial number, status, message (then the values).
constexpr int MessageColumn = 3;
// The table shows this many rows without scrolling; more scroll.
constexpr int RowsShown = 8;

// A serial device as the user types it: a path, or on Windows a port's name.
bool looksLikeDevice(const QString& t) {
#ifdef Q_OS_WIN
    return t.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("\\\\.\\"));
#else
    return t.startsWith(QLatin1Char('/'));
#endif
}

// How the settings name a link: a serial device by its path, an adapter as HOST:PORT.
QString linkKey(const imcFleetClone::Link& l) {
    return l.tcp ? l.name : cmcComm::DeviceName(l.comPort);
}

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
    for (int i = 0; i < links.size(); ++i)
        addItem(links[i].name, i, checked.value(i));
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemChanged, this, [this] { tellRemembered(); });

    auto* adapterRow = new QHBoxLayout;
    auto* adapterLabel = new QLabel(text(AdapterLabel), this);
    adapterLabel->setWordWrap(true);
    adapterRow->addWidget(adapterLabel);
    m_adapter = new QLineEdit(this);
    clsLabelFor::link(adapterLabel, m_adapter, QString());
#ifdef Q_OS_WIN
    m_adapter->setPlaceholderText(QStringLiteral("COM3, 192.168.1.100:41000"));
#else
    m_adapter->setPlaceholderText(QStringLiteral("/dev/ttyUSB3, 192.168.1.100:41000"));
#endif
    adapterRow->addWidget(m_adapter, 1);
    m_add = new QPushButton(text(AddButton), this);
    m_add->setAutoDefault(false);
    adapterRow->addWidget(m_add);
    layout->addLayout(adapterRow);
    connect(m_add, &QPushButton::clicked, this, [this] {
        if (addLink(m_adapter->text())) m_adapter->clear();
    });
    m_adapter->installEventFilter(this);

    m_sheetBox = new cuiFleetSheetBox(this);
    layout->addWidget(m_sheetBox);

    m_progressArea = new QWidget(this);
    m_progressArea->setLayout(new QGridLayout);
    m_progressArea->hide();
    layout->addWidget(m_progressArea);

    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels(
        {text(ColumnLink), text(ColumnLink + 1), text(ColumnLink + 2), text(ColumnLink + 3)});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Long messages wrap inside their column; each row is as tall as its text.
    m_table->setWordWrap(true);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_table->verticalHeader(), &QHeaderView::sectionResized, this, [this] { fitHeight(); });
    m_table->hide();
    layout->addWidget(m_table, 1);
    m_summary = new QLabel(this);
    m_summary->hide();
    layout->addWidget(m_summary);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_retry = new QPushButton(text(RetryButton), this);
    m_retry->setAutoDefault(false);
    m_retry->hide();
    m_write = new QPushButton(text(WriteButton), this);
    m_write->setDefault(true);
    m_close = new QPushButton(text(CloseButton), this);
    m_close->setAutoDefault(false);
    buttons->addWidget(m_retry);
    buttons->addWidget(m_write);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(m_retry, &QPushButton::clicked, this, [this] { retryFailed(); });
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
    m_fleet.setPlainReview([this](const QStringList& radios) { return confirmPlain(radios); });
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

void cuiFleetWrite::addItem(const QString& name, int link, bool ticked) {
    const QSignalBlocker quiet(m_list);
    auto* item = new QListWidgetItem(name, m_list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    item->setData(LinkRole, link);
}

bool cuiFleetWrite::addLink(const QString& typed) {
    return looksLikeDevice(typed.trimmed()) ? addDevice(typed) : addAdapter(typed);
}

bool cuiFleetWrite::addDevice(const QString& typed) {
    const QString t = typed.trimmed();
    const int port = looksLikeDevice(t) ? cmcComm::PortNumberOf(t) : 0;
    if (port < 1) {
        cmcPrompt::tell(text(NotAnAdapter).arg(t), text(Caption), cmcPromptIcon::Error);
        return false;
    }
    if (!m_devices.contains(t)) m_devices << t;
    imcFleetClone::Link link;
    link.comPort = port;
    link.serialSettings = m_serialSettings;
    link.name = cmcComm::DisplayName(port);
    listTicked(link);
    return true;
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
    listTicked(link);
    return true;
}

void cuiFleetWrite::listTicked(const imcFleetClone::Link& link) {
    for (int i = 0; i < m_list->count(); ++i) {
        const imcFleetClone::Link& l = m_links.value(m_list->item(i)->data(LinkRole).toInt());
        if (l.tcp == link.tcp && (link.tcp ? l.name == link.name : l.comPort == link.comPort)) {
            m_list->item(i)->setCheckState(Qt::Checked);
            tellRemembered();
            return;
        }
    }
    m_links.append(link);
    addItem(link.name, int(m_links.size() - 1), true);
    tellRemembered();
}

void cuiFleetWrite::tellRemembered() {
    if (!linksChanged) return;
    Remembered r;
    r.devices = m_devices;
    for (const imcFleetClone::Link& l : m_links)
        if (l.tcp) r.adapters << l.name;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            r.ticked << linkKey(m_links.value(m_list->item(i)->data(LinkRole).toInt()));
    linksChanged(r);
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
    // Kept as they are now: a run again writes with the same values.
    std::unique_ptr<imcFleetSheet> kept = sheet ? std::make_unique<imcFleetSheet>(*sheet) : nullptr;
    std::swap(m_runSheet, kept);
    const bool plainBefore = m_runPlain;
    m_runPlain = m_sheetBox->plainForUnlisted();
    QList<Row> rows;
    QList<int> indices;
    for (const imcFleetClone::Link& l : chosen) {
        Row r;
        r.link = l.name;
        r.target = l;
        indices << int(rows.size());
        rows << r;
    }
    QList<Row> before = m_rows;
    m_rows = rows;
    if (run(chosen, indices)) return true;
    // Nothing started: the table and the values of the run before stay.
    m_rows = before;
    std::swap(m_runSheet, kept);
    m_runPlain = plainBefore;
    return false;
}

bool cuiFleetWrite::retryFailed() {
    if (m_fleet.isRunning() || !m_ranges) return false;
    QList<imcFleetClone::Link> links;
    QList<int> rows;
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].status != 0) {
            links << m_rows[i].target;
            rows << i;
        }
    return !links.isEmpty() && run(links, rows);
}

bool cuiFleetWrite::run(const QList<imcFleetClone::Link>& links, const QList<int>& rows) {
    QStringList names;
    for (const imcFleetClone::Link& l : links)
        names << l.name;
    bool verify = m_fleet.verify();
    if (confirm && !confirm(&verify, names)) return false;
    m_fleet.setSheet(m_runSheet.get(), m_runPlain, m_sheetBox->defaults());
    m_fleet.setLinks(links);
    m_fleet.setVerify(verify);
    m_fleet.setInfoExchanges(1);
    m_runRows = rows;

    // One bar per radio in place of the choice.
    auto* grid = static_cast<QGridLayout*>(m_progressArea->layout());
    m_bars.clear();
    m_phases.clear();
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (int i = 0; i < links.size(); ++i) {
        auto* name = new QLabel(links[i].name, m_progressArea);
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
    setChoiceEnabled(false);
    if (!m_fleet.startWrite(m_image, m_ranges)) {
        setChoiceEnabled(true);
        return false;
    }
    m_task->setInterval(100);
    refresh();
    return true;
}

void cuiFleetWrite::setChoiceEnabled(bool on) {
    m_list->setEnabled(on);
    m_adapter->setEnabled(on);
    m_add->setEnabled(on);
    m_sheetBox->setEnabled(on);
    m_write->setEnabled(on);
    m_retry->setEnabled(on);
    m_close->setEnabled(on);
}

bool cuiFleetWrite::confirmPlain(const QStringList& radios) {
    return cmcPrompt::ask(
               text(PlainToSeveral).arg(radios.size()).arg(radios.join(QStringLiteral(", "))),
               text(Caption), cmcPromptButtons::OkCancel, cmcPromptIcon::Warning) == PA_Ok;
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
    // The radios of this run update their rows; the others keep theirs.
    for (int i = 0; i < m_fleet.count() && i < m_runRows.size(); ++i) {
        const imcFleetClone::Radio& r = m_fleet.radio(i);
        Row& row = m_rows[m_runRows[i]];
        row.serial = m_fleet.identity(i).shownSerial();
        row.status = r.status;
        row.message = r.status == 0 ? text(StatusOk) : m_fleet.message(i);
        row.fullMessage = r.status == 0 ? QString() : m_fleet.fullMessage(i);
        row.applied = r.applied;
        row.leftOut = r.status == imcFleetClone::LeftOut;
    }
    m_table->setRowCount(int(m_rows.size()));
    int good = 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row& r = m_rows[i];
        good += r.status == 0 ? 1 : 0;
        const QStringList cells = {r.link, r.serial, QString::number(r.status), r.message};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == MessageColumn && r.status != 0) item->setToolTip(r.fullMessage);
            m_table->setItem(i, c, item);
        }
    }
    showAppliedValues();
    m_table->show();
    m_summary->setText(text(Summary).arg(good).arg(m_rows.size()));
    m_summary->show();
    m_retry->setVisible(good < m_rows.size());
    setChoiceEnabled(true);
    fitTable();
}

// Every column but the message as wide as its contents, the message taking the rest and
// wrapping, each row as tall as its text.
void cuiFleetWrite::fitTable() {
    QHeaderView* header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    for (int c = 0; c < m_table->columnCount(); ++c)
        header->setSectionResizeMode(c, c == MessageColumn ? QHeaderView::Stretch
                                                           : QHeaderView::ResizeToContents);
    if (layout()) layout()->activate();
    m_table->resizeRowsToContents();
    fitHeight();
}

// The table as tall as its rows (up to RowsShown of them), the window growing to hold it;
// again whenever a row changes its height (a narrower window wraps more).
void cuiFleetWrite::fitHeight() {
    int height = m_table->horizontalHeader()->height() + 2 * m_table->frameWidth();
    for (int r = 0; r < std::min(int(m_table->rowCount()), RowsShown); ++r)
        height += m_table->rowHeight(r);
    if (m_table->horizontalScrollBar()->isVisible())
        height += m_table->horizontalScrollBar()->height();
    if (m_table->minimumHeight() == height) return;
    m_table->setMinimumHeight(height);
    const QSize wanted = sizeHint();
    if (wanted.height() > this->height()) resize(width(), wanted.height());
}

void cuiFleetWrite::showAppliedValues() {
    bool perRadio = false;
    for (const Row& r : m_rows)
        perRadio = perRadio || !r.applied.isEmpty() || r.leftOut;
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
    for (int i = 0; i < m_rows.size(); ++i) {
        const QString& applied = m_rows[i].applied;
        m_table->setItem(i, column,
                         new QTableWidgetItem(applied.isEmpty() ? QStringLiteral("-") : applied));
    }
}

// The window stays while radios are being written.
bool cuiFleetWrite::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_adapter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            !m_adapter->text().trimmed().isEmpty()) {
            if (m_add->isEnabled()) m_add->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void cuiFleetWrite::closeEvent(QCloseEvent* event) {
    if (m_fleet.isRunning())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void cuiFleetWrite::reject() {
    if (!m_fleet.isRunning()) QDialog::reject();
}
