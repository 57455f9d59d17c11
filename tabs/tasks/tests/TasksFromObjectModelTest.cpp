// Tasks written by another program, the device's object model, read by the list in
// both layouts.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/tests/DeviceRoot.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/tasks/TasksList.h"

namespace {

const double T = 47544.0;  // 2030-03-02
const double kHour = 1.0 / 24;

struct TaskByModel {
  const wchar_t* subject;
  double start, due;
  long importance;  // 0 low, 1 normal, 2 high
  bool complete;
  long sensitivity;
  double reminder;  // 0: none
};

class TasksFromObjectModelTest : public ::testing::TestWithParam<bool> {
 protected:
  TasksFromObjectModelTest() : m_mode(GetParam()) {}
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    pimtest::UseLayout(GetParam());
    pimtest::ClearStores();
    app = pimtest::CreateApp();
    ASSERT_NE(app, nullptr);
  }
  void TearDown() override {
    if (app) app->Release();
    pimtest::ClearStores();
    CoUninitialize();
  }
  void Save(const TaskByModel& t) {
    CComPtr<IDispatch> made;
    ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olTaskItem, &made));
    CComPtr<ITask> task;
    ASSERT_HRESULT_SUCCEEDED(made->QueryInterface(IID_ITask, reinterpret_cast<void**>(&task)));
    BSTR subject = SysAllocString(t.subject);
    task->put_Subject(subject);
    SysFreeString(subject);
    if (t.start) task->put_StartDate(t.start);
    if (t.due) task->put_DueDate(t.due);
    task->put_Importance(t.importance);
    task->put_Sensitivity(t.sensitivity);
    if (t.reminder) {
      task->put_ReminderSet(VARIANT_TRUE);
      task->put_ReminderTime(t.reminder);
    }
    if (t.complete) task->put_Complete(VARIANT_TRUE);
    ASSERT_HRESULT_SUCCEEDED(task->Save());
  }
  CStoreMode m_mode;
  IPOutlookApp* app = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Layouts, TasksFromObjectModelTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

TEST_P(TasksFromObjectModelTest, WhatTheObjectModelWroteReadsBack) {
  const TaskByModel written[] = {
      {L"high", 0, T, 2, false, 0, 0},
      {L"low spanning", T - 1, T + 1, 0, false, 0, 0},
      {L"normal undated", 0, 0, 1, false, 0, 0},
      {L"done", 0, T - 2, 1, true, 0, 0},
      {L"private", 0, 0, 1, false, 2, 0},
      {L"reminded", 0, T, 1, false, 0, T - 1 + 9 * kHour},
  };
  for (const TaskByModel& t : written) {
    Save(t);
    if (HasFatalFailure()) return;
  }
  CTasksList list;
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, TRUE, 0));
  std::map<std::wstring, TASK_ITEM*> loaded;
  for (int k = 0; k < list.GetTaskCount(); ++k) loaded[std::wstring(list.GetTaskAt(k)->subject)] = list.GetTaskAt(k);
  ASSERT_EQ(loaded.size(), sizeof written / sizeof written[0]);
  for (const TaskByModel& t : written) {
    SCOPED_TRACE(t.subject);
    TASK_ITEM* task = loaded[t.subject];
    ASSERT_TRUE(task);
    EXPECT_NEAR(task->start, t.start, 1e-6);
    EXPECT_NEAR(task->due, t.due, 1e-6);
    EXPECT_EQ(task->importance, static_cast<int>(t.importance) - 1);
    EXPECT_EQ(task->complete != FALSE, t.complete);
    EXPECT_EQ(task->privateValue != 0, t.sensitivity != 0);
    EXPECT_EQ(task->reminderSet != FALSE, t.reminder != 0);
    if (t.reminder) {
      const double time = GetParam() ? task->reminderTime : list.GetReminderTime(task->itemOid, FALSE);
      EXPECT_NEAR(time, t.reminder, 1.0 / 1440);
    }
  }
}

}  // namespace
