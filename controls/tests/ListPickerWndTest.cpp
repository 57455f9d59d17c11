// The category picker run modally and driven through its seam as a person would:
// ticks, taps, keys, closing in each way, a quit request during the loop.
#include "controls/ListPickerWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "base/ScreenDpi.h"
#include "controls/CategoryChoices.h"
#include "controls/tests/TestHost.h"
#include "platform/coredll/DeviceSwitch.h"

namespace {

// Four categories by record number; display order Home, Travel, Work, Zeta.
class CFakeChoices : public ICategoryChoices {
 public:
  CFakeChoices() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 12, 20);
    ReleaseDC(nullptr, screen);
    m_icon.LoadFromBitmap(bitmap);
  }
  int GetDisplayCount() override { return static_cast<int>(order.size()); }
  int GetDisplayAt(int position) override { return order[position]; }
  CString GetName(int index) override { return names[index].c_str(); }
  CKeyedBitmap* GetIcon(int index) override { return index == 2 ? &m_icon : nullptr; }
  SIZE GetIconSize() override { return {12, 20}; }
  CString BuildNamesText(const CBitSet& set) override {
    std::wstring text;
    for (int i = set.FindNext(0); i >= 0; i = set.FindNext(i + 1)) text += (text.empty() ? L"" : L", ") + names[i];
    return text.c_str();
  }
  std::vector<std::wstring> names = {L"Work", L"Home", L"Travel", L"Zeta"};
  std::vector<int> order = {1, 2, 0, 3};

 private:
  CKeyedBitmap m_icon;
};

using Script = std::function<void(CListPickerWnd&, HWND list)>;

