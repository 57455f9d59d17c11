#include "tabs/tasks/TaskQuery.h"

#include <algorithm>

#include "base/DateTime.h"
#include "base/MergeSort.h"
#include "base/ViewSettings.h"
#include "pim/CategoriesList.h"
#include "tabs/tasks/TaskReminder.h"
#include "tabs/tasks/TasksList.h"

namespace {

// 0 for none (0 or the no-date value).
double DateOrZero(double date) { return TaskReminder::IsSet(date) ? date : 0; }

int CompareSubjectText(const TASK_ITEM* a, const TASK_ITEM* b) {
  int c = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, a->subject,
                         a->subject.GetLength(), b->subject, b->subject.GetLength());
  return c == 0 ? 0 : c - CSTR_EQUAL;
}

int Order(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int FirstCategory(const CBitSet& set) {
  int first = set.FindNext(0);
  return first < 0 ? -1 : first;
}

}  // namespace

CTaskQuery::CTaskQuery(ITaskSource* list)
    : m_list(list ? list : static_cast<ITaskSource*>(&CTasksList::GetGlobal())),
      m_run(FALSE),
      m_categoryRows(FALSE),
      m_cursor(0),
      m_filter(nullptr),
      m_includeCompleted(TRUE),
      m_undatedOnly(FALSE),
      m_excludeSpanning(FALSE),
      m_completedOnly(FALSE),
      m_keyCount(0),
      m_dueDescending(FALSE),
      m_dueFrom(0),
      m_dueTo(0),
      m_todayReference(0),
      m_spanFrom(0),
      m_spanTo(0),
      m_undatedLast(GetViewSettings().Task_ShowUndatedLast != 0),
      m_showInAllCategories(GetViewSettings().ShowTasksInAllCategories != 0),
      m_orderSet(FALSE),
      m_todayOverride(0) {
  std::fill(m_priority, m_priority + kKeyCount, -1);
}

void CTaskQuery::SetFilter(const ITaskCategoryFilter* filter, BOOL includeCompleted) {
  m_filter = filter;
  m_includeCompleted = includeCompleted;
}

void CTaskQuery::SetDateFilter(double from, double to) {
  m_dueFrom = from;
  m_dueTo = to;
}

void CTaskQuery::SetDueFilter(double from, double to) {
  m_spanFrom = from;
  m_spanTo = to;
}

double CTaskQuery::Today() const {
  return m_todayOverride ? m_todayOverride : TaskReminder::Day(GetNowVariantTime());
}

void CTaskQuery::SetMode(int mode) {
  m_todayReference = 0;
  m_completedOnly = FALSE;
  m_includeCompleted = TRUE;
  switch (mode) {
    case 1:
      m_todayReference = Today();
      m_includeCompleted = FALSE;
      break;
    case 2: m_includeCompleted = FALSE; break;
    case 3: m_completedOnly = TRUE; break;
    default: break;
  }
}

void CTaskQuery::SetTodayReference() { m_todayReference = Today(); }

// A key added again takes the new place; its old place is then held by no key.
void CTaskQuery::AddKey(Key key) { m_priority[key] = m_keyCount++; }

BOOL CTaskQuery::Matches(const TASK_ITEM* task) const {
  if (!task) return FALSE;
  const double start = DateOrZero(task->start);
  const double due = DateOrZero(task->due);
  if (m_undatedOnly && (start || due)) return FALSE;
  if (m_spanFrom || m_spanTo) {
    if (!start || start == due || start > m_spanTo || due < m_spanFrom) return FALSE;
  }
  if ((m_dueFrom || m_dueTo) && !m_undatedOnly) {
    if (due < m_dueFrom || due > m_dueTo) return FALSE;
  }
  if (m_todayReference && due && start >= m_todayReference + 1) return FALSE;
  if (m_excludeSpanning && start && due && start != due) return FALSE;
  if (m_completedOnly && !task->complete) return FALSE;
  if (!m_includeCompleted && task->complete) return FALSE;
  if (m_filter && !m_filter->Matches(task->categories)) return FALSE;
  return TRUE;
}

void CTaskQuery::Run() {
  m_run = TRUE;
  m_rows.clear();
  m_categoryRows = FALSE;
  const BOOL dueRangeUsed = (m_dueFrom || m_dueTo) && !m_undatedOnly;
  TASK_ITEM* task = nullptr;
  m_list->EnsureLoaded(&task, m_includeCompleted, dueRangeUsed ? m_dueFrom : 0);
  for (int k = 0; k < m_list->GetTaskCount(); ++k)
    if (Matches(m_list->GetTaskAt(k))) m_rows.push_back({k, -1});
  for (int p = 0; p < m_keyCount; ++p)
    for (int key = 0; key < kKeyCount; ++key)
      if (m_priority[key] == p) ApplyKey(static_cast<Key>(key), m_rows);
}

void CTaskQuery::ApplyKey(Key key, std::vector<Row>& rows) const {
  struct Context {
    const CTaskQuery* query;
    Key key;
  } context{this, key};
  if (key == kKeyCategory) {
    ApplyCategoryKey(rows);
    return;
  }
  if (key == kKeyDue || key == kKeyStart) {
    ApplyDateKey(rows, key == kKeyDue);
    return;
  }
  MergeSort(rows.data(), static_cast<int>(rows.size()), &context, [](Context* c, const Row& ra, const Row& rb) {
    const TASK_ITEM* a = c->query->m_list->GetTaskAt(ra.index);
    const TASK_ITEM* b = c->query->m_list->GetTaskAt(rb.index);
    switch (c->key) {
      case kKeyComplete: return Order(a->complete ? 1 : 0, b->complete ? 1 : 0);
      case kKeyPrivate: return Order(a->privateValue ? 1 : 0, b->privateValue ? 1 : 0);
      case kKeyImportance: return Order(b->importance, a->importance);
      default: return CompareSubjectText(a, b);
    }
  });
}

