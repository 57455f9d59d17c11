#include "pim/OndrelClient.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "controls/CategoryChoices.h"
#include "platform/coredll/DeviceSwitch.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/tests/BesideTest.h"
#include "pim/SystemUtils.h"
#include "pim/tests/FakeOndrelReport.h"
#include "pim/tests/UserSandbox.h"

namespace {

// Collects what the fake program reports.
class CRecorder {
 public:
  CRecorder() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = FAKE_ONDREL_RECORDER;
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, FAKE_ONDREL_RECORDER, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    s_reports = &m_reports;
  }
  ~CRecorder() {
    DestroyWindow(m_window);
    s_reports = nullptr;
  }
  HWND Window() const { return m_window; }
  std::vector<FAKE_ONDREL_REPORT>& Reports() { return m_reports; }
  // Posted messages arrive later: pump until count reports are in (or 5 s).
  bool WaitFor(size_t count) {
    const DWORD start = GetTickCount();
    while (m_reports.size() < count && GetTickCount() - start < 5000) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return m_reports.size() >= count;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA && s_reports) {
      auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (copy->dwData == FAKE_ONDREL_REPORT_DATA && copy->cbData == sizeof(FAKE_ONDREL_REPORT)) {
        FAKE_ONDREL_REPORT report;
        memcpy(&report, copy->lpData, sizeof report);
        s_reports->push_back(report);
      }
      return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  static std::vector<FAKE_ONDREL_REPORT>* s_reports;
  HWND m_window;
  std::vector<FAKE_ONDREL_REPORT> m_reports;
};
std::vector<FAKE_ONDREL_REPORT>* CRecorder::s_reports = nullptr;

int g_starts = 0;
std::wstring g_lastFile;
BOOL StartFake(SHELLEXECUTEINFOW* info) {
  ++g_starts;
  g_lastFile = info->lpFile ? info->lpFile : L"";
  std::wstring path = BesideTest(L"FakeOndrel.exe");
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return FALSE;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return TRUE;
}
BOOL CountOnly(SHELLEXECUTEINFOW* info) {
  ++g_starts;
  g_lastFile = info->lpFile ? info->lpFile : L"";
  return TRUE;
}
// Instead of a fixed wait: until the fake's window is there (or 5 s).
void WaitForWindow(DWORD) {
  for (int i = 0; i < 250 && !FindWindowW(ONDREL_WINDOW_CLASS, nullptr); ++i) Sleep(20);
}
int g_sleeps = 0;
void CountSleep(DWORD) { ++g_sleeps; }

class OndrelClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_starts = 0;
    g_sleeps = 0;
    m_previousLauncher = SetProgramLauncher(StartFake);
    m_previousSleep = COndrelClient::SetSleep(WaitForWindow);
  }
  void TearDown() override {
    m_client.StopOndrel();
    SetProgramLauncher(m_previousLauncher);
    COndrelClient::SetSleep(m_previousSleep);
  }
  CLocalMachineSandbox m_machine{L"OndrelClient"};
  CRecorder m_recorder;
  COndrelClient m_client;
  PFN_PROGRAM_LAUNCHER m_previousLauncher = nullptr;
  COndrelClient::PFN_SLEEP m_previousSleep = nullptr;
};

