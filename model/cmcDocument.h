#pragma once
// The document the editor works on: the working image and its companions (the second
// image a write compares with, the loaded initial data, the snapshot of the last save),
// the file it belongs to, whether it is modified, and its undo history. No window is
// needed to use it: the editor's shell shows it, tests drive it alone.
//
// Undo steps are recorded after a change, named after what changed ("RX Frequency, CH 6",
// "Paste, 4 rows"); a step keeps only the bytes that changed. A change with the same merge
// key as the step before it (the same cell typed again) joins that step, so that repeated
// typing into one cell undoes in one step.

#include "cmcChangeTracker.h"
#include "cmcEeprom.h"
#include "cmcFileStamp.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

class cmcDocument {
  public:
    explicit cmcDocument(int32_t imageSize);
    cmcDocument(const cmcDocument&) = delete;
    cmcDocument& operator=(const cmcDocument&) = delete;

    cmcEeprom& working() { return m_working; }
    cmcEeprom& second() { return m_second; }
    cmcEeprom& loaded() { return m_loaded; }
    cmcEeprom& saved() { return m_saved; }
    const cmcEeprom& working() const { return m_working; }

    // The file the document was opened from or saved to; empty while untitled.
    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& path) { m_fileName = path; }
    // The file as it was last read or saved: a save over it asks first when another program
    // changed it since.
    const cmcFileStamp& fileStamp() const { return m_fileStamp; }
    void setFileStamp(const cmcFileStamp& stamp) { m_fileStamp = stamp; }

    // Modified: the working image differs from the saved snapshot (see cmcChangeTracker).
    cmcChangeTracker& tracker() { return m_tracker; }
    bool isModified() { return m_tracker.isModified(); }
    void markSaved() { m_tracker.markSaved(); }
    void markModified() { m_tracker.markModified(); }

    // Records what changed in the working image since the last step, if anything, as one
    // step with this name. Returns whether a step was recorded or grown.
    bool recordChange(const QString& name, const QString& mergeKey = QString());
    // The next change starts a step of its own even with the same merge key.
    void breakMerge() { m_mergeOpen = false; }
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    QString undoName() const { return m_undo.empty() ? QString() : m_undo.back().name; }
    QString redoName() const { return m_redo.empty() ? QString() : m_redo.back().name; }
    bool undo();
    bool redo();
    // Forgets every step: the working image is another document now (New, Open, a read).
    void clearHistory();
    int undoCount() const { return int(m_undo.size()); }

    static constexpr int MaxSteps = 200;

  private:
    struct Patch {
        int32_t address = 0;
        QByteArray before;
        QByteArray after;
    };
    struct Step {
        QString name;
        QString mergeKey;
        std::vector<Patch> patches;
    };
    static std::vector<Patch> difference(const cmcEeprom& before, const cmcEeprom& after);
    static void apply(cmcEeprom& image, const std::vector<Patch>& patches, bool forward);
    void settleModified();

    cmcEeprom m_working;
    cmcEeprom m_second;
    cmcEeprom m_loaded;
    cmcEeprom m_saved;
    cmcChangeTracker m_tracker;
    QString m_fileName;
    cmcFileStamp m_fileStamp;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
    cmcEeprom m_base; // the working image as of the last recorded step
    bool m_mergeOpen = false;
};
