#include "cuiRebootWait.h"

#include "cmcGTex.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int Margin = 15;
int g_secondMs = 1000;
} // namespace

void cuiRebootWait::setSecondMs(int ms) {
    g_secondMs = ms > 0 ? ms : 1000;
}

int cuiRebootWait::configuredSeconds() {
    return cmcGTex::mainTable()
        .getText(QStringLiteral("GI_Mess_AdjRead_RebootWait_Time"))
        .trimmed()
        .toInt();
}

cuiRebootWait::cuiRebootWait(int seconds, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint),
      m_left(seconds) {
    cmcGTex& t = cmcGTex::mainTable();
    setWindowTitle(t.getText(QStringLiteral("GI_Mess_AdjRead_RebootWait_Title")));
    setModal(true);
    m_label = new QLabel;
    m_button = new QPushButton(t.getText(QStringLiteral("GI_Mess_AdjRead_RebootWait_Button")));
    connect(m_button, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->setSpacing(Margin);
    layout->addWidget(m_label);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showLeft();

    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(g_secondMs);
    connect(m_timer, &QTimer::timeout, this, [this] { countDown(); });
    m_timer->start();

    if (owner) {
        adjustSize();
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void cuiRebootWait::showLeft() {
    // The message's one integer placeholder takes the seconds left.
    QString text =
        cmcGTex::mainTable().getTextBlock(QStringLiteral("GI_Mess_AdjRead_RebootWait_Message"));
    text.replace(QStringLiteral("%d"), QString::number(m_left));
    m_label->setText(text);
}

void cuiRebootWait::countDown() {
    --m_left;
    if (m_left < 1) {
        m_timer->stop();
        accept();
        return;
    }
    showLeft();
}