int FindRow(HWND list, const wchar_t* name) {
  LVFINDINFOW find = {};
  find.flags = LVFI_STRING;
  find.psz = name;
  return static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool Ticked(HWND list, int row) {
  return (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
         INDEXTOSTATEIMAGEMASK(2);
}

void Tick(HWND list, const wchar_t* name, bool ticked) {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, FindRow(list, name), reinterpret_cast<LPARAM>(&item));
}

// A point of the row where the list view finds what wants.
bool PointOn(HWND list, int row, UINT wants, POINT* at) {
  RECT bounds = {};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
  for (int x = bounds.left; x < bounds.right; ++x) {
    LVHITTESTINFO hit = {};
    hit.pt = {x, (bounds.top + bounds.bottom) / 2};
    if (SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row && hit.flags == wants) {
      *at = hit.pt;
      return true;
    }
  }
  return false;
}

void Tap(HWND list, POINT at) {
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

int SelectedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

struct PickerFixture : ::testing::Test {
  void SetUp() override {
    // An older Pocket PC: taps and Enter are the picker's own.
    device.Set(L"PlatformType", L"PocketPC");
    device.Set(L"Version", L"4.21");
    ResetPlatformTests();
    SetScreenDpi(96, 96);
    SetCategoryChoices(&choices);
    owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                            nullptr);
    CListPickerWnd::SetModalHook(
        [](CListPickerWnd* picker, void* context) {
          auto* self = static_cast<PickerFixture*>(context);
          self->ownerEnabledInLoop = IsWindowEnabled(self->owner) != FALSE;
          if (self->script) self->script(*picker, picker->GetListView());
        },
        this);
  }
  void TearDown() override {
    CListPickerWnd::SetModalHook(nullptr, nullptr);
    SetCategoryChoices(nullptr);
    DestroyWindow(owner);
    SetScreenDpi(0, 0);
    ctltest::PumpPending();
    ResetPlatformTests();
  }
  BOOL Run(CListPickerWnd& picker, Script run) {
    script = std::move(run);
    return picker.Create(owner, POINT{10, 20}, L"Categories");
  }

  CDeviceSwitch device;
  CFakeChoices choices;
  HWND owner = nullptr;
  Script script;
  bool ownerEnabledInLoop = true;
};

// One table of what a person does and what the caller gets back. The item starts
// in the category Work.
TEST_F(PickerFixture, TicksBecomeTheResultUnlessUndoneOrLeftWithTheLeftKey) {
  struct Case {
    const char* name;
    Script script;
    BOOL changed;
    const wchar_t* result;
  };
  const Case cases[] = {
      {"tick and untick",
       [](CListPickerWnd& p, HWND list) {
         Tick(list, L"Travel", true);
         Tick(list, L"Travel", false);
         PostMessageW(p.m_hWnd, WM_CLOSE, 0, 0);
       },
       FALSE, L""},
      {"tick, close by deactivation",
       [](CListPickerWnd& p, HWND list) {
         Tick(list, L"Travel", true);
         SendMessageW(p.m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
       },
       TRUE, L"Work, Travel"},
      {"untick the item's own",
       [](CListPickerWnd& p, HWND list) {
         Tick(list, L"Work", false);
         PostMessageW(p.m_hWnd, WM_CANCELMODE, 0, 0);
       },
       TRUE, L""},
      {"tick, then Left from the list",
       [](CListPickerWnd&, HWND list) {
         Tick(list, L"Zeta", true);
         PostMessageW(list, WM_KEYDOWN, VK_LEFT, 0);
       },
       FALSE, L"Work, Zeta"},
      {"Enter on the marked row ticks it",
       [](CListPickerWnd& p, HWND list) {
         SendMessageW(list, LVM_SETSELECTIONMARK, 0, FindRow(list, L"Home"));
         SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
         PostMessageW(p.m_hWnd, WM_CLOSE, 0, 0);
       },
       TRUE, L"Work, Home"},
  };
  for (const Case& c : cases) {
    CListPickerWnd picker;
    CBitSet initial;
    initial.Set(0);
    picker.SetInitialSet(initial);
    const BOOL changed = Run(picker, [&](CListPickerWnd& p, HWND list) {
      // The item's categories first and ticked, then the others in display order.
      std::vector<std::wstring> rows;
      for (int row = 0; row < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
        wchar_t text[32] = {};
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = 32;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        rows.push_back(std::wstring(text) + (Ticked(list, row) ? L"+" : L""));
      }
      EXPECT_EQ(rows, (std::vector<std::wstring>{L"Work+", L"Home", L"Travel", L"Zeta"})) << c.name;
      EXPECT_EQ(SelectedRow(list), 0);
      c.script(p, list);
    });
    EXPECT_EQ(changed, c.changed) << c.name;
    EXPECT_EQ(std::wstring(picker.GetResult()), c.result) << c.name;
    EXPECT_TRUE(picker.IsClosed()) << c.name;
    EXPECT_FALSE(ownerEnabledInLoop) << "the owner waits while the popup runs";
    EXPECT_TRUE(IsWindowEnabled(owner)) << c.name;
    EXPECT_EQ(picker.GetListView(), nullptr);
  }
}

// Taps: on the name a row is selected and keeps its tick; on the box the tick
// changes. A Pocket PC 5 leaves taps to the list view and Enter does nothing on
// Pocket PC 5 and later.
TEST_F(PickerFixture, TapsAndEnterFollowTheDevice) {
  struct Case {
    const wchar_t* version;  // null: not a Pocket PC
    bool nameTapTakes;
    bool enterTicks;
  };
  const Case cases[] = {{nullptr, true, true}, {L"4.21", true, true}, {L"5.1", false, false}, {L"6.0", true, false}};
  for (const Case& c : cases) {
    CDeviceSwitch device;
    if (c.version) {
      device.Set(L"PlatformType", L"PocketPC");
      device.Set(L"Version", c.version);
    } else {
      device.Set(L"PlatformType", L"Jupiter");
    }
    ResetPlatformTests();
    CListPickerWnd picker;
    Run(picker, [&](CListPickerWnd& p, HWND list) {
      const int zeta = FindRow(list, L"Zeta");
      POINT at;
      if (c.nameTapTakes) {
        ASSERT_TRUE(PointOn(list, zeta, LVHT_ONITEMLABEL, &at));
        Tap(list, at);
        EXPECT_EQ(SelectedRow(list), zeta);
        EXPECT_FALSE(Ticked(list, zeta)) << "a tap on the name ticks nothing";
      }
      ASSERT_TRUE(PointOn(list, zeta, LVHT_ONITEMSTATEICON, &at));
      Tap(list, at);
      EXPECT_TRUE(Ticked(list, zeta)) << "a tap on the box changes the tick";
      Tap(list, at);
      EXPECT_FALSE(Ticked(list, zeta));
      // A quick second tap comes as a double tap: it is one more tap, so the box turns back.
      Tap(list, at);
      SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
      SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
      ctltest::PumpPending();
      EXPECT_FALSE(Ticked(list, zeta)) << "a double tap on the box is two taps";
      SendMessageW(list, LVM_SETSELECTIONMARK, 0, zeta);
      SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
      EXPECT_EQ(Ticked(list, zeta), c.enterTicks) << (c.version ? c.version : L"desktop");
      PostMessageW(p.m_hWnd, WM_CLOSE, 0, 0);
    });
  }
  ResetPlatformTests();
}

// A quit request during the loop ends the popup as a cancel, reaches the program's
// own loop and leaves the owner enabled.
TEST_F(PickerFixture, AQuitRequestIsPassedOnAndTheOwnerEnabled) {
  CListPickerWnd picker;
  const BOOL changed = Run(picker, [](CListPickerWnd&, HWND list) {
    Tick(list, L"Home", true);
    PostQuitMessage(42);
  });
  EXPECT_FALSE(changed);
  EXPECT_TRUE(picker.IsClosed());
  EXPECT_FALSE(ownerEnabledInLoop);
  EXPECT_TRUE(IsWindowEnabled(owner));
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "posted again";
  EXPECT_EQ(quit.wParam, 42u);
}

// The icon strip: one cell per category, at least 16 pixels high; Down gives the
// list the focus; no categories still runs until closed.
TEST_F(PickerFixture, IconsKeysAndAnEmptyList) {
  CListPickerWnd picker;
  Run(picker, [](CListPickerWnd& p, HWND list) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 4);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 20);
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = FindRow(list, L"Work");
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 2) << "its place in the display order";
    RECT window;
    GetWindowRect(p.m_hWnd, &window);
    EXPECT_EQ(window.right - window.left, 170);
    EXPECT_EQ(window.bottom - window.top, 150);
    SendMessageW(p.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(GetFocus(), list);
    NMHDR odd = {list, CListPickerWnd::kListId, static_cast<UINT>(-50)};
    EXPECT_EQ(SendMessageW(p.m_hWnd, WM_NOTIFY, CListPickerWnd::kListId, reinterpret_cast<LPARAM>(&odd)), 1);
    PostMessageW(p.m_hWnd, WM_CLOSE, 0, 0);
  });

  choices.order.clear();
  CListPickerWnd empty;
  EXPECT_FALSE(Run(empty, [](CListPickerWnd& p, HWND list) {
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(SelectedRow(list), -1);
    SendMessageW(p.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_NE(GetFocus(), list) << "nothing to move to";
    PostMessageW(p.m_hWnd, WM_CLOSE, 0, 0);
  }));
}

}  // namespace
