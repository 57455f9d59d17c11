// The whole plug-in on the emulated device: the Today screen loads QelTarvo.dll, the
// store holds the device's sample tasks, and a tap on a task's check box goes through
// the item-operations program into the store and back to the row by the store's
// notification. Nothing of the plug-in is called directly: the screen is tapped and read.
#include <gtest/gtest.h>

#include <string>

#include "base/DateTime.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/today/RowSteps.h"
#include "tabs/join/tests/DeviceTestSupport.h"

namespace cedbtest {
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest

namespace {

const CEPROPID kSubjectProp = 0x0020001F;
// The newer store keeps completion as the day it happened; none, or one past its
// "no date" mark, is an open task.
const CEPROPID kCompletedOnProp = 0x00640040;
const double kNoDateFrom = 949990.0;
const wchar_t kOverdueTask[] = L"Renew the car insurance";
// The colour an overdue task's text and check box are drawn in.
const COLORREF kOverdueColour = RGB(0xC0, 0x10, 0x10);

using devicetest::RunSteps;
using devicetest::Screen;
using devicetest::Shoot;
using devicetest::WaitFor;

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

// The sample tasks in the device's store, grouped by due date with every task shown,
// as the device's picture of the tab.
class DeviceTasks : public devicetest::DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicetasks", TARVO_DEVICE_TASKS));
    ASSERT_EQ(StoredCompletion(kOverdueTask), 0);
    Product().WriteDWORD(L"TasksGroupBy", 553);
    Product().WriteDWORD(L"Tasks_ShowTasksStyle", 0);
    ASSERT_NO_FATAL_FAILURE(Start());
  }
  std::string Log() const { return DeviceToday::Log(L"DeviceTasks"); }
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

// The store's categories as the object model keeps them, one of them given to a sample
// task, and the Tasks tab grouped by category.
class DeviceTaskCategories : public devicetest::DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicetaskcategories", TARVO_DEVICE_TASKS));
    ASSERT_TRUE(cattest::WriteCategory(true, L"Errands", 4));
    ASSERT_TRUE(cattest::WriteCategory(true, L"Garden", 5));
    // The sample task 103 on the newer store: the task kind in the top four bits.
    ASSERT_TRUE(cattest::WriteAssociation(0xC0000000u | 103u, 4));
    Product().WriteDWORD(L"TasksGroupBy", 551);
    Product().WriteDWORD(L"Tasks_ShowTasksStyle", 0);
    ASSERT_NO_FATAL_FAILURE(Start());
  }
  std::string Log() const { return DeviceToday::Log(L"DeviceTaskCategories"); }
};

// The plug-in reads the device's categories: the task is filed under its category's
// name, and the group holds it alone.
TEST_F(DeviceTaskCategories, ATaskIsFiledUnderItsCategorysName) {
  ASSERT_TRUE(RunSteps(m_host, L"wait 300\ntap 12 30\n"));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"DeviceTaskCategories.txt";
  std::wstring dump;
  const wchar_t kTask[] = L"\"Buy a birthday card for Anna\"";
  ASSERT_TRUE(WaitFor([&] {
    dump = WriteItemRows(m_host, path) ? ReadRowDump(path) : std::wstring();
    return dump.find(L"\"Errands\"") != std::wstring::npos && dump.find(kTask) != std::wstring::npos;
  })) << std::string(dump.begin(), dump.end()) << Log();
  const size_t header = dump.find(L"\"Errands\"");
  const size_t task = dump.find(kTask);
  const size_t nextGroup = dump.find(L"group ", header);
  EXPECT_LT(header, task) << std::string(dump.begin(), dump.end());
  EXPECT_TRUE(nextGroup == std::wstring::npos || nextGroup > task) << std::string(dump.begin(), dump.end());
  EXPECT_EQ(dump.find(L"\"Garden\""), std::wstring::npos) << "a category no task has shows no group";
  DeleteFileW(path.c_str());
}

}  // namespace
