#include "iuiWinAd.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"
#include "imcAdjustValues.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
QString text(const char* key, int index = 0) {
    return cmcGTex::mainTable().getText(QString::fromLatin1(key), index);
}
} // namespace

iuiWinAd::iuiWinAd(imcAdjustValues& values, QWidget* owner)
    : cuiSheetWindow(QString::fromLatin1(SheetKey), cmcGTex::mainTable(), owner), m_values(values) {
    setObjectName(QStringLiteral("AdjustValues"));
    m_refreshButton = new QPushButton(text("GI_AppInd_AdjWin_Buttons", 0));
    m_saveButton = new QPushButton(text("GI_AppInd_AdjWin_Buttons", 1));
    auto* close = new QPushButton(text("GI_AppInd_AdjWin_Buttons", 2));
    connect(m_refreshButton, &QPushButton::clicked, this, [this] {
        if (m_refresh) m_refresh();
    });
    connect(m_saveButton, &QPushButton::clicked, this, [this] { saveRecord(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Enter belongs to the sheet, never to a button: it must not start a new read.
    for (QPushButton* b : {m_refreshButton, m_saveButton, close})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(5, 5, 5, 5);
    buttons->addStretch(1);
    buttons->addWidget(m_refreshButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(close);
    if (auto* box = qobject_cast<QVBoxLayout*>(layout())) box->addLayout(buttons);
    resize(width(), height() + buttons->sizeHint().height());
    updateButtons();

    if (auto* ev = cmcEvMan::instance()) ev->attach(&iuiWinAd::eventListener, this);
}

iuiWinAd::~iuiWinAd() {
    if (auto* ev = cmcEvMan::instance()) ev->detach(&iuiWinAd::eventListener, this);
}

void iuiWinAd::eventListener(void* context, const cmcEvent* event) {
    auto* self = static_cast<iuiWinAd*>(context);
    const auto window = cmcEvWindowByName::read(event);
    if (window && window->name == QLatin1String(SheetKey))
        self->bringToFront();
    else if (event->code == EV_AdjustValuesRead)
        self->updateButtons();
}

void iuiWinAd::updateButtons() {
    m_saveButton->setEnabled(m_values.isRead());
}

void iuiWinAd::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool iuiWinAd::saveRecord() {
    if (!m_values.isRead()) return false;
    cmcGTex& t = cmcGTex::mainTable();
    const QString filter = t.getText(QStringLiteral("GI_Sys_Dialog_FSaveAdj"), 1);
    // Named after the radio and the day, so that the records of several radios sort well.
    const QString serial = m_values.radio().key;
    const QString proposed =
        QStringLiteral("adjust_%1%2.csv")
            .arg(serial.isEmpty() ? QString() : serial + QLatin1Char('_'),
                 m_values.readAt().date().toString(QStringLiteral("yyyyMMdd")));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = cuiFileDialogs::current().saveFile(
        this, t.getText(QStringLiteral("GI_Sys_Dialog_FSaveAdj"), 0), filter, folder, proposed);
    if (path.isEmpty()) return false;
    QString error;
    if (m_values.writeCsv(path, &error)) return true;
    cmcPrompt::tell(t.getTextBlock(QStringLiteral("GI_Mess_AdjSave_Failed"))
                        .arg(QDir::toNativeSeparators(path), error),
                    t.getText(QStringLiteral("GI_Sys_AppTitle")), cmcPromptIcon::Error);
    return false;
}
