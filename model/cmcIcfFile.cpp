#include "cmcIcfFile.h"

#include "cmcEeprom.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcSysReason.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iterator>

namespace {

// Reads a text source the way the line-buffered reader of a text-mode file does: a carriage
// return right before a line feed (or at the very end) is dropped, and each call delivers at
// most 767 characters, ending with the line feed when it fits. A longer line is reported as
// cut; the last line may lack its line feed.
class LineReader {
  public:
    explicit LineReader(QIODevice& device) : m_device(device) {}

    // Fills line with the next piece; false at the end of the source. cut: the piece filled
    // the buffer without reaching the line's end.
    bool next(char* line, int& length, bool& cut) {
        length = 0;
        cut = false;
        while (length < cmcIcfFile::LineBufferSize - 1) {
            const int c = peek(0);
            if (c < 0) break;
            if (c == '\r' && (peek(1) == '\n' || peek(1) < 0)) {
                ++m_pos;
                continue;
            }
            ++m_pos;
            line[length++] = char(c);
            if (c == '\n') return true;
        }
        // The buffer is full and no line feed came: the line is longer than a line may be.
        cut = length == cmcIcfFile::LineBufferSize - 1;
        return length > 0;
    }

  private:
    int peek(qsizetype offset) {
        if (m_pos + offset >= m_buffer.size() && !refill(offset)) return -1;
        return uint8_t(m_buffer[m_pos + offset]);
    }
    bool refill(qsizetype offset) {
        if (m_atEnd) return false;
        m_buffer.remove(0, m_pos);
        m_pos = 0;
        while (offset >= m_buffer.size()) {
            const QByteArray more = m_device.read(ChunkSize);
            if (more.isEmpty()) {
                m_atEnd = true;
                return false;
            }
            m_buffer.append(more);
        }
        return true;
    }

    static constexpr qint64 ChunkSize = 64 * 1024;
    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The decimal number at the start of text, as the C library reads it: leading white space,
// an optional sign, digits; no digits give 0. Saturates instead of overflowing.
int32_t decimalAt(const char* text, int length) {
    int i = 0;
    while (i < length && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

bool contains(const char* text, int length, const char* needle) {
    const int n = int(std::strlen(needle));
    for (int i = 0; i + n <= length; ++i)
        if (std::memcmp(text + i, needle, size_t(n)) == 0) return true;
    return false;
}

const char* const HexDigits = "0123456789ABCDEF";

void appendHex(QByteArray& out, uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i)
        out.append(HexDigits[(value >> (4 * i)) & 0xF]);
}

cmcIcfProblem& lastProblemStore() {
    static cmcIcfProblem problem;
    return problem;
}

// Used when the text table has no detail texts (the command-line tool without an overlay).
const char* const EnglishProblems[] = {
    "The system reports for %1: %2.",
    "%1 is not a regular file.",
    "Line %1 is longer than %2 characters.",
    "Line %1 is not a valid line of a clone file.",
    "The file does not hold the identity of this transceiver's memory.",
    "The file holds no data, only its header.",
    "The file is empty.",
    "This is a clone file of the transceiver's whole memory, not repeater data.",
};

} // namespace

const cmcIcfProblem& cmcIcfFile::lastProblem() {
    return lastProblemStore();
}

bool cmcIcfFile::isRegularFile(const QString& path, cmcIcfProblem* problem) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile()) return true;
    if (problem) {
        *problem = {};
        problem->kind = cmcIcfProblem::NotRegular;
        problem->path = path;
    }
    return false;
}

bool cmcIcfFile::canWrite(const QString& path, cmcIcfProblem* problem) {
    cmcIcfProblem found;
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    found.path = path;
    if (info.exists() && !info.isFile()) {
        found.kind = cmcIcfProblem::NotRegular;
    } else if (!folder.isDir()) {
        found.kind = cmcIcfProblem::System;
        found.path = info.absolutePath();
        found.reason = qt_error_string(ENOENT);
    } else if (!folder.isWritable() || (info.exists() && !info.isWritable())) {
        found.kind = cmcIcfProblem::System;
        if (!folder.isWritable()) found.path = info.absolutePath();
        found.reason = qt_error_string(EACCES);
    } else {
        return true;
    }
    if (problem) *problem = found;
    return false;
}

QString cmcIcfFile::problemText(const cmcIcfProblem& problem) {
    if (problem.kind == cmcIcfProblem::None) return {};
    cmcGTex& table = cmcGTex::mainTable();
    if (!table.hasKey(problemKey())) return {};
    return fillProblem(table.getText(problemKey(), int(problem.kind) - 1), problem);
}

