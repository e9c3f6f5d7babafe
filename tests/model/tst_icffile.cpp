// Clone files: writing, reading line by line, the coverage check, the error message, and the
// save that never leaves a half-written file.

#include "ScriptedPrompt.h"
#include "SystemReason.h"
#include "cmcEeprom.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const cmcAdrRange Whole[] = {{0x0000, 0xFFEF}, {1, 0}};
const cmcAdrRange Repeater[] = {{0x0000, 0x00D6}, {1, 0}};

uint8_t pattern(int32_t a) {
    return uint8_t(a * 13 + 7);
}

cmcEeprom patternImage() {
    cmcEeprom image(QxRadio::ImageSize);
    for (int32_t a = 0; a < image.GetSize(); ++a)
        image.SetByte(a, pattern(a));
    return image;
}

QByteArray dataLine(int32_t address, int32_t count) {
    QByteArray line = QString::asprintf("%04X%02X", address, count).toLatin1();
    for (int32_t k = 0; k < count; ++k)
        line += QString::asprintf("%02X", pattern(address + k)).toLatin1();
    return line;
}

// Header, comment, map revision and 16-byte data lines over [first, last].
QList<QByteArray> fileLines(int32_t first = 0, int32_t last = 0xFFEF) {
    QList<QByteArray> lines = {"70410001", "#Comment=test", "#MapRev=2"};
    for (int32_t a = first; a <= last; a += 16)
        lines << dataLine(a, std::min(16, last - a + 1));
    return lines;
}

QByteArray joined(const QList<QByteArray>& lines, const char* end = "\r\n") {
    QByteArray text;
    for (const QByteArray& l : lines)
        text += l + end;
    return text;
}

bool acceptTwo(void*, int32_t revision) {
    return revision == 2;
}

// The texts the messages use, without the end line.
QStringList baseLines() {
    QStringList lines = {"#GI_Sys_AppTitle", "QX-T5200 Editor", "#GI_Mess_FileErr_Headline",
                         "File error."};
    for (int code = 1; code <= 9; ++code)
        lines << "#" + cmcIcfFile::errorKey(code) << QString("Message %1").arg(code);
    return lines;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(content), content.size());
}

} // namespace

class tst_IcfFile : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();

    void writesWholeImage();
    void writesRangesInAlignedRuns();
    void readErrors_data();
    void readErrors();
    void laterLinesOverwrite_data();
    void laterLinesOverwrite();
    void problemsNameTheCause();
    void readWithoutRangesSkipsCoverage();
    void modelCheckDecides_data();
    void modelCheckDecides();
    void messageHasHeadlineAndText();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void saveFailsMidWriteKeepsOldFile();

    void preparesImageForSaving();
    void openValidatesIdentity_data();
    void openValidatesIdentity();
    void repeaterFileRoundTrip();
    void initialDataIsFactoryState();

  private:
    QTemporaryDir m_dir;
};

void tst_IcfFile::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(cmcGTex::mainTable().attachLines(baseLines() << "#End_Of_Ovl"));
}

void tst_IcfFile::writesWholeImage() {
    ScriptedPrompt prompt;
    cmcEeprom image = patternImage();
    cmcIcfFile file(image);
    file.setModelCode(0x7041);
    file.setExtraCode(0x0001);
    file.setComment("My radio");
    file.setMapRevision(2);
    const QString path = m_dir.filePath("whole.icf");
    QCOMPARE(file.write(path, Whole), 0);
    QVERIFY(prompt.entries().isEmpty());

    const QByteArray text = readAll(path);
    QVERIFY(text.endsWith("\r\n"));
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    QCOMPARE(lines.size(), 4098);
    for (const QByteArray& l : lines)
        QVERIFY(l.endsWith('\r'));
    QCOMPARE(lines[0], QByteArray("70410001\r"));
    QCOMPARE(lines[1], QByteArray("#Comment=My radio\r"));
    QCOMPARE(lines[2], QByteArray("#MapRev=2\r"));
    QCOMPARE(lines[3], dataLine(0, 16) + '\r');
    QVERIFY(lines[3].startsWith("000010"));
    QVERIFY(lines.last().startsWith("FFE010"));
    QCOMPARE(text, joined(fileLines()).replace("#Comment=test", "#Comment=My radio"));

    // And it reads back into a cleared image as the same bytes.
    cmcEeprom back(QxRadio::ImageSize);
    cmcIcfFile reader(back);
    reader.setModelCode(0x7041);
    reader.setExtraCode(0x0001);
    reader.setMapRevCheck(&acceptTwo, nullptr);
    QCOMPARE(reader.read(path, Whole), 0);
    QCOMPARE(reader.mapRevision(), 2);
    QVERIFY(back == image);
}

