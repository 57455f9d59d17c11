#include "settings/pages/NestedSection.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/ViewSettings.h"
#include "settings/pages/tests/PagesTestSupport.h"

namespace {

std::function<INT_PTR()> g_nested;
INT_PTR RunNested(UINT, int, HWND) { return g_nested ? g_nested() : 0; }

class NestedSectionTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    SetSectionRunner(RunNested);
    m_product.WriteDWORD(L"ContLeftIdent", 1);
    m_product.WriteDWORD(L"Task_ShowCheckbox", 1);
    GetViewSettings().Load();
  }
  void TearDown() override {
    g_nested = nullptr;
    PagesTest::TearDown();
  }
  DWORD Stored(const wchar_t* name) {
    DWORD value = 99;
    m_product.ReadDWORD(name, value);
    return value;
  }

  CRegistryView m_product = m_machine.Key(TARVO_PRODUCT_KEY);
};

// The sheet below has changed ContLeftIdent without applying it; the sheet on top
// changes Task_ShowCheckbox.
TEST_F(NestedSectionTest, SheetOnTopSavesOnlyItsOwnEditsAndTheEditsBelowStayUnapplied) {
  CViewSettings& settings = GetViewSettings();
  settings.ContLeftIdent = 0;
  int seenBelow = -1;
  g_nested = [&] {
    seenBelow = settings.ContLeftIdent;
    settings.Task_ShowCheckbox = 0;
    settings.Save();
    return static_cast<INT_PTR>(1);
  };
  m_window.SetChanged(FALSE);
  // Inside a running section, as the link does it.
  SetSectionRunner([](UINT, int, HWND) -> INT_PTR {
    SetSectionRunner(RunNested);
    OpenNestedSection(GetMainWindow()->m_hWnd, 0, 3);
    return 0;
  });
  SendMessageW(m_window, WM_OPENSECTION, 1, 3);
  EXPECT_EQ(seenBelow, 1);                       // the sheet on top starts from what is stored
  EXPECT_EQ(Stored(L"Task_ShowCheckbox"), 0u);   // its own edit is saved
  EXPECT_EQ(Stored(L"ContLeftIdent"), 1u);       // the edit below is not
  EXPECT_EQ(settings.ContLeftIdent, 0);          // and is still there, unapplied
  EXPECT_EQ(settings.Task_ShowCheckbox, 0);
  EXPECT_TRUE(m_window.IsChanged());             // the sheet on top applied
}

TEST_F(NestedSectionTest, CancelledSheetOnTopLeavesTheEditsBelowAsTheyWere) {
  CViewSettings& settings = GetViewSettings();
  settings.ContLeftIdent = 0;
  g_nested = [&] {
    settings.Task_ShowCheckbox = 0;  // edited, never applied
    return static_cast<INT_PTR>(0);
  };
  SetSectionRunner([](UINT, int, HWND) -> INT_PTR {
    SetSectionRunner(RunNested);
    OpenNestedSection(GetMainWindow()->m_hWnd, 0, 3);
    return 0;
  });
  SendMessageW(m_window, WM_OPENSECTION, 1, 3);
  EXPECT_EQ(Stored(L"Task_ShowCheckbox"), 1u);
  EXPECT_EQ(Stored(L"ContLeftIdent"), 1u);
  EXPECT_EQ(settings.ContLeftIdent, 0);
  EXPECT_EQ(settings.Task_ShowCheckbox, 1);
}

}  // namespace
