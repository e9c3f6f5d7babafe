// The sheet definition language: a sheet is built from a definition made of the fuzzer's
// bytes and painted. The first line is the style, the second the basic cell, the rest the
// cell rows. Faults in a definition are fatal stops, which the hook turns into exceptions;
// anything else (a crash, a hang, memory without bound under -rss_limit_mb) is a finding.

#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cuiSheet.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace {

// The cell models of the English overlay ("CellModel_..." keys with their lines), so that
// definitions can name the models real sheets use.
QStringList g_models;

void loadModels() {
    QFile file(QStringLiteral(QX_SOURCE_DIR "/data/QXT5200_ENG.OVL"));
    if (!file.open(QIODevice::ReadOnly)) return;
    bool inModel = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).remove(QLatin1Char('\r'));
        if (line.startsWith(QLatin1Char('#')))
            inModel = line.startsWith(QLatin1String("#CellModel_"));
        if (inModel) g_models << line;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    loadModels();
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) { throw cmcFatalError(text); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size))
            .split(QLatin1Char('\n'));
    QStringList defs = {QStringLiteral("#GI_Sheet_F_Style"), lines.value(0),
                        QStringLiteral("#GI_Sheet_F_BasicCell"), lines.value(1),
                        QStringLiteral("#GI_Sheet_F_Cells")};
    for (qsizetype i = 2; i < lines.size(); ++i)
        defs << lines[i];
    defs << g_models << QStringLiteral("#End_Of_Ovl");
    cmcGTex table;
    table.attachLines(defs);
    QWidget host;
    host.resize(640, 480);
    std::unique_ptr<cuiSheet> sheet;
    try {
        sheet.reset(cuiSheet::create(&host, QStringLiteral("GI_Sheet_F"), table));
        sheet->Build();
        QImage image(640, 480, QImage::Format_RGB32);
        QWidget* frame = sheet->frame();
        if (frame) frame->render(&image);
    } catch (const cmcFatalError&) {
    }
    return 0;
}
