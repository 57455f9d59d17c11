// A menu read back as the tests compare it: each entry's text, command, marks and
// submenu, read once here for every folder's tests. An entry that cannot be read
// fails the test.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct MenuEntry {
  std::wstring text;
  int id;  // the command; -1 for a submenu, as GetMenuItemID gives it
  bool popup;
  bool separator;
  bool checked;
  bool radio;
  bool grayed;  // greyed or disabled: not to be chosen
  std::vector<MenuEntry> sub;
};

inline std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
      ADD_FAILURE() << "menu entry " << i << " could not be read";
      info = {};
    }
    MenuEntry entry = {text,
                       info.hSubMenu ? -1 : static_cast<int>(info.wID),
                       info.hSubMenu != nullptr,
                       (info.fType & MFT_SEPARATOR) != 0,
                       (info.fState & MFS_CHECKED) != 0,
                       (info.fType & MFT_RADIOCHECK) != 0,
                       (info.fState & (MF_GRAYED | MF_DISABLED)) != 0,
                       {}};
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

// The commands of a menu's top level, a submenu's as -1, a separator's as 0.
inline std::vector<int> MenuIds(const std::vector<MenuEntry>& menu) {
  std::vector<int> ids;
  for (const MenuEntry& entry : menu) ids.push_back(entry.id);
  return ids;
}
inline std::vector<int> MenuIds(HMENU menu) { return MenuIds(ReadMenu(menu)); }

// The texts of a menu's top level, a separator's empty.
inline std::vector<std::wstring> MenuTexts(const std::vector<MenuEntry>& menu) {
  std::vector<std::wstring> texts;
  for (const MenuEntry& entry : menu) texts.push_back(entry.text);
  return texts;
}

// The menu as one line: "id:text" (with texts) or "id", "[grey]" and "[x]" for greyed
// and checked entries (with marks), "-" for a separator and submenus as "text{...}",
// each followed by a space.
inline std::wstring MenuText(const std::vector<MenuEntry>& menu, bool withTexts, bool withMarks = true) {
  std::wstring out;
  for (const MenuEntry& entry : menu) {
    if (entry.popup) {
      out += entry.text + L"{" + MenuText(entry.sub, withTexts, withMarks) + L"}";
    } else if (entry.separator) {
      out += L"-";
    } else {
      out += std::to_wstring(entry.id);
      if (withTexts) out += L":" + entry.text;
      if (withMarks && entry.grayed) out += L"[grey]";
      if (withMarks && entry.checked) out += L"[x]";
    }
    out += L" ";
  }
  return out;
}
inline std::wstring MenuText(HMENU menu, bool withTexts, bool withMarks = true) {
  return MenuText(ReadMenu(menu), withTexts, withMarks);
}

// The menu as a list, submenus flattened: "[text]" before a submenu's entries and
// "[end]" after them, "-" a separator, a command as "id", or with texts as "id text"
// followed by " (*)" when it is the radio choice and " (checked)" when checked.
inline void AppendMenuLines(const std::vector<MenuEntry>& menu, bool withTexts, std::vector<std::wstring>& out) {
  for (const MenuEntry& entry : menu) {
    if (entry.popup) {
      out.push_back(L"[" + entry.text + L"]");
      AppendMenuLines(entry.sub, withTexts, out);
      out.push_back(L"[end]");
    } else if (entry.separator) {
      out.push_back(L"-");
    } else if (!withTexts) {
      out.push_back(std::to_wstring(entry.id));
    } else {
      std::wstring line = std::to_wstring(entry.id) + L" " + entry.text;
      if (entry.checked) line += entry.radio ? L" (*)" : L" (checked)";
      out.push_back(line);
    }
  }
}
inline std::vector<std::wstring> MenuLines(HMENU menu, bool withTexts) {
  std::vector<std::wstring> out;
  AppendMenuLines(ReadMenu(menu), withTexts, out);
  return out;
}
