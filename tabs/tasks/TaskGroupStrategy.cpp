#include "tabs/tasks/TaskGroupStrategy.h"

#include "base/DateTime.h"
#include "base/ViewSettings.h"
#include "panel/TaskGroupHeaders.h"
#include "pim/CategoriesList.h"
#include "tabs/tasks/TaskReminder.h"

namespace {

const TASK_ITEM* Task(const void* item) { return static_cast<const TASK_ITEM*>(item); }

// 0 when the item's group is the row's, positive when it goes before, negative after.
int OrderGroups(int itemRank, int rowRank) { return itemRank == rowRank ? 0 : itemRank < rowRank ? 1 : -1; }

class CFlatStrategy : public CTaskGroupStrategy {
 public:
  CFlatStrategy() : CTaskGroupStrategy(kGroupByNone) {}
  void ApplySortKey(CTaskQuery&) override {}
  int CompareGroupRow(CListGroupHeader*, const void*, int) override { return 0; }
  CListGroupHeader* CreateGroup(CContainerElement*, const void*, int) override { return nullptr; }
  int FindTaskGroups(std::vector<int>& out, CContainerElement*, const TASK_ITEM*, BOOL) override {
    out.clear();
    return 0;
  }
};

// Groups told apart by one number of the task, ordered by a rank of that number.
class CValueStrategy : public CTaskGroupStrategy {
 public:
  explicit CValueStrategy(int groupBy) : CTaskGroupStrategy(groupBy) {}

  void ApplySortKey(CTaskQuery& query) override {
    switch (m_groupBy) {
      case kGroupByImportance: query.AddSortKeyImportance(); break;
      case kGroupByDue: query.AddSortKeyDueDateAsc(); break;
      case kGroupByStart: query.AddSortKeyStartDate(); break;
      case kGroupByComplete: query.AddSortKeyComplete(); break;
      case kGroupByPrivate: query.AddSortKeyPrivate(); break;
      default: break;
    }
  }

  int CompareGroupRow(CListGroupHeader* row, const void* item, int) override {
    if (!row || !item) return -1;
    return OrderGroups(Rank(ValueOf(Task(item))), Rank(row->GetValue()));
  }

  CListGroupHeader* CreateGroup(CContainerElement* list, const void* item, int) override {
    if (!item) return nullptr;
    const int value = ValueOf(Task(item));
    switch (m_groupBy) {
      case kGroupByImportance: return new CImportanceGroupHeader(list, value);
      case kGroupByDue: return new CDueGroupHeader(list, value);
      case kGroupByStart: return new CStartGroupHeader(list, value);
      case kGroupByComplete: return new CCompleteGroupHeader(list, value);
      default: return new CFlagGroupHeader(list, value);
    }
  }

 private:
  int ValueOf(const TASK_ITEM* task) const {
    switch (m_groupBy) {
      case kGroupByImportance: return task->importance;
      case kGroupByDue: return ClassifyTaskDateGroup(task->due, Today());
      case kGroupByStart: return ClassifyTaskDateGroup(task->start, Today());
      case kGroupByComplete: return task->complete ? 1 : 0;
      default: return task->privateValue ? 1 : 0;
    }
  }
  int Rank(int value) const {
    switch (m_groupBy) {
      case kGroupByImportance: return -value;  // high first
      case kGroupByDue:
      case kGroupByStart:
        if (value == kDateGroupNone) return m_undatedLast ? kDateGroupNone : -1;
        return value;
      default: return value;
    }
  }
};

class CCategoryStrategy : public CTaskGroupStrategy {
 public:
  CCategoryStrategy() : CTaskGroupStrategy(kGroupByCategory) {}

  void ApplySortKey(CTaskQuery& query) override { query.AddSortKeyCategory(); }

  int CompareGroupRow(CListGroupHeader* row, const void*, int category) override {
    if (!row) return -1;
    return OrderGroups(Rank(category), Rank(row->GetValue()));
  }

  CListGroupHeader* CreateGroup(CContainerElement* list, const void* item, int category) override {
    (void)item;
    return new CCategoryGroupHeader(list, category);
  }

  // The categories walked as the query makes its category rows: in index order, the
  // filter's category passed over unless it is the task's only one; every category
  // with the all-categories setting, else the first placed. Each category's group is
  // looked for in the whole list: the display order need not follow the numbers, so
  // a walk starting after the previous group would miss it and make a second one.
  int FindTaskGroups(std::vector<int>& out, CContainerElement* list, const TASK_ITEM* task, BOOL create) override {
    out.clear();
    if (!list || !task) return 0;
    std::vector<int> walk;
    for (int c = task->categories.FindNext(0); c >= 0; c = task->categories.FindNext(c + 1)) walk.push_back(c);
    if (walk.empty()) walk.push_back(-1);
    const BOOL onlyFilterCategory = walk.size() == 1 && walk[0] == m_filterCategory;
    for (int c : walk) {
      if (m_filterCategory >= 0 && !onlyFilterCategory && c == m_filterCategory) continue;
      const int before = list->GetChildCount();
      const int index = PlaceItem(list, 0, task, c, create);
      if (index >= 0) {
        // A group inserted before those already output moves them down by one.
        if (list->GetChildCount() > before)
          for (int& earlier : out)
            if (earlier >= index) ++earlier;
        out.push_back(index);
      }
      if (!m_allCategories) break;
    }
    return static_cast<int>(out.size());
  }

 private:
  // The display position; the no-category group first, categories the order does
  // not know last, by number.
  int Rank(int category) const {
    const int kUnknown = 0x100000;
    if (category < 0) return -1;
    if (m_orderSet) {
      for (size_t p = 0; p < m_categoryOrder.size(); ++p)
        if (m_categoryOrder[p] == category) return static_cast<int>(p);
      return kUnknown + category;
    }
    CCategoriesList* categories = CCategoriesList::GetCurrent();
    const CATEGORY_RECORD* record = categories ? categories->GetAt(category) : nullptr;
    if (!record || record->displayPos < 0) return kUnknown + category;
    return record->displayPos;
  }
};

}  // namespace

CTaskGroupStrategy::CTaskGroupStrategy(int groupBy)
    : m_groupBy(groupBy),
      m_filterCategory(-1),
      m_undatedLast(GetViewSettings().Task_ShowUndatedLast != 0),
      m_allCategories(GetViewSettings().ShowTasksInAllCategories != 0),
      m_today(0) {}

std::unique_ptr<CTaskGroupStrategy> CTaskGroupStrategy::Make(int groupBy) {
  switch (groupBy) {
    case kGroupByNone: return std::unique_ptr<CTaskGroupStrategy>(new CFlatStrategy());
    case kGroupByCategory: return std::unique_ptr<CTaskGroupStrategy>(new CCategoryStrategy());
    case kGroupByImportance:
    case kGroupByDue:
    case kGroupByStart:
    case kGroupByComplete:
    case kGroupByPrivate: return std::unique_ptr<CTaskGroupStrategy>(new CValueStrategy(groupBy));
    default: return nullptr;
  }
}

double CTaskGroupStrategy::Today() const { return m_today ? m_today : TaskReminder::Day(GetNowVariantTime()); }

int CTaskGroupStrategy::FindTaskGroups(std::vector<int>& out, CContainerElement* list, const TASK_ITEM* task,
                                       BOOL create) {
  return FindGroup(out, list, task, create);
}
