// CPanelDataRouter: the one IPanelDataLists of the plug-in library. The panel knows
// no tab; this router knows every list the tabs show and hands each notification to
// the list it concerns: folder 9 to the appointments, 10 to the contacts, 13 to the
// tasks, a record naming a list to that list, file changes to the note files and the
// e-mail change message to the e-mail list; it also starts and stops the e-mail list
// with the panel.
#pragma once
#include "panel/ListTabServices.h"
#include "panel/PanelDataLists.h"

class CAppointmentsList;
class CContactsList;
class CTasksList;
class CNoteFiles;
class CEmailsList;
class CMailFoldersFilters;

class CPanelDataRouter : public IPanelDataLists, public IListTabServices {
 public:
  // The lists notifications go to; a null one is the process's own, looked up when a
  // notification first needs it (never while the library loads).
  struct Lists {
    CAppointmentsList* appointments = nullptr;
    CContactsList* contacts = nullptr;
    CTasksList* tasks = nullptr;
    CNoteFiles* notes = nullptr;
    CEmailsList* email = nullptr;
    CMailFoldersFilters* mailFilters = nullptr;
  };

  CPanelDataRouter() = default;
  explicit CPanelDataRouter(const Lists& lists) : m_lists(lists) {}
  virtual ~CPanelDataRouter() = default;

  // Installs the process's router (once) as the panel's data lists and as the list
  // tabs' services; the ones installed before are replaced.
  static void Install();

  BOOL OnDbNotification(int folderKind, CENOTIFICATION* notification, BOOL keep) override;
  BOOL OnListNotification(CENOTIFICATION* notification, BOOL keep) override;
  void OnTimeZoneChanged() override;
  void OnIconProviderChanged() override;
  BOOL IsNoteFile(LPCWSTR path) override;
  void OnFileChange(const CFileChangeRecord& record) override;
  void OnEmailListChanged(WPARAM wParam, CPanelRecord& record) override;
  // The e-mail list hears the message stores through the panel's window while it lives;
  // the mail folder filters take the accounts that appeared since (forced: at start and
  // on every reload).
  void OnPanelCreated(HWND panel) override;
  void OnSettingsReloaded() override;
  void OnPanelDestroyed() override;

  // IListTabServices: the tasks list's parsed entries, the e-mail list's accounts and
  // their commands, the finance program.
  DWORD GetTaskEntryOption(int index) override;
  int GetAccountCount() override;
  void GetAccountName(CString& out, int index) override;
  void OpenAccount(LPCWSTR account) override;
  void NewMessage(LPCWSTR account) override;
  void SendReceive(LPCWSTR account) override;
  void RunPellam() override;
  // The Calendar tab shows its appointments' notes itself.
  void ShowAppointmentNote(HWND, const RECT&, CListItem*) override {}

 private:
  CAppointmentsList& Appointments();
  CContactsList& Contacts();
  CTasksList& Tasks();
  CNoteFiles& Notes();
  CEmailsList& Email();
  CMailFoldersFilters& MailFilters();
  void MergeMailAccounts();

  Lists m_lists;
};
