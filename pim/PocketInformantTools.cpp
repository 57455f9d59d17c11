#include "pim/PocketInformantTools.h"

#include <initializer_list>

#include "base/RegKey.h"

namespace {

template <class T>
T Entry(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

HMODULE FindPIToolsLibrary() {
  CString path;
  {
    CRegKey key(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant", FALSE);
    if (key.IsOpen()) path = key.QueryString(L"PIToolsLoc");
  }
  if (path.GetLength() > MAX_PATH) path = path.Left(MAX_PATH);
  if (path.IsEmpty()) path = L"PITools.dll";
  HMODULE module = LoadLibraryW(path);
  for (LPCWSTR name : {L"\\Windows\\PITools.dll", L"PINewEditUI.dll", L"\\Windows\\PINewEditUI.dll"}) {
    if (module) break;
    module = LoadLibraryW(name);
  }
  return module;
}

CPocketInformantTools& CPocketInformantTools::Instance() {
  static CPocketInformantTools tools;
  return tools;
}

CPocketInformantTools::CPocketInformantTools()
    : m_library(nullptr), m_showAppt(nullptr), m_showTask(nullptr), m_createAppt(nullptr), m_createTask(nullptr) {}

CPocketInformantTools::~CPocketInformantTools() { Unbind(); }

BOOL CPocketInformantTools::Bind() {
  Unbind();
  m_library = FindPIToolsLibrary();
  if (!m_library) return FALSE;
  m_showAppt = Entry<ShowApptFn>(m_library, "D_Appt");
  m_showTask = Entry<ShowTaskFn>(m_library, "D_Task");
  m_createAppt = Entry<CreateFn>(m_library, "C_Appt");
  m_createTask = Entry<CreateFn>(m_library, "C_Task");
  if (m_showAppt && m_showTask && m_createAppt && m_createTask) return TRUE;
  Unbind();
  return FALSE;
}

void CPocketInformantTools::Unbind() {
  if (m_library) FreeLibrary(m_library);
  m_library = nullptr;
  m_showAppt = nullptr;
  m_showTask = nullptr;
  m_createAppt = nullptr;
  m_createTask = nullptr;
}

BOOL CPocketInformantTools::IsAvailable() {
  BOOL bound = Bind();
  Unbind();
  return bound;
}

int CPocketInformantTools::ShowAppointment(HWND window, DWORD a, DWORD b, DWORD c, DWORD d, double date) {
  if (!Bind()) return 0;
  int result = m_showAppt(window, a, b, c, d, date);
  Unbind();
  return result;
}

int CPocketInformantTools::ShowTask(HWND window, DWORD a, DWORD b, DWORD c) {
  if (!Bind()) return 0;
  int result = m_showTask(window, a, b, c);
  Unbind();
  return result;
}
