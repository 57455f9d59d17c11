// Changing and creating items through the object model: each operation against the
// device's store, then the whole way from the plug-in's client through the running
// program to the plug-in's own lists, which hear the store's notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/tests/DeviceRoot.h"
#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "ondrel/PoomHelper.h"
#include "pim/OndrelClient.h"
#include "pim/PocketOutlook.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "ondrel/tests/TestDates.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/tasks/TasksList.h"

namespace {

const double kHour = 1.0 / 24;
const DWORD kSeries = 949998;

// The store seen through its own object model, as a test reads it back.
class Store {
 public:
  Store() : m_app(pimtest::CreateApp()) {
    if (m_app) m_app->Logon(0);
  }
  ~Store() {
    if (m_app) {
      m_app->Logoff();
      m_app->Release();
    }
  }
  template <class T>
  T* Get(DWORD oid, const IID& iid) {
    IDispatch* item = nullptr;
    T* typed = nullptr;
    if (m_app && SUCCEEDED(m_app->GetItemFromOid(static_cast<long>(oid), &item)) && item) {
      item->QueryInterface(iid, reinterpret_cast<void**>(&typed));
      item->Release();
    }
    return typed;
  }
  DWORD Create(int type, const std::function<void(IDispatch*)>& fill) {
    IDispatch* item = nullptr;
    if (!m_app || FAILED(m_app->CreateItem(type, &item)) || !item) return 0;
    fill(item);
    IItem* generic = nullptr;
    long oid = 0;
    if (SUCCEEDED(item->QueryInterface(IID_IItem, reinterpret_cast<void**>(&generic)))) {
      generic->Save();
      generic->get_Oid(&oid);
      generic->Release();
    }
    item->Release();
    return static_cast<DWORD>(oid);
  }
  DWORD Appointment(const wchar_t* subject, double start, double end) {
    return Create(olAppointmentItem, [&](IDispatch* item) {
      IAppointment* a = nullptr;
      item->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&a));
      BSTR text = SysAllocString(subject);
      a->put_Subject(text);
      SysFreeString(text);
      a->put_Start(start);
      a->put_End(end);
      a->Release();
    });
  }
  DWORD Task(const wchar_t* subject, double start, double due) {
    return Create(olTaskItem, [&](IDispatch* item) {
      ITask* t = nullptr;
      item->QueryInterface(IID_ITask, reinterpret_cast<void**>(&t));
      BSTR text = SysAllocString(subject);
      t->put_Subject(text);
      SysFreeString(text);
      t->put_StartDate(start);
      t->put_DueDate(due);
      t->Release();
    });
  }
  DWORD Contact(const wchar_t* company) {
    return Create(olContactItem, [&](IDispatch* item) {
      IContact* c = nullptr;
      item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&c));
      BSTR text = SysAllocString(company);
      c->put_CompanyName(text);
      SysFreeString(text);
      c->Release();
    });
  }
  int Count(int folderNumber) {
    IFolder* folder = nullptr;
    IPOutlookItemCollection* items = nullptr;
    int count = -1;
    if (m_app && SUCCEEDED(m_app->GetDefaultFolder(folderNumber, &folder)) && folder &&
        SUCCEEDED(folder->get_Items(&items)) && items)
      items->get_Count(&count);
    if (items) items->Release();
    if (folder) folder->Release();
    return count;
  }
  // Every item of a folder, in the store's order.
  template <class T>
  std::vector<T*> All(int folderNumber, const IID& iid) {
    std::vector<T*> out;
    IFolder* folder = nullptr;
    IPOutlookItemCollection* items = nullptr;
    if (m_app && SUCCEEDED(m_app->GetDefaultFolder(folderNumber, &folder)) && folder &&
        SUCCEEDED(folder->get_Items(&items)) && items) {
      int count = 0;
      items->get_Count(&count);
      for (int i = 1; i <= count; ++i) {
        IDispatch* item = nullptr;
        T* typed = nullptr;
        if (SUCCEEDED(items->Item(i, &item)) && item) {
          item->QueryInterface(iid, reinterpret_cast<void**>(&typed));
          item->Release();
        }
        if (typed) out.push_back(typed);
      }
    }
    if (items) items->Release();
    if (folder) folder->Release();
    return out;
  }

 private:
  IPOutlookApp* m_app;
};

