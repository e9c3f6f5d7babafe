#pragma once
// The backups of images that went to or came from a radio: each one a timestamped clone
// file of the whole image ("QXT5200_20260101-120000-000_write.icf") in a backups folder.
// The editor and the command-line tool keep them in the same place.

#include <QString>

class cmcEeprom;

class indCloneBackup {
  public:
    static constexpr const char* ModelShortName = "QXT5200";

    // The backups folder of the user's data location: the application's own when it names
    // its organisation (the editor), else the same folder the editor uses.
    static QString defaultFolder();
    // Writes the image as a new backup of this kind ("read", "write", "readback" …) into
    // folder, without asking or telling anything; its path, or empty when it failed.
    static QString write(const QString& folder, const cmcEeprom& image, const QString& kind);
};
