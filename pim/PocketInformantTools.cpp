#include "pim/PocketInformantTools.h"

#include <initializer_list>

#include "base/RegKey.h"
#include "platform/coredll/ce.h"

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

CPocketInformantTools::CPocketInformantTools() : m_library(nullptr) { Unbind(); }

CPocketInformantTools::~CPocketInformantTools() { Unbind(); }

BOOL CPocketInformantTools::Bind() {
  Unbind();
  m_library = FindPIToolsLibrary();
  if (!m_library) return FALSE;
  m_loadAlarmNote = Entry<PFN_PI_BOUND_ONLY>(m_library, "LoadAlarmNote");
  m_displayAlarmNoteWindow = Entry<PFN_PI_BOUND_ONLY>(m_library, "DisplayAlarmNoteWindowExtern");
  m_createAlarmNote = Entry<PFN_PI_CREATE_NOTE>(m_library, "CreateAlarmNoteExtern");
  m_contactWindow = Entry<PFN_PI_CONTACT_WINDOW>(m_library, "DisplayContactWindowExtern");
  m_deleteAlarmNoteFile = Entry<PFN_PI_BOUND_ONLY>(m_library, "DeleteAlarmNoteFile");
  m_displayAppt = Entry<PFN_PI_DISPLAY_APPT>(m_library, "D_Appt");
  m_createAppt = Entry<PFN_PI_BOUND_ONLY>(m_library, "C_Appt");
  m_displayTask = Entry<PFN_PI_DISPLAY_ITEM>(m_library, "D_Task");
  m_createTask = Entry<PFN_PI_BOUND_ONLY>(m_library, "C_Task");
  m_displayNote = Entry<PFN_PI_DISPLAY_NOTE>(m_library, "D_Note");
  m_displayContact = Entry<PFN_PI_DISPLAY_ITEM>(m_library, "D_Contact");
  if (m_displayAppt && m_displayTask && m_createAppt && m_createTask && m_contactWindow) return TRUE;
  Unbind();
  return FALSE;
}

void CPocketInformantTools::Unbind() {
  if (m_library) FreeLibrary(m_library);
  m_library = nullptr;
  m_loadAlarmNote = nullptr;
  m_displayAlarmNoteWindow = nullptr;
  m_createAlarmNote = nullptr;
  m_contactWindow = nullptr;
  m_deleteAlarmNoteFile = nullptr;
  m_displayAppt = nullptr;
  m_createAppt = nullptr;
  m_displayTask = nullptr;
  m_createTask = nullptr;
  m_displayNote = nullptr;
  m_displayContact = nullptr;
}

BOOL CPocketInformantTools::IsAvailable() {
  BOOL bound = Bind();
  Unbind();
  return bound;
}

int CPocketInformantTools::GetStatus() {
  if (!Bind()) return PI_TOOLS_NONE;
  int status = m_displayNote ? PI_TOOLS_WITH_NOTES : PI_TOOLS_PRESENT;
  Unbind();
  return status;
}

BOOL CPocketInformantTools::HasContactEntry() {
  if (!Bind()) return FALSE;
  BOOL has = m_displayContact != nullptr;
  Unbind();
  return has;
}

int CPocketInformantTools::DisplayAppt(DWORD oid, double date, DWORD reserved1, DWORD reserved2, BOOL openOnly) {
  if (!Bind()) return 0;
  int result = m_displayAppt(oid, date, reserved1, openOnly ? 1 : 0, reserved2);
  Unbind();
  return result;
}

int CPocketInformantTools::DisplayTask(DWORD oid, DWORD reserved1, DWORD reserved2, BOOL openOnly) {
  if (!Bind()) return 0;
  int result = m_displayTask(oid, reserved1, openOnly ? 1 : 0, reserved2);
  Unbind();
  return result;
}

int CPocketInformantTools::DisplayContact(DWORD oid, DWORD reserved1, DWORD reserved2, BOOL openOnly) {
  if (!Bind()) return 0;
  int result = 1;
  if (m_displayContact) {
    result = m_displayContact(oid, reserved1, openOnly ? 1 : 0, reserved2);
  } else {
    // The older entry point wants kernel mode and every permission; both are given
    // back afterwards rather than left raised for the rest of the run.
    const BOOL mode = SetKMode(TRUE);
    const DWORD permissions = SetProcPermissions(0xFFFFFFFF);
    m_contactWindow(oid, reserved1, reserved2);
    SetProcPermissions(permissions);
    SetKMode(mode);
  }
  Unbind();
  return result;
}

int CPocketInformantTools::DisplayNote(LPCWSTR text, HWND window) {
  if (!Bind()) return 0;
  int result = 0;
  if (m_displayNote && text && *text)
    result = m_displayNote(text, window);
  else if (m_createAlarmNote)
    m_createAlarmNote(window);
  Unbind();
  return result;
}

BOOL CPocketInformantTools::ParseRepeatDays(LPCWSTR text, DWORD* days) {
  if (days) *days = 0;
  LPCWSTR bar = text ? wcschr(text, L'|') : nullptr;
  if (!bar) return FALSE;
  DWORD value = 0;
  for (LPCWSTR p = bar + 1;; ++p) {
    if (*p == L':') {
      if (days) *days = value;
      return TRUE;
    }
    if (*p < L'0' || *p > L'9') return FALSE;
    value = value * 10 + static_cast<DWORD>(*p - L'0');
    if (value > kMaxPISubjectId) return FALSE;
  }
}

DWORD CPocketInformantTools::ParseItemTemplate(LPCWSTR text, CString& subject, PI_SUBJECT_CODES* codes) {
  return ParsePISubjectCodes(text, subject, codes);
}
