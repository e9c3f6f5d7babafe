#pragma once
// The sheets of the main tree without a tree widget: what "all sheets" prints or exports
// when no window is there (the command-line tool). A node that a flag hides in the editor
// (maker-only, other variants) is left out, as the editor's tree leaves it out.

#include <QString>
#include <vector>

class cmcGTex;

class cuiSheetList {
  public:
    struct Sheet {
        QString command; // the sheet command, as the tree node holds it
        QString caption; // the node's text
    };

    static std::vector<Sheet> treeSheets(cmcGTex& table,
                                         const QString& treeKey = QStringLiteral("GI_Tree_Main"));
    // The command of the sheet named by its command or by its node's caption (case does not
    // matter); empty when none is.
    static QString find(const std::vector<Sheet>& sheets, const QString& name);
};
