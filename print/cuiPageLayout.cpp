#include "cuiPageLayout.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>

std::vector<int> cuiPageLayout::parseMargins(const QString& text) {
    const QStringList fields = text.split(',');
    std::vector<int> mm(4, 0);
    for (int i = 0; i < 4 && i < fields.size(); ++i) {
        bool ok = false;
        const int v = fields[i].trimmed().toInt(&ok, 10);
        mm[size_t(i)] = ok && v > 0 ? v : 0;
    }
    return mm;
}

clsPageRect cuiPageLayout::printableRect(const QString& marginsText, int dpi, int pageWidth,
                                         int pageHeight) {
    const std::vector<int> mm = parseMargins(marginsText);
    auto px = [dpi](int millimetres) { return int(std::trunc(millimetres * double(dpi) / 25.4)); };
    clsPageRect r;
    r.left = px(mm[0]);
    r.top = px(mm[1]);
    r.right = pageWidth - px(mm[2]);
    r.bottom = pageHeight - px(mm[3]);
    return r;
}

int cuiPageLayout::frameHeight(int points, int dpi) {
    return std::abs(-points * dpi / 72);
}

int cuiPageLayout::frameBar(int h) {
    return int(std::trunc(h * 0.1 + 1.0));
}

clsPageRect cuiPageLayout::contentRect(const clsPageRect& printable, int h, int t) {
    clsPageRect r = printable;
    r.top += h + 6 * t;
    r.bottom -= h + 6 * t;
    return r;
}

int cuiPageLayout::fontHeight(int points, int dpi) {
    return -(points * dpi / 72);
}

std::vector<clsPageRun> cuiPageLayout::columnBlocks(const std::vector<int>& widths, int fixed,
                                                    const std::vector<bool>& noBreak, int W) {
    std::vector<clsPageRun> blocks;
    const int count = int(widths.size());
    fixed = std::clamp(fixed, 0, count);
    int fixedWidth = 0;
    for (int c = 0; c < fixed; ++c)
        fixedWidth += widths[size_t(c)];
    auto breakable = [&](int c) { return c >= int(noBreak.size()) || !noBreak[size_t(c)]; };
    int start = fixed;
    while (start < count) {
        int width = fixedWidth;
        int lastBreak = 0; // columns in the block when it ends at the last allowed point
        int n = 0;
        for (int c = start; c < count; ++c) {
            if (c > start && breakable(c)) {
                lastBreak = c - start;
                if (width > W) break;
            }
            width += widths[size_t(c)];
            if (width > W && lastBreak > 0) break;
        }
        n = width > W && lastBreak > 0 ? lastBreak : count - start;
        blocks.push_back({start, n});
        start += n;
    }
    return blocks;
}

std::vector<clsPageRun> cuiPageLayout::rowBands(const std::vector<int>& heights, int fixed, int H) {
    std::vector<clsPageRun> bands;
    const int count = int(heights.size());
    fixed = std::clamp(fixed, 0, count);
    int fixedHeight = 0;
    for (int r = 0; r < fixed; ++r)
        fixedHeight += heights[size_t(r)];
    int start = fixed;
    while (start < count) {
        int height = fixedHeight;
        int n = 0;
        for (int r = start; r < count; ++r) {
            height += heights[size_t(r)];
            if (height > H && n > 0) break;
            ++n;
        }
        bands.push_back({start, n});
        start += n;
    }
    return bands;
}

int cuiPageLayout::fitFontHeight(int fontHeight, int W, int H,
                                 const std::function<Size(int)>& measure, int* measures) {
    int made = 0;
    while (made < maxMeasures) {
        const Size s = measure(fontHeight);
        ++made;
        if (s.width <= W && s.height <= H) break;
        if (made == maxMeasures) break;
        const double scale =
            std::min(double(W) / std::max(1, s.width), double(H) / std::max(1, s.height));
        const int next = int(std::trunc(fontHeight * scale));
        if (next == 0 || next == fontHeight) break;
        fontHeight = next;
    }
    if (measures) *measures = made;
    return fontHeight;
}
