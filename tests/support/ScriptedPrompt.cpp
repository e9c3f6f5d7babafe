#include "ScriptedPrompt.h"

ScriptedPrompt::ScriptedPrompt() {
    m_previous = cmcPrompt::installed();
    cmcPrompt::install(this);
}

ScriptedPrompt::~ScriptedPrompt() {
    cmcPrompt::install(nullptr);
}

int ScriptedPrompt::ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
                        cmcPromptIcon icon) {
    m_entries.append(Entry{text, caption, true, buttons, icon, QString(), QStringList()});
    return m_answers.isEmpty() ? defaultAnswer : m_answers.takeFirst();
}

int ScriptedPrompt::askWithCheck(const QString& text, const QString& caption,
                                 cmcPromptButtons buttons, cmcPromptIcon icon,
                                 const QString& checkText, bool* checked) {
    const int answer = ask(text, caption, buttons, icon);
    m_entries.last().checkText = checkText;
    if (checked && !m_checks.isEmpty()) *checked = m_checks.takeFirst();
    return answer;
}

int ScriptedPrompt::choose(const QString& text, const QString& caption, const QStringList& items,
                           int current) {
    const Entry e{text,      caption, true, cmcPromptButtons::OkCancel, cmcPromptIcon::Question,
                  QString(), items};
    m_entries.append(e);
    return m_choices.isEmpty() ? current : m_choices.takeFirst();
}

void ScriptedPrompt::tell(const QString& text, const QString& caption, cmcPromptIcon icon) {
    m_entries.append(
        Entry{text, caption, false, cmcPromptButtons::Ok, icon, QString(), QStringList()});
}

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const auto& e : m_entries)
        out.append(e.text);
    return out;
}

FatalGuard::FatalGuard() {
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) { throw cmcFatalError(text); });
}

FatalGuard::~FatalGuard() {
    cmcFatal::setEndingHook({});
    cmcFatal::setShowMessage(true);
}
