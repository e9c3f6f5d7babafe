// fleet-sheet FILE FILE... [-o OUT]: the per-radio values of several radios' images.

#include "cliCells.h"
#include "cliConsole.h"
#include "cliLists.h"
#include "cliVerb.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "imcFleetSheet.h"

#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace {

int runFleetSheet(const QStringList& arguments) {
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    QString out;
    if (!cliTakeOption(args, QStringLiteral("-o"), &out) || args.size() < 2) {
        cliError(QStringLiteral("usage: qxt5200-cli fleet-sheet FILE FILE... [-o OUT]"));
        return CLI_USAGE;
    }
    std::vector<std::unique_ptr<cmcEeprom>> images;
    std::vector<const cmcEeprom*> pointers;
    QStringList radios;
    for (const QString& path : args) {
        auto image = std::make_unique<cmcEeprom>();
        if (const int code = cliCells::openImage(path, *image)) return code;
        // A several-radios read names each file by the radio's serial number.
        const QString radio = QFileInfo(path).completeBaseName();
        if (radios.contains(radio, Qt::CaseInsensitive)) {
            cliError(QStringLiteral("%1: a second file of radio %2").arg(path, radio));
            return CLI_USAGE;
        }
        radios << radio;
        pointers.push_back(image.get());
        images.push_back(std::move(image));
    }
    QStringList notes;
    const imcFleetSheet sheet = imcFleetSheet::derive(pointers, radios, &notes);
    for (const QString& n : notes)
        cliError(QStringLiteral("note: %1").arg(n));
    const QByteArray csv = sheet.toCsv();
    if (out.isEmpty()) {
        cliWriteBytes(csv);
        return CLI_OK;
    }
    QString error;
    if (!cmcCsvList::writeFile(out, csv, &error)) {
        cliError(error);
        return CLI_ListFileError;
    }
    QStringList refs;
    for (const imcFleetSheet::Column& c : sheet.columns())
        refs << c.reference;
    cliOut(QStringLiteral("%1 radios, %2 cells that differ%3")
               .arg(sheet.rows().size())
               .arg(sheet.columns().size())
               .arg(refs.isEmpty() ? QString() : QStringLiteral(": ") + refs.join(u' ')));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("fleet-sheet"),
    QStringLiteral("fleet-sheet FILE FILE... [-o OUT] [--overlay OVL]"),
    QStringLiteral(
        "Compares the clone files of several radios (typically the files a read of several\n"
        "radios saved, one per serial number) and writes the per-radio values: a CSV sheet\n"
        "with one row per file, keyed by the file's name without its extension (the serial\n"
        "number), and one column per cell whose value differs between the files, named by\n"
        "its cell reference as get and set write it (CT_AleSelfIndId.CL_Ale_SelfId_Id[0]).\n"
        "In practice these are the radios' own identities: self addresses, profile\n"
        "identifiers, names. The sheet goes to OUT, else to standard output.\n\n"
        "Differences a sheet cannot carry (bytes no cell shows, ALE channel-group\n"
        "memberships) are named on standard error as notes.\n\n"
        "write FILE --per-radio OUT then writes a document into the radios, each with its\n"
        "own row applied.\n\n"
        "Exit status: 0; the file error code 1..9; 14 OUT cannot be written; 64 wrong\n"
        "arguments."),
    &runFleetSheet,
});

} // namespace
