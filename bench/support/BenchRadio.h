#pragma once
// What the benchmarks share: the simulated radio started as a process of its own, a radio's
// image with random contents that the simulator and the checks accept, and the English texts
// the cells read their names from.

#include "cmcEeprom.h"

#include <QProcess>
#include <QString>
#include <QStringList>

class cmcGTex;

// qxt5200-sim beside the benchmarks, started with args; address is the link it prints when
// it is ready (a pseudo-terminal's device, or a TCP address). Ended with the object.
struct BenchSim {
    QProcess process;
    QString address;
    bool start(const QStringList& args);
    // Ends the simulator; true when it had crashed (rather than ending as asked or being
    // stopped).
    bool stop();
    ~BenchSim() { stop(); }
};

// A whole radio image of random bytes from seed, with the identity, map revision and maker
// text of this model in their places.
cmcEeprom benchRadioImage(quint32 seed = 5200);
// Writes image as a clone file of this model at path; false when it could not.
bool benchWriteRadioFile(const QString& path, const cmcEeprom& image);
// image with every byte a write sends changed, so that a write has something to do.
cmcEeprom benchWriteSource(const cmcEeprom& image);
// Opens the English overlay beside the programs into texts and makes it the cells' table.
void benchUseEnglishTexts(cmcGTex& texts);
