// The Tasks tab's ways of grouping ("TasksGroupBy"): each adds its sort key to the
// tab's query, so that the query's rows arrive in group order, and places a task
// under the group header of its kind. 501 keeps the rows flat, without headers.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "panel/GroupStrategy.h"
#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TaskQuery.h"

enum TaskGroupBy {
  kGroupByNone = 501,
  kGroupByCategory = 551,
  kGroupByImportance = 552,
  kGroupByDue = 553,
  kGroupByStart = 554,
  kGroupByComplete = 555,
  kGroupByPrivate = 556,
};

class CTaskGroupStrategy : public CGroupStrategy {
 public:
  // The strategy of a group-by value; null for a value that has none. The view
  // settings ("Task_ShowUndatedLast", "ShowTasksInAllCategories") are read here.
  static std::unique_ptr<CTaskGroupStrategy> Make(int groupBy);

  explicit CTaskGroupStrategy(int groupBy);
  int GetGroupBy() const { return m_groupBy; }
  // 501: the rows stand in the content list itself.
  BOOL IsFlat() const { return m_groupBy == kGroupByNone; }

  virtual void ApplySortKey(CTaskQuery& query) = 0;
  // Every group the task belongs to (only the category strategy knows more than one),
  // made where missing when create is set; the number of indices output.
  virtual int FindTaskGroups(std::vector<int>& out, CContainerElement* list, const TASK_ITEM* task, BOOL create);

  // The filter's one category (-1: none), which category grouping passes over.
  void SetFilterCategory(int category) { m_filterCategory = category; }
  void SetUndatedLast(BOOL last) { m_undatedLast = last; }
  void SetShowInAllCategories(BOOL all) { m_allCategories = all; }
  // The category display order, record numbers in order (default the categories
  // list's).
  void SetCategoryOrder(const std::vector<int>& order) { m_categoryOrder = order; m_orderSet = TRUE; }
  // Today as a variant date (default the clock's).
  void SetToday(double today) { m_today = today; }

 protected:
  double Today() const;

  int m_groupBy;
  int m_filterCategory;
  BOOL m_undatedLast;
  BOOL m_allCategories;
  double m_today;
  std::vector<int> m_categoryOrder;
  BOOL m_orderSet = FALSE;
};
