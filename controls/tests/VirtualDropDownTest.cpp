#include "controls/VirtualDropDown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "controls/tests/MenuAnswer.h"
#include "controls/tests/TestHost.h"

namespace {

using ctltest::CTestHost;

struct CListener : IDropDownListener {
  void OnSelectionChanged(CVirtualDropDown* selector, int id) override { changed.push_back({selector, id}); }
  void OnItemChosen(int id) override { chosen.push_back(id); }
  std::vector<std::pair<CVirtualDropDown*, int>> changed;
  std::vector<int> chosen;
};

// A selector of three items across the top of a host window.
struct Selector {
  Selector() : host(120, 40) {
    RECT bounds = {10, 5, 110, 25};
    drop.SetRect(&bounds);
    host.root.AddChild(&drop);
    drop.SetOwner(&listener);
    drop.SetCaption(L"Pick one");
    drop.AddItem(CMenuEntry(0, L"None"));
    drop.AddItem(CMenuEntry(7, L"Tom & Jerry"));
    drop.AddItem(CMenuEntry(9, L"Ninth", L"9th"));
    Paint();
  }
  void Paint() {
    RECT client = {0, 0, 120, 40};
    host.root.RenderBackBuffer(client);
  }
  void Tap(int x, int y) {
    host.Tap(WM_LBUTTONDOWN, x, y);
    host.Tap(WM_LBUTTONUP, x, y);
  }
  CTestHost host;
  CVirtualDropDown drop;
  CListener listener;
};

TEST(VirtualDropDown, MenuShowsSecondTextsWithAmpersandsAndTheCurrentChecked) {
  Selector s;
  s.drop.SetSelection(9, FALSE);
  HMENU menu = CreatePopupMenu();
  s.drop.FillMenu(menu, 0);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  CMenuAnswer reader;
  CMenuAnswer::Answer(menu, 0, 0, 0, nullptr, &reader);
  DestroyMenu(menu);
  EXPECT_EQ(reader.items[0].id, -1) << "identifier 0 would read as a dismissed menu";
  EXPECT_EQ(reader.items[1].text, L"Tom && Jerry");
  EXPECT_EQ(reader.items[2].text, L"9th");
  EXPECT_TRUE(reader.items[2].checked);
  EXPECT_TRUE(reader.items[2].radio);
  EXPECT_FALSE(reader.items[1].checked);
}

TEST(VirtualDropDown, ATapOnTheFaceOpensTheMenuAndTheChoiceReachesTheOwner) {
  Selector s;
  CMenuAnswer menu;
  menu.answer = 7;
  const RECT face = s.drop.GetFaceRect();
  ASSERT_FALSE(IsRectEmpty(&face));
  EXPECT_EQ(face.right, 110) << "the face stands at the right edge";

  ASSERT_GT(face.left, 12);
  s.Tap(12, 15);  // inside the bounds, left of the face
  EXPECT_EQ(menu.shown, 0);

  s.Tap(face.right - 2, 15);
  EXPECT_EQ(menu.shown, 1);
  EXPECT_EQ(menu.flags, static_cast<UINT>(TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTALIGN));
  POINT corner = {110, 25};
  ClientToScreen(s.host.m_hWnd, &corner);
  EXPECT_EQ(menu.at.x, corner.x);
  EXPECT_EQ(menu.at.y, corner.y);
  EXPECT_EQ(menu.owner, s.host.m_hWnd);
  EXPECT_EQ(s.drop.GetSelectedId(), 7);
  ASSERT_EQ(s.listener.changed.size(), 1u);
  EXPECT_EQ(s.listener.changed[0].first, &s.drop);
  EXPECT_EQ(s.listener.changed[0].second, 7);
  EXPECT_EQ(s.listener.chosen, std::vector<int>{7});
  EXPECT_FALSE(s.drop.IsMenuOpen());
  EXPECT_EQ(s.host.root.GetCapturedElement(), nullptr);
}

TEST(VirtualDropDown, EnterOpensTheMenuAndChoosingTheCurrentAgainOnlyReportsTheChoice) {
  Selector s;
  s.drop.SetSelection(9, FALSE);
  s.drop.SetFocus();
  CMenuAnswer menu;
  menu.answer = 9;
  s.host.Send(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(menu.shown, 1);
  EXPECT_TRUE(s.listener.changed.empty());
  EXPECT_EQ(s.listener.chosen, std::vector<int>{9});

  // -1 stands for identifier 0; a dismissed menu (0) changes nothing.
  menu.answer = -1;
  s.drop.ShowMenu();
  EXPECT_EQ(s.drop.GetSelectedId(), 0);
  menu.answer = 0;
  s.drop.ShowMenu();
  EXPECT_EQ(s.drop.GetSelectedId(), 0);
  EXPECT_EQ(s.listener.chosen, (std::vector<int>{9, 0}));
}

TEST(VirtualDropDown, LeftAlignedStyleOpensTheMenuAtTheLeftEdge) {
  Selector s;
  s.drop.SetStyle(DROPDOWN_ALIGN_LEFT | DROPDOWN_ARROW_LEFT);
  s.Paint();
  EXPECT_EQ(s.drop.GetFaceRect().left, 10);
  CMenuAnswer menu;
  s.Tap(12, 15);
  ASSERT_EQ(menu.shown, 1);
  EXPECT_EQ(menu.flags, static_cast<UINT>(TPM_RETURNCMD | TPM_NONOTIFY));
  POINT corner = {10, 25};
  ClientToScreen(s.host.m_hWnd, &corner);
  EXPECT_EQ(menu.at.x, corner.x);
}

// The face's margin keeps the text off the arrow when the arrow is on the right; an
// arrow on the left stands at the margin with the text after it.
TEST(VirtualDropDown, TheTextNeverTouchesTheArrow) {
  struct Case {
    const char* name;
    DWORD style;
  };
  const Case cases[] = {
      {"right aligned, arrow right", 0},
      {"left aligned, arrow right", DROPDOWN_ALIGN_LEFT},
      {"right aligned, arrow left", DROPDOWN_ARROW_LEFT},
      {"left aligned, arrow left", DROPDOWN_ALIGN_LEFT | DROPDOWN_ARROW_LEFT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Selector s;
    s.drop.SetStyle(c.style);
    CDib canvas;
    ASSERT_TRUE(canvas.CreateFilled(120, 40, RGB(255, 255, 255)));
    CTextRunList context(&canvas, RECT{0, 0, 0, 0});
    s.drop.Paint(&context);
    ASSERT_EQ(context.GetRunCount(), 1);
    const RECT text = context.GetRun(0).rect;
    const RECT face = s.drop.GetFaceRect();
    const int arrow = ScaleX(13), margin = ScaleX(2);
    if (c.style & DROPDOWN_ARROW_LEFT) {
      EXPECT_EQ(text.left, face.left + margin + arrow);
      EXPECT_EQ(text.right, face.right);
    } else {
      EXPECT_EQ(text.left, face.left);
      EXPECT_EQ(text.right, face.right - arrow - margin);
    }
    EXPECT_EQ(face.right - face.left, arrow + margin + MeasureControlText(GetControlBoldFont(), L"Pick one").cx);
  }
}

TEST(VirtualDropDown, RemovingAllItemsLeavesNothingCurrent) {
  Selector s;
  s.drop.SetSelection(9, FALSE);
  s.drop.RemoveAllItems();
  EXPECT_EQ(s.drop.GetCount(), 0);
  EXPECT_EQ(s.drop.GetSelectedIndex(), -1);
  EXPECT_EQ(s.drop.GetSelectedId(), -1);
  s.Paint();  // shows the caption, reads no item

  // A refill: the item at the old index is new, and choosing it is a change.
  s.drop.AddItem(CMenuEntry(1, L"One"));
  s.drop.AddItem(CMenuEntry(2, L"Two"));
  s.drop.AddItem(CMenuEntry(3, L"Three"));
  s.drop.SetSelection(3, TRUE);
  ASSERT_EQ(s.listener.changed.size(), 1u);
  EXPECT_EQ(s.listener.changed[0].second, 3);
  s.drop.SetSelection(42, TRUE);
  EXPECT_EQ(s.drop.GetSelectedId(), 3) << "an unknown identifier changes nothing";
}

// The real menu loop: an item inserted with identifier -1 (a selector's identifier
// 0) comes back as -1, not as a dismissed menu.
TEST(PopupMenuTracker, AnItemOfIdentifierMinusOneComesBackAsMinusOne) {
  CTestHost host(100, 40);
  HMENU menu = CreatePopupMenu();
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(-1)), L"None");
  // Once the menu is up, Down selects the item and Enter chooses it.
  // A menu still up a second later is ended: never wait for a person.
  static int ticks;
  static bool sent;
  ticks = 0;
  sent = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    // This thread's menu window: other programs may have menus up too.
    HWND popup = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
          wchar_t name[16] = {};
          GetClassNameW(window, name, 16);
          if (lstrcmpW(name, L"#32768") != 0 || !IsWindowVisible(window)) return TRUE;
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&popup));
    ++ticks;
    if (!sent && popup) {
      sent = true;
      PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(popup, WM_KEYUP, VK_DOWN, 0xC0000001);
      PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(popup, WM_KEYUP, VK_RETURN, 0xC0000001);
    } else if (ticks > 20) {
      EndMenu();
    }
  });
  ShowWindow(host.m_hWnd, SW_SHOW);
  SetForegroundWindow(host.m_hWnd);
  const int result = CPopupMenuTracker::Track(menu, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, host.m_hWnd);
  KillTimer(nullptr, timer);
  DestroyMenu(menu);
  EXPECT_EQ(result, -1);
}

}  // namespace

