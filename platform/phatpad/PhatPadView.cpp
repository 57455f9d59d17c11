// PhatPadViewCtl.dll: the view of one drawing. Drawing is out of reach here: the view
// keeps the opened file's path and shows it as its text.
#include <new>
#include <string>

#include "platform/phatpad/phatpad.h"

namespace {

HINSTANCE g_module = nullptr;

struct ViewState {
  std::wstring path;
  bool shown = false;
};

ViewState* StateOf(HWND window) { return reinterpret_cast<ViewState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT OpenFile(ViewState& state, LPCWSTR path) {
  if (!path) return -1;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PHATPAD_OPEN_REFUSED;
  state.path = path;
  state.shown = false;
  return 0;
}

LRESULT ShowFile(HWND window, ViewState& state) {
  if (state.path.empty()) return 1;
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(state.path.c_str(), GetFileExInfoStandard, &data)) return 1;
  if (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0) return 1;
  state.shown = true;
  SetWindowTextW(window, state.path.c_str());
  return 0;
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new (std::nothrow) ViewState()));
      if (!StateOf(window)) return FALSE;
      break;
    case WM_NCDESTROY:
      delete StateOf(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case PHATPAD_MSG_OPEN:
      if (ViewState* state = StateOf(window)) return OpenFile(*state, reinterpret_cast<LPCWSTR>(lParam));
      return -1;
    case PHATPAD_MSG_SHOW:
      if (ViewState* state = StateOf(window)) return ShowFile(window, *state);
      return 1;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterViewClass(LPCWSTR name) {
  WNDCLASSW info = {};
  if (GetClassInfoW(g_module, name, &info)) return true;
  info.lpfnWndProc = ViewProc;
  info.hInstance = g_module;
  info.lpszClassName = name;
  info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  return RegisterClassW(&info) != 0;
}

}  // namespace

PHATPAD_API HWND WINAPI PhatPad_CreateView(PHATPAD_VIEW_RECORD* record) {
  if (!record || record->cbSize != sizeof(PHATPAD_VIEW_RECORD) || !IsWindow(record->parent)) return nullptr;
  if (!RegisterViewClass(PHATPAD_FILE_VIEW_CLASS) || !RegisterViewClass(PHATPAD_PAGE_BROWSER_CLASS)) return nullptr;
  const RECT& r = record->rect;
  // The device-only extended bits mean nothing here.
  return CreateWindowExW(record->exStyle & 0x0FFFFFFF, PHATPAD_FILE_VIEW_CLASS, L"", record->style | WS_CHILD,
                         r.left, r.top, r.right - r.left, r.bottom - r.top, record->parent, nullptr, g_module,
                         nullptr);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}
