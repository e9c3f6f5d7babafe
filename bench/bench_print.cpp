// Printing figures: counting, previewing and printing (to a PDF file at 600 dpi) the channel
// sheet of the program's overlay, and all sheets of the tree; the memory of the pages the
// preview keeps while the user pages through them; Print All in the maker mode, whose tree adds the
// memory image (4,099 rows, not printed). The editor is brought up offscreen with a settings folder
// of its own.

#include "TForm1.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiPreview.h"
#include "cuiPrinter.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void measure(const char* title, cuiPrinter& printer, const QStringList& commands,
             QPrinter& device) {
    QElapsedTimer t;
    t.start();
    const int pages = printer.countPages(commands, device);
    const double countMs = t.nsecsElapsed() / 1e6;

    // The preview as the user pages through it: laid out, then each page drawn when shown,
    // fitted to the window and zoomed; the memory of the pages it keeps at the most.
    t.restart();
    const std::unique_ptr<cuiPreviewPages> source = printer.previewPages(commands, device);
    cuiPreview preview(
        nullptr, QString(), *source, [] { return 10; }, [](int) {});
    preview.show();
    const double openMs = t.nsecsElapsed() / 1e6;
    qint64 most = preview.keptBytes();
    auto pageThrough = [&] {
        QElapsedTimer each;
        each.start();
        for (int i = 0; i < preview.pageCount(); ++i) {
            preview.goToPage(i);
            most = std::max(most, preview.keptBytes());
        }
        return preview.pageCount() > 0 ? each.nsecsElapsed() / 1e6 / preview.pageCount() : 0.0;
    };
    const double fittedMs = pageThrough();
    const QSize fitted = preview.pageSize();
    preview.zoomButton()->click();
    const double zoomedMs = pageThrough();
    const QSize zoomed = preview.pageSize();

    t.restart();
    printer.printNow(commands, device);
    const double printMs = t.nsecsElapsed() / 1e6;
    std::printf("%s: %d sheets, %d pages at %d dpi; count %.1f ms; preview: laid out and "
                "first page shown %.1f ms, a page drawn %.1f ms fitted (%dx%d), %.1f ms zoomed "
                "(%dx%d), memory of the pages kept at most %.1f MB; print to PDF %.1f ms (%.1f "
                "kB)\n",
                title, int(commands.size()), pages, device.resolution(), countMs, openMs, fittedMs,
                fitted.width(), fitted.height(), zoomedMs, zoomed.width(), zoomed.height(),
                most / 1048576.0, printMs, QFileInfo(device.outputFileName()).size() / 1024.0);
}

// Print All: the pages counted for the preview, then printed, as the editor does it.
void printAll(const char* title, cuiPrinter& printer, const QStringList& commands,
              QPrinter& device) {
    QElapsedTimer t;
    t.start();
    const int pages = printer.countPages(commands, device);
    const double countMs = t.nsecsElapsed() / 1e6;
    t.restart();
    printer.printNow(commands, device);
    const double printMs = t.nsecsElapsed() / 1e6;
    std::printf("%s: %d sheets, %d pages; count %.1f ms, print to PDF %.1f ms, together %.1f ms\n",
                title, int(commands.size()), pages, countMs, printMs, countMs + printMs);
}

// The maker mode's caution is answered with OK.
struct OkPrompt : cmcPromptService {
    int ask(const QString&, const QString&, cmcPromptButtons, cmcPromptIcon) override {
        return PA_Ok;
    }
    void tell(const QString&, const QString&, cmcPromptIcon) override {}
};

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
    measure("all sheets of the tree", printer, main->treeSheetCommands(), device);

    OkPrompt ok;
    cmcPrompt::install(&ok);
    main->ActivateMakerMode();
    cmcPrompt::install(nullptr);
    printAll("Print All in the maker mode", printer, main->treeSheetCommands(), device);

    form.reset();
    main.reset();
    events.reset();
    env.reset();
    return 0;
}
