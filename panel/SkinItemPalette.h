// CSkinItemPalette: the skin's colour table serving the list items' colours and brushes.
#pragma once
#include "controls/ItemPalette.h"

class CSkinItemPalette : public IItemPalette {
 public:
  COLORREF GetColor(int index) override;
  HBRUSH GetBrush(int index) override;
};