TEST_F(OndrelClientTest, RequestsArriveInAnotherProcessAsSent) {
  m_client.SetOwnerWindow(m_recorder.Window());
  const double when = 45000.5, end = 45001.25;
  const BYTE entry[5] = {1, 0, 0xFF, 7, 9};
  struct Case {
    const char* what;
    std::function<void()> send;
    uint64_t dwData;
    uint32_t objectId;
    double date1, date2;
    const wchar_t* text1;
    const wchar_t* text2;
  };
  const Case cases[] = {
      {"open appointment", [&] { m_client.DisplayItem(9, 77, FALSE, when); }, 0x10001, 77, when, 0, L"", L""},
      {"edit task", [&] { m_client.DisplayItem(13, 5, TRUE, 0); }, 0x00002, 5, 0, 0, L"", L""},
      {"any other kind is a contact", [&] { m_client.DisplayItem(10, 6, FALSE, 0); }, 0x20001, 6, 0, 0, L"", L""},
      {"new contact with company",
       [&] { m_client.NewItem(2, L"Friends", L"Acme"); }, 0x20003, 0, 0, 0, L"Friends", L"Acme"},
      {"new task drops text 2", [&] { m_client.NewItem(3, L"Work", L"ignored"); }, 0x00003, 0, 0, 0, L"Work", L""},
      {"new appointment with dates",
       [&] { m_client.NewItemEx(1, L"A", &when, &end, nullptr, 42); }, 0x10003, 42, when, end, L"A", L""},
      {"note file, temporary",
       [&] { m_client.OpenItemByPath(L"\\My Documents\\n.pwi", 1, TRUE); }, 0x10007, 0xFFFFFFFF, 0, 0,
       L"\\My Documents\\n.pwi", L""},
      {"note file to a contact", [&] { m_client.OpenItemByPath(L"x", 5, FALSE); }, 0x20007, 0, 0, 0, L"x", L""},
      {"mail command", [&] { m_client.RunMail2Command(L"-compose"); }, 0x70000, 0, 0, 0, L"", L"-compose"},
  };
  for (const Case& c : cases) {
    m_recorder.Reports().clear();
    c.send();
    ASSERT_EQ(1u, m_recorder.Reports().size()) << c.what;
    const FAKE_ONDREL_REPORT& r = m_recorder.Reports()[0];
    EXPECT_EQ(FAKE_ONDREL_REQUEST, r.what) << c.what;
    EXPECT_EQ(c.dwData, r.dwData) << c.what;
    EXPECT_EQ(c.objectId, r.request.objectId) << c.what;
    EXPECT_EQ(c.date1, r.request.date1) << c.what;
    EXPECT_EQ(c.date2, r.request.date2) << c.what;
    EXPECT_STREQ(c.text1, r.request.text1) << c.what;
    EXPECT_STREQ(c.text2, r.request.text2) << c.what;
  }
  EXPECT_EQ(1, g_starts) << "started once, then found";

  struct Mode {
    int mode;
    uint64_t dwData;
  };
  for (const Mode& m : {Mode{1, 0x30001}, Mode{3, 0x30004}, Mode{4, 0x30005}, Mode{5, 0x30006}, Mode{9, 0x30001}}) {
    m_recorder.Reports().clear();
    EXPECT_TRUE(m_client.SendMessageItem(entry, sizeof entry, m.mode));
    ASSERT_EQ(1u, m_recorder.Reports().size());
    const FAKE_ONDREL_REPORT& r = m_recorder.Reports()[0];
    EXPECT_EQ(m.dwData, r.dwData);
    EXPECT_EQ(sizeof entry, r.request.message.entryIdLength);
    EXPECT_EQ(0, memcmp(entry, r.request.message.entryId, sizeof entry));
    EXPECT_EQ(ONDREL_NO_DATE, r.request.date1);
  }
  m_recorder.Reports().clear();
  BYTE tooLong[65] = {};
  EXPECT_FALSE(m_client.SendMessageItem(tooLong, sizeof tooLong, 1));
  EXPECT_FALSE(m_client.OpenItemByPath(L"", 0, FALSE));
  EXPECT_TRUE(m_recorder.Reports().empty()) << "nothing sent";
}

TEST_F(OndrelClientTest, ChangesCarryTheirValuesAndAnswer) {
  struct Case {
    const char* what;
    std::function<LRESULT()> send;
    ONDREL_CHANGE_RECORD expected;
    const wchar_t* categories;
  };
  auto record = [](uint32_t id, uint32_t kind, uint32_t op) {
    ONDREL_CHANGE_RECORD r = {};
    r.objectId = id;
    r.kind = kind;
    r.operation = op;
    return r;
  };
  ONDREL_CHANGE_RECORD move = record(11, 9, ONDREL_CHANGE_APPOINTMENT);
  move.first.u32 = 45000;
  move.f64a = 45000.25;
  move.f64b = 45000.5;
  move.u32a = 1;
  move.u32b = 2;
  ONDREL_CHANGE_RECORD reminder = record(12, 9, ONDREL_SET_REMINDER);
  reminder.first.u32 = 15;
  ONDREL_CHANGE_RECORD copy = record(14, 10, ONDREL_COPY_ITEM);
  copy.first.u32 = 949998;
  ONDREL_CHANGE_RECORD dates = record(16, 13, ONDREL_CHANGE_TASK_DATES);
  dates.first.f64 = 45010.0;
  dates.f64a = 45011.0;
  dates.f64b = ONDREL_NO_DATE;
  ONDREL_CHANGE_RECORD complete = record(15, 13, ONDREL_COMPLETE_TASK), notComplete = complete;
  complete.u32a = 1;
  complete.u32b = notComplete.u32b = ONDREL_COMPLETE_STATE_GIVEN;
  const std::wstring many(ONDREL_CATEGORIES_CHARS - 1, L'c');
  const Case cases[] = {
      {"move", [&] { return m_client.ChangeAppointment(11, 45000, 45000.25, 45000.5, 1, 2); }, move, L""},
      {"reminder", [&] { return m_client.SetApptReminder(12, 15); }, reminder, L""},
      {"delete", [&] { return m_client.DeleteItem(13, 13); }, record(13, 13, ONDREL_DELETE_ITEM), L""},
      {"copy", [&] { return m_client.CopyItem(10, 14, 949998); }, copy, L""},
      {"complete", [&] { return m_client.CompleteTask(15, TRUE); }, complete, L""},
      {"not complete", [&] { return m_client.CompleteTask(15, FALSE); }, notComplete, L""},
      {"task dates", [&] { return m_client.ChangeTaskDate(16, 45010.0, 45011.0, ONDREL_NO_DATE); }, dates, L""},
      {"categories", [&] { return m_client.SetItemCategories(17, L"Work, Home"); },
       record(17, 0, ONDREL_SET_CATEGORIES), L"Work, Home"},
      {"longest categories", [&] { return m_client.SetItemCategories(18, many.c_str()); },
       record(18, 0, ONDREL_SET_CATEGORIES), many.c_str()},
  };
  for (const Case& c : cases) {
    m_recorder.Reports().clear();
    EXPECT_EQ(FakeOndrelChangeResult(c.expected), c.send()) << c.what << ": the receiver's answer";
    ASSERT_EQ(1u, m_recorder.Reports().size()) << c.what;
    const FAKE_ONDREL_REPORT& r = m_recorder.Reports()[0];
    EXPECT_EQ(FAKE_ONDREL_CHANGE, r.what) << c.what;
    EXPECT_EQ(0, memcmp(&c.expected, &r.change.record, sizeof c.expected)) << c.what;
    EXPECT_STREQ(c.categories, r.change.categories) << c.what;
  }
  m_recorder.Reports().clear();
  const std::wstring tooMany(ONDREL_CATEGORIES_CHARS, L'c');
  EXPECT_EQ(0, m_client.SetItemCategories(19, tooMany.c_str())) << "refused, not cut";
  EXPECT_TRUE(m_recorder.Reports().empty());
}

