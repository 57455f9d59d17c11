#include "tabs/tasks/TasksDataLists.h"

#include "tabs/tasks/TasksList.h"

namespace {
const int kTasksFolder = 13;
}  // namespace

void CTasksDataLists::Install() {
  static CTasksDataLists* installed = nullptr;
  if (installed) return;
  installed = new CTasksDataLists(nullptr, GetPanelDataLists());
  SetPanelDataLists(installed);
}

BOOL CTasksDataLists::OnDbNotification(int folderKind, CENOTIFICATION* notification, BOOL keep) {
  if (folderKind == kTasksFolder) {
    (m_list ? *m_list : CTasksList::GetGlobal()).OnDBNotification(notification, keep);
    return TRUE;
  }
  return m_next ? m_next->OnDbNotification(folderKind, notification, keep) : FALSE;
}

void CTasksDataLists::OnTimeZoneChanged() {
  if (m_next) m_next->OnTimeZoneChanged();
}

void CTasksDataLists::OnIconProviderChanged() {
  if (m_next) m_next->OnIconProviderChanged();
}

BOOL CTasksDataLists::IsNoteFile(LPCWSTR path) { return m_next ? m_next->IsNoteFile(path) : FALSE; }

void CTasksDataLists::OnFileChange(const CFileChangeRecord& record) {
  if (m_next) m_next->OnFileChange(record);
}

void CTasksDataLists::OnEmailListChanged(WPARAM wParam, CPanelRecord& record) {
  if (m_next) m_next->OnEmailListChanged(wParam, record);
}
