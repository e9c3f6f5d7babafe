#pragma once
// The page renderer: turns one sheet into pages. It lays out a printable copy of the sheet
// by its command (a layout, no widgets) and draws its cells with the cell painter, frames
// every page (caption and program title above, maker below),
// splits the grid into column blocks and row bands with the heading rows and columns
// repeated, shrinks the font of a block that does not fit, and either counts the pages,
// draws them into preview images or prints them on a paged device, across then down.

#include "cuiPageLayout.h"

#include <QImage>
#include <QString>
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
    const bool* cancel = nullptr;
    // Called after each printed page: lets the printing dialog's Cancel be clicked while a
    // long sheet prints.
    std::function<void()> pagePrinted;
};

class cuiPageRenderer {
  public:
    enum Mode { Measure, Preview, Print };
    // Preview pages are drawn at this resolution at most and kept as grey levels, to keep
    // their memory small (about 2 MB for an A4 page).
    static constexpr int PreviewDpi = 150;

    cuiPageRenderer(cmcGTex& table, const clsPageSetup& setup);
    ~cuiPageRenderer();

    // Measure: counts the pages of the sheet named by command.
    int measure(const QString& command);
    // Preview: hands one image per page to the sink (or appends it); returns the page count.
    using PageSink = std::function<void(const QImage&)>;
    int preview(const QString& command, const PageSink& sink);
    int preview(const QString& command, std::vector<QImage>& pages);
    // Print: draws every page on the device with painter (begun on it); every page after
    // the first one of the whole job starts with a new page. Returns the page count.
    int print(const QString& command, QPagedPaintDevice& device, QPainter& painter);

    // Pages printed so far through this renderer.
    int printedPages() const { return m_printed; }
    // Font height (printer pixels) the last block was drawn with.
    int lastFontHeight() const { return m_fontHeight; }
    // Column blocks and row bands of the last sheet rendered.
    const std::vector<clsPageRun>& columnBlocks() const { return m_blocks; }
    const std::vector<clsPageRun>& rowBands() const { return m_bands; }

    // The preview image size and painter scale for a page.
    double previewScale() const;

  private:
    int render(const QString& command, Mode mode, const PageSink* sink, QPagedPaintDevice* device,
               QPainter* painter);
    bool buildCopy(const QString& command, int fontHeight);
    std::vector<int> widths() const;
    std::vector<int> heights() const;
    cuiPageLayout::Size measureBlock(const clsPageRun& cols, const clsPageRun& rows) const;
    void drawFrame(QPainter& painter);
    void drawBlock(QPainter& painter, const clsPageRun& cols, const clsPageRun& rows);
    bool cancelled() const { return m_setup.cancel && *m_setup.cancel; }

    cmcGTex& m_table;
    clsPageSetup m_setup;
    std::unique_ptr<cuiSheetLayout> m_layout;
    std::unique_ptr<cuiCellPainter> m_painter;
    double m_scale = 1.0; // printer pixels per screen unit
    int m_fontHeight = 0;
    int m_printed = 0;
    clsPageRect m_content;
    int m_frameH = 0, m_frameT = 0;
    std::vector<clsPageRun> m_blocks, m_bands;
};
