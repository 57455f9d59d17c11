// The whole plug-in on the emulated device: the Today screen loads QelTarvo.dll, the
// store holds the device's sample tasks, and a tap on a task's check box goes through
// the item-operations program into the store and back to the row by the store's
// notification. Nothing of the plug-in is called directly: the screen is tapped and read.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Registration.h"
#include "pim/OndrelClient.h"
#include "platform/cedbtool/VolumeText.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"
#include "tabs/join/tests/DeviceScreen.h"

namespace cedbtest {
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest

namespace {

using devicetest::RunSteps;
using devicetest::Screen;
using devicetest::Shoot;
using devicetest::WaitFor;

const CEPROPID kSubjectProp = 0x0020001F;
// The newer store keeps completion as the day it happened; none, or one past its
// "no date" mark, is an open task.
const CEPROPID kCompletedOnProp = 0x00640040;
const double kNoDateFrom = 949990.0;
const wchar_t kOverdueTask[] = L"Renew the car insurance";
// The colour an overdue task's text and check box are drawn in.
const COLORREF kOverdueColour = RGB(0xC0, 0x10, 0x10);

std::string ReadText(const std::wstring& path) { return cedbtest::ReadFileBytes(path); }

// The newer store's task with that subject: its completion flag; -1 when not found.
int StoredCompletion(const wchar_t* subject) {
  for (const pimtest::RawRecord& r : pimtest::ReadRaw(L"Tasks Database", true)) {
    auto text = r.texts.find(kSubjectProp);
    if (text == r.texts.end() || text->second != subject) continue;
    auto on = r.values.find(kCompletedOnProp);
    if (on == r.values.end()) return 0;
    double day = 0;
    if (!FileTimeToVariantDate(on->second.val.filetime, &day)) return 0;
    return day < kNoDateFrom ? 1 : 0;
  }
  return -1;
}


// The device as its profile describes it, the sample tasks in its store, the plug-in
// registered as the one Today item with its install folder beside this program.
class DeviceTasks : public ::testing::Test {
 protected:
  void SetUp() override {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", L"5.1");
    m_device.Set(L"Dpi", L"96");
    m_device.Set(L"Screen", L"240x320");
    m_device.Set(L"Clock", L"2026-03-16 09:30:00");
    // The object model's server is registered for the whole prefix: the program that
    // changes the store is another process, outside this one's registry sandbox.
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    m_sandbox.reset(new CLocalMachineSandbox(L"devicetasks"));
    pimtest::ClearStores();
    std::string text = ReadText(TARVO_DEVICE_TASKS), error;
    ASSERT_FALSE(text.empty());
    CEGUID volume;
    std::wstring name = L"pim.vol";
    ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
    ASSERT_TRUE(VolumeText::Load(volume, text, &error)) << error;
    CeUnmountDBVol(&volume);
    ASSERT_EQ(StoredCompletion(kOverdueTask), 0);

    CLocalMachineSandbox& m_machine = *m_sandbox;
    ASSERT_TRUE(m_machine.Redirected());
    devicetest::RegisterPluginItem(m_machine);
    CRegistryView product = m_machine.Key(TARVO_PRODUCT_KEY);
    // Grouped by due date with every task shown, as the device's picture of the tab.
    product.WriteDWORD(L"TasksGroupBy", 553);
    product.WriteDWORD(L"Tasks_ShowTasksStyle", 0);

    TodayHostOptions options;
    options.pollMs = 500;
    ASSERT_TRUE(m_host.Create(options));
  }
  void TearDown() override {
    m_host.Destroy();
    COndrelClient::Instance().StopOndrel();
  }

  // The log, and the screen saved beside the temporary files for a look.
  std::string Log() const { return devicetest::HostLog(m_host, L"DeviceTasks.png"); }

  CDeviceSwitch m_device;
  std::unique_ptr<CLocalMachineSandbox> m_sandbox;
  CTodayHost m_host;
};

TEST_F(DeviceTasks, TappingACheckBoxCompletesTheTaskInTheStoreAndOnTheScreen) {
  ASSERT_EQ(m_host.ItemCount(), 1u) << Log();
  // The strip's second cell: the Tasks tab, whose one overdue open task is drawn red.
  ASSERT_TRUE(RunSteps(m_host, L"wait 300\ntap 12 30\n"));
  RECT box = {};
  ASSERT_TRUE(WaitFor([&] { return Shoot(m_host).FindBox(kOverdueColour, &box); }))
      << "no overdue task's check box on the screen\n" << Log();
  ASSERT_FALSE(Shoot(m_host).Ticked(box));

  // The question is answered with its default button (Yes); the program sets the flag.
  const size_t logged = m_host.LogLines().size();
  ASSERT_TRUE(RunSteps(m_host, L"tap " + std::to_wstring((box.left + box.right) / 2) + L" " +
                                   std::to_wstring((box.top + box.bottom) / 2) + L"\n"));
  EXPECT_TRUE(WaitFor([] { return StoredCompletion(kOverdueTask) == 1; })) << "the store never took the completion\n" << Log();
  // The store's notification brings the row back complete: no longer overdue, its box ticked.
  EXPECT_TRUE(WaitFor([&] {
    Screen now = Shoot(m_host);
    return !now.Has(kOverdueColour) && now.Ticked(box);
  })) << "the row was never drawn complete\n" << Log();
  // Every other sample task kept its state.
  EXPECT_EQ(StoredCompletion(L"Call the dentist about Thursday"), 0);
  EXPECT_EQ(StoredCompletion(L"Buy a birthday card for Anna"), 0);
  // The question was put and answered Yes, as the person would.
  bool answeredYes = false;
  for (size_t i = logged; i < m_host.LogLines().size(); ++i)
    answeredYes = answeredYes || m_host.LogLines()[i].find(L"answered 6:") != std::wstring::npos;
  EXPECT_TRUE(answeredYes);
}

}  // namespace
