// The item-operations program: what it hands other PIMs, how it keeps requests, and
// the real program driven by the plug-in's client from this process.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "ondrel/PoomHelper.h"
#include "ondrel/RequestQueue.h"
#include "pim/OndrelClient.h"
#include "pim/PocketOutlook.h"
#include "pim/tests/UserSandbox.h"
#include "base/tests/RegistrySandbox.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/Notify.h"
#include "base/Platform.h"
#include "platform/windowlib/ComPtr.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "ondrel/tests/TestDates.h"
#include "platform/pimstore/tests/PimTestSupport.h"

namespace {

std::wstring Beside(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file = path;
  return file.substr(0, file.rfind(L'\\') + 1) + name;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string data;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) data.append(buffer, read);
  CloseHandle(file);
  return data;
}

std::wstring DeviceLog(const wchar_t* name) { return cedbtest::Root() + L"\\Windows\\" + name; }

TEST(OndrelCommandLines, OtherPimsGetTheirExactFormats) {
  const double when = TestDate(2026, 3, 14, 9, 30);
  const DWORD minutes = CPoomHelper::DateMinutes(when);
  ASSERT_GT(minutes, 0u);
  const std::wstring m = std::to_wstring(minutes);
  const struct Case {
    int pim;
    CPoomHelper::OtherPimRequest request;
    std::wstring expected;
  } cases[] = {
      {1, {ITEM_APPOINTMENT, 12, DISPLAY_OPEN, kNoDate, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L"[12]"},
      {1, {ITEM_APPOINTMENT, 12, DISPLAY_EDIT, when, FALSE, kNoDate, kNoDate, nullptr, FALSE},
       L"[12] (" + m + L") nopreview"},
      {1, {ITEM_APPOINTMENT, 12, DISPLAY_OPEN, 0.0, FALSE, kNoDate, kNoDate, nullptr, TRUE}, L"[12] (0){noexit}"},
      {1, {ITEM_TASK, 7, DISPLAY_EDIT, kNoDate, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L"[7] nopreview"},
      {1, {ITEM_APPOINTMENT, 0, DISPLAY_NEW, kNoDate, FALSE, when, kNoDate, L"Work", FALSE},
       L"N_APPOINTMENT (" + m + L")(0) \"Work\""},
      {1, {ITEM_TASK, 0, DISPLAY_NEW, kNoDate, FALSE, kNoDate, kNoDate, L"", FALSE}, L"N_TASK (0)(0)"},
      {1, {ITEM_CONTACT, 0, DISPLAY_NEW, kNoDate, FALSE, kNoDate, kNoDate, L"Say \"hi\" Ltd", FALSE},
       L"N_CONTACT \"Say \"\"hi\"\" Ltd\""},
      {1, {ITEM_TASK, 9, DISPLAY_NEW, kNoDate, TRUE, kNoDate, kNoDate, L"x", FALSE}, L"[9] nopreview"},
      {3, {ITEM_APPOINTMENT, 12, DISPLAY_OPEN, kNoDate, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L"open 12"},
      {3, {ITEM_APPOINTMENT, 12, DISPLAY_EDIT, when, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L"edit 12 " + m},
      {3, {ITEM_CONTACT, 5, DISPLAY_EDIT, kNoDate, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L"edit 5"},
      {3, {ITEM_APPOINTMENT, 0, DISPLAY_NEW, kNoDate, FALSE, 46000.5, kNoDate, nullptr, FALSE},
       L"new appointment 46000.500000"},
      {3, {ITEM_TASK, 0, DISPLAY_NEW, kNoDate, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L"new task"},
      {3, {ITEM_CONTACT, 0, DISPLAY_NEW, kNoDate, FALSE, kNoDate, kNoDate, L"A B", FALSE}, L"new contact \"A B\""},
      {0, {ITEM_TASK, 1, DISPLAY_OPEN, kNoDate, FALSE, kNoDate, kNoDate, nullptr, FALSE}, L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(CPoomHelper::OtherPimCommandLine(c.pim, c.request)), c.expected) << c.pim << " "
                                                                                            << c.request.kind;
}

TEST(OndrelCommandLines, ShellAliasesNameTheDevicePrograms) {
  EXPECT_EQ(std::wstring(CPoomHelper::MapShellAlias(L":MSNOTETAKE")), L"\\Windows\\notes.exe");
  EXPECT_EQ(std::wstring(CPoomHelper::MapShellAlias(L":mspword")), L"\\Windows\\pword.exe");
  EXPECT_EQ(std::wstring(CPoomHelper::MapShellAlias(L":MSPXL")), L"\\Windows\\pxl.exe");
  EXPECT_EQ(std::wstring(CPoomHelper::MapShellAlias(L"\\a b.exe")), L"\\a b.exe");
}

// What the launchers started: every launch goes through the program launcher.
struct Launched {
  std::wstring file, parameters;
  DWORD size;
};
std::vector<Launched> g_launched;
BOOL Record(SHELLEXECUTEINFOW* info) {
  g_launched.push_back({info->lpFile ? info->lpFile : L"", info->lpParameters ? info->lpParameters : L"",
                        info->cbSize});
  return TRUE;
}

TEST(OndrelLaunchers, ViewsAndProgramsByPimChoice) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD savedPim = product.QueryDWORD(L"CurrentPIM");
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(Record);
  g_launched.clear();
  {
    CPoomHelper helper;
    product.SetDWORD(L"CurrentPIM", 0);
    helper.ReadPimChoice();
    helper.OpenContactsView();
    helper.OpenTasksView();
    helper.OpenCalendarView();
    helper.OpenPocketWord();
    const BYTE id[] = {0x01, 0xAB};
    helper.OpenMessage(id, 2, 0);

    // Agenda Fusion named by a program that exists; one that does not falls back.
    CRegKey fusion(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion");
    fusion.SetString(L"AppLocation", Beside(L"AgendaFusion.exe").c_str());
    product.SetDWORD(L"CurrentPIM", 1);
    helper.ReadPimChoice();
    EXPECT_EQ(helper.GetPimChoice(), 1);
    helper.OpenCalendarView();
    fusion.SetString(L"AppLocation", L"\\Nowhere\\AgendaFusion.exe");
    helper.ReadPimChoice();
    EXPECT_EQ(helper.GetPimChoice(), 0);
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.");
  product.SetDWORD(L"CurrentPIM", savedPim);
  SetProgramLauncher(previous);

  ASSERT_EQ(g_launched.size(), 6u);
  const std::pair<std::wstring, std::wstring> expected[] = {
      {L"\\windows\\poutlook.exe", L"contacts"}, {L"\\windows\\poutlook.exe", L"tasks"},
      {L"\\windows\\poutlook.exe", L"calendar"}, {L"\\Windows\\pword.exe", L""},
      {L"\\Windows\\tmail.exe", L"-open 01AB"},     {Beside(L"AgendaFusion.exe"), L"V_MONTH"},
  };
  for (size_t i = 0; i < g_launched.size(); ++i) {
    EXPECT_EQ(g_launched[i].file, expected[i].first) << i;
    EXPECT_EQ(g_launched[i].parameters, expected[i].second) << i;
    EXPECT_EQ(g_launched[i].size, sizeof(SHELLEXECUTEINFOW)) << i;
  }
}

TEST(OndrelLaunchers, PocketInformantViewsAndPhatPadFolder) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD savedPim = product.QueryDWORD(L"CurrentPIM");
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(Record);
  const struct Case {
    const wchar_t* library;
    std::wstring contacts, tasks;
  } cases[] = {{L"PIToolsFull.dll", L"9", L"8"}, {L"PIToolsOlder.dll", L"5", L"4"}};
  for (const Case& c : cases) {
    g_launched.clear();
    {
      CRegKey informant(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant");
      informant.SetString(L"PIToolsLoc", Beside(c.library).c_str());
      std::wstring folder = Beside(L"");
      folder.pop_back();
      informant.SetString(L"InstallDir", folder.c_str());
      CRegKey pad(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatPad");
      pad.SetString(L"InstPath", L"\\Program Files\\Pad");
    }
    product.SetDWORD(L"CurrentPIM", 2);
    CPoomHelper helper;
    helper.ReadPimChoice();
    EXPECT_EQ(helper.GetPimChoice(), 2) << c.library;
    helper.OpenContactsView();
    helper.OpenTasksView();
    helper.OpenCalendarView();
    helper.OpenPhatPad();
    ASSERT_EQ(g_launched.size(), 4u);
    EXPECT_EQ(g_launched[0].file, Beside(L"PITab.exe"));
    EXPECT_EQ(g_launched[0].parameters, c.contacts);
    EXPECT_EQ(g_launched[1].parameters, c.tasks);
    EXPECT_EQ(g_launched[2].parameters, L"2");
    EXPECT_EQ(g_launched[3].file, L"\\Program Files\\Pad\\PhatPad.exe");
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatPad");
  product.SetDWORD(L"CurrentPIM", savedPim);
  SetProgramLauncher(previous);
}

// PhatNotes starts from the program named in its newest installed version's settings;
// an older version's name does not stand in for a newer one's missing name.
TEST(OndrelLaunchers, PhatNotesFromItsNewestSettings) {
  CUserSandbox user(L"OndrelPhatNotes");
  ASSERT_TRUE(user.Redirected());
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(Record);
  const CRegistryView newer(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatNotes\\4.0\\Settings");
  const CRegistryView older(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatNotes\\Settings");
  struct Case {
    const char* what;
    const wchar_t *newerName, *olderName;  // null: no key
    const wchar_t* launched;                // null: nothing
  };
  const Case cases[] = {
      {"not installed", nullptr, nullptr, nullptr},
      {"the older version", nullptr, L"\\Program Files\\PN\\PhatNotes.exe", L"\\Program Files\\PN\\PhatNotes.exe"},
      {"the newer version wins", L"\\PN4\\PhatNotes.exe", L"\\PN\\PhatNotes.exe", L"\\PN4\\PhatNotes.exe"},
      {"the newer version without a name", L"", L"\\PN\\PhatNotes.exe", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
    if (c.newerName) newer.WriteString(L"AppName", c.newerName);
    if (c.olderName) older.WriteString(L"AppName", c.olderName);
    g_launched.clear();
    CPoomHelper().OpenPhatNotes();
    ASSERT_EQ(g_launched.size(), c.launched ? 1u : 0u);
    if (c.launched) {
      EXPECT_EQ(g_launched[0].file, c.launched);
    }
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
  SetProgramLauncher(previous);
}

// The card as the watcher meets it: a "Dialog" whose third child is button 8 and the
// next one button 9 asks about one occurrence; a card page holds a list view.
std::vector<UINT> g_commands;
LRESULT CALLBACK CardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeCard(bool question) {
  WNDCLASSW card = {};
  card.lpfnWndProc = CardProc;
  card.hInstance = GetModuleHandleW(nullptr);
  card.lpszClassName = L"Dialog";
  RegisterClassW(&card);
  HWND window = CreateWindowExW(0, L"Dialog", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  const int ids[] = {1, 2, question ? 8 : 3, question ? 9 : 4};
  for (int id : ids)
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 10, 10, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                    GetModuleHandleW(nullptr), nullptr);
  return window;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(OndrelWatcher, CardQuestionsAndEditAreAnsweredOnlyWhileWatching) {
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(Record);
  CPoomHelper helper;
  HWND question = MakeCard(true), card = MakeCard(false);

  // Between displays nothing is answered.
  g_commands.clear();
  helper.OnDialogActivated(question);
  helper.OnDialogActivated(card);
  Pump();
  EXPECT_TRUE(g_commands.empty());

  // A mail request with a command: the mail program's dialog gets it once.
  const BYTE id[] = {0x01};
  helper.OpenMessage(id, 1, 3);
  helper.OnDialogActivated(card);
  helper.OnDialogActivated(card);
  Pump();
  ASSERT_EQ(g_commands.size(), 1u);
  EXPECT_TRUE(g_commands[0] == 32681u || g_commands[0] == 8681u);

  DestroyWindow(question);
  DestroyWindow(card);
  UnregisterClassW(L"Dialog", GetModuleHandleW(nullptr));
  SetProgramLauncher(previous);
}

// A restart schedules this very program 2 seconds ahead on the device and asks the
// frame to close.
TEST(OndrelWatcher, RestartSchedulesItselfAndClosesTheFrame) {
  HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  CPoomHelper helper;
  helper.SetFrame(frame);
  CString subject;
  SYSTEMTIME before = {};
  GetLocalTime(&before);
  helper.RestartSelf(subject);
  // Read what the device keeps, then take the start away before it runs this test again.
  DWORD needed = 0;
  CeGetUserNotificationHandles(nullptr, 0, &needed);
  std::vector<HANDLE> handles(needed);
  ASSERT_GT(needed, 0u);
  ASSERT_TRUE(CeGetUserNotificationHandles(handles.data(), needed, &needed));
  std::vector<BYTE> info(4096);
  ASSERT_TRUE(CeGetUserNotification(handles.back(), static_cast<DWORD>(info.size()), &needed, info.data()));
  const auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(info.data());
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring application = header->pcent->lpszApplication;
  const SYSTEMTIME at = header->pcent->stStartTime;
  CeRunAppAtTime(self, nullptr);
  EXPECT_EQ(application, self);
  EXPECT_EQ(header->pcent->dwType, static_cast<DWORD>(CNT_TIME));
  double from = 0, to = 0;
  SystemTimeToVariantDate(before, &from);
  SystemTimeToVariantDate(at, &to);
  const double seconds = (to - from) * 86400.0;
  EXPECT_GE(seconds, 1.0);
  EXPECT_LE(seconds, 4.0);
  EXPECT_EQ(std::wstring(subject), L"No Subject");
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, frame, RegisterWindowMessageW(L"QelTarvo_CloseWindow"),
                           RegisterWindowMessageW(L"QelTarvo_CloseWindow"), PM_REMOVE));
  DestroyWindow(frame);
}

ONDREL_REQUEST Request(DWORD oid) {
  ONDREL_REQUEST request = {};
  request.objectId = oid;
  lstrcpyW(request.text1, L"Work");
  return request;
}

TEST(OndrelRequests, EachRequestKeepsItsOwnCopyAndLiesAreRefused) {
  CRequestQueue queue;
  ONDREL_REQUEST first = Request(1), second = Request(2);
  COPYDATASTRUCT a = {0x10001, sizeof first, &first}, b = {0x10001, sizeof second, &second};
  ASSERT_TRUE(queue.Accept(&a));
  ASSERT_TRUE(queue.Accept(&b));  // arrives before the first is served
  CRequestQueue::Entry entry;
  ASSERT_TRUE(queue.Take(0x10001, &entry));
  EXPECT_EQ(entry.request.objectId, 1u);
  ASSERT_TRUE(queue.Take(0x10001, &entry));
  EXPECT_EQ(entry.request.objectId, 2u);
  EXPECT_FALSE(queue.Take(0x10001, &entry));

  std::vector<BYTE> big(sizeof(ONDREL_REQUEST) + 8);
  memcpy(big.data(), &first, sizeof first);
  ONDREL_REQUEST unterminated = first;
  for (wchar_t& c : unterminated.text1) c = L'x';
  const COPYDATASTRUCT lies[] = {
      {0x10001, sizeof first - 1, &first},
      {0x10001, static_cast<DWORD>(big.size()), big.data()},
      {0x10001, sizeof first, nullptr},
      {0x10001, sizeof unterminated, &unterminated},
      {0x50001, sizeof first, &first},
  };
  for (const COPYDATASTRUCT& lie : lies) EXPECT_FALSE(queue.Accept(&lie)) << lie.cbData;
  EXPECT_EQ(queue.Size(), 0u);
}

// Any bytes of any length: refused or kept whole, never read past their end.
TEST(OndrelRequests, FuzzedCopiesAreSafe) {
  std::mt19937 random(39);
  ONDREL_REQUEST seed = Request(5);
  const ULONG_PTR codes[] = {0x10001, 0x20002, 0x30001, 0x40001, 0x70000, 0xC0000, 0x12345678};
  for (int round = 0; round < 4000; ++round) {
    CRequestQueue queue;
    std::vector<BYTE> bytes(sizeof seed);
    memcpy(bytes.data(), &seed, sizeof seed);
    const int flips = 1 + static_cast<int>(random() % 16);
    for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<BYTE>(random());
    if (random() % 4 == 0) bytes.resize(random() % (bytes.size() + 64));
    // The exact length lies in a buffer of its own so a read past it is caught.
    std::vector<BYTE> exact(bytes);
    COPYDATASTRUCT copy = {codes[random() % 7], static_cast<DWORD>(exact.size()), exact.empty() ? nullptr : exact.data()};
    if (queue.Accept(&copy)) {
      CRequestQueue::Entry entry;
      ASSERT_TRUE(queue.Take(copy.dwData, &entry));
      ASSERT_EQ(exact.size(), sizeof(ONDREL_REQUEST));
      ASSERT_LT(wcsnlen(entry.request.text1, ONDREL_TEXT_CHARS), static_cast<size_t>(ONDREL_TEXT_CHARS));
    }
  }
}

std::vector<std::wstring> g_boxes;
int RecordBox(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
  g_boxes.push_back(std::wstring(caption) + L": " + text);
  return IDOK;
}

TEST(OndrelResources, DefaultTitlesComeFromTheObjectModelsLibrary) {
  CPoomHelper::PFN_MESSAGE_BOX previous = CPoomHelper::SetMessageBoxHandler(RecordBox);
  g_boxes.clear();
  HMODULE library = LoadLibraryW(L"pimres.dll");
  ASSERT_NE(library, nullptr);
  wchar_t task[257] = {}, contact[257] = {};
  LoadStringW(library, 4209, task, 256);
  if (!LoadStringW(library, 4210, contact, 256)) LoadStringW(library, 8006, contact, 256);
  FreeLibrary(library);
  EXPECT_EQ(std::wstring(CPoomHelper::LoadPocketOutlookString(FALSE)), task);
  EXPECT_EQ(std::wstring(CPoomHelper::LoadPocketOutlookString(TRUE)), contact);
  EXPECT_TRUE(g_boxes.empty());

  // Neither library: the error box, and no title.
  CPoomHelper::SetResourceLibraries(L"nopimres.dll", L"nooutres.dll");
  EXPECT_EQ(std::wstring(CPoomHelper::LoadPocketOutlookString(FALSE)), L"");
  CPoomHelper::SetResourceLibraries(nullptr, nullptr);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], L"Error: Cannot get PO resources. Tell to developers");
  CPoomHelper::SetMessageBoxHandler(previous);
}

// The plug-in's Today window as "-contacts" looks for it.
WPARAM g_activated = 0;
LRESULT CALLBACK PluginProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == RegisterWindowMessageW(L"QelTarvoActivateTab")) {
    g_activated = wParam;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD RunOndrel(const wchar_t* arguments) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::wstring exe = Beside(L"Ondrel.exe");
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return 0xDEAD;
  DWORD code = 0xBEEF;
  if (cedbtest::PumpUntil([&] { return WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0; }, 30000))
    GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return code;
}

// Change messages of any bytes: refused or taken whole with their text terminated.
TEST(OndrelRequests, FuzzedChangeMessagesAreSafe) {
  std::mt19937 random(40);
  ONDREL_CHANGE_MESSAGE seed = {};
  seed.record.objectId = 3;
  seed.record.operation = ONDREL_SET_CATEGORIES;
  lstrcpyW(seed.categories, L"Work, Home");
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> bytes(sizeof seed);
    memcpy(bytes.data(), &seed, sizeof seed);
    const int flips = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<BYTE>(random());
    if (random() % 5 == 0) bytes.resize(random() % (bytes.size() + 64));
    COPYDATASTRUCT copy = {random() % 8 ? ONDREL_CHANGE_DATA : 0x10001, static_cast<DWORD>(bytes.size()),
                           bytes.empty() ? nullptr : bytes.data()};
    ONDREL_CHANGE_MESSAGE change;
    if (ReadOndrelChange(&copy, &change)) {
      ASSERT_EQ(bytes.size(), sizeof(ONDREL_CHANGE_MESSAGE));
      ASSERT_LT(wcsnlen(change.categories, ONDREL_CATEGORIES_CHARS), static_cast<size_t>(ONDREL_CATEGORIES_CHARS));
    }
  }
}

// The real program on this device, driven by the client as the plug-in drives it.
class OndrelProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    pimtest::UseLayout(true);
    pimtest::ClearStores();
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    SetEnvironmentVariableW(L"PIMCARD_AUTOCLOSE", L"150");
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_savedPim = product.QueryDWORD(L"CurrentPIM");
    product.SetDWORD(L"CurrentPIM", 0);
    m_logStart = ReadAll(Beside(L"Ondrel.log")).size();
    DeleteFileW(DeviceLog(L"pimcard.log").c_str());
  }
  void TearDown() override {
    COndrelClient::Instance().StopOndrel();
    SetEnvironmentVariableW(L"PIMCARD_AUTOCLOSE", nullptr);
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"CurrentPIM", m_savedPim);
  }
  // Creates an item through the object model; its oid.
  DWORD Create(int type, const wchar_t* text = nullptr) {
    IPOutlookApp* app = pimtest::CreateApp();
    if (!app) return 0;
    app->Logon(0);
    IDispatch* item = nullptr;
    DWORD oid = 0;
    if (SUCCEEDED(app->CreateItem(type, &item)) && item) {
      IItem* generic = nullptr;
      if (SUCCEEDED(item->QueryInterface(IID_IItem, reinterpret_cast<void**>(&generic)))) {
        if (type == olAppointmentItem) {
          IAppointment* appt = nullptr;
          item->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt));
          BSTR subject = SysAllocString(text ? text : L"Review");
          appt->put_Subject(subject);
          SysFreeString(subject);
          appt->put_Start(TestDate(2026, 3, 14, 9, 30));
          appt->Release();
        } else if (type == olContactItem) {
          IContact* contact = nullptr;
          item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact));
          BSTR company = SysAllocString(text ? text : L"Korvel");
          if (*company) contact->put_CompanyName(company);
          SysFreeString(company);
          contact->Release();
        } else {
          ITask* task = nullptr;
          item->QueryInterface(IID_ITask, reinterpret_cast<void**>(&task));
          BSTR subject = SysAllocString(text ? text : L"Call");
          if (*subject) task->put_Subject(subject);
          SysFreeString(subject);
          task->Release();
        }
        generic->Save();
        long id = 0;
        generic->get_Oid(&id);
        oid = static_cast<DWORD>(id);
        generic->Release();
      }
      item->Release();
    }
    app->Logoff();
    app->Release();
    return oid;
  }
  static bool WaitFor(const std::function<bool()>& done) { return cedbtest::PumpUntil(done, 20000); }

  CComInitScope m_com;
  DWORD m_savedPim = 0;
  size_t m_logStart = 0;
};

TEST_F(OndrelProcess, ShowsCardsRefusesLiesAndStops) {
  const DWORD appt = Create(olAppointmentItem), task = Create(olTaskItem), contact = Create(olContactItem);
  ASSERT_NE(appt, 0u);
  ASSERT_NE(task, 0u);
  ASSERT_NE(contact, 0u);

  COndrelClient& client = COndrelClient::Instance();
  ASSERT_TRUE(client.EnsureOndrel());
  HWND window = client.FindOndrelWindow();
  ASSERT_NE(window, nullptr);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  ASSERT_NE(process, nullptr);

  // A second start finds the first one and leaves it running.
  EXPECT_EQ(RunOndrel(L""), 1u);
  EXPECT_EQ(client.FindOndrelWindow(), window);

  // "-contacts" asks the plug-in's window for its contacts tab, whatever runs.
  WNDCLASSW plugin = {};
  plugin.lpfnWndProc = PluginProc;
  plugin.hInstance = GetModuleHandleW(nullptr);
  plugin.lpszClassName = L"QelTarvoTodayPlugin_10";
  RegisterClassW(&plugin);
  HWND today = CreateWindowExW(0, L"QelTarvoTodayPlugin_10", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(today, nullptr);
  g_activated = 0;
  EXPECT_EQ(RunOndrel(L"-contacts"), 0u);
  EXPECT_TRUE(WaitFor([] { return g_activated != 0; }));
  EXPECT_EQ(g_activated, 0x10003u);
  DestroyWindow(today);
  UnregisterClassW(L"QelTarvoTodayPlugin_10", GetModuleHandleW(nullptr));

  // A record that lies about its size is refused whole, and said so in the log.
  ONDREL_REQUEST lying = {};
  lying.objectId = task;
  COPYDATASTRUCT copy = {OndrelRequestCode(ONDREL_KIND_TASK, ONDREL_ACTION_OPEN), sizeof lying - 40, &lying};
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 0);
  EXPECT_NE(ReadAll(Beside(L"Ondrel.log")).substr(m_logStart).find("refused request"), std::string::npos);

  // The cards Pocket Outlook shows for an appointment, a task to edit and a contact.
  EXPECT_TRUE(client.DisplayItem(9, appt, FALSE, 0.0));
  EXPECT_TRUE(client.DisplayItem(13, task, TRUE, 0.0));
  EXPECT_TRUE(client.DisplayItem(10, contact, FALSE, 0.0));
  // The appointment on its day, found by the store's restriction text.
  EXPECT_TRUE(client.DisplayItem(9, appt, FALSE, TestDate(2026, 3, 14, 9, 30)));
  // A day it does not fall on shows nothing.
  EXPECT_TRUE(client.DisplayItem(9, appt, FALSE, TestDate(2026, 3, 15, 9, 30)));
  std::ostringstream expected;
  expected << "Display oid=" << appt << " folder=9 occurrence=0\r\n"
           << "Edit oid=" << task << " folder=13 occurrence=0\r\n"
           << "Display oid=" << contact << " folder=10 occurrence=0\r\n"
           << "Display oid=" << appt << " folder=9 occurrence=0\r\n";
  EXPECT_TRUE(WaitFor([&] { return ReadAll(DeviceLog(L"pimcard.log")).size() >= expected.str().size(); }));
  EXPECT_EQ(ReadAll(DeviceLog(L"pimcard.log")), expected.str());

  // Pocket Informant's status answered from the tools library it finds (none here).
  EXPECT_EQ(client.GetPIStatus(), 0);

  // With Agenda Fusion chosen, its program gets the view and the item to edit, started
  // as the device starts programs.
  {
    CRegKey fusion(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion");
    fusion.SetString(L"AppLocation", Beside(L"AgendaFusion.exe").c_str());
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"CurrentPIM", 1);
  }
  PostMessageW(window, RegisterWindowMessageW(L"QelTarvo_UpdateSettings"), 0, 0);
  client.OpenCalendarView();
  EXPECT_TRUE(client.DisplayItem(13, task, TRUE, 0.0));
  std::ostringstream fusionLine;
  fusionLine << "V_MONTH\r\n[" << task << "] nopreview\r\n";
  EXPECT_TRUE(WaitFor([&] { return ReadAll(DeviceLog(L"agendafusion.log")).size() >= fusionLine.str().size(); }));
  // Two programs started one after the other may write in either order.
  const std::string fusionLog = ReadAll(DeviceLog(L"agendafusion.log"));
  EXPECT_EQ(fusionLog.size(), fusionLine.str().size());
  EXPECT_NE(fusionLog.find("V_MONTH\r\n"), std::string::npos) << fusionLog;
  EXPECT_NE(fusionLog.find("[" + std::to_string(task) + "] nopreview\r\n"), std::string::npos) << fusionLog;
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.");

  // WebIS Mail gets the plug-in's command line as it was copied.
  {
    std::wstring folder = Beside(L"");
    folder.pop_back();
    CRegKey mail(HKEY_CURRENT_USER, L"Software\\WebIS\\Mail2");
    mail.SetString(L"InstallDir", folder.c_str());
  }
  EXPECT_EQ(client.RunMail2Command(L"-compose \"a b\""), 1);
  EXPECT_TRUE(WaitFor([&] { return !ReadAll(DeviceLog(L"wismail.log")).empty(); }));
  EXPECT_EQ(ReadAll(DeviceLog(L"wismail.log")), "-compose \"a b\"\r\n");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WebIS\\Mail2");

  // Asked to close, the program ends with code 1 (the client's stop asks the same).
  PostMessageW(window, RegisterWindowMessageW(L"QelTarvo_CloseWindow"), 0, 0);
  EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 1u);
  CloseHandle(process);
  EXPECT_EQ(client.FindOndrelWindow(), nullptr);
}

// On Pocket PC 2002 the program asks about an occurrence itself; Cancel shows nothing.
int g_answer = IDCANCEL;
int AnswerBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  g_boxes.push_back(text);
  return g_answer;
}

