// The notification window: item notifications of the object model become database
// notifications to the panel, the panel's registered messages are passed on, and what
// other processes send it changes nothing else.
#include "panel/NotifyWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateFormat.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/PocketOutlook.h"
#include "pim/tests/CategoryFixtures.h"
#include "pim/tests/RecordingApp.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"

namespace pimtest {
int SaveInChild(bool newer);
}
namespace paneltest {
int PostPanelMessagesInChild(const std::wstring& arg);
int ActivateItemInChild(const std::wstring& name);
}

namespace {

const wchar_t kSendVirtualMessage[] = L"QelTarvo_SendVirtualMessage";
const UINT kEndMarkerOid = 0x7777;

// The panel as the notification window sees it: a window that keeps every message it
// gets, database notifications as copies of their records.
class TestPanel {
 public:
  struct Got {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    CENOTIFICATION record;
  };

  TestPanel() {
    static ATOM cls = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"NotifyWndTestPanel";
      return RegisterClassW(&wc);
    }();
    (void)cls;
    m_hwnd = CreateWindowW(L"NotifyWndTestPanel", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestPanel() {
    if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
  }
  TestPanel(const TestPanel&) = delete;
  TestPanel& operator=(const TestPanel&) = delete;

  HWND hwnd() const { return m_hwnd; }
  std::vector<Got> got;

  std::vector<CENOTIFICATION> Records() const {
    std::vector<CENOTIFICATION> out;
    for (const Got& g : got)
      if (g.message == WM_DBNOTIFICATION) out.push_back(g.record);
    return out;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestPanel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (message == WM_DBNOTIFICATION || message == WM_SETTINGCHANGE || message >= 0xC000)) {
      Got g{message, wParam, lParam, {}};
      if (message == WM_DBNOTIFICATION && lParam) g.record = *reinterpret_cast<const CENOTIFICATION*>(lParam);
      self->got.push_back(g);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND m_hwnd = nullptr;
};

void Pump() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
}

class NotifyWndTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DestroyNotificationWindow();
    CPocketOutlook::Logoff();
    CPocketOutlook::SetFactory(nullptr);
  }
};

TEST_F(NotifyWndTest, IsOneHiddenTopLevelWindowOfItsClassFoundByOtherProcesses) {
  TestPanel panel, second;
  HWND window = CreateNotificationWindow(panel.hwnd());
  ASSERT_TRUE(window);
  EXPECT_EQ(FindWindowW(L"QelTarvoTimeHelperWnd_1.0", nullptr), window);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow()) << "owned, not a child";
  EXPECT_EQ(GetWindow(window, GW_OWNER), panel.hwnd());
  EXPECT_EQ(GetClassLongW(window, GCL_STYLE), static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(GetClassLongPtrW(window, GCLP_HCURSOR), 0);

  // A new panel takes over the same window.
  EXPECT_EQ(CreateNotificationWindow(second.hwnd()), window);
  EXPECT_EQ(GetNotificationWindow()->GetTarget(), second.hwnd());
}

TEST_F(NotifyWndTest, ItemNotificationsReachThePanelAsDatabaseNotifications) {
  TestPanel panel;
  HWND window = CreateNotificationWindow(panel.hwnd());
  ASSERT_TRUE(window);
  const struct Case {
    UINT message;
    UINT type;
  } cases[] = {
      {0x8100, DB_CEOID_CREATED}, {0x8101, DB_CEOID_RECORD_DELETED}, {0x8102, DB_CEOID_CHANGED},
      {0x8105, DB_CEOID_CREATED}, {0x8106, DB_CEOID_RECORD_DELETED}, {0x8107, DB_CEOID_CHANGED},
  };
  for (const Case& c : cases) {
    panel.got.clear();
    EXPECT_EQ(SendMessageW(window, c.message, 0xC0001234, 13), 0);
    ASSERT_EQ(panel.got.size(), 1u) << std::hex << c.message;
    const TestPanel::Got& g = panel.got[0];
    EXPECT_EQ(g.message, static_cast<UINT>(WM_DBNOTIFICATION));
    EXPECT_EQ(g.wParam, 1u);
    EXPECT_EQ(g.record.dwSize, sizeof(CENOTIFICATION));
    EXPECT_EQ(g.record.dwParam, 0u) << "no list object: the folder kind decides";
    EXPECT_EQ(g.record.uType, c.type);
    EXPECT_EQ(g.record.oid, 0xC0001234u);
    EXPECT_EQ(g.record.oidParent, 13u);
    CEGUID zero = {};
    EXPECT_EQ(memcmp(&g.record.guid, &zero, sizeof zero), 0);
  }
}

