#pragma once
// The page renderer: turns sheets into pages. It lays out a printable copy of a sheet by
// its command (a layout, no widgets) in the printer's own pixels and draws its cells with
// the cell painter, frames every page (caption and program title above; page number, file
// name, date and maker below), may leave out the list rows not in use,
// splits the grid into column blocks and row bands with the heading rows and columns
// repeated, and shrinks the font of a block that does not fit. It counts the pages of a
// sheet (keeping what each page shows, so that any page can be drawn later at any size, as
// the preview does) or prints them on a paged device, across then down.

#include "cuiPageLayout.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class cmcGTex;
class cuiCellPainter;
class cuiSheetLayout;

// Everything about the page that does not depend on the sheet.
struct clsPageSetup {
    QPaintDevice* device = nullptr; // the printer: resolution and font metrics
    int dpi = 600;
    int pageWidth = 0; // pixels
    int pageHeight = 0;
    clsPageRect printable;
    int fontPoints = 10;     // print font size
    int frameFontPoints = 9; // header and footer font size
    QString titleText;       // header text at the right
    QString makerText;       // footer text at the right
    // Footer at the left: the page number ("%1", and "%2" the page count when pageCount is
    // known; pageFormatAlone when it is not), the document's file name and the date.
    QString pageFormat;
    QString pageFormatAlone;
    int pageCount = 0;
    QString documentName;
    QString dateText;
    // Leaves out the list rows not in use. rowUse answers for a cell (category, label,
    // index): -1 it is no list row's, 0 its row is not in use, 1 it is.
    bool usedRowsOnly = false;
    std::function<int(int32_t category, int32_t label, int32_t index)> rowUse;
    const bool* cancel = nullptr;
    // Called after each printed page: lets the printing dialog's Cancel be clicked while a
    // long sheet prints.
    std::function<void()> pagePrinted;
};

// One page: the sheet it belongs to, its column block and row band, and the font height
// (printer pixels, negative) its block is drawn with after fitting.
struct clsPrintPage {
    QString command;
    clsPageRun cols;
    clsPageRun rows;
    int fontHeight = 0;
};

class cuiPageRenderer {
  public:
    cuiPageRenderer(cmcGTex& table, const clsPageSetup& setup);
    ~cuiPageRenderer();

    // Counts the pages of the sheet named by command and adds them to pages(); a sheet
    // that is not printed is skipped before it is laid out.
    int measure(const QString& command);
    // Every page measured so far, in order.
    const std::vector<clsPrintPage>& pages() const { return m_pages; }
    // Draws a measured page on painter in printer pixels (the caller's transform maps
    // them onto its device); the paper is the caller's.
    void drawPage(int index, QPainter& painter);
    // A measured page on white paper, drawn at size (device pixels) with the page's
    // proportions kept; a null image for an index out of range.
    QImage pageImage(int index, const QSize& size);
    // Print: draws every page of the sheet on the device with painter (begun on it); every
    // page after the first one of the whole job starts with a new page. Returns the page
    // count.
    int print(const QString& command, QPagedPaintDevice& device, QPainter& painter);

    // Pages printed so far through this renderer.
    int printedPages() const { return m_printed; }
    // Font height (printer pixels) the last block was drawn with.
    int lastFontHeight() const { return m_fontHeight; }
    // Column blocks and row bands of the last sheet rendered.
    const std::vector<clsPageRun>& columnBlocks() const { return m_blocks; }
    const std::vector<clsPageRun>& rowBands() const { return m_bands; }
    const clsPageSetup& setup() const { return m_setup; }
    // The page count the footers name, once every page of the job is measured.
    void setPageCount(int count) { m_setup.pageCount = count; }

    // Whether the sheet named by command is printed: its style and the controller's
    // answer, without laying it out.
    bool isPrintable(const QString& command) const;

  private:
    // Paginates and fits the sheet; calls page with each page in order while the copy
    // holds the page's font. Returns the page count.
    int layOut(const QString& command, const std::function<void(const clsPrintPage&)>& page);
    bool buildCopy(const QString& command, int fontHeight);
    std::vector<int> widths() const;
    std::vector<int> heights() const;
    cuiPageLayout::Size measureBlock(const clsPageRun& cols, const clsPageRun& rows) const;
    void drawFrame(QPainter& painter, int pageNumber);
    QString footerText(int pageNumber) const;
    // The rows printed (heading rows first), when rows are left out; the grid's rows are
    // indexed through it by measuring, paginating and drawing.
    void keepRows();
    int rowOf(int kept) const { return m_kept.empty() ? kept : m_kept[size_t(kept)]; }
    int keptRowCount() const;
    void drawBlock(QPainter& painter, const clsPageRun& cols, const clsPageRun& rows);
    bool cancelled() const { return m_setup.cancel && *m_setup.cancel; }

    cmcGTex& m_table;
    clsPageSetup m_setup;
    // The printable copy, kept for drawing pages of the same sheet one after the other.
    std::unique_ptr<cuiSheetLayout> m_layout;
    std::unique_ptr<cuiCellPainter> m_painter;
    QString m_layoutCommand;
    double m_scale = 1.0; // printer pixels per definition pixel
    int m_fontHeight = 0;
    int m_printed = 0;
    clsPageRect m_content;
    int m_frameH = 0, m_frameT = 0;
    std::vector<clsPageRun> m_blocks, m_bands;
    std::vector<int> m_kept;
    std::vector<clsPrintPage> m_pages;
};
