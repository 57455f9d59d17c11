#include "base/DialogPlacement.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"

namespace {

struct Window {
  HWND h;
  explicit Window(DWORD style, HWND parent, int x, int y, int w, int h_)
      : h(CreateWindowExW(0, L"STATIC", L"", style, x, y, w, h_, parent, nullptr, nullptr, nullptr)) {}
  ~Window() { DestroyWindow(h); }
  RECT Rect(HWND in = nullptr) const {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
};

RECT WorkArea() {
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

TEST(DialogPlacement, TopLevelDialogCentresOnItsVisibleOwnerInsideTheWorkArea) {
  RECT area = WorkArea();
  Window owner(WS_POPUP, nullptr, area.left + 100, area.top + 100, 200, 100);
  // Shown without taking the foreground: that belongs to the whole desktop, and test
  // programs beside this one keep their popups open only while they have it.
  ShowWindow(owner.h, SW_SHOWNA);
  Window dialog(WS_POPUP, owner.h, 0, 0, 60, 40);
  DlgCenterWindow(dialog.h);
  RECT r = dialog.Rect();
  EXPECT_EQ(r.left, area.left + 100 + 100 - 30);
  EXPECT_EQ(r.top, area.top + 100 + 50 - 20);
  EXPECT_EQ(r.right - r.left, 60);

  // Near the top-left corner the dialog is held inside the area.
  SetWindowPos(owner.h, nullptr, area.left - 50, area.top - 50, 40, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  DlgCenterWindow(dialog.h);
  r = dialog.Rect();
  EXPECT_EQ(r.left, area.left);
  EXPECT_EQ(r.top, area.top);
  // ...and near the bottom-right corner it ends at the area's edge.
  SetWindowPos(owner.h, nullptr, area.right - 10, area.bottom - 10, 40, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  DlgCenterWindow(dialog.h);
  r = dialog.Rect();
  EXPECT_EQ(r.right, area.right);
  EXPECT_EQ(r.bottom, area.bottom);

  // A hidden owner is no reference: the work area is.
  ShowWindow(owner.h, SW_HIDE);
  DlgCenterWindow(dialog.h);
  r = dialog.Rect();
  EXPECT_EQ(r.left, (area.left + area.right) / 2 - 30);
  EXPECT_EQ(r.top, (area.top + area.bottom) / 2 - 20);
}

TEST(DialogPlacement, ChildDialogCentresInItsParentsClientArea) {
  Window parent(WS_POPUP, nullptr, 10, 10, 300, 200);
  Window reference(WS_CHILD, parent.h, 200, 100, 80, 60);
  Window dialog(WS_CHILD, parent.h, 0, 0, 50, 30);
  DlgCenterWindow(dialog.h);
  RECT r = dialog.Rect(parent.h);
  EXPECT_EQ(r.left, 150 - 25);
  EXPECT_EQ(r.top, 100 - 15);
  DlgCenterWindow(dialog.h, reference.h);
  r = dialog.Rect(parent.h);
  EXPECT_EQ(r.left, 240 - 25);
  EXPECT_EQ(r.top, 130 - 15);
}

// The gap left for the neighbour's arrow follows the dpi the program set, as every
// other logical size does.
TEST(DialogPlacement, ControlFitsBesideItsNeighbour) {
  struct Case {
    int dpi;
    int inset;
  };
  const Case cases[] = {{96, 13}, {131, 18}, {192, 26}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    SetScreenDpi(c.dpi, c.dpi);
    Window dialog(WS_POPUP, nullptr, 0, 0, 300, 200);
    Window control(WS_CHILD, dialog.h, 5, 5, 10, 10);
    Window neighbour(WS_CHILD, dialog.h, 40, 60, 120, 22);
    Window optional(WS_CHILD, dialog.h, 170, 50, 30, 10);
    DlgFitControlBeside(dialog.h, control.h, neighbour.h, optional.h);
    RECT r = control.Rect(dialog.h);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right, 160 - c.inset);
    EXPECT_EQ(r.bottom, 82);
    r = optional.Rect(dialog.h);
    EXPECT_EQ(r.left, 170);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom - r.top, 22);
  }
  SetScreenDpi(0, 0);
  InitScreenDpi();
}

}  // namespace
