#include "controls/HardwareKeys.h"

#include <gtest/gtest.h>

#include "base/tests/RegistrySandbox.h"
#include "controls/tests/TestHost.h"

namespace {

const wchar_t kShellKeys[] = L"SOFTWARE\\Microsoft\\Shell\\Keys";

// The shell's key settings in a machine key of this test alone; the map is left
// empty afterwards.
class HardwareKeysTest : public testing::Test {
 protected:
  HardwareKeysTest() : m_machine(L"HardwareKeys"), keys(m_machine.Key(kShellKeys)) {}
  ~HardwareKeysTest() override {
    keys.Delete();
    CHardwareKeys::Instance().Init(nullptr);
  }
  void Button(const wchar_t* name, const DWORD* flags) {
    CRegistryView button(keys.Root(), keys.Sub(name));
    keys.CreateSubKey(name);
    if (flags) button.WriteDWORD(L"Flags", *flags);
  }

  CLocalMachineSandbox m_machine;
  CRegistryView keys;
};

TEST_F(HardwareKeysTest, ButtonsMarkedByTheShellBecomeTheCloseKey) {
  ASSERT_TRUE(m_machine.Redirected());
  const DWORD close = 10, other = 8;
  Button(L"40C3", &close);
  Button(L"40C4", &other);
  Button(L"40CB", &close);  // 0xCB is no application button
  Button(L"40C1", nullptr);
  Button(L"Extra", &close);
  Button(L"40ca", &close);

  CHardwareKeys::Instance().Init(nullptr);
  struct Case {
    DWORD code;
    bool mapped;
  };
  const Case cases[] = {{0xC3, true}, {0xC4, false}, {0xCB, false}, {0xC1, false}, {0xCA, true}, {'A', false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    DWORD code = c.code;
    EXPECT_EQ(CHardwareKeys::Instance().Translate(code), c.mapped ? TRUE : FALSE);
    EXPECT_EQ(code, c.mapped ? VK_CLOSE_KEY : c.code);
  }
  WORD word = 0xC3;
  EXPECT_TRUE(CHardwareKeys::Instance().TranslateWord(word));
  EXPECT_EQ(word, VK_CLOSE_KEY);

  // Reading the shell's settings writes nothing into them.
  EXPECT_FALSE(CRegistryView(keys.Root(), keys.Sub(L"40C1")).Has(L"Flags"));
}

TEST_F(HardwareKeysTest, MissingShellKeysMapNothingAndAreNotCreated) {
  CHardwareKeys::Instance().Init(nullptr);
  DWORD code = 0xC3;
  EXPECT_FALSE(CHardwareKeys::Instance().Translate(code));
  EXPECT_FALSE(keys.Exists());
}

TEST_F(HardwareKeysTest, MappedButtonReachesTheFocusedControlAsCloseOnBothEdges) {
  const DWORD close = 10;
  Button(L"40C3", &close);
  ctltest::CTestHost host;
  CHardwareKeys::Instance().Init(host.m_hWnd);
  EXPECT_EQ(CHardwareKeys::Instance().GetWindow(), host.m_hWnd);
  ctltest::CRecordingElement field(nullptr, "field");
  host.root.AddChild(&field);
  field.SetFocus();

  host.Send(WM_KEYUP, 0xC3);  // its key-down may have gone elsewhere: still delivered
  host.Send(WM_KEYDOWN, 0xC3);
  host.Send(WM_KEYUP, 0xC3);
  EXPECT_EQ(field.keys, (std::vector<DWORD>{VK_CLOSE_KEY, VK_CLOSE_KEY, VK_CLOSE_KEY}));
}

}  // namespace
