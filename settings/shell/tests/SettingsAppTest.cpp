#include "settings/shell/SettingsApp.h"

#include <gtest/gtest.h>

#include "base/CeDbApi.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "base/ScreenDpi.h"
#include "controls/ContainerElement.h"
#include "controls/ControlFonts.h"
#include "controls/IconSets.h"
#include "controls/KeyLayouts.h"
#include "graphics/FontCache.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/SkinArchive.h"
#include "graphics/SkinColors.h"
#include "graphics/TextFit.h"
#include "panel/TodayItemInfo.h"
#include "pim/CategoryColors.h"
#include "tabs/calendar/TimeSpanBar.h"
#include "tabs/contacts/ContactListItem.h"

namespace {

// What the shared classes do in this process: the libraries' way, or the options
// program's.
struct Switches {
  BOOL flushAfterFailedCreate, wholeDibInMemberFormat, trailingSpacesCounted, exactKey, createColorKey,
      previewLayout, optionsRules, writeMissingColors;
  HANDLE readHeap;
  BOOL iconChooserRules;
  BOOL timeSpanBarRules;
  BOOL contactRowRules;
  BOOL todayItemDefaultsWrittenBack;

  static Switches Now() {
    CRegKey failed(nullptr, L"Software\\TarvoTests\\NoRoot");
    const BOOL newer = IsNewerStore();
    SetNewerStore(TRUE);  // the read heap counts only for the newer store
    const HANDLE heap = GetCeDbApi()->GetReadHeap();
    SetNewerStore(newer);
    return {failed.WillFlushOnClose(), CSkinArchive::IsWholeDibInMemberFormat(), GetGdiWrapTrailingSpaces(),
            CKeyedBitmap::IsExactKeyInDib(), GetThemeColorKeyCreate(), CContainerElement::IsPreviewLayout(),
            CKeyLayouts::IsOptionsProgramRules(), CCategoryColors::IsWriteMissingColors(), heap,
            CIconSets::IsOptionsProgramRules() && CIconGrid::IsOptionsProgramRules() &&
                CIconDatabase::IsOptionsProgramRules(),
            CTimeSpanBar::GetOptionsProgramRules(), CContactListItem::GetOptionsProgramRules(),
            AreTodayItemDefaultsWrittenBack()};
  }
};

// The libraries' defaults again for the tests that follow in this process.
void RestoreLibrarySwitches() {
  CRegKey::SetFlushAfterFailedCreate(FALSE);
  CSkinArchive::SetWholeDibInMemberFormat(FALSE);
  SetGdiWrapTrailingSpaces(TRUE);
  CKeyedBitmap::SetExactKeyInDib(FALSE);
  SetThemeColorKeyCreate(FALSE);
  CContainerElement::SetPreviewLayout(FALSE);
  CKeyLayouts::SetOptionsProgramRules(FALSE);
  GetCeDbApi()->SetReadHeap(nullptr);
  CCategoryColors::SetWriteMissingColors(FALSE);
  CIconSets::SetOptionsProgramRules(FALSE);
  CTimeSpanBar::SetOptionsProgramRules(FALSE);
  CContactListItem::SetOptionsProgramRules(FALSE);
  SetTodayItemDefaultsWrittenBack(TRUE);
}

// Every difference of the options program is chosen by the one call start-up makes.
TEST(SettingsApp, StartUpChoosesEveryOptionsProgramSwitch) {
  const Switches library = Switches::Now();
  EXPECT_FALSE(library.flushAfterFailedCreate);
  EXPECT_FALSE(library.wholeDibInMemberFormat);
  EXPECT_TRUE(library.trailingSpacesCounted);
  EXPECT_FALSE(library.exactKey);
  EXPECT_FALSE(library.createColorKey);
  EXPECT_FALSE(library.previewLayout);
  EXPECT_FALSE(library.optionsRules);
  EXPECT_FALSE(library.writeMissingColors);
  EXPECT_EQ(library.readHeap, nullptr);
  EXPECT_FALSE(library.iconChooserRules);
  EXPECT_FALSE(library.timeSpanBarRules);
  EXPECT_FALSE(library.contactRowRules);
  EXPECT_TRUE(library.todayItemDefaultsWrittenBack);

  CSettingsApp::SetProgramSwitches();
  const Switches options = Switches::Now();
  RestoreLibrarySwitches();

  EXPECT_TRUE(options.flushAfterFailedCreate);
  EXPECT_TRUE(options.wholeDibInMemberFormat);
  EXPECT_FALSE(options.trailingSpacesCounted);
  EXPECT_TRUE(options.exactKey);
  EXPECT_TRUE(options.createColorKey);
  EXPECT_TRUE(options.previewLayout);
  EXPECT_TRUE(options.optionsRules);
  EXPECT_TRUE(options.writeMissingColors);
  EXPECT_EQ(options.readHeap, GetProcessHeap());
  EXPECT_TRUE(options.iconChooserRules);
  EXPECT_TRUE(options.timeSpanBarRules);
  EXPECT_TRUE(options.contactRowRules);
  // Other makers' Today item keys are read without writing into them.
  EXPECT_FALSE(options.todayItemDefaultsWrittenBack);
}

// The font cache is the plug-in's in both programs: the options program's switches
// (a key that cannot be made is still flushed) must not let its reads of the
// device's menu fonts make or fill the system's keys.
TEST(SettingsApp, FontCacheLeavesTheDeviceMenuKeysAloneEitherWay) {
  CLocalMachineSandbox machine{L"SettingsAppFonts"};
  ASSERT_TRUE(machine.Redirected());
  for (BOOL optionsProgram : {FALSE, TRUE}) {
    SCOPED_TRACE(optionsProgram ? "options program" : "libraries");
    if (optionsProgram) CSettingsApp::SetProgramSwitches();
    {
      CFontCache cache;
      LOGFONTW bar = {};
      ASSERT_TRUE(GetObjectW(cache.GetSystemMenuFont(FALSE), sizeof bar, &bar));
      EXPECT_STREQ(bar.lfFaceName, L"Tahoma");
      EXPECT_EQ(bar.lfWeight, FW_BOLD);
      EXPECT_NE(cache.GetSystemMenuFont(TRUE), nullptr);
    }
    RestoreLibrarySwitches();
    EXPECT_FALSE(machine.Key(L"SYSTEM\\GWE\\Menu\\BarFnt").Exists());
    EXPECT_FALSE(machine.Key(L"SYSTEM\\GWE\\Menu\\PopFnt").Exists());
  }
}

// Without the program's own fonts every page and list fell back to the stock font,
// which keeps its size at any dpi; one cache per process, so a second asks none.
TEST(SettingsApp, StartUpMakesTheFontsForTheScreenOnce) {
  CLocalMachineSandbox machine{L"SettingsAppStartFonts"};
  ASSERT_TRUE(machine.Redirected());
  machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"UseSystem", 0);
  machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"FontHeight", 12);
  for (int dpi : {96, 192}) {
    SetScreenDpi(dpi, dpi);
    {
      std::unique_ptr<CFontCache> fonts = CSettingsApp::MakeFonts();
      ASSERT_TRUE(fonts) << dpi;
      EXPECT_EQ(GetFontCache(), fonts.get()) << dpi;
      EXPECT_FALSE(CSettingsApp::MakeFonts()) << dpi;
      LOGFONTW font = {};
      ASSERT_TRUE(GetObjectW(GetControlListFont(), sizeof font, &font));
      EXPECT_EQ(font.lfHeight, dpi == 96 ? 12 : 23) << dpi;
    }
    EXPECT_FALSE(GetFontCache()) << dpi;
  }
  SetScreenDpi(0, 0);
}

}  // namespace
