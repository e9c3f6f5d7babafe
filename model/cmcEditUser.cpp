#include "cmcEditUser.h"

#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"

namespace {

uint32_t s_textColour = 0xFF000000u;
uint32_t s_backColour = 0xFFF0F0F0u;

QString message(const QString& key) {
    return cmcFCache::instance().table().getTextBlock(key);
}

QString caption() {
    return cmcFCache::instance().table().getText(QStringLiteral("GI_Sys_AppTitle"));
}

class StandardUser : public cmcEditUser {
  public:
    bool confirm(const QString& key) override {
        return cmcPrompt::ask(message(key), caption(), cmcPromptButtons::OkCancel,
                              cmcPromptIcon::Warning) == PA_Ok;
    }
    void tell(const QString& key, const QStringList& details) override {
        const QString text = (QStringList(message(key)) << details).join(u'\n');
        cmcPrompt::tell(text, caption(), cmcPromptIcon::Error);
    }
    void report(const cmcEditReport& r) override {
        cmcEvMan* ev = cmcEvMan::instance();
        if (!ev) return;
        if (r.repaintAll || (r.repaintFirst >= 0 && r.repaintLast != r.repaintFirst))
            ev->post(EV_RepaintAll);
        else if (r.repaintFirst >= 0)
            ev->post(cmcEvRepaint{EV_RepaintIndex, 0, 0, r.repaintFirst});
        const QString status = r.statusKey.isEmpty() ? r.statusText : message(r.statusKey);
        if (!status.isEmpty()) ev->post(cmcEvStatusText{status, s_textColour, s_backColour});
    }
};

} // namespace

cmcEditUser& cmcEditUser::standard() {
    static StandardUser user;
    return user;
}

void cmcEditUser::setStatusColours(uint32_t text, uint32_t background) {
    s_textColour = text;
    s_backColour = background;
}