QString cmcIcfFile::englishProblemText(const cmcIcfProblem& problem) {
    const int item = int(problem.kind) - 1;
    if (item < 0 || item >= int(std::size(EnglishProblems))) return {};
    return fillProblem(QString::fromLatin1(EnglishProblems[item]), problem);
}

QString cmcIcfFile::fillProblem(QString text, const cmcIcfProblem& problem) {
    const QString path = QDir::toNativeSeparators(problem.path);
    switch (problem.kind) {
    case cmcIcfProblem::System:
        return text.arg(path, problem.reason);
    case cmcIcfProblem::NotRegular:
        return text.arg(path);
    case cmcIcfProblem::LineTooLong:
        return text.arg(QString::number(problem.line), QString::number(MaxLineLength));
    case cmcIcfProblem::BadLine:
        return text.arg(problem.line);
    default:
        return text;
    }
}

int cmcIcfFile::systemFail(int code, const QString& reason) {
    fail(code, cmcIcfProblem::System);
    m_problem.reason = cmcSysReason(reason);
    return code;
}

int cmcIcfFile::reject(int code, cmcIcfProblem::Kind kind) {
    fail(code, kind);
    lastProblemStore() = m_problem;
    return code;
}

int cmcIcfFile::fail(int code, cmcIcfProblem::Kind kind, int line) {
    m_problem = {};
    m_problem.kind = kind;
    m_problem.path = m_path;
    m_problem.line = line;
    return code;
}

void cmcIcfFile::attachImage(cmcEeprom& image) {
    m_image = &image;
    m_mapSize = (image.GetSize() + 7) / 8;
    m_required.assign(size_t(m_mapSize), 0);
    m_loaded.assign(size_t(m_mapSize), 0);
    setBits(m_required, 0, image.GetSize());
}

void cmcIcfFile::setMapRevCheck(MapRevCheck check, void* context) {
    m_mapRevCheck = check;
    m_mapRevContext = context;
}

void cmcIcfFile::setModelCheck(ModelCheck check, void* context) {
    m_modelCheck = check;
    m_modelContext = context;
}

int cmcIcfFile::imageSize() const {
    return m_image ? m_image->GetSize() : 0;
}

int cmcIcfFile::rangeCount(const cmcAdrRange* ranges, int32_t imageSize) {
    int n = 0;
    if (!ranges) return 0;
    while (ranges[n].first <= ranges[n].last && ranges[n].first >= 0 && ranges[n].last < imageSize)
        ++n;
    return n;
}

void cmcIcfFile::setBits(std::vector<uint8_t>& map, int32_t first, int32_t count) {
    if (count < 1 || first < 0) return;
    if (int64_t(first) + count - 1 >= int64_t(map.size()) * 8) return;
    int32_t a = first;
    const int32_t end = first + count;
    for (; a < end && a % 8; ++a)
        map[size_t(a / 8)] |= uint8_t(1u << (a % 8));
    // Whole bytes at once in the middle of long runs.
    if (end - a >= 8) {
        std::memset(map.data() + a / 8, 0xFF, size_t((end - a) / 8));
        a += (end - a) / 8 * 8;
    }
    for (; a < end; ++a)
        map[size_t(a / 8)] |= uint8_t(1u << (a % 8));
}

void cmcIcfFile::setRequired(const cmcAdrRange* ranges) {
    std::fill(m_required.begin(), m_required.end(), 0);
    const int n = rangeCount(ranges, imageSize());
    for (int i = 0; i < n; ++i)
        setBits(m_required, ranges[i].first, ranges[i].last - ranges[i].first + 1);
}

bool cmcIcfFile::isLoaded(int32_t address) const {
    if (address < 0 || address / 8 >= m_mapSize) return false;
    return (m_loaded[size_t(address / 8)] >> (address % 8)) & 1;
}

int32_t cmcIcfFile::loadedCount() const {
    int32_t n = 0;
    for (uint8_t b : m_loaded)
        n += std::popcount(b);
    return n;
}

// ---- writing ---------------------------------------------------------------------------

