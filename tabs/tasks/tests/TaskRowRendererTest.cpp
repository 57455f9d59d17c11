// The task row: its state by the dates, its cells and lines by the task pattern, the
// date column, its context menu walked item by item, and its commands and check box
// against a task store and the stand-in item-operations program.
#include "tabs/tasks/TaskRowRenderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/tests/LayoutFixtures.h"
#include "panel/PanelPrompt.h"
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/tests/FakeOndrelSession.h"
#include "tabs/tasks/tests/TaskStoreFixture.h"

using namespace tasktest;

namespace {

const double T = 47544.0;  // 2030-03-02
const double N = kNoDate;

// Records what the row asks of its owner.
struct NullOwner : ctltest::CTopOwner {
  void OnItemNotify(CListItem*, LPARAM value) override { notes.push_back(static_cast<int>(value)); }
  std::vector<int> notes;
};

TASK_ITEM* NewTask(const wchar_t* subject, double start, double due) {
  TASK_ITEM* t = TASK_ITEM::New();
  t->subject = subject;
  t->start = start;
  t->due = due;
  return t;
}

// The view settings the rows read, set for one test and put back.
class CPatternScope {
 public:
  CPatternScope(const wchar_t* pattern, int checkbox = 1, int dateIndent = 1) {
    CViewSettings& s = GetViewSettings();
    m_pattern = s.GetTaskPattern();
    m_checkbox = s.Task_ShowCheckbox;
    m_indent = s.Task_MakeDateIndent;
    CViewSettings::ParsePattern(pattern, s.TaskPattern);
    s.Task_ShowCheckbox = checkbox;
    s.Task_MakeDateIndent = dateIndent;
  }
  ~CPatternScope() {
    CViewSettings& s = GetViewSettings();
    CViewSettings::ParsePattern(m_pattern, s.TaskPattern);
    s.Task_ShowCheckbox = m_checkbox;
    s.Task_MakeDateIndent = m_indent;
  }

 private:
  CString m_pattern;
  int m_checkbox, m_indent;
};

std::wstring Codes(const CTaskRowRenderer& row) {
  std::wstring out;
  for (int k = 0; k < row.GetCellCount(); ++k) out += row.GetCell(k).code;
  return out;
}

}  // namespace

TEST(TaskRowRenderer, StateFollowsTheDates) {
  struct Case {
    double start, due;
    BOOL complete;
    int state;
  };
  const Case cases[] = {
      {N, T - 1, FALSE, CTaskRowRenderer::kStateOverdue},
      {T - 1, T + 1, FALSE, CTaskRowRenderer::kStateCurrent},
      {N, T - 1, TRUE, CTaskRowRenderer::kStateNormal},
      {0, T + 0.9, FALSE, CTaskRowRenderer::kStateCurrent},  // due today, no start
      {T + 1, T + 3, FALSE, CTaskRowRenderer::kStateNormal},  // not started
      {T - 5, N, FALSE, CTaskRowRenderer::kStateNormal},      // no due date
      {T - 5, 0, FALSE, CTaskRowRenderer::kStateNormal},
      {T, T, TRUE, CTaskRowRenderer::kStateCurrent},
  };
  for (const Case& c : cases) {
    TASK_ITEM* t = NewTask(L"x", c.start, c.due);
    t->complete = c.complete;
    EXPECT_EQ(CTaskRowRenderer::ClassifyState(t, T + 0.4), c.state) << c.start - T << " " << c.due - T;
    t->Release();
  }
}

