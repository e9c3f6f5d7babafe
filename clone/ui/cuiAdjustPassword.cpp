#include "cuiAdjustPassword.h"

#include "clsDialogButtons.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

namespace {
const QString Stem = QStringLiteral("GI_AppInd_Opt_AdjReadPwd");

// Takes at most MaxLength characters, counted as Characters() counts them.
class CharacterLimit : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return cuiAdjustPassword::Characters(input).size() <= cuiAdjustPassword::MaxLength
                   ? Acceptable
                   : Invalid;
    }
};
} // namespace

QStringList cuiAdjustPassword::Characters(const QString& word) {
    const QString text = word.normalized(QString::NormalizationForm_C);
    QStringList characters;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
        characters << text.mid(start, end - start);
        start = end;
    }
    return characters;
}

QLineEdit* cuiAdjustPassword::NewEntry(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setEchoMode(QLineEdit::Password);
    edit->setValidator(new CharacterLimit(edit));
    // Echoed as "*" whatever the style's own password character is.
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    return edit;
}

bool cuiAdjustPassword::Matches(const QString& entry, const QString& storedWord) {
    const QStringList typed = Characters(entry);
    if (typed.isEmpty() || typed.size() > MaxLength) return false;
    return typed == Characters(storedWord).mid(0, MaxLength);
}

cuiAdjustPassword::cuiAdjustPassword(const QString& storedWord, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_stored(storedWord) {
    cmcGTex& t = cmcGTex::mainTable();
    setWindowTitle(t.getText(Stem + QStringLiteral("_Caption")));
    setModal(true);

    auto* notice = new QLabel(t.getTextBlock(Stem + QStringLiteral("_Notice")));
    m_edit = NewEntry(this);
    notice->setBuddy(m_edit);
    const QFontMetrics fm(font());
    m_edit->setFixedSize(fm.horizontalAdvance(QStringLiteral("WWWWWWWWWWWW")),
                         std::max(m_edit->sizeHint().height(), fm.height() + fm.height() / 2));

    const clsDialogButtons row = clsDialogButtons::make(this, t, Stem);
    m_ok = row.ok;
    m_cancel = row.cancel;
    connect(m_ok, &QPushButton::clicked, this, [this] { tryAccept(); });
    QHBoxLayout* buttons = row.row;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
    layout->addWidget(m_edit, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_edit->setFocus();

    if (owner) {
        adjustSize();
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void cuiAdjustPassword::tryAccept() {
    const bool match = Matches(m_edit->text(), m_stored);
    // Nothing of the entry stays in the dialog.
    m_edit->clear();
    if (match) {
        accept();
        return;
    }
    cmcGTex& t = cmcGTex::mainTable();
    cmcPrompt::tell(t.getTextBlock(Stem + QStringLiteral("_Error")),
                    t.getText(QStringLiteral("GI_Sys_AppTitle")), cmcPromptIcon::Error);
    reject();
}
