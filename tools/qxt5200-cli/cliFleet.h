#pragma once
// Several radios from the command line: the link options given more than once (every
// --port and --tcp is one radio), a run of the fleet to its end with one progress line per
// radio on a terminal, and the closing table.

#include "imcFleetClone.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace cliFleet {

// Takes every --port, --tcp and --speed out of args (--speed applies to every serial
// link); false with a message on a bad option. No link given: the first serial port.
bool parseLinks(QStringList& args, QList<imcFleetClone::Link>* links, QString* error);

// Runs the event loop until every radio has ended; draws one progress line per radio on
// standard error when that is a terminal.
void run(imcFleetClone& fleet, const QString& label);

// The closing table on standard output: link, serial number, status, the values applied
// (a write with per-radio values) and message.
void printTable(const imcFleetClone& fleet);

// "error N: message" on standard error for a failed radio (the link named when several).
void reportFailure(const imcFleetClone& fleet, int i);

} // namespace cliFleet
