#pragma once
// Draws the cells of a sheet layout on any QPainter: a screen grid, a preview image, a
// printer page or a picture of the sheet. A cell shows its background, its bottom line
// and right mark, its text (from the cell source when it addresses a value) placed by its
// alignment, and a check glyph; the first cell of a joined run is drawn over the whole
// run. Whether a cell shows selected, and the colours of the selection, are the caller's.

#include <QColor>
#include <QPixmap>
#include <QPolygonF>
#include <QRect>
#include <vector>

#include "cuiCellSource.h"

class QPainter;
class cuiSheetLayout;

// How the caller wants a cell drawn.
struct clsCellLook {
    enum Fill {
        CellColour,     // the cell's own colour
        SelectLine,     // the current row's colour (selectLine)
        InactiveSelect, // selected while the sheet has no focus (inactiveSelect)
        Highlight,      // selected
    };
    Fill fill = CellColour;
    QColor selectLine;
    QColor inactiveSelect;
    // The source shows the cell's selected text (its value open for editing).
    bool selected = false;
    // Printer colours: coloured cells dark grey with white text, the rest black on
    // white, no images; fonts and spacing multiplied by scale.
    bool printing = false;
    double scale = 1.0;
    // The layout is a printable copy whose sizes and fonts are device pixels already:
    // scale then widens only the spacings (text insets, check glyphs).
    bool deviceSizes = false;
};

class cuiCellPainter {
  public:
    explicit cuiCellPainter(const cuiSheetLayout& layout, cuiCellSource* source = nullptr);

    void setSource(cuiCellSource* source) { m_source = source; }
    // Image list for check glyphs (images 10 and 11); not owned. None: the built-in ones.
    void setImages(const std::vector<QPixmap>* images) { m_images = images; }

    // What the cell (col, row) shows: its own text, or for a cell that addresses a value the
    // source's view of it (no source: a blank). Painting, the accessible names and the
    // change names all read a cell's text here.
    cuiCellView view(int col, int row, bool selected = false, bool printing = false) const;

    // Draws the joined run [first..last] of a row over rect.
    void paintRun(QPainter& painter, int first, int last, int row, const QRect& rect,
                  const clsCellLook& look) const;
    // Draws the cells [c0..c1] × [r0..r1] laid out from (0, 0), each width and height the
    // layout's multiplied by look.scale (taken as they are with look.deviceSizes); a joined
    // run is drawn whole in each of its cells.
    void paintBlock(QPainter& painter, int c0, int r0, int c1, int r1,
                    const clsCellLook& look) const;
    // The size of the cells [c0..c1] × [r0..r1] at scale, in the units paintBlock uses.
    QSize blockSize(int c0, int r0, int c1, int r1, double scale) const;

    // The tick of a ticked cell: six corners in a square of 0.7 times the cell's smaller
    // side, centred in the cell.
    static QPolygonF tickPolygon(const QRectF& cell);

  private:
    const cuiSheetLayout& m_layout;
    cuiCellSource* m_source = nullptr;
    const std::vector<QPixmap>* m_images = nullptr;
};
