#include "panel/AppletManager.h"

#include <algorithm>

#include "base/CeDatabase.h"
#include "panel/Plugin.h"
#include "panel/TodayPanelBase.h"

namespace {

const wchar_t kWindowClass[] = L"Qel_Tarvo_AppletWnd";
IAppletKind* g_kind = nullptr;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&g_kind), &module);
  return module;
}

}  // namespace

IAppletKind* SetAppletKind(IAppletKind* kind) {
  IAppletKind* previous = g_kind;
  g_kind = kind;
  return previous;
}

IAppletKind* GetAppletKind() { return g_kind; }

CAppletManager& CAppletManager::Instance() {
  static CAppletManager manager;
  return manager;
}

CAppletManager::~CAppletManager() {
  // Applets the host never deleted are left alone: at the process's end what they
  // would release may be gone already.
  DestroyWindowIfAny();
}

BOOL CAppletManager::IsPanelAlive() {
  CTodayPanelBase* panel = GetTodayPanel();
  return panel && IsPanelCreated() && IsWindow(panel->GetHwnd());
}

IApplet* CAppletManager::Append(IApplet* applet) {
  if (applet) m_applets.push_back(applet);
  return applet;
}

IApplet* CAppletManager::Create(const BYTE* data, DWORD size) {
  if (!g_kind) return nullptr;
  return Append(g_kind->CreateFromData(data, size));
}

void CAppletManager::EnsureWindow(HWND host) {
  if (m_window) return;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = ThisModule();
  wc.lpszClassName = kWindowClass;
  RegisterClassW(&wc);  // fails harmlessly when a previous window left it registered
  m_window = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, host, nullptr, wc.hInstance, this);
  if (m_window && g_kind) g_kind->SetContactsNotifyWindow(m_window);
}

IApplet* CAppletManager::ShowCreateDialog(HWND host) {
  if (!g_kind) return nullptr;
  // The chooser lists the contacts: without a panel they need a window to load with.
  const BOOL made = !IsPanelAlive() && !m_window;
  if (made) EnsureWindow(host);
  IApplet* applet = Append(g_kind->CreateWithDialog(host));
  if (made && !applet) {
    DestroyWindowIfAny();
    if (m_applets.empty()) g_kind->CloseContacts();
  }
  return applet;
}

BOOL CAppletManager::Init(IApplet* applet, HWND host) {
  if (!IsLive(applet)) return FALSE;
  m_host = host;
  if (!IsPanelAlive()) {
    EnsureWindow(host);
  } else if (g_kind) {
    // The panel's window takes the contacts' notices; a panel whose tabs have not read
    // the contacts yet has not given it to the list, and the applet could find nothing.
    g_kind->SetContactsNotifyWindow(GetTodayPanel()->GetHwnd());
  }
  return applet->Init(host);
}

void CAppletManager::OnPanelDestroying() {
  // The applets keep following their contacts after the panel's window has gone.
  if (m_applets.empty() || !m_host || !IsWindow(m_host)) return;
  if (!m_window)
    EnsureWindow(m_host);
  else if (g_kind)
    g_kind->SetContactsNotifyWindow(m_window);
}

BOOL CAppletManager::Delete(IApplet* applet) {
  if (!applet) return FALSE;
  auto found = std::find(m_applets.begin(), m_applets.end(), applet);
  if (found != m_applets.end()) m_applets.erase(found);
  delete applet;
  if (m_applets.empty() && m_host) {
    DestroyWindowIfAny();
    if (!IsPanelAlive() && g_kind) g_kind->CloseContacts();
    m_host = nullptr;
  }
  return TRUE;
}

HICON CAppletManager::GetIcon() { return g_kind ? g_kind->GetIcon() : nullptr; }

int CAppletManager::GetDescription(IApplet* applet, LPWSTR buffer, int length) {
  if (!IsLive(applet)) return 0;
  LPCWSTR text = applet->GetDescription();
  if (!text) text = L"";
  const int needed = lstrlenW(text);
  // Room for the zero too: a text exactly as long as the buffer would be left
  // unterminated and the host would read past it.
  if (buffer && needed < length) {
    wcsncpy(buffer, text, static_cast<size_t>(length));
  }
  return needed;
}

DWORD CAppletManager::GetData(IApplet* applet, BYTE* buffer, DWORD* size) {
  if (!IsLive(applet) || !size) return 0;
  applet->GetData(buffer, size);
  return *size;
}

HWND CAppletManager::IsAppletWindowAlive() const { return m_window; }

BOOL CAppletManager::HasUnboundApplet() {
  for (IApplet* applet : m_applets)
    if (!applet->HasContact()) return TRUE;
  return FALSE;
}

BOOL CAppletManager::BindFirstUnboundApplet(LPCWSTR text) {
  for (IApplet* applet : m_applets) {
    if (!applet->HasContact()) {
      applet->BindContact(text, 1);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CAppletManager::IsLive(const IApplet* applet) const {
  return applet && std::find(m_applets.begin(), m_applets.end(), applet) != m_applets.end();
}

void CAppletManager::DestroyWindowIfAny() {
  if (m_window && IsWindow(m_window)) DestroyWindow(m_window);
  m_window = nullptr;
}

LRESULT CALLBACK CAppletManager::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DBNOTIFICATION) {
    // As the panel takes them: the database layer of this process posts a block of
    // its heap (wParam 0); a record from anywhere else is never read.
    if (wParam != 0 || InSendMessage()) return 0;
    const void* block = reinterpret_cast<const void*>(lParam);
    if (!HeapValidate(GetProcessHeap(), 0, block) || HeapSize(GetProcessHeap(), 0, block) < sizeof(CENOTIFICATION))
      return 0;
    auto* record = reinterpret_cast<CENOTIFICATION*>(lParam);
    if (record->dwSize != sizeof(CENOTIFICATION)) return 0;
    if (CCeDatabase* database = CCeDatabase::FromNotification(record)) {
      database->OnNotification(record, FALSE);
    } else {
      CeFreeNotification(nullptr, record);
    }
    return 0;
  }
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_DESTROY) {
    // Gone with its owner, the host window: the manager must not destroy it again.
    auto* manager = reinterpret_cast<CAppletManager*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (manager && manager->m_window == window) manager->m_window = nullptr;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
