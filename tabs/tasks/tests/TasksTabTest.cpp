// The Tasks tab over a plain array of tasks: the tree of groups and rows for each
// group-by value and sort order, the filter modes, the group-by value validated and
// written back, and rows added, changed and removed one task at a time.
#include "tabs/tasks/TasksTab.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupHeaderItem.h"
#include "panel/TabFilterMenu.h"
#include "panel/tests/PanelTestSupport.h"
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

TEST_F(TasksTabTest, SettingsWrittenByRegExe) {
  AddSample(tasks);
  const std::wstring key = L"\"HKCU\\" + std::wstring(m_machine.Key(TARVO_PRODUCT_KEY).Path()) + L"\"";
  struct Case {
    const wchar_t* values;
    int groupBy;
  };
  // A value of up to four bytes is read as its bytes ("5" is 0x35, no group-by value:
  // 501 is written); a longer one is no number and the default holds.
  const Case cases[] = {
      {L"/v TasksGroupBy /t REG_SZ /d 5", 501},
      {L"/v TasksGroupBy /t REG_SZ /d 553", 551},
      {L"/v TasksGroupBy /t REG_BINARY /d 2A020000", 554},
      {L"/v TasksGroupBy /t REG_DWORD /d 554", 554},
      {L"/v SortOrder554Str /t REG_SZ /d \"zz,DdI,,IC\"", 554},
      {L"/v SortOrder554Active /t REG_DWORD /d 0xFFFFFFFF", 554},
      {L"/v Tasks_ShowTasksStyle /t REG_DWORD /d 9", 554},
      {L"/v TasksFilterID /t REG_DWORD /d 0x7FFFFFFF", 554},
      {L"/v TasksGroupBy /t REG_BINARY /d 2A02000000", 551},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" " + c.values + L" /f"), 0u) << c.values;
    std::unique_ptr<CTasksTab> tab = MakeTab();
    EXPECT_EQ(tab->GetGroupBy(), c.groupBy) << c.values;
    EXPECT_GE(tab->GetMode(), 0);
    EXPECT_LE(tab->GetMode(), 3);
    EXPECT_NE(Tree(*tab), L"no content") << c.values;
  }
}

namespace {

// How many rows the tree shows.
int RowCount(CTasksTab& tab) {
  int rows = 0;
  CContainerElement* content = tab.GetContentList();
  for (int i = 0; content && i < content->GetChildCount(); ++i) {
    CListItem* child = content->GetChild(i);
    if (child->GetKind() == ITEM_KIND_TASK) ++rows;
    if (CListGroupHeader* header = AsListGroupHeader(child)) rows += header->GetChildCount();
  }
  return rows;
}

}  // namespace

