// CTasksDataLists: the tasks list's share of the panel's notifications. It takes the
// database changes of the tasks folder (13) and passes everything else on to the data
// lists installed before it.
#pragma once
#include "panel/PanelDataLists.h"

class CTasksList;

class CTasksDataLists : public IPanelDataLists {
 public:
  // list: default the process's; next: the lists installed before (may be null).
  CTasksDataLists(CTasksList* list, IPanelDataLists* next) : m_list(list), m_next(next) {}
  virtual ~CTasksDataLists() = default;

  // Installs one for the process's tasks list in front of the lists already there.
  static void Install();

  BOOL OnDbNotification(int folderKind, CENOTIFICATION* notification, BOOL keep) override;
  void OnTimeZoneChanged() override;
  void OnIconProviderChanged() override;
  BOOL IsNoteFile(LPCWSTR path) override;
  void OnFileChange(const CFileChangeRecord& record) override;
  void OnEmailListChanged(WPARAM wParam, CPanelRecord& record) override;

 private:
  CTasksList* m_list;
  IPanelDataLists* m_next;
};
