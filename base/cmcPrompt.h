#pragma once
// The prompt service: every message box that code below the application shows (file
// errors, clone errors, confirmations) goes through this small interface. The application
// installs a QMessageBox implementation, tests a scripted one, command-line tools one that
// writes to standard error. Without an installed service, texts go to standard error and
// questions take their default answer.

#include <QString>
#include <QStringList>

// Answers, numbered as the message-box results that the rest of the program compares with.
enum cmcPromptAnswer : int {
    PA_None = 0,
    PA_Ok = 1,
    PA_Cancel = 2,
    PA_Abort = 3,
    PA_Retry = 4,
    PA_Ignore = 5,
    PA_Yes = 6,
    PA_No = 7,
};

enum class cmcPromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class cmcPromptIcon { None, Information, Question, Warning, Error };

class cmcPromptService {
  public:
    virtual ~cmcPromptService() = default;
    // Asks a question; returns the answer (one of cmcPromptAnswer).
    virtual int ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
                    cmcPromptIcon icon) = 0;
    // Tells something; returns when the user has acknowledged it.
    virtual void tell(const QString& text, const QString& caption, cmcPromptIcon icon) = 0;
    // Asks a question with a check box under it: *checked is its state when shown and the
    // user's choice afterwards. A service without check boxes asks without one and leaves
    // *checked as it was.
    virtual int askWithCheck(const QString& text, const QString& caption, cmcPromptButtons buttons,
                             cmcPromptIcon icon, const QString& checkText, bool* checked) {
        (void)checkText, (void)checked;
        return ask(text, caption, buttons, icon);
    }
    // Asks the user to pick one of items (current is offered first); returns its position,
    // or -1 when the user cancels. A service that cannot offer a choice takes current.
    virtual int choose(const QString& text, const QString& caption, const QStringList& items,
                       int current) {
        (void)text, (void)caption;
        return items.isEmpty() ? -1 : qBound(0, current, int(items.size()) - 1);
    }
    // Asks a question answered by one of several buttons with texts of their own ("Save over
    // it", "Save As...", "Cancel"); returns the button's position. The first button is the
    // default; closing the box answers with the last one. A service without such buttons
    // offers the texts as a choice.
    virtual int askButtons(const QString& text, const QString& caption, const QStringList& buttons,
                           cmcPromptIcon icon) {
        (void)icon;
        const int pick = choose(text, caption, buttons, 0);
        return pick < 0 ? int(buttons.size()) - 1 : pick;
    }
};

namespace cmcPrompt {

// Installs the service used from now on (not owned); nullptr restores the console default.
void install(cmcPromptService* service);
cmcPromptService* installed();

int ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
        cmcPromptIcon icon = cmcPromptIcon::Question);
void tell(const QString& text, const QString& caption,
          cmcPromptIcon icon = cmcPromptIcon::Information);
int askWithCheck(const QString& text, const QString& caption, cmcPromptButtons buttons,
                 cmcPromptIcon icon, const QString& checkText, bool* checked);
int choose(const QString& text, const QString& caption, const QStringList& items, int current = 0);
int askButtons(const QString& text, const QString& caption, const QStringList& buttons,
               cmcPromptIcon icon = cmcPromptIcon::Question);

} // namespace cmcPrompt
