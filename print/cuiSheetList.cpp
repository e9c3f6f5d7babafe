#include "cuiSheetList.h"

#include "cmcGTex.h"
#include "cuiCell.h"
#include "cuiCellParser.h"
#include "cuiDepthBody.h"

#include <QStringList>
#include <memory>

std::vector<cuiSheetList::Sheet> cuiSheetList::treeSheets(cmcGTex& table, const QString& treeKey) {
    std::vector<Sheet> sheets;
    cuiCellParser parser(table);
    cuiCell basic;
    parser.parse(basic, table.getText(treeKey + QStringLiteral("_BasicCell"), 0), nullptr, nullptr);
    const QStringList lines = table.getTextBlock(treeKey + QStringLiteral("_Body")).split('\n');
    // A node's flags hide its children with it: a hidden node's subtree is skipped.
    struct Node {
        bool hidden;
    };
    std::vector<std::unique_ptr<Node>> nodes;
    const auto add = [&](const Node* parent, const QString& text) -> const Node* {
        cuiCell cell;
        parser.parse(cell, text, &basic, nullptr);
        bool hidden = parent && parent->hidden;
        for (int f = 0; f <= 8; ++f)
            hidden |= cell.flag(f);
        if (!hidden && !cell.option.isEmpty()) sheets.push_back({cell.option, cell.displayText});
        nodes.push_back(std::make_unique<Node>(Node{hidden}));
        return nodes.back().get();
    };
    const auto children = [](const Node* last, const Node* parent) { return last ? last : parent; };
    cuiDepthBody::walk(lines, 0, static_cast<const Node*>(nullptr), add, children);
    return sheets;
}

QString cuiSheetList::find(const std::vector<Sheet>& sheets, const QString& name) {
    for (const Sheet& s : sheets)
        if (s.command == name) return s.command;
    for (const Sheet& s : sheets)
        if (s.caption.compare(name, Qt::CaseInsensitive) == 0) return s.command;
    return QString();
}
