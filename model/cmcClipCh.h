#pragma once
// The row clipboard of the list sheets: copies of whole records of one list, pasted back
// into that list only. One clipboard serves the whole program (program()); clear and move
// use temporary ones. It keeps its rows after a paste, so one copy can be pasted again.

#include "datCh.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class cmcEeprom;

class cmcClipCh {
  public:
    cmcClipCh() = default;
    virtual ~cmcClipCh() = default;
    cmcClipCh(const cmcClipCh&) = delete;
    cmcClipCh& operator=(const cmcClipCh&) = delete;

    static cmcClipCh& program();

    // Forgets the rows held.
    virtual void clear();
    // Clears, then holds count rows of list from first on (cut to the list's rows). False
    // when no row could be taken.
    virtual bool copy(const cmcEeprom& image, int32_t list, int32_t first, int32_t count);
    // Appends one row of the image to the rows held (the clipboard's list and first row
    // are set by the first row loaded). False for a row outside the list or of another list.
    virtual bool load(const cmcEeprom& image, int32_t list, int32_t row);
    virtual bool hasRowsOf(int32_t list) const;
    // Stores the rows held into rows first .. first + count - 1 of list, no more than are
    // held and no further than the list's last row. Returns the rows stored (0 when the
    // clipboard holds rows of another list).
    virtual int32_t paste(cmcEeprom& image, int32_t list, int32_t first, int32_t count);
    // Stores held row i into row of the image (its own list): the record and its validity
    // bit, through datCh.
    virtual bool store(cmcEeprom& image, int32_t i, int32_t row) const;

    int32_t list() const { return m_list; }
    int32_t first() const { return m_first; }
    int32_t count() const { return int32_t(m_rows.size()); }
    const datCh& row(int32_t i) const { return m_rows[size_t(i)]; }

  private:
    std::vector<datCh> m_rows;
    int32_t m_list = 0;
    int32_t m_first = 0;
};
