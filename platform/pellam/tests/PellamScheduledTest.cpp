// The finance program's scheduled-transactions library: found only on a device that has
// it, it answers each day's transactions from the file beside it (whichever program
// wrote that file) and announces the program's start with its change message.
#include "platform/coredll/DeviceSwitch.h"
#include "platform/pellam/PellamScheduledApi.h"
#include "platform/tests/ByteMutator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

template <typename T>
T Export(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::wstring ProgramFolder() {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe, n);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return folder;
}

// A folder of the test's own holding a copy of the library and its schedule file.
class LibraryCopy {
 public:
  LibraryCopy() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"pellam_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(++counter_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    library_ = folder_ + L"\\QelPellamScheduledAPI.dll";
    CopyFileW((ProgramFolder() + L"optional\\pellam\\QelPellamScheduledAPI.dll").c_str(), library_.c_str(), FALSE);
    module_ = LoadLibraryW(library_.c_str());
  }
  ~LibraryCopy() {
    if (module_) FreeLibrary(module_);
    DeleteFileW(File().c_str());
    DeleteFileW(library_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  HMODULE Module() const { return module_; }
  std::wstring File() const { return folder_ + L"\\QelPellamScheduled.txt"; }
  std::wstring Folder() const { return folder_; }
  void Write(const std::string& bytes) const {
    // A new time as well as new bytes: the library notices either.
    HANDLE file = CreateFileW(File().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    FILETIME stamp;
    GetSystemTimeAsFileTime(&stamp);
    stamp.dwLowDateTime += static_cast<DWORD>(++writes_);
    SetFileTime(file, nullptr, nullptr, &stamp);
    CloseHandle(file);
  }

  int Count(int y, int m, int d) const { return Export<PFN_GET_DAY_SCHEDULED_COUNT>(module_, "GetDayScheduledCount")(y, m, d); }
  PELLAM_SCHEDULED_RECORD* Record(int index, int y, int m, int d) const {
    PELLAM_SCHEDULED_RECORD* record = reinterpret_cast<PELLAM_SCHEDULED_RECORD*>(1);
    BOOL ok = Export<PFN_GET_SCHEDULED>(module_, "GetScheduled")(index, y, m, d, &record);
    EXPECT_EQ(ok != FALSE, record != nullptr);
    return record;
  }

 private:
  static int counter_;
  mutable int writes_ = 0;
  std::wstring folder_, library_;
  HMODULE module_ = nullptr;
};
int LibraryCopy::counter_ = 0;

std::wstring Text(LPCWSTR text) { return text ? text : L"(null)"; }

TEST(PellamLibrary, OnlyADeviceWithTheProgramFindsIt) {
  EXPECT_EQ(LoadLibraryW(L"QelPellamScheduledAPI.dll"), nullptr);
  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"pellam"));
  HMODULE library = LoadLibraryW(L"QelPellamScheduledAPI.dll");
  ASSERT_NE(library, nullptr);
  for (const char* name : {"GetDayScheduledCount", "GetScheduled", "RunQelPellam"})
    EXPECT_NE(GetProcAddress(library, name), nullptr) << name;
  FreeLibrary(library);
}

TEST(PellamLibrary, AnswersEachDayFromTheScheduleFile) {
  LibraryCopy copy;
  ASSERT_NE(copy.Module(), nullptr);
  EXPECT_EQ(copy.Count(2026, 3, 18), 0) << "no file: no schedule";
  copy.Write(
      "# the schedule\r\n"
      "2026-03-18;1;1001;Rent;-850.00;Checking\r\n"
      "2026-03-18;0;1002;Salary;+2,400.00\r\n"
      "\r\n"
      "2026-03-19;0;1003;;;\n"
      "2026-02-30;0;9;no such day\n"
      "2026-3-19;0;9;short date\n"
      "2026-03-19;x;9;no reminder number\n"
      "2026-03-19;0;99999999999;identifier too large\n"
      "  2026-03-20 ; 0 ; 4294967295 ; Padded ; a;b;c\n");
  EXPECT_EQ(copy.Count(2026, 3, 17), 0);
  EXPECT_EQ(copy.Count(2026, 3, 18), 2);
  EXPECT_EQ(copy.Count(2026, 3, 19), 1);
  EXPECT_EQ(copy.Count(2026, 3, 20), 1);
  EXPECT_EQ(copy.Count(2026, 2, 30), 0);

  const struct {
    int index, day;
    LPCWSTR first, second, third;
    DWORD reminder, id;
  } cases[] = {
      {0, 18, L"Rent", L"-850.00", L"Checking", 1, 1001},
      {1, 18, L"Salary", L"+2,400.00", nullptr, 0, 1002},
      {0, 19, nullptr, nullptr, nullptr, 0, 1003},
      // The last text keeps what follows its separator.
      {0, 20, L"Padded", L"a", L"b;c", 0, 4294967295u},
  };
  for (const auto& c : cases) {
    PELLAM_SCHEDULED_RECORD* r = copy.Record(c.index, 2026, 3, c.day);
    ASSERT_NE(r, nullptr) << c.day << "/" << c.index;
    EXPECT_EQ(Text(r->pszFirst), Text(c.first));
    EXPECT_EQ(Text(r->pszSecond), Text(c.second));
    EXPECT_EQ(Text(r->pszThird), Text(c.third));
    EXPECT_EQ(r->wYear, 2026);
    EXPECT_EQ(r->wMonth, 3);
    EXPECT_EQ(r->wDay, c.day);
    EXPECT_EQ(r->dwReminder, c.reminder);
    EXPECT_EQ(r->dwId, c.id);
  }
  EXPECT_EQ(copy.Record(2, 2026, 3, 18), nullptr);
  EXPECT_EQ(copy.Record(-1, 2026, 3, 18), nullptr);
  EXPECT_FALSE(Export<PFN_GET_SCHEDULED>(copy.Module(), "GetScheduled")(0, 2026, 3, 18, nullptr));

  // A changed file is read again.
  copy.Write("2026-03-18;0;5;Only one\n");
  EXPECT_EQ(copy.Count(2026, 3, 18), 1);
  DeleteFileW(copy.File().c_str());
  EXPECT_EQ(copy.Count(2026, 3, 18), 0);
}

