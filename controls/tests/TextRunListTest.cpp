#include "controls/TextRunList.h"

#include <gtest/gtest.h>

#include "graphics/Dib.h"

namespace {

// Dark pixels in a column range of a white picture: where text was drawn.
int InkIn(CDib& dib, int left, int right) {
  int ink = 0;
  for (int y = 0; y < dib.GetHeight(); ++y)
    for (int x = left; x < right; ++x)
      if (dib.Pixel(x, y)[0] < 128) ++ink;
  return ink;
}

struct Canvas {
  Canvas() {
    dib.CreateFilled(120, 30, RGB(255, 255, 255));
    font = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma");
  }
  ~Canvas() { DeleteObject(font); }
  CDib dib;
  HFONT font;
};

TEST(TextRunList, RunsTakeTheAttributesAndClipOfTheirMoment) {
  Canvas canvas;
  CTextRunList runs(&canvas.dib, {0, 0, 50, 30});
  EXPECT_EQ(runs.GetDC(), canvas.dib.GetDC());
  EXPECT_EQ(runs.GetTargetRect().right, 120);
  EXPECT_EQ(runs.SetTextColor(RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_EQ(runs.SetFont(canvas.font), nullptr);
  runs.SetBkMode(OPAQUE);
  RECT r = {0, 0, 120, 30};
  runs.AddText(L"one", &r, DT_LEFT);
  RECT previous = runs.SetClip({60, 0, 120, 30});
  EXPECT_EQ(previous.right, 50);
  EXPECT_EQ(runs.SetColor(RGB(4, 5, 6)), RGB(1, 2, 3));
  runs.AddText(L"two", &r, DT_RIGHT);

  ASSERT_EQ(runs.GetRunCount(), 2);
  const TEXT_RUN& first = runs.GetRun(0);
  EXPECT_EQ(first.text, CString(L"one"));
  EXPECT_EQ(first.textColor, RGB(1, 2, 3));
  EXPECT_EQ(first.bkMode, OPAQUE);
  EXPECT_EQ(first.font, canvas.font);
  EXPECT_EQ(first.clip.right, 50);
  EXPECT_EQ(runs.GetRun(1).clip.left, 60);
  EXPECT_EQ(runs.GetRun(1).textColor, RGB(4, 5, 6));

  runs.ResetStyle();
  EXPECT_EQ(runs.GetRunCount(), 0);
  EXPECT_EQ(runs.GetTextColor(), CLR_INVALID);
  EXPECT_EQ(runs.GetFont(), nullptr);
}

TEST(TextRunList, TextIsClippedToItsRunAndTheDeviceContextIsLeftAsFound) {
  Canvas canvas;
  HDC hdc = canvas.dib.GetDC();
  HGDIOBJ ownFont = GetCurrentObject(hdc, OBJ_FONT);
  CTextRunList runs(&canvas.dib, {0, 0, 30, 30});
  runs.SetFont(canvas.font);
  runs.SetTextColor(RGB(0, 0, 0));
  RECT across = {0, 0, 120, 30};
  runs.AddText(L"WWWWWWWW", &across, DT_LEFT | DT_SINGLELINE);
  runs.Draw(hdc, 0, 0);

  EXPECT_GT(InkIn(canvas.dib, 0, 30), 0);
  EXPECT_EQ(InkIn(canvas.dib, 30, 120), 0) << "the run's clip ends at 30";
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_FONT), ownFont);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(hdc, probe), 0) << "no clip region is left behind";
  DeleteObject(probe);
}

TEST(TextRunList, DrawingMovesRunsAndTheirClipsTogether) {
  Canvas canvas;
  CTextRunList runs(&canvas.dib, {0, 0, 30, 30});
  runs.SetFont(canvas.font);
  runs.SetTextColor(RGB(0, 0, 0));
  RECT across = {0, 0, 120, 30};
  runs.AddText(L"WWWWWWWW", &across, DT_LEFT | DT_SINGLELINE);
  runs.Draw(canvas.dib.GetDC(), 60, 0);
  EXPECT_EQ(InkIn(canvas.dib, 0, 60), 0);
  EXPECT_GT(InkIn(canvas.dib, 60, 90), 0);
  EXPECT_EQ(InkIn(canvas.dib, 90, 120), 0);
}

TEST(TextRunList, AnEmptyClipLeavesTheRunUnclippedWhereverItComes) {
  Canvas canvas;
  CTextRunList runs(&canvas.dib, {0, 0, 10, 30});
  runs.SetFont(canvas.font);
  runs.SetTextColor(RGB(0, 0, 0));
  RECT left = {0, 0, 60, 30}, right = {60, 0, 120, 30};
  runs.AddText(L"WWW", &left, DT_LEFT | DT_SINGLELINE);
  runs.SetClip({0, 0, 0, 0});
  runs.AddText(L"WWW", &right, DT_LEFT | DT_SINGLELINE);
  runs.Draw(canvas.dib.GetDC(), 0, 0);
  EXPECT_EQ(InkIn(canvas.dib, 10, 60), 0);
  EXPECT_GT(InkIn(canvas.dib, 60, 120), 0);
}

TEST(TextRunList, NoTextColourKeepsTheDeviceContextsOwn) {
  Canvas canvas;
  HDC hdc = canvas.dib.GetDC();
  ::SetTextColor(hdc, RGB(0, 0, 0));
  CTextRunList runs(hdc, {0, 0, 0, 0});
  runs.SetFont(canvas.font);
  RECT all = {0, 0, 120, 30};
  runs.AddText(L"WWW", &all, DT_LEFT | DT_SINGLELINE);
  runs.Draw(hdc, 0, 0);
  EXPECT_GT(InkIn(canvas.dib, 0, 120), 0);
}

}  // namespace
