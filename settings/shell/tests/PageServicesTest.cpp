#include "settings/shell/PageServices.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "settings/shell/tests/ShellTestRes.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

// A 32-bit top-down DIB section as wide as the screen, filled with one colour.
class CHeaderCanvas {
 public:
  explicit CHeaderCanvas(int height) : m_width(GetSystemMetrics(SM_CXSCREEN)), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_old = SelectObject(m_dc, m_bitmap);
    for (int i = 0; i < m_width * height; ++i) m_bits[i] = kRed;
  }
  ~CHeaderCanvas() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  HDC DC() const { return m_dc; }
  int Width() const { return m_width; }
  // The pixel as COLORREF (0x00BBGGRR).
  COLORREF At(int x, int y) const {
    DWORD p = m_bits[y * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  static const DWORD kRed = 0x00FF0000;

 private:
  int m_width, m_height;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  DWORD* m_bits = nullptr;
};

const COLORREF kUntouched = RGB(255, 0, 0);

TEST(PageHeaderTest, StripRuleAndOffsetByScroll) {
  SetScreenDpi(96, 96);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  struct Case {
    const char* name;
    LPCWSTR text;
    int offset;
    int ruleRow;  // -1: nothing drawn
  };
  const Case cases[] = {
      {"at the top", L"Options", 0, 23},
      {"empty caption", L"", 0, 23},
      {"scrolled by less than the strip", L"Options", -10, 13},
      {"scrolled to its last row", L"Options", -22, 1},
      {"scrolled out of view", L"Options", -23, -1},
      {"scrolled far past it", L"Options", -100, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHeaderCanvas canvas(40);
    DrawPageHeader(canvas.DC(), c.text, 23, c.offset);
    if (c.ruleRow < 0) {
      EXPECT_EQ(canvas.At(0, 0), kUntouched);
      EXPECT_EQ(canvas.At(canvas.Width() - 1, 30), kUntouched);
      continue;
    }
    EXPECT_EQ(canvas.At(canvas.Width() - 1, c.ruleRow - 1), window);
    EXPECT_EQ(canvas.At(0, c.ruleRow), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(canvas.Width() - 1, c.ruleRow), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(0, c.ruleRow + 1), kUntouched);
  }
  // The caption is drawn in the highlight colour somewhere on the strip's left.
  CHeaderCanvas canvas(40);
  DrawPageHeader(canvas.DC(), L"WWWW", 23, 0);
  bool highlight = false;
  for (int y = 0; y < 23 && !highlight; ++y)
    for (int x = 0; x < 80 && !highlight; ++x) highlight = canvas.At(x, y) == GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_TRUE(highlight);
  SetScreenDpi(0, 0);
}

std::wstring g_application, g_commandLine;
BOOL RecordHelp(LPCWSTR application, LPWSTR commandLine) {
  g_application = application;
  g_commandLine = commandLine;
  return TRUE;
}

TEST(HelpTopicTest, CommandLineNamesTheTopicOrTheContents) {
  PFN_HELP_LAUNCHER previous = SetHelpLauncher(RecordHelp);
  struct Case {
    LPCWSTR topic;
    LPCWSTR commandLine;
  };
  const Case cases[] = {
      {nullptr, L"QelTarvo.htm#Main_Contents"},
      {L"", L"QelTarvo.htm#Main_Contents"},
      {L"Fonts", L"QelTarvo.htm#Fonts"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(ShowHelpTopic(c.topic));
    EXPECT_EQ(g_application, L"PegHelp.exe");
    EXPECT_EQ(g_commandLine, c.commandLine);
  }
  // An overlong topic is cut to the buffer, never written past it.
  std::wstring longTopic(400, L'x');
  ShowHelpTopic(longTopic.c_str());
  EXPECT_EQ(g_commandLine.size(), static_cast<size_t>(MAX_PATH - 1));
  SetHelpLauncher(previous);
}

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
  std::mt19937 random(4711);
  std::vector<BYTE> seed = InitData({{IDC_TEST_LIST, 0x0401, L"one"}, {IDC_TEST_COMBO, 0x0403, L"two"},
                                     {IDC_TEST_LIST, 0x1234, L"three"}});
  CBoxesDialog dialog;
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> data = seed;
    int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      switch (random() % 3) {
        case 0:
          data[random() % data.size()] = static_cast<BYTE>(random());
          break;
        case 1:
          data.resize(random() % (data.size() + 1));
          break;
        default:
          data.insert(data.begin() + static_cast<long>(random() % (data.size() + 1)), static_cast<BYTE>(random()));
      }
      if (data.empty()) data.push_back(0);
    }
    FillDialogFromInitData(dialog.Handle(), data.data(), static_cast<DWORD>(data.size()));
  }
  SUCCEED();
}

}  // namespace
