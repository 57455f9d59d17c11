// The tasks list over both store layouts: what a load holds, what notifications do to
// it, direct writes, and the older layout's reminders with the notification they
// register in the device's store.
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/TasksNotifyWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/OndrelClient.h"
#include "pim/PISubject.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/coredll/Notify.h"
#include "platform/pimres/pimres.h"
#include "platform/pimutil/pimutil.h"
#include "tabs/tasks/tests/TaskStoreFixture.h"

using namespace tasktest;

namespace cedbtest {
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest

namespace {

const double T = 47544.0;  // 2030-03-02, well after the device's clock
const double kHour = 1.0 / 24;

class CListener : public ITasksListener {
 public:
  void OnTaskChanged(TASK_ITEM* task, TASK_ITEM* previous) override {
    events.push_back(L"changed " + Name(task) + L" was " + Name(previous));
  }
  void OnTaskAdded(TASK_ITEM* task, int) override { events.push_back(L"added " + Name(task)); }
  void OnTaskRemoved(TASK_ITEM* task, int) override { events.push_back(L"removed " + Name(task)); }
  static std::wstring Name(TASK_ITEM* t) { return t ? std::wstring(t->subject) : L"null"; }
  std::vector<std::wstring> events;
};

std::map<std::wstring, TASK_ITEM*> Loaded(CTasksList& list) {
  std::map<std::wstring, TASK_ITEM*> out;
  for (int k = 0; k < list.GetTaskCount(); ++k) out[std::wstring(list.GetTaskAt(k)->subject)] = list.GetTaskAt(k);
  return out;
}

CENOTIFICATION Notice(UINT type, CEOID oid) {
  CENOTIFICATION n{};
  n.dwSize = sizeof n;
  n.uType = type;
  n.oid = oid;
  return n;
}

class TasksListTest : public ::testing::TestWithParam<bool> {
 protected:
  TasksListTest() : m_mode(GetParam()), store(GetParam()) {}
  bool Newer() const { return GetParam(); }
  void Notify(UINT type, CEOID record) {
    CENOTIFICATION n = Notice(type, record);
    list.OnDBNotification(&n, TRUE);
  }
  CStoreMode m_mode;
  CTaskStore store;
  CTasksList list;
};

INSTANTIATE_TEST_SUITE_P(Layouts, TasksListTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

// One table, both layouts: what each kind of stored task reads as.
TEST_P(TasksListTest, EachKindOfTaskReadsAsStored) {
  struct Row {
    StoredTask task;
    double start, due;
    int importance;
    BOOL complete, hasNote, reminderSet, recurring;
    int privateValue;
  };
  auto task = [](const wchar_t* subject) {
    StoredTask s;
    s.subject = subject;
    return s;
  };
  std::vector<Row> rows;
  {
    StoredTask s = task(L"dated");
    s.start = T + 9 * kHour;
    s.due = T + 2;
    s.importance = 1;
    rows.push_back({s, T + 9 * kHour, T + 2, 1, FALSE, FALSE, FALSE, FALSE, 0});
  }
  // No importance stored: normal in both layouts.
  rows.push_back({task(L"undated"), 0, 0, 0, FALSE, FALSE, FALSE, FALSE, 0});
  {
    StoredTask s = task(L"no-date value");
    s.start = s.due = kNoneStored;
    s.importance = -1;
    rows.push_back({s, 0, 0, -1, FALSE, FALSE, FALSE, FALSE, 0});
  }
  {
    StoredTask s = task(L"completed");
    s.due = T - 1;
    s.complete = TRUE;
    s.completedOn = T - 2;
    rows.push_back({s, 0, T - 1, 0, TRUE, FALSE, FALSE, FALSE, 0});
  }
  {
    StoredTask s = task(L"recurring");
    s.due = T + 7;
    s.recurring = TRUE;
    s.privateValue = 1;
    rows.push_back({s, 0, T + 7, 0, FALSE, FALSE, FALSE, TRUE, 1});
  }
  {
    StoredTask s = task(L"with note");
    s.note = NoteBytes(L"\xFEFF" L"Buy milk");
    rows.push_back({s, 0, 0, 0, FALSE, TRUE, FALSE, FALSE, 0});
  }
  {
    StoredTask s = task(L"mark only");
    s.note = std::string("\xFF\xFE\0\0", 4);
    rows.push_back({s, 0, 0, 0, FALSE, FALSE, FALSE, FALSE, 0});
  }
  {
    StoredTask s = task(L"with reminder");
    s.due = T + 1;
    s.reminder = TRUE;
    s.offset = 960;
    s.reminderTime = T + 8 * kHour;
    rows.push_back({s, 0, T + 1, 0, FALSE, FALSE, TRUE, FALSE, 0});
  }
  for (const Row& r : rows) ASSERT_NE(store.Add(r.task), 0u) << r.task.subject;
  if (Newer()) {
    // Past the newer layout's limit a date is none; a record without item is no task.
    StoredTask s = task(L"far date");
    s.due = 949991;
    rows.push_back({s, 0, 0, 0, FALSE, FALSE, FALSE, FALSE, 0});
    ASSERT_NE(store.Add(s), 0u);
    std::vector<CEPROPVAL> stray = {Words(0x0020001F, L"not a task")};
    ASSERT_NE(store.Write(0, stray), 0u);
  }

  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, FALSE, 0));
  EXPECT_EQ(Loaded(list).count(L"completed"), 0u) << "completed tasks wait until asked for";
  EXPECT_EQ(list.GetCompletedMark(), CTasksList::kCompletedNotLoaded);
  ASSERT_TRUE(list.EnsureLoaded(&first, TRUE, 0));
  EXPECT_EQ(list.GetCompletedMark(), 0.0);
  std::map<std::wstring, TASK_ITEM*> loaded = Loaded(list);
  ASSERT_EQ(loaded.size(), rows.size());
  for (const Row& r : rows) {
    SCOPED_TRACE(r.task.subject);
    TASK_ITEM* t = loaded[r.task.subject];
    ASSERT_TRUE(t);
    EXPECT_NEAR(t->start, r.start, 1e-6);
    EXPECT_NEAR(t->due, r.due, 1e-6);
    EXPECT_EQ(t->importance, r.importance);
    EXPECT_EQ(t->complete, r.complete);
    EXPECT_EQ(t->hasNote, r.hasNote);
    EXPECT_EQ(t->reminderSet, r.reminderSet);
    EXPECT_EQ(t->recurring, r.recurring);
    EXPECT_EQ(t->privateValue != 0, r.privateValue != 0);
    EXPECT_NE(t->itemOid, 0u);
    if (Newer()) {
      EXPECT_EQ(t->itemOid & 0xC0000000, 0xC0000000);
      EXPECT_NE(t->recordOid, 0u);
      EXPECT_EQ(t->reminderMinutes, -1);
      EXPECT_NEAR(t->reminderTime, r.task.reminderTime, 1e-6);
    } else {
      EXPECT_EQ(t->reminderMinutes, r.task.reminder ? r.task.offset : -1);
    }
  }
  // The older layout computes the time: 960 minutes before the due day, 08:00.
  EXPECT_NEAR(Newer() ? loaded[L"with reminder"]->reminderTime : list.GetReminderTime(loaded[L"with reminder"]->itemOid, FALSE),
              T + 8 * kHour, 1e-6);
}

// The older layout's complete flag and completion date share an identifier word; a
// date written after the flag must not take its place.
TEST_P(TasksListTest, CompletionDateAndFlagAreTwoProperties) {
  if (Newer()) return;
  StoredTask s;
  s.subject = L"done later";
  s.due = T;
  CEOID record = store.Add(s);
  ASSERT_NE(record, 0u);
  ASSERT_EQ(store.Write(record, {Value(0x410F0002, 1)}), record);
  ASSERT_EQ(store.Write(record, {Date(0x410F0040, T - 3)}), record);
  EXPECT_EQ(store.ReadLong(record, 0x410F0002), 1);
  TASK_ITEM* first = nullptr;
  list.EnsureLoaded(&first, TRUE, 0);
  ASSERT_EQ(list.GetTaskCount(), 1);
  EXPECT_TRUE(list.GetTaskAt(0)->complete);
}

TEST_P(TasksListTest, NotificationsReachTheListeners) {
  StoredTask a;
  a.subject = L"a";
  a.due = T;
  StoredTask b;
  b.subject = L"b";
  CEOID ra = store.Add(a);
  CEOID rb = store.Add(b);
  CListener listener;
  list.AddListener(&listener);
  list.AddListener(&listener);
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, FALSE, 0));
  ASSERT_EQ(list.GetTaskCount(), 2);

  ASSERT_EQ(store.Write(ra, {Words(Newer() ? 0x0020001F : 0x0037001F, L"a2")}), ra);
  Notify(1030, ra);
  StoredTask c;
  c.subject = L"c";
  CEOID rc = store.Add(c);
  Notify(1025, rc);
  Notify(CTasksList::kRecordDeleted, rb);
  // Completed while completed tasks are not loaded: it leaves the list.
  ASSERT_EQ(store.Write(rc, {Newer() ? Date(0x00640040, T - 1) : Value(0x410F0002, 1)}), rc);
  Notify(1030, rc);
  std::vector<std::wstring> expected = {L"changed a2 was a", L"added c", L"removed b", L"removed c"};
  EXPECT_EQ(listener.events, expected);
  EXPECT_EQ(list.GetTaskCount(), 1);

  // Once completed tasks are loaded the same change is a change.
  listener.events.clear();
  ASSERT_TRUE(list.EnsureLoaded(&first, TRUE, 0));
  ASSERT_EQ(list.GetTaskCount(), 2);
  ASSERT_EQ(store.Write(rc, {Words(Newer() ? 0x0020001F : 0x0037001F, L"c2")}), rc);
  Notify(1030, rc);
  // A notification for a record no list holds and the store lacks changes nothing.
  Notify(1030, 0x7FFFFF);
  Notify(CTasksList::kReloadAll, 0);
  expected = {L"changed c2 was c", L"changed null was null"};
  EXPECT_EQ(listener.events, expected);
  EXPECT_EQ(list.GetTaskCount(), 0);
  EXPECT_FALSE(list.IsLoaded());

  list.RemoveListener(&listener);
  listener.events.clear();
  Notify(CTasksList::kReloadAll, 0);
  EXPECT_TRUE(listener.events.empty());
}