void tst_IcfFile::writesRangesInAlignedRuns() {
    cmcEeprom image = patternImage();
    cmcIcfFile file(image);
    file.setModelCode(0x1234);
    file.setExtraCode(0x00AB);
    file.setMapRevision(-1);
    file.setComment("two\r\nlines");
    // The list ends at the pair that leaves the image, not only at (1, 0).
    const cmcAdrRange ranges[] = {
        {0x0005, 0x0023}, {0x0030, 0x0030}, {0xFFE0, 0xFFF0}, {0x0100, 0x0100}, {1, 0}};
    const QString path = m_dir.filePath("ranges.icf");
    QCOMPARE(file.write(path, ranges), 0);
    const QList<QByteArray> expected = {
        "123400AB",         "#Comment=two  lines", "#MapRev=-1",     dataLine(0x05, 11),
        dataLine(0x10, 16), dataLine(0x20, 4),     dataLine(0x30, 1)};
    QCOMPARE(readAll(path), joined(expected));
}

void tst_IcfFile::readErrors_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("withRanges");
    QTest::addColumn<int>("code");

    const QList<QByteArray> good = fileLines();
    auto with = [&](int index, const QByteArray& replacement) {
        QList<QByteArray> l = good;
        l[index] = replacement;
        return joined(l);
    };
    auto without = [&](int index) {
        QList<QByteArray> l = good;
        l.removeAt(index);
        return joined(l);
    };
    auto inserted = [&](int index, const QByteArray& line) {
        QList<QByteArray> l = good;
        l.insert(index, line);
        return joined(l);
    };

    QTest::newRow("whole image, CR LF") << joined(good) << true << 0;
    QTest::newRow("whole image, LF only") << joined(good, "\n") << true << 0;
    QTest::newRow("empty file") << QByteArray() << true << 6;
    // A header alone, even without its line end, is a file without data.
    QTest::newRow("header without line feed") << QByteArray("70410001") << true << 7;
    QTest::newRow("nine-digit header") << with(0, "704100011") << true << 6;
    QTest::newRow("lettered header") << with(0, "7A410001") << true << 6;
    QTest::newRow("other model") << with(0, "70420001") << true << 3;
    QTest::newRow("other extra code") << with(0, "70410002") << true << 4;
    QTest::newRow("data before map revision") << with(2, "#Comment=") + "#MapRev=2\r\n"
                                              << true << 5;
    QTest::newRow("no map revision") << without(2) << true << 5;
    QTest::newRow("map revision 3") << with(2, "#MapRev=3") << true << 5;
    QTest::newRow("map revision number after the key only") << with(2, "#xMapRev=2") << true << 5;
    QTest::newRow("map revision line anywhere before data")
        << inserted(1, "#MapRev=2") << true << 0;
    QTest::newRow("count 00") << inserted(3, "000000") << true << 6;
    QTest::newRow("odd digit count") << with(3, dataLine(0, 16) + "0") << true << 6;
    QTest::newRow("count disagrees with length")
        << with(3, "000011" + dataLine(0, 16).mid(6)) << true << 6;
    QTest::newRow("non-hex character") << with(3, dataLine(0, 16).replace(10, 1, "G")) << true << 6;
    QTest::newRow("blank inside a line")
        << with(3, dataLine(0, 16).replace(10, 1, " ")) << true << 6;
    QTest::newRow("FFE0 with 17 bytes") << inserted(4, "FFE011" + QByteArray(34, 'A')) << true << 8;
    QTest::newRow("line of 255 bytes past the end")
        << inserted(4, "FF00FF" + QByteArray(510, '0')) << true << 8;
    QTest::newRow("one line missing") << without(1000) << true << 7;
    QTest::newRow("last line missing") << without(good.size() - 1) << true << 7;
    QTest::newRow("empty line after map revision") << inserted(3, "") << true << 6;
    QTest::newRow("empty line before map revision") << inserted(2, "") << true << 5;
    QTest::newRow("comment of 766 characters") << with(1, "#" + QByteArray(765, 'c')) << true << 0;
    // A longer line is refused as a whole (its rest was once taken as a data line before
    // the map revision, and reported as a map revision fault).
    QTest::newRow("comment of 767 characters") << with(1, "#" + QByteArray(766, 'c')) << true << 6;
    QTest::newRow("comment of 100,000 characters")
        << with(1, "#" + QByteArray(99999, 'c')) << true << 6;
    // Text editors often leave the last line without its line end.
    QTest::newRow("last line without CR LF") << joined(good).chopped(2) << true << 0;
    QTest::newRow("last line without LF") << joined(good, "\n").chopped(1) << true << 0;
    QTest::newRow("last line ending in CR alone") << joined(good).chopped(1) << true << 0;
    QTest::newRow("last line cut short") << joined(good).chopped(3) << true << 6;
    QTest::newRow("data line of 767 characters")
        << inserted(3, "0000FF" + QByteArray(761, '0')) << true << 6;

    // Only the repeater part is required: a line beyond it is data outside the ranges (8),
    // even when lines are missing; without it only the gap is reported (7).
    QList<QByteArray> rpt = fileLines(0, 0xD6);
    rpt.removeAt(5);
    QTest::newRow("repeater gap") << joined(rpt) << false << 7;
    rpt << dataLine(0x100, 16);
    QTest::newRow("repeater gap plus outside line") << joined(rpt) << false << 8;
}