// Three categories by record number, shown in that order.
class CThreeChoices : public ICategoryChoices {
 public:
  int GetDisplayCount() override { return 3; }
  int GetDisplayAt(int position) override { return position; }
  CString GetName(int index) override { return kNames[index]; }
  CKeyedBitmap* GetIcon(int) override { return nullptr; }
  SIZE GetIconSize() override { return {16, 16}; }
  CString BuildNamesText(const CBitSet& set) override {
    CString text;
    for (int i = set.FindNext(0); i >= 0; i = set.FindNext(i + 1)) {
      if (!text.IsEmpty()) text += L", ";
      text += kNames[i];
    }
    return text;
  }
  static constexpr const wchar_t* kNames[3] = {L"Work", L"Home", L"Travel"};
};

void TickRow(HWND list, const wchar_t* name, bool ticked) {
  LVFINDINFOW find = {};
  find.flags = LVFI_STRING;
  find.psz = name;
  const int row =
      static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// The picker runs over the owner window from the item's set; what the person leaves
// ticked goes to the program as the item's categories, and a cancelled or unchanged
// picker sends nothing.
TEST_F(OndrelClientTest, EditedCategoriesGoToTheProgramOnlyWhenChanged) {
  CThreeChoices choices;
  SetCategoryChoices(&choices);
  m_client.SetOwnerWindow(m_recorder.Window());
  ASSERT_TRUE(m_client.EnsureOndrel());
  using Script = void (*)(CListPickerWnd*);
  struct Case {
    const char* what;
    Script script;
    const wchar_t* sent;  // null: nothing sent
  };
  const Case cases[] = {
      {"tick Travel and close",
       [](CListPickerWnd* p) {
         TickRow(p->GetListView(), L"Travel", true);
         PostMessageW(p->m_hWnd, WM_CLOSE, 0, 0);
       },
       L"Work, Travel"},
      {"untick the item's own: no categories",
       [](CListPickerWnd* p) {
         TickRow(p->GetListView(), L"Work", false);
         PostMessageW(p->m_hWnd, WM_CLOSE, 0, 0);
       },
       L""},
      {"tick and untick", [](CListPickerWnd* p) {
         TickRow(p->GetListView(), L"Home", true);
         TickRow(p->GetListView(), L"Home", false);
         PostMessageW(p->m_hWnd, WM_CLOSE, 0, 0);
       },
       nullptr},
      {"left with the Left key", [](CListPickerWnd* p) {
         TickRow(p->GetListView(), L"Home", true);
         PostMessageW(p->GetListView(), WM_KEYDOWN, VK_LEFT, 0);
       },
       nullptr},
  };
  for (const Case& c : cases) {
    CListPickerWnd::SetModalHook([](CListPickerWnd* picker, void* script) { reinterpret_cast<Script>(script)(picker); },
                                 reinterpret_cast<void*>(c.script));
    m_recorder.Reports().clear();
    CBitSet work;
    work.Set(0);
    const LRESULT result = m_client.EditItemCategories(POINT{4, 8}, 21, L"Lunch", work);
    EXPECT_TRUE(IsWindowEnabled(m_recorder.Window())) << c.what << ": the owner is given back";
    if (!c.sent) {
      EXPECT_EQ(0, result) << c.what;
      EXPECT_TRUE(m_recorder.Reports().empty()) << c.what;
      continue;
    }
    ONDREL_CHANGE_RECORD expected = {};
    expected.objectId = 21;
    expected.operation = ONDREL_SET_CATEGORIES;
    EXPECT_EQ(FakeOndrelChangeResult(expected), result) << c.what;
    ASSERT_EQ(1u, m_recorder.Reports().size()) << c.what;
    EXPECT_EQ(0, memcmp(&expected, &m_recorder.Reports()[0].change.record, sizeof expected)) << c.what;
    EXPECT_STREQ(c.sent, m_recorder.Reports()[0].change.categories) << c.what;
  }
  CListPickerWnd::SetModalHook(nullptr, nullptr);
  SetCategoryChoices(nullptr);
}

TEST_F(OndrelClientTest, PostedCommandsAndBeamReachTheProgram) {
  ASSERT_TRUE(m_client.EnsureOndrel());
  m_recorder.Reports().clear();
  SYSTEMTIME january = {}, december = {};
  january.wYear = 2027;
  january.wMonth = 1;
  january.wDay = 15;
  december.wYear = 2026;
  december.wMonth = 12;
  december.wDay = 3;
  m_client.OpenContactsView();
  m_client.OpenPocketExcel();
  m_client.RequestMonthRange(january, m_recorder.Window());
  m_client.RequestMonthRange(december, m_recorder.Window());
  m_client.CancelLoad();
  EXPECT_TRUE(m_client.SendBeam(2, 0xABCDEF01));
  struct Expected {
    int message;
    uint64_t wParam;
  };
  const Expected expected[] = {
      {FAKE_ONDREL_OPEN_APP, 0x20000},         {FAKE_ONDREL_OPEN_APP, 0x90000},
      {FAKE_ONDREL_GET_MONTH, 2027u << 16 | 1}, {FAKE_ONDREL_GET_MONTH, 2026u << 16 | 12},
      {FAKE_ONDREL_GET_MONTH, 2027u << 16 | 2}, {FAKE_ONDREL_GET_MONTH, 2026u << 16 | 12},
      {FAKE_ONDREL_GET_MONTH, 2026u << 16 | 11}, {FAKE_ONDREL_GET_MONTH, 2027u << 16 | 1},
      {FAKE_ONDREL_CANCEL_LOAD, 0},             {FAKE_ONDREL_CHANGE_ITEM, ONDREL_BEAM_ITEM | 2},
  };
  ASSERT_TRUE(m_recorder.WaitFor(ARRAYSIZE(expected)));
  for (size_t i = 0; i < ARRAYSIZE(expected); ++i) {
    EXPECT_EQ(expected[i].message, static_cast<int>(m_recorder.Reports()[i].message)) << i;
    EXPECT_EQ(expected[i].wParam, m_recorder.Reports()[i].wParam) << i;
  }
  uint32_t kind = 0, id = 0;
  const FAKE_ONDREL_REPORT& beam = m_recorder.Reports().back();
  EXPECT_TRUE(ReadOndrelBeam(static_cast<WPARAM>(beam.wParam), static_cast<LPARAM>(beam.lParam), &kind, &id));
  EXPECT_EQ(2u, kind);
  EXPECT_EQ(0xABCDEF01u, id);
  EXPECT_EQ(2, m_client.GetPIStatus());
}

TEST_F(OndrelClientTest, WrongSizedRecordsAreRefusedByTheReceiver) {
  ASSERT_TRUE(m_client.EnsureOndrel());
  HWND ondrel = m_client.FindOndrelWindow();
  std::vector<BYTE> bytes(sizeof(ONDREL_CHANGE_MESSAGE) + 8, 0);
  struct Case {
    const char* what;
    ULONG_PTR dwData;
    DWORD size;
  };
  const Case cases[] = {
      {"truncated request", 0x10001, sizeof(ONDREL_REQUEST) - 1},
      {"oversized request", 0x10001, sizeof(ONDREL_REQUEST) + 1},
      {"empty request", 0x10001, 0},
      {"truncated change", ONDREL_CHANGE_DATA, sizeof(ONDREL_CHANGE_MESSAGE) - 2},
      {"bare change record", ONDREL_CHANGE_DATA, sizeof(ONDREL_CHANGE_RECORD)},
      {"oversized change", ONDREL_CHANGE_DATA, sizeof(ONDREL_CHANGE_MESSAGE) + 8},
      {"unknown kind", 0x50001, sizeof(ONDREL_REQUEST)},
  };
  for (const Case& c : cases) {
    m_recorder.Reports().clear();
    COPYDATASTRUCT copy = {c.dwData, c.size, bytes.data()};
    EXPECT_EQ(0, SendMessageW(ondrel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy))) << c.what;
    ASSERT_EQ(1u, m_recorder.Reports().size()) << c.what;
    EXPECT_EQ(FAKE_ONDREL_REFUSED, m_recorder.Reports()[0].what) << c.what;
  }
}

