// The language selection: a window listing the languages of the language list; picking
// one re-opens the main and help overlays in that language and rebuilds everything built
// from them (menu, tool bar, tree and the sheet shown); Qt's own texts follow.

#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcOverlayFiles.h"
#include "cmcPrompt.h"
#include "cuiQtTranslation.h"
#include "cuiSheetWindow.h"
#include "indEnviron.h"
#include "indMain.h"
#include "iuiSh_MultiTable.h"

#include <QMainWindow>

namespace {
const QString kLanguageSheet = QStringLiteral("GI_Sheet_LanguageSel");
}

void indMain::OpenLanguageWindow() {
    if (m_languageWindow) {
        m_languageWindow->raise();
        m_languageWindow->activateWindow();
        return;
    }
    cmcGTex& table = cmcGTex::mainTable();
    auto* window = new cuiSheetWindow(
        [&table, language = m_env.language](QWidget* owner) {
            auto* sheet = new iuiSh_MultiTable(owner, table);
            sheet->setKey(kLanguageSheet);
            sheet->setCommand(kLanguageSheet + QStringLiteral(",Y"));
            sheet->SetArguments(QStringLiteral("Y"));
            sheet->setHosted(true); // a click picks, hovering selects
            // It opens on the language in use, which is also marked.
            sheet->setTarget(CL_Langage_Select, language);
            return sheet;
        },
        table, m_form);
    window->setObjectName(QStringLiteral("Language"));
    m_languageWindow = window;
    window->show();
}

bool indMain::LanguageCell(cmcCellRequest& r) {
    if (r.label != CL_Language_Text && r.label != CL_Langage_Select) return false;
    cmcOverlayFiles overlays;
    if (r.index < 0 || r.index >= overlays.languageCount()) {
        r.fl.display.clear();
        return true;
    }
    r.fl.display = overlays.languageName(r.index);
    r.setValue(r.index);
    if (r.label == CL_Langage_Select) {
        // The language in use is marked; Enter or a click chooses the row's language.
        if (r.index == m_env.language) r.fl.style = cuiFlector::StMark;
        if ((r.fl.keyMode && r.fl.key == cuiFlector::KeyEnter) || r.execute)
            SelectLanguage(r.index);
    }
    return true;
}

// The damaged key of a language's overlays, checked before the editor switches to them, or
// empty when they hold everything.
QString indMain::CheckLanguage(int language) {
    return cmcOverlayFiles().damagedKey(language);
}

void indMain::SelectLanguage(int language) {
    if (m_languageWindow) m_languageWindow->close();
    // A damaged overlay is refused: the editor stays in the language it has.
    const QString damaged = CheckLanguage(language);
    if (!damaged.isEmpty()) {
        cmcPrompt::tell(
            QStringLiteral("The language files are damaged: '%1' was not found.").arg(damaged),
            appTitle(), cmcPromptIcon::Error);
        return;
    }
    int chosen = language;
    cmcOverlayFiles().selectLanguage(chosen);
    m_env.language = chosen;
    cuiQtTranslation::applyFromMainTable();
    // Everything read from the main table is read again.
    cmcFCache::instance().clear();
    BuildMenus();
    BuildTree();
    UpdateCaption();
    if (auto* ev = cmcEvMan::instance()) {
        ev->send(EV_MenuRefresh);
        ev->send(EV_Controller);
    }
}
