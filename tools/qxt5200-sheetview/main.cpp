// qxt5200-sheetview [--overlay FILE] [--grab FILE.png] [--size WxH] FILE.icf SHEETCOMMAND
//
// Shows one sheet of the overlay (by default the English overlay beside the executable)
// over the image of a clone file, in a window of its own, with the program's cell
// dispatcher behind it: the values can be looked at; nothing is edited or saved. With
// --grab the sheet is painted into a PNG file of the window's size and the program ends.
// The sheet is its layout drawn by the cell painter: no sheet widget is involved, and
// --grab runs without any widget at all.

#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cuiCellPainter.h"
#include "cuiCellSource.h"
#include "cuiDispatchSource.h"
#include "cuiSheetLayout.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int usage() {
    std::fprintf(
        stderr, "usage: qxt5200-sheetview [--overlay FILE] [--grab FILE.png] [--size WxH] FILE.icf "
                "SHEETCOMMAND\n"
                "example: qxt5200-sheetview data.icf \"[St_ChBank]GI_Sheet_Mch_,Bank 0\"\n");
    return 2;
}

// Height of the title bar above the cells (0 without a title).
int titleHeight(const cuiSheetLayout& layout, QPaintDevice* device) {
    if (layout.title().isEmpty()) return 0;
    const QFont font = layout.titleFont() ? layout.titleFont()->toQFont() : QFont();
    return QFontMetrics(font, device).height() + 8;
}

// Paints the sheet into size: the title bar, then the fixed rows and columns in place and
// the scrolling cells from (leftCol, topRow) on.
void paintSheet(QPainter& p, const cuiSheetLayout& layout, const cuiCellPainter& painter,
                int leftCol, int topRow, const QSize& size) {
    p.fillRect(QRect(QPoint(0, 0), size), cuiColor::toQColor(layout.basicCell().color));
    const int top = titleHeight(layout, p.device());
    if (top > 0) {
        p.fillRect(QRect(0, 0, size.width(), top), cuiColor::toQColor(layout.titleColor()));
        p.setFont(layout.titleFont() ? layout.titleFont()->toQFont() : QFont());
        p.setPen(cuiColor::toQColor(layout.titleFont() ? layout.titleFont()->color
                                                       : cuiColor::clWindowText));
        p.drawText(QRect(4, 0, size.width() - 8, top), Qt::AlignLeft | Qt::AlignVCenter,
                   layout.title());
    }
    const int fc = layout.fixedCols(), fr = layout.fixedRows();
    const QSize fixed = painter.blockSize(0, 0, fc - 1, fr - 1, 1.0);
    // The last column and row that show at least in part.
    int lastCol = leftCol, lastRow = topRow;
    for (int x = fixed.width(); lastCol < layout.colCount() && x < size.width(); ++lastCol)
        x += layout.colWidth(lastCol);
    for (int y = top + fixed.height(); lastRow < layout.rowCount() && y < size.height(); ++lastRow)
        y += layout.rowHeight(lastRow);
    const clsCellLook look; // screen colours, nothing selected
    auto quadrant = [&](int x, int y, int c0, int r0, int c1, int r1) {
        if (c1 < c0 || r1 < r0) return;
        p.save();
        p.setClipRect(QRect(x, y, size.width() - x, size.height() - y));
        p.translate(x, y);
        painter.paintBlock(p, c0, r0, c1, r1, look);
        p.restore();
    };
    quadrant(0, top, 0, 0, fc - 1, fr - 1);
    quadrant(fixed.width(), top, leftCol, 0, lastCol, fr - 1);
    quadrant(0, top + fixed.height(), 0, topRow, fc - 1, lastRow);
    quadrant(fixed.width(), top + fixed.height(), leftCol, topRow, lastCol, lastRow);
}

