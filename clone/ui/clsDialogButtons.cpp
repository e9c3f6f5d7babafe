#include "clsDialogButtons.h"

#include "clsLabelFor.h"
#include "cmcGTex.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// Labels the dialog's controls when it first shows, whatever order they were made in.
class LabelsAtShow : public QObject {
  public:
    LabelsAtShow(QDialog* dialog, const clsDialogButtons& buttons)
        : QObject(dialog), m_dialog(dialog), m_buttons(buttons) {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_dialog || event->type() != QEvent::Show) return false;
        m_dialog->removeEventFilter(this);
        QString taken;
        for (const QPushButton* button : {m_buttons.ok, m_buttons.cancel})
            taken += clsLabelFor::mnemonicOf(button->text());
        for (QLabel* label : m_dialog->findChildren<QLabel*>())
            if (label->buddy()) clsLabelFor::link(label, label->buddy(), taken);
        for (QAbstractItemView* list : m_dialog->findChildren<QAbstractItemView*>())
            if (list->accessibleName().isEmpty()) list->setAccessibleName(m_dialog->windowTitle());
        return false;
    }

  private:
    QDialog* m_dialog;
    clsDialogButtons m_buttons;
};

} // namespace

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
    new LabelsAtShow(dialog, b);
    return b;
}
