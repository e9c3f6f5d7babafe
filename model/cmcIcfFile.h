#pragma once
// The clone file: the text form of a memory image. A header line with the model and extra
// codes, a comment line, a map revision line, then data lines of up to 255 hexadecimal
// bytes with their address. The writer emits runs that never cross a 16-byte boundary; the
// reader takes lines in any order, checks each before storing a byte, and at the end checks
// that exactly the expected addresses were present.
//
// Writing goes through a temporary file beside the target that replaces it only when every
// line was written, so a failed save leaves an existing file as it was. A failed read
// restores the image it was reading into. Only regular files are read or replaced: a FIFO or
// a device named as a clone file would block the reader or be swallowed by the rename.
//
// A line may give addresses that an earlier line gave already: the later line's bytes win, so
// that a file can be patched by appending lines. A line longer than the reader's buffer is
// refused as a whole instead of being read in pieces.

#include "cmcAdrRange.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

class QIODevice;
class cmcEeprom;

enum cmcIcfError : int {
    ICF_Ok = 0,
    ICF_FileOpen = 1,   // the file cannot be opened (reading or writing)
    ICF_FileAccess = 2, // a write to the file fails
    ICF_Model = 3,      // the header's model code is not the expected one
    ICF_Extra = 4,      // the header's extra code is not the expected one
    ICF_MapRev = 5,     // the map revision is not accepted (or nothing judges it)
    ICF_Format = 6,     // the header or a data line is malformed
    ICF_Coverage = 7,   // expected addresses are missing
    ICF_Data = 8,       // bytes outside the image or the expected ranges, or a rejected image
    ICF_Newer = 9,      // the file comes from a newer version
};

// What lies behind an error code, for a message that names the cause: the file and the
// system's reason when it cannot be opened or written, the line of a format error, a file
// whose contents are not what its reader wanted.
struct cmcIcfProblem {
    enum Kind {
        None,
        System,      // path, reason: the system refused (no such file, permission, no space)
        NotRegular,  // path: a folder, FIFO or device, not a regular file
        LineTooLong, // line: longer than the reader's buffer
        BadLine,     // line: not a valid header or data line
        Identity,    // the data do not carry the identity the reader wanted
        NoData,      // the file holds no data lines at all
        Empty,       // the file holds nothing
        CloneFile,   // a whole clone file where a repeater-data file was wanted
    };
    Kind kind = None;
    QString path;
    QString reason;
    int line = 0;
};

class cmcIcfFile {
  public:
    // Accepts (true) or rejects a map revision.
    using MapRevCheck = bool (*)(void* context, int32_t mapRevision);
    // Accepts (true) the header codes, or rejects them after storing 3 or 4 in *error.
    using ModelCheck = bool (*)(void* context, uint32_t modelCode, uint32_t extraCode, int* error);

    static constexpr int LineBufferSize = 768; // lines of up to 766 characters
    static constexpr int MaxLineLength = LineBufferSize - 2;
    static constexpr int MaxLineBytes = 255;
    static constexpr int MaxDataLineLength = 8 + 2 * MaxLineBytes - 2; // 516

    cmcIcfFile() = default;
    explicit cmcIcfFile(cmcEeprom& image) { attachImage(image); }
    cmcIcfFile(const cmcIcfFile&) = delete;
    cmcIcfFile& operator=(const cmcIcfFile&) = delete;

    // Uses the image for writing or reading; the required map becomes the whole image.
    void attachImage(cmcEeprom& image);

    void setModelCode(uint32_t code) { m_modelCode = code; }
    void setExtraCode(uint32_t code) { m_extraCode = code; }
    void setComment(const QString& comment) { m_comment = comment; }
    void setMapRevision(int32_t revision) { m_mapRevision = revision; }
    void setMapRevCheck(MapRevCheck check, void* context);
    void setModelCheck(ModelCheck check, void* context);

    uint32_t modelCode() const { return m_modelCode; }
    uint32_t extraCode() const { return m_extraCode; }
    QString comment() const { return m_comment; }
    int32_t mapRevision() const { return m_mapRevision; }
    int32_t lineWidth() const { return m_lineWidth; }

    // Writes the ranges of the image to the file; returns the error code. Neither read nor write
    // shows anything: the caller tells the user (message()) or prints the error.
    int write(const QString& fileName, const cmcAdrRange* ranges);
    // Reads the file into the image; with a range list the coverage check closes the read.
    // On any error the image is restored. Returns the error code.
    int read(const QString& fileName, const cmcAdrRange* ranges = nullptr);
    // The same read from bytes in memory (tools and the fuzzer).
    int readBytes(const QByteArray& content, const cmcAdrRange* ranges = nullptr);

