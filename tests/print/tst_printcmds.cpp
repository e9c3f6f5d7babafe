// The print commands of the main menu through the printer: Print Current and Print All to
// PDF files, with the printer set-up and the preview answered by the test.

#include "EditorFixture.h"
#include "PdfPrintDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiMainTree.h"
#include "cuiPreview.h"
#include "cuiPrintDialogs.h"
#include "cuiPrinter.h"
#include "cuiSheetHost.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QFile>
#include <QMainWindow>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <memory>

class tst_PrintCmds : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorFixture> m_editor;
    std::unique_ptr<PdfPrintDialogs> m_dialogs;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    QTemporaryDir m_dir;
    int m_beforePrint = 0;
    int m_runs = 0;

    static void countEvent(void* context, const cmcEvent* event) {
        if (event->code == EV_BeforePrint) ++static_cast<tst_PrintCmds*>(context)->m_beforePrint;
    }

  private slots:
    void init() {
        m_prompt = std::make_unique<ScriptedPrompt>();
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-printcmds-"));
        m_editor->form->show();
        QVERIFY(m_editor->main->ShowSheetNow(EditorFixture::channelSheet));
        m_dialogs = std::make_unique<PdfPrintDialogs>();
        m_dialogs->pdfPath = m_dir.filePath(QStringLiteral("print%1.pdf").arg(++m_runs));
        QFile::remove(m_dialogs->pdfPath);
        m_dialogs->owner = m_editor->form.get();
        m_beforePrint = 0;
        m_editor->events->attach(&tst_PrintCmds::countEvent, this);
    }
    void cleanup() {
        if (m_editor) m_editor->events->detach(&tst_PrintCmds::countEvent, this);
        m_dialogs.reset();
        m_editor.reset();
        m_prompt.reset();
    }

    void printItemsAreEnabled() {
        QVERIFY(!(EditorFixture::runMenu(CL_Menu_File_Print_Current, 0, false) &
                  cmcCellObj::F_Disabled));
        QVERIFY(
            !(EditorFixture::runMenu(CL_Menu_File_Print_All, 0, false) & cmcCellObj::F_Disabled));
    }

    void printCurrentPrintsThePreviewedPages() {
        EditorFixture::runMenu(CL_Menu_File_Print_Current, 0, true);
        QVERIFY(m_beforePrint >= 1);
        QCOMPARE(m_dialogs->previews, 1);
        QVERIFY(!m_dialogs->ownerEnabledInPreview);
        QVERIFY(m_dialogs->previewPages > 0);
        // One sheet prints as a job too, with the printing dialog up.
        QVERIFY(m_editor->main->printer().printingDialog());
        QTRY_VERIFY_WITH_TIMEOUT(!m_editor->main->printer().isPrinting(), 60000);
        QCOMPARE(pdfPageObjects(m_dialogs->pdfPath), m_dialogs->previewPages);
        QVERIFY(m_editor->form->isEnabled());
        QVERIFY(!m_editor->main->printer().isPrinting());
        QVERIFY(!m_editor->main->printer().printingDialog());
    }

    void nothingIsPrinted_data() {
        QTest::addColumn<QString>("why");
        QTest::newRow("no printer") << "no printer";
        QTest::newRow("set-up cancelled") << "cancel";
        QTest::newRow("preview left") << "leave";
    }
    void nothingIsPrinted() {
        QFETCH(QString, why);
        m_dialogs->printerInstalled = why != QLatin1String("no printer");
        m_dialogs->setupAccepted = why != QLatin1String("cancel");
        m_dialogs->onPreview = [](cuiPreview&) { return false; };
        if (why == QLatin1String("no printer")) m_prompt->queueAnswer(PA_No);
        EditorFixture::runMenu(CL_Menu_File_Print_Current, 0, true);
        QVERIFY(!QFile::exists(m_dialogs->pdfPath));
        QVERIFY(m_editor->form->isEnabled());
        QVERIFY(!m_editor->main->printer().isPrinting());
        QVERIFY(!m_editor->main->printer().printingDialog());
        QCOMPARE(m_dialogs->setups, why == QLatin1String("no printer") ? 0 : 1);
        QCOMPARE(m_dialogs->previews, why == QLatin1String("leave") ? 1 : 0);
        if (why == QLatin1String("no printer")) {
            // The message offers the PDF export instead; the answer declines it.
            QCOMPARE(m_prompt->entries().size(), 1);
            QVERIFY(m_prompt->entries()[0].text.startsWith(
                cmcGTex::mainTable().getText("GI_Sys_Printer_NoPrinter")));
            QCOMPARE(m_prompt->entries()[0].caption,
                     cmcGTex::mainTable().getText("GI_Sys_AppTitle"));
            QCOMPARE(m_prompt->entries()[0].buttons, cmcPromptButtons::YesNo);
        } else {
            QVERIFY(m_prompt->entries().isEmpty());
        }
    }

    void documentThatCannotStartIsReported_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("current sheet") << int(CL_Menu_File_Print_Current);
        QTest::newRow("all sheets") << int(CL_Menu_File_Print_All);
    }
    void documentThatCannotStartIsReported() {
        QFETCH(int, command);
        // The PDF would go into a folder that does not exist.
        m_dialogs->pdfPath = m_dir.filePath(QStringLiteral("missing/folder/out.pdf"));
        EditorFixture::runMenu(command, 0, true);
        QTRY_VERIFY_WITH_TIMEOUT(!m_editor->main->printer().isPrinting(), 10000);
        QCOMPARE(m_prompt->entries().size(), 1);
        QCOMPARE(m_prompt->entries()[0].text,
                 cmcGTex::mainTable().getText("GI_Sys_Printer_StartError"));
        QCOMPARE(m_prompt->entries()[0].icon, cmcPromptIcon::Error);
        QVERIFY(m_editor->form->isEnabled());
        QVERIFY(!m_editor->main->printer().printingDialog());
        QVERIFY(!QFile::exists(m_dialogs->pdfPath));
    }

    void settingInThePreviewPrintsAndStoresTheSize() {
        m_editor->env->fontSizePrinter = 12;
        int pagesAt12 = 0, pagesAt8 = 0;
        m_dialogs->onPreview = [&](cuiPreview& preview) {
            pagesAt12 = preview.pageCount();
            preview.applySetting(0); // "1": 8 points
            pagesAt8 = preview.pageCount();
            preview.printButton()->click();
            return true;
        };
        EditorFixture::runMenu(CL_Menu_File_Print_Current, 0, true);
        QTRY_VERIFY_WITH_TIMEOUT(!m_editor->main->printer().isPrinting(), 60000);
        QCOMPARE(m_editor->env->fontSizePrinter, 8);
        QCOMPARE(m_editor->main->printer().fontSize(), 8);
        QVERIFY2(pagesAt8 < pagesAt12, "a smaller font needs fewer pages");
        QCOMPARE(pdfPageObjects(m_dialogs->pdfPath), pagesAt8);
    }

    void printAllPrintsEveryPrintableSheetInTreeOrder() {
        QStringList list;
        int expected = 0;
        int withoutPages = 0;
        m_dialogs->onPreview = [&](cuiPreview& preview) {
            cuiPrinter& p = m_editor->main->printer();
            list = p.printList();
            // Each sheet measured alone, on a printer of its own.
            QPrinter measuring(QPrinter::HighResolution);
            measuring.setOutputFormat(QPrinter::PdfFormat);
            measuring.setOutputFileName(m_dir.filePath(QStringLiteral("measure.pdf")));
            measuring.setResolution(300);
            measuring.setPageSize(QPageSize(QPageSize::A4));
            for (const QString& command : list) {
                const int pages = p.countPages({command}, measuring);
                expected += pages;
                if (pages == 0) ++withoutPages;
            }
            preview.printButton()->click();
            return true;
        };
        EditorFixture::runMenu(CL_Menu_File_Print_All, 0, true);
        QCOMPARE(m_dialogs->previews, 1);
        QVERIFY(list.size() > 5);
        // Every node with a sheet, in tree order.
        QStringList nodes;
        cuiMainTree* tree = m_editor->main->tree();
        for (QTreeWidgetItemIterator it(tree->view()); *it; ++it)
            if (!tree->CommandOf(*it).isEmpty()) nodes.append(tree->CommandOf(*it));
        QCOMPARE(list, nodes);
        QVERIFY(list.contains(EditorFixture::channelSheet));
        // The sheets that are marked not to be printed are in the list but give no page.
        QVERIFY(withoutPages > 0);
        QVERIFY(expected > 0);
        QCOMPARE(m_dialogs->previewPages, expected);
        // The job runs on the task, one sheet per tick, with the main window disabled.
        QVERIFY(m_editor->main->printer().isJobRunning());
        QVERIFY(!m_editor->form->isEnabled());
        QVERIFY(m_editor->main->printer().printingDialog());
        // No second job while this one runs.
        QVERIFY(EditorFixture::runMenu(CL_Menu_File_Print_Current, 0, false) &
                cmcCellObj::F_Disabled);
        QVERIFY(EditorFixture::runMenu(CL_Menu_File_Print_All, 0, false) & cmcCellObj::F_Disabled);
        QTRY_VERIFY_WITH_TIMEOUT(!m_editor->main->printer().isPrinting(), 60000);
        QVERIFY(
            !(EditorFixture::runMenu(CL_Menu_File_Print_All, 0, false) & cmcCellObj::F_Disabled));
        QVERIFY(m_editor->form->isEnabled());
        QVERIFY(!m_editor->main->printer().printingDialog());
        QVERIFY(m_editor->main->printer().printList().isEmpty());
        QCOMPARE(pdfPageObjects(m_dialogs->pdfPath), expected);
    }

    void cancelStopsTheJobAndEndsTheDocument() {
        m_dialogs->onPreview = [](cuiPreview& preview) {
            preview.printButton()->click();
            return true;
        };
        EditorFixture::runMenu(CL_Menu_File_Print_All, 0, true);
        cuiPrinter& p = m_editor->main->printer();
        QVERIFY(p.isJobRunning());
        QPushButton* cancel = p.printingDialog()->findChild<QPushButton*>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), cmcGTex::mainTable().getText("GI_Sys_Printer_PrintingDialog", 2));
        cancel->click();
        QTRY_VERIFY_WITH_TIMEOUT(!p.isPrinting(), 10000);
        QVERIFY(m_editor->form->isEnabled());
        // The document was ended: a readable PDF with at most the first sheet's pages.
        QVERIFY(QFile::exists(m_dialogs->pdfPath));
        QVERIFY(pdfPageObjects(m_dialogs->pdfPath) >= 0);
    }

    // A single long sheet is cancelled between its pages: the document ends after the
    // page being printed when Cancel was clicked.
    void cancelStopsASingleSheet() {
        cuiPrinter& p = m_editor->main->printer();
        m_dialogs->onPreview = [](cuiPreview& preview) {
            preview.printButton()->click();
            return true;
        };
        EditorFixture::runMenu(CL_Menu_File_Print_Current, 0, true);
        QVERIFY(p.isJobRunning());
        const int total = m_dialogs->previewPages;
        QVERIFY2(total > 2, "the channel list fills several pages");
        QPushButton* cancel = p.printingDialog()->findChild<QPushButton*>();
        QVERIFY(cancel);
        // Clicked as soon as the first page is out, while the sheet is still printing.
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, cancel, [&] {
            if (p.jobPagesPrinted() >= 1) cancel->click();
        });
        watcher.start(0);
        QTRY_VERIFY_WITH_TIMEOUT(!p.isPrinting(), 60000);
        QVERIFY(m_editor->form->isEnabled());
        const int printed = pdfPageObjects(m_dialogs->pdfPath);
        QVERIFY2(printed >= 1 && printed < total,
                 qPrintable(QStringLiteral("%1 of %2").arg(printed).arg(total)));
    }
};

QTEST_MAIN(tst_PrintCmds)
#include "tst_printcmds.moc"