TEST_P(TasksListTest, ImportanceAndPrivacyAreWrittenInTheLayoutsForm) {
  StoredTask s;
  s.subject = L"t";
  CEOID record = store.Add(s);
  const DWORD oid = store.ItemOid(record);
  const CEPROPID importance = Newer() ? 0x00600013 : 0x00260003;
  const CEPROPID privacy = Newer() ? 0x00210013 : 0x00040002;
  struct Case {
    int value;
    LONG stored;
  } cases[] = {{-1, Newer() ? 0 : 3}, {1, Newer() ? 2 : 1}, {0, Newer() ? 1 : 2}, {5, Newer() ? 2 : 1}};
  for (const Case& c : cases) {
    ASSERT_TRUE(list.SetImportance(oid, c.value));
    EXPECT_EQ(store.ReadLong(record, importance), c.stored) << c.value;
  }
  ASSERT_TRUE(list.SetPrivate(oid, 1));
  EXPECT_EQ(store.ReadLong(record, privacy), 1);
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, FALSE, 0));
  EXPECT_EQ(first->importance, 1);
  EXPECT_NE(first->privateValue, 0);
  EXPECT_FALSE(list.SetImportance(0x3FFFFFF, 1)) << "no such task";
}


// With Pocket Informant as the PIM its subject codes count: templates (due on the
// last day of 2999) go to their own array in subject order, an identifier stays only on
// a dated task and, with a completion date, names it.
TEST_P(TasksListTest, PocketInformantCodesAndTemplates) {
  CLocalMachineSandbox machine(L"TasksPI");
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"CurrentPIM", PIM_POCKET_INFORMANT);
  }
  COndrelClient client;
  list.SetClient(&client);
  auto add = [&](const wchar_t* subject, double due, BOOL complete) {
    StoredTask s;
    s.subject = subject;
    s.due = due;
    s.complete = complete;
    s.completedOn = T - 2;
    return store.Add(s);
  };
  add(L"[TEMPLATE:weekly] w", CTasksList::kTemplateDue, FALSE);
  const CEOID first = add(L"[TEMPLATE:Annual] a", CTasksList::kTemplateDue, FALSE);
  add(L"[TEMPLATE:Other] not one", T, FALSE);
  add(L"|12: paid", T, TRUE);
  add(L"|13: undated", -1, FALSE);
  TASK_ITEM* task = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&task, TRUE, 0));
  ASSERT_EQ(list.GetTemplateCount(), 2);
  EXPECT_STREQ(list.GetTemplateAt(0)->subject, L"Annual");
  EXPECT_STREQ(list.GetTemplateAt(1)->subject, L"weekly");
  EXPECT_EQ(list.GetItemField(0), store.ItemOid(first));
  EXPECT_EQ(list.GetItemField(2), 0u);
  BOOL inTemplates = FALSE;
  EXPECT_EQ(list.FindByOid(first, TRUE, &inTemplates), 0);
  EXPECT_TRUE(inTemplates);
  std::map<std::wstring, TASK_ITEM*> loaded = Loaded(list);
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_TRUE(loaded.count(L"[TEMPLATE:Other] not one")) << "not a template: the subject as stored";
  ASSERT_TRUE(loaded.count(L"undated"));
  EXPECT_EQ(loaded[L"undated"]->piFlags & PI_CODE_IDENTIFIER, 0u);
  TASK_ITEM* paid = nullptr;
  for (auto& entry : loaded)
    if (entry.first.rfind(L"paid", 0) == 0) paid = entry.second;
  ASSERT_TRUE(paid);
  EXPECT_EQ(paid->piFlags & PI_CODE_IDENTIFIER, static_cast<DWORD>(PI_CODE_IDENTIFIER));
  if (Newer()) {
    EXPECT_STREQ(paid->subject, L"paid") << "the newer layout keeps no completion date";
  } else {
    SYSTEMTIME day{};
    VariantDateToSystemTime(T - 2, &day);
    wchar_t text[64] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 64);
    EXPECT_NE(std::wstring(paid->subject).find(text), std::wstring::npos) << static_cast<LPCWSTR>(paid->subject);
  }
}


