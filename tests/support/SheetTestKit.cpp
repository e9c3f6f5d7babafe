#include "SheetTestKit.h"

SheetTable& SheetTable::add(const QString& key, const QStringList& lines) {
    m_lines.append(QLatin1Char('#') + key);
    m_lines.append(lines);
    return *this;
}

SheetTable& SheetTable::sheet(const QString& key, const QString& style, const QString& basic,
                              const QStringList& cells) {
    add(key + QStringLiteral("_Style"), {style});
    add(key + QStringLiteral("_BasicCell"), {basic});
    add(key + QStringLiteral("_Cells"), cells);
    return *this;
}

cmcGTex& SheetTable::table() {
    if (!m_table) {
        m_table = std::make_unique<cmcGTex>();
        QStringList lines = m_lines;
        lines.append(QStringLiteral("#End_Of_Ovl"));
        m_table->attachLines(lines);
    }
    return *m_table;
}

bool RecordingSheetEnv::readInt(const QString& path, const QString& name, int& value) {
    const QString k = path + '/' + name;
    calls.append(QStringLiteral("read ") + k);
    if (!store.contains(k)) return false;
    value = store.value(k);
    return true;
}

void RecordingSheetEnv::writeInt(const QString& path, const QString& name, int value) {
    const QString k = path + '/' + name;
    calls.append(QStringLiteral("write %1=%2").arg(k).arg(value));
    store.insert(k, value);
}

void RecordingSheetEnv::deleteKey(const QString& path) {
    calls.append(QStringLiteral("delete ") + path);
    for (auto it = store.begin(); it != store.end();) {
        if (it.key().startsWith(path + '/'))
            it = store.erase(it);
        else
            ++it;
    }
}

cuiCellView RecordingCellSource::view(const cuiCell& cell, bool, bool) {
    cuiCellView v;
    const auto key = qMakePair(int(cell.label), int(cell.index));
    v.hasText = texts.contains(key);
    v.text = texts.value(key);
    return v;
}

cuiCellResult RecordingCellSource::execute(const cuiCell& cell, const cuiCellCommand& command,
                                           const cuiCellContext&) {
    received.append(
        {cell.label, cell.index, command.code, command.argument, command.text, command.hasText});
    cuiCellResult r;
    if (command.hasText) {
        texts.insert(qMakePair(int(cell.label), int(cell.index)), command.text);
        r.changed = true;
    } else if (command.code == 13 && enterStartsEditor) {
        r.action = cuiCellResult::StartEditor;
    }
    return r;
}

void RecordingCellSource::menuState(cuiCell& cell, const cuiCell*) {
    cell.stateFlags = uint16_t(cell.stateFlags | menuFlags.value(cell.label));
    if (menuCaptions.contains(cell.label)) cell.displayText = menuCaptions.value(cell.label);
}

void RecordingCellSource::activate(const cuiCell& cell, const cuiCell*) {
    activated.append(cell.label);
}
