// TodayTestItem.dll: the smallest custom Today item, for tests and demos. It shows its
// name and height over the screen's watermark and keeps a list of the Today messages
// it was sent.
//   "Flags" of its item key: low 16 bits the height in pixels (0: 40), bit 16 set
//   makes ordinal 240 fail (return no window), bit 17 leaves the class registered
//   when the library is freed.
//   Registered messages: "TodayTestItem_SetHeight" (wParam: the new height, given to
//   the screen at its next refresh query), "TodayTestItem_Reload" (asks the desktop
//   to reload the Today items, as installers do), "TodayTestItem_Dialog" (dialog 501:
//   a text field, a time and a date picker, OK and Cancel).
//   A tap and hold opens a menu (with a greyed entry and a submenu); what the menu and
//   the dialog were answered with is kept for TestItemAnswers.
#include <windows.h>

#include "platform/aygshell/aygshell.h"
#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/today/TestItem.h"
#include "platform/today/todaycmn.h"

namespace {

constexpr wchar_t kClassName[] = L"TodayTestItem";
constexpr DWORD kDefaultHeight = 40;
constexpr DWORD kFailFlag = TODAY_TEST_ITEM_FAIL;

HINSTANCE g_instance;
bool g_keepClass = false;
// What the menu and the dialog were answered with, as TestItemAnswers reports it.
std::wstring g_answers;

void ShowHoldMenu(HWND hwnd, int x, int y) {
  HMENU menu = CreatePopupMenu();
  HMENU more = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 101, L"&Open");
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 102, L"Greyed");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(more, MF_STRING, 201, L"Deep");
  AppendMenuW(more, MF_STRING, 202, L"Dee&per\tCtrl+D");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"More");
  AppendMenuW(menu, MF_STRING, 103, L"Last");
  POINT at = {x, y};
  ClientToScreen(hwnd, &at);
  const int chosen = static_cast<int>(TrackPopupMenuEx(menu, TPM_RETURNCMD, at.x, at.y, hwnd, nullptr));
  DestroyMenu(menu);
  g_answers += L"menu " + std::to_wstring(chosen) + L";";
}

std::wstring PickerText(HWND dialog, int id, bool date) {
  SYSTEMTIME t = {};
  if (SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) != GDT_VALID) return L"none";
  WCHAR text[32];
  if (date)
    _snwprintf(text, 32, L"%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
  else
    _snwprintf(text, 32, L"%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  text[31] = 0;
  return text;
}

INT_PTR CALLBACK FieldsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static int changes = 0;
  switch (message) {
    case WM_INITDIALOG: {
      changes = 0;
      SYSTEMTIME start = {2026, 3, 1, 16, 9, 30, 0, 0};
      SendDlgItemMessageW(dialog, 11, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));
      SendDlgItemMessageW(dialog, 12, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));
      return TRUE;
    }
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == DTN_DATETIMECHANGE) ++changes;
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        WCHAR text[64] = {};
        GetDlgItemTextW(dialog, 10, text, 64);
        g_answers += L"ok text=" + std::wstring(text) + L" time=" + PickerText(dialog, 11, false) +
                     L" date=" + PickerText(dialog, 12, true) + L" changes=" + std::to_wstring(changes) + L";";
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        g_answers += L"cancel;";
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

struct Received {
  UINT message;
  WPARAM wParam;
};

struct State {
  TODAYLISTITEM* item = nullptr;
  DWORD height = 0;
  bool selected = false;
  std::vector<Received> received;
};

