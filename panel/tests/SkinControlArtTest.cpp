#include "panel/SkinControlArt.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "controls/ScrollBar.h"
#include "controls/TextRunList.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "graphics/tests/SkinFixtures.h"

namespace {

// The scroll bar knows the skin only through the art: the art the panel installs
// gives it the resource library's strip, and nothing without one.
TEST(SkinControlArt, ServesTheScrollBarFromTheSkin) {
  SetScreenDpi(96, 96);
  CSkinControlArt art;
  SetControlArt(&art);
  {
    CSkin::Instance().Release();
    skintest::ResourceLibrary resources;
    ASSERT_NE(resources.Module(), nullptr);
    EXPECT_EQ(art.GetScrollArtKind(), SCROLL_ART_STRIP);
    const SIZE up = art.GetScrollPartSize(SCROLL_PART_UP);
    ASSERT_GT(up.cx, 0);
    CScrollBarElem bar(nullptr);
    EXPECT_EQ(bar.GetWidth(), up.cx + ScaleX(2));
    RECT bounds = {0, 0, bar.GetWidth(), 200};
    bar.SetRect(&bounds);
    bar.SetRange(300, 200);
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(bounds.right, 200, RGB(10, 20, 30)));
    CTextRunList context(&dib, bounds);
    bar.Paint(&context);
    int drawn = 0;
    for (int y = 1; y < 1 + up.cy; ++y)
      for (int x = 1; x < 1 + up.cx; ++x)
        if (GetPixel(dib.GetDC(), x, y) != RGB(10, 20, 30)) ++drawn;
    EXPECT_GT(drawn, up.cx * up.cy / 4) << "the up arrow came from the strip";
  }
  CSkin::Instance().Release();
  EXPECT_EQ(art.GetScrollArtKind(), SCROLL_ART_NONE) << "no library, no skin: no pictures";
  CScrollBarElem plain(nullptr);
  EXPECT_EQ(plain.GetWidth(), ScaleX(2));
  SetControlArt(nullptr);
  SetScreenDpi(0, 0);
}

}  // namespace
