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
    m_scale = double(std::max(1, m_setup.dpi)) / cuiSheetLayout::DefinitionDpi;
    m_frameH = cuiPageLayout::frameHeight(m_setup.frameFontPoints, m_setup.dpi);
    m_frameT = cuiPageLayout::frameBar(m_frameH);
    m_content = cuiPageLayout::contentRect(m_setup.printable, m_frameH, m_frameT);
}

cuiPageRenderer::~cuiPageRenderer() = default;

int cuiPageRenderer::measure(const QString& command) {
    return layOut(command, [this](const clsPrintPage& page) { m_pages.push_back(page); });
}

int cuiPageRenderer::print(const QString& command, QPagedPaintDevice& device, QPainter& painter) {
    return layOut(command, [&](const clsPrintPage& page) {
        if (m_printed > 0) device.newPage();
        drawFrame(painter);
        drawBlock(painter, page.cols, page.rows);
        ++m_printed;
        if (m_setup.pagePrinted) m_setup.pagePrinted();
    });
}

void cuiPageRenderer::drawPage(int index, QPainter& painter) {
    if (index < 0 || index >= int(m_pages.size())) return;
    const clsPrintPage& page = m_pages[size_t(index)];
    if (!buildCopy(page.command, page.fontHeight)) return;
    drawFrame(painter);
    drawBlock(painter, page.cols, page.rows);
}

QImage cuiPageRenderer::pageImage(int index, const QSize& size) {
    if (index < 0 || index >= int(m_pages.size()) || size.isEmpty()) return QImage();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const double k = std::min(size.width() / double(std::max(1, m_setup.pageWidth)),
                              size.height() / double(std::max(1, m_setup.pageHeight)));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate((size.width() - m_setup.pageWidth * k) / 2,
                (size.height() - m_setup.pageHeight * k) / 2);
    p.scale(k, k);
    drawPage(index, p);
    return image;
}

bool cuiPageRenderer::isPrintable(const QString& command) const {
    const std::unique_ptr<cuiSheetLayout> layout = cuiSheetLayout::create(command, m_table);
    layout->setPrinting(true, m_setup.device, m_scale);
    layout->ApplyStyle();
    return layout->IsPrintable();
}

bool cuiPageRenderer::buildCopy(const QString& command, int fontHeight) {
    if (m_layout && m_layoutCommand == command && m_fontHeight == fontHeight)
        return m_layout->colCount() > 0 && m_layout->rowCount() > 0;
    m_painter.reset();
    m_layoutCommand.clear();
    m_layout = cuiSheetLayout::create(command, m_table);
    // The copy measures and keeps everything in printer pixels: the font height is the
    // one to print with, not one converted to and from another device's pixels.
    m_layout->setPrinting(true, m_setup.device, m_scale);
    m_layout->setPrintFontHeight(std::min(-1, fontHeight));
    m_layout->Build();
    m_painter = std::make_unique<cuiCellPainter>(*m_layout, cuiCellSource::global());
    m_layoutCommand = command;
    m_fontHeight = fontHeight;
    return m_layout->colCount() > 0 && m_layout->rowCount() > 0;
}

std::vector<int> cuiPageRenderer::widths() const {
    std::vector<int> w;
    for (int c = 0; c < m_layout->colCount(); ++c)
        w.push_back(m_layout->colWidth(c));
    return w;
}

std::vector<int> cuiPageRenderer::heights() const {
    std::vector<int> h;
    for (int r = 0; r < m_layout->rowCount(); ++r)
        h.push_back(m_layout->rowHeight(r));
    return h;
}

cuiPageLayout::Size cuiPageRenderer::measureBlock(const clsPageRun& cols,
                                                  const clsPageRun& rows) const {
    const cuiSheetLayout& l = *m_layout;
    int w = 0, h = 0;
    for (int c = 0; c < l.fixedCols(); ++c)
        w += l.colWidth(c);
    for (int c = cols.first; c < cols.first + cols.count && c < l.colCount(); ++c)
        w += l.colWidth(c);
    for (int r = 0; r < l.fixedRows(); ++r)
        h += l.rowHeight(r);
    for (int r = rows.first; r < rows.first + rows.count && r < l.rowCount(); ++r)
        h += l.rowHeight(r);
    return {w, h};
}

int cuiPageRenderer::layOut(const QString& command,
                            const std::function<void(const clsPrintPage&)>& page) {
    m_blocks.clear();
    m_bands.clear();
    // A sheet that is not printed is dropped on its style alone: the maker's memory image
    // of 4,099 rows is never laid out only to be skipped.
    if (command.isEmpty() || cancelled() || !isPrintable(command)) return 0;
    int fontHeight = cuiPageLayout::fontHeight(m_setup.fontPoints, m_setup.dpi);
    if (!buildCopy(command, fontHeight)) return 0;
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
                    buildCopy(command, height);
                    return measureBlock(block, band);
                });
            }
            if (!buildCopy(command, fontHeight)) return count;
            ++count;
            page({command, block, band, fontHeight});
        }
        if (cancelled()) break;
    }
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
    look.deviceSizes = true;
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
