#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/ShellInternal.h"

#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

// Buttons that open a popup of a plain menu have no command of their own; they get
// ids from here, out of the range programs use for their commands.
constexpr UINT kPopupIdBase = 0xFF00;

constexpr wchar_t kMenuProp[] = L"AygMenu";    // the loaded menu, destroyed with the bar
constexpr wchar_t kOwnerProp[] = L"AygOwner";  // the window the bar was made for

struct Bar {
  HWND owner;
  HWND bar;
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<Bar> g_bars;
WNDPROC g_toolbarProc = nullptr;
AygMenuChooser volatile g_chooser = nullptr;

HWND OwnerOf(HWND bar) { return static_cast<HWND>(GetPropW(bar, kOwnerProp)); }

void Forget(HWND bar) {
  ayg::Locked lock(g_lock);
  for (auto it = g_bars.begin(); it != g_bars.end(); ++it) {
    if (it->bar == bar) {
      g_bars.erase(it);
      return;
    }
  }
}

void OpenPopup(HWND bar, UINT id, HMENU popup) {
  HWND owner = OwnerOf(bar);
  RECT button = {};
  SendMessageW(bar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
  POINT at = {button.left, button.top};
  UINT command;
  if (AygMenuChooser chooser = g_chooser) {
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    command = chooser(popup, at, owner);
  } else {
    command = static_cast<UINT>(TrackPopupMenuEx(
        popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, at.x, at.y, owner, nullptr));
  }
  if (command) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// The toolbar reports to itself (TB_SETPARENT): a button that carries a popup opens
// it; every other command and notification goes on to the owner.
LRESULT CALLBACK MenuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == bar) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_LPARAM;
        UINT id = LOWORD(wParam);
        if (SendMessageW(bar, TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info)) >= 0 &&
            info.lParam && IsMenu(reinterpret_cast<HMENU>(info.lParam))) {
          OpenPopup(bar, id, reinterpret_cast<HMENU>(info.lParam));
          return 0;
        }
        return SendMessageW(OwnerOf(bar), WM_COMMAND, wParam, lParam);
      }
      break;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->hwndFrom == bar)
        return SendMessageW(OwnerOf(bar), WM_NOTIFY, wParam, lParam);
      break;
    case WM_NCDESTROY: {
      Forget(bar);
      RemovePropW(bar, kOwnerProp);
      if (HMENU menu = static_cast<HMENU>(RemovePropW(bar, kMenuProp))) DestroyMenu(menu);
      break;
    }
  }
  return CallWindowProcW(g_toolbarProc, bar, message, wParam, lParam);
}

BOOL CALLBACK RegisterClassOnce(INIT_ONCE*, void*, void**) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(nullptr, TOOLBARCLASSNAMEW, &wc)) return FALSE;
  g_toolbarProc = wc.lpfnWndProc;
  wc.lpfnWndProc = MenuBarProc;
  wc.hInstance = ayg::Module();
  wc.lpszClassName = MENUBAR_CLASSNAME;
  return RegisterClassExW(&wc) != 0;
}

bool RegisterMenuBarClass() {
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  return InitOnceExecuteOnce(&once, RegisterClassOnce, nullptr, nullptr) != FALSE;
}

struct Button {
  TBBUTTON button;
  std::wstring text;
};

// A plain menu: each top-level item is a button; a popup item's button carries the popup.
bool ButtonsFromMenu(HMENU menu, std::vector<Button>& buttons) {
  int count = GetMenuItemCount(menu);
  if (count < 0) return false;
  for (int i = 0; i < count; ++i) {
    WCHAR text[256] = {};
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
    item.dwTypeData = text;
    item.cch = 256;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) return false;
    if (item.fType & MFT_SEPARATOR) continue;
    Button b = {};
    b.text = text;
    b.button.iBitmap = I_IMAGENONE;
    b.button.idCommand = item.hSubMenu ? static_cast<int>(kPopupIdBase + i) : static_cast<int>(item.wID);
    b.button.fsState = (item.fState & MFS_GRAYED) ? 0 : TBSTATE_ENABLED;
    b.button.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    b.button.dwData = reinterpret_cast<DWORD_PTR>(item.hSubMenu);
    buttons.push_back(b);
  }
  return true;
}