    // 0 when exactly the listed addresses were loaded, 8 when something outside them was,
    // 7 when something is missing (or nothing was read).
    int checkCoverage(const cmcAdrRange* ranges);

    // What the last read met: the header codes, the text of the first comment line and the
    // number of data lines taken.
    uint32_t fileModelCode() const { return m_fileModelCode; }
    uint32_t fileExtraCode() const { return m_fileExtraCode; }
    QString fileComment() const { return m_fileComment; }
    int32_t dataLineCount() const { return m_dataLines; }

    // Addresses that data lines have set.
    bool isLoaded(int32_t address) const;
    int32_t loadedCount() const;

    // The message of a code 1 to 9 as the editor shows it: the headline, the code's text and,
    // when the text table has the detail texts, the problem's detail below; for a file of
    // another kind (CloneFile) the detail alone follows the headline. Empty for 0 and
    // unknown codes.
    static QString message(int code, const cmcIcfProblem& problem = {});
    // The text-table key of a code's message; empty for 0 and unknown codes.
    static QString errorKey(int code);
    // The detail line of a problem from the main text table; empty for none or when the
    // table lacks the detail texts.
    static QString problemText(const cmcIcfProblem& problem);
    // The same in English, for callers without a text table.
    static QString englishProblemText(const cmcIcfProblem& problem);
    // The key of the detail texts; item n is the text of problem kind n (from System on).
    static QString problemKey() { return QStringLiteral("GI_Mess_FileErr_Detail"); }

    // The problem behind the last error of this object (None after a success).
    const cmcIcfProblem& problem() const { return m_problem; }
    // For a caller that judges what a successful read delivered (its identity, its
    // version): records code as the read's outcome with the problem behind it, here and
    // as lastProblem(). The image is the caller's to restore. Returns code.
    int reject(int code, cmcIcfProblem::Kind kind);
    // The problem behind the last error of any clone-file read or write in the process, for
    // callers that only see the code (the command-line verbs).
    static const cmcIcfProblem& lastProblem();
    // Whether path may be opened as a clone file: a regular file, or a name that does not
    // exist (left to the open, which reports the system's reason). Otherwise fills problem.
    static bool isRegularFile(const QString& path, cmcIcfProblem* problem);
    // Whether a clone file could be saved at path: its folder exists and takes new files
    // (the save writes a temporary file beside the target), and the file, if present, is a
    // regular file that may be written. Otherwise fills problem. For callers that must know
    // before they spend time on the data (a clone read into a file).
    static bool canWrite(const QString& path, cmcIcfProblem* problem);

    // The number of leading pairs before the list's ending pair, for an image of this size.
    static int rangeCount(const cmcAdrRange* ranges, int32_t imageSize);

  private:
    int readDevice(QIODevice& device, const cmcAdrRange* ranges);
    int parseLines(QIODevice& device);
    int parseDataLine(const char* line, int length, int lineNumber);
    int checkHeader(const char* line, int length);
    int fail(int code, cmcIcfProblem::Kind kind, int line = 0);
    int systemFail(int code, const QString& reason);
    static QString fillProblem(QString text, const cmcIcfProblem& problem);
    void setBits(std::vector<uint8_t>& map, int32_t first, int32_t count);
    void setRequired(const cmcAdrRange* ranges);
    int imageSize() const;
    void finish(int code);

    cmcEeprom* m_image = nullptr;
    uint32_t m_modelCode = 0;
    uint32_t m_extraCode = 0;
    QString m_comment;
    int32_t m_lineWidth = 16;
    int32_t m_mapRevision = -1;
    std::vector<uint8_t> m_required;
    std::vector<uint8_t> m_loaded;
    int32_t m_mapSize = 0;
    MapRevCheck m_mapRevCheck = nullptr;
    void* m_mapRevContext = nullptr;
    ModelCheck m_modelCheck = nullptr;
    void* m_modelContext = nullptr;
    bool m_mapRevJudged = false;
    uint32_t m_fileModelCode = 0;
    uint32_t m_fileExtraCode = 0;
    QString m_fileComment;
    bool m_commentSeen = false;
    int32_t m_dataLines = 0;
    QString m_path; // the file being read or written (empty for bytes in memory)
    cmcIcfProblem m_problem;
};