// An object-model event names the item, not the record: the newer layout's list finds
// the task by its item identifier and reads the record it belongs to.
TEST_P(TasksListTest, ANotificationByItemIdentifierFindsItsTask) {
  if (!Newer()) return;
  StoredTask s;
  s.subject = L"by item";
  const CEOID record = store.Add(s);
  CListener listener;
  list.AddListener(&listener);
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, FALSE, 0));
  ASSERT_EQ(store.Write(record, {Words(0x0020001F, L"renamed")}), record);
  Notify(1030, store.ItemOid(record) & 0x0FFFFFFF);
  EXPECT_EQ(listener.events, (std::vector<std::wstring>{L"changed renamed was by item"}));
  EXPECT_EQ(list.GetTaskCount(), 1);
}


// The store's own notifications, posted to the window the list was given with the list
// as their parameter, reach the listeners and are freed by the list.
// The database posts its changes to the list's own window; records the window did not
// get from the database (other addresses, other requests, forged sizes) change nothing.
TEST_P(TasksListTest, PostedNotificationsReachTheListeners) {
  CTasksNotifyWnd sink(&list);
  ASSERT_TRUE(sink.Attach());
  StoredTask s;
  s.subject = L"posted";
  const CEOID record = store.Add(s);
  CListener listener;
  list.AddListener(&listener);
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, FALSE, 0));

  // Forged: stack and static addresses, a heap block too small, another request's
  // record, a wrong size; then a sent record naming another list.
  std::mt19937 random(77);
  for (int i = 0; i < 200; ++i) PostMessageW(sink.GetHwnd(), WM_DBNOTIFICATION, 0, static_cast<LPARAM>(random()));
  PostMessageW(sink.GetHwnd(), WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(&s));
  void* small = HeapAlloc(GetProcessHeap(), 0, 8);
  PostMessageW(sink.GetHwnd(), WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(small));
  for (DWORD_PTR param : {static_cast<DWORD_PTR>(0x1234), reinterpret_cast<DWORD_PTR>(&list)}) {
    auto* other = static_cast<CENOTIFICATION*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(CENOTIFICATION)));
    other->dwSize = param == 0x1234 ? sizeof(CENOTIFICATION) : 3;
    other->uType = DB_CEOID_CHANGED;
    other->oid = record;
    other->dwParam = param;
    PostMessageW(sink.GetHwnd(), WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(other));
  }
  CENOTIFICATION foreign = Notice(DB_CEOID_CHANGED, record);
  foreign.dwParam = 0x5678;
  SendMessageW(sink.GetHwnd(), WM_DBNOTIFICATION, 1, reinterpret_cast<LPARAM>(&foreign));
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  HeapFree(GetProcessHeap(), 0, small);
  EXPECT_TRUE(listener.events.empty());

  ASSERT_EQ(store.Write(record, {Words(Newer() ? 0x0020001F : 0x0037001F, L"posted again")}), record);
  StoredTask added;
  added.subject = L"posted new";
  store.Add(added);
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return listener.events.size() >= 2; }));
  EXPECT_EQ(listener.events, (std::vector<std::wstring>{L"changed posted again was posted", L"added posted new"}));
}

