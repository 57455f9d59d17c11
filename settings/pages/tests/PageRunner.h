// Runs one options page through its sheet as a person would: open the section at
// the page, act on the page's controls, press a button. The registry is the
// sandboxed machine key; message boxes are answered and kept for the test.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ViewSettings.h"
#include "settings/pages/tests/PagesTestSupport.h"
#include "settings/pages/LayoutCombo.h"
#include "settings/shell/UserPrompt.h"
#include "settings/shell/tests/SheetDriver.h"

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  UINT type;
};

class PageRunTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    Messages().clear();
    m_previousHandler = SetMessageBoxHandler(&PageRunTest::Answer);
  }
  void TearDown() override {
    SetMessageBoxHandler(m_previousHandler);
    PagesTest::TearDown();
  }

  static std::vector<ShownMessage>& Messages() {
    static std::vector<ShownMessage> messages;
    return messages;
  }

  CRegistryView Product() const { return m_machine.Key(TARVO_PRODUCT_KEY); }
  // 0xDEAD when the value is missing.
  DWORD Stored(const wchar_t* name) const {
    DWORD value = 0xDEAD;
    if (!Product().ReadDWORD(name, value)) return 0xDEAD;
    return value;
  }
  std::wstring StoredText(const wchar_t* name) const {
    std::wstring text;
    Product().ReadString(name, text);
    return text;
  }
  // A value stored before the page opens; 0xDEAD stores nothing.
  void Store(const wchar_t* name, DWORD value) const {
    if (value != 0xDEAD) Product().WriteDWORD(name, value);
  }

  // The section opened at the page (view settings read from the registry first),
  // steps on the page, then the buttons in turn.
  void RunPage(int section, int page, const std::function<void(HWND page)>& steps, std::vector<int> buttons) {
    GetViewSettings().Load();
    std::vector<CSheetDriver::Step> all = {CSheetDriver::SelectPage(page),
                                           [&](HWND sheet) { steps(CSheetDriver::CurrentPage(sheet)); }};
    for (int button : buttons) all.push_back(CSheetDriver::Press(button));
    CSheetDriver driver(all);
    Activate(section);
    ASSERT_EQ(driver.Runs(), 1);
  }

  // A choice in a combo box, as the stylus makes it.
  static void Choose(HWND page, int combo, int index) {
    SendDlgItemMessageW(page, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, combo)));
  }
  static void Click(HWND page, int box) { SendDlgItemMessageW(page, box, BM_CLICK, 0, 0); }
  static int Selection(HWND page, int combo) {
    return static_cast<int>(SendDlgItemMessageW(page, combo, CB_GETCURSEL, 0, 0));
  }
  static int ItemCount(HWND page, int combo) {
    return static_cast<int>(SendDlgItemMessageW(page, combo, CB_GETCOUNT, 0, 0));
  }
  static std::wstring ItemText(HWND page, int combo, int index) {
    WCHAR text[256] = L"";
    if (SendDlgItemMessageW(page, combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 255) return L"(long)";
    SendDlgItemMessageW(page, combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
  }
  static bool Ticked(HWND page, int box) { return IsDlgButtonChecked(page, box) == BST_CHECKED; }
  static bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)) != FALSE; }

 private:
  static int Answer(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    Messages().push_back({text ? text : L"", caption ? caption : L"", type});
    return IDOK;
  }
  PFN_MESSAGE_BOX m_previousHandler = nullptr;
};

// Pages with a key-layout list: the layout selection dialog answers as the test sets
// (cancelled unless told otherwise), and its runs are counted.
class LayoutPageTest : public PageRunTest {
 protected:
  void SetUp() override {
    PageRunTest::SetUp();
    DialogRuns() = 0;
    m_previousRunner = SetLayoutSelectRunner(&Cancel);
  }
  void TearDown() override {
    SetLayoutSelectRunner(m_previousRunner);
    PageRunTest::TearDown();
  }
  static int& DialogRuns() {
    static int runs = 0;
    return runs;
  }
  static INT_PTR Cancel(HWND, CKeyLayoutList&, int&) {
    ++DialogRuns();
    return IDCANCEL;
  }

 private:
  PFN_LAYOUT_SELECT m_previousRunner = nullptr;
};
