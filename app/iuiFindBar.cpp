#include "iuiFindBar.h"

#include "cmcGTex.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString TextKey = QStringLiteral("GI_AppInd_Find");
enum Line {
    FindLabel = 0,
    ReplaceLabel = 1,
    AllSheets = 2,
    Count = 3,
    NoMatch = 4,
    NextButton = 5,
    PreviousButton = 6,
    ReplaceButton = 7,
    ReplaceAllButton = 8,
    CloseButton = 9,
};

} // namespace

iuiFindBar::iuiFindBar(cmcGTex& texts, Host host, QWidget* parent)
    : QWidget(parent), m_texts(texts), m_host(std::move(host)) {
    setObjectName(QStringLiteral("FindBar"));
    const auto text = [&](int line) { return m_texts.getText(TextKey, line); };
    auto* rows = new QGridLayout(this);
    rows->setContentsMargins(4, 2, 4, 2);
    auto* findLabel = new QLabel(text(FindLabel), this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("FindText"));
    findLabel->setBuddy(m_find);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FindCount"));
    auto* previous = new QPushButton(text(PreviousButton), this);
    auto* next = new QPushButton(text(NextButton), this);
    m_all = new QCheckBox(text(AllSheets), this);
    m_all->setChecked(true);
    auto* replaceLabel = new QLabel(text(ReplaceLabel), this);
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("ReplaceText"));
    replaceLabel->setBuddy(m_replace);
    auto* replace = new QPushButton(text(ReplaceButton), this);
    auto* replaceAllButton = new QPushButton(text(ReplaceAllButton), this);
    auto* close = new QPushButton(text(CloseButton), this);
    // Find on the first line, Replace under it, the two entries one above the other: on one
    // line the bar needs more than a window of 800 pixels has, and its labels were cut off.
    const auto line = [&](int at, std::initializer_list<QWidget*> widgets) {
        int column = 0;
        for (QWidget* w : widgets)
            rows->addWidget(w, at, column++);
    };
    line(0, {findLabel, m_find, m_count, previous, next, m_all});
    line(1, {replaceLabel, m_replace, replace, replaceAllButton});
    rows->setColumnStretch(6, 1); // Close stays at the right end
    rows->addWidget(close, 0, 7);
    m_find->setMinimumWidth(200);
    m_replace->setMinimumWidth(200);
    m_count->setMinimumWidth(
        m_count->fontMetrics().horizontalAdvance(QStringLiteral("000 of 0000")));

    connect(m_find, &QLineEdit::returnPressed, this, [this] { step(1); });
    connect(m_replace, &QLineEdit::returnPressed, this, [this] { replaceCurrent(); });
    connect(m_find, &QLineEdit::textEdited, this, [this] {
        m_hasLast = false;
        m_count->clear();
    });
    connect(m_all, &QCheckBox::toggled, this, [this] { m_count->clear(); });
    connect(next, &QPushButton::clicked, this, [this] { step(1); });
    connect(previous, &QPushButton::clicked, this, [this] { step(-1); });
    connect(replace, &QPushButton::clicked, this, [this] { replaceCurrent(); });
    connect(replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(close, &QPushButton::clicked, this, [this] { closeBar(); });
}

void iuiFindBar::closeBar() {
    hide();
    emit closed();
}

void iuiFindBar::open() {
    show();
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
}

QString iuiFindBar::findText() const {
    return m_find->text();
}

QString iuiFindBar::countText() const {
    return m_count->text();
}

void iuiFindBar::setAllSheets(bool all) {
    m_all->setChecked(all);
}

void iuiFindBar::setReplaceText(const QString& text) {
    m_replace->setText(text);
}

const imcFindMatch* iuiFindBar::current() const {
    return m_current >= 0 && m_current < int(m_matches.size()) ? &m_matches[size_t(m_current)]
                                                               : nullptr;
}

void iuiFindBar::search() {
    const QString sheet = m_all->isChecked() ? QString() : m_host.sheetInView();
    m_matches = imcFind::all(m_host.image(), m_find->text(), &m_texts, sheet);
    m_current = m_hasLast ? positionOf(m_last) : -1;
}

int iuiFindBar::positionOf(const imcFindMatch& m) const {
    for (size_t i = 0; i < m_matches.size(); ++i) {
        const imcFindMatch& o = m_matches[i];
        if (o.sheet == m.sheet && o.label == m.label && o.index == m.index) return int(i);
    }
    return -1;
}

void iuiFindBar::showCount() {
    if (m_matches.empty())
        m_count->setText(m_texts.getText(TextKey, NoMatch));
    else {
        // "%d of %d": the match, then the count.
        QString text = m_texts.getText(TextKey, Count);
        for (const int n : {m_current + 1, int(m_matches.size())})
            if (const qsizetype at = text.indexOf(QLatin1String("%d")); at >= 0)
                text.replace(at, 2, QString::number(n));
        m_count->setText(text);
    }
}

bool iuiFindBar::step(int direction) {
    search();
    if (m_matches.empty()) {
        m_current = -1;
        m_hasLast = false;
        showCount();
        return false;
    }
    const int n = int(m_matches.size());
    if (m_current < 0)
        m_current = direction > 0 ? 0 : n - 1;
    else
        m_current = (m_current + direction + n) % n;
    m_last = m_matches[size_t(m_current)];
    m_hasLast = true;
    showCount();
    // Enter in the bar goes on from the bar: the keyboard stays in it.
    const bool typing = m_find->hasFocus() || m_replace->hasFocus();
    const bool shown = m_host.show(m_last);
    if (typing) m_find->setFocus(Qt::OtherFocusReason);
    return shown;
}

bool iuiFindBar::replaceCurrent() {
    search();
    const imcFindMatch* m = current();
    // The match on show first; Replace on none goes to the first one.
    if (!m) return step(1);
    const int done = m->replaceable ? m_host.replace({*m}, m_find->text(), m_replace->text()) : 0;
    step(1);
    return done > 0;
}

int iuiFindBar::replaceAll() {
    search();
    std::vector<imcFindMatch> cells;
    for (const imcFindMatch& m : m_matches)
        if (m.replaceable) cells.push_back(m);
    const int done = cells.empty() ? 0 : m_host.replace(cells, m_find->text(), m_replace->text());
    m_hasLast = false;
    search();
    showCount();
    return done;
}

void iuiFindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        closeBar();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        step(-1);
        return;
    }
    QWidget::keyPressEvent(event);
}
