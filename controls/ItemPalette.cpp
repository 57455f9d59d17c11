#include "controls/ItemPalette.h"

namespace {

// System colours in place of the skin's: highlight for selection, a shadow for
// rules, window text else.
class CSystemPalette : public IItemPalette {
 public:
  COLORREF GetColor(int index) override {
    return GetSysColor(index == 4 ? COLOR_HIGHLIGHTTEXT : index == 2 ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT);
  }
  HBRUSH GetBrush(int index) override {
    return GetSysColorBrush(index == 2 ? COLOR_HIGHLIGHT : index == 1 ? COLOR_BTNSHADOW : COLOR_WINDOW);
  }
};

CSystemPalette g_systemPalette;
IItemPalette* g_palette = &g_systemPalette;

}  // namespace

IItemPalette& GetItemPalette() { return *g_palette; }

void SetItemPalette(IItemPalette* palette) { g_palette = palette ? palette : &g_systemPalette; }