int cmcIcfFile::write(const QString& fileName, const cmcAdrRange* ranges) {
    if (!m_image) cmcFatal::stop(QStringLiteral("cmcIcfFile: no image attached."));
    int code = ICF_Ok;
    m_path = fileName;
    m_problem = {};
    QSaveFile file(fileName);
    if (!isRegularFile(fileName, &m_problem)) {
        code = ICF_FileOpen;
    } else if (!file.open(QIODevice::WriteOnly)) {
        code = systemFail(ICF_FileOpen, file.errorString());
    } else {
        // Lines end with CR LF on disk, as a text-mode file of the original system does.
        QByteArray out;
        out.reserve(160 * 1024);
        appendHex(out, m_modelCode & 0xFFFF, 4);
        appendHex(out, m_extraCode & 0xFFFF, 4);
        out.append("\r\n#Comment=");
        // A line break in the comment would start a line of its own and spoil the file.
        QByteArray comment = m_comment.toLatin1();
        comment.replace('\r', ' ').replace('\n', ' ');
        out.append(comment);
        out.append("\r\n#MapRev=");
        out.append(QByteArray::number(m_mapRevision));
        out.append("\r\n");

        const int n = rangeCount(ranges, m_image->GetSize());
        for (int i = 0; i < n; ++i) {
            int32_t address = ranges[i].first;
            while (address <= ranges[i].last) {
                int32_t run = m_lineWidth - address % m_lineWidth;
                run = std::min(run, ranges[i].last - address + 1);
                appendHex(out, uint32_t(address), 4);
                appendHex(out, uint32_t(run), 2);
                for (int32_t k = 0; k < run; ++k)
                    appendHex(out, m_image->GetByte(address + k), 2);
                out.append("\r\n");
                address += run;
            }
        }
        // The temporary file replaces the target only when everything was written.
        if (file.write(out) != out.size() || !file.commit()) {
            const QString reason = file.errorString();
            file.cancelWriting();
            code = systemFail(ICF_FileAccess, reason);
        }
    }
    finish(code);
    return code;
}

// ---- reading ---------------------------------------------------------------------------

int cmcIcfFile::read(const QString& fileName, const cmcAdrRange* ranges) {
    if (!m_image) cmcFatal::stop(QStringLiteral("cmcIcfFile: no image attached."));
    m_path = fileName;
    m_problem = {};
    QFile file(fileName);
    int code;
    if (!isRegularFile(fileName, &m_problem)) {
        code = ICF_FileOpen;
    } else if (!file.open(QIODevice::ReadOnly)) {
        code = systemFail(ICF_FileOpen, file.errorString());
    } else {
        code = readDevice(file, ranges);
    }
    finish(code);
    return code;
}

int cmcIcfFile::readBytes(const QByteArray& content, const cmcAdrRange* ranges) {
    if (!m_image) cmcFatal::stop(QStringLiteral("cmcIcfFile: no image attached."));
    m_path.clear();
    m_problem = {};
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    const int code = readDevice(buffer, ranges);
    finish(code);
    return code;
}

int cmcIcfFile::readDevice(QIODevice& device, const cmcAdrRange* ranges) {
    const cmcEeprom backup(*m_image);
    std::fill(m_loaded.begin(), m_loaded.end(), 0);
    m_mapRevJudged = false;
    m_fileModelCode = m_fileExtraCode = 0;
    m_fileComment.clear();
    m_commentSeen = false;
    m_dataLines = 0;

    int code = parseLines(device);
    if (code == ICF_Ok && ranges) code = checkCoverage(ranges);
    if (code != ICF_Ok) *m_image = backup;
    return code;
}

int cmcIcfFile::checkHeader(const char* line, int length) {
    if (length != 8) return fail(ICF_Format, cmcIcfProblem::BadLine, 1);
    uint32_t codes = 0;
    for (int i = 0; i < 8; ++i) {
        if (line[i] < '0' || line[i] > '9') return fail(ICF_Format, cmcIcfProblem::BadLine, 1);
        codes = codes << 4 | uint32_t(line[i] - '0');
    }
    const uint32_t model = codes >> 16;
    const uint32_t extra = codes & 0xFFFF;
    m_fileModelCode = model;
    m_fileExtraCode = extra;
    if (m_modelCheck) {
        int error = ICF_Model;
        if (!m_modelCheck(m_modelContext, model, extra, &error))
            return error != ICF_Ok ? error : ICF_Model;
        return ICF_Ok;
    }
    if (model != m_modelCode) return ICF_Model;
    if (extra != m_extraCode) return ICF_Extra;
    return ICF_Ok;
}

