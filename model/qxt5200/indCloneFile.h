#pragma once
// This model's clone files: which codes, map revision and address range (imcRadioFacts.h)
// each kind of file takes, the preparation of an image before it is saved or written to the
// radio, and the open, save and initial-data reads that the editor, the command-line tool
// and the clone write share.

#include "cmcIcfFile.h"
#include "imcRadioFacts.h"

#include <QString>
#include <cstdint>

class cmcEeprom;

class indCloneFile {
  public:
    // Copies the map revision byte and the maker text from the loaded image; for saving
    // (and clone writing) also sets the two bytes of the save mark (0x8FE5) to 0xFF.
    static void prepareImage(cmcEeprom& image, const cmcEeprom& loaded, bool forSaving = true);
    // The comment line's text: the 16 bytes at 0x0502, each outside 32..126 made a blank,
    // trailing blanks removed.
    static QString commentOf(const cmcEeprom& image);
    // Whether the identity text and the map revision byte are this model's.
    static bool hasIdentity(const cmcEeprom& image);

    // Prepares image for saving (in place) and writes it as a clone file.
    static int save(const QString& path, cmcEeprom& image, const cmcEeprom& loaded);
    // Reads a clone file into a zero-filled copy; checks identity, version and coverage;
    // only when all pass does image take the data. Returns the error code.
    static int open(const QString& path, cmcEeprom& image);
    // Reads the initial data file (whole image required) into loaded.
    static int readInitial(const QString& path, cmcEeprom& loaded);
    // Repeater-data files: the repeater part of the image with map revision 1.
    static int saveRepeater(const QString& path, const cmcEeprom& image);
    // Reads into a zero-filled image of the working image's size (copy); the caller takes
    // the repeater part over from it.
    static int readRepeater(const QString& path, cmcEeprom& copy);

    // The callbacks of the reader for this model.
    static bool acceptModel(void* context, uint32_t modelCode, uint32_t extraCode, int* error);
    static bool acceptCloneMapRev(void* context, int32_t mapRevision);
    static bool acceptRepeaterMapRev(void* context, int32_t mapRevision);
    // Whether the file comes from a version this program can take (every file, here).
    static bool acceptVersion(const cmcEeprom& image);

  private:
    static void setUpReader(cmcIcfFile& file, bool repeater);
};