State* StateOf(HWND hwnd) { return reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

COLORREF TodayColor(HWND hwnd, DWORD code) {
  return static_cast<COLORREF>(SendMessageW(GetParent(hwnd), TODAYM_GETCOLOR, code, 0));
}

void Paint(HWND hwnd, State& state) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  COLORREF text = TodayColor(hwnd, TODAYCOLOR_TEXT);
  if (state.selected) {
    HBRUSH brush = CreateSolidBrush(TodayColor(hwnd, TODAYCOLOR_HIGHLIGHT));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    text = TodayColor(hwnd, TODAYCOLOR_HIGHLIGHTEDTEXT);
  } else {
    TODAYDRAWWATERMARKINFO info = {dc, client, hwnd};
    SendMessageW(GetParent(hwnd), TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info));
  }
  RECT bar = {0, 2, 4, client.bottom - 2};
  HBRUSH marker = CreateSolidBrush(RGB(0x30, 0x60, 0xC0));
  FillRect(dc, &bar, marker);
  DeleteObject(marker);
  WCHAR line[64];
  _snwprintf(line, 63, L"%ls: %lu px", state.item ? state.item->szName : L"", state.height);
  line[63] = 0;
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  TextOutW(dc, 10, 4, line, static_cast<int>(wcslen(line)));
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ItemProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT setHeight = RegisterWindowMessageW(L"TodayTestItem_SetHeight");
  static const UINT reload = RegisterWindowMessageW(L"TodayTestItem_Reload");
  static const UINT ask = RegisterWindowMessageW(L"TodayTestItem_MessageBox");
  static const UINT fields = RegisterWindowMessageW(L"TodayTestItem_Dialog");
  State* state = StateOf(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  if ((message >= WM_TODAYCUSTOM_CLEARCACHE && message <= WM_TODAYCUSTOM_ACTION) || message == setHeight ||
      message == reload)
    state->received.push_back({message, wParam});

  if (message == setHeight) {
    state->height = static_cast<DWORD>(wParam);
    return 0;
  }
  if (message == ask) {
    // wParam: the box's buttons and default (none: OK and Cancel).
    const UINT type = wParam ? static_cast<UINT>(wParam) & (MB_TYPEMASK | MB_DEFMASK) : MB_OKCANCEL;
    int answer = MessageBoxW(hwnd, L"Go on?", L"Test item", type);
    SetPropW(hwnd, L"TodayTestItem.Answer", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(answer)));
    return 0;
  }
  if (message == fields) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamW(g_instance, MAKEINTRESOURCEW(501), hwnd, FieldsDialogProc, 0);
    return 0;
  }
  if (message == reload) {
    SendMessageW(GetDesktopWindow(), WM_SETTINGCHANGE, 0xF2, 0);
    return 0;
  }
  switch (message) {
    case WM_TODAYCUSTOM_CLEARCACHE:
      return 0;
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
      auto* item = reinterpret_cast<TODAYLISTITEM*>(wParam);
      if (!item || item->cyp == state->height) return FALSE;
      item->cyp = state->height;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case WM_TODAYCUSTOM_RECEIVEDSELECTION:
    case WM_TODAYCUSTOM_LOSTSELECTION:
      state->selected = message == WM_TODAYCUSTOM_RECEIVEDSELECTION;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_TODAYCUSTOM_USERNAVIGATION:
      return 0;  // the screen moves the selection on
    case WM_TODAYCUSTOM_ACTION:
      return 1;
    case WM_LBUTTONDOWN: {
      // A tap and hold, as the shell tells it, opens the item's menu.
      SHRGINFO gesture = {sizeof(gesture), hwnd, {LOWORD(lParam), HIWORD(lParam)}, SHRG_RETURNCMD};
      if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) ShowHoldMenu(hwnd, LOWORD(lParam), HIWORD(lParam));
      return 0;
    }
    case WM_LBUTTONUP:
      SendMessageW(GetParent(hwnd), TODAYM_TOOKSELECTION, reinterpret_cast<WPARAM>(hwnd), 0);
      state->selected = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *state);
      return 0;
    case WM_NCDESTROY:
      RemovePropW(hwnd, L"TodayTestItem.Answer");
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete state;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    if (!g_keepClass) UnregisterClassW(kClassName, instance);
  }
  return TRUE;
}

extern "C" HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent) {
  if (!item || !item->fEnabled || (item->grfFlags & kFailFlag)) return nullptr;
  if (item->grfFlags & TODAY_TEST_ITEM_KEEP_CLASS) g_keepClass = true;
  WNDCLASSW probe;
  if (!GetClassInfoW(g_instance, kClassName, &probe)) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ItemProc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc)) return nullptr;
  }
  RECT parentRect;
  GetClientRect(parent, &parentRect);
  // Zero high until the screen asks for the height.
  HWND hwnd = CreateWindowExW(0, kClassName, item->szName, WS_CHILD | WS_VISIBLE, 0, 0, parentRect.right, 0,
                              parent, nullptr, g_instance, nullptr);
  if (!hwnd) return nullptr;
  DWORD height = item->grfFlags & 0xFFFF;
  State* state = new State();
  state->item = item;
  state->height = height ? height : kDefaultHeight;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  return hwnd;
}

extern "C" BOOL CALLBACK CustomItemOptionsDlgProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  // Nothing to set: the dialog ends as soon as it opens, so nothing waits for a person.
  if (message == WM_INITDIALOG) {
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  return FALSE;
}

extern "C" int WINAPI TestItemMessages(HWND item, UINT* messages, WPARAM* wParams, int max) {
  State* state = IsWindow(item) ? StateOf(item) : nullptr;
  if (!state) return -1;
  int n = 0;
  for (const Received& r : state->received) {
    if (n >= max) break;
    if (messages) messages[n] = r.message;
    if (wParams) wParams[n] = r.wParam;
    ++n;
  }
  return static_cast<int>(state->received.size());
}

// What the item's menu and dialog were answered with, in order ("menu N;", "ok text=..
// time=HH:MM:SS date=YYYY-MM-DD changes=N;", "cancel;"); copies up to max characters
// with the end, returns the whole length.
extern "C" int WINAPI TestItemAnswers(wchar_t* out, int max) {
  if (out && max > 0) lstrcpynW(out, g_answers.c_str(), max);
  return static_cast<int>(g_answers.size());
}
