// The controller's print commands: the sheet on screen, or every sheet of the tree.

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiMainTree.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

cuiPrinter& indMain::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<cuiPrinter>(mainForm(), cmcGTex::mainTable());
        m_printer->setFontSizeStore([this](int points) { m_env.fontSizePrinter = points; });
    }
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
