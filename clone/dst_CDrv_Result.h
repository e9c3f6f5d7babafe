#pragma once
// The record of one clone operation, handed to the completion callback and destroyed right
// after it returns: a caller that wants the image copies it inside the callback.

#include "cmcBuff.h"
#include "cmcEeprom.h"

#include <cstdint>
#include <vector>

// Status codes of clone operations (driver and clone commands).
enum cmcCloneStatus : int32_t {
    CS_Ok = 0,
    CS_LinkOpen = 2,      // the link failed to open; also a record that never got further
    CS_Echo = 4,          // a byte came back different, or echo bytes still outstanding at time-out
    CS_Timeout = 5,       // no progress within the state's time-out
    CS_BadFrame = 6,      // wrong header, length, characters, checksum; overflow; 0xFA
    CS_FrameCount = 7,    // the read's end frame carried another frame count
    CS_Missing = 8,       // an expected address never arrived (or no read handler)
    CS_Outside = 9,       // a block outside the image or the expected ranges
    CS_WriteReply = 10,   // the write's completion reply was not FE EF EE E6 00
    CS_InfoMismatch = 11, // model code or information block do not match
    CS_InfoKind = 14,     // the information block's kind byte is not the expected one
    CS_ImageCheck = 15,   // the image read failed the image identity check
    CS_Refused = 16,      // the application refused the image read
    CS_SerialWrite = 17,  // the serial port reported a short write
    CS_NoRadio = 18,      // a port search found no radio
    CS_LinkLost = 19,     // the network adapter closed the connection during the operation
    CS_Verify = 20,       // the memory read back after a write differs from what was written
    CS_Cancelled = 21,    // the user cancelled the operation before it finished
};

struct dst_CDrv_Result {
    int32_t operation = 0;
    int32_t status = CS_LinkOpen;
    int32_t code1 = 0;
    int32_t code2 = 0;
    cmcBuff information;
    cmcEeprom image;
    // One bit per address received in a read: bit (a mod 8) of byte (a / 8).
    cmcBuff receivedMap;
    // A write that failed after data frames went out: the radio's memory is now partly the
    // old and partly the new data.
    bool partlyWritten = false;
    // The radio answered a write with 0xFA (status 6).
    bool refused = false;
    // A write verified by reading it back (status 20): the first addresses where the radio
    // holds other data than was sent.
    std::vector<int32_t> differences;
    // A write verified by reading it back: image holds the memory read back.
    bool readBack = false;

    bool received(int32_t address) const {
        const int32_t i = address / 8;
        return address >= 0 && i < receivedMap.GetLength() &&
               (receivedMap.GetData()[i] >> (address % 8) & 1) != 0;
    }
};
