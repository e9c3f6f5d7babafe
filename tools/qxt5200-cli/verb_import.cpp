// import FILE LIST IN.csv [-o NEW] [--replace|--append] [--clamp]: a list of a clone file
// from CSV, every row checked before anything is written.

#include "cliCells.h"
#include "cliFiles.h"
#include "cliLists.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcCsvLists.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

namespace {

int runImport(const QStringList& arguments) {
    const QString verb = QStringLiteral("import");
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    QString out;
    if (!cliLists::takeOption(args, QStringLiteral("-o"), &out, verb)) return CLI_USAGE;
    cmcCsvOptions options;
    const bool replace = cliLists::takeSwitch(args, QStringLiteral("--replace"));
    const bool append = cliLists::takeSwitch(args, QStringLiteral("--append"));
    options.clamp = cliLists::takeSwitch(args, QStringLiteral("--clamp"));
    if (args.size() != 3 || (replace && append)) {
        cliError(QStringLiteral(
            "usage: qxt5200-cli import FILE LIST IN.csv [-o NEW] [--replace|--append] [--clamp]"));
        return CLI_USAGE;
    }
    options.mode = replace  ? cmcCsvOptions::Replace
                   : append ? cmcCsvOptions::Append
                            : cmcCsvOptions::Merge;
    const QString file = args[0];
    if (out.isEmpty()) out = file;
    const cmcCsvTable* list = cliLists::findList(args[1], verb);
    if (!list) return CLI_BadReference;

    QByteArray text;
    QString error;
    if (!cmcCsvList::readFile(args[2], &text, &error)) {
        cliError(QStringLiteral("qxt5200-cli import: ") + error);
        return CLI_ListFileError;
    }
    cmcEeprom image;
    if (const int code = cliCells::openImage(file, image)) return code;
    const cmcEeprom own(image); // the file keeps its own map revision and maker text
    // Rows that come into use start from the factory data where it has some for them.
    cmcEeprom initial(QxRadio::ImageSize);
    const bool haveInitial = indCloneFile::readInitial(cliFiles::initialFilePath(), initial) == 0;

    const cmcCsvResult result = cmcCsvList::read(image, haveInitial ? &initial : nullptr,
                                                 imcCsvLists::layouts(*list), text, options);
    for (const cmcCsvIssue& issue : result.errors)
        cliError(args[2] + QStringLiteral(": ") + issue.describe());
    if (!result.ok()) {
        cliError(QStringLiteral("qxt5200-cli import: %1 error(s); nothing written")
                     .arg(result.errors.size()));
        return CLI_ValueRefused;
    }
    for (const cmcCsvIssue& issue : result.clamped)
        cliError(args[2] + QStringLiteral(": clamped: ") + issue.describe());

    const int code = indCloneFile::save(out, image, own);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return code;
    }
    QString done =
        QStringLiteral("%1 row(s) imported into the %2 list (%3 layout)")
            .arg(result.rows)
            .arg(QString::fromLatin1(list->name), QString::fromLatin1(result.table->layout));
    if (result.rows > 0) done += QStringLiteral(", rows %1").arg(result.landed());
    if (result.firstNumber == 0)
        done += QStringLiteral("; the file counts its rows from 0: its row 0 is row 1");
    cliOut(done);
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("import"),
    QStringLiteral(
        "import FILE LIST IN.csv [-o NEW] [--replace|--append] [--clamp] [--overlay OVL]"),
    QStringLiteral(
        "Reads the rows of a list from the CSV file IN.csv into the clone file FILE and\n"
        "saves the result to NEW (else FILE, in place, through a temporary file).\n"
        "The header line tells the layout: the list's own columns (as export writes\n"
        "them) or, for channels, the common layout (Location, Name, Frequency,\n"
        "Duplex, Offset, Mode, Comment; other columns are passed over). Location\n"
        "counts as the file counts: from 0 when the file gives a Location 0 (the\n"
        "first row), else from 1. The rows the file went to are printed.\n\n"
        "Every value goes into its cell as if typed there. Every row is checked\n"
        "first: any error (each names the line, the column and why) writes nothing.\n"
        "A value the radio cannot hold as given (too long, out of its limits, finer\n"
        "than its steps) is an error, unless --clamp: then it is stored as the cell\n"
        "takes it and reported.\n\n"
        "Each row goes to its row number, other rows stay; --replace clears the list\n"
        "first; --append puts the rows after the last row in use, in file order.\n\n"
        "Exit status: 0; the file error code 1..9; 12 no such list; 13 rows were\n"
        "refused (nothing written); 14 IN.csv cannot be read (missing, not a regular\n"
        "file); 64 wrong arguments."),
    &runImport,
});

} // namespace
