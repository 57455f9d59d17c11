#include "panel/TabIconArchive.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>

#include "graphics/tests/TestImages.h"
#include "platform/imaging/tests/EncodedImage.h"
#include "platform/tests/ByteMutator.h"

namespace {

COLORREF At(const CDib& dib, int x, int y) {
  const BYTE* p = dib.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

// Red picture on the left, a white mask with a black first column on the right.
COLORREF Cells(int x, int y, int cell) {
  (void)y;
  if (x < cell) return RGB(200, 10, 10);
  return x == cell ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

// Members written by our own builder and by the platform's image encoder cut the
// same way; any other size is refused.
TEST(TabIconArchive, CellsOfPicturesFromAnyWriter) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  struct Case {
    const char* what;
    bool encoder;  // the platform's BMP encoder, else our builder
    int width, height;
    BOOL taken;
  };
  const Case cases[] = {
      {"built here", false, 32, 16, TRUE},
      {"written by the image encoder", true, 32, 16, TRUE},
      {"built here, top-down", false, -32, 16, TRUE},
      {"one column too many", false, 33, 16, FALSE},
      {"34 wide", true, 34, 16, FALSE},
      {"one row short", true, 32, 15, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int width = c.width < 0 ? -c.width : c.width;
    auto colour = [&](int x, int y) { return Cells(x, y, width / 2); };
    const std::vector<BYTE> bytes =
        c.encoder ? fixtures::Encode(GUID_ContainerFormatBmp, width, c.height,
                                     [&](int x, int y) { return static_cast<DWORD>(colour(x, y)); })
                  : testimg::MakeBmp(width, c.height, c.width < 0, colour);
    ASSERT_FALSE(bytes.empty());
    CDib picture, mask;
    EXPECT_EQ(SplitTabIconCells(bytes.data(), static_cast<DWORD>(bytes.size()), 16, 16, picture, mask), c.taken);
    if (!c.taken) {
      EXPECT_TRUE(picture.IsEmpty());
      EXPECT_TRUE(mask.IsEmpty());
      continue;
    }
    ASSERT_EQ(picture.GetWidth(), 16);
    ASSERT_EQ(mask.GetHeight(), 16);
    EXPECT_EQ(At(picture, 15, 15), RGB(200, 10, 10));
    EXPECT_EQ(At(mask, 0, 3), RGB(0, 0, 0));
    EXPECT_EQ(At(mask, 1, 3), RGB(255, 255, 255));
    EXPECT_NE(picture.GetBitmap(), nullptr) << "drawable with GDI";
  }
  CoUninitialize();
}

// Any bytes: either two cells of the asked size or nothing, never a fault.
TEST(TabIconArchive, AnyBytesGiveCellsOrNothing) {
  const std::vector<BYTE> valid = testimg::MakeBmp(32, 16, false, [](int x, int y) { return Cells(x, y, 16); });
  fixtures::ByteMutator mutator(0x7AB1C0u);
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> bytes = mutator.Mutate(valid);
    // Half the time one more damage in the headers, where most of the reader's checks are.
    if (mutator.Below(2) && !bytes.empty())
      bytes[mutator.Below(std::min<size_t>(54, bytes.size()))] = static_cast<BYTE>(mutator.Any());
    if (bytes.empty()) bytes.push_back(0);
    // Half the time the file size agrees, so the reader goes past its first check.
    if (mutator.Below(2) && bytes.size() >= 6) testimg::Put32(bytes, 2, static_cast<DWORD>(bytes.size()));
    CDib picture, mask;
    const BOOL taken = SplitTabIconCells(bytes.data(), static_cast<DWORD>(bytes.size()), 16, 16, picture, mask);
    if (taken) {
      ASSERT_EQ(picture.GetWidth(), 16) << round;
      ASSERT_EQ(mask.GetHeight(), 16) << round;
    } else {
      ASSERT_TRUE(picture.IsEmpty() && mask.IsEmpty()) << round;
    }
  }
  CDib picture, mask;
  EXPECT_FALSE(SplitTabIconCells(nullptr, 10, 16, 16, picture, mask));
  EXPECT_FALSE(SplitTabIconCells(valid.data(), static_cast<DWORD>(valid.size()), 0, 16, picture, mask));
}

}  // namespace
