// CTasksTab: the Tasks tab (identifier 2): the tasks under group headers chosen by
// "TasksGroupBy", filtered by the filter selector's category filter and task mode,
// ordered inside each group by the sort selector's letters, and kept in step with the
// tasks list one task at a time.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "panel/CategoryFilter.h"
#include "panel/ListPanelView.h"
#include "pim/CategoriesList.h"
#include "tabs/tasks/TaskGroupStrategy.h"
#include "tabs/tasks/TaskQuery.h"
#include "tabs/tasks/TasksListener.h"

class CTasksList;
class CTaskRowRenderer;
class CTasksNotifyWnd;

class CTasksTab : public CListPanelView, public ITasksListener, public ICategoriesListener {
 public:
  enum { kTabId = 2, kTabIcon = 146, kDefaultGroupBy = kGroupByCategory };
  enum Command {
    kCmdNewTask = 1040,
    kCmdOpenTasks = 1020,
    kCmdFoldGroup = 1022,
    kCmdFoldAll = 1023,
    kCmdUnfoldGroup = 1024,
    kCmdUnfoldAll = 1025,
    kCmdFirstTemplate = 1500,
  };

  // source: what the queries read; list: the listeners and the note viewer (both
  // default to the process's tasks list).
  explicit CTasksTab(CVirtualWnd* owner = nullptr, ITaskSource* source = nullptr, CTasksList* list = nullptr);
  ~CTasksTab() override;

  // The panel's maker of the tab, installed with SetTabMaker.
  static CScrollPanel* Make(CVirtualWnd* owner);
  static void Install();

  int GetTabId() override { return kTabId; }
  UINT GetTabIcon() override { return kTabIcon; }
  UINT GetTabIconId(int) override { return kTabIcon; }
  int GetSkinTabIndex() override { return 1; }
  void GetApplicationArgs(CString& args) override { args = L"tasks"; }
  void GetApplicationName(CString& name) override { name = L"Tasks"; }
  void GetItemTypeName(CString& name) override { name = L"Task"; }
  void NewItem() override;
  BOOL OpenItem(CListItem* row, BOOL edit) override;
  void LoadGroupBy() override;
  int RebuildContent() override;
  CVirtualDropDown* CreateSortMenu() override;
  CVirtualDropDown* CreateFilterMenu() override;
  void FillContextMenu(HMENU menu, LPARAM argument) override;
  void OnMenuCommand(int command) override;

  void OnItemNotify(CListItem* item, LPARAM value) override;
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  void OnItemChosen(int commandId) override;

  // ITasksListener.
  void OnTaskChanged(TASK_ITEM* task, TASK_ITEM* previous) override;
  void OnTaskAdded(TASK_ITEM* task, int count) override;
  void OnTaskRemoved(TASK_ITEM* task, int count) override;
  // ICategoriesListener: the filters are read again and the rows rebuilt.
  void OnCategoryAdded(int index) override;
  void OnCategoryDeleted(int index) override;

  // 551 to 556 are kept; anything else writes 501 to "TasksGroupBy" and gives 501.
  static int ValidateGroupBy(int value);
  int GetGroupBy() const { return m_groupBy; }
  int GetMode() const { return m_mode; }
  const CCategoryFilter& GetFilter() const { return m_filter; }
  // Today as a whole day for the query, the groups and the rows (0: the clock's).
  void SetToday(double today) { m_today = today; }

 private:
  void EnsureRegistered();
  void ReadFilter();
  // The tab's filter, completion and mode on a query.
  void ConfigureQuery(CTaskQuery& query) const;
  // The sort selector's letters, the last letter first so the first is the most
  // significant.
  void ApplySortLetters(CTaskQuery& query) const;
  void ShowNoTasksHeader();
  void RemoveNoTasksHeader();
  // A row for the task in each group it belongs to; FALSE when it passes no filter.
  BOOL AddTaskRows(TASK_ITEM* task);
  BOOL RemoveTaskRows(DWORD oid, const TASK_ITEM* task);
  CTaskRowRenderer* NewRow(TASK_ITEM* task, CContainerElement* parent);
  void Repaint();
  int FilterChoice() const;

  ITaskSource* m_source;
  CTasksList* m_list;
  CCategoriesList* m_categories;
  BOOL m_registered;
  CCategoryFilter m_filter;
  int m_mode;
  int m_groupBy;
  double m_today;
  std::unique_ptr<CTaskGroupStrategy> m_strategy;
  std::unique_ptr<CTaskQuery> m_filterQuery;
  std::unique_ptr<CTaskQuery> m_sortQuery;
  std::unique_ptr<CTasksNotifyWnd> m_sink;
};
