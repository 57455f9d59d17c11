// Pocket Informant's tools library, loaded for one call at a time: it shows Pocket
// Informant's own cards for appointments and tasks. Without Pocket Informant (or with
// a library that lacks an entry point) every call reports 0 and nothing stays loaded.
#pragma once
#include <windows.h>

// The tools library where Pocket Informant says it is ("PIToolsLoc"), else the known
// names in turn; null when none loads.
HMODULE FindPIToolsLibrary();

class CPocketInformantTools {
 public:
  // The entry points; their arguments belong to Pocket Informant and are passed through.
  typedef int (*ShowApptFn)(HWND window, DWORD a, DWORD b, DWORD c, DWORD d, double date);
  typedef int (*ShowTaskFn)(HWND window, DWORD a, DWORD b, DWORD c);
  typedef int (*CreateFn)(HWND window, DWORD a, DWORD b, DWORD c);

  static CPocketInformantTools& Instance();

  CPocketInformantTools();
  ~CPocketInformantTools();
  CPocketInformantTools(const CPocketInformantTools&) = delete;
  CPocketInformantTools& operator=(const CPocketInformantTools&) = delete;

  // Loads the library and its four entry points; FALSE (nothing loaded) unless all
  // four are there.
  BOOL Bind();
  void Unbind();
  BOOL IsBound() const { return m_library != nullptr; }
  // Binds and unbinds again: whether the library is usable.
  BOOL IsAvailable();
  // Bind, call, unbind: the entry point's result, 0 when unusable.
  int ShowAppointment(HWND window, DWORD a, DWORD b, DWORD c, DWORD d, double date);
  int ShowTask(HWND window, DWORD a, DWORD b, DWORD c);

 private:
  HMODULE m_library;
  ShowApptFn m_showAppt;
  ShowTaskFn m_showTask;
  CreateFn m_createAppt;
  CreateFn m_createTask;
};

// The binding of the process.
inline BOOL BindPITools() { return CPocketInformantTools::Instance().Bind(); }
