#include "platform/pimstore/ItemCard.h"

#include <commctrl.h>

#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "platform/cemapi/DeviceLog.h"

namespace {

const UINT kEditCommand = 105;
const UINT kThisOccurrence = 8, kSeries = 9;
const UINT_PTR kCloseTimer = 1;

std::mutex g_lock;
std::vector<PimCardRequest> g_requests;
DWORD g_autoClose = 0xFFFFFFFF;
bool g_autoCloseSet = false;

// A program that shows cards for another one (a test driving it from outside) gets
// its automatic close from the environment it was started with, PIMCARD_AUTOCLOSE in
// milliseconds, unless it set one itself.
DWORD AutoCloseOfProcess() {
  if (g_autoCloseSet) return g_autoClose;
  wchar_t text[16] = {};
  DWORD n = GetEnvironmentVariableW(L"PIMCARD_AUTOCLOSE", text, 16);
  if (n == 0 || n >= 16) return g_autoClose;
  wchar_t* end = nullptr;
  unsigned long ms = wcstoul(text, &end, 10);
  return end && !*end && end != text ? static_cast<DWORD>(ms) : g_autoClose;
}

// Every request also goes, as one line, to the device's "\Windows\pimcard.log", so
// that what another process showed can be checked.
void LogRequest(const PimCardRequest& request) {
  wchar_t line[96];
  swprintf(line, 96, L"%ls oid=%lu folder=%lu occurrence=%lu", request.edit ? L"Edit" : L"Display", request.oid,
           request.folder, request.occurrence);
  CDeviceLog::Append(L"pimcard.log", line);
}

// The command that closed the last card or question of this thread.
thread_local UINT t_answer = 0;

LRESULT CALLBACK CardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      UINT command = LOWORD(wParam);
      if (command == kEditCommand) {
        SetWindowTextW(window, L"Edit");
      } else if (command == kThisOccurrence || command == kSeries || command == IDOK || command == IDCANCEL) {
        // The page inside the card passes nothing on: only top-level windows close.
        if (GetParent(window)) return 0;
        t_answer = command;
        DestroyWindow(window);
      }
      return 0;
    }
    case WM_TIMER:
      // Closing by itself: a question takes the occurrence.
      if (wParam == kCloseTimer) SendMessageW(window, WM_COMMAND, GetDlgItem(window, kThisOccurrence) ? kThisOccurrence : IDOK, 0);
      return 0;
    case WM_CLOSE:
      SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

HINSTANCE Module() {
  HINSTANCE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&CardProc), &module);
  return module;
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

// Runs the window modally; its answer, or IDCANCEL when the loop ended otherwise.
UINT RunModal(HWND window, DWORD autoClose) {
  if (autoClose != 0xFFFFFFFF) SetTimer(window, kCloseTimer, autoClose, nullptr);
  t_answer = 0;
  MSG msg;
  while (IsWindow(window)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // A quit message belongs to the caller's loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      DestroyWindow(window);
      return IDCANCEL;
    }
    if (got < 0) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return t_answer ? t_answer : IDCANCEL;
}

UINT AskOccurrence(HINSTANCE module, DWORD autoClose) {
  HWND ask = CreateWindowExW(0, L"Dialog", L"Open", WS_POPUP | WS_VISIBLE, 0, 0, 240, 160, nullptr, nullptr, module,
                             nullptr);
  if (!ask) return IDCANCEL;
  CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 8, 8, 32, 32, ask, nullptr, module, nullptr);
  CreateWindowExW(0, L"STATIC", L"This is one occurrence of a series. Open:", WS_CHILD | WS_VISIBLE, 48, 8, 184, 40,
                  ask, nullptr, module, nullptr);
  CreateWindowExW(0, L"BUTTON", L"This occurrence", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 64, 224, 24, ask,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kThisOccurrence)), module, nullptr);
  CreateWindowExW(0, L"BUTTON", L"The series", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 96, 224, 24, ask,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kSeries)), module, nullptr);
  return RunModal(ask, autoClose);
}

}  // namespace

void CItemCard::SetAutoClose(DWORD ms) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_autoClose = ms;
  g_autoCloseSet = true;
}

DWORD CItemCard::TakeRequests(PimCardRequest* requests, DWORD max) {
  std::lock_guard<std::mutex> hold(g_lock);
  DWORD n = 0;
  if (requests)
    for (; n < max && n < g_requests.size(); ++n) requests[n] = g_requests[n];
  g_requests.erase(g_requests.begin(), g_requests.begin() + n);
  return n;
}

bool CItemCard::Show(DWORD oid, DWORD folder, bool edit, bool askOccurrence, bool* series) {
  DWORD autoClose;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    autoClose = AutoCloseOfProcess();
  }
  if (series) *series = false;
  HINSTANCE module = Module();
  PimCardRequest request{oid, folder, edit ? 1u : 0u, 0};
  bool shown = RegisterCardClass(module);
  if (shown && askOccurrence) {
    UINT answer = AskOccurrence(module, autoClose);
    request.occurrence = answer == kThisOccurrence || answer == kSeries ? answer : IDCANCEL;
    if (series) *series = answer == kSeries;
  }
  {
    std::lock_guard<std::mutex> hold(g_lock);
    g_requests.push_back(request);
  }
  LogRequest(request);
  if (!shown) return false;
  // Closing the question opens nothing.
  if (request.occurrence == IDCANCEL) return true;
  InitCommonControls();
  HWND card = CreateWindowExW(0, L"Dialog", edit ? L"Edit" : L"Item", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr, module, nullptr);
  if (!card) return false;
  HWND page = CreateWindowExW(0, L"Dialog", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 300, card, nullptr, module, nullptr);
  if (page)
    CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 240, 300, page, nullptr, module,
                    nullptr);
  RunModal(card, autoClose);
  return true;
}