TEST_F(OndrelProcess, PocketPC2002AsksAboutAnOccurrence) {
  CDeviceSwitch device;
  device.Set(L"Version", L"3.0");
  ResetPlatformTests();
  const DWORD appt = Create(olAppointmentItem);  // in the store of that device
  ASSERT_NE(appt, 0u);
  CPoomHelper::PFN_MESSAGE_BOX previous = CPoomHelper::SetMessageBoxHandler(AnswerBox);
  g_boxes.clear();
  {
    CPoomHelper helper;
    helper.ReadPimChoice();
    EXPECT_EQ(helper.DisplayItem(ITEM_APPOINTMENT, appt, DISPLAY_OPEN, TestDate(2026, 3, 14, 9, 30)), 0);
    EXPECT_EQ(helper.DisplayItem(ITEM_APPOINTMENT, appt, DISPLAY_OPEN, kNoDate), 1);  // the series: no question
    EXPECT_EQ(helper.GetShieldWindow(), nullptr);
  }
  CPocketOutlook::Logoff();
  CPoomHelper::SetMessageBoxHandler(previous);
  ResetPlatformTests();
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], L"Open this occurence? (Tap No to modify the entire series.)");
  // Only the series was shown.
  std::ostringstream expected;
  expected << "Display oid=" << appt << " folder=9 occurrence=0\r\n";
  EXPECT_EQ(ReadAll(DeviceLog(L"pimcard.log")), expected.str());
}

