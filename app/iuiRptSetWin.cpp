#include "iuiRptSetWin.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "iuiSh_MultiTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

iuiRptSetWin::iuiRptSetWin(cmcGTex& table, QWidget* owner, const QString& key,
                           const QString& arguments)
    : cuiSheetWindow(
          [&](QWidget* self) {
              auto* sheet = new iuiSh_MultiTable(self, table);
              sheet->setKey(key);
              sheet->setCommand(key + QLatin1Char(',') + arguments);
              sheet->SetArguments(arguments);
              return sheet;
          },
          table, owner) {
    setObjectName(QStringLiteral("RepeaterSettings"));
    setWindowTitle(table.getText(QStringLiteral("GI_AppInd_ChTextSheet")));

    const QString okCancel = QStringLiteral("GI_AppInd_Button_OkCancel");
    const QString loadSave = QStringLiteral("GI_AppInd_Button_LoadSave");
    m_note = new QLabel(table.getText(QStringLiteral("GI_AppInd_chSheet_Usable_Font")));
    m_load = new QPushButton(table.getText(loadSave, 0));
    m_save = new QPushButton(table.getText(loadSave, 1));
    m_ok = new QPushButton(table.getText(okCancel, 0));
    m_cancel = new QPushButton(table.getText(okCancel, 1));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 4, 8, 8);
    buttons->addWidget(m_note, 1);
    buttons->addWidget(m_load);
    buttons->addWidget(m_save);
    buttons->addSpacing(12);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    // Enter belongs to the grid (it opens and commits the editor), never to a button.
    for (QPushButton* b : {m_load, m_save, m_ok, m_cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
    QSize size(std::max(width(), buttons->sizeHint().width()),
               height() + buttons->sizeHint().height());
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() * 9 / 10);
    resize(size);
    if (owner) move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));

    connect(m_load, &QPushButton::clicked, this, [this] {
        if (m_onLoad) m_onLoad();
    });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (m_onSave) m_onSave();
    });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] {
        if (m_onCancel) m_onCancel();
    });
    // The title tells the site and the rows it has left.
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_ListChanged);
}

iuiSh_MultiTable* iuiRptSetWin::siteSheet() const {
    return static_cast<iuiSh_MultiTable*>(sheet());
}
