#include "controls/ToolbarCtrl.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/CheckListView.h"
#include "platform/windowlib/WindowImpl.h"

namespace {

// A parent that records the commands its controls send.
class CCommandParent : public CWindowImpl<CCommandParent> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsTestCommandParent", 0, -1)
  explicit CCommandParent(int width) {
    RECT at = {0, 0, width, 100};
    Create(nullptr, &at, L"", WS_POPUP);
  }
  ~CCommandParent() override {
    if (m_hWnd) DestroyWindow();
  }
  BOOL ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD) override {
    if (message != WM_COMMAND) return FALSE;
    commands.push_back({wParam, lParam});
    result = 0;
    return TRUE;
  }
  std::vector<std::pair<WPARAM, LPARAM>> commands;
};

RECT ButtonRect(HWND toolbar, UINT command) {
  RECT rect = {};
  const LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0);
  SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  return rect;
}

HWND MakeToolbar(CToolbarCtrl& toolbar, HWND parent) {
  return toolbar.Create(parent, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER, 1, 0, nullptr, 0);
}

TEST(ToolbarCtrl, TheGapKeepsTheRightButtonAtTheRightEdge) {
  struct Case {
    const char* name;
    int width;
    const wchar_t* left;
    const wchar_t* right;
  };
  const Case cases[] = {
      {"wide toolbar", 240, L"Left", L"Right"},
      {"narrower than its two buttons", 50, L"A long left caption", L"A long right one"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandParent parent(c.width);
    CToolbarCtrl toolbar;
    HWND bar = MakeToolbar(toolbar, parent.m_hWnd);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_STYLE) & CCS_NORESIZE);
    toolbar.SetButtonText(ID_TOOLBAR_LEFT, c.left);
    toolbar.SetButtonText(ID_TOOLBAR_RIGHT, c.right);
    RECT client;
    GetClientRect(bar, &client);
    const RECT left = ButtonRect(bar, ID_TOOLBAR_LEFT);
    const RECT gap = ButtonRect(bar, ID_TOOLBAR_GAP);
    const RECT right = ButtonRect(bar, ID_TOOLBAR_RIGHT);
    EXPECT_GE(gap.right - gap.left, 2);
    EXPECT_EQ(left.right, gap.left);
    EXPECT_EQ(gap.right, right.left);
    if (c.width > 100) {
      EXPECT_EQ(right.right, client.right);
    } else {
      EXPECT_EQ(gap.right - gap.left, 2);
      EXPECT_LT(left.right - left.left, toolbar.GetButtonWidth(ID_TOOLBAR_RIGHT) + 40);
    }
  }
}

TEST(ToolbarCtrl, AHiddenButtonGivesItsWidthToTheGap) {
  CCommandParent parent(200);
  CToolbarCtrl toolbar;
  HWND bar = MakeToolbar(toolbar, parent.m_hWnd);
  toolbar.SetButtonText(ID_TOOLBAR_LEFT, L"Left");
  toolbar.SetButtonText(ID_TOOLBAR_RIGHT, L"Right");
  const int before = toolbar.GetButtonWidth(ID_TOOLBAR_GAP);
  toolbar.HideButton(ID_TOOLBAR_RIGHT, TRUE);
  EXPECT_EQ(toolbar.GetButtonWidth(ID_TOOLBAR_RIGHT), 0);
  EXPECT_GT(toolbar.GetButtonWidth(ID_TOOLBAR_GAP), before);
  (void)bar;
}

TEST(ToolbarCtrl, ADropDownBecomesACommandAndCustomDrawIsAnsweredByStage) {
  CCommandParent parent(200);
  CToolbarCtrl toolbar;
  HWND bar = MakeToolbar(toolbar, parent.m_hWnd);
  ASSERT_NE(bar, nullptr);
  const UINT reflected = 0x2000 + WM_NOTIFY;
  NMTOOLBARW drop = {};
  drop.hdr.hwndFrom = bar;
  drop.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
  drop.iItem = ID_TOOLBAR_RIGHT;
  EXPECT_EQ(SendMessageW(bar, reflected, 1, reinterpret_cast<LPARAM>(&drop)), TBDDRET_DEFAULT);
  ASSERT_EQ(parent.commands.size(), 1u);
  EXPECT_EQ(parent.commands[0].first, ID_TOOLBAR_RIGHT);
  EXPECT_EQ(parent.commands[0].second, reinterpret_cast<LPARAM>(bar));

  struct Case {
    DWORD stage;
    LRESULT result;
  };
  const Case cases[] = {{CDDS_PREPAINT, CDRF_NOTIFYITEMDRAW}, {CDDS_ITEMPREPAINT, CDRF_NOTIFYPOSTPAINT},
                        {CDDS_POSTPAINT, 0},   {CDDS_PREERASE, 0},      {CDDS_POSTERASE, 0},
                        {CDDS_ITEMPOSTPAINT, 0}, {CDDS_ITEMPREERASE, 0}, {CDDS_ITEMPOSTERASE, 0},
                        {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stage);
    NMCUSTOMDRAW draw = {};
    draw.hdr.hwndFrom = bar;
    draw.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
    draw.dwDrawStage = c.stage;
    EXPECT_EQ(SendMessageW(bar, reflected, 1, reinterpret_cast<LPARAM>(&draw)), c.result);
  }
}

struct ListFixture {
  ListFixture() : parent(200) {
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200, 100,
                                parent.m_hWnd, nullptr, nullptr, nullptr);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    view.Attach(list);
    for (int i = 0; i < 4; ++i) view.InsertItem(i, L"row");
  }
  HWND hwnd() { return view.m_hWnd; }
  void Select(int item, BOOL on) {
    ListView_SetItemState(hwnd(), item, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
  }
  std::vector<bool> Checks() {
    std::vector<bool> out;
    for (int i = 0; i < 4; ++i) out.push_back(ListView_GetCheckState(hwnd(), i) != 0);
    return out;
  }
  CCommandParent parent;
  CCheckListView view;
};

TEST(CheckListView, TickingASelectedRowTicksEverySelectedRow) {
  ListFixture f;
  EXPECT_EQ(ListView_GetExtendedListViewStyle(f.hwnd()) & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
            static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
  f.Select(0, TRUE);
  f.Select(1, TRUE);
  f.Select(2, TRUE);
  // The list view toggles the row itself after the others took its coming state.
  f.view.ApplyToSelection(1);
  ListView_SetCheckState(f.hwnd(), 1, TRUE);
  EXPECT_EQ(f.Checks(), (std::vector<bool>{true, true, true, false}));
  f.view.ApplyToSelection(0);
  ListView_SetCheckState(f.hwnd(), 0, FALSE);
  EXPECT_EQ(f.Checks(), (std::vector<bool>{false, false, false, false}));
  // A row that is not selected changes alone.
  f.view.ApplyToSelection(3);
  EXPECT_EQ(f.Checks(), (std::vector<bool>{false, false, false, false}));
}

TEST(CheckListView, LongItemTextsComeBackWhole) {
  ListFixture f;
  std::wstring longText(1000, L'x');
  f.view.InsertItem(4, longText.c_str());
  CString text;
  EXPECT_EQ(f.view.GetItemText(4, 0, text), 1000);
  EXPECT_EQ(std::wstring(static_cast<LPCWSTR>(text)), longText);
  EXPECT_EQ(f.view.GetItemText(0, 0, text), 3);
}

}  // namespace