// The window: the sheet scrolled by whole columns and rows.
class SheetView : public QAbstractScrollArea {
  public:
    SheetView(const cuiSheetLayout& layout, const cuiCellPainter& painter)
        : m_layout(layout), m_painter(painter) {
        horizontalScrollBar()->setRange(layout.fixedCols(),
                                        std::max(layout.fixedCols(), layout.colCount() - 1));
        verticalScrollBar()->setRange(layout.fixedRows(),
                                      std::max(layout.fixedRows(), layout.rowCount() - 1));
        verticalScrollBar()->setPageStep(10);
        viewport()->setAutoFillBackground(false);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(viewport());
        paintSheet(p, m_layout, m_painter, horizontalScrollBar()->value(),
                   verticalScrollBar()->value(), viewport()->size());
    }
    void scrollContentsBy(int, int) override { viewport()->update(); }

  private:
    const cuiSheetLayout& m_layout;
    const cuiCellPainter& m_painter;
};

} // namespace

int main(int argc, char** argv) {
    // A picture needs no widgets: it is drawn on a GUI application alone.
    bool grabbing = false;
    for (int i = 1; i < argc; ++i)
        grabbing |= std::strcmp(argv[i], "--grab") == 0;
    std::unique_ptr<QGuiApplication> app(grabbing ? new QGuiApplication(argc, argv)
                                                  : new QApplication(argc, argv));
    QStringList args = app->arguments().mid(1);
    QString overlay = QCoreApplication::applicationDirPath() + QStringLiteral("/QXT5200_ENG.OVL");
    QString grab;
    QSize size(1000, 700);
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("--overlay") || a == QLatin1String("--grab") ||
             a == QLatin1String("--size")) &&
            i + 1 < args.size()) {
            const QString v = args[++i];
            if (a == QLatin1String("--overlay"))
                overlay = v;
            else if (a == QLatin1String("--grab"))
                grab = v;
            else {
                const QStringList wh = v.split('x');
                if (wh.size() != 2 || wh[0].toInt() < 100 || wh[1].toInt() < 100) return usage();
                size = QSize(wh[0].toInt(), wh[1].toInt());
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2) return usage();
    if (!QFile::exists(overlay)) {
        std::fprintf(stderr, "qxt5200-sheetview: no overlay file %s\n", qPrintable(overlay));
        return 2;
    }

    // A fault in the definitions is printed, not shown in a box: the tool often runs
    // without anyone at the screen.
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) {
        std::fprintf(stderr, "qxt5200-sheetview: definition error: %s\n", qPrintable(text));
    });

    cmcGTex& table = cmcGTex::mainTable();
    table.openFile(overlay);
    cmcFCache::instance().setTable(&table);

    cmcEeprom image(QxRadio::ImageSize);
    const int code = indCloneFile::open(positional[0], image);
    if (code != 0) {
        std::fprintf(stderr, "qxt5200-sheetview: cannot read %s (file error %d)\n",
                     qPrintable(positional[0]), code);
        return 1;
    }
    cmcCellDispatch::global().setImage(&image);
    cuiDispatchSource source(&cmcCellDispatch::global());

    std::unique_ptr<cuiSheetLayout> layout = cuiSheetLayout::create(positional[1], table);
    layout->Build();
    const cuiCellPainter painter(*layout, &source);

    int status = 0;
    if (!grab.isEmpty()) {
        QImage picture(size, QImage::Format_RGB32);
        {
            QPainter p(&picture);
            paintSheet(p, *layout, painter, layout->fixedCols(), layout->fixedRows(), size);
        }
        if (!picture.save(grab)) {
            std::fprintf(stderr, "qxt5200-sheetview: cannot write %s\n", qPrintable(grab));
            status = 1;
        }
    } else {
        SheetView view(*layout, painter);
        view.setWindowTitle(positional[1] + QStringLiteral(" - ") +
                            QFileInfo(positional[0]).fileName());
        view.resize(size);
        view.show();
        status = app->exec();
    }
    cmcCellDispatch::global().setImage(nullptr);
    return status;
}
