// The Tasks tab's group strategies: the groups a full build makes from the query's
// rows, and the same groups when the tasks arrive one at a time in any order.
#include "tabs/tasks/TaskGroupStrategy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "controls/tests/LayoutFixtures.h"
#include "panel/TaskGroupHeaders.h"
#include "tabs/tasks/tests/TaskArray.h"

using ctltest::CLeaf;
using ctltest::CTopOwner;
using tasktest::CTaskArray;

namespace {

const double T = 46365.0;  // today: 2026-12-09

class CFilter : public ITaskCategoryFilter {
 public:
  explicit CFilter(int single) : m_single(single) {}
  BOOL Matches(const CBitSet& set) const override { return m_single < 0 || set.Test(m_single) == 1; }
  int GetSingleCategory() const override { return m_single; }

 private:
  int m_single;
};

// Categories 0 Work, 1 Home, 2 Later, shown in the order Home, Work, Later.
const std::vector<int> kOrder = {1, 0, 2};

void AddSample(CTaskArray& a) {
  a.Add(L"t0", T - 3, T - 1, 1, FALSE, {0}, 0);        // overdue, high, Work
  a.Add(L"t1", T, T, 0, FALSE, {0, 1}, 1);             // due today, Work and Home, private
  a.Add(L"t2", 0, 0, -1, FALSE, {}, 0);                // undated, low, no category
  a.Add(L"t3", T - 9, T - 5, 0, TRUE, {1}, 0);         // completed
  a.Add(L"t4", T + 1, T + 1, 1, FALSE, {2, 0}, 0);     // tomorrow, Work and Later
  a.Add(L"t5", kNoDate, T + 40, 0, FALSE, {1}, 1);     // later, no start
  a.Add(L"t6", T + 3, T + 10, -1, FALSE, {}, 0);       // within a month, starts within a week
}

std::unique_ptr<CTaskGroupStrategy> Strategy(int groupBy, BOOL undatedLast, BOOL all, int single) {
  std::unique_ptr<CTaskGroupStrategy> s = CTaskGroupStrategy::Make(groupBy);
  s->SetToday(T);
  s->SetUndatedLast(undatedLast);
  s->SetShowInAllCategories(all);
  s->SetFilterCategory(single);
  s->SetCategoryOrder(kOrder);
  return s;
}

// "value:rows" of every header in order.
std::wstring Groups(CContainerElement& list) {
  std::wstring out;
  for (int i = 0; i < list.GetChildCount(); ++i) {
    CListGroupHeader* h = AsListGroupHeader(list.GetChild(i));
    if (!h) return L"not a header";
    out += std::to_wstring(h->GetValue()) + L":" + std::to_wstring(h->GetChildCount()) + L" ";
  }
  return out;
}

struct Case {
  int groupBy;
  BOOL undatedLast;
  BOOL all;
  int single;
  const wchar_t* groups;
};

}  // namespace

TEST(TaskGroupStrategy, FullBuildAndSingleArrivalsMakeTheSameGroups) {
  const Case cases[] = {
      {kGroupByImportance, TRUE, FALSE, -1, L"1:2 0:3 -1:2 "},
      {kGroupByDue, TRUE, FALSE, -1, L"0:2 1:1 2:1 4:1 5:1 6:1 "},
      {kGroupByDue, FALSE, FALSE, -1, L"6:1 0:2 1:1 2:1 4:1 5:1 "},
      {kGroupByStart, TRUE, FALSE, -1, L"0:2 1:1 2:1 3:1 6:2 "},
      {kGroupByStart, FALSE, FALSE, -1, L"6:2 0:2 1:1 2:1 3:1 "},
      {kGroupByComplete, TRUE, FALSE, -1, L"0:6 1:1 "},
      {kGroupByPrivate, TRUE, FALSE, -1, L"0:5 1:2 "},
      // By category: no category first, then the display order; a task goes under its
      // first category, or under each with the all-categories setting.
      {kGroupByCategory, TRUE, FALSE, -1, L"-1:2 1:2 0:3 "},
      {kGroupByCategory, TRUE, TRUE, -1, L"-1:2 1:3 0:3 2:1 "},
      // Filtered on Work: a task shows under its next category; one with Work alone
      // stays under Work.
      {kGroupByCategory, TRUE, FALSE, 0, L"1:1 0:1 2:1 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.groupBy << " undated last " << c.undatedLast << " all " << c.all
                                    << " single " << c.single);
    CTaskArray tasks;
    AddSample(tasks);
    CFilter filter(c.single);
    CTopOwner owner;

    // The full build: the query's rows in group order, each under the last group or
    // a new one.
    CContainerElement built(&owner);
    {
      std::unique_ptr<CTaskGroupStrategy> s = Strategy(c.groupBy, c.undatedLast, c.all, c.single);
      CTaskQuery query(&tasks);
      query.SetToday(T);
      query.SetUndatedLast(c.undatedLast);
      query.SetShowInAllCategories(c.all);
      query.SetCategoryOrder(kOrder);
      query.SetFilter(&filter, TRUE);
      s->ApplySortKey(query);
      CListItem* last = nullptr;
      TASK_ITEM* t = nullptr;
      int category = -1;
      for (BOOL more = query.GetFirst(&t, &category); more; more = query.GetNext(&t, &category)) {
        last = s->FindOrCreateGroup(&built, last, t, category);
        ASSERT_NE(last, nullptr);
        auto* group = static_cast<CContainerElement*>(last);
        group->AddChild(new CLeaf(group));
      }
    }
    EXPECT_EQ(Groups(built), c.groups);

    // The same tasks one at a time, in shuffled orders.
    std::mt19937 random(44);
    for (int round = 0; round < 5; ++round) {
      std::vector<TASK_ITEM*> order;
      for (TASK_ITEM* t : tasks.tasks)
        if (filter.Matches(t->categories)) order.push_back(t);
      std::shuffle(order.begin(), order.end(), random);
      std::unique_ptr<CTaskGroupStrategy> s = Strategy(c.groupBy, c.undatedLast, c.all, c.single);
      CContainerElement single(&owner);
      std::vector<int> at;
      for (TASK_ITEM* t : order) {
        ASSERT_GE(s->FindTaskGroups(at, &single, t, TRUE), 1);
        for (int index : at) {
          auto* group = static_cast<CContainerElement*>(single.GetChild(index));
          group->AddChild(new CLeaf(group));
        }
      }
      EXPECT_EQ(Groups(single), c.groups) << "round " << round;
      // Found again without being made again.
      for (TASK_ITEM* t : order) EXPECT_GE(s->FindTaskGroups(at, &single, t, FALSE), 1);
    }
  }
}

TEST(TaskGroupStrategy, OnlyKnownValuesHaveAStrategy) {
  const int known[] = {501, 551, 552, 553, 554, 555, 556};
  for (int value : known) {
    std::unique_ptr<CTaskGroupStrategy> s = CTaskGroupStrategy::Make(value);
    ASSERT_NE(s, nullptr) << value;
    EXPECT_EQ(s->IsFlat(), value == 501);
  }
  for (int value : {0, 500, 502, 550, 557, 560, -1}) EXPECT_EQ(CTaskGroupStrategy::Make(value), nullptr) << value;
}
