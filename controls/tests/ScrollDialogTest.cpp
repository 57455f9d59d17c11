// The full-screen dialog base: the companion data reader (any bytes), the
// header strip, the placement above the input panel.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "controls/ScrollDialog.h"
#include "controls/tests/DialogFixtures.h"
#include "platform/tests/ByteMutator.h"
#include "res/TarvoResIds.h"

namespace {

const int kList = 10;
const int kCombo = 11;

// A parent with a list box and a combo box.
class ListsParent {
 public:
  ListsParent() {
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 100, 100, m_parent, reinterpret_cast<HMENU>(kList),
                    nullptr, nullptr);
    CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, m_parent,
                    reinterpret_cast<HMENU>(kCombo), nullptr, nullptr);
  }
  ~ListsParent() { DestroyWindow(m_parent); }
  HWND Get() const { return m_parent; }
  std::vector<std::wstring> Items(int id) const {
    const bool list = id == kList;
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendDlgItemMessageW(m_parent, id, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[256] = L"";
      SendDlgItemMessageW(m_parent, id, list ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    return items;
  }

 private:
  HWND m_parent;
};

// Records as a resource compiler lays them out.
class RecordWriter {
 public:
  RecordWriter& Add(WORD control, WORD message, const std::wstring& text, bool terminated = true) {
    std::vector<BYTE> data;
    for (wchar_t c : text) {
      data.push_back(static_cast<BYTE>(c));
      data.push_back(static_cast<BYTE>(c >> 8));
    }
    if (terminated) data.insert(data.end(), {0, 0});
    return Raw(control, message, data, static_cast<DWORD>(data.size()));
  }
  RecordWriter& Raw(WORD control, WORD message, const std::vector<BYTE>& data, DWORD count) {
    Word(control);
    Word(message);
    Word(static_cast<WORD>(count));
    Word(static_cast<WORD>(count >> 16));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  RecordWriter& End() {
    Word(0);
    return *this;
  }
  std::vector<BYTE> bytes;

 private:
  void Word(WORD w) {
    bytes.push_back(static_cast<BYTE>(w));
    bytes.push_back(static_cast<BYTE>(w >> 8));
  }
};

TEST(DialogInitData, AddStringRecordsReachTheirControls) {
  ListsParent parent;
  RecordWriter data;
  data.Add(kList, 0x0401, L"Red")
      .Add(kCombo, 0x0403, L"Green")
      .Add(kList, 0x1234, L"Hidden")                 // not an add-string record
      .Add(kList, LB_ADDSTRING, L"Blue")             // already the list's message
      .Add(kCombo, CB_ADDSTRING, L"Cyan", false)     // no terminator in the block
      .Add(kList, WM_SETTEXT, L"Title")              // any other message is skipped
      .End()
      .Add(kList, 0x0401, L"After the end");
  EXPECT_EQ(ApplyDialogInitRecords(parent.Get(), data.bytes.data(), static_cast<DWORD>(data.bytes.size())), 4);
  EXPECT_EQ(parent.Items(kList), (std::vector<std::wstring>{L"Red", L"Blue"}));
  EXPECT_EQ(parent.Items(kCombo), (std::vector<std::wstring>{L"Green", L"Cyan"}));
}

TEST(DialogInitData, DamagedBlocksStopWithoutReadingPastTheEnd) {
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    size_t listItems;
  };
  RecordWriter good;
  good.Add(kList, 0x0401, L"One");
  RecordWriter overlong;
  overlong.Add(kList, 0x0401, L"One").Raw(kList, 0x0401, {'T', 0, 'w', 0}, 0xFFFFFFF0);
  RecordWriter halfHeader;
  halfHeader.Add(kList, 0x0401, L"One");
  halfHeader.bytes.insert(halfHeader.bytes.end(), {static_cast<BYTE>(kList), 0, 1, 4});
  RecordWriter oddCount;
  oddCount.Raw(kList, 0x0401, {'A', 0, 'B'}, 3);
  const Case cases[] = {
      {"no terminator at the end of the block", good.bytes, 1},
      {"count past the end", overlong.bytes, 1},
      {"header cut short", halfHeader.bytes, 1},
      {"odd byte count keeps the whole characters", oddCount.bytes, 1},
      {"empty block", {}, 0},
      {"one byte", {1}, 0},
  };
  for (const Case& c : cases) {
    ListsParent parent;
    std::vector<BYTE> copy = c.bytes;  // exactly as long as the block, so a read past it is caught by tools
    ApplyDialogInitRecords(parent.Get(), copy.empty() ? nullptr : copy.data(), static_cast<DWORD>(copy.size()));
    EXPECT_EQ(parent.Items(kList).size(), c.listItems) << c.name;
  }
  ListsParent parent;
  EXPECT_EQ(ApplyDialogInitRecords(parent.Get(), nullptr, 100), 0);
}

TEST(DialogInitData, AFullListEndsTheRecords) {
  ListsParent parent;
  // A combo box that answers -1: a record for a list that refuses more.
  HWND refusing = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent.Get(),
                                  reinterpret_cast<HMENU>(12), nullptr, nullptr);
  ASSERT_NE(refusing, nullptr);
  SetWindowLongPtrW(refusing, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
                      return msg == CB_ADDSTRING ? -1 : 0;
                    }));
  RecordWriter data;
  data.Add(kList, 0x0401, L"Before").Add(12, 0x0403, L"Refused").Add(kList, 0x0401, L"After").End();
  EXPECT_EQ(ApplyDialogInitRecords(parent.Get(), data.bytes.data(), static_cast<DWORD>(data.bytes.size())), 1);
  EXPECT_EQ(parent.Items(kList), (std::vector<std::wstring>{L"Before"}));
}

