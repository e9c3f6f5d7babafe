#pragma once
// The adjustment driver: the clone driver with this radio's E8 commands, used to read the
// radio's adjustment values. Operation 5 sends one command (optionally reading a 2-byte
// result); operation 6 works through a table of commands. On the serial link every
// adjustment operation first switches the radio to 38,400 baud with a speed-change script.

#include "cmcCloneDrv.h"

#include <cstdint>

class imcCloneDrv : public cmcCloneDrv {
  public:
    enum : int32_t { OpCommand = 5, OpTable = 6 };

    // One table entry; a table ends at the first entry whose sub-command is 255 or more.
    struct Command {
        int32_t subCommand;
        const uint8_t* argument; // the argument byte, or none (0 is sent)
        uint8_t* result;         // where the 2-byte reply goes, or none (no reply awaited)
    };

    static constexpr int CommandIntervalMs = 4;
    static constexpr int TableIntervalMs = 10;
    static constexpr int ResultBytes = 2;

    imcCloneDrv() = default;

    void SetCommand(uint8_t subCommand, uint8_t argument, uint8_t* result);
    void SetCommandTable(const Command* table);
    // Tick interval of a single command (4 ms; the application slows it while waiting).
    void SetCommandInterval(int ms) {
        if (ms > 0) m_commandInterval = ms;
    }
    bool StartCommand(Callback callback, void* context);
    bool StartTable(Callback callback, void* context);
    bool TableLoaded() const { return m_tableLoaded; }

    // The E8 frame for a sub-command and its argument.
    static QByteArray CommandFrame(uint32_t code1, uint8_t subCommand, uint8_t argument);
    // The serial script that asks a radio listening at 9,600 baud to switch to 38,400.
    static QString SpeedChangeScript(uint32_t code1);

  protected:
    int32_t FirstOwnState(int32_t operation) override;
    int32_t OwnStep(int32_t state) override;

  private:
    int32_t nextEntry();
    int32_t sendCommand();
    int32_t readReply();

    bool m_tableLoaded = false;
    cmcTick m_waitTimer;
    const Command* m_table = nullptr;
    uint8_t m_subCommand = 0;
    uint8_t m_argument = 0;
    uint8_t* m_resultPtr = nullptr;
    int m_commandInterval = CommandIntervalMs;
};
