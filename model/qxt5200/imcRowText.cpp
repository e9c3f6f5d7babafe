#include "imcRowText.h"

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "imcCsvLists.h"

#include <algorithm>

namespace {

QString s_held;     // the clipboard while no reader and writer are installed
QString s_lastCopy; // the text of the program's own last copy
imcRowText::Reader s_reader = nullptr;
imcRowText::Writer s_writer = nullptr;

constexpr int ShownErrors = 20;

// The list whose rows a cell shows, when it has a text form and rows the row clipboard
// serves.
const cmcCsvTable* listOf(const cmcCellRequest& r) {
    const int32_t list = imcRowText::listOfCell(r.category, r.label);
    return cmcListInfo::layout(list) ? imcCsvLists::ofList(list) : nullptr;
}

// Text whose header line holds a tab is a spreadsheet's; otherwise lines of a CSV file.
QChar separatorOf(const QString& text) {
    const QString header = text.section(u'\n', 0, 0);
    return header.contains(u'\t') ? QChar(u'\t') : QChar(u',');
}

} // namespace

QString imcRowText::rows(const cmcEeprom& image, const cmcCsvTable& list, int32_t first,
                         int32_t last, cmcGTex* items) {
    return QString::fromUtf8(cmcCsvList::write(image, list, items, first, last, u'\t'));
}

cmcCsvResult imcRowText::take(cmcEeprom& image, const cmcEeprom* defaults, const cmcCsvTable& list,
                              const QString& text, int32_t at, cmcGTex* items) {
    cmcCsvOptions options;
    options.items = items;
    options.separator = separatorOf(text);
    options.placeAt = at;
    return cmcCsvList::read(image, defaults, imcCsvLists::layouts(list), text.toUtf8(), options);
}

void imcRowText::setClipboard(Reader reader, Writer writer) {
    s_reader = reader;
    s_writer = writer;
}

QString imcRowText::clipboardText() {
    return s_reader ? s_reader() : s_held;
}

void imcRowText::setClipboardText(const QString& text) {
    if (s_writer)
        s_writer(text);
    else
        s_held = text;
}

void imcRowText::copied(const cmcEeprom& image, int32_t list, int32_t first, int32_t last) {
    const cmcCsvTable* table = imcCsvLists::ofList(list);
    if (!table) return;
    s_lastCopy = rows(image, *table, std::min(first, last), std::max(first, last));
    setClipboardText(s_lastCopy);
}

int32_t imcRowText::listOfCell(int32_t category, int32_t label) {
    const int32_t list = cmcCellDispatch::listOfLabel(label);
    return list ? list : cmcCellNames::listOf(category);
}

bool imcRowText::pastesText(int32_t list) {
    if (!cmcListInfo::layout(list) || !imcCsvLists::ofList(list)) return false;
    const QString text = clipboardText();
    if (text.trimmed().isEmpty()) return false;
    // The program's own copy pastes as the row clipboard's bytes, into its own list only.
    return text != s_lastCopy;
}

bool imcRowText::paste(cmcCellDispatch& d, cmcCellRequest& r) {
    cmcEeprom* image = d.image();
    const cmcCsvTable* list = listOf(r);
    if (!image || !list || !pastesText(list->list)) return false;
    const int32_t at = r.rangeFirst >= 0 ? std::min(r.rangeFirst, r.rangeLast) : r.index;
    if (at < 0 || at >= list->rows) return false;

    cmcEeprom trial(*image);
    const cmcCsvResult result = take(trial, d.defaultImage(), *list, clipboardText(), at);
    if (!result.ok()) {
        QStringList lines;
        for (size_t i = 0; i < result.errors.size() && i < size_t(ShownErrors); ++i)
            lines << result.errors[i].describe();
        if (result.errors.size() > size_t(ShownErrors))
            lines << QStringLiteral("(+%1)").arg(result.errors.size() - ShownErrors);
        d.editUser().tell(QStringLiteral("GI_AppMess_PasteTextErr"), lines);
        return false;
    }
    if (result.targets.empty()) return false;
    const bool overwrites = std::any_of(result.targets.begin(), result.targets.end(),
                                        [&](int32_t row) { return list->inUse(*image, row); });
    if (overwrites && !d.editUser().confirm(QStringLiteral("GI_AppMess_Conv_Overwrite")))
        return false;

    *image = trial;
    const auto [lo, hi] = std::minmax_element(result.targets.begin(), result.targets.end());
    r.rangeFirst = r.selectFirst = *lo;
    r.rangeLast = r.selectLast = *hi;
    cmcEditReport shown;
    shown.statusKey = QStringLiteral("GI_AppMess_S_Paste");
    shown.repaintAll = true;
    d.editUser().report(shown);
    return true;
}