void tst_IcfFile::readErrors() {
    QFETCH(QByteArray, content);
    QFETCH(bool, withRanges);
    QFETCH(int, code);
    ScriptedPrompt prompt;
    const QString path = m_dir.filePath("read.icf");
    writeFile(path, content);

    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0x5C);
    const cmcEeprom before(image);
    cmcIcfFile file(image);
    file.setModelCode(0x7041);
    file.setExtraCode(0x0001);
    file.setMapRevCheck(&acceptTwo, nullptr);
    QCOMPARE(file.read(path, withRanges ? Whole : Repeater), code);

    if (code == 0) {
        QVERIFY(image == patternImage());
        QVERIFY(prompt.entries().isEmpty());
    } else {
        QVERIFY2(image == before, "a failed read changed the image");
        QVERIFY(prompt.entries().isEmpty()); // the caller tells the user
        QCOMPARE(cmcIcfFile::message(code, file.problem()),
                 QString("File error.\n\nMessage %1").arg(code));
    }
}

// A line over addresses that an earlier line gave overwrites them, whether it repeats the
// earlier line's run or overlaps it; the coverage check still passes. Lower-case digits are
// read.
void tst_IcfFile::laterLinesOverwrite_data() {
    QTest::addColumn<int>("position"); // where the extra line goes among the file's lines
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected"); // the bytes 0x10..0x1F after the read

    QByteArray pattern16;
    for (int32_t a = 0x10; a < 0x20; ++a)
        pattern16 += char(pattern(a));
    QByteArray overlapped = pattern16;
    overlapped[8] = 0x01;
    overlapped[9] = 0x02;
    const QByteArray repeated(16, char(0xA5));

    QTest::newRow("repeated address, appended")
        << 4098
        << QByteArray("0010"
                      "10" +
                      QByteArray(32, 'a').replace("aa", "a5"))
        << repeated;
    QTest::newRow("overlapping line, appended") << 4098 << QByteArray("0018020102") << overlapped;
    QTest::newRow("overlapping line, right after") << 5 << QByteArray("0018020102") << overlapped;
    // Given before the whole run, the overlap is overwritten in its turn.
    QTest::newRow("overlapping line, before") << 4 << QByteArray("0018020102") << pattern16;
    QTest::newRow("lower-case repeat") << 4098 << dataLine(0x10, 16).toLower() << pattern16;
}

