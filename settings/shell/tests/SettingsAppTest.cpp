#include "settings/shell/SettingsApp.h"

#include <gtest/gtest.h>

#include "base/CeDbApi.h"
#include "base/RegKey.h"
#include "controls/ContainerElement.h"
#include "controls/IconSets.h"
#include "controls/KeyLayouts.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/SkinArchive.h"
#include "graphics/SkinColors.h"
#include "graphics/TextFit.h"
#include "pim/CategoryColors.h"

namespace {

// What the shared classes do in this process: the libraries' way, or the options
// program's.
struct Switches {
  BOOL flushAfterFailedCreate, wholeDibInMemberFormat, trailingSpacesCounted, exactKey, createColorKey,
      previewLayout, optionsRules, writeMissingColors;
  HANDLE readHeap;
  BOOL iconChooserRules;

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
                CIconDatabase::IsOptionsProgramRules()};
  }
};

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

  CSettingsApp::SetProgramSwitches();
  const Switches options = Switches::Now();
  // The libraries' defaults again for the tests that follow in this process.
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
}

}  // namespace