TEST(PellamLibrary, ReadsFilesOtherProgramsWrote) {
  LibraryCopy copy;
  ASSERT_NE(copy.Module(), nullptr);
  // UTF-16 with its mark, as a desktop editor saves it.
  std::wstring wide = L"\xFEFF" L"2026-04-01;1;7;Gehalt \x00FC" L"berwiesen;+3.000,00\r\n";
  copy.Write(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
  PELLAM_SCHEDULED_RECORD* r = copy.Record(0, 2026, 4, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(Text(r->pszFirst), L"Gehalt \x00FC" L"berwiesen");
  // UTF-8 with its mark.
  copy.Write("\xEF\xBB\xBF" "2026-04-02;0;8;Caf\xC3\xA9\n");
  r = copy.Record(0, 2026, 4, 2);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(Text(r->pszFirst), L"Caf\x00E9");
  // The command interpreter's echo.
  DeleteFileW(copy.File().c_str());
  const std::wstring command = L"cmd.exe /c echo 2026-04-03;1;9;Insurance;-120.00> \"" + copy.File() + L"\"";
  STARTUPINFOW start = {};
  start.cb = sizeof(start);
  PROCESS_INFORMATION process = {};
  std::wstring line = command;
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &start,
                             &process));
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  r = copy.Record(0, 2026, 4, 3);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(Text(r->pszSecond), L"-120.00");
  EXPECT_EQ(r->dwReminder, 1u);
}

TEST(PellamLibrary, RecordsTheDaysAskedAndAnnouncesTheProgramsStart) {
  LibraryCopy copy;
  ASSERT_NE(copy.Module(), nullptr);
  Export<void(WINAPI*)()>(copy.Module(), "PellamTestReset")();
  copy.Count(2026, 1, 10);
  copy.Count(2026, 1, 11);
  auto asked = Export<int(WINAPI*)(int)>(copy.Module(), "PellamTestGetAskedDay");
  EXPECT_EQ(Export<int(WINAPI*)()>(copy.Module(), "PellamTestGetAskedCount")(), 2);
  EXPECT_EQ(asked(0), 20260110);
  EXPECT_EQ(asked(1), 20260111);
  EXPECT_EQ(asked(2), -1);

  // A top-level window of this program hears the change message.
  static int heard = 0;
  static UINT changed = RegisterWindowMessageW(PELLAM_SCHEDULED_CHANGED_MESSAGE);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == changed) ++heard;
    return DefWindowProcW(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PellamListener";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(L"PellamListener", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  Export<PFN_RUN_QEL_PELLAM>(copy.Module(), "RunQelPellam")();
  EXPECT_EQ(Export<int(WINAPI*)()>(copy.Module(), "PellamTestGetRunCount")(), 1);
  const DWORD until = GetTickCount() + 5000;
  MSG msg;
  while (!heard && GetTickCount() < until) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (!heard) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  EXPECT_EQ(heard, 1);
  DestroyWindow(window);
}

// Any bytes in the file: the library answers without fault, and every count it gives is
// backed by that many records of that day.
TEST(PellamLibrary, AnyFileBytesAreSafe) {
  LibraryCopy copy;
  ASSERT_NE(copy.Module(), nullptr);
  const std::string seed =
      "2026-03-18;1;1001;Rent;-850.00;Checking\r\n2026-03-18;0;1002;Salary;+2400\n"
      "2026-03-19;0;3;;;\n# note\n2026-03-20;1;4;A;B;C\n";
  fixtures::ByteMutator mutator(47);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = mutator.Edit(seed, 8);
    if (round % 5 == 0) bytes.insert(0, "\xFF\xFE");
    copy.Write(bytes);
    for (int day = 17; day <= 21; ++day) {
      const int count = copy.Count(2026, 3, day);
      ASSERT_GE(count, 0);
      for (int i = 0; i < count; ++i) {
        PELLAM_SCHEDULED_RECORD* r = copy.Record(i, 2026, 3, day);
        ASSERT_NE(r, nullptr) << "round " << round;
        EXPECT_EQ(r->wDay, day);
        for (LPCWSTR text : {r->pszFirst, r->pszSecond, r->pszThird})
          if (text) {
            EXPECT_LE(wcslen(text), 1024u);
          }
      }
      EXPECT_EQ(copy.Record(count, 2026, 3, day), nullptr);
    }
  }
}

}  // namespace
