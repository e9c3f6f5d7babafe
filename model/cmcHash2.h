#pragma once
// The second hash table kind: the same table, its own fatal text for a duplicate key. It
// keys the cached selection lists of the value formats.

#include "cmcHash.h"

class cmcHash2 : public cmcHash {
  public:
    explicit cmcHash2(int buckets = 1031) : cmcHash(buckets) {}

  protected:
    QString overlapMessage() const override;
};
