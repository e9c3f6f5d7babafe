#pragma once
// What the overlays must hold, checked once at start-up so that a damaged or truncated
// overlay stops the program before any work instead of in the middle of it: every key the
// code names, the three sections of every sheet the tree opens, and the body of every
// pop-up menu a cell names. A key the code names counts as present when it is a key of one
// of the tables, or the base of keys built from it (key + "_Body", key + "_Caption" ...).

#include <QString>
#include <QStringList>

class cmcGTex;

class cmcOverlayCheck {
  public:
    // The first key that none of the tables has, or empty when every one is there.
    static QString firstMissing(const QStringList& codeKeys, cmcGTex& main, cmcGTex& help,
                                cmcGTex& languages);
    // The keys of the definitions the main table itself refers to: the sheets of the tree
    // ("[state]key,arguments" commands) and the pop-up menus of cells ("PopupMenu=key").
    static QStringList referencedDefinitions(cmcGTex& main);
    // The keys the code names (gathered from the sources at build time).
    static QStringList codeKeys();
};
