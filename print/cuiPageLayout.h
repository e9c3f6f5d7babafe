#pragma once
// Page geometry of printing as small pure functions: the printable rectangle from the margin
// text, the sizes of the page frame, the content rectangle inside the frame, the split of a
// grid into column blocks and row bands, and the shrinking of the print font until a block
// fits. All sizes are device pixels of the printer.

#include <QString>
#include <functional>
#include <vector>

struct clsPageRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const clsPageRect&) const = default;
};

// A run of grid columns or rows: the first index and the count.
struct clsPageRun {
    int first = 0;
    int count = 0;
    bool operator==(const clsPageRun&) const = default;
};

class cuiPageLayout {
  public:
    // The four margins "left,top,right,bottom" in millimetres; a field that is not a
    // decimal integer counts as 0.
    static std::vector<int> parseMargins(const QString& text);
    // Printable rectangle of a page of pageWidth × pageHeight pixels at dpi.
    static clsPageRect printableRect(const QString& marginsText, int dpi, int pageWidth,
                                     int pageHeight);
    // Frame font height h and bar thickness t for a frame font of points at dpi.
    static int frameHeight(int points, int dpi);
    static int frameBar(int h);
    // The content rectangle: below the header (h + 6t) and above the footer (h + 6t).
    static clsPageRect contentRect(const clsPageRect& printable, int h, int t);
    // Print font height (negative: pixel height) for a font of points at dpi.
    static int fontHeight(int points, int dpi);

    // Column blocks after the fixed columns within width W; noBreak[c] forbids a block
    // to start at column c (besides the first).
    static std::vector<clsPageRun> columnBlocks(const std::vector<int>& widths, int fixed,
                                                const std::vector<bool>& noBreak, int W);
    // Row bands after the fixed rows within height H.
    static std::vector<clsPageRun> rowBands(const std::vector<int>& heights, int fixed, int H);

    // Shrinks a font height until measure(height) fits W × H, measuring at most
    // maxMeasures times; returns the height to use. measures, when given, receives the
    // count of measurements made.
    struct Size {
        int width = 0, height = 0;
    };
    static constexpr int maxMeasures = 4;
    static int fitFontHeight(int fontHeight, int W, int H, const std::function<Size(int)>& measure,
                             int* measures = nullptr);
};