TEST_F(NotifyWndTest, RegisteredMessagesAndSettingChangesArePassedOnUnchanged) {
  TestPanel panel;
  HWND window = CreateNotificationWindow(panel.hwnd());
  ASSERT_TRUE(window);
  for (const wchar_t* name : {L"QelTarvo_SovelUnload", L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}",
                              L"QelTarvo_UpdateSettings", L"QelPellam_ScheduledChanged", L"QelTarvo_ShowMessage"}) {
    panel.got.clear();
    UINT message = RegisterWindowMessageW(name);
    ASSERT_TRUE(PostMessageW(window, message, 5, 1));
    Pump();
    ASSERT_EQ(panel.got.size(), 1u) << name;
    EXPECT_EQ(panel.got[0].message, message) << name;
    EXPECT_EQ(panel.got[0].wParam, 5u);
    EXPECT_EQ(panel.got[0].lParam, 1);
  }
  panel.got.clear();
  EXPECT_EQ(SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0), 0);
  Pump();
  ASSERT_EQ(panel.got.size(), 1u);
  EXPECT_EQ(panel.got[0].message, static_cast<UINT>(WM_SETTINGCHANGE));
  EXPECT_EQ(panel.got[0].wParam, 0x3002u);
}

// Two panels in turn: the window passes to the second with its ownership, so the
// first one's end does not take the second one's window along; a window that dies
// with its owner passes nothing on to a dead target afterwards.
TEST_F(NotifyWndTest, PassesToTheNextPanelAndEndsWithItsOwner) {
  TestPanel second;
  HWND window = nullptr;
  {
    TestPanel first;
    window = CreateNotificationWindow(first.hwnd());
    ASSERT_TRUE(window);
    ASSERT_EQ(CreateNotificationWindow(second.hwnd()), window);
    EXPECT_EQ(GetWindow(window, GW_OWNER), second.hwnd());
    ReleaseNotificationWindow(first.hwnd());
    EXPECT_TRUE(IsWindow(window)) << "the first panel no longer holds it";
  }
  ASSERT_TRUE(IsWindow(window)) << "the first panel's end left it alive";
  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  ASSERT_TRUE(PostMessageW(window, update, 0, 0));
  Pump();
  ASSERT_EQ(second.got.size(), 1u);
  EXPECT_EQ(second.got[0].message, update);

  DestroyWindow(second.hwnd());
  EXPECT_FALSE(IsWindow(window)) << "owned: it ends with the panel";
  ASSERT_TRUE(GetNotificationWindow());
  EXPECT_EQ(GetNotificationWindow()->GetTarget(), nullptr) << "no dead target kept";

  TestPanel third;
  window = CreateNotificationWindow(third.hwnd());
  ASSERT_TRUE(IsWindow(window));
  ASSERT_TRUE(PostMessageW(window, update, 0, 0));
  Pump();
  EXPECT_EQ(third.got.size(), 1u) << "the next panel gets a working one";
  ReleaseNotificationWindow(third.hwnd());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetNotificationWindow(), nullptr);
  EXPECT_EQ(FindWindowW(L"QelTarvoTimeHelperWnd_1.0", nullptr), nullptr);
}

// A setting change makes the next date shown follow the options as they are now.
TEST_F(NotifyWndTest, ASettingChangeForgetsTheDateFormats) {
  CLocalMachineSandbox machine(L"panel_notify_dates");
  ASSERT_TRUE(machine.Redirected());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  for (const wchar_t* name : {L"LongDate_Regional", L"LongDate_NotYear", L"LongDate_ShortYear",
                              L"LongDate_ShortMonth", L"LongDate_ShortDay"})
    product.WriteDWORD(name, 0);
  product.WriteDWORD(L"LongDate_CustomFormat", 1);
  ResetDateFormatCache();
  TestPanel panel;
  HWND window = CreateNotificationWindow(panel.hwnd());
  ASSERT_TRUE(window);
  SYSTEMTIME day = {2026, 12, 3, 9, 0, 0, 0, 0};
  CString before, cached, after;
  FormatLongDate(before, day);
  product.WriteDWORD(L"LongDate_CustomFormat", 2);
  FormatLongDate(cached, day);
  EXPECT_STREQ(cached, before) << "kept until told";
  SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
  FormatLongDate(after, day);
  EXPECT_STRNE(after, before);
  EXPECT_NE(std::wstring(after).find(static_cast<LPCWSTR>(before)), std::wstring::npos)
      << "the weekday now stands before the day";
  ResetDateFormatCache();
}

