#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using aygtest::HostWindow;

constexpr DWORD kFolderEvents = 0x000207F8;

bool Register(HWND window, DWORD mask, LPCWSTR folder = nullptr, BOOL recursive = TRUE) {
  SHCHANGENOTIFYENTRY entry = {mask, const_cast<LPWSTR>(folder), recursive};
  return SHChangeNotifyRegisterCE(window, &entry) != FALSE;
}

std::vector<FILECHANGENOTIFY*> Delivered(HostWindow& window) {
  aygtest::PumpPending();
  std::vector<FILECHANGENOTIFY*> out;
  for (const auto& r : window.Of(WM_FILECHANGEINFO)) out.push_back(reinterpret_cast<FILECHANGENOTIFY*>(r.lParam));
  window.Clear();
  return out;
}

std::wstring Item(DWORD_PTR item) { return item ? reinterpret_cast<LPCWSTR>(item) : L"(none)"; }

// A registered window gets message 0x8101 with the change record, which it frees.
TEST(FileChange, RegisteredWindowGetsRecord) {
  HostWindow window;
  ASSERT_TRUE(Register(window.hwnd(), kFolderEvents));
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_RENAMEFOLDER, L"\\Old", L"\\New"), 1);
  auto records = Delivered(window);
  ASSERT_EQ(records.size(), 1u);
  const FILECHANGEINFO& info = records[0]->fci;
  EXPECT_EQ(info.cbSize, sizeof(FILECHANGEINFO));
  EXPECT_EQ(info.wEventId, SHCNE_RENAMEFOLDER);
  EXPECT_EQ(Item(info.dwItem1), L"\\Old");
  EXPECT_EQ(Item(info.dwItem2), L"\\New");
  SHChangeNotifyFree(records[0]);

  // Events outside the mask are not reported.
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_CREATE, L"\\a.txt", nullptr), 0);
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_MKDIR, L"\\Notes", nullptr), 1);
  records = Delivered(window);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(Item(records[0]->fci.dwItem2), L"(none)");
  SHChangeNotifyFree(records[0]);

  ASSERT_TRUE(SHChangeNotifyDeregisterCE(window.hwnd()));
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_MKDIR, L"\\Notes", nullptr), 0);
  EXPECT_FALSE(SHChangeNotifyDeregisterCE(window.hwnd()));
}

// A watched folder limits the changes reported, to its direct items unless recursive.
TEST(FileChange, WatchedFolderAndRecursion) {
  HostWindow flat, deep;
  ASSERT_TRUE(Register(flat.hwnd(), SHCNE_CREATE, L"\\Docs\\", FALSE));
  ASSERT_TRUE(Register(deep.hwnd(), SHCNE_CREATE, L"\\Docs", TRUE));
  struct Case {
    const wchar_t* path;
    int told;
  };
  const Case cases[] = {
      {L"\\Docs\\a.txt", 2}, {L"\\docs\\b.txt", 2}, {L"\\Docs\\Sub\\c.txt", 1}, {L"\\Docsy\\d.txt", 0}, {L"\\e.txt", 0}};
  for (const Case& c : cases) EXPECT_EQ(AygTestNotifyFileChange(SHCNE_CREATE, c.path, nullptr), c.told) << c.path;
  for (auto* r : Delivered(flat)) SHChangeNotifyFree(r);
  for (auto* r : Delivered(deep)) SHChangeNotifyFree(r);
  SHChangeNotifyDeregisterCE(flat.hwnd());
  SHChangeNotifyDeregisterCE(deep.hwnd());
}

// A second registration of a window replaces the first; a window that went away is dropped.
TEST(FileChange, ReRegistrationAndDeadWindows) {
  HostWindow window;
  ASSERT_TRUE(Register(window.hwnd(), SHCNE_CREATE));
  ASSERT_TRUE(Register(window.hwnd(), SHCNE_DELETE));
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_CREATE, L"\\x", nullptr), 0);
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_DELETE, L"\\x", nullptr), 1);
  for (auto* r : Delivered(window)) SHChangeNotifyFree(r);

  HWND gone;
  {
    HostWindow shortLived;
    gone = shortLived.hwnd();
    ASSERT_TRUE(Register(gone, SHCNE_DELETE));
  }
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_DELETE, L"\\x", nullptr), 1);
  for (auto* r : Delivered(window)) SHChangeNotifyFree(r);
  EXPECT_FALSE(SHChangeNotifyDeregisterCE(gone));
  SHChangeNotifyDeregisterCE(window.hwnd());

  EXPECT_FALSE(Register(nullptr, SHCNE_DELETE));
  EXPECT_FALSE(SHChangeNotifyRegisterCE(window.hwnd(), nullptr));
  SHChangeNotifyFree(nullptr);
}

}  // namespace
