#include "platform/today/ScriptAnswers.h"

#include <commctrl.h>

#include <cwctype>
#include <vector>

namespace scriptanswers {

namespace {

bool HasClass(HWND window, const wchar_t* name) {
  WCHAR found[32] = {};
  GetClassNameW(window, found, 32);
  return lstrcmpiW(found, name) == 0;
}

struct OpenMenu {
  HWND window;
  HMENU menu;
};

BOOL CALLBACK CollectMenu(HWND window, LPARAM param) {
  auto* menus = reinterpret_cast<std::vector<OpenMenu>*>(param);
  if (IsWindowVisible(window) && HasClass(window, L"#32768"))
    if (HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)))
      menus->push_back({window, menu});
  return TRUE;
}

std::vector<OpenMenu> OpenMenus() {
  std::vector<OpenMenu> menus;
  EnumThreadWindows(GetCurrentThreadId(), CollectMenu, reinterpret_cast<LPARAM>(&menus));
  return menus;
}

HWND WindowOf(const std::vector<OpenMenu>& open, HMENU menu) {
  for (const OpenMenu& m : open)
    if (m.menu == menu) return m.window;
  return nullptr;
}

// An entry's text as a person reads it: & marks gone ("&&" is one &), the shortcut
// after a tab left out, spaces at the ends trimmed.
std::wstring ShownText(HMENU menu, int position) {
  WCHAR raw[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), raw, 256, MF_BYPOSITION);
  std::wstring text;
  for (const WCHAR* c = raw; *c && *c != L'\t'; ++c) {
    if (*c == L'&') {
      if (c[1] != L'&') continue;
      ++c;
    }
    text += *c;
  }
  while (!text.empty() && iswspace(text.back())) text.pop_back();
  size_t first = 0;
  while (first < text.size() && iswspace(text[first])) ++first;
  return text.substr(first);
}

bool Matches(HMENU menu, int position, const MenuEntry& entry) {
  if (entry.byId) return !GetSubMenu(menu, position) && GetMenuItemID(menu, position) == entry.id;
  return lstrcmpiW(ShownText(menu, position).c_str(), entry.text.c_str()) == 0;
}

// The positions leading to the entry, from the menu down through its submenus.
bool FindEntry(HMENU menu, const MenuEntry& entry, std::vector<int>& path, int depth = 0) {
  if (depth > 8) return false;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    path.push_back(i);
    if (Matches(menu, i, entry)) return true;
    if (HMENU sub = GetSubMenu(menu, i))
      if (FindEntry(sub, entry, path, depth + 1)) return true;
    path.pop_back();
  }
  return false;
}

UINT StateOf(HMENU menu, int position) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) ? info.fState : 0;
}

int Highlighted(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i)
    if (StateOf(menu, i) & MFS_HILITE) return i;
  return -1;
}

// The last key sent and what the menu showed then: the next waits until the menu has
// taken it, so that the highlight never runs past the entry.
struct LastKey {
  HMENU menu = nullptr;
  int highlighted = -2;
  DWORD tick = 0;
};
thread_local LastKey t_last;

void SendKey(HWND window, HMENU menu, int highlighted, UINT key) {
  t_last = {menu, highlighted, GetTickCount()};
  PostMessageW(window, WM_KEYDOWN, key, 1);
}

}  // namespace

std::wstring MenuEntry::Name() const { return byId ? L"#" + std::to_wstring(id) : L"\"" + text + L"\""; }

Outcome AdvanceMenu(const MenuEntry& entry, std::wstring& note, std::wstring& error) {
  const std::vector<OpenMenu> open = OpenMenus();
  if (open.empty()) return Outcome::Absent;
  // The menu the others were opened from.
  HMENU root = nullptr;
  for (const OpenMenu& candidate : open) {
    bool isSub = false;
    for (const OpenMenu& other : open)
      for (int i = 0, n = GetMenuItemCount(other.menu); i < n && !isSub; ++i)
        isSub = other.menu != candidate.menu && GetSubMenu(other.menu, i) == candidate.menu;
    if (!isSub) root = candidate.menu;
  }
  std::vector<int> path;
  if (!root || !FindEntry(root, entry, path)) {
    error = L"the menu has no entry " + entry.Name();
    DismissMenus();
    return Outcome::Failed;
  }
  // The deepest menu open along the way.
  HMENU level = root;
  size_t depth = 0;
  while (depth + 1 < path.size()) {
    HMENU sub = GetSubMenu(level, path[depth]);
    if (!WindowOf(open, sub)) break;
    level = sub;
    ++depth;
  }
  HMENU target = level;
  const int position = path[depth];
  if (depth + 1 == path.size() && (StateOf(target, position) & (MFS_GRAYED | MFS_DISABLED))) {
    error = L"the menu entry " + entry.Name() + L" is greyed";
    DismissMenus();
    return Outcome::Failed;
  }
  HWND window = WindowOf(open, level);
  const int highlighted = Highlighted(level);
  if (t_last.menu == level && t_last.highlighted == highlighted && GetTickCount() - t_last.tick < 500)
    return Outcome::Waiting;
  // A submenu off the way is open (more menus than the way down): back out of it.
  if (open.size() > depth + 1) {
    SendKey(open.front().window, level, highlighted, VK_LEFT);
    return Outcome::Waiting;
  }
  if (highlighted != position) {
    SendKey(window, level, highlighted, highlighted < 0 || highlighted < position ? VK_DOWN : VK_UP);
    return Outcome::Waiting;
  }
  if (depth + 1 < path.size()) {
    SendKey(window, level, highlighted, VK_RIGHT);
    return Outcome::Waiting;
  }
  note = L"menu: chose " + entry.Name() + L" (" + ShownText(target, position) + L", " +
         std::to_wstring(static_cast<int>(GetMenuItemID(target, position))) + L")";
  t_last = LastKey{};
  PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
  return Outcome::Done;
}

