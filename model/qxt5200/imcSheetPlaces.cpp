#include "imcSheetPlaces.h"

#include "cmcCellNames.h"
#include "cmcCsvList.h"
#include "cmcGTex.h"
#include "imcSettingCells.h"

#include <QRegularExpression>
#include <memory>

namespace {

struct DefCell {
    QString text;
    int32_t label = CL_None;
};

DefCell parseCell(const QString& cell) {
    static const QRegularExpression labelRe(QStringLiteral("\\(%(?:CT_\\w+\\.)?(CL_\\w+)"));
    static const QRegularExpression braces(QStringLiteral("\\{[^}]*\\}"));
    DefCell c;
    const QRegularExpressionMatch m = labelRe.match(cell);
    int32_t label = CL_None;
    if (m.hasMatch() && cmcCellNames::findLabel(m.captured(1), &label)) c.label = label;
    c.text = QString(cell).remove(braces).replace(QLatin1String("\\n"), QLatin1String(" "));
    c.text = c.text.simplified();
    return c;
}

} // namespace

const imcSheetPlaces& imcSheetPlaces::forTable(cmcGTex& table) {
    static const cmcGTex* readFrom = nullptr;
    static QString readFile;
    static std::unique_ptr<imcSheetPlaces> places;
    if (!places || readFrom != &table || readFile != table.fileName()) {
        places = std::make_unique<imcSheetPlaces>(table);
        readFrom = &table;
        readFile = table.fileName();
    }
    return *places;
}

const imcSheetPlace* imcSheetPlaces::of(int32_t label) const {
    auto it = m_places.constFind(label);
    return it == m_places.constEnd() ? nullptr : &*it;
}

const imcSheetPlace* imcSheetPlaces::sheetOf(const cmcCsvTable& table) const {
    auto it = m_categories.constFind(table.category);
    if (it != m_categories.constEnd()) return &*it;
    for (const cmcCsvColumn& c : table.columns)
        if (const imcSheetPlace* p = of(c.label)) return p;
    return nullptr;
}

void imcSheetPlaces::read(cmcGTex& table) {
    const QString tree = QStringLiteral("GI_Tree_Main_Body");
    if (!table.hasKey(tree)) return;
    static const QRegularExpression node(QStringLiteral("\\(%CL_Null:([^)]*)\\)[^}]*\\}(.*)$"));
    for (const QString& line : table.getTextBlock(tree).split(u'\n')) {
        const QRegularExpressionMatch m = node.match(line);
        if (!m.hasMatch()) continue;
        const QString command = m.captured(1);
        QString key = command;
        if (key.startsWith(u'[')) key = key.section(u']', 1);
        key = key.section(u',', 0, 0);
        const QString cellsKey = key + QStringLiteral("_Cells");
        if (!table.hasKey(cellsKey)) continue;
        m_sheets << command;
        sheet(table.getTextBlock(cellsKey).split(u'\n'), command, m.captured(2).trimmed());
    }
}

void imcSheetPlaces::sheet(const QStringList& lines, const QString& command, const QString& where) {
    static const QRegularExpression categoryRe(QStringLiteral("%(CT_\\w+)\\."));
    QList<DefCell> head, lastPlain;
    bool inLoop = false;
    for (const QString& line : lines) {
        for (auto it = categoryRe.globalMatch(line); it.hasNext();) {
            int32_t category = CT_None;
            if (cmcCellNames::findCategory(it.next().captured(1), &category) &&
                !m_categories.contains(category))
                m_categories.insert(category, {command, where, QString()});
        }
        if (line.startsWith(u':')) {
            if (line.startsWith(QLatin1String(":(LoopFrom"))) {
                inLoop = true;
                head = lastPlain; // the heading row stands above the loop
            } else if (line.startsWith(QLatin1String(":(LoopTo"))) {
                inLoop = false;
            }
            continue;
        }
        QList<DefCell> cells;
        for (const QString& c : line.split(u'|'))
            cells << parseCell(c);
        if (head.isEmpty() && !inLoop) head = cells; // the first row heads plain sheets
        for (int i = 0; i < cells.size(); ++i) {
            const int32_t label = cells[i].label;
            if (!inLoop && label != CL_None && i > 0 && !m_items.contains(label))
                m_items.insert(label, cells[i - 1].text);
            if (label == CL_None || m_places.contains(label)) continue;
            if (inLoop) {
                if (i < head.size() && head[i].label == CL_None && !head[i].text.isEmpty())
                    m_places.insert(label, {command, where, head[i].text});
            } else if (imcSettingCells::serves(label) && i > 0) {
                // "LCD contrast"; a numbered row: "VFO A (MHz), Band 1".
                const QString rowName = cells[0].text;
                bool number = false;
                rowName.toInt(&number);
                QString caption = rowName;
                if (number && i < head.size())
                    caption = head[i].text + QStringLiteral(", ") + head[0].text + u' ' + rowName;
                m_places.insert(label, {command, where, caption});
            }
        }
        if (!inLoop) lastPlain = cells;
    }
}