TEST(TaskRowRenderer, CellsLinesAndDatesFollowThePattern) {
  CLocalMachineSandbox machine(L"TaskRowLayout");
  CTaskRowRenderer::SetToday(T);
  NullOwner owner;
  const wchar_t* longSubject = L"Collect the signed forms from every member of the committee before Friday";
  struct Case {
    const wchar_t* pattern;
    int importance;
    const wchar_t* codes;
    int leading;  // cells before the subject
  };
  const Case cases[] = {
      {L"p3nqrsc", 1, L"pnqrs", 1},
      {L"p3nqrsc", 0, L"nqrs", 0},  // normal importance: no priority cell
      {L"np2s", -1, L"nps", 2},
      {L"1", 1, L"", 0},
  };
  for (const Case& c : cases) {
    CPatternScope scope(c.pattern);
    TASK_ITEM* t = NewTask(longSubject, T - 1, T + 2);
    t->importance = c.importance;
    t->hasNote = t->reminderSet = t->recurring = TRUE;
    t->privateValue = 1;
    CTaskRowRenderer row(t, &owner);
    t->Release();
    row.SetSize(ScaleX(200), ScaleX(200), -1, TRUE);
    ASSERT_GT(row.GetHeight(-1), 0);
    EXPECT_EQ(Codes(row), c.codes) << c.pattern;
    if (c.leading > 0) {
      EXPECT_EQ(row.GetCell(0).rect.right, ScaleX(16)) << "the first leading icon ends at the indent";
    }
    for (int k = c.leading; k < row.GetCellCount(); ++k)
      EXPECT_GE(row.GetCell(k).rect.left, row.GetSubjectRect().right) << c.pattern << " cell " << k;
    // The check box: 8 x 8 logical pixels right of the indent, the text after it.
    const RECT& box = row.GetCheckRect();
    EXPECT_EQ(box.right - box.left, ScaleX(8));
    EXPECT_EQ(box.bottom - box.top, ScaleY(8));
    EXPECT_GE(box.left, ScaleX(16) + ScaleX(1));
    EXPECT_EQ(row.GetDateRect().left, box.right + ScaleX(3));
    EXPECT_EQ(row.GetSubjectRect().left, row.GetDateRect().right);
    EXPECT_EQ(row.GetState(), CTaskRowRenderer::kStateCurrent);
  }

  // Line modes: 1 wraps, 2 keeps one line, 3 wraps only while selected.
  struct Lines {
    const wchar_t* pattern;
    bool manyUnselected, manySelected;
  };
  const Lines lines[] = {{L"p1", true, true}, {L"p2", false, false}, {L"p3", false, true}};
  for (const Lines& l : lines) {
    CPatternScope scope(l.pattern);
    TASK_ITEM* t = NewTask(longSubject, N, N);
    CTaskRowRenderer row(t, &owner);
    t->Release();
    row.SetSize(ScaleX(160), ScaleX(160), -1, TRUE);
    const int unselected = row.GetHeight(-1);
    EXPECT_EQ(row.GetSubjectLines() > 1, l.manyUnselected) << l.pattern;
    row.SetSelected(TRUE, TRUE);
    const int selected = row.GetHeight(-1);
    EXPECT_EQ(row.GetSubjectLines() > 1, l.manySelected) << l.pattern;
    EXPECT_EQ(selected > unselected, l.manySelected && !l.manyUnselected) << l.pattern;
  }
  CTaskRowRenderer::SetToday(0);
}

TEST(TaskRowRenderer, DateColumnHiddenMergedOrAbsent) {
  CLocalMachineSandbox machine(L"TaskRowDate");
  NullOwner owner;
  struct Case {
    int dateIndent;
    BOOL hideDate;
    double due;
    bool column;      // a date column of its own
    bool inSubject;   // the date text leads the subject
  };
  const Case cases[] = {
      {1, FALSE, T, true, false},  {0, FALSE, T, false, true}, {1, TRUE, T, false, false},
      {1, FALSE, N, false, false}, {1, FALSE, 0, false, false},
  };
  for (const Case& c : cases) {
    CPatternScope scope(L"p2", 0, c.dateIndent);
    TASK_ITEM* t = NewTask(L"Pay rent", N, c.due);
    CTaskRowRenderer row(t, &owner);
    t->Release();
    row.SetHideDate(c.hideDate);
    row.SetNoStateColouring(TRUE);
    row.SetSize(ScaleX(200), ScaleX(200), -1, TRUE);
    row.GetHeight(-1);
    const std::wstring date = row.GetDateText().GetString(), subject = row.GetSubjectText().GetString();
    EXPECT_EQ(!date.empty(), c.column);
    if (c.column) {
      EXPECT_EQ(date.substr(date.size() - 2), L": ");
    }
    EXPECT_EQ(subject != L"Pay rent", c.inSubject);
    if (c.inSubject) {
      EXPECT_NE(subject.find(L": Pay rent"), std::wstring::npos);
    }
    EXPECT_EQ(row.GetCheckRect().right, 0) << "no check box";
    EXPECT_EQ(row.GetState(), CTaskRowRenderer::kStateNormal) << "no state colouring";
  }
}