int cmcIcfFile::parseLines(QIODevice& device) {
    LineReader reader(device);
    char line[LineBufferSize];
    int length = 0;
    bool cut = false;
    int number = 1;
    if (!reader.next(line, length, cut)) return fail(ICF_Format, cmcIcfProblem::Empty);
    if (cut) return fail(ICF_Format, cmcIcfProblem::LineTooLong, number);
    // The line feed is not part of a line's text; the last line may lack it.
    const auto text = [&] { return length > 0 && line[length - 1] == '\n' ? length - 1 : length; };
    if (const int code = checkHeader(line, text())) return code;

    while (reader.next(line, length, cut)) {
        ++number;
        if (cut) return fail(ICF_Format, cmcIcfProblem::LineTooLong, number);
        if (line[0] == '#') {
            const int n = text();
            // The number starts after "#MapRev=", wherever the key stands in the line.
            if (contains(line, n, "MapRev="))
                m_mapRevision = n > 8 ? decimalAt(line + 8, n - 8) : 0;
            static constexpr char CommentKey[] = "#Comment=";
            if (!m_commentSeen && n >= 9 && std::memcmp(line, CommentKey, 9) == 0) {
                m_commentSeen = true;
                m_fileComment = QString::fromLatin1(line + 9, n - 9);
            }
            continue;
        }
        if (!m_mapRevJudged) {
            if (!m_mapRevCheck || !m_mapRevCheck(m_mapRevContext, m_mapRevision)) return ICF_MapRev;
            m_mapRevJudged = true;
        }
        if (const int code = parseDataLine(line, text(), number)) return code;
        ++m_dataLines;
    }
    return ICF_Ok;
}

int cmcIcfFile::parseDataLine(const char* line, int length, int lineNumber) {
    if (length < 8 || length > MaxDataLineLength)
        return fail(ICF_Format, cmcIcfProblem::BadLine, lineNumber);
    for (int i = 0; i < length; ++i)
        if (hexValue(line[i]) < 0) return fail(ICF_Format, cmcIcfProblem::BadLine, lineNumber);
    int32_t address = 0;
    for (int i = 0; i < 4; ++i)
        address = address << 4 | hexValue(line[i]);
    const int32_t count = hexValue(line[4]) << 4 | hexValue(line[5]);
    if (2 * count != length - 6) return fail(ICF_Format, cmcIcfProblem::BadLine, lineNumber);
    // Nothing is stored unless the whole line lies inside the image.
    if (address + count > imageSize()) return ICF_Data;
    // A line over addresses given before overwrites them: the later line wins.
    for (int32_t k = 0; k < count; ++k) {
        const char* p = line + 6 + 2 * k;
        m_image->SetByte(address + k, uint8_t(hexValue(p[0]) << 4 | hexValue(p[1])));
    }
    setBits(m_loaded, address, count);
    return ICF_Ok;
}

// ---- coverage and messages -------------------------------------------------------------

int cmcIcfFile::checkCoverage(const cmcAdrRange* ranges) {
    int code = ICF_Coverage;
    if (ranges && !m_loaded.empty()) {
        setRequired(ranges);
        if (m_loaded == m_required) return ICF_Ok;
        for (size_t i = 0; i < m_loaded.size(); ++i)
            if (m_loaded[i] & ~m_required[i]) return ICF_Data;
    }
    // A file of header lines alone is missing everything; say so.
    if (m_dataLines == 0 && loadedCount() == 0) {
        fail(code, cmcIcfProblem::NoData);
        lastProblemStore() = m_problem;
    }
    return code;
}

QString cmcIcfFile::errorKey(int code) {
    static const char* const keys[] = {
        "GI_Mess_FileErr_FileOpen", "GI_Mess_FileErr_FileAccess", "GI_Mess_FileErr_Model",
        "GI_Mess_FileErr_Extra",    "GI_Mess_FileErr_MapRev",     "GI_Mess_FileErr_Format",
        "GI_Mess_FileErr_Coverage", "GI_Mess_FileErr_Data",       "GI_Mess_FileErr_Newer",
    };
    if (code < 1 || code > 9) return {};
    return QString::fromLatin1(keys[code - 1]);
}

QString cmcIcfFile::message(int code, const cmcIcfProblem& problem) {
    const QString key = errorKey(code);
    if (key.isEmpty()) return {};
    cmcGTex& table = cmcGTex::mainTable();
    const QString headline = table.getText(QStringLiteral("GI_Mess_FileErr_Headline"));
    const QString detail = problemText(problem);
    // A file of another kind: what it is says more than the check that noticed it.
    if (problem.kind == cmcIcfProblem::CloneFile && !detail.isEmpty())
        return QStringLiteral("%1\n\n%2").arg(headline, detail);
    QString text = QStringLiteral("%1\n\n%2").arg(headline, table.getTextBlock(key));
    if (!detail.isEmpty()) text += QStringLiteral("\n\n") + detail;
    return text;
}

void cmcIcfFile::finish(int code) {
    if (code == ICF_Ok) m_problem = {};
    lastProblemStore() = m_problem;
}