TEST_F(OndrelClientTest, StartsStopsAndStartsAgain) {
  EXPECT_TRUE(m_client.EnsureOndrel());
  EXPECT_EQ(1, g_starts);
  EXPECT_EQ(std::wstring(L"Ondrel.exe"), g_lastFile.substr(g_lastFile.size() - 10));
  EXPECT_TRUE(m_client.EnsureOndrel());
  EXPECT_EQ(1, g_starts) << "running: no start";
  HWND window = m_client.FindOndrelWindow();
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  m_client.StopOndrel();
  EXPECT_FALSE(m_client.IsStarted());
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 5000)) << "the program ended";
  DWORD exitCode = 0;
  GetExitCodeProcess(process, &exitCode);
  EXPECT_EQ(1u, exitCode) << "closed by its own message, not terminated";
  CloseHandle(process);
  m_recorder.Reports().clear();
  m_client.DisplayItem(9, 1, FALSE, 0);
  EXPECT_EQ(2, g_starts) << "the next request starts it again";
  EXPECT_EQ(1u, m_recorder.Reports().size());
}

TEST_F(OndrelClientTest, AProgramThatNeverComesUpIsStartedFourTimes) {
  SetProgramLauncher(CountOnly);
  COndrelClient::SetSleep(CountSleep);
  EXPECT_FALSE(m_client.EnsureOndrel());
  EXPECT_EQ(4, g_starts);
  EXPECT_EQ(4, g_sleeps);
  EXPECT_EQ(0, m_client.DeleteItem(13, 1)) << "a change without the program sends nothing";
  EXPECT_FALSE(m_client.SendBeam(1, 1));
  EXPECT_TRUE(m_client.DisplayItem(9, 1, FALSE, 0)) << "requests still report 1";
  EXPECT_EQ(0, m_client.GetPIStatus());
}

