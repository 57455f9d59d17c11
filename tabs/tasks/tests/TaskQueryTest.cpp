// Task queries over a plain array of tasks: filters, modes, ranges, sort keys, the
// category rows and the two-record comparison.
#include "tabs/tasks/TaskQuery.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "tabs/tasks/tests/TaskArray.h"

using tasktest::CTaskArray;

namespace {

const double T = 46083.0;  // today: 2026-03-02
const double N = kNoDate;

class CFilter : public ITaskCategoryFilter {
 public:
  explicit CFilter(std::vector<int> wanted) : m_wanted(std::move(wanted)) {}
  BOOL Matches(const CBitSet& set) const override {
    for (int c : m_wanted)
      if (set.Test(c) == 1) return TRUE;
    return FALSE;
  }
  int GetSingleCategory() const override { return m_wanted.size() == 1 ? m_wanted[0] : -1; }

 private:
  std::vector<int> m_wanted;
};

std::wstring Names(CTaskQuery& query, std::vector<int>* categories = nullptr) {
  std::wstring out;
  TASK_ITEM* t = nullptr;
  int category = -2;
  for (BOOL more = query.GetFirst(&t, &category); more; more = query.GetNext(&t, &category)) {
    if (!out.empty()) out += L" ";
    out += static_cast<LPCWSTR>(t->subject);
    if (categories) categories->push_back(category);
  }
  return out;
}

// Tasks in load order: a none date is 0 or the no-date value alike.
void AddMixed(CTaskArray& a) {
  a.Add(L"undated", 0, 0);
  a.Add(L"due-today", T, T);
  a.Add(L"spanning", T - 2, T + 3);
  a.Add(L"starts-tomorrow", T + 1, T + 4);
  a.Add(L"done", 0, T - 1, 0, TRUE);
  a.Add(L"start-only-later", T + 5, N);
  a.Add(L"cat-1", N, T + 10, 0, FALSE, {1});
}

TEST(TaskQueryTest, FiltersAndModes) {
  CFilter one({1});
  struct Case {
    const char* what;
    std::function<void(CTaskQuery&)> set;
    const wchar_t* expected;
  } cases[] = {
      {"nothing set: load order", [](CTaskQuery&) {},
       L"undated due-today spanning starts-tomorrow done start-only-later cat-1"},
      {"mode 2: incomplete", [](CTaskQuery& q) { q.SetMode(2); },
       L"undated due-today spanning starts-tomorrow start-only-later cat-1"},
      {"mode 3: completed only", [](CTaskQuery& q) { q.SetMode(3); }, L"done"},
      {"mode 1: incomplete, dated ones started", [](CTaskQuery& q) { q.SetMode(1); },
       L"undated due-today spanning start-only-later cat-1"},
      {"mode 0 after mode 3 clears it", [](CTaskQuery& q) { q.SetMode(3); q.SetMode(0); },
       L"undated due-today spanning starts-tomorrow done start-only-later cat-1"},
      {"undated only", [](CTaskQuery& q) { q.SetUndatedOnly(TRUE); }, L"undated"},
      {"exclude spanning", [](CTaskQuery& q) { q.SetExcludeSpanning(TRUE); },
       L"undated due-today done start-only-later cat-1"},
      {"due range (0, 0) filters nothing", [](CTaskQuery& q) { q.SetDateFilter(0, 0); },
       L"undated due-today spanning starts-tomorrow done start-only-later cat-1"},
      {"due range from today drops undated", [](CTaskQuery& q) { q.SetDateFilter(T, T + 4); },
       L"due-today spanning starts-tomorrow"},
      {"due range from 0 keeps undated", [](CTaskQuery& q) { q.SetDateFilter(0, T); },
       L"undated due-today done start-only-later"},
      {"undated only overrides the due range", [](CTaskQuery& q) { q.SetDateFilter(T, T + 4); q.SetUndatedOnly(TRUE); },
       L"undated"},
      {"span range: started by its end, due by its start", [](CTaskQuery& q) { q.SetDueFilter(T + 2, T + 3); },
       L"spanning starts-tomorrow"},
      {"category filter", [&](CTaskQuery& q) { q.SetFilter(&one, TRUE); }, L"cat-1"},
      {"include completed off", [](CTaskQuery& q) { q.SetFilter(nullptr, FALSE); },
       L"undated due-today spanning starts-tomorrow start-only-later cat-1"},
  };
  for (const Case& c : cases) {
    CTaskArray a;
    AddMixed(a);
    CTaskQuery q(&a);
    q.SetToday(T);
    c.set(q);
    EXPECT_EQ(Names(q), c.expected) << c.what;
  }
}

TEST(TaskQueryTest, TheListIsLoadedOnceWithWhatTheFiltersNeed) {
  CTaskArray a;
  AddMixed(a);
  CTaskQuery q(&a);
  q.SetFilter(nullptr, FALSE);
  q.SetDateFilter(T - 1, T + 4);
  Names(q);
  Names(q);
  EXPECT_EQ(a.loads, 1) << "a second walk only rewinds";
  EXPECT_EQ(a.includeCompleted, FALSE);
  EXPECT_EQ(a.date, T - 1);
  CTaskQuery undated(&a);
  undated.SetDateFilter(T - 1, T + 4);
  undated.SetUndatedOnly(TRUE);
  Names(undated);
  EXPECT_EQ(a.date, 0.0) << "the due range is not used";
}

TEST(TaskQueryTest, SortKeysLeastSignificantFirst) {
  struct Case {
    const char* what;
    BOOL undatedLast;
    std::function<void(CTaskQuery&)> keys;
    const wchar_t* expected;
  } cases[] = {
      {"importance, then complete", TRUE,
       [](CTaskQuery& q) { q.AddSortKeyImportance(); q.AddSortKeyComplete(); },
       L"hi-open norm-open low-open hi-done norm-done low-done"},
      {"complete, then importance", TRUE,
       [](CTaskQuery& q) { q.AddSortKeyComplete(); q.AddSortKeyImportance(); },
       L"hi-open hi-done norm-open norm-done low-open low-done"},
      {"due ascending, undated last", TRUE, [](CTaskQuery& q) { q.AddSortKeyDueDateAsc(); },
       L"hi-done low-open norm-open hi-open norm-done low-done"},
      {"due ascending, undated first", FALSE, [](CTaskQuery& q) { q.AddSortKeyDueDateAsc(); },
       L"norm-done low-done hi-done low-open norm-open hi-open"},
      {"due descending", TRUE, [](CTaskQuery& q) { q.AddSortKeyDueDateDesc(); },
       L"hi-open norm-open low-open hi-done norm-done low-done"},
      {"start date", TRUE, [](CTaskQuery& q) { q.AddSortKeyStartDate(); },
       L"low-open hi-open norm-open hi-done norm-done low-done"},
      {"subject ignores case", TRUE, [](CTaskQuery& q) { q.AddSortKeySubject(); },
       L"hi-done hi-open low-done low-open norm-done norm-open"},
      {"private", TRUE, [](CTaskQuery& q) { q.AddSortKeyPrivate(); },
       L"hi-open norm-open low-open norm-done low-done hi-done"},
      {"no key: load order", TRUE, [](CTaskQuery&) {},
       L"hi-open norm-open low-open hi-done norm-done low-done"},
  };
  for (const Case& c : cases) {
    CTaskArray a;
    a.Add(L"hi-open", T + 1, T + 3, 1);
    a.Add(L"norm-open", T + 2, T + 2, 0);
    a.Add(L"low-open", T - 5, T + 1, -1);
    a.Add(L"hi-done", N, T - 1, 1, TRUE, {}, 1);
    a.Add(L"Norm-done", 0, 0, 0, TRUE);
    a.tasks.back()->subject = L"norm-done";
    a.Add(L"low-done", 0, N, -1, TRUE);
    CTaskQuery q(&a);
    q.SetUndatedLast(c.undatedLast);
    c.keys(q);
    EXPECT_EQ(Names(q), c.expected) << c.what;
  }
}

// Grouped by category, a task is listed in the buckets its categories give, no
// category first and the rest in the categories' display order.
TEST(TaskQueryTest, CategoryRows) {
  struct Case {
    const char* what;
    std::vector<int> filter;
    BOOL all;
    const wchar_t* expected;
    std::vector<int> rows;
  } cases[] = {
      {"no filter: each task under its first category", {}, FALSE, L"none x x-y x-y-z y", {-1, 1, 1, 1, 3}},
      {"no filter, all categories", {}, TRUE, L"none x x-y x-y-z x-y-z x-y y x-y-z", {-1, 1, 1, 1, 2, 3, 3, 3}},
      {"filter X: a task of X and Y is listed under Y", {1}, FALSE, L"x x-y-z x-y", {1, 2, 3}},
      {"filter X, all categories: under every other one", {1}, TRUE, L"x x-y-z x-y x-y-z", {1, 2, 3, 3}},
  };
  for (const Case& c : cases) {
    CTaskArray a;
    a.Add(L"none", 0, 0);
    a.Add(L"x", 0, 0, 0, FALSE, {1});
    a.Add(L"x-y", 0, 0, 0, FALSE, {1, 3});
    a.Add(L"y", 0, 0, 0, FALSE, {3});
    a.Add(L"x-y-z", 0, 0, 0, FALSE, {1, 2, 3});
    CFilter filter(c.filter);
    CTaskQuery q(&a);
    if (!c.filter.empty()) q.SetFilter(&filter, TRUE);
    q.SetShowInAllCategories(c.all);
    // Display order: x (1), z (2), y (3).
    q.SetCategoryOrder({1, 2, 3});
    q.AddSortKeyCategory();
    std::vector<int> rows;
    EXPECT_EQ(Names(q, &rows), c.expected) << c.what;
    EXPECT_EQ(rows, c.rows) << c.what;
  }
}

TEST(TaskQueryTest, WithoutTheCategoryKeyARowsCategoryIsTheTasksFirst) {
  CTaskArray a;
  a.Add(L"none", 0, 0);
  a.Add(L"two", 0, 0, 0, FALSE, {4, 2});
  CTaskQuery q(&a);
  std::vector<int> rows;
  EXPECT_EQ(Names(q, &rows), L"none two");
  EXPECT_EQ(rows, (std::vector<int>{-1, 2}));
}

// The comparison places single rows as the full sort does: more significant keys
// first, then the subject.
TEST(TaskQueryTest, CompareAgreesWithTheFullSortOfDatedTasks) {
  CTaskArray a;
  a.Add(L"b", T + 1, T + 3, 1);
  a.Add(L"a", T + 1, T + 3, 1);
  a.Add(L"c", T - 1, T + 3, 0, TRUE);
  a.Add(L"d", T, T + 1, -1, FALSE, {}, 1);
  a.Add(L"e", T + 2, T + 9, 0);
  CTaskQuery q(&a);
  q.SetUndatedLast(TRUE);
  q.AddSortKeySubject();
  q.AddSortKeyDueDateAsc();
  q.AddSortKeyImportance();
  q.AddSortKeyComplete();
  TASK_ITEM* previous = nullptr;
  TASK_ITEM* t = nullptr;
  for (BOOL more = q.GetFirst(&t); more; more = q.GetNext(&t)) {
    if (previous) {
      EXPECT_LT(q.Compare(previous, t), 0) << static_cast<LPCWSTR>(previous->subject);
    }
    previous = t;
  }
  EXPECT_EQ(Names(q), L"a b e d c");
}

// With undated tasks shown first, the full sort puts an undated task before dated ones
// while the comparison (used to insert one row) puts it after them: the two disagree.
TEST(TaskQueryTest, UndatedFirstDiffersBetweenFullSortAndCompare) {
  CTaskArray a;
  TASK_ITEM* dated = a.Add(L"dated", 0, T);
  TASK_ITEM* undated = a.Add(L"undated", 0, 0);
  CTaskQuery q(&a);
  q.SetUndatedLast(FALSE);
  q.AddSortKeyDueDateAsc();
  EXPECT_EQ(Names(q), L"undated dated");
  EXPECT_GT(q.Compare(undated, dated), 0);
  CTaskQuery last(&a);
  last.SetUndatedLast(TRUE);
  last.AddSortKeyDueDateAsc();
  EXPECT_EQ(Names(last), L"dated undated");
  EXPECT_GT(last.Compare(undated, dated), 0);
}

TEST(TaskQueryTest, CompareKeysAndTheSubjectAsLastWord) {
  TASK_ITEM a, b;
  a.subject = L"alpha";
  b.subject = L"Beta";
  CTaskArray none;
  CTaskQuery q(&none);
  EXPECT_LT(q.Compare(&a, &b), 0) << "no key: the subject, ignoring case";
  q.AddSortKeyCategory();
  EXPECT_LT(q.Compare(&a, &b), 0) << "the category key does not compare";
  a.due = T + 2;
  b.due = T + 1;
  q.AddSortKeyDueDateDesc();
  EXPECT_LT(q.Compare(&a, &b), 0) << "later first";
  a.importance = -1;
  q.AddSortKeyImportance();
  EXPECT_GT(q.Compare(&a, &b), 0) << "higher first";
  b.complete = TRUE;
  q.AddSortKeyComplete();
  EXPECT_LT(q.Compare(&a, &b), 0) << "incomplete first";
  EXPECT_EQ(q.Compare(&a, &a), 0);
}

}  // namespace