std::wstring Text(BSTR text) {
  std::wstring value = text ? text : L"";
  SysFreeString(text);
  return value;
}

class ChangeItems : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    pimtest::UseLayout(GetParam());
    pimtest::ClearStores();
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_savedPim = product.QueryDWORD(L"CurrentPIM");
    CPoomHelper::SetNewItemPause(0);
  }
  void TearDown() override {
    CPocketOutlook::Logoff();
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"CurrentPIM", m_savedPim);
    CPoomHelper::SetNewItemPause(200);
  }
  CComInitScope m_com;
  DWORD m_savedPim = 0;
};

TEST_P(ChangeItems, AppointmentsMoveRemindDeleteAndCopy) {
  Store store;
  const double start = TestDate(2026, 3, 14, 9, 30);
  const DWORD moved = store.Appointment(L"Move", start, start + kHour);
  const DWORD kept = store.Appointment(L"Keep", start, start + kHour);
  ASSERT_NE(moved, 0u);
  CPoomHelper helper;

  // The whole appointment an hour later, busy status and all-day flag as given.
  EXPECT_EQ(helper.ChangeAppointment(moved, kSeries, start + kHour, start + 2 * kHour, 3, 0x10000), 1);
  {
    IAppointment* a = store.Get<IAppointment>(moved, IID_IAppointment);
    ASSERT_NE(a, nullptr);
    double s = 0, e = 0;
    long status = 0;
    VARIANT_BOOL allDay = VARIANT_TRUE;
    a->get_Start(&s);
    a->get_End(&e);
    a->get_BusyStatus(&status);
    a->get_AllDayEvent(&allDay);
    a->Release();
    EXPECT_NEAR(s, start + kHour, 1e-6);
    EXPECT_NEAR(e, start + 2 * kHour, 1e-6);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(allDay, VARIANT_FALSE) << "only the low 16 bits of the flag count";
  }

  // Reminders: -1 clears, 0 reminds at the start.
  const struct {
    LONG minutes;
    VARIANT_BOOL set;
    long before;
  } reminders[] = {{15, VARIANT_TRUE, 15}, {0, VARIANT_TRUE, 0}, {-1, VARIANT_FALSE, -1}};
  for (const auto& r : reminders) {
    EXPECT_EQ(helper.SetApptReminder(moved, r.minutes), 1);
    IAppointment* a = store.Get<IAppointment>(moved, IID_IAppointment);
    ASSERT_NE(a, nullptr);
    VARIANT_BOOL set = VARIANT_FALSE;
    long before = -1;
    a->get_ReminderSet(&set);
    a->get_ReminderMinutesBeforeStart(&before);
    a->Release();
    EXPECT_EQ(set, r.set) << r.minutes;
    if (r.set) {
      EXPECT_EQ(before, r.before) << r.minutes;
    }
  }

  // A day the appointment does not fall on names nothing: nothing is deleted.
  EXPECT_EQ(helper.ChangeAppointment(kept, static_cast<DWORD>(TestDate(2026, 3, 15)), kNoDate, kNoDate, 0, 0), 0);
  EXPECT_EQ(store.Count(9), 2);
  // The copy flag copies; its own day finds it.
  EXPECT_EQ(helper.ChangeAppointment(kept, static_cast<DWORD>(TestDate(2026, 3, 14)), kNoDate, kNoDate, 1, 0), 1);
  EXPECT_EQ(store.Count(9), 3);
  EXPECT_EQ(helper.ChangeAppointment(moved, kSeries, kNoDate, kNoDate, 0, 0), 1);
  EXPECT_EQ(store.Count(9), 2);
  EXPECT_EQ(helper.ChangeAppointment(moved, kSeries, start, start + kHour, 2, 0), 0) << "gone";
  EXPECT_EQ(helper.SetApptReminder(moved, 5), 0);
}