// Any stored settings give a tab whose groups hold every task the mode shows, and
// rows kept in step one task at a time end as a rebuild makes them.
TEST_F(TasksTabTest, SeededSettingsAndChangesKeepTheTreeSound) {
  std::mt19937 random(4405);
  const int groupBys[] = {501, 551, 552, 553, 554, 555, 556, 0, 560, -1, 1000000};
  const wchar_t* letters = L"CDdITSx,";
  // Orders without dates: the single-row comparison and the full sort agree on them.
  const wchar_t* dateless[] = {L"CIS", L"IC", L"S", L"C", L"I"};
  const int shownByMode[] = {6, 4, 5, 1};
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    const int groupBy = groupBys[random() % 11];
    const int mode = static_cast<int>(random() % 6);
    Set(L"TasksGroupBy", static_cast<DWORD>(groupBy));
    Set(L"Tasks_ShowTasksStyle", static_cast<DWORD>(mode));
    std::wstring order;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) order += letters[random() % 8];
    wchar_t name[40];
    for (int value : {501, 551, 552, 553, 554, 555, 556}) {
      wsprintfW(name, L"SortOrder%dStr", value);
      CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetString(name, order.c_str());
      wsprintfW(name, L"SortOrder%dActive", value);
      Set(name, random() % 4 ? 0 : static_cast<DWORD>(random()));
    }
    CTaskArray fresh;
    AddSample(fresh);
    std::unique_ptr<CTasksTab> tab(new CTasksTab(nullptr, &fresh, nullptr));
    tab->SetToday(T);
    RECT bounds = {0, 0, 240, 300};
    tab->SetRect(&bounds);
    tab->RebuildContent();
    ASSERT_GE(tab->GetMode(), 0);
    ASSERT_LE(tab->GetMode(), 3);
    EXPECT_EQ(RowCount(*tab), shownByMode[tab->GetMode()]) << Tree(*tab);

    // Single changes under a dateless order, then a rebuild of the same tasks.
    for (int value : {501, 551, 552, 553, 554, 555, 556}) {
      wsprintfW(name, L"SortOrder%dStr", value);
      CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetString(name, dateless[random() % 5]);
      wsprintfW(name, L"SortOrder%dActive", value);
      Set(name, 0);
    }
    tab->RebuildContent();
    for (int step = 0; step < 8; ++step) {
      const int what = static_cast<int>(random() % 3);
      if (what == 0 || fresh.tasks.empty()) {
        const double due = random() % 3 ? T - 3 + static_cast<double>(random() % 50) : N;
        TASK_ITEM* t = fresh.Add(L"New", random() % 2 ? T - 1 : N, due, static_cast<int>(random() % 3) - 1,
                                 random() % 4 == 0, {}, static_cast<int>(random() % 2));
        t->subject.Format(L"New %d", step);
        tab->OnTaskAdded(t, 1);
      } else if (what == 1) {
        TASK_ITEM* t = fresh.tasks[random() % fresh.tasks.size()];
        TASK_ITEM* previous = TASK_ITEM::NewCopy(*t);
        t->due = random() % 3 ? T - 3 + static_cast<double>(random() % 50) : N;
        t->complete = random() % 3 == 0;
        t->importance = static_cast<int>(random() % 3) - 1;
        tab->OnTaskChanged(t, previous);
        previous->Release();
      } else {
        TASK_ITEM* t = fresh.tasks[random() % fresh.tasks.size()];
        tab->OnTaskRemoved(t, 1);
        fresh.Remove(t);
        t->Release();
      }
    }
    const std::wstring kept = Tree(*tab);
    tab->RebuildContent();
    EXPECT_EQ(kept, Tree(*tab)) << "group-by " << tab->GetGroupBy() << " mode " << tab->GetMode();
  }
}


TEST_F(TasksTabTest, ContextMenuOffersGroupByAndSortAndTakesTheirCommands) {
  AddSample(tasks);
  Set(L"TasksGroupBy", 553);
  std::unique_ptr<CTasksTab> tab = MakeTab();
  HMENU menu = CreatePopupMenu();
  tab->FillContextMenu(menu, 0);
  // New task, open Tasks, the common entry, then the group-by values in the
  // selector's order and the group's sort orders (the active one checked).
  EXPECT_EQ(MenuText(menu, false),
            L"1040 1020 - 1027 - Group by{551 555 553[x] 552 556 554 501 } Sort by{5000[x] 5001 5002 } ");
  DestroyMenu(menu);

  tab->OnMenuCommand(552);
  EXPECT_EQ(Get(L"TasksGroupBy"), 552u);
  EXPECT_EQ(tab->GetGroupBy(), 552);
  // Its first order "CS": incomplete first.
  EXPECT_EQ(Tree(*tab), L"552:1[Renew passport,File taxes] 552:0[Call plumber,Paint fence,Read novel] 552:-1[Buy stamps] ");
  // Its third order "S": by subject alone.
  tab->OnMenuCommand(5002);
  EXPECT_EQ(Get(L"SortOrder552Active"), 2u);
  EXPECT_EQ(Tree(*tab), L"552:1[File taxes,Renew passport] 552:0[Call plumber,Paint fence,Read novel] 552:-1[Buy stamps] ");

  // Hidden header: no selector submenus.
  Set(L"HeaderMinimized", 2);
  std::unique_ptr<CTasksTab> hidden = MakeTab();
  menu = CreatePopupMenu();
  hidden->FillContextMenu(menu, 0);
  EXPECT_EQ(MenuText(menu, false), L"1040 1020 - 1027 ");
  DestroyMenu(menu);
}