TEST_F(NotifyWndTest, WithoutALivePanelNothingIsPassedOn) {
  HWND window = nullptr;
  {
    TestPanel panel;
    window = CreateNotificationWindow(panel.hwnd());
    ASSERT_TRUE(window);
    // The panel goes while the window stays (it is the panel's owned window only
    // until the panel dies; here it is rebuilt below).
  }
  TestPanel other;
  window = CreateNotificationWindow(other.hwnd());
  ASSERT_TRUE(window);
  DestroyWindow(other.hwnd());
  ASSERT_FALSE(IsWindow(window)) << "an owned window ends with its owner";
  TestPanel third;
  window = CreateNotificationWindow(third.hwnd());
  ASSERT_TRUE(IsWindow(window)) << "made again for the next panel";
  GetNotificationWindow()->SetTarget(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x4321)));
  EXPECT_EQ(SendMessageW(window, 0x8102, 1, 9), 0);
  EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(L"QelTarvo_UpdateSettings"), 0, 0), 0);
  EXPECT_EQ(SendMessageW(window, WM_SETTINGCHANGE, 0, 0), 0);
  Pump();
  EXPECT_TRUE(third.got.empty());
}

TEST_F(NotifyWndTest, TheLogonNamesTheWindowOnlyWhenItExistedFirst) {
  RecordingApp recorder;
  RecordingApp::Current() = &recorder;
  CPocketOutlook::SetFactory(RecordingApp::Make);
  {
    // First use before the window: the logon names none, and is not repeated.
    CPocketOutlook poom(TRUE);
    ASSERT_EQ(CPocketOutlook::GetInst(), &recorder);
    TestPanel panel;
    ASSERT_TRUE(CreateNotificationWindow(panel.hwnd()));
    CPocketOutlook again(TRUE);
    CPocketOutlook::GetInst();
    ASSERT_EQ(recorder.logons.size(), 1u);
    EXPECT_EQ(recorder.logons[0], 0);
    CPocketOutlook::Logoff();

    // Made after the window: the logon names it.
    CPocketOutlook later(TRUE);
    CPocketOutlook::GetInst();
    ASSERT_EQ(recorder.logons.size(), 2u);
    EXPECT_EQ(recorder.logons[1], static_cast<long>(reinterpret_cast<LONG_PTR>(GetNotificationWindow()->m_hWnd)));
    CPocketOutlook::Logoff();
  }
  EXPECT_EQ(recorder.refs, 1) << "every reference taken was given back";
  RecordingApp::Current() = nullptr;
}

// The panel's process logs on to the object model with its notification window; a
// change made through the object model in another process reaches the panel.
TEST_F(NotifyWndTest, AChangeInAnotherProcessReachesThePanel) {
  CComInitScope com(COINIT_APARTMENTTHREADED);
  ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  pimtest::UseLayout(true);
  pimtest::ClearStores();
  TestPanel panel;
  ASSERT_TRUE(CreateNotificationWindow(panel.hwnd()));
  CPocketOutlook poom(TRUE);
  ASSERT_TRUE(CPocketOutlook::GetInst());
  ASSERT_TRUE(CPocketOutlook::IsLoggedOn());

  ASSERT_EQ(cedbtest::RunChild(L"pim-task", L"newer"), 0u);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return panel.Records().size() >= 3; }));
  std::vector<CENOTIFICATION> records = panel.Records();
  ASSERT_EQ(records.size(), 3u);
  const UINT types[] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(records[i].uType, types[i]);
    EXPECT_EQ(records[i].oidParent, 13u) << "the tasks folder";
    EXPECT_EQ(records[i].oid, records[0].oid);
    EXPECT_EQ(records[i].dwParam, 0u);
  }
  EXPECT_EQ(records[0].oid & 0xF0000000, 0xC0000000u) << "a task of the newer store";

  // Logged off, the object model of this process is gone: nothing more arrives.
  CPocketOutlook::Logoff();
  panel.got.clear();
  ASSERT_EQ(cedbtest::RunChild(L"pim-task", L"newer"), 0u);
  Sleep(100);
  Pump();
  EXPECT_TRUE(panel.Records().empty());
}

