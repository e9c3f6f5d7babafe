#pragma once
// The application's prompt service: every question and notice from the layers below is
// shown as a modal message box over the active window.

#include "cmcPrompt.h"

#include <QMessageBox>

class cuiMessageBoxPrompt : public cmcPromptService {
  public:
    int ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
            cmcPromptIcon icon) override;
    void tell(const QString& text, const QString& caption, cmcPromptIcon icon) override;
    int askWithCheck(const QString& text, const QString& caption, cmcPromptButtons buttons,
                     cmcPromptIcon icon, const QString& checkText, bool* checked) override;
    int choose(const QString& text, const QString& caption, const QStringList& items,
               int current) override;
    int askButtons(const QString& text, const QString& caption, const QStringList& buttons,
                   cmcPromptIcon icon) override;

    static QMessageBox::Icon boxIcon(cmcPromptIcon icon);
    static QMessageBox::StandardButtons boxButtons(cmcPromptButtons buttons);
    // The answer code of a pressed button.
    static int answerOf(QMessageBox::StandardButton button);
};
