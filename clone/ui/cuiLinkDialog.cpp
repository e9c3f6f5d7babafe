#include "cuiLinkDialog.h"

#include "clsDialogButtons.h"
#include "clsLinkInput.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
struct KindLayout {
    int maxLength;
    const char* wide; // the edit box is as wide as this text plus "WWWW"
};
KindLayout layoutOf(cuiLinkDialog::Kind kind) {
    switch (kind) {
    case cuiLinkDialog::ComPort:
        return {4, "255"};
    case cuiLinkDialog::TcpAddress:
        return {15, "255.255.255.255"};
    case cuiLinkDialog::TcpPort:
        return {5, "65535"};
    }
    return {4, "255"};
}
} // namespace

QString cuiLinkDialog::keyStem(Kind kind) {
    switch (kind) {
    case ComPort:
        return QStringLiteral("GI_AppInd_Opt_ComSel");
    case TcpAddress:
        return QStringLiteral("GI_AppInd_Opt_IpAddr");
    case TcpPort:
        return QStringLiteral("GI_AppInd_Opt_IpPort");
    }
    return QString();
}

cuiLinkDialog::cuiLinkDialog(Kind kind, const QString& current, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_kind(kind) {
    cmcGTex& t = cmcGTex::mainTable();
    const QString stem = keyStem(kind);
    const KindLayout shape = layoutOf(kind);
    setWindowTitle(t.getText(stem + QStringLiteral("_Caption")));
    setModal(true);

    auto* notice = new QLabel(t.getTextBlock(stem + QStringLiteral("_Notice")));
    m_edit = new QLineEdit(current);
    notice->setBuddy(m_edit);
#ifdef Q_OS_WIN
    m_edit->setMaxLength(shape.maxLength);
#else
    // Off Windows the COM port box also takes a device path, which needs more room.
    m_edit->setMaxLength(kind == ComPort ? 255 : shape.maxLength);
#endif
    const QFontMetrics fm(font());
    const QString wide = QString::fromLatin1(shape.wide);
    m_edit->setFixedSize(fm.horizontalAdvance(wide + QStringLiteral("WWWW")),
                         std::max(m_edit->sizeHint().height(), fm.height() + fm.height() / 2));
    m_edit->selectAll();

    const clsDialogButtons row = clsDialogButtons::make(this, t, stem);
    m_ok = row.ok;
    m_cancel = row.cancel;
    connect(m_ok, &QPushButton::clicked, this, [this] { tryAccept(); });
    QHBoxLayout* buttons = row.row;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
#ifndef Q_OS_WIN
    if (kind == ComPort) {
        // The numbers are places in the port table: the list shows which device each means.
        cmcComm::RefreshPortTable();
        m_ports = new QListWidget;
        const int count = int(cmcComm::PortTable().size());
        int widest = 0;
        for (int port = 1; port <= count; ++port) {
            auto* item = new QListWidgetItem(cmcComm::DisplayName(port), m_ports);
            item->setData(Qt::UserRole, port);
            widest = std::max(widest, fm.horizontalAdvance(item->text()));
            if (QString::number(port) == current.trimmed()) m_ports->setCurrentItem(item);
        }
        m_ports->setMinimumWidth(widest + 4 * fm.averageCharWidth());
        m_ports->setFixedHeight(std::clamp(count, 3, 8) * (fm.height() + 4) + 4);
        connect(m_ports, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            m_edit->setText(QString::number(item->data(Qt::UserRole).toInt()));
        });
        connect(m_ports, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
            m_edit->setText(QString::number(item->data(Qt::UserRole).toInt()));
            tryAccept();
        });
        layout->addWidget(m_ports);
        // A device path is typed here too: the box is as wide as the list of devices.
        m_edit->setFixedWidth(
            std::max({m_edit->width(), m_ports->minimumWidth(),
                      fm.horizontalAdvance(QStringLiteral("/dev/ttyUSB0WWWWWW"))}));
    }
#endif
    layout->addWidget(m_edit, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The notice asks for the entry: the keyboard starts there, whatever comes first in the
    // window (the list of devices above it).
    m_edit->setFocus();

    if (owner) {
        adjustSize();
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void cuiLinkDialog::tryAccept() {
    const QString text = m_edit->text();
    bool ok = false;
    switch (m_kind) {
    case ComPort:
        m_number = clsLinkInput::comPort(text);
        ok = m_number != 0;
        break;
    case TcpAddress:
        ok = clsLinkInput::tcpAddress(text);
        if (ok) m_text = text;
        break;
    case TcpPort:
        m_number = clsLinkInput::tcpPort(text);
        ok = m_number != 0;
        break;
    }
    if (ok) {
        accept();
        return;
    }
    cmcGTex& t = cmcGTex::mainTable();
    cmcPrompt::tell(t.getTextBlock(keyStem(m_kind) + QStringLiteral("_OutofRange")),
                    t.getText(QStringLiteral("GI_Sys_AppTitle")), cmcPromptIcon::Error);
    m_edit->setFocus();
    m_edit->selectAll();
}
