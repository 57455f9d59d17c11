// One view's selection and order of the tasks list: filters, then sort keys added
// from the least to the most significant, each a stable pass. Compare gives the same
// order for two records (the category and subject keys aside), for placing single rows.
#pragma once
#include <windows.h>

#include <vector>

#include "tabs/tasks/TaskCategoryFilter.h"
#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TaskSource.h"

class CTaskQuery {
 public:
  enum Key { kKeySubject, kKeyImportance, kKeyComplete, kKeyPrivate, kKeyCategory, kKeyDue, kKeyStart, kKeyCount };

  // Over the source given (default the process's tasks list).
  explicit CTaskQuery(ITaskSource* list = nullptr);
  CTaskQuery(const CTaskQuery&) = delete;
  CTaskQuery& operator=(const CTaskQuery&) = delete;

  // The filter is the caller's and must outlive the query.
  void SetFilter(const ITaskCategoryFilter* filter, BOOL includeCompleted);
  void SetDateFilter(double from, double to);
  void SetDueFilter(double from, double to);
  void SetMode(int mode);
  void SetTodayReference();
  void SetExcludeSpanning(BOOL exclude) { m_excludeSpanning = exclude; }
  void SetUndatedOnly(BOOL undated) { m_undatedOnly = undated; }

  void AddSortKeyComplete() { AddKey(kKeyComplete); }
  void AddSortKeyPrivate() { AddKey(kKeyPrivate); }
  void AddSortKeyImportance() { AddKey(kKeyImportance); }
  void AddSortKeyCategory() { AddKey(kKeyCategory); }
  void AddSortKeyDueDateAsc() {
    m_dueDescending = FALSE;
    AddKey(kKeyDue);
  }
  void AddSortKeyDueDateDesc() {
    m_dueDescending = TRUE;
    AddKey(kKeyDue);
  }
  void AddSortKeyStartDate() { AddKey(kKeyStart); }
  void AddSortKeySubject() { AddKey(kKeySubject); }

  // Runs the query once, rewinds and gives the first row; the row's category (the
  // category key's, else the task's first, -1 for none) when asked.
  BOOL GetFirst(TASK_ITEM** task, int* category = nullptr);
  BOOL GetNext(TASK_ITEM** task, int* category = nullptr);
  int Compare(const TASK_ITEM* a, const TASK_ITEM* b) const;
  BOOL Matches(const TASK_ITEM* task) const;

  // The view settings the order reads, set from the process's settings when made.
  void SetUndatedLast(BOOL last) { m_undatedLast = last; }
  void SetShowInAllCategories(BOOL all) { m_showInAllCategories = all; }
  // The category display order (default the categories list's); indexes in order.
  void SetCategoryOrder(const std::vector<int>& order) { m_categoryOrder = order; m_orderSet = TRUE; }
  // Today as a whole day (default the clock's).
  void SetToday(double today) { m_todayOverride = today; }

 private:
  // An index into the list's tasks (the query holds no records) and the row's category.
  struct Row {
    int index;
    int category;
  };
  void AddKey(Key key);
  void Run();
  void ApplyKey(Key key, std::vector<Row>& rows) const;
  void ApplyCategoryKey(std::vector<Row>& rows) const;
  void ApplyDateKey(std::vector<Row>& rows, BOOL due) const;
  double Today() const;

  ITaskSource* m_list;
  BOOL m_run;
  std::vector<Row> m_rows;
  BOOL m_categoryRows;
  size_t m_cursor;
  const ITaskCategoryFilter* m_filter;
  BOOL m_includeCompleted;
  BOOL m_undatedOnly;
  BOOL m_excludeSpanning;
  BOOL m_completedOnly;
  int m_priority[kKeyCount];
  int m_keyCount;
  BOOL m_dueDescending;
  double m_dueFrom, m_dueTo;
  double m_todayReference;
  double m_spanFrom, m_spanTo;
  BOOL m_undatedLast;
  BOOL m_showInAllCategories;
  std::vector<int> m_categoryOrder;
  BOOL m_orderSet;
  double m_todayOverride;
};