TEST(TaskRowRenderer, ContextMenuByTheTask) {
  CLocalMachineSandbox machine(L"TaskRowMenu");
  CResourceLibraryScope resources;
  ASSERT_TRUE(resources.Loaded());
  NullOwner owner;
  struct Case {
    BOOL complete, note;
    int importance, privateValue;
    DWORD categoriesPopup;  // ~0: not stored
    const wchar_t* menu;
  };
  const Case cases[] = {
      {FALSE, TRUE, 1, 0, ~0u,
       L"1119:Mark as completed 1117:Dates... Item{1001:Open 1002:Edit 1120:Show Notes 1008:Categories... } "
       L"Edit{1116:Move to day... 1006:Copy Priority{1115:High[x] 1114:Normal 1113:Low } 1118:Private 1003:Delete } "
       L"Tools{20481:Beam Task } - 1027:Settings... "},
      {TRUE, FALSE, -1, 1, 0,
       L"1119:Mark as not completed 1117:Dates... Item{1001:Open 1002:Edit 1120:Show Notes[grey] } "
       L"Edit{1116:Move to day... 1006:Copy Priority{1115:High 1114:Normal 1113:Low[x] } 1118:Private[x] 1003:Delete } "
       L"Tools{20481:Beam Task } - 1027:Settings... "},
  };
  for (const Case& c : cases) {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    if (c.categoriesPopup != ~0u) key.SetDWORD(L"dbgCategoriesPopup", c.categoriesPopup);
    TASK_ITEM* t = NewTask(L"Plan", N, N);
    t->complete = c.complete;
    t->hasNote = c.note;
    t->importance = c.importance;
    t->privateValue = c.privateValue;
    CTaskRowRenderer row(t, &owner);
    t->Release();
    HMENU menu = CreatePopupMenu();
    row.BuildMenu(menu);
    EXPECT_EQ(MenuText(menu, true), c.menu);
    DestroyMenu(menu);
  }
}

namespace {

struct Prompt {
  std::wstring text, caption;
  UINT type;
};
std::vector<Prompt>* g_prompts = nullptr;
int g_answer = IDNO;

int RecordPrompt(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (g_prompts) g_prompts->push_back({text ? text : L"", caption ? caption : L"", type});
  return g_answer;
}

class TaskRowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetClient(&client);
    CTaskRowRenderer::SetTasksList(&list);
    CTaskRowRenderer::SetClient(&client);
    g_prompts = &prompts;
    m_previousHook = SetPanelMessageHook(RecordPrompt);
  }
  void TearDown() override {
    SetPanelMessageHook(m_previousHook);
    g_prompts = nullptr;
    CTaskRowRenderer::SetTasksList(nullptr);
    CTaskRowRenderer::SetClient(nullptr);
  }
  // The loaded task of a stored one.
  TASK_ITEM* Loaded(DWORD oid) {
    TASK_ITEM* first = nullptr;
    list.EnsureLoaded(&first, TRUE, 0);
    for (int k = 0; k < list.GetTaskCount(); ++k)
      if (list.GetTaskAt(k)->itemOid == oid) return list.GetTaskAt(k);
    return nullptr;
  }
  DWORD Add(const wchar_t* subject, BOOL complete, int importance) {
    StoredTask s;
    s.subject = subject;
    s.due = T;
    s.complete = complete;
    s.importance = importance;
    return store.ItemOid(store.Add(s));
  }
  std::vector<uint32_t> Operations(size_t count) {
    std::vector<uint32_t> out;
    for (const ONDREL_CHANGE_RECORD& r : ondrel.Changes(count)) out.push_back(r.operation);
    return out;
  }

  CLocalMachineSandbox m_machine{L"TaskRowCommands"};
  CResourceLibraryScope m_resources;
  CStoreMode m_mode{true};
  CTaskStore store{true};
  COndrelClient client;
  CTasksList list;
  CFakeOndrelSession ondrel{client};
  NullOwner owner;
  std::vector<Prompt> prompts;
  PFN_PANEL_MESSAGE_HOOK m_previousHook = nullptr;
};

}  // namespace