// The mail list marks a message read only when the program took it: no program, or one
// that refuses the request, is a failure.
TEST_F(OndrelClientTest, AMessageRequestIsTakenOnlyByAProgramThatAccepts) {
  SetProgramLauncher(CountOnly);
  COndrelClient::SetSleep(CountSleep);
  const BYTE entry[] = {1, 2, 3, 4};
  EXPECT_FALSE(m_client.SendMessageItem(entry, sizeof entry, 1)) << "no program";
  struct Case {
    const char* what;
    LRESULT answer;
    BOOL taken;
  };
  const Case cases[] = {{"refused", 0, FALSE}, {"accepted", 1, TRUE}};
  for (const Case& c : cases) {
    static LRESULT s_answer;
    s_answer = c.answer;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      return message == WM_COPYDATA ? s_answer : DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = ONDREL_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    HWND ondrel = CreateWindowW(ONDREL_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(ondrel, nullptr) << c.what;
    EXPECT_EQ(c.taken, m_client.SendMessageItem(entry, sizeof entry, 1)) << c.what;
    DestroyWindow(ondrel);
    UnregisterClassW(ONDREL_WINDOW_CLASS, windowClass.hInstance);
  }
}

// The readers take any bytes a foreign program may send.
TEST(OndrelProtocolTest, ReadersSurviveAnyBytes) {
  std::mt19937 random(2026);
  std::vector<BYTE> bytes(sizeof(ONDREL_CHANGE_MESSAGE) + 64);
  const DWORD sizes[] = {0, 1, sizeof(ONDREL_CHANGE_RECORD), sizeof(ONDREL_REQUEST) - 1, sizeof(ONDREL_REQUEST),
                         sizeof(ONDREL_REQUEST) + 1, sizeof(ONDREL_CHANGE_MESSAGE),
                         static_cast<DWORD>(bytes.size())};
  const ULONG_PTR codes[] = {0, 0x10001, 0x30001, 0x40003, 0x70000, 0x80001, ONDREL_CHANGE_DATA, ~ULONG_PTR(0)};
  int accepted = 0;
  for (int i = 0; i < 4000; ++i) {
    for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 4 == 0 ? random() : 0);
    COPYDATASTRUCT copy = {codes[random() % ARRAYSIZE(codes)], sizes[random() % ARRAYSIZE(sizes)], bytes.data()};
    ONDREL_REQUEST request;
    ONDREL_CHANGE_MESSAGE change;
    if (ReadOndrelRequest(&copy, &request)) {
      ++accepted;
      ASSERT_EQ(sizeof request, copy.cbData);
      ASSERT_LT(wcslen(request.text1), static_cast<size_t>(ONDREL_TEXT_CHARS));
      if (copy.dwData >> 16 == ONDREL_KIND_MESSAGE) {
        ASSERT_GE(request.message.entryIdLength, 1u);
        ASSERT_LE(request.message.entryIdLength, 64u);
      } else {
        ASSERT_LT(wcslen(request.text2), static_cast<size_t>(ONDREL_TEXT_CHARS));
      }
    }
    if (ReadOndrelChange(&copy, &change)) {
      ++accepted;
      ASSERT_LT(wcslen(change.categories), static_cast<size_t>(ONDREL_CATEGORIES_CHARS));
    }
  }
  EXPECT_GT(accepted, 0) << "the mutations reach the accepting paths";
  EXPECT_FALSE(ReadOndrelRequest(nullptr, nullptr));
  COPYDATASTRUCT empty = {0x10001, sizeof(ONDREL_REQUEST), nullptr};
  ONDREL_REQUEST request;
  EXPECT_FALSE(ReadOndrelRequest(&empty, &request));
  struct Beam {
    WPARAM wParam;
    LPARAM lParam;
    bool ok;
  };
  for (const Beam& b : {Beam{0x70001, 5, true}, Beam{0x70003, 5, true}, Beam{0x70000, 5, false},
                        Beam{0x70004, 5, false}, Beam{0x60001, 5, false}, Beam{0x170001, 5, false}})
    EXPECT_EQ(b.ok, !!ReadOndrelBeam(b.wParam, b.lParam, nullptr, nullptr)) << std::hex << b.wParam;
}

}  // namespace

namespace {

// HKEY_CLASSES_ROOT of this process redirected into a sandbox, like the machine key.
class CClassesSandbox {
 public:
  CClassesSandbox() : m_sandbox(L"Classes", HKEY_CURRENT_USER) {
    RegCreateKeyExW(HKEY_CURRENT_USER, m_sandbox.Path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    if (m_key) RegOverridePredefKey(HKEY_CLASSES_ROOT, m_key);
  }
  ~CClassesSandbox() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (m_key) RegCloseKey(m_key);
  }
  CRegistryView Key(const wchar_t* path) const {
    return CRegistryView(HKEY_CURRENT_USER, std::wstring(m_sandbox.Path()) + L"\\" + path);
  }