// The older layout names categories by identifier bits in a blob (unknown identifiers
// skipped); the newer keeps them in the association store.
TEST_P(TasksListTest, CategoriesComeFromTheLayoutsStore) {
  DropCategories(Newer());
  cattest::WriteCategory(Newer(), L"Business", 1);
  cattest::WriteCategory(Newer(), L"Clients", 2);
  cattest::WriteCategory(Newer(), L"Ideas", 9);
  StoredTask s;
  s.subject = L"filed";
  const CEOID record = store.Add(s);
  std::vector<std::wstring> expected;
  if (Newer()) {
    cattest::WriteAssociation(store.ItemOid(record), 2);
    cattest::WriteAssociation(store.ItemOid(record), 9);
    cattest::WriteAssociation(store.ItemOid(record) + 1, 1);
    expected = {L"Clients", L"Ideas"};
  } else {
    ASSERT_EQ(store.Write(record, {Bytes(0x00160041, std::string("\x22\x02", 2))}), record);
    expected = {L"Business", L"Ideas"};
  }
  {
    CCategoriesList categories;
    ASSERT_TRUE(categories.Open(nullptr));
    TASK_ITEM* task = nullptr;
    ASSERT_TRUE(list.EnsureLoaded(&task, FALSE, 0));
    std::vector<std::wstring> names;
    for (int c = task->categories.FindNext(0); c >= 0; c = task->categories.FindNext(c + 1))
      names.push_back(std::wstring(categories.GetName(c)));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
  }
  DropCategories(Newer());
}

}  // namespace
