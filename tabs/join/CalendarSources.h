// CCalendarSources: what the Calendar's day list shows from the other tabs' lists: task
// rows as the Tasks tab draws them, and the rows of the e-mail accounts of the inbox
// filter that hold unread messages.
#pragma once
#include "tabs/calendar/CalendarDaySources.h"

class CEmailsList;
class CMailFoldersFilters;

class CCalendarSources : public ICalendarDaySources {
 public:
  // Null: the process's e-mail list and mail folder filters.
  explicit CCalendarSources(CEmailsList* email = nullptr, CMailFoldersFilters* filters = nullptr)
      : m_email(email), m_filters(filters) {}

  CListItem* MakeTaskRow(TASK_ITEM* task, IListItemOwner* owner, BOOL hideDate, BOOL noStateColouring) override;
  // The inbox filter's accounts by folder name; accounts of one name count as one row.
  void MakeEmailRows(IListItemOwner* owner, std::vector<CListItem*>& rows, int* messages, int* unread) override;

 private:
  CEmailsList* m_email;
  CMailFoldersFilters* m_filters;
};
