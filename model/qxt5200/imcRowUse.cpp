#include "imcRowUse.h"

#include "cmcListInfo.h"
#include "datCh.h"
#include "imcCsvLists.h"
#include "imcRowText.h"

imcRowUse::Use imcRowUse::of(const cmcEeprom& image, int32_t category, int32_t label,
                             int32_t index) {
    const int32_t list = imcRowText::listOfCell(category, label);
    // Only lists whose rows are records with a use of their own; a settings table or a
    // membership grid is printed whole.
    if (list <= 0 || !cmcListInfo::layout(list) || !imcCsvLists::ofList(list)) return NoListRow;
    datCh record;
    return record.load(image, list, index) && record.inUse ? Used : Unused;
}
