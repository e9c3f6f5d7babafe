#pragma once
// The bit-field window: a set of flags (which sentences to send, which keys or digits are
// on) edited one column per flag. Its sheet definition is generated into a private text
// table: a header row naming the flags lo to hi in one of seven ways (the header kind) and
// a row of flag cells (label CL_FBits, index k = 1 .. hi - lo + 1) separated by thin
// quarter-pillar cells. The window's cell source serves the flag cells and passes every
// other cell to the program's source. Space or a double click toggles a flag; a set flag
// shows "o" or a tick. OK (once) sends the value, as decimal text, to the calling cell
// through the cell source; Cancel closes the window without a change.
//
// The value holds flag k at bit position 26 - k (cmcFlagSet). With the sentence kind at
// most three flags may be set: while more are, the flags show disabled and OK is off.

#include <QDialog>
#include <QPolygonF>
#include <QRect>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "cuiCell.h"

class QLabel;
class QPushButton;
class cmcGTex;
class cuiCellSource;
class cuiSheet;

class cuiFBitsR : public QDialog {
    Q_OBJECT
  public:
    // How the header row names the flags lo .. hi.
    enum HeaderKind {
        HeaderDecimal = 0,    // the number
        HeaderHex = 1,        // the number in hexadecimal
        HeaderKeys = 2,       // the number, 10 as 0 (the keys 1 .. 9, 0)
        HeaderDigits = 3,     // 0 .. 9, then letters from A, 17 as Z
        HeaderLetters = 4,    // A for 1, B for 2 ...
        HeaderSentences = 5,  // RMC, GGA, GLL, GSA, VTG for 1 .. 5; at most three set
        HeaderBitNumbers = 6, // B(hi - i): the highest bit first
    };
    enum DrawMode { DrawText = 0, DrawTick = 1 };
    static constexpr int MaxSentences = 3;

    struct Setup {
        uint32_t value = 0;
        int lo = 0, hi = 7;
        int kind = HeaderDecimal;
        int mode = DrawText;
        // A definition of the main text table to use instead of the generated one.
        QString sheetKey;
    };

    // caller: the cell that receives the value; source: its cell source (null: the
    // program's); callerRect: the calling cell in global coordinates (empty: the window is
    // centred on its owner).
    cuiFBitsR(const cuiCell& caller, const Setup& setup, QWidget* owner,
              cuiCellSource* source = nullptr, const QRect& callerRect = QRect());
    ~cuiFBitsR() override;

    // The generated definition: the lines of the private text table, "#End_Of_Ovl" last.
    static QStringList definition(int lo, int hi, int kind);
    // One header cell of the definition for flag number i.
    static QString headerCell(int kind, int i, int hi);
    // Whether OK may send a value: with the sentence kind, fewer than four flags set.
    static bool canAccept(int kind, uint32_t value, int count);

    uint32_t value() const { return m_value; }
    int count() const { return m_count; }
    int kind() const { return m_setup.kind; }
    int mode() const { return m_setup.mode; }
    // Toggles flag k (1 .. count) as space or a double click on its cell does.
    void toggle(int k);

    cuiSheet* sheet() const { return m_sheet.get(); }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* limitNote() const { return m_note; }

    void accept() override;

  private:
    class Source;
    void updateState();
    void place(QWidget* owner, const QRect& callerRect);

    cuiCell m_caller;
    cuiCellSource* m_callerSource;
    Setup m_setup;
    uint32_t m_value;
    int m_count;
    bool m_sent = false;
    std::unique_ptr<Source> m_source;
    std::unique_ptr<cmcGTex> m_table;
    std::unique_ptr<cuiSheet> m_sheet;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_note = nullptr;
};
