#include "cmcClipCh.h"

#include "cmcEeprom.h"
#include "cmcListInfo.h"

#include <algorithm>

cmcClipCh& cmcClipCh::program() {
    static cmcClipCh clipboard;
    return clipboard;
}

void cmcClipCh::clear() {
    m_rows.clear();
    m_list = 0;
    m_first = 0;
}

bool cmcClipCh::copy(const cmcEeprom& image, int32_t list, int32_t first, int32_t count) {
    clear();
    const cmcListRange range = cmcListInfo::range(list);
    const int32_t from = std::max(first, range.first);
    const int32_t to = std::min(first + count - 1, range.last);
    for (int32_t row = from; row <= to; ++row)
        if (!load(image, list, row)) break;
    return !m_rows.empty();
}

bool cmcClipCh::load(const cmcEeprom& image, int32_t list, int32_t row) {
    if (!m_rows.empty() && list != m_list) return false;
    datCh rec;
    if (!rec.load(image, list, row)) return false;
    if (m_rows.empty()) {
        m_list = list;
        m_first = row;
    }
    m_rows.push_back(rec);
    return true;
}

bool cmcClipCh::hasRowsOf(int32_t list) const {
    return !m_rows.empty() && list == m_list;
}

int32_t cmcClipCh::paste(cmcEeprom& image, int32_t list, int32_t first, int32_t count) {
    if (!hasRowsOf(list) || first < cmcListInfo::range(list).first) return 0;
    const int32_t n = std::min({count, this->count(), cmcListInfo::range(list).last - first + 1});
    int32_t stored = 0;
    for (int32_t i = 0; i < n; ++i)
        if (store(image, i, first + i)) ++stored;
    return stored;
}

bool cmcClipCh::store(cmcEeprom& image, int32_t i, int32_t row) const {
    if (i < 0 || i >= count()) return false;
    const cmcListLayout* layout = cmcListInfo::layout(m_list);
    if (!layout || row < 0 || row >= layout->rows) return false;
    datCh rec = m_rows[size_t(i)];
    rec.row = row;
    rec.store(image);
    // datCh writes channel frequencies as numbers: an erased frequency (0xFF bytes, read as
    // 0) would come back as zeros. A row keeps the bytes it was copied with.
    if (m_list == QxList::Channel) {
        const datCh& held = m_rows[size_t(i)];
        for (int offset : {QxRec::ChFreqR, QxRec::ChFreqT})
            if (held.blank(offset, 4))
                image.SetBlock(layout->base + row * layout->size + offset, held.bytes + offset, 4);
    }
    return true;
}
