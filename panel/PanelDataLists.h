// IPanelDataLists: the process's data lists as the panel's notifications reach them.
// The plug-in library's one router implements it over the tabs' lists (appointments,
// contacts, tasks, e-mail, note files) and installs it; the panel calls it for
// database changes, zone changes, file changes and e-mail list changes.
#pragma once
#include <windows.h>

#include "base/CeDbApi.h"

class CPanelRecord;
class CFileChangeRecord;

class IPanelDataLists {
 public:
  // The list of that folder kind (9 appointments, 10 contacts, 13 tasks) takes the
  // change; keep: the record is the caller's. FALSE when there is no such list (the
  // caller then frees a record that is not kept).
  virtual BOOL OnDbNotification(int folderKind, CENOTIFICATION* notification, BOOL keep) = 0;
  // The record names the list that opened the database (its request's parameter): that
  // list takes it. FALSE when no list here is the one named (the caller frees it then).
  virtual BOOL OnListNotification(CENOTIFICATION*, BOOL) { return FALSE; }
  // The time zone or daylight saving changed: the appointments list reloads its range,
  // the e-mail list drops every account's messages.
  virtual void OnTimeZoneChanged() = 0;
  // The PIM's picture store changed kind: the lists drop what they loaded.
  virtual void OnIconProviderChanged() = 0;
  // Whether the shell's file change concerns a note file the panel shows.
  virtual BOOL IsNoteFile(LPCWSTR path) = 0;
  virtual void OnFileChange(const CFileChangeRecord& record) = 0;
  virtual void OnEmailListChanged(WPARAM wParam, CPanelRecord& record) = 0;
  // The panel's window was made (the lists that hear other processes through it start
  // listening), its settings were reloaded (the lists take them before the tabs
  // rebuild), or it is going (after its tabs).
  virtual void OnPanelCreated(HWND) {}
  virtual void OnSettingsReloaded() {}
  virtual void OnPanelDestroyed() {}

 protected:
  ~IPanelDataLists() = default;
};

// Returns the previous one; null: none.
IPanelDataLists* SetPanelDataLists(IPanelDataLists* lists);
IPanelDataLists* GetPanelDataLists();
