#include "cuiDispatchSource.h"

#include "cuiSheetEnv.h"

#include "cmcCellDispatch.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cuiCell.h"

cuiDispatchSource::cuiDispatchSource(cmcCellDispatch* dispatch) : m_dispatch(dispatch) {
    if (m_dispatch && !m_dispatch->hasEditUser()) m_dispatch->setEditUser(&m_user);
}

cuiDispatchSource::~cuiDispatchSource() {
    if (m_dispatch && &m_dispatch->editUser() == &m_user) m_dispatch->setEditUser(nullptr);
}

cuiCellView cuiDispatchSource::view(const cuiCell& cell, bool, bool) {
    cuiCellView v;
    if (!m_dispatch) return v;
    cmcCellRequest r(cell.category, cell.label, cell.index);
    m_dispatch->dispatch(r);
    v.hasText = true;
    v.marked = r.fl.style == cuiFlector::StMark;
    // A check box shows as its glyph alone.
    v.checkBox = r.checkBox;
    if (v.checkBox < 0) v.text = r.fl.display;
    v.offersList = r.fl.offersList && v.checkBox < 0;
    return v;
}

cuiCellResult cuiDispatchSource::execute(const cuiCell& cell, const cuiCellCommand& command,
                                         const cuiCellContext& context) {
    cuiCellResult result;
    if (!m_dispatch) return result;
    // F1 on a cell asks for its help topic.
    if (!command.hasText && command.code == HelpKeyCode) {
        cuiSheetEnv::current().cellHelp(cell.label);
        return result;
    }
    cmcCellRequest r(cell.category, cell.label, cell.index);
    r.rangeFirst = context.rangeFirst;
    r.rangeLast = context.rangeLast;
    if (command.hasText) {
        r.fl.operation = cuiFlector::OpCommit;
        r.fl.editText = command.text;
        r.fillRange = command.fillRange;
    } else if (command.code == 0) {
        if (command.argument == 0) return result;
        r.menuCommand = command.argument;
    } else {
        // A double click acts as Enter; key codes above 255 (arrows at the row's edge,
        // function keys) have no meaning for the values of this model.
        const int key = command.code == 256 ? int(cuiFlector::KeyEnter) : command.code;
        if (key > 255) return result;
        r.fl.keyMode = true;
        r.fl.key = key;
    }
    m_dispatch->dispatch(r);
    result.changed = r.changed;
    if (r.redirectLabel != CL_None) {
        result.redirect = true;
        result.category = cell.category;
        result.label = r.redirectLabel;
        result.index = cell.index;
    }
    // Row commands move the cursor to another row of the same column and select rows.
    if (r.cursorIndex >= 0 && r.cursorIndex != cell.index && r.redirectLabel == CL_None) {
        result.redirect = true;
        result.category = cell.category;
        result.label = cell.label;
        result.index = r.cursorIndex;
    }
    if (r.selectFirst >= 0 && r.selectLast >= r.selectFirst) {
        result.rangeSelected = true;
        result.rangeFirst = r.selectFirst;
        result.rangeLast = r.selectLast;
    }
    if (r.fl.editStatus == cuiFlector::EsPopup) {
        result.popup = true;
        result.popupKey = r.fl.popupKey;
        result.popupKind = r.fl.popupKind;
        result.popupValue = r.fl.popupValue;
    }
    if (r.fl.editStatus == cuiFlector::EsEdit) {
        result.action = cuiCellResult::StartEditor;
        result.editorText = r.fl.display;
        result.selectionStart = r.fl.caret;
        result.selectionLength = r.fl.selLength;
    }
    return result;
}

namespace {

cmcCellObj identity(const cuiCell& cell) {
    cmcCellObj obj;
    obj.category = cell.category;
    obj.label = cell.label;
    obj.index = cell.index;
    obj.text = cell.option;
    return obj;
}

} // namespace

void cuiDispatchSource::menuState(cuiCell& cell, const cuiCell* owner) {
    if (!m_dispatch) return;
    cmcCellObj target = identity(cell);
    cmcCellObj parent = owner ? identity(*owner) : cmcCellObj();
    cmcCellRequest r(cell.category, cell.label, cell.index);
    r.cell = &target;
    r.parent = owner ? &parent : nullptr;
    m_dispatch->dispatch(r);
    const uint32_t state = r.menuState & cmcCellObj::F_MenuStateMask;
    cell.stateFlags = uint16_t((cell.stateFlags & ~0xFu) | (state >> cmcCellObj::F_StateShift));
    if (r.imageIndex >= 0) cell.imageIndex = r.imageIndex;
    if (state & cmcCellObj::F_CaptionSet) cell.displayText = target.caption;
}

void cuiDispatchSource::activate(const cuiCell& cell, const cuiCell* owner) {
    if (!m_dispatch) return;
    cmcCellObj parent = owner ? identity(*owner) : cmcCellObj();
    cmcCellRequest r(cell.category, cell.label, cell.index);
    r.execute = true;
    r.parent = owner ? &parent : nullptr;
    m_dispatch->dispatch(r);
}

bool cuiDispatchSource::choose(const cuiCell& cell, int kind, int64_t value) {
    return m_dispatch && m_dispatch->choose(cell.category, cell.label, cell.index, kind, value);
}

bool cuiDispatchSource::rowChoices(int kind, std::vector<int64_t>& values, QStringList& texts) {
    return m_dispatch && m_dispatch->rowChoices(kind, values, texts);
}
