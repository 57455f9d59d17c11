// The whole plug-in on the emulated device with the device's sample mail stores: as the
// Today screen makes the plug-in, its mail folder filters take the two accounts; the
// options program's settings message merges them again after the filters were lost.
#include <gtest/gtest.h>

#include <string>

#include "tabs/join/tests/DeviceTestSupport.h"
#include "tabs/join/tests/MailTestSupport.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

namespace {

using devicetest::WaitFor;

class DeviceMail : public devicetest::DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicemail", TARVO_DEVICE_CALENDAR));
    sampletest::RegisterSampleServices(*m_sandbox);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    ASSERT_NO_FATAL_FAILURE(Start());
  }
  void TearDown() override {
    DeviceToday::TearDown();
    mapitest::RemoveStores();
  }
  std::wstring Known() const {
    std::wstring known;
    return Product().ReadString(L"KnownEmailAccounts", known) ? known : L"(none)";
  }
  DWORD StoredFilters() const { return mailtest::StoredFilters(*m_sandbox); }
};

TEST_F(DeviceMail, ThePanelMergesTheAccountsAtStartAndOnTheSettingsMessage) {
  EXPECT_EQ(Known(), L"ActiveSync;SMS") << DeviceToday::Log(L"DeviceMail");
  EXPECT_EQ(StoredFilters(), 7u);

  mailtest::FiltersKey(*m_sandbox).Delete();
  Product().WriteString(L"KnownEmailAccounts", L"ActiveSync;SMS");
  ASSERT_EQ(StoredFilters(), 0u);
  HWND item = m_host.ItemAt(0).record->hwndCustom;
  ASSERT_TRUE(item);
  PostMessageW(item, RegisterWindowMessageW(L"QelTarvo_UpdateSettings"), 0, 0);
  EXPECT_TRUE(WaitFor([&] { return StoredFilters() == 7u; })) << DeviceToday::Log(L"DeviceMail");
  EXPECT_EQ(Known(), L"ActiveSync;SMS");
}

}  // namespace
