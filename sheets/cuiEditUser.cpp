#include "cuiEditUser.h"

#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiColor.h"

namespace {

QString message(const QString& key) {
    return cmcFCache::instance().table().getTextBlock(key);
}

QString caption() {
    return cmcFCache::instance().table().getText(QStringLiteral("GI_Sys_AppTitle"));
}

} // namespace

bool cuiEditUser::confirm(const QString& key) {
    return cmcPrompt::ask(message(key), caption(), cmcPromptButtons::OkCancel,
                          cmcPromptIcon::Warning) == PA_Ok;
}

void cuiEditUser::tell(const QString& key, const QStringList& details) {
    const QString text = (QStringList(message(key)) << details).join(u'\n');
    cmcPrompt::tell(text, caption(), cmcPromptIcon::Error);
}

void cuiEditUser::report(const cmcEditReport& r) {
    cmcEvMan* ev = cmcEvMan::instance();
    if (!ev) return;
    if (r.repaintAll || (r.repaintFirst >= 0 && r.repaintLast != r.repaintFirst))
        ev->post(EV_RepaintAll);
    else if (r.repaintFirst >= 0)
        ev->post(cmcEvRepaint{EV_RepaintIndex, 0, 0, r.repaintFirst});
    const QString status = r.statusKey.isEmpty() ? r.statusText : message(r.statusKey);
    if (!status.isEmpty())
        ev->post(cmcEvStatusText{status, cuiColor::toQColor(cuiColor::clWindowText).rgb(),
                                 cuiColor::toQColor(cuiColor::clBtnFace).rgb()});
}