TEST(DialogInitData, SurvivesAnyBytes) {
  ListsParent parent;
  RecordWriter seed;
  seed.Add(kList, 0x0401, L"Alpha").Add(kCombo, 0x0403, L"Beta").Add(kList, 0x1234, L"x").End();
  fixtures::ByteMutator mutator(20261209);
  for (int round = 0; round < 3000; ++round) {
    const std::vector<BYTE> bytes = mutator.Edit(seed.bytes, 6);
    // Control ids the mutation makes up may name any child; the two lists are
    // emptied so they never grow without bound.
    const int added = ApplyDialogInitRecords(parent.Get(), bytes.data(), static_cast<DWORD>(bytes.size()));
    ASSERT_LE(added, static_cast<int>(bytes.size() / 8)) << "round " << round;
    SendDlgItemMessageW(parent.Get(), kList, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessageW(parent.Get(), kCombo, CB_RESETCONTENT, 0, 0);
  }
}

TEST(DialogInitData, ReadsTheResourceCompilersBlocks) {
  dlgtest::DialogEnvironment environment;
  ASSERT_NE(environment.Module(), nullptr);
  ListsParent parent;
  // The resource compiler's output for the folder and chooser dialogs: lists that end at once.
  EXPECT_EQ(ApplyDialogInitData(parent.Get(), environment.Module(), IDR_FOLDER_BROWSE_DATA), 0);
  EXPECT_EQ(ApplyDialogInitData(parent.Get(), environment.Module(), IDR_TREE_CHOOSER_DATA), 0);
  EXPECT_NE(FindResourceW(environment.Module(), MAKEINTRESOURCEW(IDR_TREE_CHOOSER_DATA), MAKEINTRESOURCEW(240)),
            nullptr);
  EXPECT_EQ(ApplyDialogInitData(parent.Get(), environment.Module(), 9999), 0) << "no such data";
}

TEST(CaptionHeader, StripToRepaintFollowsTheSmallerPosition) {
  SetScreenDpi(96, 96);
  struct Case {
    int oldPosition, newPosition, bottom;
  } cases[] = {
      {0, 10, 24},   // scrolled down: the header was fully shown
      {10, 0, 24},   // back to the top
      {5, 30, 19},
      {24, 40, 0},   // out of sight at both positions
      {40, 24, 0},
  };
  for (const Case& c : cases) {
    RECT strip = CaptionHeaderStrip(240, c.oldPosition, c.newPosition);
    EXPECT_EQ(strip.bottom, c.bottom) << c.oldPosition << " -> " << c.newPosition;
    if (c.bottom) {
      EXPECT_EQ(strip.right, 240);
    }
  }
  SetScreenDpi(0, 0);
}

TEST(PlaceAboveInputPanel, MovesUpOnlyADialogBelowTheLine) {
  SetScreenDpi(96, 96);
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  const int limit = desktop.bottom - 50;
  struct Case {
    int top, expectedTop;
  } cases[] = {{limit + 30, limit}, {limit, limit}, {limit - 100, limit - 100}};
  for (const Case& c : cases) {
    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, c.top, 120, 80, nullptr, nullptr, nullptr, nullptr);
    PlaceDialogAboveSip(dialog);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.top, c.expectedTop) << c.top;
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.bottom - rect.top, 80) << "the size stays";
    DestroyWindow(dialog);
  }
  SetScreenDpi(0, 0);
}

}  // namespace
