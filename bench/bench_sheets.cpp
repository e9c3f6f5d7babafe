// Sheet figures: building the 500-row channel bank sheet from its one-row loop body, and
// painting one 1280 x 900 screen of it offscreen with the texts from the dispatcher; then
// the same for the delivered memory dump sheet (4095 rows of 16 bytes).

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cuiDispatchSource.h"
#include "cuiSheet.h"
#include "imcRadioFacts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QStringList definitions() {
    const QString ref = "{S(%CT_ChannelList.%1[@ch0])}";
    QString row = "{SW^(%CT_ChannelList.CL_Misc_ChNo_1Base[@ch0])}\\(@ch0+1)|" +
                  ref.arg("CL_ChL_Name") + "|" + ref.arg("CL_ChL_FreqR") + "|" +
                  ref.arg("CL_ChL_FreqT");
    for (int i = 0; i < 8; ++i)
        row += "|" + ref.arg(i % 2 ? "CL_ChL_FreqT" : "CL_ChL_FreqR");
    return {"#GI_Sheet_Mch_0_Style",
            "(FixedCols=1)(FixedRows=1)(MultiSelect=Line)(ColSizing)",
            "#GI_Sheet_Mch_0_BasicCell",
            "{<-H(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)}",
            "#GI_Sheet_Mch_0_Cells",
            "{^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)}CH|{^W}Name|{^W}RX Frequency|{^W}TX "
            "Frequency|"
            "{^W}A|{^W}B|{^W}C|{^W}D|{^W}E|{^W}F|{^W}G|{^W}H",
            ":(LoopFrom)",
            row,
            ":(LoopTo)",
            "#GI_AppInd_MchSheet_Printer_Head",
            "Channels",
            "#End_Of_Ovl"};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Builds a sheet runs times and paints one 1280 x 900 screen of it each time; prints the
// medians under the title.
void measure(const char* title, int runs, QWidget& host, const QString& command, cmcGTex& table,
             cuiCellSource& source) {
    std::vector<double> build, paint;
    int rows = 0, cols = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        std::unique_ptr<cuiSheet> sheet(cuiSheet::create(&host, command, table));
        sheet->setCellSource(&source);
        sheet->Build();
        build.push_back(t.nsecsElapsed() / 1e6);
        sheet->frame()->resize(1280, 900);
        rows = sheet->rowCount();
        cols = sheet->colCount();

        QImage screen(sheet->grid()->viewport()->size(), QImage::Format_RGB32);
        t.restart();
        sheet->grid()->viewport()->render(&screen);
        paint.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%s: %d rows x %d columns\n", title, rows, cols);
    std::printf("build (create + Build), median of %d: %.2f ms (first %.2f ms)\n", runs,
                median(build), build[0]);
    std::printf("paint one 1280x900 screen, median of %d: %.2f ms (first %.2f ms)\n", runs,
                median(paint), paint[0]);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The dispatcher's checks read selection lists: the delivered overlay beside the
    // program is their table.
    const QString overlay = QCoreApplication::applicationDirPath() + "/../bin/QXT5200_ENG.OVL";
    if (!QFile::exists(overlay)) {
        std::printf("%s not found\n", qPrintable(overlay));
        return 0;
    }
    cmcGTex delivered;
    delivered.openFile(overlay);
    cmcFCache::instance().setTable(&delivered);

    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    cmcCellDispatch dispatch(&image);
    for (int ch = 0; ch < 500; ++ch) {
        dispatch.commit(CT_ChannelList, CL_ChL_FreqR, ch, QString::number(2 + ch * 0.05, 'f', 5));
        dispatch.commit(CT_ChannelList, CL_ChL_Name, ch, QString("Channel %1").arg(ch));
    }
    cuiDispatchSource source(&dispatch);
    cmcGTex table;
    table.attachLines(definitions());

    QWidget host;
    host.resize(1280, 900);
    measure("bank sheet (matrix padded to 510 rows)", 15, host, "[St_ChBank]GI_Sheet_Mch_0,Bank 0",
            table, source);

    // The delivered memory dump sheet, from the overlay beside the program.
    measure("memory dump sheet", 5, host, "GI_Sheet_EeDebugWin", delivered, source);
    return 0;
}
