// IItemPalette: the skin colours and brushes that list items draw with. The skin
// layer provides them (its colour table) through SetItemPalette; until it does, a
// plain system palette serves.
#pragma once
#include <windows.h>

class IItemPalette {
 public:
  // Skin colour by index: 3 list text, 4 highlighted text.
  virtual COLORREF GetColor(int index) = 0;
  // Skin brush by index (owned by the palette): 1 rules, 2 the highlight.
  virtual HBRUSH GetBrush(int index) = 0;

 protected:
  ~IItemPalette() = default;
};

// The palette in use; never null.
IItemPalette& GetItemPalette();
// Installs a palette (null: back to the system palette). The caller keeps it alive
// while it is installed.
void SetItemPalette(IItemPalette* palette);