// A new item shown for the user to fill in and left without a subject (a contact
// without any name or company) is taken away again; one that was filled in stays.
TEST_F(OndrelProcess, NewItemsLeftEmptyAreTakenAway) {
  const struct Case {
    int type;
    int kind;
    const wchar_t* text;
    bool kept;
  } cases[] = {
      {olTaskItem, ITEM_TASK, L"", false},
      {olTaskItem, ITEM_TASK, L"Call the office", true},
      {olContactItem, ITEM_CONTACT, L"", false},
      {olContactItem, ITEM_CONTACT, L"Korvel", true},
  };
  CPoomHelper helper;
  helper.ReadPimChoice();
  ASSERT_EQ(helper.GetPimChoice(), 0);
  for (const Case& c : cases) {
    const DWORD oid = Create(c.type, c.text);
    ASSERT_NE(oid, 0u);
    EXPECT_EQ(helper.DisplayItem(c.kind, oid, DISPLAY_NEW, kNoDate), 1);
    IPOutlookApp* app = pimtest::CreateApp();
    ASSERT_NE(app, nullptr);
    app->Logon(0);
    IDispatch* item = nullptr;
    const bool found = SUCCEEDED(app->GetItemFromOid(static_cast<long>(oid), &item)) && item;
    if (item) item->Release();
    app->Logoff();
    app->Release();
    EXPECT_EQ(found, c.kept) << c.kind << " \"" << std::string(c.text, c.text + wcslen(c.text)) << "\"";
  }
  CPocketOutlook::Logoff();
}

}  // namespace

namespace cedbtest {
// This program runs no child jobs of its own.
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest
