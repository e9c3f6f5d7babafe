// qxt5200-sheetview [--overlay FILE] [--grab FILE.png] [--size WxH] FILE.icf SHEETCOMMAND
//
// Opens one sheet of the overlay (by default the English overlay beside the executable)
// over the image of a clone file, in a window of its own, with the program's cell
// dispatcher behind it: values can be looked at and edited, nothing is saved. With
// --grab the window is painted into a PNG file and the program ends.

#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cuiCellSource.h"
#include "cuiDispatchSource.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "indCloneFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr, "usage: qxt5200-sheetview [--overlay FILE] [--grab FILE.png] [--size WxH] FILE.icf "
                         "SHEETCOMMAND\n"
                         "example: qxt5200-sheetview data.icf \"[St_ChBank]GI_Sheet_Mch_,Bank 0\"\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString overlay = QCoreApplication::applicationDirPath() + QStringLiteral("/QXT5200_ENG.OVL");
    QString grab;
    QSize size(1000, 700);
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("--overlay") || a == QLatin1String("--grab") || a == QLatin1String("--size")) &&
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

    cmcEeprom image(QxMap::ImageSize);
    const int code = indCloneFile::open(positional[0], image, false);
    if (code != 0) {
        std::fprintf(stderr, "qxt5200-sheetview: cannot read %s (file error %d)\n", qPrintable(positional[0]), code);
        return 1;
    }
    cmcCellDispatch::global().setImage(&image);
    cuiDispatchSource source(&cmcCellDispatch::global());
    cuiCellSource::setGlobal(&source);

    QWidget window;
    window.setWindowTitle(positional[1] + QStringLiteral(" - ") + QFileInfo(positional[0]).fileName());
    window.resize(size);
    cuiSheetHost host(&window, table);
    host.OpenSheet(positional[1]);
    window.show();

    int status = 0;
    if (!grab.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
            if (!window.grab().save(grab)) {
                std::fprintf(stderr, "qxt5200-sheetview: cannot write %s\n", qPrintable(grab));
                status = 1;
            }
            app.quit();
        });
    }
    const int loop = app.exec();
    host.CloseSheet();
    cuiCellSource::setGlobal(nullptr);
    cmcCellDispatch::global().setImage(nullptr);
    return status ? status : loop;
}
