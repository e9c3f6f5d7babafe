#include "cuiPageRenderer.h"

#include "cuiCellPainter.h"
#include "cuiCellSource.h"
#include "cuiFont.h"
#include "cuiSheetLayout.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

cuiPageRenderer::cuiPageRenderer(cmcGTex& table, const clsPageSetup& setup)
    : m_table(table), m_setup(setup) {
    m_scale = std::max(1.0, double(m_setup.dpi) / cuiSheetLayout::screenDpi());
    m_frameH = cuiPageLayout::frameHeight(m_setup.frameFontPoints, m_setup.dpi);
    m_frameT = cuiPageLayout::frameBar(m_frameH);
    m_content = cuiPageLayout::contentRect(m_setup.printable, m_frameH, m_frameT);
}

cuiPageRenderer::~cuiPageRenderer() = default;

double cuiPageRenderer::previewScale() const {
    return std::min(1.0, double(PreviewDpi) / std::max(1, m_setup.dpi));
}

int cuiPageRenderer::measure(const QString& command) {
    return render(command, Measure, nullptr, nullptr, nullptr);
}

int cuiPageRenderer::preview(const QString& command, const PageSink& sink) {
    return render(command, Preview, &sink, nullptr, nullptr);
}

int cuiPageRenderer::preview(const QString& command, std::vector<QImage>& pages) {
    return preview(command, [&pages](const QImage& image) { pages.push_back(image); });
}

int cuiPageRenderer::print(const QString& command, QPagedPaintDevice& device, QPainter& painter) {
    return render(command, Print, nullptr, &device, &painter);
}

bool cuiPageRenderer::buildCopy(const QString& command, int fontHeight) {
    m_painter.reset();
    m_layout = cuiSheetLayout::create(command, m_table);
    m_layout->setPrinting(true, m_setup.device, m_scale);
    // The layout scales its fonts by the scale factor: hand it the height in screen units.
    m_layout->setPrintFontHeight(std::min(-1, int(std::lround(fontHeight / m_scale))));
    m_layout->Build();
    m_painter = std::make_unique<cuiCellPainter>(*m_layout, cuiCellSource::global());
    m_fontHeight = fontHeight;
    // Its sizes are in screen units; widths() and heights() give them in printer pixels.
    return m_layout->colCount() > 0 && m_layout->rowCount() > 0;
}

std::vector<int> cuiPageRenderer::widths() const {
    std::vector<int> w;
    for (int c = 0; c < m_layout->colCount(); ++c)
        w.push_back(int(std::lround(m_layout->colWidth(c) * m_scale)));
    return w;
}

std::vector<int> cuiPageRenderer::heights() const {
    std::vector<int> h;
    for (int r = 0; r < m_layout->rowCount(); ++r)
        h.push_back(int(std::lround(m_layout->rowHeight(r) * m_scale)));
    return h;
}

cuiPageLayout::Size cuiPageRenderer::measureBlock(const clsPageRun& cols,
                                                  const clsPageRun& rows) const {
    const cuiSheetLayout& l = *m_layout;
    double w = 0, h = 0;
    for (int c = 0; c < l.fixedCols(); ++c)
        w += l.colWidth(c);
    for (int c = cols.first; c < cols.first + cols.count && c < l.colCount(); ++c)
        w += l.colWidth(c);
    for (int r = 0; r < l.fixedRows(); ++r)
        h += l.rowHeight(r);
    for (int r = rows.first; r < rows.first + rows.count && r < l.rowCount(); ++r)
        h += l.rowHeight(r);
    return {int(std::lround(w * m_scale)), int(std::lround(h * m_scale))};
}

