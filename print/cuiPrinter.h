#pragma once
// The printer: prints one sheet or a list of sheets through the platform printer, after
// showing every page in the preview. A list is printed one sheet per tick of a 50 ms task
// so that the user interface stays responsive while the main window is disabled.

#include "cuiPageRenderer.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;
class cmcGTex;
class cmcTask;
class cuiPreview;
class cuiPreviewPages;

class cuiPrinter {
  public:
    cuiPrinter(QWidget* owner, cmcGTex& table);
    ~cuiPrinter();

    // multiple = false prints the sheet of command source; true prints every sheet of
    // the print list, in order.
    void Print(bool multiple, const QString& source);
    QStringList& printList() { return m_list; }
    // The window disabled while printing and owning the dialogs.
    void setOwner(QWidget* owner) {
        if (!m_printing) m_owner = owner;
    }

    // The program's revision text (header) and the print font size in points, with the
    // function that stores a size the user chose in the preview.
    void setRevision(const QString& revision) { m_revision = revision; }
    void setFontSize(int points) { m_fontPoints = points; }
    int fontSize() const { return m_fontPoints; }
    void setFontSizeStore(std::function<void(int)> store) { m_storeFont = std::move(store); }

    // The document's file name for the footers (empty: none).
    void setDocumentName(const QString& name) { m_documentName = name; }
    // Leaving out the list rows not in use (the preview's Setting offers it when rowUse is
    // set; see clsPageSetup::rowUse).
    void setRowUse(std::function<int(int32_t, int32_t, int32_t)> rowUse) {
        m_rowUse = std::move(rowUse);
    }
    void setUsedRowsOnly(bool on) { m_usedRowsOnly = on; }
    bool usedRowsOnly() const { return m_usedRowsOnly; }

    bool isPrinting() const { return m_printing; }
    bool isJobRunning() const { return m_jobRunning; }
    // Pages the running job has printed so far.
    int jobPagesPrinted() const { return m_jobRenderer ? m_jobRenderer->printedPages() : 0; }
    // The printing dialog while it exists (its button sets the cancel flag).
    QDialog* printingDialog() const { return m_dialog.data(); }
    cuiPreview* preview() const { return m_preview; }

    // The page setup of a printer (its resolution, page size and margins).
    clsPageSetup pageSetup(QPrinter& printer);
    // Page count of a list of sheets.
    int countPages(const QStringList& commands, QPrinter& printer);
    // The pages of a list of sheets as the preview shows them: laid out at the print font
    // size of the moment, drawn one by one when asked. printer outlives them.
    std::unique_ptr<cuiPreviewPages> previewPages(const QStringList& commands, QPrinter& printer);
    // Prints a list of sheets as one document at once; returns the pages printed.
    int printNow(const QStringList& commands, QPrinter& printer);

    // Writes the pages that printing the sheets gives into a PDF file, through the same
    // page set-up and renderer (the page and resolution of the printer chosen last, else
    // the default printer's), with no printer queue involved. The file appears whole or
    // not at all. Returns the pages written, 0 when the sheets have none (no file), -1 when
    // the file could not be written.
    int exportPdf(const QStringList& commands, const QString& path);
    // The PDF export offered when no printer is installed (the application asks for the
    // file): called with the sheets that were to be printed.
    void setPdfFallback(std::function<void(const QStringList&)> fallback) {
        m_pdfFallback = std::move(fallback);
    }

  private:
    void buildPrintingDialog();
    void finish();
    void tellStartError();
    static void jobTick(void* context, cmcTask* task);
    void runJobStep();

    QWidget* m_owner;
    bool m_printing = false;
    bool m_cancel = false;
    bool m_jobRunning = false;
    clsPageRect m_savedRect;
    int m_jobIndex = 0;
    std::unique_ptr<QPrinter> m_printer;
    QPointer<QDialog> m_dialog;
    QString m_source;
    QStringList m_list;
    cuiPreview* m_preview = nullptr;
    cmcTask* m_task = nullptr;

    cmcGTex& m_table;
    QString m_revision;
    int m_fontPoints = 10;
    std::function<void(int)> m_storeFont;
    std::function<void(const QStringList&)> m_pdfFallback;
    QString m_documentName;
    bool m_usedRowsOnly = false;
    std::function<int(int32_t, int32_t, int32_t)> m_rowUse;
    // The running job's renderer and painter.
    std::unique_ptr<cuiPageRenderer> m_jobRenderer;
    std::unique_ptr<class QPainter> m_jobPainter;
    QStringList m_jobList;
};
