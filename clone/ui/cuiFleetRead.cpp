#include "cuiFleetRead.h"

#include "cmcGTex.h"
#include "cmcTask.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString TextKey = QStringLiteral("GI_FleetRead_Texts");

enum Line {
    Caption = 0,
    CancelButton = 1,
    PhaseIdentifying = 2, // to 6: identifying, reading, done, failed, cancelled
};

} // namespace

QString cuiFleetRead::text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

cuiFleetRead::cuiFleetRead(const QList<imcFleetClone::Link>& links, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FleetRead"));
    setWindowTitle(text(Caption));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < links.size(); ++i) {
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 1000);
        auto* phase = new QLabel(this);
        grid->addWidget(new QLabel(links[i].name, this), i, 0);
        grid->addWidget(bar, i, 1);
        grid->addWidget(phase, i, 2);
        m_bars << bar;
        m_phases << phase;
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(text(CancelButton), this);
    m_cancel->setAutoDefault(false);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancel(); });
    resize(560, sizeHint().height());

    m_fleet.setLinks(links);
    m_task = new cmcTask;
    m_task->setCallback(&cuiFleetRead::tick, this);
    m_fleet.setFinished([this] {
        m_task->setInterval(-1);
        refresh();
        m_cancel->setEnabled(false);
        if (finished) finished(m_fleet);
    });
}

cuiFleetRead::~cuiFleetRead() {
    cmcTask::release(m_task);
}

bool cuiFleetRead::start() {
    if (!m_fleet.startRead()) return false;
    m_task->setInterval(100);
    refresh();
    return true;
}

bool cuiFleetRead::cancel() {
    return m_fleet.cancel();
}

QString cuiFleetRead::phaseText(int radio) const {
    const QLabel* phase = m_phases.value(radio);
    return phase ? phase->text() : QString();
}

void cuiFleetRead::tick(void* context, cmcTask*) {
    static_cast<cuiFleetRead*>(context)->refresh();
}

void cuiFleetRead::refresh() {
    const int total = std::max(1, m_fleet.total());
    for (int i = 0; i < m_fleet.count() && i < m_bars.size(); ++i) {
        const imcFleetClone::Radio& r = m_fleet.radio(i);
        m_bars[i]->setValue(int(qint64(std::min(m_fleet.done(i), total)) * 1000 / total));
        int phase = 0;
        if (r.phase == imcFleetClone::Reading)
            phase = 1;
        else if (r.phase == imcFleetClone::Done)
            phase = r.status == 0 ? 2 : r.status == CS_Cancelled ? 4 : 3;
        m_phases[i]->setText(text(PhaseIdentifying + phase));
        m_phases[i]->setToolTip(r.phase == imcFleetClone::Done && r.status != 0 ? m_fleet.message(i)
                                                                                : QString());
    }
}

// While radios are read, closing the window is a Cancel.
void cuiFleetRead::closeEvent(QCloseEvent* event) {
    if (m_fleet.isRunning()) {
        cancel();
        event->ignore();
    } else {
        QDialog::closeEvent(event);
    }
}

void cuiFleetRead::reject() {
    if (m_fleet.isRunning())
        cancel();
    else
        QDialog::reject();
}
