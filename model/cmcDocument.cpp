#include "cmcDocument.h"

#include <algorithm>

cmcDocument::cmcDocument(int32_t imageSize)
    : m_working(imageSize), m_second(imageSize), m_loaded(imageSize), m_saved(imageSize),
      m_tracker(m_working, m_saved), m_base(imageSize) {}

// The runs of bytes that differ, each with its old and new contents. Runs closer than a
// few bytes are joined: a record written whole stays one patch.
std::vector<cmcDocument::Patch> cmcDocument::difference(const cmcEeprom& before,
                                                        const cmcEeprom& after) {
    constexpr int32_t JoinGap = 8;
    std::vector<Patch> patches;
    const int32_t n = std::min(before.GetSize(), after.GetSize());
    const uint8_t* a = before.data();
    const uint8_t* b = after.data();
    int32_t i = 0;
    while (i < n) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        int32_t end = i + 1;
        int32_t same = 0;
        for (int32_t j = end; j < n && same < JoinGap; ++j) {
            if (a[j] == b[j]) {
                ++same;
            } else {
                same = 0;
                end = j + 1;
            }
        }
        Patch p;
        p.address = i;
        p.before = QByteArray(reinterpret_cast<const char*>(a + i), end - i);
        p.after = QByteArray(reinterpret_cast<const char*>(b + i), end - i);
        patches.push_back(std::move(p));
        i = end;
    }
    return patches;
}

void cmcDocument::apply(cmcEeprom& image, const std::vector<Patch>& patches, bool forward) {
    for (const Patch& p : patches) {
        const QByteArray& bytes = forward ? p.after : p.before;
        if (p.address >= 0 && int64_t(p.address) + bytes.size() <= image.GetSize())
            image.SetBlock(p.address, reinterpret_cast<const uint8_t*>(bytes.constData()),
                           int32_t(bytes.size()));
    }
}

bool cmcDocument::recordChange(const QString& name, const QString& mergeKey) {
    if (m_working == m_base) return false;
    const bool merge =
        m_mergeOpen && !mergeKey.isEmpty() && !m_undo.empty() && m_undo.back().mergeKey == mergeKey;
    if (merge) {
        // The step covers everything from before its first change to now.
        cmcEeprom start = m_base;
        apply(start, m_undo.back().patches, false);
        m_undo.back().patches = difference(start, m_working);
    } else {
        m_undo.push_back(Step{name, mergeKey, difference(m_base, m_working)});
        if (int(m_undo.size()) > MaxSteps) m_undo.erase(m_undo.begin());
    }
    m_mergeOpen = !mergeKey.isEmpty();
    m_redo.clear();
    m_base = m_working;
    return true;
}

bool cmcDocument::undo() {
    if (m_undo.empty()) return false;
    // Whatever changed since the last step without being recorded goes with it.
    recordChange(QString());
    if (m_undo.empty()) return false;
    apply(m_working, m_undo.back().patches, false);
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    m_base = m_working;
    m_mergeOpen = false;
    settleModified();
    return true;
}

bool cmcDocument::redo() {
    if (m_redo.empty()) return false;
    apply(m_working, m_redo.back().patches, true);
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    m_base = m_working;
    m_mergeOpen = false;
    settleModified();
    return true;
}

// Undone or redone back to the saved bytes: the document is no longer modified.
void cmcDocument::settleModified() {
    if (m_working == m_saved) m_tracker.markSaved();
}

void cmcDocument::clearHistory() {
    m_undo.clear();
    m_redo.clear();
    m_base = m_working;
    m_mergeOpen = false;
}
