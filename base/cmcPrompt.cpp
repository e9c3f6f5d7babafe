#include "cmcPrompt.h"

#include <cstdio>

namespace {

// Used when nothing else is installed (command-line tools): texts go to standard error and
// every question takes its first button's answer.
class ConsolePrompt : public cmcPromptService {
  public:
    int ask(const QString& text, const QString& caption, cmcPromptButtons buttons,
            cmcPromptIcon) override {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
        switch (buttons) {
        case cmcPromptButtons::Ok:
        case cmcPromptButtons::OkCancel:
            return PA_Ok;
        case cmcPromptButtons::YesNo:
        case cmcPromptButtons::YesNoCancel:
            return PA_Yes;
        case cmcPromptButtons::RetryCancel:
            return PA_Retry;
        }
        return PA_Ok;
    }
    void tell(const QString& text, const QString& caption, cmcPromptIcon) override {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
    }
};

ConsolePrompt g_console;
cmcPromptService* g_service = nullptr;

} // namespace

namespace cmcPrompt {

void install(cmcPromptService* service) {
    g_service = service;
}

cmcPromptService* installed() {
    return g_service ? g_service : &g_console;
}

int ask(const QString& text, const QString& caption, cmcPromptButtons buttons, cmcPromptIcon icon) {
    return installed()->ask(text, caption, buttons, icon);
}

void tell(const QString& text, const QString& caption, cmcPromptIcon icon) {
    installed()->tell(text, caption, icon);
}

int askWithCheck(const QString& text, const QString& caption, cmcPromptButtons buttons,
                 cmcPromptIcon icon, const QString& checkText, bool* checked) {
    return installed()->askWithCheck(text, caption, buttons, icon, checkText, checked);
}

int choose(const QString& text, const QString& caption, const QStringList& items, int current) {
    return installed()->choose(text, caption, items, current);
}

int askButtons(const QString& text, const QString& caption, const QStringList& buttons,
               cmcPromptIcon icon) {
    return installed()->askButtons(text, caption, buttons, icon);
}

} // namespace cmcPrompt
