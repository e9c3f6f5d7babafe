// File > Compare With: the document against the file on disk, the last image read from the
// transceiver, or a clone file chosen, in the radio's own terms (imcImageDiff); the changes
// in their window, where a double click opens the sheet at the cell.

#include "cmcCellDispatch.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "imcImageDiff.h"
#include "indCloneFile.h"
#include "indMain.h"
#include "iuiCompareWin.h"

#include <QFileInfo>

namespace {

const QString TextKey = QStringLiteral("GI_AppInd_Compare");
enum TextLine { Same = 2, OpenTitle = 4, DiskName = 6, ReadName = 7 };

QString text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

} // namespace

bool indMain::CanCompareWith(int source) const {
    switch (source) {
    case CompareDisk:
        return !m_doc.fileName().isEmpty() && QFileInfo(m_doc.fileName()).isFile();
    case CompareLastRead:
        return m_hasLastRead;
    case CompareFile:
        return true;
    default:
        return false;
    }
}

bool indMain::CompareWith(int source) {
    if (!CanCompareWith(source)) return false;
    cmcEeprom other;
    QString name;
    if (source == CompareLastRead) {
        other = m_lastRead;
        name = text(ReadName);
    } else {
        QString path = m_doc.fileName();
        name = text(DiskName);
        if (source == CompareFile) {
            path = cuiFileDialogs::current().openFile(
                m_form, text(OpenTitle),
                cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_Dialog_FOpen"), 1),
                m_currentDir);
            if (path.isEmpty()) return false;
            name = QFileInfo(path).fileName();
        }
        other.SetSize(m_imageSize);
        if (const int code = indCloneFile::open(path, other); code != ICF_Ok) {
            tellFileError(code);
            return false;
        }
    }

    const imcImageDiffResult result = imcImageDiff::compare(other, m_working);
    if (result.equal()) {
        cmcPrompt::tell(text(Same).replace(QLatin1String("%s"), name), appTitle(),
                        cmcPromptIcon::Information);
        return true;
    }
    if (!m_compareWindow) {
        m_compareWindow = new iuiCompareWin(cmcGTex::mainTable(), m_form);
        m_compareWindow->setOpenCell([this](const imcCellChange& c) { ShowChange(c); });
    }
    m_compareWindow->showChanges(result, name, other, m_working);
    return true;
}

QWidget* indMain::compareWindow() const {
    return m_compareWindow.data();
}

bool indMain::ShowChange(const imcCellChange& change) {
    if (change.sheet.isEmpty() || !ShowSheetNow(change.sheet)) return false;
    // Channel groups show one group at a time: the one of the change.
    if (change.group >= 0) {
        cmcCellDispatch::global().setCurrentGroup(change.group);
        if (auto* ev = cmcEvMan::instance()) ev->send(EV_RepaintAll);
    }
    cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
    if (!sheet) return false;
    for (int row = 0; row < sheet->rowCount(); ++row)
        for (int col = 0; col < sheet->colCount(); ++col) {
            const cuiCell& cell = sheet->CellObjectAt(col, row);
            if (cell.selectable && cell.label == change.label && cell.index == change.index) {
                sheet->SelectCell(col, row);
                if (sheet->grid()) sheet->grid()->setFocus();
                return true;
            }
        }
    return false;
}
