// Printing figures: counting, previewing and printing (to a PDF file at 600 dpi) the channel
// sheet of the program's overlay, and all sheets of the tree; the memory of the preview
// pages. The editor is brought up offscreen with a settings folder of its own.

#include "TForm1.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiMainTree.h"
#include "cuiPreview.h"
#include "cuiPrinter.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstdio>
#include <memory>

namespace {

void measure(const char* title, cuiPrinter& printer, const QStringList& commands,
             QPrinter& device) {
    QElapsedTimer t;
    t.start();
    const int pages = printer.countPages(commands, device);
    const double countMs = t.nsecsElapsed() / 1e6;
    t.restart();
    std::vector<QImage> images;
    printer.renderPreview(commands, device, images);
    const double previewMs = t.nsecsElapsed() / 1e6;
    qint64 bytes = 0;
    for (const QImage& image : images)
        bytes += image.sizeInBytes();
    t.restart();
    cuiPreview preview(
        nullptr, QString(),
        [&](const cuiPreview::PageSink& add) { printer.renderPreview(commands, device, add); },
        [] { return 10; }, [](int) {});
    const double storeMs = t.nsecsElapsed() / 1e6;
    t.restart();
    printer.printNow(commands, device);
    const double printMs = t.nsecsElapsed() / 1e6;
    std::printf("%s: %d sheets, %d pages at %d dpi; count %.1f ms, preview pages %.1f ms (%.1f MB "
                "unpacked, %.2f MB a page), preview window with its page store %.1f ms (%.2f MB "
                "packed), print to PDF %.1f ms (%.1f kB)\n",
                title, int(commands.size()), pages, device.resolution(), countMs, previewMs,
                bytes / 1048576.0, images.empty() ? 0.0 : bytes / 1048576.0 / double(images.size()),
                storeMs, preview.storeBytes() / 1048576.0, printMs,
                QFileInfo(device.outputFileName()).size() / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    indEnviron::Options options;
    options.settingsFolder = dir.filePath(QStringLiteral("settings"));
    options.screenSize = QSize(1280, 900);
    const QString key = QStringLiteral("Software\\Vexo\\QX-T5200-bench");
    auto env =
        std::make_unique<indEnviron>(QStringLiteral("qxt5200-bench-print"), key, key, options);
    env->currentDirectory = dir.path();
    auto events = std::make_unique<cmcEvMan>();
    auto main = std::make_unique<indMain>(*env, QCoreApplication::applicationDirPath() +
                                                    QStringLiteral("/../bin"));
    auto form = std::make_unique<TForm1>(*main, QRect(0, 0, 1280, 900));

    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
    device.setResolution(600);
    device.setPageSize(QPageSize(QPageSize::A4));

    cuiPrinter& printer = main->printer();
    measure("channel sheet", printer, {QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0")}, device);
    QStringList all;
    if (cuiMainTree* tree = main->tree())
        for (QTreeWidgetItemIterator it(tree->view()); *it; ++it)
            if (!tree->CommandOf(*it).isEmpty()) all.append(tree->CommandOf(*it));
    measure("all sheets of the tree", printer, all, device);

    form.reset();
    main.reset();
    events.reset();
    env.reset();
    return 0;
}
