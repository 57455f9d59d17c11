#include "platform/pimstore/PimApp.h"

#include "platform/pimstore/PimFolder.h"
#include "platform/pimstore/PimItem.h"

namespace {

// The logon windows of every process: a named shared table of window handles
// (32-bit values, as window handles are), guarded by a named mutex.
const int kSlots = 64;
struct LogonTable {
  DWORD windows[kSlots];
};
static_assert(sizeof(LogonTable) == kSlots * 4, "fixed layout shared between processes");

class CLogonTable {
 public:
  // The table lives while a process holds it: each process keeps its handle to the end,
  // so a window stays listed as long as its process runs.
  static HANDLE Section() {
    static HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LogonTable),
                                              L"PimStoreLogonWindows");
    return section;
  }
  CLogonTable() {
    m_mutex = CreateMutexW(nullptr, FALSE, L"PimStoreLogonWindowsLock");
    m_mapping = Section();
    if (m_mapping) m_table = static_cast<LogonTable*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(LogonTable)));
    if (m_mutex && m_table) WaitForSingleObject(m_mutex, INFINITE);
  }
  ~CLogonTable() {
    if (m_mutex && m_table) ReleaseMutex(m_mutex);
    if (m_table) UnmapViewOfFile(m_table);
    if (m_mutex) CloseHandle(m_mutex);
  }
  CLogonTable(const CLogonTable&) = delete;
  CLogonTable& operator=(const CLogonTable&) = delete;
  LogonTable* Get() { return m_mutex ? m_table : nullptr; }

 private:
  HANDLE m_mutex = nullptr;
  HANDLE m_mapping = nullptr;
  LogonTable* m_table = nullptr;
};

}  // namespace

void CLogonWindows::Add(HWND window) {
  CLogonTable table;
  LogonTable* t = table.Get();
  if (!t || !window) return;
  DWORD value = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window));
  for (DWORD& slot : t->windows)
    if (slot == value) return;
  for (DWORD& slot : t->windows)
    if (!slot || !IsWindow(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(slot)))) {
      slot = value;
      return;
    }
}

void CLogonWindows::Remove(HWND window) {
  CLogonTable table;
  LogonTable* t = table.Get();
  if (!t) return;
  DWORD value = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window));
  for (DWORD& slot : t->windows)
    if (slot == value) slot = 0;
}

void CLogonWindows::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD windows[kSlots] = {};
  {
    CLogonTable table;
    LogonTable* t = table.Get();
    if (!t) return;
    memcpy(windows, t->windows, sizeof windows);
  }
  for (DWORD w : windows) {
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(w));
    if (w && IsWindow(window)) PostMessageW(window, message, wParam, lParam);
  }
}

CPimApp::CPimApp() { m_store.EnsureNamedPropertyTables(); }
CPimApp::~CPimApp() { Logoff(); }

void CPimApp::NotifyItem(UINT message, DWORD oid, int folder) { CLogonWindows::Post(message, oid, folder); }

STDMETHODIMP CPimApp::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // The second application interface is answered by the same object: none of its own
  // members is called.
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IPOutlookApp && iid != IID_IPOutlookApp2)
    return E_NOINTERFACE;
  *out = static_cast<IPOutlookApp*>(this);
  AddRef();
  return S_OK;
}
PIM_DISPATCH_IMPLEMENTATION(CPimApp)

STDMETHODIMP CPimApp::Logon(long hWnd) {
  HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hWnd));
  if (window && !IsWindow(window)) return E_INVALIDARG;
  if (m_window) CLogonWindows::Remove(m_window);
  m_window = window;
  if (window) CLogonWindows::Add(window);
  m_loggedOn = true;
  return S_OK;
}

STDMETHODIMP CPimApp::Logoff() {
  if (m_window) CLogonWindows::Remove(m_window);
  m_window = nullptr;
  m_loggedOn = false;
  return S_OK;
}

STDMETHODIMP CPimApp::get_Version(BSTR* version) {
  if (!version) return E_POINTER;
  *version = SysAllocString(m_store.IsNewer() ? L"5.1" : L"4.21");
  return *version ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CPimApp::GetDefaultFolder(int folder, IFolder** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  PimKind kind = PimKind::Appointment;
  if (folder != olFolderInfrared && !CPimStore::KindOfFolder(folder, &kind)) return E_INVALIDARG;
  *result = new CPimFolder(this, folder);
  return S_OK;
}

STDMETHODIMP CPimApp::CreateItem(int itemType, IDispatch** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  if (itemType < olAppointmentItem || itemType > olTaskItem) return E_INVALIDARG;
  *item = (new CPimItem(this, static_cast<PimKind>(itemType)))->Dispatch();
  return S_OK;
}

STDMETHODIMP CPimApp::GetItemFromOid(long oid, IDispatch** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  PimKind kind;
  CEOID record;
  PimRecord stored;
  if (!oid || !m_store.Locate(static_cast<DWORD>(oid), &kind, &record)) return E_INVALIDARG;
  if (!m_store.Read(kind, record, &stored)) return HRESULT_FROM_WIN32(ERROR_INTERNAL_DB_CORRUPTION);
  CPimItem* found = CPimItem::FromRecord(this, kind, stored);
  if (!found) return HRESULT_FROM_WIN32(ERROR_INTERNAL_DB_CORRUPTION);
  *item = found->Dispatch();
  return S_OK;
}
