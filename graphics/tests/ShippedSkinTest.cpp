// The skins the device ships in its install folder: "NewStyle", the default, as a
// .zip written by the art script's zip writer (another program than ours), and
// "Plain", a folder whose scroll bar is one strip. Both must be whole skins at the
// small and the large screen, and a damaged copy of the default must never fault.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/ScreenDpi.h"
#include "graphics/Skin.h"
#include "graphics/tests/SkinFixtures.h"
#include "platform/tests/ByteMutator.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace {

// The source tree's device/skins folder as the program sees it (Wine's Z: drive).
std::wstring SkinsFolder() {
  std::wstring path = L"Z:";
  for (const char* c = TARVO_SKINS_DIR; *c; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
  return path;
}

ziptest::Bytes ReadHostFile(const char* relative) {
  std::ifstream in(std::string(TARVO_SKINS_DIR) + "/" + relative, std::ios::binary);
  return ziptest::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// How many pixels of the rectangle differ from the ground colour.
int Marked(const CDib& dib, int x0, int y0, int w, int h, COLORREF ground) {
  int marked = 0;
  for (int y = y0; y < y0 + h; y++)
    for (int x = x0; x < x0 + w; x++) {
      const BYTE* p = dib.Pixel(x, y);
      if (RGB(p[2], p[1], p[0]) != ground) marked++;
    }
  return marked;
}

struct Shipped {
  const wchar_t* name;  // "Skins\<name>": the .zip is tried first
  int dpi;
  bool partScrollBar;  // else one strip of the skin's own
};

class ShippedSkinTest : public ::testing::TestWithParam<Shipped> {
 protected:
  void SetUp() override { SetScreenDpi(GetParam().dpi, GetParam().dpi); }
  void TearDown() override {
    CSkin::Instance().UseSkinPath(nullptr);
    SetScreenDpi(0, 0);
  }
  skintest::ResourceLibrary m_resources;
};

TEST_P(ShippedSkinTest, IsWholeAndEveryMemberDecodesAndDraws) {
  const Shipped& shipped = GetParam();
  CSkin& skin = CSkin::Instance();
  skin.UseSkinPath((SkinsFolder() + L"\\" + shipped.name).c_str());
  ASSERT_TRUE(skin.IsComplete());
  const int n = shipped.dpi >= 144 ? 32 : 16;

  // Every item icon: a cell of the size's suffix, and it draws something opaque.
  const COLORREF ground = RGB(1, 2, 3);
  for (int id = 0; id < CSkin::kIconCount; id++) {
    SCOPED_TRACE(::testing::Message() << CSkin::GetIconName(id));
    EXPECT_EQ(skin.GetIconSize(id).cx, n);
    EXPECT_EQ(skin.GetIconSize(id).cy, n);
    CDib canvas;
    ASSERT_TRUE(canvas.CreateFilled(n, n, ground));
    ASSERT_NE(skin.DrawIcon(id, &canvas, 0, 0, nullptr), nullptr);
    EXPECT_GT(Marked(canvas, 0, 0, n, n, ground), n * n / 8);
  }

  // The scroll bar: the seven parts, or the skin's own strip, and either way the
  // skin answers every part's size and draws it.
  EXPECT_EQ(skin.HasScrollBar(), shipped.partScrollBar);
  EXPECT_EQ(skin.GetScrollBitmap() != nullptr, !shipped.partScrollBar);
  if (!shipped.partScrollBar) {
    EXPECT_TRUE(skin.IsScrollBitmapFromSkin());
  }
  const int parts = shipped.partScrollBar ? CSkin::kScrollPartCount : skin.GetScrollBitmap()->GetPartCount();
  EXPECT_GE(parts, shipped.partScrollBar ? 7 : 4);
  for (int part = 0; part < parts; part++) {
    SCOPED_TRACE(::testing::Message() << "part " << part);
    const SIZE size = skin.GetScrollPartSize(part);
    ASSERT_GT(size.cx, 0);
    ASSERT_GT(size.cy, 0);
    CDib canvas;
    ASSERT_TRUE(canvas.CreateFilled(size.cx, size.cy, ground));
    ASSERT_NE(skin.DrawScrollPart(part, &canvas, 0, 0, nullptr), nullptr);
    EXPECT_GT(Marked(canvas, 0, 0, size.cx, size.cy, ground), 0);
  }

  // The tab icons: a row for each of the six tabs, at n x n, normal and selected.
  ASSERT_NE(skin.GetTabIcons(), nullptr);
  EXPECT_GE(skin.GetTabIcons()->GetRowCount(), 6);
  CDib strip;
  ASSERT_TRUE(strip.CreateFilled(2 * n, n * 6, ground));
  for (int row = 0; row < 6; row++)
    for (int selected = 0; selected < 2; selected++) {
      ASSERT_TRUE(skin.DrawTabIcon(row, strip.GetDC(), selected * n, row * n, selected));
      strip.ReleaseDC();
      GdiFlush();
      EXPECT_GT(Marked(strip, selected * n, row * n, n, n, ground), n * n / 8) << "row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkinTest,
                         ::testing::Values(Shipped{L"NewStyle", 96, true}, Shipped{L"NewStyle", 192, true},
                                           Shipped{L"Plain", 96, false}, Shipped{L"Plain", 192, false}));

// Switching from one shipped skin to the other takes every piece from the new one.
TEST(ShippedSkins, SwitchingSkinsTakesEveryPieceFromTheNewOne) {
  SetScreenDpi(96, 96);
  skintest::ResourceLibrary resources;
  CSkin& skin = CSkin::Instance();
  skin.UseSkinPath((SkinsFolder() + L"\\NewStyle").c_str());
  ASSERT_TRUE(skin.HasScrollBar());
  const SIZE newUp = skin.GetScrollPartSize(CSkin::kPartUp);
  skin.UseSkinPath((SkinsFolder() + L"\\Plain").c_str());
  EXPECT_FALSE(skin.HasScrollBar());
  ASSERT_NE(skin.GetScrollBitmap(), nullptr);
  EXPECT_TRUE(skin.IsScrollBitmapFromSkin());
  EXPECT_NE(skin.GetScrollPartSize(CSkin::kPartUp).cx, newUp.cx) << "the strip's own part";
  EXPECT_EQ(skin.GetIconSize(0).cx, 16);
  skin.UseSkinPath(nullptr);
  SetScreenDpi(0, 0);
}

// Damaged copies of the default skin: loading it whole, drawing its icons and its
// scroll bar never fault, whatever the damage.
TEST(ShippedSkins, DamagedDefaultSkinNeverFaults) {
  SetScreenDpi(96, 96);
  skintest::ResourceLibrary resources;
  const ziptest::Bytes shipped = ReadHostFile("NewStyle.zip");
  ASSERT_GT(shipped.size(), 1000u);
  ziptest::TempFolder root(L"shipped_skin_fuzz");
  const std::wstring path = root.File(L"NewStyle.zip");
  fixtures::ByteMutator mutator(4242);
  CSkin& skin = CSkin::Instance();
  CDib canvas;
  ASSERT_TRUE(canvas.CreateFilled(40, 40, RGB(0, 0, 0)));
  int complete = 0;
  for (int round = 0; round < 1000; round++) {
    skin.Release();  // closes the archive before its file is rewritten
    ASSERT_TRUE(ziptest::WriteBytes(path, mutator.Mutate(shipped)));
    skin.UseSkinPath(path.c_str());
    if (skin.IsComplete()) complete++;
    for (int id = 0; id < CSkin::kIconCount; id += 7) skin.DrawIcon(id, &canvas, 0, 0, nullptr);
    for (int part = 0; part < CSkin::kScrollPartCount; part++) {
      skin.GetScrollPartSize(part);
      skin.DrawScrollPart(part, &canvas, 0, 0, nullptr);
    }
    skin.DrawTabIcon(0, canvas.GetDC(), 0, 0, TRUE);
    canvas.ReleaseDC();
  }
  EXPECT_GT(complete, 0) << "most single damages miss what a whole skin needs";
  skin.UseSkinPath(nullptr);
  SetScreenDpi(0, 0);
}

}  // namespace
