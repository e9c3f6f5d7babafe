// The repeater settings window and its repeater-data files: the repeater part of the
// image (0x0000..0x00D6) written as a clone file of map revision 1, and read back into a
// copy of the working image, which takes the repeater block over only when the whole file
// passed every check.

#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiFileDialogs.h"
#include "imcRepeaterSites.h"
#include "indCloneFile.h"
#include "indMain.h"
#include "iuiRptSetWin.h"

#include <QFileInfo>

namespace {

const QString DialogKey = QStringLiteral("GI_Sys_Dialog_FOpenRpt");

QString dialogText(int line) {
    return cmcGTex::mainTable().getText(DialogKey, line);
}

} // namespace

void indMain::OpenRepeaterWindow() {
    if (m_repeaterWindow) {
        m_repeaterWindow->raise();
        m_repeaterWindow->activateWindow();
        return;
    }
    CommitPendingEdit();
    auto* window = new iuiRptSetWin(cmcGTex::mainTable(), m_form);
    window->onLoad([this] { ImportRepeater(); });
    window->onSave([this] { ExportRepeater(); });
    // Cancel puts the repeater part back as it was when the window opened. The window is
    // not modal: whatever was edited in the other sheets meanwhile stays. A load marks the
    // document modified even when it brought nothing new; after Cancel the document is
    // modified only if it differs from what was saved.
    window->onCancel([this, opened = m_working] {
        CommitPendingEdit();
        cmcEeprom kept(m_working);
        imcRepeaterSites::takeOver(kept, opened);
        if (kept != m_working) {
            m_working = kept;
            m_doc.breakMerge();
            ImageChanged(cmcGTex::mainTable().getText(QStringLiteral("GI_AppInd_RptCancelStep")));
        }
        RefreshViews();
    });
    m_repeaterWindow = window;
    window->show();
}

bool indMain::ImportRepeater() {
    CommitPendingEdit();
    QWidget* parent = m_repeaterWindow ? m_repeaterWindow.data() : m_form.data();
    const QString path =
        cuiFileDialogs::current().openFile(parent, dialogText(0), dialogText(1), m_currentDir);
    if (path.isEmpty()) return false;
    cmcEeprom copy(m_working);
    // A failed read leaves the image as it was.
    if (const int code = indCloneFile::readRepeater(path, copy); code != ICF_Ok) {
        tellFileError(code);
        return false;
    }

    const QFileInfo info(path);
    m_currentDir = info.absolutePath();
    m_repeaterFile = info.absoluteFilePath();
    rememberExchange(path);
    const int before = imcRepeaterSites::entryCount(m_working);
    imcRepeaterSites::takeOver(m_working, copy);
    const int after = imcRepeaterSites::entryCount(m_working);
    cmcEvMan* ev = cmcEvMan::instance();
    if (ev && after > before) ev->send(cmcEvRowsAdded{after - before});
    if (ev && after < before) ev->send(cmcEvRowsRemoved{before - after});
    m_doc.breakMerge();
    ImageChanged(cmcGTex::mainTable()
                     .getText(QStringLiteral("GI_AppInd_RptImportStep"))
                     .replace(QLatin1String("%s"), info.fileName()));
    MarkModified();
    if (ev) {
        ev->send(EV_RepaintAll);
        ev->send(EV_ListChanged);
        ev->send(EV_MenuRefresh);
    }
    return true;
}

bool indMain::ExportRepeater() {
    CommitPendingEdit();
    QWidget* parent = m_repeaterWindow ? m_repeaterWindow.data() : m_form.data();
    const QString proposed = m_repeaterFile.isEmpty() ? QStringLiteral("Untitled")
                                                      : QFileInfo(m_repeaterFile).fileName();
    const QString filter = dialogText(1);
    const QString path = exchangeTarget([&] {
        return cuiFileDialogs::withDefaultSuffix(
            cuiFileDialogs::current().saveFile(parent, dialogText(0), filter, m_currentDir,
                                               proposed),
            filter);
    });
    if (path.isEmpty()) return false;
    if (const int code = indCloneFile::saveRepeater(path, m_working); code != ICF_Ok) {
        tellFileError(code);
        return false;
    }
    const QFileInfo info(path);
    m_currentDir = info.absolutePath();
    m_repeaterFile = info.absoluteFilePath();
    rememberExchange(path);
    return true;
}

// The repeater table's cells: the rows of the site's table, none of them in use in this
// radio, so every row shows empty and takes no input.
bool indMain::RepeaterCell(cmcCellRequest& r) {
    if (r.label != CL_Rpt_No) return false;
    r.blank = imcRepeaterSites::usedRows(m_working, 0) <= r.index;
    r.fl.display = QString();
    return true;
}
