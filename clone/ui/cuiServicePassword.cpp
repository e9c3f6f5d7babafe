#include "cuiServicePassword.h"

#include "clsDialogButtons.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiAdjustPassword.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Stem = QStringLiteral("GI_AppInd_Opt_SvcPwd");

void tellError(const QString& key) {
    cmcGTex& t = cmcGTex::mainTable();
    cmcPrompt::tell(t.getTextBlock(Stem + key), t.getText(QStringLiteral("GI_Sys_AppTitle")),
                    cmcPromptIcon::Error);
}
} // namespace

QLineEdit* cuiServicePassword::passwordEdit() {
    return cuiAdjustPassword::NewEntry(this);
}

cuiServicePassword::cuiServicePassword(const QString& storedWord, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_stored(storedWord) {
    cmcGTex& t = cmcGTex::mainTable();
    setWindowTitle(t.getText(Stem + QStringLiteral("_Caption")));
    setModal(true);

    auto* notice = new QLabel(t.getTextBlock(Stem + QStringLiteral("_Notice")));
    auto* fields = new QFormLayout;
    const QString labels = Stem + QStringLiteral("_Labels");
    if (!m_stored.isEmpty()) {
        m_current = passwordEdit();
        fields->addRow(t.getText(labels, 0), m_current);
    }
    m_new = passwordEdit();
    m_repeat = passwordEdit();
    fields->addRow(t.getText(labels, 1), m_new);
    fields->addRow(t.getText(labels, 2), m_repeat);

    const clsDialogButtons row = clsDialogButtons::make(this, t, Stem);
    m_ok = row.ok;
    m_cancel = row.cancel;
    connect(m_ok, &QPushButton::clicked, this, [this] { tryAccept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
    layout->addLayout(fields);
    layout->addLayout(row.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    (m_current ? m_current : m_new)->setFocus();

    if (owner) {
        adjustSize();
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void cuiServicePassword::tryAccept() {
    if (m_current && !cuiAdjustPassword::Matches(m_current->text(), m_stored)) {
        m_current->clear();
        tellError(QStringLiteral("_WrongCurrent"));
        m_current->setFocus();
        return;
    }
    if (m_new->text() != m_repeat->text()) {
        m_new->clear();
        m_repeat->clear();
        tellError(QStringLiteral("_Differ"));
        m_new->setFocus();
        return;
    }
    m_word = m_new->text().normalized(QString::NormalizationForm_C);
    // Nothing of the entries stays in the dialog.
    for (QLineEdit* edit : {m_current, m_new, m_repeat})
        if (edit) edit->clear();
    accept();
}
