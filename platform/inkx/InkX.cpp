#include "platform/inkx/inkx.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/aygshell/aygshell.h"
#include "platform/richink/richink.h"

namespace {

HINSTANCE g_module = nullptr;
InkXMenuChooser g_chooser = nullptr;

constexpr UINT kInnerId = 1;
// The text shown is cut here: the view is a preview, not an editor of the data.
constexpr size_t kMaxShown = 4096;
// Runs of printable characters shorter than this in binary data are noise.
constexpr size_t kMinRun = 4;

struct InkState {
  std::vector<BYTE> data;
  HWND inner = nullptr;
};

InkState* StateOf(HWND window) { return reinterpret_cast<InkState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// Characters the view can show; halves of surrogate pairs are left out with the
// controls, since a lone half is not text.
bool Printable(wchar_t c) {
  if (c == L'\t' || c == L'\r' || c == L'\n') return true;
  return c >= 0x20 && c != 0x7F && (c < 0xD800 || c > 0xDFFF) && c < 0xFFFE;
}

// The data as text when it is text (UTF-16 with its mark, or UTF-8 / ANSI without
// control bytes); else the runs of readable characters found in it, UTF-16 or 8-bit.
std::wstring TextIn(const std::vector<BYTE>& data) {
  if (data.empty()) return L"";
  if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    std::wstring text((data.size() - 2) / 2, L'\0');
    if (!text.empty()) memcpy(&text[0], data.data() + 2, text.size() * 2);
    return text;
  }
  bool plain = true;
  for (BYTE b : data) plain = plain && (b >= 0x20 || b == '\t' || b == '\r' || b == '\n');
  if (plain && data.size() <= 0x7FFFFFFF) {
    const int n = static_cast<int>(data.size());
    const char* bytes = reinterpret_cast<const char*>(data.data());
    UINT page = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, n, nullptr, 0) > 0 ? CP_UTF8 : CP_ACP;
    int chars = MultiByteToWideChar(page, 0, bytes, n, nullptr, 0);
    std::wstring text(chars > 0 ? chars : 0, L'\0');
    if (chars > 0) MultiByteToWideChar(page, 0, bytes, n, &text[0], chars);
    return text;
  }
  std::wstring found, run;
  auto flush = [&found, &run] {
    if (run.size() >= kMinRun) {
      if (!found.empty()) found += L"\r\n";
      found += run;
    }
    run.clear();
  };
  // In binary data only Latin runs count as text: other characters in it are far more
  // often numbers than words.
  for (size_t i = 0; i + 1 < data.size() && found.size() < kMaxShown; i += 2) {
    wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c >= 0x20 && c < 0x250 && c != 0x7F && (c < 0x80 || c >= 0xA0)) run += c;
    else flush();
  }
  flush();
  for (size_t i = 0; i < data.size() && found.size() < kMaxShown; ++i) {
    BYTE b = data[i];
    if (b >= 0x20 && b < 0x7F) run += static_cast<wchar_t>(b);
    else flush();
  }
  flush();
  return found;
}

void ShowData(InkState& state) {
  if (!state.inner) return;
  std::wstring text = L"Ink data: " + std::to_wstring(state.data.size()) + L" bytes";
  std::wstring inside = TextIn(state.data);
  if (inside.size() > kMaxShown) inside.resize(kMaxShown);
  for (wchar_t& c : inside)
    if (!Printable(c)) c = L' ';
  if (!inside.empty()) text += L"\r\n\r\n" + inside;
  SetWindowTextW(state.inner, text.c_str());
}