void tst_IcfFile::laterLinesOverwrite() {
    QFETCH(int, position);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    QList<QByteArray> lines = fileLines();
    lines.insert(position, line);
    const QString path = m_dir.filePath("overwrite.icf");
    writeFile(path, joined(lines));
    cmcEeprom image(QxRadio::ImageSize);
    cmcIcfFile file(image);
    file.setModelCode(0x7041);
    file.setExtraCode(0x0001);
    file.setMapRevCheck(&acceptTwo, nullptr);
    QCOMPARE(file.read(path, Whole), 0);
    QCOMPARE(file.dataLineCount(), 4096);
    QByteArray got(16, 0);
    image.GetBlock(0x10, reinterpret_cast<uint8_t*>(got.data()), 16);
    QCOMPARE(got.toHex(), expected.toHex());
    QCOMPARE(image.GetByte(0x0F), pattern(0x0F));
    QCOMPARE(image.GetByte(0x20), pattern(0x20));
}

// Every error that has a cause beyond its code keeps it: the file and the system's reason,
// or the line. Nothing blocks on a FIFO, and nothing replaces one.
void tst_IcfFile::problemsNameTheCause() {
    cmcEeprom image = patternImage();
    const cmcEeprom before = image;
    cmcIcfFile file(image);
    file.setModelCode(0x7041);
    file.setExtraCode(0x0001);
    file.setMapRevCheck(&acceptTwo, nullptr);

    QStringList notFiles{m_dir.path()};
#ifndef Q_OS_WIN // Windows has no FIFOs
    const QString fifo = m_dir.filePath("fifo.icf");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    notFiles.prepend(fifo);
#endif
    for (const QString& path : notFiles) {
        QCOMPARE(file.read(path, Whole), int(ICF_FileOpen));
        QCOMPARE(file.problem().kind, cmcIcfProblem::NotRegular);
        QCOMPARE(cmcIcfFile::englishProblemText(file.problem()),
                 QDir::toNativeSeparators(path) + QStringLiteral(" is not a regular file."));
        QCOMPARE(cmcIcfFile::lastProblem().path, path);
        QCOMPARE(file.write(path, Whole), int(ICF_FileOpen));
        QVERIFY(!cmcIcfFile::canWrite(path, nullptr));
    }
#ifndef Q_OS_WIN
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
#endif
    QVERIFY(image == before);

    const QString absent = m_dir.filePath("no/such/folder/x.icf");
    QCOMPARE(file.read(absent, Whole), int(ICF_FileOpen));
    QCOMPARE(cmcIcfFile::englishProblemText(file.problem()),
             QStringLiteral("The system reports for %1: %2.")
                 .arg(QDir::toNativeSeparators(absent), openFailureReason(absent)));
    QCOMPARE(file.write(absent, Whole), int(ICF_FileOpen));
    QCOMPARE(file.problem().kind, cmcIcfProblem::System);
    QVERIFY(!file.problem().reason.isEmpty());
    cmcIcfProblem problem;
    QVERIFY(!cmcIcfFile::canWrite(absent, &problem));
    QCOMPARE(problem.path, m_dir.filePath("no/such/folder"));
    QVERIFY(cmcIcfFile::canWrite(m_dir.filePath("new.icf"), nullptr));

    // A long line is named; so is an empty file and one of header lines alone.
    const QString path = m_dir.filePath("cause.icf");
    QList<QByteArray> lines = fileLines();
    lines[1] = "#Comment=" + QByteArray(100000, 'c');
    writeFile(path, joined(lines));
    QCOMPARE(file.read(path, Whole), int(ICF_Format));
    QCOMPARE(cmcIcfFile::englishProblemText(file.problem()),
             QStringLiteral("Line 2 is longer than 766 characters."));
    writeFile(path, QByteArray());
    QCOMPARE(file.read(path, Whole), int(ICF_Format));
    QCOMPARE(file.problem().kind, cmcIcfProblem::Empty);
    writeFile(path, "70410001\r\n#Comment=\r\n#MapRev=2\r\n");
    QCOMPARE(file.read(path, Whole), int(ICF_Coverage));
    QCOMPARE(file.problem().kind, cmcIcfProblem::NoData);
    QVERIFY(image == before);
    // The editor's Open judges the identity before the coverage: a file of header lines
    // alone fails it (8), and the reason named is that it holds no data. So does the header
    // line alone.
    cmcEeprom working = patternImage();
    for (const QByteArray& headerOnly :
         {QByteArray("70410001\r\n#Comment=\r\n#MapRev=2\r\n"), QByteArray("70410001\r\n")}) {
        writeFile(path, headerOnly);
        QCOMPARE(indCloneFile::open(path, working), int(ICF_Data));
        QCOMPARE(cmcIcfFile::lastProblem().kind, cmcIcfProblem::NoData);
        QCOMPARE(cmcIcfFile::englishProblemText(cmcIcfFile::lastProblem()),
                 QStringLiteral("The file holds no data, only its header."));
    }
    // Data without the identity: the same code, named as such.
    writeFile(path, joined(fileLines(0, 0xFF)));
    QCOMPARE(indCloneFile::open(path, working), int(ICF_Data));
    QCOMPARE(cmcIcfFile::lastProblem().kind, cmcIcfProblem::Identity);
    QVERIFY(working == patternImage());

    // A success clears the last problem.
    writeFile(path, joined(fileLines()));
    QCOMPARE(file.read(path, Whole), 0);
    QCOMPARE(cmcIcfFile::lastProblem().kind, cmcIcfProblem::None);

    // The message puts the detail below the code's text when the table has the detail texts.
    cmcIcfProblem bad;
    bad.kind = cmcIcfProblem::BadLine;
    bad.line = 7;
    QCOMPARE(cmcIcfFile::message(ICF_Format, bad), QStringLiteral("File error.\n\nMessage 6"));
    cmcGTex& table = cmcGTex::mainTable();
    table.close();
    QVERIFY(table.attachLines(baseLines() << "#GI_Mess_FileErr_Detail"
                                          << "S %1 %2"
                                          << "R %1"
                                          << "L %1 %2"
                                          << "B %1"
                                          << "#End_Of_Ovl"));
    QCOMPARE(cmcIcfFile::message(ICF_Format, bad),
             QStringLiteral("File error.\n\nMessage 6\n\nB 7"));
    table.close();
    QVERIFY(table.attachLines(baseLines() << "#End_Of_Ovl"));
}

