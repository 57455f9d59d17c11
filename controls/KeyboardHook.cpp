#include "controls/KeyboardHook.h"

#include "platform/coredll/ce.h"

namespace {

CKeyboardHook* g_installed = nullptr;

template <class F>
F BindCore(LPCWSTR name) {
  HMODULE core = GetModuleHandleW(L"coredll.dll");
  return core ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddressW(core, name))) : nullptr;
}

}  // namespace

CKeyboardHook::CKeyboardHook()
    : m_pSetWindowsHookEx(BindCore<decltype(&SetWindowsHookExW)>(L"SetWindowsHookExW")),
      m_pCallNextHookEx(BindCore<decltype(&CallNextHookEx)>(L"CallNextHookEx")),
      m_pUnhookWindowsHookEx(BindCore<decltype(&UnhookWindowsHookEx)>(L"UnhookWindowsHookEx")),
      m_hHook(nullptr),
      m_hTarget(nullptr) {}

CKeyboardHook::~CKeyboardHook() { Uninstall(); }

CKeyboardHook& CKeyboardHook::Instance() {
  static CKeyboardHook hook;
  return hook;
}

BOOL CKeyboardHook::Install(HWND target) {
  Uninstall();
  m_hTarget = target;
  if (!m_pSetWindowsHookEx || !m_pCallNextHookEx || !m_pUnhookWindowsHookEx) return FALSE;
  if (g_installed && g_installed != this) g_installed->Uninstall();
  g_installed = this;
  m_hHook = m_pSetWindowsHookEx(CE_WH_KEYBOARD_LL, HookProc, nullptr, 0);
  if (!m_hHook) g_installed = nullptr;
  return m_hHook != nullptr;
}

void CKeyboardHook::Uninstall() {
  if (m_hHook && m_pUnhookWindowsHookEx) m_pUnhookWindowsHookEx(m_hHook);
  m_hHook = nullptr;
  if (g_installed == this) g_installed = nullptr;
}

BOOL CKeyboardHook::IsDesktopInFront() { return GetForegroundWindow() == GetDesktopWindow(); }

LRESULT CALLBACK CKeyboardHook::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (g_installed) return g_installed->OnHook(code, wParam, lParam);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CKeyboardHook::OnHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_KEYDOWN && lParam) {
    const DWORD key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode;
    if (key >= VK_LEFT && key <= VK_DOWN && IsDesktopInFront())
      PostMessageW(m_hTarget, WM_HOOKED_ARROW_KEY, key, 0);
  }
  return m_pCallNextHookEx ? m_pCallNextHookEx(m_hHook, code, wParam, lParam) : 0;
}
