#pragma once
// Whether the document is modified: the working image is compared with a snapshot taken
// when it was last loaded or saved. A change undone by hand before the question counts as
// no change; a change made without going through a cell still counts. Once set, the flag
// stays until the next mark-saved. Every change of the flag's state refreshes the title.

class cmcEeprom;

class cmcChangeTracker {
  public:
    using TitleRefresh = void (*)(void* context);

    // Both images are owned by the caller and must outlive the tracker.
    cmcChangeTracker(const cmcEeprom& working, cmcEeprom& snapshot);

    void setTitleRefresh(TitleRefresh refresh, void* context);

    bool isModified();
    // The snapshot becomes a copy of the working image; the flag is cleared.
    void markSaved();
    void markModified();
    // The flag as it stands, without comparing.
    bool modifiedFlag() const { return m_modified; }

  private:
    void refreshTitle();

    const cmcEeprom& m_working;
    cmcEeprom& m_snapshot;
    bool m_modified = false;
    TitleRefresh m_refresh = nullptr;
    void* m_context = nullptr;
};
