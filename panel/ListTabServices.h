// IListTabServices: what the list tabs' common commands need of lists and programs that
// live in the tab folders (the tasks list's entries, the e-mail list's accounts, the
// Pellam program, the appointments list's note viewer). The folder that owns
// them installs it; until then those commands do nothing.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CListItem;

class IListTabServices {
 public:
  // The word the tasks list keeps for its parsed task at that index; 0 when out of range.
  virtual DWORD GetTaskEntryOption(int index) = 0;
  // The e-mail list's accounts.
  virtual int GetAccountCount() = 0;
  virtual void GetAccountName(CString& out, int index) = 0;
  virtual void OpenAccount(LPCWSTR account) = 0;
  virtual void NewMessage(LPCWSTR account) = 0;
  virtual void SendReceive(LPCWSTR account) = 0;
  virtual void RunPellam() = 0;
  // An appointment row's note beside rect (host window coordinates).
  virtual void ShowAppointmentNote(HWND host, const RECT& rect, CListItem* row) = 0;

 protected:
  ~IListTabServices() = default;
};

// Returns the previous one; null: none.
IListTabServices* SetListTabServices(IListTabServices* services);
IListTabServices* GetListTabServices();
