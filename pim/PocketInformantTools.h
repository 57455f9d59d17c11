// Pocket Informant's tools library, loaded for one call at a time: it shows Pocket
// Informant's own cards for appointments, tasks, contacts and notes. Without Pocket
// Informant (or with a library that lacks a required entry point) every call reports
// 0 and nothing stays loaded. Also the two readers of Pocket Informant's subject
// markers that the item-operations program uses.
#pragma once
#include <windows.h>

#include "pim/PISubject.h"
#include "platform/windowlib/String.h"

// The tools library where Pocket Informant says it is ("PIToolsLoc"), else the known
// names in turn; null when none loads.
HMODULE FindPIToolsLibrary();

// What the tools library's entry points take. The library is a 64-bit build here, so
// the calling convention is the platform's one; object identifiers are 32-bit.
typedef int (*PFN_PI_DISPLAY_APPT)(DWORD oid, double date, DWORD reserved1, DWORD openOnly, DWORD reserved2);
typedef int (*PFN_PI_DISPLAY_ITEM)(DWORD oid, DWORD reserved1, DWORD openOnly, DWORD reserved2);
typedef int (*PFN_PI_CONTACT_WINDOW)(DWORD oid, DWORD reserved1, DWORD reserved2);
typedef int (*PFN_PI_DISPLAY_NOTE)(LPCWSTR text, HWND window);
typedef int (*PFN_PI_CREATE_NOTE)(HWND window);
typedef int (*PFN_PI_BOUND_ONLY)();

// The library's status as the item-operations program reports it.
enum { PI_TOOLS_NONE = 0, PI_TOOLS_PRESENT = 1, PI_TOOLS_WITH_NOTES = 2 };

class CPocketInformantTools {
 public:
  static CPocketInformantTools& Instance();

  CPocketInformantTools();
  ~CPocketInformantTools();
  CPocketInformantTools(const CPocketInformantTools&) = delete;
  CPocketInformantTools& operator=(const CPocketInformantTools&) = delete;

  // Loads the library and looks up its eleven entry points; usable (TRUE) only with
  // D_Appt, D_Task, C_Appt, C_Task and DisplayContactWindowExtern, else nothing stays
  // loaded. A library loaded before is freed first.
  BOOL Bind();
  void Unbind();
  BOOL IsBound() const { return m_library != nullptr; }
  // Binds and unbinds again: whether the library is usable.
  BOOL IsAvailable();
  // PI_TOOLS_NONE, PI_TOOLS_PRESENT or PI_TOOLS_WITH_NOTES (D_Note there too).
  int GetStatus();
  // Whether the usable library has D_Contact (Pocket Informant's newer views).
  BOOL HasContactEntry();

  // Bind, call, unbind: the entry point's result, 0 when unusable.
  int DisplayAppt(DWORD oid, double date, DWORD reserved1, DWORD reserved2, BOOL openOnly);
  int DisplayTask(DWORD oid, DWORD reserved1, DWORD reserved2, BOOL openOnly);
  // D_Contact, else the older DisplayContactWindowExtern (whose result says nothing: 1).
  int DisplayContact(DWORD oid, DWORD reserved1, DWORD reserved2, BOOL openOnly);
  // D_Note with a non-empty text, else CreateAlarmNoteExtern (0).
  int DisplayNote(LPCWSTR text, HWND window);

  // The repeat marker of a completed task: the first "|" of the text followed by
  // digits and ":"; TRUE and the days (at most kMaxPISubjectId), else FALSE.
  static BOOL ParseRepeatDays(LPCWSTR text, DWORD* days);
  // The template prefix of a duplicated task: flags of PISubjectFlags, the subject
  // without the prefix, and the codes (ParsePISubjectCodes).
  static DWORD ParseItemTemplate(LPCWSTR text, CString& subject, PI_SUBJECT_CODES* codes);

 private:
  HMODULE m_library;
  PFN_PI_BOUND_ONLY m_loadAlarmNote;
  PFN_PI_BOUND_ONLY m_displayAlarmNoteWindow;
  PFN_PI_CREATE_NOTE m_createAlarmNote;
  PFN_PI_CONTACT_WINDOW m_contactWindow;
  PFN_PI_BOUND_ONLY m_deleteAlarmNoteFile;
  PFN_PI_DISPLAY_APPT m_displayAppt;
  PFN_PI_BOUND_ONLY m_createAppt;
  PFN_PI_DISPLAY_ITEM m_displayTask;
  PFN_PI_BOUND_ONLY m_createTask;
  PFN_PI_DISPLAY_NOTE m_displayNote;
  PFN_PI_DISPLAY_ITEM m_displayContact;
};

// The binding of the process.
inline BOOL BindPITools() { return CPocketInformantTools::Instance().Bind(); }
