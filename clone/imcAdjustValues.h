#pragma once
// The adjustment values a service technician reads from the radio: seventeen 16-bit values,
// each the reply to sub-command 0x03 with its argument byte (0x00 to 0x10 in item order),
// and the service record that keeps them as a CSV file with the radio's model name, its
// serial number and the date of the reading.
//
// A read fills a scratch copy through the command table; only a read that completed
// replaces the values shown, so a failed read never leaves a mixture of old and new.

#include "imcCloneDrv.h"
#include "imcRadioIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

class imcAdjustValues {
  public:
    static constexpr int Count = 17;
    static constexpr uint8_t ReadSubCommand = 0x03;
    // The command that puts the radio into its adjustment state.
    static constexpr uint8_t EnterSubCommand = 0x02;
    static constexpr uint8_t EnterArgument = 0x01;

    // The radio's own texts kept with the values.
    using Radio = imcRadioIdentity;

    imcAdjustValues();
    imcAdjustValues(const imcAdjustValues&) = delete;
    imcAdjustValues& operator=(const imcAdjustValues&) = delete;

    // The command table of a read (Count entries, then the end marker); its results go to
    // the scratch copy, which must stay where it is until the read has ended.
    const imcCloneDrv::Command* table() { return m_table; }
    // A read ended: with success the scratch copy becomes the values, read at `when`, from
    // `radio`; otherwise the values stay as they were.
    void finishRead(bool succeeded, const Radio& radio, const QDateTime& when);
    // No values (a new adjustment read starts).
    void clear();

    // Item 0..Count-1: its argument byte, and its value (the first reply byte is the high one).
    static uint8_t argument(int item) { return uint8_t(item); }
    uint16_t value(int item) const;
    bool isRead() const { return m_read; }
    const Radio& radio() const { return m_radio; }
    QDateTime readAt() const { return m_readAt; }

    // "0x1A2B" and "6699" as the window and the service record show a value.
    static QString hexText(uint16_t value);
    static QString argumentText(uint8_t argument);

    // The service record as CSV text in UTF-8 with CR LF line ends: the header line, then
    // one line per item with its number (1..17), argument, value in hexadecimal and decimal,
    // the radio's model name and serial number and the date and time of the reading (ISO
    // 8601). Empty while no values are read.
    QByteArray csv() const;
    static QString csvHeader();
    // Writes the record whole or not at all; false with the reason in error.
    bool writeCsv(const QString& path, QString* error) const;

  private:
    uint8_t m_arguments[Count] = {};
    uint8_t m_incoming[Count][2] = {};
    uint8_t m_values[Count][2] = {};
    imcCloneDrv::Command m_table[Count + 1] = {};
    bool m_read = false;
    Radio m_radio;
    QDateTime m_readAt;
};
