// Logon and logoff of the object model: against the device's object model in this
// prefix, and against a recorder that counts references.
#include "pim/PocketOutlook.h"

#include <gtest/gtest.h>

#include <vector>

#include "pim/tests/RecordingApp.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"

namespace cedbtest {

bool RunNamedJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode);
bool RunCategoryJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode);
bool RunIconJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode);

bool RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  return RunNamedJob(job, arg, exitCode) || RunCategoryJob(job, arg, exitCode) || RunIconJob(job, arg, exitCode);
}

}  // namespace cedbtest

namespace {

class PocketOutlookTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CPocketOutlook::Logoff();
    CPocketOutlook::SetFactory(nullptr);
    CPocketOutlook::SetNotificationWindow(nullptr);
  }
};

IPOutlookApp* g_made = nullptr;

TEST_F(PocketOutlookTest, LogsOnToTheDevicesObjectModelAndGivesBackEveryReference) {
  CComInitScope com(COINIT_APARTMENTTHREADED);
  ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  pimtest::UseLayout(true);
  // The device's object, with one reference of the test's own to see the count.
  CPocketOutlook::SetFactory([](IPOutlookApp** app) -> HRESULT {
    HRESULT hr = CoCreateInstance(CLSID_Application, nullptr, 23, IID_IPOutlookApp, reinterpret_cast<void**>(app));
    if (SUCCEEDED(hr)) {
      g_made = *app;
      g_made->AddRef();
    }
    return hr;
  });
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  CPocketOutlook::SetNotificationWindow(window);
  CPocketOutlook poom(TRUE);
  IPOutlookApp* app = CPocketOutlook::GetInst();
  ASSERT_TRUE(app);
  EXPECT_EQ(CPocketOutlook::GetInst(), app) << "one object for the process";
  EXPECT_TRUE(CPocketOutlook::IsLoggedOn());
  EXPECT_TRUE(CPocketOutlook::GetInst2()) << "the second application interface";
  CComPtr<IFolder> calendar;
  EXPECT_HRESULT_SUCCEEDED(app->GetDefaultFolder(olFolderCalendar, &calendar));
  calendar.Release();

  CPocketOutlook::Logoff();
  EXPECT_FALSE(CPocketOutlook::IsLoggedOn());
  EXPECT_EQ(g_made->Release(), 0u) << "logoff gave back every reference creation took";
  g_made = nullptr;
  DestroyWindow(window);
}

TEST_F(PocketOutlookTest, TheLogonNamesTheWindowAsTheAccessorAsks) {
  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234));
  const struct Case {
    const char* what;
    bool windowExists;
    BOOL useWindow;
    HRESULT logon;
    long expectedWindow;
    BOOL loggedOn;
  } cases[] = {
      {"window and accessor asking", true, TRUE, S_OK, 0x1234, TRUE},
      {"window not made yet", false, TRUE, S_OK, 0, TRUE},
      {"accessor asking for none", true, FALSE, S_OK, 0, TRUE},
      {"logon refused", true, TRUE, E_FAIL, 0x1234, FALSE},
  };
  CPocketOutlook::SetFactory(RecordingApp::Make);
  for (const Case& c : cases) {
    RecordingApp app;
    app.logonResult = c.logon;
    RecordingApp::Current() = &app;
    CPocketOutlook::SetNotificationWindow(c.windowExists ? window : nullptr);
    CPocketOutlook poom(c.useWindow);
    EXPECT_EQ(CPocketOutlook::GetInst(), &app) << c.what;
    ASSERT_EQ(app.logons.size(), 1u) << c.what;
    EXPECT_EQ(app.logons[0], c.expectedWindow) << c.what;
    EXPECT_EQ(CPocketOutlook::IsLoggedOn(), c.loggedOn) << c.what;
    // The window appearing later does not log on again.
    CPocketOutlook::SetNotificationWindow(window);
    CPocketOutlook::GetInst();
    EXPECT_EQ(app.logons.size(), 1u) << c.what;
    CPocketOutlook::Logoff();
    EXPECT_EQ(app.logoffs, c.loggedOn ? 1 : 0) << c.what;
    EXPECT_EQ(app.refs, 1) << c.what << ": every reference given back";
    CPocketOutlook::Logoff();
    EXPECT_EQ(app.logoffs, c.loggedOn ? 1 : 0) << c.what << ": a second logoff does nothing";
  }
  RecordingApp::Current() = nullptr;
  CPocketOutlook poom(TRUE);
  EXPECT_EQ(CPocketOutlook::GetInst(), nullptr) << "no object model on the device";
  EXPECT_FALSE(CPocketOutlook::Login());
}

}  // namespace
