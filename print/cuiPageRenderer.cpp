#include "cuiPageRenderer.h"

#include "cuiCellPainter.h"
#include "cuiCellSource.h"
#include "cuiFont.h"
#include "cuiSheetLayout.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>
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
        drawFrame(painter, m_printed + 1);
        drawBlock(painter, page.cols, page.rows);
        ++m_printed;
        if (m_setup.pagePrinted) m_setup.pagePrinted();
    });
}

void cuiPageRenderer::drawPage(int index, QPainter& painter) {
    if (index < 0 || index >= int(m_pages.size())) return;
    const clsPrintPage& page = m_pages[size_t(index)];
    if (!buildCopy(page.command, page.fontHeight)) return;
    drawFrame(painter, index + 1);
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
    keepRows();
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

void cuiPageRenderer::keepRows() {
    m_kept.clear();
    if (!m_setup.usedRowsOnly || !m_setup.rowUse) return;
    const cuiSheetLayout& l = *m_layout;
    for (int r = 0; r < l.rowCount(); ++r) {
        bool keep = true;
        if (r >= l.fixedRows()) {
            // The row's first selectable cell that belongs to a list row decides.
            for (int c = 0; c < l.colCount(); ++c) {
                const cuiCell& cell = l.CellObjectAt(c, r);
                if (!cell.selectable) continue;
                const int use = m_setup.rowUse(cell.category, cell.label, cell.index);
                if (use < 0) continue;
                keep = use > 0;
                break;
            }
        }
        m_kept.push_back(r);
        if (!keep) m_kept.pop_back();
    }
}

int cuiPageRenderer::keptRowCount() const {
    return m_setup.usedRowsOnly && m_setup.rowUse ? int(m_kept.size()) : m_layout->rowCount();
}

std::vector<int> cuiPageRenderer::heights() const {
    std::vector<int> h;
    for (int k = 0; k < keptRowCount(); ++k)
        h.push_back(m_layout->rowHeight(rowOf(k)));
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
    for (int k = rows.first; k < rows.first + rows.count && k < keptRowCount(); ++k)
        h += l.rowHeight(rowOf(k));
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
    // Every list row left out: the sheet prints nothing rather than its headings alone.
    if (keptRowCount() <= m_layout->fixedRows()) return 0;
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

QString cuiPageRenderer::footerText(int pageNumber) const {
    QString page;
    if (m_setup.pageCount > 0 && !m_setup.pageFormat.isEmpty())
        page = m_setup.pageFormat.arg(pageNumber).arg(m_setup.pageCount);
    else if (!m_setup.pageFormatAlone.isEmpty())
        page = m_setup.pageFormatAlone.arg(pageNumber);
    QStringList parts;
    for (const QString& part : {page, m_setup.documentName, m_setup.dateText})
        if (!part.isEmpty()) parts << part;
    return parts.join(QStringLiteral("   "));
}

void cuiPageRenderer::drawFrame(QPainter& painter, int pageNumber) {
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
    // At the left: which page of how many, of which file, printed when.
    painter.drawText(pr.left, bottom - (h + 1) + fm.ascent(), footerText(pageNumber));
    bottom -= h + t;
    painter.fillRect(QRect(pr.left, bottom - t, pr.width(), t), Qt::black);
    painter.restore();
}

void cuiPageRenderer::drawBlock(QPainter& painter, const clsPageRun& cols, const clsPageRun& rows) {
    const int fc = m_layout->fixedCols(), fr = m_layout->fixedRows();
    const cuiPageLayout::Size fixed = measureBlock({0, 0}, {0, 0});
    const int lastCol = cols.first + cols.count - 1;
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
    // The band's rows in runs of grid rows that follow each other (rows left out break a
    // run), each run drawn below the one before.
    int y = fixed.height;
    const int end = std::min(rows.first + rows.count, keptRowCount());
    for (int k = rows.first; k < end;) {
        int last = k;
        while (last + 1 < end && rowOf(last + 1) == rowOf(last) + 1)
            ++last;
        const int r0 = rowOf(k), r1 = rowOf(last);
        paint(0, y, 0, r0, fc - 1, r1);
        paint(fixed.width, y, cols.first, r0, lastCol, r1);
        for (int r = r0; r <= r1; ++r)
            y += m_layout->rowHeight(r);
        k = last + 1;
    }
    painter.restore();
}
