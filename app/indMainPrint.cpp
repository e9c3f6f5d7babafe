// The controller's print commands: the sheet on screen, or every sheet of the tree.

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"
#include "cuiMainTree.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "imcRowUse.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

cuiPrinter& indMain::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<cuiPrinter>(mainForm(), cmcGTex::mainTable());
        m_printer->setFontSizeStore([this](int points) { m_env.fontSizePrinter = points; });
        // Without a printer the same pages can go into a PDF file.
        m_printer->setPdfFallback([this](const QStringList& commands) { ExportPdfOf(commands); });
        // The preview's Setting can leave out the list rows not in use.
        m_printer->setRowUse([this](int32_t category, int32_t label, int32_t index) {
            return int(imcRowUse::of(m_working, category, label, index));
        });
    }
    m_printer->setDocumentName(m_doc.fileName().isEmpty() ? QString()
                                                          : QFileInfo(m_doc.fileName()).fileName());
    m_printer->setOwner(mainForm());
    m_printer->setRevision(m_env.revision);
    m_printer->setFontSize(m_env.fontSizePrinter);
    return *m_printer;
}

void indMain::PrintCurrent() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
    cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
    if (!sheet) return;
    printer().Print(false, sheet->command());
}

QStringList indMain::treeSheetCommands() const {
    QStringList list;
    if (cuiMainTree* t = tree()) {
        for (QTreeWidgetItemIterator it(t->view()); *it; ++it) {
            // Nodes without a sheet are skipped; sheets not to be printed give no pages.
            const QString command = t->CommandOf(*it);
            if (!command.isEmpty()) list.append(command);
        }
    }
    return list;
}

bool indMain::ExportPdf(bool all) {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
    if (all) return ExportPdfOf(treeSheetCommands());
    cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
    return sheet && ExportPdfOf({sheet->command()});
}

bool indMain::ExportPdfOf(const QStringList& commands) {
    if (commands.isEmpty()) return false;
    cmcGTex& t = cmcGTex::mainTable();
    const QString key = QStringLiteral("GI_Mess_ExportPdf");
    const QString filter = t.getText(key, 1);
    const QString proposed =
        (m_doc.fileName().isEmpty() ? QStringLiteral("QX-T5200")
                                    : QFileInfo(m_doc.fileName()).completeBaseName()) +
        QStringLiteral(".pdf");
    const QString path = cuiFileDialogs::withDefaultSuffix(
        cuiFileDialogs::current().saveFile(m_form, t.getText(key, 0), filter, m_currentDir,
                                           proposed),
        filter);
    if (path.isEmpty()) return false;
    const int pages = printer().exportPdf(commands, path);
    if (pages <= 0) {
        cmcPrompt::tell(pages < 0 ? t.getText(key, 2).arg(QDir::toNativeSeparators(path))
                                  : t.getText(key, 3),
                        appTitle(), cmcPromptIcon::Error);
        return false;
    }
    m_currentDir = QFileInfo(path).absolutePath();
    return true;
}

void indMain::PrintAll() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
    cuiPrinter& p = printer();
    QStringList& list = p.printList();
    list.clear();
    if (cuiMainTree* t = tree()) {
        for (QTreeWidgetItemIterator it(t->view()); *it; ++it) {
            // Nodes without a sheet are skipped; sheets not to be printed give no pages.
            const QString command = t->CommandOf(*it);
            if (!command.isEmpty()) list.append(command);
        }
    }
    p.Print(true, QString());
}