TEST_P(ChangeItems, CompletionSetsTheStateAskedFor) {
  Store store;
  const DWORD task = store.Task(L"Report", kNoDate, kNoDate);
  ASSERT_NE(task, 0u);
  CPoomHelper helper;
  auto complete = [&] {
    ITask* t = store.Get<ITask>(task, IID_ITask);
    VARIANT_BOOL value = VARIANT_FALSE;
    if (t) {
      t->get_Complete(&value);
      t->Release();
    }
    return value != VARIANT_FALSE;
  };
  // A double tap, or a view behind the store, asks twice for the same: it stays.
  const struct {
    int asked;
    bool after;
  } steps[] = {{1, true}, {1, true}, {0, false}, {0, false}, {-1, true}, {-1, false}};
  for (const auto& step : steps) {
    EXPECT_EQ(helper.CompleteTask(task, step.asked), 1) << step.asked;
    EXPECT_EQ(complete(), step.after) << step.asked;
  }
  EXPECT_EQ(store.Count(13), 1) << "no repeat copy without a marker";
  // A task that is not there is no success.
  EXPECT_EQ(helper.CompleteTask(0x7FFFFFF0, 1), 0);
}

TEST_P(ChangeItems, ARepeatMarkerMakesTheNextCopy) {
  Store store;
  const double due = TestDate(2009, 3, 1), start = due - 2;
  const DWORD task = store.Task(L"Water |7: the plants", start, due);
  ASSERT_NE(task, 0u);
  CPoomHelper helper;
  EXPECT_EQ(helper.CompleteTask(task, 1), 1);
  std::vector<ITask*> tasks = store.All<ITask>(13, IID_ITask);
  ASSERT_EQ(tasks.size(), 2u);
  int open = 0;
  for (ITask* t : tasks) {
    VARIANT_BOOL done = VARIANT_FALSE;
    double d = 0, s = 0;
    t->get_Complete(&done);
    t->get_DueDate(&d);
    t->get_StartDate(&s);
    if (!done) {
      ++open;
      EXPECT_EQ(d, GetTodayDate() + 7);
      EXPECT_EQ(s, d - 2) << "the start keeps its distance to the due date";
    } else {
      EXPECT_EQ(d, due);
    }
    t->Release();
  }
  EXPECT_EQ(open, 1);
  // Completing it again (already complete) makes no further copy.
  EXPECT_EQ(helper.CompleteTask(task, 1), 1);
  EXPECT_EQ(store.Count(13), 2);
}

TEST_P(ChangeItems, TasksContactsDatesAndCategories) {
  Store store;
  const DWORD task = store.Task(L"Call", kNoDate, kNoDate);
  const DWORD contact = store.Contact(L"Korvel");
  const DWORD appt = store.Appointment(L"Lunch", TestDate(2026, 5, 2, 12), TestDate(2026, 5, 2, 13));
  CPoomHelper helper;

  EXPECT_EQ(helper.ChangeTaskDate(task, TestDate(2026, 5, 1), TestDate(2026, 5, 3), kNoDate), 1);
  {
    ITask* t = store.Get<ITask>(task, IID_ITask);
    ASSERT_NE(t, nullptr);
    double s = 0, d = 0;
    VARIANT_BOOL remind = VARIANT_TRUE;
    t->get_StartDate(&s);
    t->get_DueDate(&d);
    t->get_ReminderSet(&remind);
    t->Release();
    EXPECT_EQ(s, TestDate(2026, 5, 1));
    EXPECT_EQ(d, TestDate(2026, 5, 3));
    EXPECT_EQ(remind, VARIANT_FALSE);
  }

  // Categories on each kind of item; an item that is not there fails.
  for (DWORD oid : {task, contact, appt}) EXPECT_EQ(helper.SetCategories(oid, L"Work, Home"), 1) << oid;
  {
    ITask* t = store.Get<ITask>(task, IID_ITask);
    IContact* c = store.Get<IContact>(contact, IID_IContact);
    IAppointment* a = store.Get<IAppointment>(appt, IID_IAppointment);
    ASSERT_TRUE(t && c && a);
    BSTR text = nullptr;
    t->get_Categories(&text);
    EXPECT_EQ(Text(text), L"Work, Home");
    c->get_Categories(&text);
    EXPECT_EQ(Text(text), L"Work, Home");
    a->get_Categories(&text);
    EXPECT_EQ(Text(text), L"Work, Home");
    t->Release();
    c->Release();
    a->Release();
  }
  EXPECT_EQ(helper.SetCategories(0x7FFFFFF0, L"Work"), 0);

  // Copies and deletions of tasks and contacts; an appointment is no contact.
  EXPECT_EQ(helper.CopyItem(13, task), 1);
  EXPECT_EQ(helper.CopyItem(10, contact), 1);
  EXPECT_EQ(store.Count(13), 2);
  EXPECT_EQ(store.Count(10), 2);
  EXPECT_EQ(helper.DeleteItem(10, appt), 0);
  EXPECT_EQ(store.Count(9), 1);
  EXPECT_EQ(helper.DeleteItem(13, task), 1);
  EXPECT_EQ(helper.DeleteItem(10, contact), 1);
  EXPECT_EQ(store.Count(13), 1);
  EXPECT_EQ(store.Count(10), 1);
  EXPECT_EQ(helper.DeleteItem(13, task), 0) << "already gone";

  // Beaming hands the item to the infrared folder and sends it.
  EXPECT_EQ(helper.BeamItem(appt, 1), 1);
  EXPECT_EQ(helper.BeamItem(0x7FFFFFF0, 1), 0);
}