// The control's own menu: the owner hears WM_INITMENUPOPUP through the inner window,
// then the chosen item acts on the inner window's text.
void ShowOwnMenu(InkState& state, POINT screen) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, IDM_INKX_UNDO, L"Undo");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_INKX_CUT, L"Cut");
  AppendMenuW(menu, MF_STRING, IDM_INKX_PASTE, L"Paste");
  AppendMenuW(menu, MF_STRING, IDM_INKX_CLEAR, L"Clear");
  UINT chosen;
  if (g_chooser) {
    SendMessageW(state.inner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    chosen = g_chooser(menu, screen, state.inner);
  } else {
    chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, screen.x, screen.y, 0,
                                              state.inner, nullptr));
  }
  DestroyMenu(menu);
  switch (chosen) {
    case IDM_INKX_UNDO: SendMessageW(state.inner, EM_UNDO, 0, 0); break;
    case IDM_INKX_CUT: SendMessageW(state.inner, WM_CUT, 0, 0); break;
    case IDM_INKX_PASTE: SendMessageW(state.inner, WM_PASTE, 0, 0); break;
    case IDM_INKX_CLEAR: SendMessageW(state.inner, WM_CLEAR, 0, 0); break;
    // Items the owner added to the menu come to the owner, as a menu's commands do.
    case 0: break;
    default: SendMessageW(state.inner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0); break;
  }
}

// The inner window's gesture: the parent hears of it first; unless it takes it, the
// control's own menu opens.
LRESULT OnInnerGesture(HWND window, InkState& state, const NMRGINFO& inner) {
  POINT at = inner.ptAction;
  MapWindowPoints(state.inner, window, &at, 1);
  NMRGINFO note = {};
  note.hdr.hwndFrom = window;
  note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
  note.hdr.code = GN_CONTEXTMENU;
  note.ptAction = at;
  HWND parent = GetParent(window);
  if (parent && SendMessageW(parent, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note))) return 1;
  ClientToScreen(window, &at);
  ShowOwnMenu(state, at);
  return 1;
}

LRESULT CALLBACK InkXProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  InkState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE: {
      auto* created = new (std::nothrow) InkState;
      if (!created) return FALSE;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
      break;
    }
    case WM_CREATE: {
      RECT client;
      GetClientRect(window, &client);
      state->inner = CreateWindowExW(0, WC_RICHINK, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                     0, 0, client.right, client.bottom, window,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kInnerId)), g_module, nullptr);
      if (!state->inner) return -1;
      ShowData(*state);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete state;
      break;
    case WM_SIZE:
      if (state && state->inner) MoveWindow(state->inner, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (state && state->inner) SetFocus(state->inner);
      return 0;
    case IM_SETDATA: {
      if (!state || (wParam && !lParam)) return FALSE;
      const BYTE* bytes = reinterpret_cast<const BYTE*>(lParam);
      try {
        state->data.assign(bytes, bytes + wParam);
      } catch (...) {
        return FALSE;
      }
      ShowData(*state);
      return TRUE;
    }
    case IM_GETINNERWINDOW:
      return state ? reinterpret_cast<LRESULT>(state->inner) : 0;
    case EM_SETZOOMPERCENT:
    case EM_RICHINK_1353:
    case EM_SETVIEWATTRIBUTES:
      return state && state->inner ? SendMessageW(state->inner, message, wParam, lParam) : 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (state && header && header->hwndFrom == state->inner && header->code == GN_CONTEXTMENU)
        return OnInnerGesture(window, *state, *reinterpret_cast<const NMRGINFO*>(lParam));
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

INKX_API void WINAPI InitInkX() {
  InitRichInkDLL();
  WNDCLASSW existing;
  if (GetClassInfoW(g_module, WC_INKX, &existing)) return;
  WNDCLASSW wc = {};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = InkXProc;
  wc.hInstance = g_module;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = WC_INKX;
  RegisterClassW(&wc);
}

INKX_API DWORD WINAPI InkXTestGetData(HWND inkx, BYTE* buffer, DWORD size) {
  WCHAR name[16] = {};
  if (!IsWindow(inkx) || !GetClassNameW(inkx, name, 16) || wcscmp(name, WC_INKX)) return 0;
  InkState* state = StateOf(inkx);
  if (!state) return 0;
  const DWORD length = static_cast<DWORD>(state->data.size());
  if (buffer && size) memcpy(buffer, state->data.data(), size < length ? size : length);
  return length;
}

INKX_API void WINAPI InkXTestSetMenuChooser(InkXMenuChooser chooser) { g_chooser = chooser; }
