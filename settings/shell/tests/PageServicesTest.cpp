#include "settings/shell/PageServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/tests/ByteMutator.h"
#include "settings/shell/tests/ShellTestRes.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

// A dialog with a list box (IDC_TEST_LIST) and a combo box (IDC_TEST_COMBO).
class CBoxesDialog {
 public:
  CBoxesDialog() {
    m_dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 100, 100, m_dialog,
                    reinterpret_cast<HMENU>(IDC_TEST_LIST), nullptr, nullptr);
    CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, m_dialog,
                    reinterpret_cast<HMENU>(IDC_TEST_COMBO), nullptr, nullptr);
  }
  ~CBoxesDialog() { DestroyWindow(m_dialog); }
  HWND Handle() const { return m_dialog; }
  std::vector<std::wstring> Items(int control, UINT count, UINT get) const {
    std::vector<std::wstring> items;
    int n = static_cast<int>(SendDlgItemMessageW(m_dialog, control, count, 0, 0));
    for (int i = 0; i < n; ++i) {
      WCHAR text[256] = L"";
      SendDlgItemMessageW(m_dialog, control, get, i, reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    return items;
  }
  std::vector<std::wstring> List() const { return Items(IDC_TEST_LIST, LB_GETCOUNT, LB_GETTEXT); }
  std::vector<std::wstring> Combo() const { return Items(IDC_TEST_COMBO, CB_GETCOUNT, CB_GETLBTEXT); }

 private:
  HWND m_dialog;
};

// Initialisation data built in code: records of (control, message, text).
struct Record {
  WORD control;
  WORD message;
  std::wstring text;
};
std::vector<BYTE> InitData(const std::vector<Record>& records) {
  std::vector<BYTE> data;
  auto word = [&](DWORD v, int bytes) {
    for (int i = 0; i < bytes; ++i) data.push_back(static_cast<BYTE>(v >> (8 * i)));
  };
  for (const Record& r : records) {
    word(r.control, 2);
    word(r.message, 2);
    word(static_cast<DWORD>((r.text.size() + 1) * 2), 4);
    for (wchar_t c : r.text) word(c, 2);
    word(0, 2);
  }
  word(0, 2);
  return data;
}

TEST(DialogInitDataTest, FillsListAndComboBoxesByRecordKind) {
  struct Case {
    const char* name;
    std::vector<Record> records;
    BOOL result;
    std::vector<std::wstring> list, combo;
  };
  const Case cases[] = {
      {"first record ends the data", {{0, 0x0401, L"never"}}, TRUE, {}, {}},
      {"both list messages", {{IDC_TEST_LIST, 0x0401, L"a"}, {IDC_TEST_LIST, 0x0180, L"b"}}, TRUE, {L"a", L"b"}, {}},
      {"both combo messages", {{IDC_TEST_COMBO, 0x0403, L"c"}, {IDC_TEST_COMBO, 0x0143, L"d"}}, TRUE, {}, {L"c", L"d"}},
      {"other kinds passed over",
       {{IDC_TEST_LIST, 0x1234, L"skip"}, {IDC_TEST_LIST, 0x0401, L"kept"}},
       TRUE,
       {L"kept"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CBoxesDialog dialog;
    std::vector<BYTE> data = InitData(c.records);
    EXPECT_EQ(FillDialogFromInitData(dialog.Handle(), data.data(), static_cast<DWORD>(data.size())), c.result);
    EXPECT_EQ(dialog.List(), c.list);
    EXPECT_EQ(dialog.Combo(), c.combo);
  }
}

TEST(DialogInitDataTest, DataRunningPastItsEndFailsWithoutReadingOn) {
  std::vector<BYTE> data = InitData({{IDC_TEST_LIST, 0x0401, L"first"}, {IDC_TEST_LIST, 0x0401, L"second"}});
  CBoxesDialog dialog;
  // Cut inside the second record's text.
  EXPECT_FALSE(FillDialogFromInitData(dialog.Handle(), data.data(), static_cast<DWORD>(data.size() - 6)));
  EXPECT_EQ(dialog.List(), std::vector<std::wstring>{L"first"});
  // A text without its terminator is still added as a whole, terminated item.
  std::vector<BYTE> open = {IDC_TEST_LIST & 0xFF, IDC_TEST_LIST >> 8, 0x01, 0x04, 4, 0, 0, 0, 'h', 0, 'i', 0};
  CBoxesDialog other;
  EXPECT_TRUE(FillDialogFromInitData(other.Handle(), open.data(), static_cast<DWORD>(open.size())));
  EXPECT_EQ(other.List(), std::vector<std::wstring>{L"hi"});
}

TEST(DialogInitDataTest, ResourcesOfTheLibrary) {
  CShellTestResources resources;
  ASSERT_TRUE(resources.Loaded());
  CBoxesDialog dialog;
  EXPECT_TRUE(LoadTranslatedDialogTexts(dialog.Handle(), IDD_TEST_FIRST_PAGE));
  EXPECT_EQ(dialog.List(), (std::vector<std::wstring>{L"ab", L"cd"}));
  EXPECT_EQ(dialog.Combo(), std::vector<std::wstring>{L"xy"});
  CBoxesDialog none;
  EXPECT_TRUE(LoadTranslatedDialogTexts(none.Handle(), 0));
  EXPECT_TRUE(LoadTranslatedDialogTexts(none.Handle(), IDD_TEST_SECOND_PAGE));  // no data: nothing to do
  EXPECT_FALSE(LoadTranslatedDialogTexts(none.Handle(), IDD_TEST_BAD_INIT));
  EXPECT_TRUE(none.List().empty());
}

TEST(DialogInitDataTest, AnyBytesAreSafe) {
  fixtures::ByteMutator mutator(4711);
  std::vector<BYTE> seed = InitData({{IDC_TEST_LIST, 0x0401, L"one"}, {IDC_TEST_COMBO, 0x0403, L"two"},
                                     {IDC_TEST_LIST, 0x1234, L"three"}});
  CBoxesDialog dialog;
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> data = mutator.Edit(seed, 4);
    if (data.empty()) data.push_back(0);
    FillDialogFromInitData(dialog.Handle(), data.data(), static_cast<DWORD>(data.size()));
  }
  SUCCEED();
}

}  // namespace
