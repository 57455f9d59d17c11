// A popup menu read back as the tests compare it: each entry's text, command, check
// mark and submenu.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct MenuEntry {
  std::wstring text;
  int id;
  bool checked;
  std::vector<MenuEntry> sub;
};

inline std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 64;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    MenuEntry entry = {text, static_cast<int>(info.wID), (info.fState & MFS_CHECKED) != 0, {}};
    if (info.hSubMenu) entry.sub = ReadMenu(info.hSubMenu);
    entries.push_back(entry);
  }
  return entries;
}

inline const MenuEntry* FindEntry(const std::vector<MenuEntry>& menu, const wchar_t* text) {
  for (const MenuEntry& entry : menu)
    if (entry.text == text) return &entry;
  return nullptr;
}
