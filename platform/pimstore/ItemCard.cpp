#include "platform/pimstore/ItemCard.h"

#include <commctrl.h>

#include <mutex>
#include <vector>

namespace {

const UINT kEditCommand = 105;
const UINT_PTR kCloseTimer = 1;

std::mutex g_lock;
std::vector<PimCardRequest> g_requests;
DWORD g_autoClose = 0xFFFFFFFF;

LRESULT CALLBACK CardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditCommand) {
        SetWindowTextW(window, L"Edit");
        return 0;
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return 0;
    case WM_TIMER:
      if (wParam == kCloseTimer) DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool RegisterCardClass(HINSTANCE module) {
  WNDCLASSW wc{};
  if (GetClassInfoW(module, L"Dialog", &wc)) return true;
  wc.lpfnWndProc = CardProc;
  wc.hInstance = module;
  wc.lpszClassName = L"Dialog";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  return RegisterClassW(&wc) != 0;
}

}  // namespace

void CItemCard::SetAutoClose(DWORD ms) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_autoClose = ms;
}

DWORD CItemCard::TakeRequests(PimCardRequest* requests, DWORD max) {
  std::lock_guard<std::mutex> hold(g_lock);
  DWORD n = 0;
  if (requests)
    for (; n < max && n < g_requests.size(); ++n) requests[n] = g_requests[n];
  g_requests.erase(g_requests.begin(), g_requests.begin() + n);
  return n;
}

bool CItemCard::Show(DWORD oid, DWORD folder, bool edit) {
  DWORD autoClose;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    g_requests.push_back({oid, folder, edit ? 1u : 0u});
    autoClose = g_autoClose;
  }
  HINSTANCE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&CardProc), &module);
  if (!RegisterCardClass(module)) return false;
  InitCommonControls();
  HWND card = CreateWindowExW(0, L"Dialog", edit ? L"Edit" : L"Item", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr, module, nullptr);
  if (!card) return false;
  HWND page = CreateWindowExW(0, L"Dialog", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 300, card, nullptr, module, nullptr);
  if (page) CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 240, 300, page, nullptr,
                            module, nullptr);
  if (autoClose != 0xFFFFFFFF) SetTimer(card, kCloseTimer, autoClose, nullptr);
  MSG msg;
  while (IsWindow(card)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}
