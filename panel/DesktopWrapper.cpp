#include "panel/DesktopWrapper.h"

#include <algorithm>

#include "base/Platform.h"
#include "base/RegKey.h"
#include "panel/FaultGuard.h"
#include "panel/Registration.h"

namespace {

const WCHAR kWrapperProperty[] = L"QelTarvoDesktopWrapper";
// The Today screen reloads its items.
const WPARAM kReloadItems = 0xF2;

BOOL g_healthArmed = FALSE;

}  // namespace

CDesktopWrapper& CDesktopWrapper::Instance() {
  static CDesktopWrapper wrapper;
  return wrapper;
}

CDesktopWrapper::CDesktopWrapper()
    : m_target(nullptr),
      m_closeMessage(RegisterWindowMessageW(L"CDesktopWrapper_Close")),
      m_window(nullptr),
      m_previous(nullptr),
      m_special(FALSE) {}

CDesktopWrapper::~CDesktopWrapper() { Detach(); }

BOOL CDesktopWrapper::Attach(HWND window, BOOL special) {
  m_special = special;
  Detach();
  if (!window || !IsWindow(window)) return FALSE;
  // Another wrapper (another copy of the library) holds the window already.
  if (GetPropW(window, kWrapperProperty)) return FALSE;
  m_blocked.clear();
  if (!SetPropW(window, kWrapperProperty, this)) return FALSE;
  m_window = window;
  m_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDesktopWrapper::WrapperProc)));
  if (!m_previous) {
    RemovePropW(window, kWrapperProperty);
    m_window = nullptr;
    return FALSE;
  }
  return TRUE;
}

void CDesktopWrapper::Detach() {
  if (m_window && m_previous) {
    if (IsWindow(m_window)) {
      // Someone subclassed the window after us: putting our predecessor back would
      // cut them off, so our procedure stays and passes everything through.
      if (GetWindowLongPtrW(m_window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CDesktopWrapper::WrapperProc))
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
      else
        SetPropW(m_window, L"QelTarvoDesktopWrapperPrevious", reinterpret_cast<HANDLE>(m_previous));
      RemovePropW(m_window, kWrapperProperty);
    }
  }
  m_window = nullptr;
  m_previous = nullptr;
  m_special = FALSE;
}

BOOL CDesktopWrapper::AddBlockedMessage(UINT message) {
  if (!IsBlocked(message)) m_blocked.push_back(message);
  return TRUE;
}

BOOL CDesktopWrapper::RemoveBlockedMessage(UINT message) {
  auto it = std::find(m_blocked.begin(), m_blocked.end(), message);
  if (it == m_blocked.end()) return FALSE;
  m_blocked.erase(it);
  return TRUE;
}

BOOL CDesktopWrapper::IsBlocked(UINT message) const {
  return std::find(m_blocked.begin(), m_blocked.end(), message) != m_blocked.end();
}

void CDesktopWrapper::PostClose() {
  if (m_window) PostMessageW(m_window, m_closeMessage, 0, 0);
}

int CDesktopWrapper::RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

LRESULT CDesktopWrapper::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = m_previous;
  if (message == WM_SETTINGCHANGE && wParam == kReloadItems) {
    if (!(GetRegistrationState(nullptr) == kTodayItemEnabled && !m_special)) {
      // The Today screen rebuilds its items: step aside and let it have the message
      // once, without us. The message is posted again where that is allowed; where
      // the system refuses to post it (it may carry a text) it goes straight on.
      Detach();
      if (!lParam && PostMessageW(window, message, wParam, lParam)) return 0;
      return CallWindowProcW(previous, window, message, wParam, lParam);
    }
  }
  if (message == WM_GETTEXT && GetFocus() == window && IsBlocked(WM_CHAR)) {
    if (wParam > 0 && lParam) reinterpret_cast<LPWSTR>(lParam)[0] = L'\0';
    return 0;
  }
  if (message == WM_CLOSE || message == WM_DESTROY || message == m_closeMessage) Detach();
  if (message == WM_KEYDOWN && m_target && !IsPocketPC()) PostMessageW(m_target, WM_KEYDOWN, wParam, lParam);
  if (message == WM_CHAR && m_target) PostMessageW(m_target, WM_CHAR, wParam, lParam);
  if (IsBlocked(message) && m_window) return 0;
  if (message == m_closeMessage) return 0;
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CDesktopWrapper::WrapperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
    auto* wrapper = static_cast<CDesktopWrapper*>(GetPropW(window, kWrapperProperty));
    if (wrapper && wrapper->m_window == window && wrapper->m_previous)
      return wrapper->HandleMessage(window, message, wParam, lParam);
    // Detached while someone had subclassed the window after us: pass through.
    if (auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, L"QelTarvoDesktopWrapperPrevious"))) {
      if (message == WM_NCDESTROY) RemovePropW(window, L"QelTarvoDesktopWrapperPrevious");
      return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
  });
}

BOOL CheckStartupHealth() {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  product.SetDWORD(L"AHR_State", 0);
  g_healthArmed = product.GetDWORD(L"AHR_State", 1) != 0;
  return g_healthArmed;
}

BOOL IsStartupHealthArmed() { return g_healthArmed; }

void MarkStartupHealthy() {
  if (!g_healthArmed) return;
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  product.SetDWORD(L"AHR_Counter", 0);
  product.SetDWORD(L"AHR_State", 1);
  g_healthArmed = FALSE;
}
