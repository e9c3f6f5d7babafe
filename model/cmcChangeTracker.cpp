#include "cmcChangeTracker.h"

#include "cmcEeprom.h"

cmcChangeTracker::cmcChangeTracker(const cmcEeprom& working, cmcEeprom& snapshot)
    : m_working(working), m_snapshot(snapshot) {}

void cmcChangeTracker::setTitleRefresh(TitleRefresh refresh, void* context) {
    m_refresh = refresh;
    m_context = context;
}

bool cmcChangeTracker::isModified() {
    if (m_modified) return true;
    if (m_working != m_snapshot) {
        m_modified = true;
        refreshTitle();
        return true;
    }
    return false;
}

void cmcChangeTracker::markSaved() {
    m_snapshot = m_working;
    m_modified = false;
    refreshTitle();
}

void cmcChangeTracker::markModified() {
    m_modified = true;
    refreshTitle();
}

void cmcChangeTracker::refreshTitle() {
    if (m_refresh) m_refresh(m_context);
}
