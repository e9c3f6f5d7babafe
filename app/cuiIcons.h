#pragma once
// The main form's pictures: the tree image list and the tool-bar image list, drawn in code
// so that they scale cleanly. The order of each list fixes the image indices that the tree
// and tool-bar definitions use.

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace cuiIcons {

// Picture names in image-list order.
const QStringList& treeNames();    // 13 pictures
const QStringList& toolBarNames(); // 21 pictures

// One picture by name, drawn at size x size pixels (32 is the design size); a null image
// for an unknown name.
QImage draw(const QString& name, int size = 32);

// The two image lists in their fixed order, drawn once and then read back by later starts
// (cuiIconCache).
QList<QPixmap> treeList(int size = 16);
QList<QPixmap> toolBarList(int size = 16);

} // namespace cuiIcons