 private:
  CRegistrySandbox m_sandbox;
  HKEY m_key = nullptr;
};

std::vector<std::wstring> g_launches;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launches.push_back(std::wstring(info->lpFile ? info->lpFile : L"") + L"|" +
                       (info->lpParameters ? info->lpParameters : L"") + L"|" +
                       (info->lpVerb ? info->lpVerb : L"") + ((info->fMask & SEE_MASK_FLAG_NO_UI) ? L"" : L"|UI"));
  return TRUE;
}
std::vector<std::wstring> g_boxes;
int RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  g_boxes.push_back(text);
  return IDOK;
}

class OndrelSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_launches.clear();
    g_boxes.clear();
    m_previousLauncher = SetProgramLauncher(RecordLaunch);
    m_previousBox = COndrelClient::SetMessageBoxHandler(RecordBox);
    m_previousSleep = COndrelClient::SetSleep(CountSleep);
  }
  void TearDown() override {
    SetProgramLauncher(m_previousLauncher);
    COndrelClient::SetMessageBoxHandler(m_previousBox);
    COndrelClient::SetSleep(m_previousSleep);
  }
  CLocalMachineSandbox m_machine{L"OndrelSettings"};
  CRegistryView Product() const { return m_machine.Key(L"Software\\Korvel\\Qel Tarvo"); }
  PFN_PROGRAM_LAUNCHER m_previousLauncher = nullptr;
  COndrelClient::PFN_MESSAGE_BOX m_previousBox = nullptr;
  COndrelClient::PFN_SLEEP m_previousSleep = nullptr;
};

TEST_F(OndrelSettingsTest, CurrentPimFallsBackWhenItsProgramIsMissing) {
  struct Case {
    DWORD stored;
    bool fusion, agendaOne;
    int read;
  };
  const Case cases[] = {{1, false, false, 0}, {1, true, false, 1}, {3, false, false, 0}, {3, false, true, 3},
                        {2, false, false, 2}, {0, true, true, 0}};
  for (const Case& c : cases) {
    m_machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion").Delete();
    m_machine.Key(L"SOFTWARE\\Developer One\\Agenda One").Delete();
    if (c.fusion) m_machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion").WriteString(L"AppLocation", L"\\AF");
    if (c.agendaOne) m_machine.Key(L"SOFTWARE\\Developer One\\Agenda One").WriteString(L"InstallPath", L"\\A1");
    Product().WriteDWORD(L"CurrentPIM", c.stored);
    COndrelClient client;
    EXPECT_EQ(c.read, client.GetCurrentPIM()) << c.stored;
    DWORD written = 99;
    Product().ReadDWORD(L"CurrentPIM", written);
    EXPECT_EQ(static_cast<DWORD>(c.read), written) << "a corrected choice is written back";
  }
}

TEST_F(OndrelSettingsTest, NewMenuScanFindsAllFourHandlers) {
  CClassesSandbox classes;
  const wchar_t* const ids[] = {L"{11111111-0000-0000-0000-000000000001}", L"{11111111-0000-0000-0000-000000000002}",
                                L"{11111111-0000-0000-0000-000000000003}", L"{11111111-0000-0000-0000-000000000004}",
                                L"{11111111-0000-0000-0000-000000000005}"};
  // Registered in an order unlike the fields', with an unrelated handler among them.
  const wchar_t* const names[] = {L"new phatpad", L"Something Else", L"MS New Email", L"MS New Document",
                                  L"MS New Note"};
  const int fields[] = {NEWMENU_PHATPAD, -1, NEWMENU_EMAIL, NEWMENU_DOCUMENT, NEWMENU_NOTE};
  for (int i = 0; i < 5; ++i) {
    m_machine.Key(L"SOFTWARE\\Microsoft\\Shell\\Extensions\\NewMenu").CreateSubKey(ids[i]);
    classes.Key((std::wstring(L"CLSID\\") + ids[i]).c_str()).WriteString(nullptr, names[i]);
  }
  COndrelClient client;
  for (int i = 0; i < 5; ++i) {
    if (fields[i] < 0) continue;
    CLSID expected;
    CLSIDFromString(const_cast<LPWSTR>(ids[i]), &expected);
    EXPECT_TRUE(IsEqualCLSID(expected, client.GetNewMenuClass(fields[i]))) << fields[i];
  }
}

