// The Tasks tab over a plain array of tasks: the tree of groups and rows for each
// group-by value and sort order, the filter modes, the group-by value validated and
// written back, and rows added, changed and removed one task at a time.
#include "tabs/tasks/TasksTab.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupHeaderItem.h"
#include "panel/TabFilterMenu.h"
#include "tabs/tasks/TaskRowRenderer.h"
#include "tabs/tasks/tests/TaskArray.h"

using tasktest::CTaskArray;

namespace {

const double T = 46365.0;  // 2026-12-09
const double N = kNoDate;

// The sample: overdue, due today, tomorrow, undated, completed, not started.
void AddSample(CTaskArray& a) {
  a.Add(L"Renew passport", T - 10, T - 2, 1);
  a.Add(L"Call plumber", T - 1, T, 0);
  a.Add(L"Buy stamps", N, T + 1, -1);
  a.Add(L"Read novel", N, N, 0, FALSE, {}, 1);
  a.Add(L"File taxes", T - 30, T - 20, 1, TRUE);
  a.Add(L"Paint fence", T + 5, T + 12, 0);
}

// "kind:value[subject,subject] " for each top-level row; item rows of a flat list by
// subject; the empty header as "none".
std::wstring Tree(CTasksTab& tab) {
  std::wstring out;
  CContainerElement* content = tab.GetContentList();
  if (!content) return L"no content";
  auto subject = [](CListItem* row) -> std::wstring {
    if (row->GetKind() != ITEM_KIND_TASK) return L"?";
    return static_cast<CTaskRowRenderer*>(row)->GetTask()->subject.GetString();
  };
  for (int i = 0; i < content->GetChildCount(); ++i) {
    CListItem* child = content->GetChild(i);
    if (child->GetKind() == ITEM_KIND_GROUP_HEADER) {
      out += L"none ";
      continue;
    }
    if (CListGroupHeader* header = AsListGroupHeader(child)) {
      out += std::to_wstring(header->GetKind()) + L":" + std::to_wstring(header->GetValue()) + L"[";
      for (int j = 0; j < header->GetChildCount(); ++j) out += (j ? L"," : L"") + subject(header->GetChild(j));
      out += L"] ";
      continue;
    }
    out += subject(child) + L" ";
  }
  return out;
}

class TasksTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CTaskRowRenderer::SetToday(T);
    Set(L"Tasks_ShowTasksStyle", 0);
  }
  void TearDown() override { CTaskRowRenderer::SetToday(0); }
  void Set(const wchar_t* name, DWORD value) { CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetDWORD(name, value); }
  DWORD Get(const wchar_t* name) { return CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE).QueryDWORD(name); }
  // A tab with its header laid out (the selectors made) and its rows built.
  std::unique_ptr<CTasksTab> MakeTab() {
    std::unique_ptr<CTasksTab> tab(new CTasksTab(nullptr, &tasks, nullptr));
    tab->SetToday(T);
    RECT bounds = {0, 0, 240, 300};
    tab->SetRect(&bounds);
    tab->RebuildContent();
    return tab;
  }

  CLocalMachineSandbox m_machine{L"TasksTab"};
  CResourceLibraryScope m_resources;
  CTaskArray tasks;
};

}  // namespace

TEST_F(TasksTabTest, GroupsAndRowsForEachGroupByAndOrder) {
  AddSample(tasks);
  struct Case {
    DWORD groupBy;
    const wchar_t* order;  // "" keeps the default orders
    const wchar_t* tree;
  };
  const Case cases[] = {
      {553, L"", L"553:0[File taxes,Renew passport] 553:1[Call plumber] 553:2[Buy stamps] 553:4[Paint fence] 553:6[Read novel] "},
      {553, L"dI", L"553:0[Renew passport,File taxes] 553:1[Call plumber] 553:2[Buy stamps] 553:4[Paint fence] 553:6[Read novel] "},
      {552, L"dI", L"552:1[Renew passport,File taxes] 552:0[Paint fence,Call plumber,Read novel] 552:-1[Buy stamps] "},
      {552, L"D", L"552:1[File taxes,Renew passport] 552:0[Call plumber,Paint fence,Read novel] 552:-1[Buy stamps] "},
      {555, L"", L"555:0[Buy stamps,Call plumber,Paint fence,Read novel,Renew passport] 555:1[File taxes] "},
      {556, L"C", L"556:0[Buy stamps,Call plumber,Paint fence,Renew passport,File taxes] 556:1[Read novel] "},
      {554, L"I", L"554:0[File taxes,Renew passport,Call plumber] 554:3[Paint fence] 554:6[Read novel,Buy stamps] "},
      {551, L"", L"551:-1[Renew passport,Call plumber,Paint fence,Read novel,Buy stamps,File taxes] "},
      {501, L"I", L"File taxes Renew passport Call plumber Paint fence Read novel Buy stamps "},
  };
  for (const Case& c : cases) {
    Set(L"TasksGroupBy", c.groupBy);
    if (*c.order) {
      wchar_t name[32];
      wsprintfW(name, L"SortOrder%dStr", c.groupBy);
      CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetString(name, c.order);
      wsprintfW(name, L"SortOrder%dActive", c.groupBy);
      Set(name, 0);
    }
    std::unique_ptr<CTasksTab> tab = MakeTab();
    EXPECT_EQ(tab->GetGroupBy(), static_cast<int>(c.groupBy));
    EXPECT_EQ(Tree(*tab), c.tree) << c.groupBy << " " << c.order;
  }
}

