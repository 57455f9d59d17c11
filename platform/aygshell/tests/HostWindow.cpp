#include "platform/aygshell/tests/HostWindow.h"

#include "platform/aygshell/aygshell.h"
#include "platform/aygshell/tests/MenuBarFixture.h"

namespace aygtest {

namespace {
const wchar_t kClass[] = L"AygTestHost";

void RegisterOnce() {
  static bool done = false;
  if (done) return;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  done = true;
}
}  // namespace

HostWindow::HostWindow(RECT at, DWORD style, HWND parent) {
  RegisterOnce();
  hwnd_ = CreateWindowExW(0, kClass, L"host", style & ~WS_VISIBLE, at.left, at.top, at.right - at.left,
                          at.bottom - at.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
  if (style & WS_VISIBLE) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

HostWindow::~HostWindow() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

std::vector<Received> HostWindow::Of(UINT message) const {
  std::vector<Received> out;
  for (const Received& r : received_)
    if (r.message == message) out.push_back(r);
  return out;
}

LRESULT CALLBACK HostWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) {
    self->received_.push_back({message, wParam, lParam});
    if (message == WM_NOTIFY) {
      const auto* note = reinterpret_cast<const NMHDR*>(lParam);
      self->notes.push_back(*note);
      if (note->code == GN_CONTEXTMENU)
        self->notePoints.push_back(reinterpret_cast<const NMRGINFO*>(lParam)->ptAction);
      return self->notifyAnswer;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakePlainMenuBar(HWND parent) {
  SHMENUBARINFO info = {};
  info.cbSize = sizeof(info);
  info.hwndParent = parent;
  info.dwFlags = SHCMBF_HMENU;
  info.nToolBarId = IDM_PLAIN;
  info.hInstRes = GetModuleHandleW(nullptr);
  return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
}

bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (done()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= 2000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2000 - elapsed, QS_ALLINPUT);
  }
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace aygtest
