#include "base/ZoomSettings.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include <gtest/gtest.h>

namespace {

class ZoomSettings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(machine.Redirected()); }

  CLocalMachineSandbox machine{L"ZoomSettings"};
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
};

TEST_F(ZoomSettings, MissingRowIsReadWithItsSmallestLevelAndWrittenBack) {
  CZoomSettings zoom;
  EXPECT_EQ(zoom.GetZoom(0), 90);
  EXPECT_EQ(zoom.GetZoom(1), 95);
  EXPECT_EQ(zoom.GetZoom(2), 95);
  DWORD stored = 0;
  ASSERT_TRUE(product.ReadDWORD(L"Zoom_Messages", stored));
  EXPECT_EQ(stored, 90u);
  ASSERT_TRUE(product.ReadDWORD(L"Zoom_TextNotes", stored));
  EXPECT_EQ(stored, 95u);

  // Read once per object: a later change is seen by a new object only.
  product.WriteDWORD(L"Zoom_Messages", 135);
  EXPECT_EQ(zoom.GetZoom(0), 90);
  EXPECT_EQ(CZoomSettings().GetZoom(0), 135);
}

TEST_F(ZoomSettings, CurrentRowIsTheLastOneAsked) {
  product.WriteDWORD(L"Zoom_Messages", 100);
  product.WriteDWORD(L"Zoom_TextNotes", 120);
  CZoomSettings zoom;
  EXPECT_EQ(zoom.GetZoom(-1), 100) << "row 0 after construction";
  EXPECT_EQ(zoom.GetZoom(2), 120);
  EXPECT_EQ(zoom.GetZoom(-1), 120);
  EXPECT_EQ(zoom.GetZoomLevel(-1), 2);
  EXPECT_EQ(zoom.GetZoom(7), 120) << "a row that does not exist stays on the current row";
}

TEST_F(ZoomSettings, LevelIsTheFirstWhoseLowerHalfwayPointThePercentageReaches) {
  struct Case {
    DWORD percent;
    int level;
  };
  const Case cases[] = {{150, 0}, {142, 0}, {141, 1}, {127, 1}, {126, 2}, {110, 2},
                        {109, 3}, {95, 3},  {94, 4},  {90, 4},  {10, 4},  {400, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    product.WriteDWORD(L"Zoom_Messages", c.percent);
    CZoomSettings zoom;
    EXPECT_EQ(zoom.GetZoomLevel(0), c.level);
  }
  // Row 1's smallest level is 95: halfway to 100 is 97.
  product.WriteDWORD(L"Zoom_InkNotes", 97);
  EXPECT_EQ(CZoomSettings().GetZoomLevel(1), 3);
  product.WriteDWORD(L"Zoom_InkNotes", 96);
  EXPECT_EQ(CZoomSettings().GetZoomLevel(1), 4);
}

TEST_F(ZoomSettings, SetLevelStoresItsPercentageWithTheLevelClamped) {
  struct Case {
    int row;
    int level;
    int percent;
  };
  const Case cases[] = {{0, 0, 150}, {0, 2, 120}, {0, 4, 90}, {1, 4, 95},
                        {0, 5, 90},  {0, 99, 90}, {2, -1, 150}, {1, -7, 150}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << "/" << c.level);
    CZoomSettings zoom;
    EXPECT_EQ(zoom.SetZoomLevel(c.row, c.level), c.percent);
    EXPECT_EQ(zoom.GetZoom(c.row), c.percent);
    EXPECT_EQ(CZoomSettings().GetZoom(c.row), c.percent) << "stored";
  }
}

}  // namespace