TEST_F(TasksTabTest, GroupByIsValidatedAndWrittenBack) {
  struct Case {
    DWORD stored;  // ~0: missing
    int used;
    DWORD after;
  };
  const Case cases[] = {{560, 501, 501}, {501, 501, 501}, {~0u, 551, 551}, {554, 554, 554}, {0, 501, 501}, {557, 501, 501}};
  for (const Case& c : cases) {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    if (c.stored == ~0u)
      RegDeleteValueW(key.GetHandle(), L"TasksGroupBy");
    else
      key.SetDWORD(L"TasksGroupBy", c.stored);
    std::unique_ptr<CTasksTab> tab = MakeTab();
    EXPECT_EQ(tab->GetGroupBy(), c.used) << c.stored;
    EXPECT_EQ(Get(L"TasksGroupBy"), c.after) << c.stored;
    EXPECT_EQ(tab->GetSortSelector()->GetSelectedId(), c.used);
  }
  // A choice in the selector is stored and followed.
  Set(L"TasksGroupBy", 551);
  std::unique_ptr<CTasksTab> tab = MakeTab();
  tab->GetSortSelector()->OnItemChosen(555);
  EXPECT_EQ(Get(L"TasksGroupBy"), 555u);
  EXPECT_EQ(tab->GetGroupBy(), 555);
}

TEST_F(TasksTabTest, FilterModesAndTheEmptyList) {
  AddSample(tasks);
  Set(L"TasksGroupBy", 501);
  struct Case {
    int mode;
    const wchar_t* tree;
  };
  const Case cases[] = {
      {0, L"Renew passport Call plumber Paint fence Read novel Buy stamps File taxes "},
      // Only incomplete tasks that have started.
      {1, L"Renew passport Call plumber Read novel Buy stamps "},
      {2, L"Renew passport Call plumber Paint fence Read novel Buy stamps "},
      {3, L"File taxes "},
  };
  std::unique_ptr<CTasksTab> tab = MakeTab();
  for (const Case& c : cases) {
    static_cast<CTabFilterMenu*>(tab->GetFilterSelector())->OnItemChosen(FILTER_CMD_TASKS_STYLE + c.mode);
    EXPECT_EQ(tab->GetMode(), c.mode);
    EXPECT_EQ(Tree(*tab), c.tree) << c.mode;
  }
  CTaskArray none;
  CTasksTab empty(nullptr, &none, nullptr);
  RECT bounds = {0, 0, 240, 300};
  empty.SetRect(&bounds);
  empty.RebuildContent();
  EXPECT_EQ(Tree(empty), L"none ");
}

TEST_F(TasksTabTest, RowsFollowTasksAddedChangedAndRemoved) {
  AddSample(tasks);
  Set(L"TasksGroupBy", 553);
  Set(L"Tasks_ShowTasksStyle", 2);  // incomplete only
  std::unique_ptr<CTasksTab> tab = MakeTab();
  const std::wstring before = Tree(*tab);
  EXPECT_EQ(before, L"553:0[Renew passport] 553:1[Call plumber] 553:2[Buy stamps] 553:4[Paint fence] 553:6[Read novel] ");

  // Added: into its group, at its place; a new group where it belongs.
  TASK_ITEM* early = tasks.Add(L"Answer letters", T - 1, T - 5, 0);
  tab->OnTaskAdded(early, 1);
  TASK_ITEM* week = tasks.Add(L"Book flights", T, T + 3, 0);
  tab->OnTaskAdded(week, 1);
  // A completed task does not pass the filter: no row.
  TASK_ITEM* done = tasks.Add(L"Old chore", T - 3, T - 3, 0, TRUE);
  tab->OnTaskAdded(done, 1);
  EXPECT_EQ(Tree(*tab),
            L"553:0[Answer letters,Renew passport] 553:1[Call plumber] 553:2[Buy stamps] 553:3[Book flights] "
            L"553:4[Paint fence] 553:6[Read novel] ");

  // Changed: moved to its new group; the group it left goes when empty.
  TASK_ITEM* previous = TASK_ITEM::NewCopy(*week);
  week->due = N;
  tab->OnTaskChanged(week, previous);
  previous->Release();
  EXPECT_EQ(Tree(*tab),
            L"553:0[Answer letters,Renew passport] 553:1[Call plumber] 553:2[Buy stamps] 553:4[Paint fence] "
            L"553:6[Book flights,Read novel] ");

  // Completed: it no longer passes, so its row goes.
  previous = TASK_ITEM::NewCopy(*early);
  early->complete = TRUE;
  tab->OnTaskChanged(early, previous);
  previous->Release();

  // Removed.
  TASK_ITEM* plumber = tasks.tasks[1];
  tab->OnTaskRemoved(plumber, 1);
  EXPECT_EQ(Tree(*tab), L"553:0[Renew passport] 553:2[Buy stamps] 553:4[Paint fence] 553:6[Book flights,Read novel] ");

  // The same list built again gives the same tree.
  tasks.Remove(plumber);
  plumber->Release();
  tab->RebuildContent();
  EXPECT_EQ(Tree(*tab), L"553:0[Renew passport] 553:2[Buy stamps] 553:4[Paint fence] 553:6[Book flights,Read novel] ");

  // The last row going leaves the empty header; a new task takes its place.
  CTaskArray one;
  TASK_ITEM* only = one.Add(L"Only", N, T);
  Set(L"TasksGroupBy", 552);
  CTasksTab small(nullptr, &one, nullptr);
  RECT bounds = {0, 0, 240, 300};
  small.SetRect(&bounds);
  small.RebuildContent();
  EXPECT_EQ(Tree(small), L"552:0[Only] ");
  small.OnTaskRemoved(only, 1);
  EXPECT_EQ(Tree(small), L"none ");
  small.OnTaskAdded(only, 1);
  EXPECT_EQ(Tree(small), L"552:0[Only] ");
}