TEST_F(OndrelSettingsTest, NewNoteWritesTheFolderIntoTheNotesStateWithinItsField) {
  CRegistryView states = m_machine.Key(L"Software\\Microsoft\\Notes\\States");
  struct Case {
    const char* what;
    DWORD size;
    const wchar_t* folder;
    bool written;
  };
  const Case cases[] = {
      {"a folder", 1200, L"Work", true},
      {"a value too short for the field", 80, L"Work", false},
      {"a name longer than its field", 1200, nullptr, false},
      {"a short value, name fits", 200, L"Home", true},
  };
  const std::wstring longName(600, L'n');
  for (const Case& c : cases) {
    std::vector<BYTE> value(c.size, 0xAB);
    states.Write(L"States", REG_BINARY, value.data(), c.size);
    g_launches.clear();
    COndrelClient client;
    const wchar_t* folder = c.folder ? c.folder : longName.c_str();
    EXPECT_TRUE(client.NewNote(FALSE, folder)) << c.what;
    std::vector<BYTE> stored(4096);
    DWORD storedSize = static_cast<DWORD>(stored.size());
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(states.Root(), states.Path(), L"States", RRF_RT_REG_BINARY, nullptr,
                                          stored.data(), &storedSize)) << c.what;
    const BYTE* bytes = stored.data();
    ASSERT_EQ(c.size, storedSize) << c.what << ": the value keeps its size";
    if (c.written) {
      EXPECT_STREQ(folder, reinterpret_cast<const wchar_t*>(bytes + 84)) << c.what;
      EXPECT_EQ(0xAB, bytes[84 + (wcslen(folder) + 1) * 2]) << c.what << ": nothing beyond the name";
    } else {
      EXPECT_EQ(0, memcmp(value.data(), bytes, c.size)) << c.what << ": unchanged";
    }
    ASSERT_EQ(1u, g_launches.size()) << c.what;
    EXPECT_EQ(L"Notes.exe|-n|", g_launches[0]) << c.what;
  }
  EXPECT_FALSE(COndrelClient().NewNote(TRUE, L"Work")) << "skipped";
}

TEST_F(OndrelSettingsTest, AllFoldersNameWithoutTheShellLibrariesShowsTheError) {
  // Neither library exists here: the empty name is written and the box says why.
  CRegistryView states = m_machine.Key(L"Software\\Microsoft\\Notes\\States");
  std::vector<BYTE> value(300, 0xAB);
  states.Write(L"States", REG_BINARY, value.data(), 300);
  COndrelClient client;
  EXPECT_TRUE(client.NewNote(FALSE, L""));
  ASSERT_EQ(1u, g_boxes.size());
  EXPECT_EQ(0u, g_boxes[0].find(L"Cannot load doclist.dll, le - "));
}

// On a device with the document list its "All Folders" text is written, and no box shows.
TEST_F(OndrelSettingsTest, AllFoldersNameComesFromTheDocumentList) {
  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"doclist"));
  CRegistryView states = m_machine.Key(L"Software\\Microsoft\\Notes\\States");
  std::vector<BYTE> value(300, 0xAB);
  states.Write(L"States", REG_BINARY, value.data(), 300);
  COndrelClient client;
  EXPECT_STREQ(L"All Folders", client.GetAllFoldersName());
  EXPECT_TRUE(client.NewNote(FALSE, L""));
  EXPECT_TRUE(g_boxes.empty());
  std::vector<BYTE> stored(300);
  DWORD storedSize = 300;
  ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(states.Root(), states.Path(), L"States", RRF_RT_REG_BINARY, nullptr,
                                        stored.data(), &storedSize));
  EXPECT_STREQ(L"All Folders", reinterpret_cast<const wchar_t*>(stored.data() + 84));
}

TEST(NotesStatesTest, VolumeIsReadOnlyWhenItLiesInsideTheValue) {
  std::vector<BYTE> value(1128 + 10, 0);
  memcpy(value.data() + 1128, L"SD\0", 6);
  EXPECT_STREQ(L"SD", ReadNotesStatesVolume(value.data(), static_cast<DWORD>(value.size())));
  value.assign(1128 + 10, 'x');
  EXPECT_STREQ(L"", ReadNotesStatesVolume(value.data(), static_cast<DWORD>(value.size()))) << "unterminated";
  EXPECT_STREQ(L"", ReadNotesStatesVolume(value.data(), 1128)) << "too short";
  EXPECT_STREQ(L"", ReadNotesStatesVolume(value.data(), 1129)) << "half a character";
  std::mt19937 random(7);
  for (int i = 0; i < 3000; ++i) {
    const DWORD size = random() % 1200;
    std::vector<BYTE> bytes(size + 1);
    for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 3 ? random() : 0);
    const CString volume = ReadNotesStatesVolume(bytes.data(), size);
    ASSERT_LE(static_cast<DWORD>(1128 + volume.GetLength() * 2), size > 1128 ? size : 1128);
  }
}

TEST_F(OndrelSettingsTest, LaunchersAndDocumentsAskForNoErrorBox) {
  COndrelClient client;
  EXPECT_TRUE(client.OpenDocument(L"\\My Documents\\a.pwi", 1));
  EXPECT_TRUE(client.OpenDocument(L"\\My Documents\\b.pwi", 0));
  EXPECT_TRUE(LaunchPocketWord());
  EXPECT_TRUE(LaunchPocketExcel());
  EXPECT_TRUE(RunMailProgram(L"-to x"));
  const std::vector<std::wstring> expected = {L"\\My Documents\\a.pwi||open", L"\\My Documents\\b.pwi||opendoc",
                                              L"pWord.exe|-n|", L"pxl.exe|-n|", L"\\Windows\\tmail.exe|-to x|"};
  EXPECT_EQ(expected, g_launches);
}

