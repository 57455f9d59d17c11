// Group strategies over a content list: the general walk that finds or inserts a
// group, the append for items arriving in group order, and the Tasks tab's header
// rows with the day groups of a date.
#include "panel/GroupStrategy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupHeaderItem.h"
#include "controls/tests/LayoutFixtures.h"
#include "panel/TaskGroupHeaders.h"

namespace {

// Items are ints; groups ascend by value, each header made with its value.
class CNumberStrategy : public CGroupStrategy {
 public:
  int CompareGroupRow(CListGroupHeader* row, const void* item, int) override {
    const int value = *static_cast<const int*>(item);
    ++compared;
    return value == row->GetValue() ? 0 : value < row->GetValue() ? 1 : -1;
  }
  CListGroupHeader* CreateGroup(CContainerElement* list, const void* item, int) override {
    ++created;
    return new CListGroupHeader(list, L"", ITEM_KIND_IMPORTANCE_HEADER, *static_cast<const int*>(item));
  }
  int compared = 0;
  int created = 0;
};

std::wstring Values(CContainerElement& list) {
  std::wstring out;
  for (int i = 0; i < list.GetChildCount(); ++i) {
    CListGroupHeader* header = AsListGroupHeader(list.GetChild(i));
    out += header ? std::to_wstring(header->GetValue()) : L"x";
    out += L" ";
  }
  return out;
}

}  // namespace

TEST(GroupStrategy, FindGroupInsertsEachNewGroupAtItsPlace) {
  ctltest::CTopOwner owner;
  CContainerElement list(&owner);
  CNumberStrategy strategy;
  const int items[] = {5, 1, 3, 5, 9, 1, 0};
  std::vector<int> out;
  for (const int& item : items) {
    ASSERT_EQ(strategy.FindGroup(out, &list, &item, TRUE), 1);
    CListGroupHeader* header = AsListGroupHeader(list.GetChild(out[0]));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetValue(), item);
  }
  EXPECT_EQ(Values(list), L"0 1 3 5 9 ");
  EXPECT_EQ(strategy.created, 5);

  // Without create a missing group gives nothing and the list stays as it was.
  const int missing = 4, present = 3;
  EXPECT_EQ(strategy.FindGroup(out, &list, &missing, FALSE), 0);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(strategy.FindGroup(out, &list, &present, FALSE), 1);
  EXPECT_EQ(out[0], 2);
  EXPECT_EQ(Values(list), L"0 1 3 5 9 ");
}

TEST(GroupStrategy, ARowThatIsNoHeaderNeverMatches) {
  ctltest::CTopOwner owner;
  CContainerElement list(&owner);
  CNumberStrategy strategy;
  list.AddChild(new CGroupHeaderItem(&list, L"plain"));
  const int item = 2;
  std::vector<int> out;
  ASSERT_EQ(strategy.FindGroup(out, &list, &item, TRUE), 1);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(Values(list), L"x 2 ");
  EXPECT_EQ(strategy.compared, 0);
  EXPECT_EQ(strategy.FindGroup(out, nullptr, &item, TRUE), 0);
}

TEST(GroupStrategy, FindOrCreateGroupAppendsWhenTheLastGroupDiffers) {
  ctltest::CTopOwner owner;
  CContainerElement list(&owner);
  CNumberStrategy strategy;
  const int items[] = {1, 1, 2, 2, 2, 7};
  CListItem* last = nullptr;
  std::vector<CListItem*> groups;
  for (const int& item : items) {
    last = strategy.FindOrCreateGroup(&list, last, &item, -1);
    ASSERT_NE(last, nullptr);
    groups.push_back(last);
  }
  EXPECT_EQ(Values(list), L"1 2 7 ");
  EXPECT_EQ(groups[0], groups[1]);
  EXPECT_EQ(groups[2], groups[4]);
  EXPECT_NE(groups[4], groups[5]);
}

TEST(TaskGroupHeaders, DayGroupsOfADate) {
  const double t = 46365.0;  // 2026-12-09
  struct Case {
    double date;
    int code;
  };
  const Case cases[] = {
      {0, 6},          {kNoDate, 6},     {NAN, 6},          {INFINITY, 6},    {1.0e300, 6},
      {t - 400, 0},    {t - 1, 0},       {t - 0.01, 0},     {t, 1},           {t + 0.99, 1},
      {t + 1, 2},      {t + 1.5, 2},     {t + 2, 3},        {t + 6.9, 3},     {t + 7, 4},
      {t + 29.5, 4},   {t + 30, 5},      {t + 3000, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyTaskDateGroup(c.date, t + 0.7), c.code) << c.date - t;
}

TEST(TaskGroupHeaders, KindsValuesTitlesAndFoldingKeys) {
  CResourceLibraryScope resources;
  ASSERT_TRUE(resources.Loaded());
  ctltest::CTopOwner owner;
  struct Case {
    CListGroupHeader* header;
    int kind;
    int value;
    const wchar_t* title;
  };
  const Case cases[] = {
      {new CCategoryGroupHeader(&owner, -1), 551, -1, L"No category"},
      {new CImportanceGroupHeader(&owner, 1), 552, 1, L"High"},
      {new CImportanceGroupHeader(&owner, -1), 552, -1, L"Low"},
      {new CImportanceGroupHeader(&owner, 7), 552, 7, L""},
      {new CDueGroupHeader(&owner, 0), 553, 0, L"Overdue"},
      {new CDueGroupHeader(&owner, 5), 553, 5, L"Due later"},
      {new CDueGroupHeader(&owner, 6), 553, 6, L"No due date"},
      {new CStartGroupHeader(&owner, 1), 554, 1, L"Starts today"},
      {new CStartGroupHeader(&owner, 6), 554, 6, L"No start date"},
      {new CCompleteGroupHeader(&owner, FALSE), 555, 0, L"Not completed"},
      {new CCompleteGroupHeader(&owner, TRUE), 555, 1, L"Completed"},
      {new CFlagGroupHeader(&owner, 0), 556, 0, L"Normal"},
      {new CFlagGroupHeader(&owner, 2), 556, 1, L"Private"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(AsListGroupHeader(c.header), c.header);
    EXPECT_EQ(c.header->GetKind(), c.kind);
    EXPECT_EQ(c.header->GetValue(), c.value);
    CString title, key;
    c.header->GetTitle(title);
    c.header->GetKey(key);
    EXPECT_EQ(std::wstring(title), c.title) << c.kind << " " << c.value;
    EXPECT_EQ(std::wstring(key), std::wstring(title));
    delete c.header;
  }
}