void tst_IcfFile::readWithoutRangesSkipsCoverage() {
    ScriptedPrompt prompt;
    QList<QByteArray> lines = fileLines(0, 0x3F);
    lines.removeAt(4);
    const QString path = m_dir.filePath("partial.icf");
    writeFile(path, joined(lines));
    cmcEeprom image(QxRadio::ImageSize);
    cmcIcfFile file(image);
    file.setModelCode(0x7041);
    file.setExtraCode(0x0001);
    file.setMapRevCheck(&acceptTwo, nullptr);
    QCOMPARE(file.read(path), 0);
    QCOMPARE(file.loadedCount(), 48);
    QVERIFY(file.isLoaded(0x0F));
    QVERIFY(!file.isLoaded(0x10));
    QCOMPARE(file.checkCoverage(Whole), 7);
    const cmcAdrRange exact[] = {{0x00, 0x0F}, {0x20, 0x3F}, {1, 0}};
    QCOMPARE(file.checkCoverage(exact), 0);
    const cmcAdrRange smaller[] = {{0x00, 0x0F}, {1, 0}};
    QCOMPARE(file.checkCoverage(smaller), 8);
    QCOMPARE(file.checkCoverage(nullptr), 7);
    QVERIFY(prompt.entries().isEmpty()); // the coverage check never reports

    cmcIcfFile unattached;
    QCOMPARE(unattached.checkCoverage(Whole), 7);
}

void tst_IcfFile::modelCheckDecides_data() {
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("code");
    QTest::newRow("accepted") << QByteArray("70410001") << 0;
    QTest::newRow("model code") << QByteArray("70400001") << 3;
    QTest::newRow("extra code") << QByteArray("70410000") << 4;
}

void tst_IcfFile::modelCheckDecides() {
    QFETCH(QByteArray, header);
    QFETCH(int, code);
    QList<QByteArray> lines = fileLines();
    lines[0] = header;
    const QString path = m_dir.filePath("model.icf");
    writeFile(path, joined(lines));
    cmcEeprom image(QxRadio::ImageSize);
    cmcIcfFile file(image);
    // The object's own codes would reject everything; the callback decides instead.
    file.setModelCode(0x9999);
    file.setModelCheck(&indCloneFile::acceptModel, nullptr);
    file.setMapRevCheck(&indCloneFile::acceptCloneMapRev, nullptr);
    QCOMPARE(file.read(path, Whole), code);
}

