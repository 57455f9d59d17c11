#include "base/BitmapDC.h"

#include <gtest/gtest.h>

namespace {

bool IsBitmap(HBITMAP bitmap) {
  BITMAP info;
  return GetObjectW(bitmap, sizeof(info), &info) != 0;
}

TEST(BitmapDC, CreatedBitmapsAreOwnedAttachedOnesAreNot) {
  HBITMAP mine = CreateBitmap(3, 2, 1, 32, nullptr);
  CBitmapDC dc;
  ASSERT_TRUE(dc.Create(4, 5));
  HBITMAP owned = dc.GetBitmap();
  EXPECT_EQ(dc.GetSize().cx, 4);
  EXPECT_EQ(dc.GetSize().cy, 5);

  ASSERT_TRUE(dc.Attach(mine));  // releases the first: owned, so deleted
  EXPECT_FALSE(IsBitmap(owned));
  EXPECT_EQ(dc.GetSize().cx, 3);
  EXPECT_EQ(GetCurrentObject(dc.GetDC(), OBJ_BITMAP), mine);

  ASSERT_TRUE(dc.Create(1, 1));  // releases the attached one: kept
  EXPECT_TRUE(IsBitmap(mine));
  dc.Release();
  EXPECT_EQ(dc.GetDC(), nullptr);
  EXPECT_EQ(dc.GetBitmap(), nullptr);
  EXPECT_EQ(dc.GetSize().cx, 0);
  DeleteObject(mine);
}

TEST(BitmapDC, AttachFailsForWhatCannotBeSelected) {
  CBitmapDC dc;
  EXPECT_FALSE(dc.Attach(nullptr));
  HBITMAP selected = CreateBitmap(2, 2, 1, 32, nullptr);
  CBitmapDC holder;
  ASSERT_TRUE(holder.Attach(selected));
  // A bitmap sits in one memory DC at a time.
  EXPECT_FALSE(dc.Attach(selected));
  EXPECT_EQ(dc.GetDC(), nullptr);
  holder.Release();
  DeleteObject(selected);
}

TEST(BitmapDC, FilledAndCopied) {
  CBitmapDC filled;
  ASSERT_TRUE(filled.CreateFilled(6, 4, RGB(10, 200, 30)));
  CBitmapDC copy;
  ASSERT_TRUE(copy.CreateCopy(filled));
  EXPECT_EQ(copy.GetSize().cx, 6);
  EXPECT_EQ(GetPixel(copy.GetDC(), 5, 3), RGB(10, 200, 30));

  CBitmapDC deep;
  ASSERT_TRUE(deep.CreateWithBitCount(8, 8, 1));
  BITMAP info;
  GetObjectW(deep.GetBitmap(), sizeof(info), &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
}

}  // namespace