// New items with a PIM choice that shows nothing: made, kept, reported as made.
TEST_P(ChangeItems, NewItemsGetTheirDefaultsAndStay) {
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"CurrentPIM", 5);
  }
  CPoomHelper helper;
  helper.ReadPimChoice();
  Store store;

  EXPECT_EQ(helper.NewItem(ITEM_APPOINTMENT, L"Work", kNoDate, kNoDate, nullptr, 0), 1);
  EXPECT_EQ(helper.NewItem(ITEM_APPOINTMENT, L"", TestDate(2009, 3, 1), TestDate(2009, 3, 2), nullptr, 0), 1);
  std::vector<IAppointment*> appts = store.All<IAppointment>(9, IID_IAppointment);
  ASSERT_EQ(appts.size(), 2u) << "a new item the chosen PIM does not show is not taken away";
  for (IAppointment* a : appts) {
    double s = 0, e = 0;
    VARIANT_BOOL allDay = VARIANT_FALSE;
    BSTR categories = nullptr;
    a->get_Start(&s);
    a->get_End(&e);
    a->get_AllDayEvent(&allDay);
    a->get_Categories(&categories);
    const std::wstring text = Text(categories);
    if (text == L"Work") {
      EXPECT_NEAR(s, GetTodayDate() + 0.5, 1e-6) << "today at noon";
      EXPECT_NEAR(e, s + kHour, 1e-6);
      EXPECT_EQ(allDay, VARIANT_FALSE);
    } else {
      EXPECT_EQ(allDay, VARIANT_TRUE) << "midnight to midnight is a whole day";
      EXPECT_NEAR(s, TestDate(2009, 3, 1), 1e-6);
    }
    a->Release();
  }

  EXPECT_EQ(helper.NewItem(ITEM_TASK, L"", TestDate(2026, 6, 4, 15), kNoDate, nullptr, 0), 1);
  std::vector<ITask*> tasks = store.All<ITask>(13, IID_ITask);
  ASSERT_EQ(tasks.size(), 1u);
  double s = 0, d = 0;
  tasks[0]->get_StartDate(&s);
  tasks[0]->get_DueDate(&d);
  tasks[0]->Release();
  EXPECT_EQ(s, TestDate(2026, 6, 4));
  EXPECT_EQ(d, TestDate(2026, 6, 4));

  EXPECT_EQ(helper.NewItemWithText2(ITEM_CONTACT, L"", L"Orvane Ltd"), 1);
  EXPECT_EQ(helper.NewItemWithText2(ITEM_CONTACT, L"Home", nullptr), 1);
  std::vector<IContact*> contacts = store.All<IContact>(10, IID_IContact);
  ASSERT_EQ(contacts.size(), 2u);
  std::vector<std::wstring> seen;
  for (IContact* c : contacts) {
    BSTR company = nullptr, first = nullptr;
    c->get_CompanyName(&company);
    c->get_FirstName(&first);
    seen.push_back(Text(company) + L"/" + Text(first));
    c->Release();
  }
  std::sort(seen.begin(), seen.end());
  const std::wstring title = CPoomHelper::LoadPocketOutlookString(TRUE).GetString();
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"/" + title, L"Orvane Ltd/"}));

  // Note files: an empty one makes nothing; a temporary one is deleted once used.
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring empty = std::wstring(folder) + L"ondrel-empty.pwi", note = std::wstring(folder) + L"ondrel-note.pwi";
  CloseHandle(CreateFileW(empty.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  HANDLE file = CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "ink!", 4, &written, nullptr);
  CloseHandle(file);
  EXPECT_EQ(helper.NewItemFromNote(ITEM_TASK, empty.c_str(), TRUE), 0);
  EXPECT_EQ(helper.NewItemFromNote(ITEM_TASK, L"C:\\no\\such\\note.pwi", TRUE), 0);
  EXPECT_EQ(store.Count(13), 1);
  EXPECT_EQ(helper.NewItemFromNote(ITEM_TASK, note.c_str(), TRUE), 1);
  EXPECT_EQ(store.Count(13), 2);
  EXPECT_EQ(GetFileAttributesW(note.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(empty.c_str());
}

INSTANTIATE_TEST_SUITE_P(Layouts, ChangeItems, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

// A window that hands the store's notifications to one list.
class Forward {
 public:
  explicit Forward(std::function<void(CENOTIFICATION*)> deliver) : m_deliver(std::move(deliver)) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ChangeItemsTestForward";
    RegisterClassW(&wc);
    m_window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Forward() { DestroyWindow(m_window); }
  HWND Get() const { return m_window; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DBNOTIFICATION) {
      auto* self = reinterpret_cast<Forward*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      if (self) self->m_deliver(reinterpret_cast<CENOTIFICATION*>(lParam));
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  std::function<void(CENOTIFICATION*)> m_deliver;
  HWND m_window = nullptr;
};

// The plug-in's client asks the running program; the store changes; the plug-in's
// lists hear it and show the change.
TEST(ChangeItemsEndToEnd, TheListsShowWhatTheProgramChanged) {
  CStoreMode mode(true);
  CComInitScope com;
  pimtest::UseLayout(true);
  pimtest::ClearStores();
  ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  SetEnvironmentVariableW(L"PIMCARD_AUTOCLOSE", L"150");
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD savedPim = product.QueryDWORD(L"CurrentPIM");
  product.SetDWORD(L"CurrentPIM", 0);

  const double start = TestDate(2026, 3, 16, 9);
  DWORD appt = 0, task = 0;
  {
    Store store;
    appt = store.Appointment(L"Standup", start, start + kHour / 2);
    task = store.Task(L"File the report", kNoDate, kNoDate);
    store.Contact(L"Alder");
  }
  ASSERT_NE(appt, 0u);
  ASSERT_NE(task, 0u);

  CAppointmentsList appointments;
  Forward apptWindow([&](CENOTIFICATION* n) { appointments.OnDatabaseNotify(n, FALSE); });
  appointments.SetNotifyWindow(apptWindow.Get());
  appointments.SetRange(TestDate(2026, 3, 16), TestDate(2026, 3, 17));
  ASSERT_TRUE(appointments.Open());
  ASSERT_EQ(appointments.GetCount(), 1);

  CTasksList tasks;
  Forward taskWindow([&](CENOTIFICATION* n) { tasks.OnDBNotification(n, FALSE); });
  tasks.SetNotifyWindow(taskWindow.Get());
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(tasks.EnsureLoaded(&first, TRUE, 0));
  ASSERT_EQ(tasks.GetTaskCount(), 1);

  CContactsList contacts;
  Forward contactWindow([&](CENOTIFICATION* n) { contacts.OnDBNotification(n, FALSE); });
  contacts.SetNotifyWindow(contactWindow.Get());
  ASSERT_TRUE(contacts.Open());
  ASSERT_EQ(contacts.GetCount(), 1);

  COndrelClient& client = COndrelClient::Instance();
  // An hour later, the whole appointment.
  EXPECT_EQ(client.ChangeAppointment(appt, kSeries, start + kHour, start + 1.5 * kHour, 2, 0), 1);
  EXPECT_TRUE(cedbtest::PumpUntil(
      [&] {
        return appointments.GetCount() == 1 && std::abs(appointments.GetAt(0)->m_start - (start + kHour)) < 1e-6;
      },
      20000));
  ASSERT_EQ(appointments.GetCount(), 1);
  EXPECT_NEAR(appointments.GetAt(0)->m_end, start + 1.5 * kHour, 1e-6);

  // Completed as asked, and asked again: still complete.
  EXPECT_EQ(tasks.CompleteTask(task, TRUE), 1);
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return tasks.GetTaskCount() == 1 && tasks.GetTaskAt(0)->complete; }, 20000));
  EXPECT_EQ(client.CompleteTask(task, TRUE), 1);
  cedbtest::PumpUntil([] { return false; }, 300);
  ASSERT_EQ(tasks.GetTaskCount(), 1);
  EXPECT_TRUE(tasks.GetTaskAt(0)->complete);

  // A new contact with its company, shown for editing and kept.
  EXPECT_TRUE(client.NewItem(2, L"", L"Orvane Ltd"));
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return contacts.GetCount() == 2; }, 20000));
  ASSERT_EQ(contacts.GetCount(), 2);
  std::vector<std::wstring> companies;
  for (int i = 0; i < contacts.GetCount(); ++i) companies.push_back(contacts.GetAt(i)->m_company.GetString());
  std::sort(companies.begin(), companies.end());
  EXPECT_EQ(companies, (std::vector<std::wstring>{L"Alder", L"Orvane Ltd"}));

  // An operation the program does not know answers 0.
  {
    ONDREL_CHANGE_MESSAGE change = {};
    change.record.objectId = task;
    change.record.kind = 13;
    change.record.operation = 0x90000;
    COPYDATASTRUCT copy = {ONDREL_CHANGE_DATA, sizeof change, &change};
    EXPECT_EQ(SendMessageW(client.FindOndrelWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 0);
  }
  // Dates that name no day are refused before the store sees them.
  for (double bad : {std::nan(""), 1e300, -1e7}) {
    EXPECT_EQ(client.ChangeAppointment(appt, kSeries, bad, start + 2 * kHour, 2, 0), 0);
    EXPECT_EQ(client.ChangeTaskDate(task, kNoDate, bad, kNoDate), 0);
  }
  {
    Store store;
    IAppointment* a = store.Get<IAppointment>(appt, IID_IAppointment);
    ASSERT_NE(a, nullptr);
    double s = 0;
    a->get_Start(&s);
    a->Release();
    EXPECT_NEAR(s, start + kHour, 1e-6);
  }

  // Change messages and beams of any bytes from another program: each is answered
  // (or refused) and the program keeps running. Sizes stay exact often enough for the
  // records to reach the operations, with the store's own identifiers among the oids.
  {
    HWND window = client.FindOndrelWindow();
    const UINT changeItem = RegisterWindowMessageW(L"QelTarvo_ChangeItem");
    std::mt19937 random(4040);
    const DWORD oids[] = {appt, task, 0, 0xFFFFFFFF};
    for (int i = 0; i < 600; ++i) {
      ONDREL_CHANGE_MESSAGE change = {};
      auto* bytes = reinterpret_cast<BYTE*>(&change);
      for (size_t k = 0; k < sizeof change.record; ++k) bytes[k] = static_cast<BYTE>(random());
      change.record.objectId = (i % 2) ? oids[random() % 4] : static_cast<uint32_t>(random());
      change.record.operation = (random() % 10) << 16 | (random() & 0xFFFF);
      if (change.record.operation >> 16 == 3 || change.record.operation >> 16 == 7) change.record.operation = 0x90000;
      for (int k = 0; k < 8; ++k) change.categories[k] = static_cast<wchar_t>(random());
      if (i % 3) change.categories[random() % ONDREL_CATEGORIES_CHARS] = 0;
      COPYDATASTRUCT copy = {ONDREL_CHANGE_DATA, (i % 4) ? static_cast<DWORD>(sizeof change) : random() % 3000, &change};
      DWORD_PTR result = 0;
      SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 10000, &result);
      if (i % 10 == 0) PostMessageW(window, changeItem, random(), static_cast<LPARAM>(random()));
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(client.GetPIStatus(), 0) << "still answering";
  }

  client.StopOndrel();
  SetEnvironmentVariableW(L"PIMCARD_AUTOCLOSE", nullptr);
  product.SetDWORD(L"CurrentPIM", savedPim);
  CPocketOutlook::Logoff();
}

}  // namespace
