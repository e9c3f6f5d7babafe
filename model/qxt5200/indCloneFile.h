#pragma once
// This model's clone files: the codes, map revisions and address ranges of each kind of
// file, the preparation of an image before it is saved or written to the radio, and the
// open, save and initial-data reads that the editor, the command-line tool and the clone
// write share.

#include "cmcIcfFile.h"

#include <QString>
#include <cstdint>

class cmcEeprom;

class indCloneFile {
  public:
    static constexpr uint32_t ModelCode = 0x7041;
    static constexpr uint32_t ExtraCode = 0x0001;
    static constexpr int32_t CloneMapRevision = 2;
    static constexpr int32_t RepeaterMapRevision = 1;

    // Range lists, each ended by {1, 0}.
    static const cmcAdrRange WholeImage[];   // 0x0000..0xFFEF: clone files, initial data
    static const cmcAdrRange RepeaterData[]; // 0x0000..0x00D6
    static const cmcAdrRange DefaultRange[]; // 0x0000..0xAA5F

    // Copies the map revision byte and the maker text from the loaded image; for saving
    // (and clone writing) also sets the two bytes at 0x8FE5 to 0xFF.
    static void prepareImage(cmcEeprom& image, const cmcEeprom& loaded, bool forSaving = true);
    // The comment line's text: the 16 bytes at 0x0502, each outside 32..126 made a blank,
    // trailing blanks removed.
    static QString commentOf(const cmcEeprom& image);
    // Whether the identity text and the map revision byte are this model's.
    static bool hasIdentity(const cmcEeprom& image);

    // Prepares image for saving (in place) and writes it as a clone file.
    static int save(const QString& path, cmcEeprom& image, const cmcEeprom& loaded,
                    bool report = true);
    // Reads a clone file into a zero-filled copy; checks identity, version and coverage;
    // only when all pass does image take the data. Returns the error code.
    static int open(const QString& path, cmcEeprom& image, bool report = true);
    // Reads the initial data file (whole image required) into loaded.
    static int readInitial(const QString& path, cmcEeprom& loaded, bool report = true);
    // Repeater-data files: the repeater part of the image with map revision 1.
    static int saveRepeater(const QString& path, const cmcEeprom& image, bool report = true);
    // Reads into a zero-filled image of the working image's size (copy); the caller takes
    // the repeater part over from it.
    static int readRepeater(const QString& path, cmcEeprom& copy, bool report = true);

    // The callbacks of the reader for this model.
    static bool acceptModel(void* context, uint32_t modelCode, uint32_t extraCode, int* error);
    static bool acceptCloneMapRev(void* context, int32_t mapRevision);
    static bool acceptRepeaterMapRev(void* context, int32_t mapRevision);
    // Whether the file comes from a version this program can take (every file, here).
    static bool acceptVersion(const cmcEeprom& image);

  private:
    static void setUpReader(cmcIcfFile& file, bool repeater, bool report);
};
