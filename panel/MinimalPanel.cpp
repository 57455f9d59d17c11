#include "panel/MinimalPanel.h"

#include "controls/TextRunList.h"
#include "panel/FaultGuard.h"
#include "panel/NoResourcesTab.h"
#include "panel/Plugin.h"
#include "platform/today/todaycmn.h"

namespace {
const WCHAR kPanelProperty[] = L"QelTarvoPanel";
}  // namespace

CTodayPanelBase* MakeTodayPanel(int mode) { return new CMinimalPanel(mode); }

CMinimalPanel::CMinimalPanel(int mode)
    : m_mode(mode), m_resourcesMissing(::IsResourcesMissing()), m_window(nullptr), m_previous(nullptr) {}

CMinimalPanel::~CMinimalPanel() { Detach(); }

BOOL CMinimalPanel::Attach(HWND window) {
  if (!window || !IsWindow(window) || m_window) return FALSE;
  if (!SetPropW(window, kPanelProperty, this)) return FALSE;
  m_window = window;
  m_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CMinimalPanel::WindowProc)));
  AttachHost(window);
  return TRUE;
}

void CMinimalPanel::Detach() {
  if (!m_window) return;
  if (IsWindow(m_window)) {
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    RemovePropW(m_window, kPanelProperty);
  }
  if (m_tab) RemoveChild(m_tab.get());
  m_tab.reset();
  AttachHost(nullptr);
  m_window = nullptr;
}

LRESULT CMinimalPanel::OnCreate() {
  if (m_resourcesMissing)
    m_tab.reset(new CNoResourcesTab(this));
  else
    m_tab.reset(new COpenSettingsPanel(this));
  AddChild(m_tab.get());
  m_tab->Activate();
  return 0;
}

void CMinimalPanel::LayoutTab() {
  if (!m_tab || !m_window) return;
  RECT client = {};
  GetClientRect(m_window, &client);
  m_tab->SetRect(&client);
}

LRESULT CMinimalPanel::OnWindowPosChanged(WINDOWPOS*) {
  LayoutTab();
  if (m_window) ::InvalidateRect(m_window, nullptr, FALSE);
  return 0;
}

LRESULT CMinimalPanel::OnActivateTab(WPARAM, LPARAM) { return 0; }
LRESULT CMinimalPanel::OnSetCurrentPlugin(WPARAM, LPARAM) { return 0; }

void CMinimalPanel::PaintBackground(CTextRunList* context) {
  // The Today screen's background shows through, as behind every item.
  HWND parent = m_window ? ::GetParent(m_window) : nullptr;
  TODAYDRAWWATERMARKINFO info = {context ? context->GetDC() : nullptr, {}, m_window};
  if (m_window) GetClientRect(m_window, &info.rc);
  if (!info.hdc || !parent || !SendMessageW(parent, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info)))
    CVirtualRoot::PaintBackground(context);
}

LRESULT CMinimalPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = m_window;
  WNDPROC previous = m_previous;
  if (message == WM_WINDOWPOSCHANGED) LayoutTab();
  if (message == WM_NCDESTROY) {
    // The window goes: hand it back to the placeholder's procedure for its last messages.
    Detach();
    return CallWindowProcW(previous, window, message, wParam, lParam);
  }
  if (message == WM_DESTROY) {
    if (m_tab) RemoveChild(m_tab.get());
    m_tab.reset();
  }
  LRESULT result = 0;
  if (ProcessWindowMessage(window, message, wParam, lParam, result)) return result;
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CMinimalPanel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
    auto* panel = static_cast<CMinimalPanel*>(GetPropW(window, kPanelProperty));
    if (!panel) return DefWindowProcW(window, message, wParam, lParam);
    return panel->HandleMessage(message, wParam, lParam);
  });
}
