#include "cuiSheetDialog.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiSheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

cuiSheetDialog::cuiSheetDialog(const QString& key, const QString& arguments, cmcGTex& table,
                               QWidget* owner)
    : cuiSheetWindow(
          [&](QWidget* self) {
              auto* sheet = new cuiSheet(self, table);
              sheet->setKey(key);
              sheet->setCommand(arguments.isEmpty() ? key : key + QLatin1Char(',') + arguments);
              sheet->SetArguments(arguments);
              return sheet;
          },
          table, owner) {
    m_ok = new QPushButton(table.getText(QStringLiteral("GI_AppInd_Button_OkCancel"), 0));
    m_update = new QPushButton(table.getText(QStringLiteral("GI_AppInd_Update")));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(5, 5, 5, 5);
    buttons->setSpacing(5);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_update);
    // Enter belongs to the grid (it opens and commits the editor), never to a button.
    for (QPushButton* b : {m_ok, m_update}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
    QSize size(std::max(width(), buttons->sizeHint().width()),
               height() + buttons->sizeHint().height());
    if (const QScreen* shown = owner ? owner->screen() : screen())
        size = size.boundedTo(shown->availableGeometry().size());
    resize(size);
    if (owner) move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_update, &QPushButton::clicked, this, [this] {
        if (m_onUpdate) {
            m_onUpdate();
        } else if (auto* ev = cmcEvMan::instance()) {
            ev->send(EV_RepaintAll);
        }
    });
}