void tst_IcfFile::messageHasHeadlineAndText() {
    QVERIFY(cmcIcfFile::message(0).isEmpty());
    QVERIFY(cmcIcfFile::message(10).isEmpty());
    QVERIFY(cmcIcfFile::message(-1).isEmpty());
    QCOMPARE(cmcIcfFile::message(7), QStringLiteral("File error.\n\nMessage 7"));

    // Readers and writers never show anything themselves: the message is their caller's.
    ScriptedPrompt prompt;
    cmcEeprom image(QxRadio::ImageSize);
    cmcIcfFile file(image);
    QCOMPARE(file.read(m_dir.filePath("missing.icf")), 1);
    QCOMPARE(file.read(m_dir.path()), 1); // a folder is not a file
    QVERIFY(prompt.entries().isEmpty());
}

void tst_IcfFile::failedSaveKeepsOldFile_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("needsPermissions");
    QTest::newRow("target is a directory") << "adir" << false;
    QTest::newRow("folder does not exist") << "nofolder/file.icf" << false;
    QTest::newRow("read-only folder") << "rofolder/file.icf" << true;
}

void tst_IcfFile::failedSaveKeepsOldFile() {
    QFETCH(QString, target);
    QFETCH(bool, needsPermissions);
#ifdef Q_OS_WIN
    if (needsPermissions) QSKIP("a read-only folder can still be written into on Windows");
#else
    if (needsPermissions && geteuid() == 0) QSKIP("permissions do not stop the superuser");
#endif
    ScriptedPrompt prompt;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("adir"));
    QVERIFY(QDir(dir.path()).mkdir("rofolder"));
    const QString old = dir.filePath("rofolder/file.icf");
    writeFile(old, "old contents\r\n");
    QVERIFY(QFile::setPermissions(dir.filePath("rofolder"), QFile::ReadOwner | QFile::ExeOwner));

    cmcEeprom image = patternImage();
    cmcIcfFile file(image);
    QCOMPARE(file.write(dir.filePath(target), Whole), 1);
    QVERIFY(prompt.entries().isEmpty());
    QCOMPARE(readAll(old), QByteArray("old contents\r\n"));
    QVERIFY(QFileInfo(dir.filePath("adir")).isDir());
    QCOMPARE(QDir(dir.filePath("rofolder")).entryList(QDir::Files), QStringList{"file.icf"});
    QFile::setPermissions(dir.filePath("rofolder"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_IcfFile::saveFailsMidWriteKeepsOldFile() {
    // A file-size limit makes the disk refuse the write half-way, for every user.
#ifdef Q_OS_WIN
    QSKIP("Windows has no file-size limit to make a write fail half-way");
#else
    ScriptedPrompt prompt;
    QTemporaryDir dir;
    const QString path = dir.filePath("radio.icf");
    writeFile(path, "old contents\r\n");

    cmcEeprom image = patternImage();
    cmcIcfFile file(image);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 40000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int code = file.write(path, Whole);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(code, 2);
    QVERIFY(prompt.entries().isEmpty());
    QCOMPARE(readAll(path), QByteArray("old contents\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"radio.icf"}); // no leftovers
#endif
}

void tst_IcfFile::preparesImageForSaving() {
    cmcEeprom loaded(QxRadio::ImageSize);
    loaded.SetBlock(QxRadio::MakerTextAddr, reinterpret_cast<const uint8_t*>("VEXO Inc"), 8);
    loaded.SetByte(QxRadio::MapRevisionAddr, 2);
    cmcEeprom image = patternImage();
    const uint8_t comment[16] = {'\t', ' ', 'S',  'h',  'i', 'p', 0x7F, '1',
                                 ' ',  ' ', 0xFF, 0xFF, 0,   0,   0,    0};
    image.SetBlock(QxRadio::CommentAddr, comment, 16);
    QCOMPARE(indCloneFile::commentOf(image), QStringLiteral("  Ship 1"));

    cmcEeprom forOpen(image);
    indCloneFile::prepareImage(forOpen, loaded, false);
    QCOMPARE(forOpen.GetByte(QxRadio::SaveMarkAddr), pattern(QxRadio::SaveMarkAddr));

    QTemporaryDir dir;
    const QString path = dir.filePath("saved.icf");
    QCOMPARE(indCloneFile::save(path, image, loaded), 0);
    for (cmcEeprom* img : {&image, &forOpen}) {
        char maker[9] = {};
        img->GetBlock(QxRadio::MakerTextAddr, reinterpret_cast<uint8_t*>(maker), 8);
        QCOMPARE(QByteArray(maker), QByteArray("VEXO Inc"));
        QCOMPARE(img->GetByte(QxRadio::MapRevisionAddr), uint8_t(2));
    }
    QCOMPARE(image.GetByte(0x8FE5), uint8_t(0xFF));
    QCOMPARE(image.GetByte(0x8FE6), uint8_t(0xFF));
    const QByteArray text = readAll(path);
    QVERIFY(text.startsWith("70410001\r\n#Comment=  Ship 1\r\n#MapRev=2\r\n"));
    QVERIFY(text.contains("\r\n8FE010"));
}

void tst_IcfFile::openValidatesIdentity_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::newRow("good") << 0 << -1 << 0;
    QTest::newRow("identity text") << QxRadio::IdentityAddr + 5 << int('2') << 8;
    QTest::newRow("map revision byte") << QxRadio::MapRevisionAddr << 3 << 8;
    QTest::newRow("line missing") << 0x2000 << -2 << 7;
}

void tst_IcfFile::openValidatesIdentity() {
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(int, code);
    ScriptedPrompt prompt;
    cmcEeprom source(QxRadio::ImageSize);
    source.Fill(0x33);
    source.SetBlock(QxRadio::IdentityAddr, reinterpret_cast<const uint8_t*>("QM7041"), 6);
    source.SetByte(QxRadio::MapRevisionAddr, 2);
    if (value >= 0) source.SetByte(address, uint8_t(value));
    QTemporaryDir dir;
    const QString path = dir.filePath("open.icf");
    cmcIcfFile writer(source);
    writer.setModelCode(0x7041);
    writer.setExtraCode(1);
    writer.setMapRevision(2);
    const cmcAdrRange gap[] = {{0, 0x1FFF}, {0x2010, 0xFFEF}, {1, 0}};
    QCOMPARE(writer.write(path, value == -2 ? gap : Whole), 0);

    cmcEeprom working(QxRadio::ImageSize);
    working.Fill(0x77);
    const cmcEeprom before(working);
    QCOMPARE(indCloneFile::open(path, working), code);
    if (code == 0) {
        QVERIFY(working == source);
        QVERIFY(prompt.entries().isEmpty());
    } else {
        QVERIFY(working == before);
        QVERIFY(prompt.entries().isEmpty());
        QCOMPARE(cmcIcfFile::message(code, cmcIcfFile::lastProblem()),
                 QString("File error.\n\nMessage %1").arg(code));
    }
}

void tst_IcfFile::repeaterFileRoundTrip() {
    cmcEeprom image = patternImage();
    QTemporaryDir dir;
    const QString path = dir.filePath("rpt.icf");
    QCOMPARE(indCloneFile::saveRepeater(path, image), 0);
    const QByteArray text = readAll(path);
    QVERIFY(text.startsWith("70410001\r\n#Comment=Repeater Data\r\n#MapRev=1\r\n000010"));
    QVERIFY(text.endsWith("\r\n00D007" + dataLine(0xD0, 7).mid(6) + "\r\n"));

    cmcEeprom copy(QxRadio::ImageSize);
    copy.Fill(0x11);
    QCOMPARE(indCloneFile::readRepeater(path, copy), 0);
    QCOMPARE(copy.GetByte(0xD6), pattern(0xD6));
    QCOMPARE(copy.GetByte(0xD7), uint8_t(0)); // the rest is zero-filled

    // A clone file is not a repeater file: its map revision is 2.
    ScriptedPrompt prompt;
    const QString clonePath = dir.filePath("clone.icf");
    QCOMPARE(indCloneFile::save(clonePath, image, image), 0);
    QCOMPARE(indCloneFile::readRepeater(clonePath, copy), 5);
    QCOMPARE(cmcIcfFile::lastProblem().kind, cmcIcfProblem::CloneFile);
    // Its message says what the file is, not that its map revision is not supported.
    cmcGTex& table = cmcGTex::mainTable();
    table.close();
    QStringList details;
    for (int kind = cmcIcfProblem::System; kind <= cmcIcfProblem::CloneFile; ++kind)
        details << QStringLiteral("Detail %1").arg(kind);
    QVERIFY(
        table.attachLines(baseLines() << "#GI_Mess_FileErr_Detail" << details << "#End_Of_Ovl"));
    QCOMPARE(cmcIcfFile::message(5, cmcIcfFile::lastProblem()),
             QStringLiteral("File error.\n\nDetail %1").arg(int(cmcIcfProblem::CloneFile)));
    table.close();
    QVERIFY(table.attachLines(baseLines() << "#End_Of_Ovl"));
    // A repeater file of another map revision keeps the code's own message.
    QByteArray other = readAll(path).replace("#MapRev=1", "#MapRev=3");
    writeFile(path, other);
    QCOMPARE(indCloneFile::readRepeater(path, copy), 5);
    QCOMPARE(cmcIcfFile::lastProblem().kind, cmcIcfProblem::None);
}

void tst_IcfFile::initialDataIsFactoryState() {
    ScriptedPrompt prompt;
    cmcEeprom image(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::readInitial(QX_RUNTIME_DIR "/QXT5200_Initial.icf", image), 0);
    QVERIFY(indCloneFile::hasIdentity(image));
    char maker[9] = {};
    image.GetBlock(QxRadio::MakerTextAddr, reinterpret_cast<uint8_t*>(maker), 8);
    QCOMPARE(QByteArray(maker), QByteArray("VEXO Inc"));
    QCOMPARE(image.GetByte(0x8FE5), uint8_t(0xFF));
    QCOMPARE(image.GetByte(0x8FE6), uint8_t(0xFF));

    // Every list record empty and every row marked not valid.
    for (int32_t a = 0x052F; a <= 0x888C; ++a)
        if (image.GetByte(a) != 0xFF)
            QFAIL(qPrintable(QString("list byte %1 in use").arg(a, 4, 16)));
    for (int32_t a = 0x8FE7; a <= 0x9075; ++a)
        QCOMPARE(image.GetByte(a), uint8_t(0xFF));

    auto u32 = [&](int32_t a) {
        return uint32_t(image.GetByte(a)) | uint32_t(image.GetByte(a + 1)) << 8 |
               uint32_t(image.GetByte(a + 2)) << 16 | uint32_t(image.GetByte(a + 3)) << 24;
    };
    const uint32_t limits[9][2] = {
        {30000, 2499990},     {2500000, 5999990},   {6000000, 8999990},
        {9000000, 12999990},  {13000000, 16999990}, {17000000, 19999990},
        {20000000, 22999990}, {23000000, 25999990}, {26000000, 29999990}};
    for (int n = 0; n < 9; ++n) {
        for (int32_t a : {0x9076 + 8 * n, 0x907A + 8 * n}) {
            QVERIFY2(u32(a) >= limits[n][0] && u32(a) <= limits[n][1],
                     qPrintable(QString("band %1").arg(n + 1)));
        }
    }

    // Numeric settings inside their ranges (selections start at their first item).
    struct Range {
        int32_t address;
        int min, max;
    };
    const Range numeric[] = {{0xA962, 0, 10},  {0xA963, 0, 10},  {0xA965, 0, 50},  {0xA966, 0, 50},
                             {0xA968, 0, 15},  {0xA972, 0, 10},  {0xA973, 0, 10},  {0xA975, 0, 50},
                             {0xA97D, 0, 255}, {0xA980, 1, 15},  {0xA999, 1, 100}, {0xA99C, 1, 100},
                             {0xA99D, 1, 20},  {0xA99F, 5, 101}, {0xA9A0, 0, 48},  {0xA9A1, 0, 3},
                             {0xA9A2, 0, 4},   {0xA9A4, 0, 99},  {0xA9A5, 1, 8},   {0xA9A7, 0, 100},
                             {0xA9AA, 1, 0xDF}};
    for (const Range& r : numeric) {
        const int v = image.GetByte(r.address);
        QVERIFY2(v >= r.min && v <= r.max,
                 qPrintable(QString("setting at %1 is %2").arg(r.address, 4, 16).arg(v)));
    }
    QVERIFY(prompt.entries().isEmpty());
}

QTEST_GUILESS_MAIN(tst_IcfFile)
#include "tst_icffile.moc"
