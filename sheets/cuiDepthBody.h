#pragma once
// Reads a body of "+" lines whose depth is the number of characters before the "+" (menus
// and the tree). One level at a time: the first line fixes the level's depth, equal lines
// are siblings, a deeper line starts the children of the last sibling, a shallower line or
// a line starting "#" ends the level; lines without "+" are skipped.

#include <QStringList>

namespace cuiDepthBody {

// add(parent, text) adds one entry and returns it; childParent(last, parent) gives the
// parent for the children of last (last is null when a level starts deeper). Returns the
// line where the level ended.
template <class Node, class Add, class ChildParent>
int walk(const QStringList& lines, int pos, Node parent, Add add, ChildParent childParent) {
    int depth = -1;
    decltype(add(parent, QString())) last = nullptr;
    while (pos < lines.size()) {
        const QString& line = lines[pos];
        if (line.startsWith(QLatin1Char('#'))) return int(lines.size());
        const int d = int(line.indexOf(QLatin1Char('+')));
        if (d < 0) {
            ++pos;
            continue;
        }
        if (depth < 0) depth = d;
        if (d == depth) {
            last = add(parent, line.mid(d + 1));
            ++pos;
        } else if (d > depth) {
            pos = walk(lines, pos, childParent(last, parent), add, childParent);
        } else {
            return pos;
        }
    }
    return pos;
}

} // namespace cuiDepthBody
