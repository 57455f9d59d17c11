#include "tabs/join/CalendarSources.h"

#include <new>

#include "tabs/messages/AccountIterator.h"
#include "tabs/messages/EmailAccountHeaderItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailFoldersFilters.h"
#include "tabs/tasks/TaskRowRenderer.h"

CListItem* CCalendarSources::MakeTaskRow(TASK_ITEM* task, IListItemOwner* owner, BOOL hideDate,
                                         BOOL noStateColouring) {
  if (!task) return nullptr;
  CTaskRowRenderer* row = new (std::nothrow) CTaskRowRenderer(task, owner);
  if (!row) return nullptr;
  row->SetHideDate(hideDate);
  row->SetNoStateColouring(noStateColouring);
  return row;
}

void CCalendarSources::MakeEmailRows(IListItemOwner* owner, std::vector<CListItem*>& rows, int* messages,
                                     int* unread) {
  *messages = *unread = 0;
  CEmailsList& list = m_email ? *m_email : CEmailsList::GetGlobal();
  CMailFoldersFilters& filters = m_filters ? *m_filters : GetMailFoldersFilters();
  // The options program may have changed the filters since the last build.
  filters.Load(TRUE);
  filters.UpdateKnownAccounts(list.GetSession(), FALSE);
  const int inbox = filters.Find(CMailFoldersFilters::GetProtectedFilterName());
  if (inbox < 0) return;

  CAccountIterator accounts(list);
  accounts.SetFilter(filters.GetAt(inbox));
  CString name, runName;
  int index = -1, runIndex = -1, runMessages = 0, runUnread = 0;
  auto endRun = [&] {
    if (runIndex < 0 || runUnread <= 0) return;
    auto* row = new (std::nothrow) CEmailAccountHeaderItem(owner, runName, list.GetAccountName(runIndex), runIndex, &list);
    if (!row) return;
    row->SetCounts(runMessages, runUnread);
    rows.push_back(row);
  };
  for (BOOL more = accounts.GetFirst(name, index); more; more = accounts.GetNext(name, index)) {
    const int count = list.GetItemCount(index), unreadCount = list.GetUnreadCount(index);
    *messages += count;
    *unread += unreadCount;
    if (runIndex >= 0 && name == runName) {
      runMessages += count;
      runUnread += unreadCount;
      continue;
    }
    endRun();
    runName = name;
    runIndex = index;
    runMessages = count;
    runUnread = unreadCount;
  }
  endRun();
}
