// Item notifications reach the logon window of another process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"

namespace pimtest {
int SaveInChild(bool newer);
}  // namespace pimtest

namespace cedbtest {

// Child jobs: "pim-save LAYOUT" creates, changes and deletes an appointment through its
// own application object, logged on without a window.
bool RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  if (job != L"pim-save") return false;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  *exitCode = static_cast<DWORD>(pimtest::SaveInChild(arg == L"newer"));
  CoUninitialize();
  return true;
}

}  // namespace cedbtest

namespace pimtest {

int SaveInChild(bool newer) {
  UseLayout(newer);
  IPOutlookApp* app = nullptr;
  if (FAILED(CoCreateInstance(CLSID_Application, nullptr, 0x17, IID_IPOutlookApp, reinterpret_cast<void**>(&app))))
    return 3;
  app->Logon(0);
  IDispatch* item = nullptr;
  IAppointment* appt = nullptr;
  int code = 4;
  if (SUCCEEDED(app->CreateItem(olAppointmentItem, &item)) &&
      SUCCEEDED(item->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt)))) {
    BSTR subject = SysAllocString(L"From the child");
    appt->put_Subject(subject);
    SysFreeString(subject);
    appt->put_Start(46083.5);
    appt->put_End(46083.6);
    bool ok = SUCCEEDED(appt->Save());
    appt->put_BusyStatus(olFree);
    ok = ok && SUCCEEDED(appt->Save()) && SUCCEEDED(appt->Delete());
    code = ok ? 0 : 5;
    appt->Release();
  }
  if (item) item->Release();
  app->Logoff();
  app->Release();
  return code;
}

namespace {

class NotificationTest : public ::testing::TestWithParam<bool> {};

TEST_P(NotificationTest, ReachTheLogonWindowOfAnotherProcess) {
  CComInitScope com(COINIT_MULTITHREADED);
  ASSERT_HRESULT_SUCCEEDED(RegisterServer());
  UseLayout(GetParam());
  ClearStores();
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  IPOutlookApp* app = CreateApp();
  ASSERT_TRUE(app);
  ASSERT_HRESULT_SUCCEEDED(app->Logon(static_cast<long>(reinterpret_cast<LONG_PTR>(window))));

  ASSERT_EQ(cedbtest::RunChild(L"pim-save", GetParam() ? L"newer" : L"older"), 0u);
  // The child has ended: its posts are all in the queue.
  std::vector<MSG> got;
  MSG msg;
  while (PeekMessageW(&msg, window, 0x8100, 0x8107, PM_REMOVE)) got.push_back(msg);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(PIM_ITEM_CREATED_LOCAL));
  EXPECT_EQ(got[1].message, static_cast<UINT>(PIM_ITEM_CHANGED_LOCAL));
  EXPECT_EQ(got[2].message, static_cast<UINT>(PIM_ITEM_DELETED_LOCAL));
  for (const MSG& m : got) {
    EXPECT_EQ(m.wParam, got[0].wParam);
    EXPECT_EQ(m.lParam, 9);
  }
  if (GetParam()) {
    EXPECT_EQ(got[0].wParam & 0xC0000000, 0x40000000u);
  }

  // After logoff nothing more arrives.
  app->Logoff();
  ASSERT_EQ(cedbtest::RunChild(L"pim-save", GetParam() ? L"newer" : L"older"), 0u);
  EXPECT_FALSE(PeekMessageW(&msg, window, 0x8100, 0x8107, PM_REMOVE));
  app->Release();
  DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(Layouts, NotificationTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

}  // namespace
}  // namespace pimtest