TEST_F(TaskRowCommands, CompletingAsksUnlessTurnedOffAndUncompletingNeverAsks) {
  const DWORD open = Add(L"Open task", FALSE, 0);
  const DWORD done = Add(L"Done task", TRUE, 0);
  CTaskRowRenderer openRow(Loaded(open), &owner);
  CTaskRowRenderer doneRow(Loaded(done), &owner);

  g_answer = IDNO;
  EXPECT_TRUE(openRow.OnCommand(CTaskRowRenderer::kCmdComplete));
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].caption, L"Open task");
  EXPECT_EQ(prompts[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(Operations(0).empty()) << "No: nothing sent";
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
    EXPECT_FALSE(key.ValueExists(L"Task_DisplayComplMsg")) << "a missing value is not written";
  }

  // The check box is a tap on the same command.
  g_answer = IDYES;
  openRow.SetSize(ScaleX(200), ScaleX(200), -1, TRUE);
  openRow.GetHeight(-1);
  const RECT box = openRow.GetCheckRect();
  POINT centre = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  ASSERT_GT(box.right, box.left);
  EXPECT_TRUE(openRow.OnPress(&centre));
  EXPECT_EQ(prompts.size(), 2u);
  EXPECT_EQ(Operations(1), std::vector<uint32_t>{ONDREL_COMPLETE_TASK});

  // Uncompleting never asks.
  EXPECT_TRUE(doneRow.OnCommand(CTaskRowRenderer::kCmdComplete));
  EXPECT_EQ(prompts.size(), 2u);
  EXPECT_EQ(Operations(2).size(), 2u);

  // With "Task_DisplayComplMsg" 0 completing does not ask.
  CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetDWORD(L"Task_DisplayComplMsg", 0);
  g_answer = IDNO;
  EXPECT_TRUE(openRow.OnCommand(CTaskRowRenderer::kCmdComplete));
  EXPECT_EQ(prompts.size(), 2u);
  EXPECT_EQ(Operations(3).size(), 3u);
}

TEST_F(TaskRowCommands, DeleteAsksWithNoAsTheDefault) {
  const DWORD oid = Add(L"Old task", FALSE, 0);
  CTaskRowRenderer row(Loaded(oid), &owner);
  g_answer = IDNO;
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdDelete));
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
  EXPECT_EQ(prompts[0].caption, L"Old task");
  EXPECT_TRUE(Operations(0).empty());
  g_answer = IDYES;
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdDelete));
  std::vector<ONDREL_CHANGE_RECORD> changes = ondrel.Changes(1);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].operation, static_cast<uint32_t>(ONDREL_DELETE_ITEM));
  EXPECT_EQ(changes[0].objectId, oid);
}

TEST_F(TaskRowCommands, ImportanceIsWrittenOnlyWhenItChanges) {
  const CEOID record = store.Add([] {
    StoredTask s;
    s.subject = L"Urgent";
    s.importance = 1;
    return s;
  }());
  const DWORD oid = store.ItemOid(record);
  CTaskRowRenderer row(Loaded(oid), &owner);
  // The stored value is importance + 1; a write of the same value is not made.
  store.Write(record, {Value(0x00600013, 7)});
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdImportanceHigh));
  EXPECT_EQ(store.ReadLong(record, 0x00600013), 7) << "already high: nothing written";
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdImportanceLow));
  EXPECT_EQ(store.ReadLong(record, 0x00600013), 0);
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdPrivate));
  EXPECT_EQ(store.ReadLong(record, 0x00210013), 1);
  // Commands the row does not know are the add-ins' and are not handled.
  EXPECT_FALSE(row.OnCommand(900));
  EXPECT_FALSE(row.OnCommand(CTaskRowRenderer::kCmdSettings));
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdShowNote));
  EXPECT_TRUE(row.OnCommand(CTaskRowRenderer::kCmdCategories));
  EXPECT_EQ(owner.notes, (std::vector<int>{256, 1552}));
}