namespace {

// A header sized by the face alone would change height and width with the choice.
TEST(VirtualDropDown, WidestItemSizeDoesNotFollowTheChoice) {
  CVirtualDropDown selector;
  selector.AddItem(CMenuEntry(1, L"All"));
  selector.AddItem(CMenuEntry(2, L"Everything due this week and later"));
  selector.AddItem(CMenuEntry(3, L"x", L"Shown as a longer face text"));
  RECT narrow = {0, 0, ScaleX(40), ScaleY(14)};
  selector.SetRect(&narrow);
  const SIZE longest = MeasureControlText(GetControlBoldFont(), L"Everything due this week and later");
  SIZE first = {};
  for (int id : {1, 2, 3}) {
    selector.SetSelection(id, FALSE);
    const SIZE widest = selector.GetWidestItemSize();
    if (id == 1) first = widest;
    EXPECT_EQ(widest.cx, first.cx) << id;
    EXPECT_EQ(widest.cy, first.cy) << id;
    EXPECT_GT(widest.cx, longest.cx) << "the widest item and the arrow, not cut to the bounds";
  }
  selector.SetSelection(1, FALSE);
  EXPECT_LT(selector.GetPreferredSize().cx, first.cx) << "the face alone is narrower";
  CVirtualDropDown empty;
  EXPECT_GE(empty.GetWidestItemSize().cy, ScaleY(9)) << "no items: still one line";
}

}  // namespace