void DismissMenus() {
  t_last = LastKey{};
  EndMenu();
}

namespace {

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && IsWindowEnabled(window) && HasClass(window, L"#32770")) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

bool ReadNumber(const std::wstring& text, size_t& at, size_t digits, WORD& value) {
  if (at + digits > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < digits; ++i, ++at) {
    if (!iswdigit(text[at])) return false;
    value = static_cast<WORD>(value * 10 + (text[at] - L'0'));
  }
  return true;
}

bool ReadDate(const std::wstring& text, size_t& at, SYSTEMTIME& value) {
  SYSTEMTIME v = value;
  if (!ReadNumber(text, at, 4, v.wYear) || at >= text.size() || text[at++] != L'-' ||
      !ReadNumber(text, at, 2, v.wMonth) || at >= text.size() || text[at++] != L'-' ||
      !ReadNumber(text, at, 2, v.wDay))
    return false;
  value = v;
  return true;
}

bool ReadTime(const std::wstring& text, size_t& at, SYSTEMTIME& value) {
  SYSTEMTIME v = value;
  v.wSecond = 0;
  if (!ReadNumber(text, at, 2, v.wHour) || at >= text.size() || text[at++] != L':' ||
      !ReadNumber(text, at, 2, v.wMinute))
    return false;
  if (at < text.size() && text[at] == L':' && (++at, !ReadNumber(text, at, 2, v.wSecond))) return false;
  if (v.wHour > 23 || v.wMinute > 59 || v.wSecond > 59) return false;
  value = v;
  return true;
}

}  // namespace

HWND OpenDialog() {
  HWND active = GetActiveWindow();
  if (active && IsWindowVisible(active) && HasClass(active, L"#32770") &&
      GetWindowThreadProcessId(active, nullptr) == GetCurrentThreadId())
    return active;
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool ParsePickerValue(const std::wstring& text, SYSTEMTIME& value) {
  SYSTEMTIME v = value;
  size_t at = 0;
  const bool hasDate = text.size() >= 10 && text[4] == L'-';
  if (hasDate) {
    if (!ReadDate(text, at, v)) return false;
    if (at < text.size()) {
      if (text[at] != L' ' && text[at] != L'T') return false;
      ++at;
      if (!ReadTime(text, at, v)) return false;
    }
  } else if (!ReadTime(text, at, v)) {
    return false;
  }
  if (at != text.size()) return false;
  // An impossible day (30 February) is refused, not carried into the next month.
  SYSTEMTIME check = v;
  check.wDayOfWeek = 0;
  check.wMilliseconds = 0;
  FILETIME file;
  if (!SystemTimeToFileTime(&check, &file)) return false;
  FileTimeToSystemTime(&file, &check);
  if (check.wDay != v.wDay || check.wMonth != v.wMonth || check.wYear != v.wYear) return false;
  v.wDayOfWeek = check.wDayOfWeek;
  v.wMilliseconds = 0;
  value = v;
  return true;
}

bool SetField(HWND dialog, int id, const std::wstring& value, std::wstring& error) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) {
    error = L"the dialog has no control " + std::to_wstring(id);
    return false;
  }
  if (HasClass(control, L"Edit")) {
    // The edit field tells its owner of the change itself.
    SetWindowTextW(control, value.c_str());
    return true;
  }
  if (HasClass(control, DATETIMEPICK_CLASSW)) {
    SYSTEMTIME shown = {};
    if (SendMessageW(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) != GDT_VALID)
      GetLocalTime(&shown);
    if (!ParsePickerValue(value, shown)) {
      error = L"\"" + value + L"\" is no date (YYYY-MM-DD) or time (HH:MM[:SS]) for control " + std::to_wstring(id);
      return false;
    }
    SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
    // A picker set by a message says nothing; one a person changes tells its owner.
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = control;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = shown;
    SendMessageW(GetParent(control), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
    return true;
  }
  WCHAR kind[32] = {};
  GetClassNameW(control, kind, 32);
  error = L"control " + std::to_wstring(id) + L" is a " + kind + L": only edit fields and date/time pickers are set";
  return false;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace scriptanswers
