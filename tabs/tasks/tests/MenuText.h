// Test helper: a menu walked item by item as text: "id:text" (with texts) or "id",
// "[grey]" and "[x]" for greyed and checked items, "-" for a separator and submenus as
// "text{...}".
#pragma once
#include <windows.h>

#include <string>

inline std::wstring MenuText(HMENU menu, bool withTexts) {
  std::wstring out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    if (HMENU sub = GetSubMenu(menu, i)) {
      out += std::wstring(text) + L"{" + MenuText(sub, withTexts) + L"}";
    } else if (state & MF_SEPARATOR) {
      out += L"-";
    } else {
      out += std::to_wstring(GetMenuItemID(menu, i));
      if (withTexts) out += std::wstring(L":") + text;
      if (state & MF_GRAYED) out += L"[grey]";
      if (state & MF_CHECKED) out += L"[x]";
    }
    out += L" ";
  }
  return out;
}
