#pragma once
// Test doubles for the two services that keep the core testable: a prompt service that
// records every text and answers from a queue, and a guard that turns the fatal stop into
// an exception (cmcFatalError) for the lifetime of the guard.

#include "cmcFatal.h"
#include "cmcPrompt.h"

#include <QList>
#include <QString>

class ScriptedPrompt : public cmcPromptService {
  public:
    struct Entry {
        QString text;
        QString caption;
        bool question = false;
        cmcPromptButtons buttons = cmcPromptButtons::Ok;
        cmcPromptIcon icon = cmcPromptIcon::None;
        QString checkText; // a question's check box, if it had one
        QStringList items; // the items of a choice
    };

    // Installs itself; uninstalls in the destructor.
    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Answers given to the next questions, in order; when none is queued, questions are
    // answered with defaultAnswer.
    void queueAnswer(int answer) { m_answers.append(answer); }
    int defaultAnswer = PA_Ok;

    int ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
            cmcPromptIcon icon) override;
    void tell(const QString& text, const QString& caption, cmcPromptIcon icon) override;
    // Records the check box's text and sets it to checkAnswer when one is queued.
    int askWithCheck(const QString& text, const QString& caption, cmcPromptButtons buttons,
                     cmcPromptIcon icon, const QString& checkText, bool* checked) override;
    void queueCheck(bool on) { m_checks.append(on); }
    // Records the choice offered (its items in Entry::items) and answers with the next
    // queued choice, or the offered current item when none is queued (-1 cancels).
    int choose(const QString& text, const QString& caption, const QStringList& items,
               int current) override;
    void queueChoice(int position) { m_choices.append(position); }

    const QList<Entry>& entries() const { return m_entries; }
    QStringList texts() const;
    void clear() { m_entries.clear(); }

  private:
    QList<Entry> m_entries;
    QList<int> m_answers;
    QList<bool> m_checks;
    QList<int> m_choices;
    cmcPromptService* m_previous = nullptr;
};

// While alive, a fatal stop throws cmcFatalError instead of ending the process, and shows
// nothing.
class FatalGuard {
  public:
    FatalGuard();
    ~FatalGuard();
};