// What another process may throw at the window: addresses of its own, records of the
// wrong size, numbers no object model sends. None of it reaches the panel or ends us.
TEST_F(NotifyWndTest, HostileMessagesFromAnotherProcessChangeNothing) {
  TestPanel panel;
  HWND window = CreateNotificationWindow(panel.hwnd());
  ASSERT_TRUE(window);
  // The child sends as well as posts: this thread answers while it waits.
  HANDLE child = cedbtest::StartChild(L"hostile");
  ASSERT_TRUE(child);
  bool ended = cedbtest::PumpUntil([&] { return WaitForSingleObject(child, 0) == WAIT_OBJECT_0; });
  DWORD code = 1;
  GetExitCodeProcess(child, &code);
  CloseHandle(child);
  ASSERT_TRUE(ended);
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(cedbtest::PumpUntil([&] {
    for (const CENOTIFICATION& r : panel.Records())
      if (r.oid == kEndMarkerOid) return true;
    return false;
  }));
  Pump();
  EXPECT_TRUE(IsWindow(window));
  ASSERT_EQ(panel.got.size(), 1u) << "only the last, well-formed notification";
  EXPECT_EQ(panel.got[0].record.uType, static_cast<UINT>(DB_CEOID_CHANGED));
  EXPECT_EQ(panel.got[0].record.oidParent, 13u);
}

int Hostile() {
  HWND window = FindWindowW(L"QelTarvoTimeHelperWnd_1.0", nullptr);
  if (!window) return 2;
  DWORD_PTR result = 0;
  auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 5000, &result);
  };
  // A database notification whose record is an address in this process.
  send(WM_DBNOTIFICATION, 1, 0x10);
  PostMessageW(window, WM_DBNOTIFICATION, 1, static_cast<LPARAM>(0xDEADBEEF));
  // A virtual-message call naming an element by address.
  PostMessageW(window, RegisterWindowMessageW(kSendVirtualMessage), 0x12345678, 3);
  // Records of sizes nothing here reads.
  BYTE bytes[64] = {1, 2, 3};
  for (DWORD size : {0u, 3u, 36u, 64u}) {
    COPYDATASTRUCT copy = {1064, size, size ? bytes : nullptr};
    send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
  }
  // Item notifications no object model sends: numbers wider than the device's and
  // message numbers between the item notifications.
  PostMessageW(window, 0x8102, static_cast<WPARAM>(0x100000001ull), 9);
  PostMessageW(window, 0x8100, 5, static_cast<LPARAM>(0x10000000Dll));
  PostMessageW(window, 0x8103, 5, 9);
  PostMessageW(window, 0x8104, 5, 9);
  // The one well-formed notification marks the end.
  PostMessageW(window, 0x8102, kEndMarkerOid, 13);
  return 0;
}

}  // namespace

namespace cedbtest {

bool RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  if (job == L"panel-messages") {
    *exitCode = static_cast<DWORD>(paneltest::PostPanelMessagesInChild(arg));
    return true;
  }
  if (job == L"activate-item") {
    *exitCode = static_cast<DWORD>(paneltest::ActivateItemInChild(arg));
    return true;
  }
  if (job == L"category-write") {
    // "LAYOUT ID NAME": a category added as the object model adds one.
    int newer = 0;
    long id = 0;
    wchar_t name[64] = {};
    *exitCode = swscanf(arg.c_str(), L"%d %ld %63ls", &newer, &id, name) == 3 && cattest::WriteCategory(newer != 0, name, id)
                    ? 0u
                    : 1u;
    return true;
  }
  if (job == L"hostile") {
    *exitCode = static_cast<DWORD>(Hostile());
    return true;
  }
  if (job != L"pim-task") return false;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  *exitCode = static_cast<DWORD>(pimtest::SaveInChild(arg == L"newer"));
  CoUninitialize();
  return true;
}

}  // namespace cedbtest

namespace pimtest {

// Creates, changes and deletes a task through an object model of its own.
int SaveInChild(bool newer) {
  UseLayout(newer);
  CComPtr<IPOutlookApp> app;
  if (FAILED(CoCreateInstance(CLSID_Application, nullptr, 0x17, IID_IPOutlookApp, reinterpret_cast<void**>(&app))))
    return 3;
  app->Logon(0);
  CComPtr<IDispatch> item;
  CComPtr<ITask> task;
  if (FAILED(app->CreateItem(olTaskItem, &item)) ||
      FAILED(item->QueryInterface(IID_ITask, reinterpret_cast<void**>(&task))))
    return 4;
  BSTR subject = SysAllocString(L"Task of the child");
  task->put_Subject(subject);
  SysFreeString(subject);
  bool ok = SUCCEEDED(task->Save());
  task->put_Importance(2);
  ok = ok && SUCCEEDED(task->Save()) && SUCCEEDED(task->Delete());
  app->Logoff();
  return ok ? 0 : 5;
}

}  // namespace pimtest
