#pragma once
// Who a radio says it is: the model name and serial number that its information block
// holds. No document fixes where in the block these texts lie, and radios differ, so they
// are taken from what the block itself says: its runs of printable text after the three
// header bytes (length, version, kind), of four characters or more. A run that starts with a serial
// label ("S/N", "SN", "Serial No." …) is the serial number; of the other runs the one that names
// this model (or else the first) is the model name, and an unlabelled second run the serial number.
// A block without such text is named by its bytes in hexadecimal, never by bytes cut at an assumed
// place. Every window, table, verb and file name that names a radio takes its texts from here.

#include <QByteArray>
#include <QString>

struct imcRadioIdentity {
    // The model name as the block gives it; empty when the block names none.
    QString model;
    // The serial text as the block gives it (with its label, if any); when the block has
    // no serial text, its bytes after the header in hexadecimal.
    QString serial;
    // The serial number for file names and for telling radios apart: the serial text
    // without its label, letters, digits, '-' and '.' kept, any other character '_'; the
    // hexadecimal bytes when the block has no serial text; empty for an empty block.
    QString key;
    // Whether the serial came from text in the block (false: from its bytes).
    bool serialFromText = false;

    static imcRadioIdentity FromInfo(const QByteArray& info);
    // The serial number shown to a user: the serial text, or "-" when nothing is known.
    QString shownSerial() const { return serial.isEmpty() ? QStringLiteral("-") : serial; }
    // A backup kind that names the radio ("write-01234567"), so that the backups of a batch
    // stay apart; the kind alone when the radio is not known.
    QString backupKind(const QString& kind) const {
        return key.isEmpty() ? kind : kind + QLatin1Char('-') + key;
    }
};
