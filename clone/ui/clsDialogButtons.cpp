#include "clsDialogButtons.h"

#include "cmcGTex.h"

#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>

clsDialogButtons clsDialogButtons::make(QDialog* dialog, cmcGTex& t, const QString& stem) {
    clsDialogButtons b;
    const QFontMetrics fm(dialog->font());
    b.ok = new QPushButton(t.getText(stem + QStringLiteral("_Buttons"), 0));
    b.cancel = new QPushButton(t.getText(stem + QStringLiteral("_Buttons"), 1));
    const int width = fm.horizontalAdvance(t.getText(stem + QStringLiteral("_SizeOfButtons"), 0));
    for (QPushButton* button : {b.ok, b.cancel}) {
        button->setMinimumWidth(width);
        button->setMinimumHeight(2 * fm.height());
    }
    b.ok->setDefault(true);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    b.row = new QHBoxLayout;
    b.row->addStretch(1);
    b.row->addWidget(b.ok);
    b.row->addWidget(b.cancel);
    return b;
}
