#include "pim/ApptStatusColors.h"

#include <gtest/gtest.h>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/SkinColors.h"

namespace {

TEST(ApptStatusColors, DefaultsAreWrittenBackAndStoredValuesWin) {
  CLocalMachineSandbox machine(L"pim_status_colors");
  ASSERT_TRUE(machine.Redirected());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  struct Case {
    int status;
    const wchar_t* name;
    COLORREF colour;
  };
  const Case cases[] = {
      {-1, L"clrApptStatusBkg", 0xCCCCCC},       {0, L"clrApptStatusFree", 0xFFFFFF},
      {1, L"clrApptStatusTentative", 0xF7CBA5},  {2, L"clrApptStatusBusy", 0xDC4040},
      {3, L"clrApptStatusOutOfOffice", 0x840084}, {4, L"clrApptStatusNotloaded", 0xD2FFFF},
      {5, L"clrApptStatusConfliciting", 0x0000FF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadApptStatusColors(c.status), c.colour) << c.status;
    DWORD stored = 0;
    EXPECT_TRUE(product.ReadDWORD(c.name, stored)) << c.name;
    EXPECT_EQ(stored, c.colour);
  }
  product.WriteDWORD(L"clrApptStatusBusy", 0x123456);
  EXPECT_EQ(LoadApptStatusColors(2), 0x123456u);
  EXPECT_EQ(LoadApptStatusColors(6), 0u);
  EXPECT_EQ(LoadApptStatusColors(-2), 0u);

  // The skin colours take the conflicting colour as their entry 6 once the reader is installed.
  product.WriteDWORD(L"clrApptStatusConfliciting", 0x00ABCDEF);
  CSkinColors::SetStatusColorReader(LoadApptStatusColors);
  CSkinColors::Instance().LoadSystemColors();
  EXPECT_EQ(CSkinColors::Instance().Get(CSkinColors::kStatus), 0x00ABCDEFu);
  CSkinColors::SetStatusColorReader(nullptr);
}

}  // namespace