// A menu bar resource (RCDATA): the menu holding the popups and the button count,
// then per button seven words: image, command, state, style, text id, unused,
// popup index (NOMENU for none).
bool ButtonsFromResource(HINSTANCE instance, UINT id, HMENU& menu, std::vector<Button>& buttons) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  if (!found) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* words = static_cast<const WORD*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD bytes = SizeofResource(instance, found);
  if (!words || bytes < 4) return false;
  const WORD count = words[1];
  if (bytes < 4u + count * 14u) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  menu = LoadMenuW(instance, MAKEINTRESOURCEW(words[0]));
  for (WORD i = 0; i < count; ++i) {
    const WORD* w = words + 2 + i * 7;
    Button b = {};
    if (w[4]) {
      const WCHAR* text = nullptr;
      int n = LoadStringW(instance, w[4], reinterpret_cast<LPWSTR>(&text), 0);
      if (n > 0) b.text.assign(text, static_cast<size_t>(n));
    }
    b.button.iBitmap = static_cast<short>(w[0]);
    b.button.idCommand = w[1];
    b.button.fsState = static_cast<BYTE>(w[2]);
    // Popups open when their button is released, like every other command.
    b.button.fsStyle = static_cast<BYTE>(w[3] & ~(BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN)) | BTNS_SHOWTEXT;
    HMENU popup = (w[6] != NOMENU && menu) ? GetSubMenu(menu, w[6]) : nullptr;
    b.button.dwData = reinterpret_cast<DWORD_PTR>(popup);
    buttons.push_back(b);
  }
  return true;
}

bool SizeAccepted(DWORD size) {
  return size == sizeof(SHMENUBARINFO) || size == offsetof(SHMENUBARINFO, clrBk);
}

}  // namespace

AYG_API BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info) {
  if (!info || !SizeAccepted(info->cbSize) || !IsWindow(info->hwndParent)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->hwndMB = nullptr;
  if (!RegisterMenuBarClass()) return FALSE;

  HMENU menu = nullptr;
  std::vector<Button> buttons;
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    bool ok;
    if (info->dwFlags & SHCMBF_HMENU) {
      menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
      ok = menu && ButtonsFromMenu(menu, buttons);
    } else {
      ok = ButtonsFromResource(info->hInstRes, info->nToolBarId, menu, buttons);
    }
    if (!ok) {
      DWORD error = GetLastError();
      if (menu) DestroyMenu(menu);
      SetLastError(error ? error : ERROR_RESOURCE_NAME_NOT_FOUND);
      return FALSE;
    }
  }

  HWND parent = info->hwndParent;
  const RECT place = ayg::MenuBarRect();
  HWND bar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MENUBAR_CLASSNAME, L"",
                             WS_POPUP | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                 CCS_NODIVIDER,
                             place.left, place.top, place.right - place.left, place.bottom - place.top,
                             parent, nullptr, ayg::Module(), nullptr);
  if (!bar) {
    DWORD error = GetLastError();
    if (menu) DestroyMenu(menu);
    SetLastError(error);
    return FALSE;
  }
  SetPropW(bar, kOwnerProp, parent);
  if (menu) SetPropW(bar, kMenuProp, menu);
  SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(bar, TB_SETPARENT, reinterpret_cast<WPARAM>(bar), 0);
  if (info->nBmpId && info->cBmpImages > 0) {
    TBADDBITMAP images = {info->hInstRes, static_cast<UINT_PTR>(info->nBmpId)};
    SendMessageW(bar, TB_ADDBITMAP, static_cast<WPARAM>(info->cBmpImages), reinterpret_cast<LPARAM>(&images));
  }
  for (Button& b : buttons) {
    b.button.iString = b.text.empty() ? -1 : reinterpret_cast<INT_PTR>(b.text.c_str());
    SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b.button));
  }

  HWND previous = SHFindMenuBar(parent);
  {
    ayg::Locked lock(g_lock);
    g_bars.push_back({parent, bar});
  }
  if (previous) DestroyWindow(previous);

  // A full-screen dialog that reaches down over the bar's place ends above it.
  RECT area;
  if (GetPropW(parent, ayg::kFullScreenProp) && GetWindowRect(parent, &area) && area.bottom > place.top &&
      place.top > area.top) {
    SetWindowPos(parent, nullptr, 0, 0, area.right - area.left, place.top - area.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!(info->dwFlags & SHCMBF_HIDDEN)) ShowWindow(bar, SW_SHOWNOACTIVATE);
  info->hwndMB = bar;
  return TRUE;
}

AYG_API HWND WINAPI SHFindMenuBar(HWND owner) {
  ayg::Locked lock(g_lock);
  for (auto it = g_bars.rbegin(); it != g_bars.rend(); ++it) {
    if (it->owner == owner && IsWindow(it->bar)) return it->bar;
  }
  return nullptr;
}

AYG_API void WINAPI AygTestSetMenuChooser(AygMenuChooser chooser) { g_chooser = chooser; }
