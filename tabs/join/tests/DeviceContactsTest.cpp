// The Contacts tab on the emulated device: the Today screen loads QelTarvo.dll, the
// store holds the device's thirty sample contacts, the Contacts cell of the strip is
// tapped and letters are typed to the plug-in's window as the keyboard delivers them;
// the list on the screen narrows. Nothing of the plug-in is called directly.
#include <gtest/gtest.h>

#include <string>

#include "tabs/join/tests/DeviceTestSupport.h"

namespace {

using namespace devicetest;

// The pixel rows of the list's name column (right of the tab strip, between the
// header and the letter bar) that hold dark (text) pixels: a measure of how many
// names are listed.
int TextLines(const CTodayHost& host, int top) {
  const Screen screen = Shoot(host);
  int lines = 0;
  for (int y = top; y < screen.height - 16; ++y) {
    bool dark = false;
    for (int x = 40; x < screen.width / 2 + 30 && !dark; ++x) {
      const COLORREF c = screen.At(x, y);
      dark = GetRValue(c) + GetGValue(c) + GetBValue(c) < 160;
    }
    lines += dark ? 1 : 0;
  }
  return lines;
}

class DeviceContacts : public DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicecontacts", TARVO_DEVICE_CONTACTS));
    // Names in one flat list, as the README's picture shows them.
    Product().WriteDWORD(L"ContactsGroupBy", 501);
    ASSERT_NO_FATAL_FAILURE(Start());
  }

  // Types as the keyboard does: a character to the plug-in's window.
  void Type(const wchar_t* keys) {
    HWND panel = m_host.ItemCount() ? m_host.ItemAt(0).record->hwndCustom : nullptr;
    ASSERT_NE(panel, nullptr);
    for (const wchar_t* k = keys; *k; ++k) {
      PostMessageW(panel, WM_CHAR, *k, 1);
      RunSteps(m_host, L"wait 150\n");
    }
    RunSteps(m_host, L"wait 400\n");
  }

  // The screen saved beside the temporary files, for a look and for the README.
  std::wstring Save(const wchar_t* name) const {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring png = std::wstring(temp) + name;
    m_host.SaveScreenshot(png);
    return png;
  }
};

TEST_F(DeviceContacts, TypingLettersOnTheContactsTabNarrowsTheList) {
  ASSERT_EQ(m_host.ItemCount(), 1u);
  // The strip's third cell: the Contacts tab.
  ASSERT_TRUE(RunSteps(m_host, L"wait 300\ntap 12 50\nwait 600\n"));
  const int top = 18;
  const int all = TextLines(m_host, top);
  Save(L"DeviceContactsBefore.png");
  // Typed text: only Nils Strand's words start with "st".
  Type(L"st");
  const int text = TextLines(m_host, top);
  Save(L"DeviceContactsTyped.png");
  EXPECT_GT(all, 0);
  EXPECT_LT(text * 3, all) << "the list did not narrow: " << all << " lines before, " << text << " after";
  EXPECT_GT(text, 0) << "the one match is shown";
  // Back to every name, then the phone keys: 9 is w, x, y, z (Wall, Young, Zorn).
  Type(L"\b\b");
  EXPECT_GE(TextLines(m_host, top) * 4, all * 3);
  Type(L"9");
  const int keys = TextLines(m_host, top);
  Save(L"DeviceContactsKeys.png");
  EXPECT_LT(keys * 2, all);
  EXPECT_GT(keys, text);
}

}  // namespace
