#include "panel/SkinItemPalette.h"

#include "graphics/SkinColors.h"

COLORREF CSkinItemPalette::GetColor(int index) { return CSkinColors::Instance().Get(index); }
HBRUSH CSkinItemPalette::GetBrush(int index) { return CSkinColors::Instance().GetSolidBrush(index); }