void CTaskQuery::ApplyDateKey(std::vector<Row>& rows, BOOL due) const {
  std::vector<Row> dated, undated;
  auto dateOf = [&](const Row& r) {
    const TASK_ITEM* t = m_list->GetTaskAt(r.index);
    return DateOrZero(due ? t->due : t->start);
  };
  for (const Row& r : rows) (dateOf(r) ? dated : undated).push_back(r);
  struct Context {
    const CTaskQuery* query;
    BOOL due;
    BOOL descending;
  } context{this, due, due && m_dueDescending};
  MergeSort(dated.data(), static_cast<int>(dated.size()), &context, [](Context* c, const Row& ra, const Row& rb) {
    const TASK_ITEM* a = c->query->m_list->GetTaskAt(ra.index);
    const TASK_ITEM* b = c->query->m_list->GetTaskAt(rb.index);
    const int order = c->due ? Order(a->due, b->due) : Order(a->start, b->start);
    return c->descending ? -order : order;
  });
  rows.clear();
  const std::vector<Row>& first = m_undatedLast ? dated : undated;
  const std::vector<Row>& second = m_undatedLast ? undated : dated;
  rows.insert(rows.end(), first.begin(), first.end());
  rows.insert(rows.end(), second.begin(), second.end());
}

void CTaskQuery::ApplyCategoryKey(std::vector<Row>& rows) const {
  std::vector<int> order = m_categoryOrder;
  if (!m_orderSet) {
    order.clear();
    if (CCategoriesList* categories = CCategoriesList::GetCurrent())
      for (int p = 0; p < categories->GetDisplayCount(); ++p) order.push_back(categories->GetDisplayAt(p));
  }
  // Bucket 0: no category; then one per category in display order; a category the
  // order does not know goes last.
  auto bucketOf = [&](int category) -> size_t {
    if (category < 0) return 0;
    auto at = std::find(order.begin(), order.end(), category);
    return at == order.end() ? order.size() + 1 : static_cast<size_t>(at - order.begin()) + 1;
  };
  std::vector<std::vector<Row>> buckets(order.size() + 2);
  const int single = m_filter ? m_filter->GetSingleCategory() : -1;
  for (const Row& r : rows) {
    const CBitSet& set = m_list->GetTaskAt(r.index)->categories;
    std::vector<int> walk;
    for (int c = set.FindNext(0); c >= 0; c = set.FindNext(c + 1)) walk.push_back(c);
    if (walk.empty()) walk.push_back(-1);
    const BOOL exactlySingle = walk.size() == 1 && walk[0] == single;
    for (int c : walk) {
      if (single >= 0 && !exactlySingle) {
        if (c == single) continue;
        buckets[bucketOf(c)].push_back({r.index, c});
        if (!m_showInAllCategories) break;
      } else {
        buckets[bucketOf(c)].push_back({r.index, c});
        if (!m_showInAllCategories) break;
      }
    }
  }
  rows.clear();
  for (const auto& bucket : buckets) rows.insert(rows.end(), bucket.begin(), bucket.end());
  const_cast<CTaskQuery*>(this)->m_categoryRows = TRUE;
}

BOOL CTaskQuery::GetFirst(TASK_ITEM** task, int* category) {
  if (!m_run) Run();
  m_cursor = 0;
  return GetNext(task, category);
}

BOOL CTaskQuery::GetNext(TASK_ITEM** task, int* category) {
  if (!m_run) Run();
  // A row whose task the list no longer holds ends the walk.
  if (m_cursor >= m_rows.size() || m_rows[m_cursor].index >= m_list->GetTaskCount()) return FALSE;
  const Row& row = m_rows[m_cursor++];
  TASK_ITEM* found = m_list->GetTaskAt(row.index);
  if (task) *task = found;
  if (category) *category = m_categoryRows ? row.category : FirstCategory(found->categories);
  return TRUE;
}

int CTaskQuery::Compare(const TASK_ITEM* a, const TASK_ITEM* b) const {
  for (int p = m_keyCount - 1; p >= 0; --p) {
    int key = 0;
    while (key < kKeyCount && m_priority[key] != p) ++key;
    int c = 0;
    switch (key) {
      case kKeyComplete: c = Order(a->complete ? 1 : 0, b->complete ? 1 : 0); break;
      case kKeyPrivate: c = Order(a->privateValue ? 1 : 0, b->privateValue ? 1 : 0); break;
      case kKeyImportance: c = Order(b->importance, a->importance); break;
      case kKeyStart: c = Order(DateOrZero(a->start), DateOrZero(b->start)); break;
      case kKeyDue: {
        const double da = DateOrZero(a->due), db = DateOrZero(b->due);
        // Here a task without a due date always comes after one with, whatever the
        // view's undated-last setting.
        if (!da != !db) c = da ? -1 : 1;
        else c = m_dueDescending ? Order(db, da) : Order(da, db);
        break;
      }
      default: break;
    }
    if (c) return c;
  }
  return CompareSubjectText(a, b);
}
