#include "tabs/join/PanelDataRouter.h"

#include "base/ViewSettings.h"
#include "panel/PanelRecord.h"
#include "pim/OndrelClient.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CalendarDayList.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/PellamScheduled.h"
#include "tabs/join/CalendarSources.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailFoldersFilters.h"
#include "tabs/notes/NoteFiles.h"
#include "tabs/tasks/TasksList.h"

namespace {
enum { kAppointmentsFolder = 9, kContactsFolder = 10, kTasksFolder = 13 };

BOOL FindNoteFolder(CString& path, LPCWSTR folderName) {
  return CNoteFiles::Instance().GetFolderOfPath(path, folderName);
}
}  // namespace

void CPanelDataRouter::Install() {
  static CPanelDataRouter* installed = nullptr;
  if (installed) return;
  installed = new CPanelDataRouter();
  SetPanelDataLists(installed);
  SetListTabServices(installed);
  // A new note for a folder the note files know elsewhere goes into that folder.
  COndrelClient::SetNoteFolderLookup(FindNoteFolder);
  // The Calendar's day list shows the tasks and the unread mail of the other tabs.
  static CCalendarSources calendarSources;
  CCalendarDayList::SetDefaultSources(&calendarSources);
}

CAppointmentsList& CPanelDataRouter::Appointments() {
  return m_lists.appointments ? *m_lists.appointments : CAppointmentsList::GetGlobal();
}
CContactsList& CPanelDataRouter::Contacts() {
  return m_lists.contacts ? *m_lists.contacts : CContactsList::GetGlobal();
}
CTasksList& CPanelDataRouter::Tasks() { return m_lists.tasks ? *m_lists.tasks : CTasksList::GetGlobal(); }
CNoteFiles& CPanelDataRouter::Notes() { return m_lists.notes ? *m_lists.notes : CNoteFiles::Instance(); }
CEmailsList& CPanelDataRouter::Email() { return m_lists.email ? *m_lists.email : CEmailsList::GetGlobal(); }
CMailFoldersFilters& CPanelDataRouter::MailFilters() {
  return m_lists.mailFilters ? *m_lists.mailFilters : GetMailFoldersFilters();
}

BOOL CPanelDataRouter::OnDbNotification(int folderKind, CENOTIFICATION* notification, BOOL keep) {
  if (!notification) return FALSE;
  switch (folderKind) {
    case kAppointmentsFolder:
      Appointments().OnDatabaseNotify(notification, keep);
      return TRUE;
    case kContactsFolder:
      Contacts().OnDBNotification(notification, keep);
      return TRUE;
    case kTasksFolder:
      Tasks().OnDBNotification(notification, keep);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CPanelDataRouter::OnListNotification(CENOTIFICATION* notification, BOOL keep) {
  if (!notification) return FALSE;
  // The record carries the address of the list that asked; only compared, never
  // followed, so a record naming anything else is left to the caller.
  const DWORD_PTR named = notification->dwParam;
  if (named == reinterpret_cast<DWORD_PTR>(&Appointments())) {
    Appointments().OnDatabaseNotify(notification, keep);
    return TRUE;
  }
  if (named == reinterpret_cast<DWORD_PTR>(&Contacts())) {
    Contacts().OnDBNotification(notification, keep);
    return TRUE;
  }
  if (named == reinterpret_cast<DWORD_PTR>(&Tasks())) {
    Tasks().OnDBNotification(notification, keep);
    return TRUE;
  }
  return FALSE;
}

void CPanelDataRouter::OnTimeZoneChanged() {
  // Every local time moved: the appointments load their range again, the messages
  // are read again.
  Appointments().SetRange(CAppointmentsList::kUnset, CAppointmentsList::kUnset);
  Email().ClearStores(0);
}

void CPanelDataRouter::OnIconProviderChanged() {
  // What was loaded carries the old store's pictures and identifiers.
  Tasks().Reset();
  Contacts().Close();
  Appointments().Clear();
}

BOOL CPanelDataRouter::IsNoteFile(LPCWSTR path) { return Notes().IsVisibleNoteFile(path); }

void CPanelDataRouter::OnFileChange(const CFileChangeRecord& record) {
  Notes().OnFileChange(record.path, record.event);
}

void CPanelDataRouter::OnEmailListChanged(WPARAM wParam, CPanelRecord& record) { Email().OnNotify(wParam, record); }

void CPanelDataRouter::MergeMailAccounts() {
  // The options program may have edited the filters; accounts new since are given
  // their default folders (a missing key loads no filter and still merges).
  CMailFoldersFilters& filters = MailFilters();
  filters.Load(TRUE);
  filters.UpdateKnownAccounts(Email().GetSession(), TRUE);
}

void CPanelDataRouter::OnPanelCreated(HWND panel) {
  Email().Init(panel);
  Email().SetOnlyUnread(GetViewSettings().EmailsOnlyUnreaded != 0);
  MergeMailAccounts();
}

void CPanelDataRouter::OnSettingsReloaded() {
  MergeMailAccounts();
  Email().SetOnlyUnread(GetViewSettings().EmailsOnlyUnreaded != 0);
}

void CPanelDataRouter::OnPanelDestroyed() { Email().Done(); }

DWORD CPanelDataRouter::GetTaskEntryOption(int index) { return Tasks().GetItemField(index); }

int CPanelDataRouter::GetAccountCount() { return Email().GetAccountCount(); }

void CPanelDataRouter::GetAccountName(CString& out, int index) { out = Email().GetAccountName(index); }

void CPanelDataRouter::OpenAccount(LPCWSTR account) { Email().OpenAccount(account); }

void CPanelDataRouter::NewMessage(LPCWSTR account) { Email().NewMessage(account); }

void CPanelDataRouter::SendReceive(LPCWSTR account) { Email().SendReceive(account); }

void CPanelDataRouter::RunPellam() { CPellamScheduled::RunPellam(); }
