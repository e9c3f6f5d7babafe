#pragma once
// The main window's tree: also keeps the icons and captions of the channel-bank nodes
// current (events 40 and 41).

#include "cuiTree.h"

struct cmcEvent;

class cuiMainTree : public cuiTree {
    Q_OBJECT
  public:
    cuiMainTree(QWidget* owner, cmcGTex& table, const std::vector<QPixmap>* images = nullptr);
    ~cuiMainTree() override;

    // Event 40: each bank node's icon from the bank's capabilities and validity.
    void UpdateBankIcons();
    // Event 41: the caption (name) of bank b's node.
    void SetBankCaption(int bank, const QString& text);

  private:
    static void listener(void* context, const cmcEvent* event);
};