// PhatPad runs from its install folder, else its viewer does; without either
// nothing starts.
TEST_F(OndrelSettingsTest, PhatPadLaunchersStartItsProgramOrTheViewer) {
  struct Case {
    const char* what;
    const wchar_t* padFolder;  // null: no key
    const wchar_t* viewerFolder;
    std::vector<std::wstring> launches;
  };
  const Case cases[] = {
      {"neither", nullptr, nullptr, {}},
      {"PhatPad", L"\\Program Files\\Pad", nullptr, {L"\\Program Files\\Pad\\PhatPad.exe||open", L"\\Program Files\\Pad\\PhatPad.exe|-new|open"}},
      {"the viewer", nullptr, L"\\Viewer\\", {L"\\Viewer\\PhatPadViewer.exe||open", L"\\Viewer\\PhatPadViewer.exe|-new|open"}},
      {"both: PhatPad", L"\\Pad\\", L"\\Viewer\\", {L"\\Pad\\PhatPad.exe||open", L"\\Pad\\PhatPad.exe|-new|open"}},
  };
  for (const Case& c : cases) {
    CUserSandbox user(L"PhatPadLaunchers");
    ASSERT_TRUE(user.Redirected());
    if (c.padFolder)
      CRegistryView(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatPad").WriteString(L"InstPath", c.padFolder);
    if (c.viewerFolder)
      CRegistryView(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatPad Viewer").WriteString(L"InstPath", c.viewerFolder);
    g_launches.clear();
    COndrelClient client;
    EXPECT_EQ(client.OpenPhatPad() != FALSE, !c.launches.empty()) << c.what;
    EXPECT_EQ(client.NewPhatPad() != FALSE, !c.launches.empty()) << c.what;
    EXPECT_EQ(g_launches, c.launches) << c.what;
  }
}

// A note folder that is not in the documents folder may be one the note files know
// elsewhere (a storage card's); only a folder nobody knows is made.
TEST_F(OndrelSettingsTest, NoteFolderPathAsksTheNoteFilesBeforeMakingAFolder) {
  static std::vector<std::wstring> asked;
  static std::wstring answer;
  asked.clear();
  WCHAR previousFolder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previousFolder);
  // The device's documents folder lies on the current drive; C: is the device root.
  ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
  const std::wstring tag = std::to_wstring(GetCurrentProcessId());
  COndrelClient client;
  const std::wstring documents = static_cast<LPCWSTR>(client.GetNoteFolderPath(nullptr));
  ASSERT_FALSE(documents.empty());
  ASSERT_EQ(documents.back(), L'\\');
  // A fresh device root may not have it yet; the device always does.
  CreateDirectoryW(documents.c_str(), nullptr);
  const std::wstring existing = L"Existing-" + tag;
  CreateDirectoryW((documents + existing).c_str(), nullptr);

  struct Case {
    const char* what;
    bool lookup;
    std::wstring folder;
    std::wstring known;  // the note files' answer
    std::wstring path;   // empty: the documents folder's own
    bool asked, made;
  };
  const COndrelClient::PFN_NOTE_FOLDER_LOOKUP lookup = [](CString& path, LPCWSTR name) -> BOOL {
    asked.push_back(name);
    path = answer.c_str();
    return !answer.empty();
  };
  const Case cases[] = {
      {"no note files", false, L"Made-" + tag, L"", L"", false, true},
      {"a folder of the note files", true, L"Card-" + tag, L"\\Storage Card\\My Documents\\Card", L"\\Storage Card\\My Documents\\Card\\", true, false},
      {"with its backslash", true, L"Card2-" + tag, L"\\Storage Card\\Card2\\", L"\\Storage Card\\Card2\\", true, false},
      {"unknown to them", true, L"New-" + tag, L"", L"", true, true},
      {"already there", true, existing, L"\\Elsewhere", L"", false, false},
  };
  for (const Case& c : cases) {
    answer = c.known;
    asked.clear();
    COndrelClient::PFN_NOTE_FOLDER_LOOKUP previous = COndrelClient::SetNoteFolderLookup(c.lookup ? lookup : nullptr);
    const std::wstring own = documents + c.folder;
    const bool before = GetFileAttributesW(own.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::wstring path = static_cast<LPCWSTR>(client.GetNoteFolderPath(c.folder.c_str()));
    COndrelClient::SetNoteFolderLookup(previous);
    EXPECT_EQ(path, c.path.empty() ? own + L"\\" : c.path) << c.what;
    EXPECT_EQ(!asked.empty(), c.asked) << c.what;
    if (c.asked) {
      EXPECT_EQ(asked[0], c.folder) << c.what;
    }
    const bool after = GetFileAttributesW(own.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(!before && after, c.made) << c.what;
    RemoveDirectoryW(own.c_str());
  }
  SetCurrentDirectoryW(previousFolder);
}

TEST_F(OndrelSettingsTest, PhatNotesWindowIsAwaitedAtMostTwentyTimes) {
  COndrelClient client;
  g_sleeps = 0;
  EXPECT_EQ(nullptr, client.GetNotesWindow());
  EXPECT_EQ(20, g_sleeps);
  EXPECT_FALSE(client.ShowNotesWindow());
}

}  // namespace