int cuiPageRenderer::render(const QString& command, Mode mode, const PageSink* sink,
                            QPagedPaintDevice* device, QPainter* painter) {
    m_blocks.clear();
    m_bands.clear();
    if (command.isEmpty() || cancelled()) return 0;
    int fontHeight = cuiPageLayout::fontHeight(m_setup.fontPoints, m_setup.dpi);
    if (!buildCopy(command, fontHeight) || !m_layout->IsPrintable()) {
        m_painter.reset();
        m_layout.reset();
        return 0;
    }
    const cuiSheetLayout& l = *m_layout;
    std::vector<bool> noBreak(size_t(l.colCount()), false);
    for (int c = 0; c < l.colCount(); ++c)
        for (int r = 0; r < l.fixedRows(); ++r)
            if (l.CellObjectAt(c, r).flag(6)) noBreak[size_t(c)] = true;
    const int W = m_content.width();
    const int H = m_content.height();
    m_blocks = cuiPageLayout::columnBlocks(widths(), l.fixedCols(), noBreak, W);
    m_bands = cuiPageLayout::rowBands(heights(), l.fixedRows(), H);

    int count = 0;
    for (const clsPageRun& band : m_bands) {
        for (const clsPageRun& block : m_blocks) {
            if (cancelled()) break;
            const cuiPageLayout::Size size = measureBlock(block, band);
            if (size.width > W || size.height > H) {
                fontHeight = cuiPageLayout::fitFontHeight(fontHeight, W, H, [&](int height) {
                    if (height != m_fontHeight) buildCopy(command, height);
                    return measureBlock(block, band);
                });
                if (fontHeight != m_fontHeight) buildCopy(command, fontHeight);
            }
            ++count;
            if (mode == Preview && sink) {
                const double k = previewScale();
                QImage image(int(m_setup.pageWidth * k), int(m_setup.pageHeight * k),
                             QImage::Format_RGB16);
                image.fill(Qt::white);
                QPainter p(&image);
                p.setRenderHint(QPainter::TextAntialiasing);
                p.scale(k, k);
                drawFrame(p);
                drawBlock(p, block, band);
                p.end();
                // Pages print in black, white and greys: one byte a pixel is enough.
                (*sink)(image.convertToFormat(QImage::Format_Grayscale8));
            } else if (mode == Print && device && painter) {
                if (m_printed > 0) device->newPage();
                drawFrame(*painter);
                drawBlock(*painter, block, band);
                ++m_printed;
                if (m_setup.pagePrinted) m_setup.pagePrinted();
            }
        }
        if (cancelled()) break;
    }
    m_painter.reset();
    m_layout.reset();
    return count;
}

void cuiPageRenderer::drawFrame(QPainter& painter) {
    const int h = m_frameH, t = m_frameT;
    const clsPageRect& pr = m_setup.printable;
    QString face = QStringLiteral("Arial");
    if (const cuiFont* f = m_layout->basicCell().effectiveFont()) face = f->face;
    QFont font(face);
    font.setPixelSize(std::max(1, h));
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm(font, painter.device());
    // Header: caption at the left, the program title ending 1 pixel before the right edge.
    int top = pr.top;
    painter.drawText(pr.left, top + fm.ascent(), m_layout->GetTitle());
    const int titleW = fm.horizontalAdvance(m_setup.titleText);
    painter.drawText(pr.right - 1 - titleW, top + fm.ascent(), m_setup.titleText);
    top += h + t;
    painter.fillRect(QRect(pr.left, top, pr.width(), t), Qt::black);
    // Footer: the maker's name above the bottom margin, the bar above it.
    int bottom = pr.bottom;
    const int makerW = fm.horizontalAdvance(m_setup.makerText);
    painter.drawText(pr.right - 1 - makerW, bottom - (h + 1) + fm.ascent(), m_setup.makerText);
    bottom -= h + t;
    painter.fillRect(QRect(pr.left, bottom - t, pr.width(), t), Qt::black);
    painter.restore();
}

void cuiPageRenderer::drawBlock(QPainter& painter, const clsPageRun& cols, const clsPageRun& rows) {
    const int fc = m_layout->fixedCols(), fr = m_layout->fixedRows();
    const cuiPageLayout::Size fixed = measureBlock({0, 0}, {0, 0});
    const int lastCol = cols.first + cols.count - 1;
    const int lastRow = rows.first + rows.count - 1;
    painter.save();
    painter.setClipRect(
        QRect(m_content.left, m_content.top, m_content.width(), m_content.height()));
    clsCellLook look;
    look.printing = true;
    look.scale = m_scale;
    auto paint = [&](int x, int y, int c0, int r0, int c1, int r1) {
        if (c1 < c0 || r1 < r0) return;
        painter.save();
        painter.translate(m_content.left + x, m_content.top + y);
        m_painter->paintBlock(painter, c0, r0, c1, r1, look);
        painter.restore();
    };
    paint(0, 0, 0, 0, fc - 1, fr - 1);
    paint(fixed.width, 0, cols.first, 0, lastCol, fr - 1);
    paint(0, fixed.height, 0, rows.first, fc - 1, lastRow);
    paint(fixed.width, fixed.height, cols.first, rows.first, lastCol, lastRow);
    painter.restore();
}
