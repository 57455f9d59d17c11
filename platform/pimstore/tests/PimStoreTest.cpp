// The object model against the raw databases: what it writes is what the plug-in's
// direct reads expect, in both layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/tests/ByteMutator.h"
#include "platform/windowlib/ComPtr.h"

using pimtest::ClearStores;
using pimtest::CreateApp;
using pimtest::RawRecord;
using pimtest::ReadRaw;
using pimtest::UseLayout;

namespace {

// 2026-03-02 (a Monday) and friends, as variant dates.
const double kMonday = 46083.0;

class CBstr {
 public:
  explicit CBstr(const wchar_t* text) : m_b(SysAllocString(text)) {}
  ~CBstr() { SysFreeString(m_b); }
  CBstr(const CBstr&) = delete;
  CBstr& operator=(const CBstr&) = delete;
  operator BSTR() const { return m_b; }

 private:
  BSTR m_b;
};

std::wstring Take(BSTR text) {
  std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return out;
}

double RawDate(const RawRecord& r, CEPROPID id) {
  auto it = r.values.find(id);
  return it == r.values.end() ? -1 : FileTimeToDate(it->second.val.filetime);
}

template <class T>
T* As(IDispatch* item, REFIID iid) {
  T* out = nullptr;
  if (item) item->QueryInterface(iid, reinterpret_cast<void**>(&out));
  return out;
}

class PimStoreTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    UseLayout(GetParam());
    ClearStores();
    app = CreateApp();
    ASSERT_NE(app, nullptr);
  }
  void TearDown() override {
    if (app) app->Release();
    CoUninitialize();
  }
  template <class T>
  T* Created(int itemType, REFIID iid) {
    CComPtr<IDispatch> item;
    EXPECT_HRESULT_SUCCEEDED(app->CreateItem(itemType, &item));
    return As<T>(item, iid);
  }
  template <class T>
  T* Fetched(long oid, REFIID iid) {
    CComPtr<IDispatch> item;
    EXPECT_HRESULT_SUCCEEDED(app->GetItemFromOid(oid, &item));
    return As<T>(item, iid);
  }
  IAppointment* NewAppointment(const wchar_t* subject, double start, double end) {
    IAppointment* appt = Created<IAppointment>(olAppointmentItem, IID_IAppointment);
    if (!appt) return nullptr;
    CBstr s(subject);
    appt->put_Subject(s);
    appt->put_Start(start);
    appt->put_End(end);
    return appt;
  }
  bool Newer() const { return GetParam(); }

  IPOutlookApp* app = nullptr;
};

TEST_P(PimStoreTest, ServerIsRegisteredForBothApartmentKinds) {
  wchar_t model[32] = {};
  DWORD size = sizeof model;
  ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, L"CLSID\\{05058F23-20BE-11D2-8F18-0000F87A4335}\\InprocServer32",
                         L"ThreadingModel", RRF_RT_REG_SZ, nullptr, model, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(model, L"Both");
  CComPtr<IUnknown> second;
  EXPECT_HRESULT_SUCCEEDED(app->QueryInterface(IID_IPOutlookApp2, reinterpret_cast<void**>(&second)));
  EXPECT_HRESULT_SUCCEEDED(app->Logon(0));
  CComPtr<IFolder> folder;
  EXPECT_EQ(app->GetDefaultFolder(7, &folder), E_INVALIDARG);
  CComPtr<IDispatch> item;
  EXPECT_EQ(app->CreateItem(4, &item), E_INVALIDARG);
  // Newer devices keep the named-property tables, sorted as programs seek them.
  const struct {
    const wchar_t* name;
    CEPROPID sort;
  } tables[] = {{L"PIMNamedPropTags", 0x0001001F}, {L"PIMNamedPropVals", 0x00010013}};
  for (const auto& table : tables) {
    if (!Newer()) break;
    CEGUID guid = pimtest::LayoutGuid(true);
    CEOID dbOid = 0;
    HANDLE h = CeOpenDatabaseEx2(&guid, &dbOid, const_cast<LPWSTR>(table.name), nullptr, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << table.name;
    CloseHandle(h);
    CEOIDINFOEX info{};
    info.wVersion = CEOIDINFOEX_VERSION;
    ASSERT_TRUE(CeOidGetInfoEx2(&guid, dbOid, &info));
    ASSERT_GE(info.infDatabase.wNumSortOrder, 1);
    EXPECT_EQ(info.infDatabase.rgSortSpecs[0].rgPropID[0], table.sort);
  }
  EXPECT_TRUE(FAILED(app->GetItemFromOid(12345, &item)));
}

TEST_P(PimStoreTest, AppointmentIsStoredAsThePlugInReadsIt) {
  CComPtr<IAppointment> appt;
  appt.p = NewAppointment(L"Dentist", kMonday + 9.0 / 24, kMonday + 10.5 / 24);
  ASSERT_TRUE(appt);
  appt->put_BusyStatus(olTentative);
  appt->put_ReminderSet(VARIANT_TRUE);
  appt->put_ReminderMinutesBeforeStart(15);
  CBstr location(L"Main street");
  appt->put_Location(location);
  CBstr categories(L"Health, Business");
  appt->put_Categories(categories);
  BYTE ink[] = {1, 2, 3, 4, 5};
  CEBLOB blob{sizeof ink, ink};
  appt->put_BodyInk(&blob);
  appt->put_BodyInk(&blob);
  ASSERT_HRESULT_SUCCEEDED(appt->Save());
  long oid = 0;
  appt->get_Oid(&oid);

  std::vector<RawRecord> raw = ReadRaw(L"Appointments Database", Newer());
  ASSERT_EQ(raw.size(), 1u);
  const RawRecord& r = raw[0];
  if (Newer()) {
    ASSERT_TRUE(r.values.count(0x10000066));
    EXPECT_EQ(static_cast<DWORD>(oid), r.values.at(0x10000066).val.ulVal | 0x40000000);
    EXPECT_EQ(r.texts.at(0x0020001F), L"Dentist");
    EXPECT_EQ(r.texts.at(0x0041001F), L"Main street");
    EXPECT_DOUBLE_EQ(RawDate(r, 0x10420040), kMonday + 9.0 / 24);
    EXPECT_EQ(r.values.at(0x10400013).val.ulVal, 90u);
    EXPECT_EQ(r.values.at(0x00450013).val.ulVal, 1u);
    EXPECT_TRUE(r.values.at(0x0028000B).val.boolVal);
    EXPECT_EQ(r.values.at(0x00460013).val.ulVal, 15u);
    EXPECT_FALSE(r.values.at(0x0022000B).val.boolVal);
    EXPECT_EQ(r.blobs.at(0x001E0064).size(), sizeof ink);
    // Categories by association with the item oid.
    std::vector<RawRecord> assoc = ReadRaw(L"CategoryAssocDB", true);
    ASSERT_EQ(assoc.size(), 2u);
    for (const RawRecord& a : assoc) EXPECT_EQ(a.values.at(0x00010013).val.ulVal, static_cast<DWORD>(oid));
  } else {
    EXPECT_EQ(static_cast<DWORD>(oid), r.oid);
    EXPECT_EQ(r.texts.at(0x0037001F), L"Dentist");
    EXPECT_EQ(r.texts.at(0x4208001F), L"Main street");
    EXPECT_DOUBLE_EQ(RawDate(r, 0x420D0040), kMonday + 9.0 / 24);
    EXPECT_EQ(r.values.at(0x42130003).val.lVal, 90);
    EXPECT_EQ(r.values.at(0x000F0002).val.iVal, 1);
    EXPECT_EQ(r.values.at(0x45030002).val.iVal, 1);
    EXPECT_EQ(r.values.at(0x45010003).val.lVal, 15);
    EXPECT_EQ(r.values.at(0x42230002).val.iVal, 0);
    EXPECT_EQ(r.blobs.at(0x00170041).size(), sizeof ink);
    // Categories as a bit set of identifiers from "\Categories Database".
    std::vector<RawRecord> cats = ReadRaw(L"\\Categories Database", false);
    ASSERT_EQ(cats.size(), 2u);
    const std::vector<BYTE>& bits = r.blobs.at(0x00160041);
    for (const RawRecord& c : cats) {
      short id = c.values.at(0x40020002).val.iVal;
      ASSERT_LT(static_cast<size_t>(id / 8), bits.size());
      EXPECT_TRUE(bits[id / 8] & (1 << (id % 8))) << id;
    }
  }

  // And back through the object model.
  CComPtr<IAppointment> read;
  read.p = Fetched<IAppointment>(oid, IID_IAppointment);
  ASSERT_TRUE(read);
  BSTR text = nullptr;
  read->get_Subject(&text);
  EXPECT_EQ(Take(text), L"Dentist");
  read->get_Categories(&text);
  EXPECT_EQ(Take(text), L"Health, Business");
  DATE end = 0;
  read->get_End(&end);
  EXPECT_NEAR(end, kMonday + 10.5 / 24, 1e-9);
}

TEST_P(PimStoreTest, AllDayEndFollowsTheLayoutsConvention) {
  // Older devices: the inclusive last day; newer ones: the day after it. Callers set
  // the all-day flag before or after the times.
  for (bool flagFirst : {true, false}) {
    SCOPED_TRACE(flagFirst);
    ClearStores();
    double end = Newer() ? kMonday + 2 : kMonday + 1;
    CComPtr<IAppointment> appt;
    appt.p = Created<IAppointment>(olAppointmentItem, IID_IAppointment);
    ASSERT_TRUE(appt);
    if (flagFirst) appt->put_AllDayEvent(static_cast<VARIANT_BOOL>(1));
    appt->put_Start(kMonday);
    appt->put_End(end);
    if (!flagFirst) appt->put_AllDayEvent(static_cast<VARIANT_BOOL>(1));
    ASSERT_HRESULT_SUCCEEDED(appt->Save());
    std::vector<RawRecord> raw = ReadRaw(L"Appointments Database", Newer());
    ASSERT_EQ(raw.size(), 1u);
    // The plug-in's arithmetic: end day = trunc(start day + minutes / 1440), after taking
    // 1439 from a newer store's minutes: a two-day appointment ends on its second day.
    double minutes =
        Newer() ? raw[0].values.at(0x10400013).val.ulVal - 1439.0 : raw[0].values.at(0x42130003).val.lVal;
    EXPECT_EQ(std::floor(kMonday + minutes / 1440), kMonday + 1);
    if (Newer()) EXPECT_TRUE(raw[0].values.at(0x0044000B).val.boolVal);
    else EXPECT_EQ(raw[0].values.at(0x42150003).val.lVal, 1);
    long oid = 0;
    appt->get_Oid(&oid);
    CComPtr<IAppointment> read;
    read.p = Fetched<IAppointment>(oid, IID_IAppointment);
    ASSERT_TRUE(read);
    DATE back = 0;
    read->get_End(&back);
    EXPECT_DOUBLE_EQ(back, end);
  }
}

TEST_P(PimStoreTest, TaskAndContactAreStoredAsThePlugInReadsThem) {
  CComPtr<ITask> task;
  task.p = Created<ITask>(olTaskItem, IID_ITask);
  ASSERT_TRUE(task);
  CBstr subject(L"File taxes");
  task->put_Subject(subject);
  task->put_DueDate(kMonday + 3);
  task->put_Complete(VARIANT_TRUE);
  task->put_Importance(2);
  ASSERT_HRESULT_SUCCEEDED(task->Save());
  DATE start = 0;
  task->get_StartDate(&start);
  EXPECT_EQ(start, PIM_NO_DATE);
  long taskOid = 0;
  task->get_Oid(&taskOid);

  CComPtr<IContact> contact;
  contact.p = Created<IContact>(olContactItem, IID_IContact);
  ASSERT_TRUE(contact);
  CBstr first(L"Ada"), last(L"Lovelace"), company(L"Engines Ltd");
  contact->put_FirstName(first);
  contact->put_LastName(last);
  contact->put_CompanyName(company);
  ASSERT_HRESULT_SUCCEEDED(contact->Save());
  long contactOid = 0;
  contact->get_Oid(&contactOid);

  std::vector<RawRecord> tasks = ReadRaw(L"Tasks Database", Newer());
  std::vector<RawRecord> contacts = ReadRaw(L"Contacts Database", Newer());
  ASSERT_EQ(tasks.size(), 1u);
  ASSERT_EQ(contacts.size(), 1u);
  if (Newer()) {
    EXPECT_EQ(static_cast<DWORD>(taskOid) & 0xC0000000, 0xC0000000u);
    EXPECT_EQ(static_cast<DWORD>(contactOid) & 0xC0000000, 0x80000000u);
    EXPECT_EQ(tasks[0].texts.at(0x0020001F), L"File taxes");
    EXPECT_DOUBLE_EQ(RawDate(tasks[0], 0x00630040), kMonday + 3);
    EXPECT_LT(RawDate(tasks[0], 0x00640040), 949990.0);
    EXPECT_EQ(tasks[0].values.at(0x00600013).val.ulVal - 1, 1u);  // the plug-in's "high"
    EXPECT_GE(RawDate(tasks[0], 0x00640040), 0.0);
    EXPECT_EQ(contacts[0].texts.at(0x0082001F), L"Ada");
    EXPECT_EQ(contacts[0].texts.at(0x0084001F), L"Lovelace");
    EXPECT_EQ(contacts[0].texts.at(0x008A001F), L"Engines Ltd");
    EXPECT_EQ(contacts[0].texts.at(0x0080001F), L"Lovelace, Ada");
  } else {
    EXPECT_EQ(static_cast<DWORD>(taskOid), tasks[0].oid);
    EXPECT_EQ(tasks[0].texts.at(0x0037001F), L"File taxes");
    EXPECT_DOUBLE_EQ(RawDate(tasks[0], 0x41050040), kMonday + 3);
    EXPECT_DOUBLE_EQ(RawDate(tasks[0], 0x41040040), PIM_NO_DATE);
    EXPECT_EQ(tasks[0].values.at(0x410F0002).val.iVal, 1);
    EXPECT_EQ(2 - tasks[0].values.at(0x00260003).val.lVal, 1);  // the plug-in's "high"
    EXPECT_EQ(contacts[0].texts.at(0x3A06001F), L"Ada");
    EXPECT_EQ(contacts[0].texts.at(0x3A11001F), L"Lovelace");
    EXPECT_EQ(contacts[0].texts.at(0x3A16001F), L"Engines Ltd");
    EXPECT_EQ(contacts[0].texts.at(0x4013001F), L"Lovelace, Ada");
  }

  // Copy, then delete the original: the copy is its own item.
  CComPtr<ITask> fetched;
  fetched.p = Fetched<ITask>(taskOid, IID_ITask);
  ASSERT_TRUE(fetched);
  long importance = 0;
  fetched->get_Importance(&importance);
  EXPECT_EQ(importance, 2);
  CComPtr<ITask> copy;
  ASSERT_HRESULT_SUCCEEDED(task->Copy(&copy));
  copy->put_StartDate(PIM_NO_DATE);
  ASSERT_HRESULT_SUCCEEDED(copy->Save());
  ASSERT_HRESULT_SUCCEEDED(task->Delete());
  tasks = ReadRaw(L"Tasks Database", Newer());
  ASSERT_EQ(tasks.size(), 1u);
  long copyOid = 0;
  copy->get_Oid(&copyOid);
  EXPECT_NE(copyOid, taskOid);
  CComPtr<IDispatch> gone;
  EXPECT_TRUE(FAILED(app->GetItemFromOid(taskOid, &gone)));
}

TEST_P(PimStoreTest, TaskReminderIsStoredAsEachLayoutKeepsIt) {
  // Older stores: minutes before midnight of the start (reference 0) or the due day (1).
  struct Case {
    double start, due, reminder;
    short reference;
    long minutes;
  };
  const double none = PIM_NO_DATE;
  const Case cases[] = {
      {none, kMonday + 3, kMonday + 2 + 9.0 / 24, 1, 900},          // the day before, 09:00
      {none, kMonday + 3, kMonday + 3 + 8.0 / 24, 1, -480},         // the due day, 08:00
      {kMonday + 1, kMonday + 3, kMonday + 0.5, 0, 720},            // before the start: from the start
      {kMonday + 1, kMonday + 3, kMonday + 1 + 13.5 / 24, 1, 2070},  // after the start: from the due date
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minutes);
    ClearStores();
    CComPtr<ITask> task;
    task.p = Created<ITask>(olTaskItem, IID_ITask);
    ASSERT_TRUE(task);
    DATE reminder = 0;
    task->get_ReminderTime(&reminder);
    EXPECT_EQ(reminder, PIM_NO_DATE);
    task->put_StartDate(c.start);
    task->put_DueDate(c.due);
    task->put_ReminderSet(VARIANT_TRUE);
    task->put_ReminderTime(c.reminder);
    ASSERT_HRESULT_SUCCEEDED(task->Save());
    std::vector<RawRecord> raw = ReadRaw(L"Tasks Database", Newer());
    ASSERT_EQ(raw.size(), 1u);
    if (Newer()) {
      EXPECT_NEAR(RawDate(raw[0], 0x10660040), c.reminder, 1e-6);
      EXPECT_TRUE(raw[0].values.at(0x0028000B).val.boolVal);
    } else {
      EXPECT_EQ(raw[0].values.at(0x00030002).val.iVal, c.reference);
      EXPECT_EQ(raw[0].values.at(0x45010003).val.lVal, c.minutes);
      EXPECT_EQ(raw[0].values.at(0x45030002).val.iVal, 1);
    }
    long oid = 0;
    task->get_Oid(&oid);
    CComPtr<ITask> read;
    read.p = Fetched<ITask>(oid, IID_ITask);
    ASSERT_TRUE(read);
    read->get_ReminderTime(&reminder);
    EXPECT_NEAR(reminder, c.reminder, 1e-6);
  }
}

struct QueryCase {
  const wchar_t* restriction;
  const wchar_t* sort;  // null: stored order
  bool descending;
  std::vector<std::wstring> subjects;
};

TEST_P(PimStoreTest, RestrictionsAndSortsFromATable) {
  struct Seed {
    const wchar_t* subject;
    double start;
    long minutes;
    long busy;
  };
  const Seed seeds[] = {{L"alpha", kMonday + 0.375, 60, 2}, {L"Bravo", kMonday + 1.5, 30, 0},
                        {L"charlie", kMonday + 1.25, 120, 1}, {L"delta", kMonday + 3.0, 45, 3}};
  for (const Seed& s : seeds) {
    CComPtr<IAppointment> a;
    a.p = NewAppointment(s.subject, s.start, s.start + s.minutes / 1440.0);
    ASSERT_TRUE(a);
    a->put_BusyStatus(s.busy);
    if (s.start == seeds[0].start) {
      CBstr work(L"Work");
      a->put_Categories(work);
    }
    ASSERT_HRESULT_SUCCEEDED(a->Save());
  }
  const QueryCase cases[] = {
      {L"[Start] >= <46084 AND [Start] < <46085", L"[Start]", false, {L"charlie", L"Bravo"}},
      {L"[Start] >= <46083", L"[Subject]", true, {L"delta", L"charlie", L"Bravo", L"alpha"}},
      {L"[BusyStatus] = 0 OR [BusyStatus] = 3", L"[Start]", false, {L"Bravo", L"delta"}},
      {L"[Subject] = \"BRAVO\"", nullptr, false, {L"Bravo"}},
      {L"[Subject] <> 'bravo' AND [Duration] > 45", L"[Duration]", false, {L"alpha", L"charlie"}},
      {L"[Start] < <46083", nullptr, false, {}},
      {L"[Categories] = \"work\"", L"[Subject]", false, {L"alpha"}},
  };
  CComPtr<IFolder> folder;
  ASSERT_HRESULT_SUCCEEDED(app->GetDefaultFolder(olFolderCalendar, &folder));
  CComPtr<IPOutlookItemCollection> items;
  ASSERT_HRESULT_SUCCEEDED(folder->get_Items(&items));
  int count = 0;
  items->get_Count(&count);
  EXPECT_EQ(count, 4);
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.restriction);
    CBstr query(c.restriction);
    CComPtr<IPOutlookItemCollection> found;
    ASSERT_HRESULT_SUCCEEDED(items->Restrict(query, &found));
    if (c.sort) {
      CBstr sort(c.sort);
      ASSERT_HRESULT_SUCCEEDED(found->Sort(sort, c.descending ? VARIANT_TRUE : VARIANT_FALSE));
    }
    found->get_Count(&count);
    ASSERT_EQ(static_cast<size_t>(count), c.subjects.size());
    for (int i = 0; i < count; ++i) {
      CComPtr<IDispatch> item;
      ASSERT_HRESULT_SUCCEEDED(found->Item(i + 1, &item));
      CComPtr<IAppointment> a;
      a.p = As<IAppointment>(item, IID_IAppointment);
      BSTR text = nullptr;
      a->get_Subject(&text);
      if (c.sort) EXPECT_EQ(Take(text), c.subjects[i]);
      else SysFreeString(text);
    }
  }
  // Any text: a restriction or a refusal, never a fault (a seeded, bounded fuzzer).
  fixtures::ByteMutator mutator(4242);
  const std::vector<std::wstring> alphabet =
      fixtures::ByteMutator::EachUnit(std::wstring(L"[]<>=\"' ANDOR0123456789.-eStartSubjectoid"));
  for (int round = 0; round < 2000; ++round) {
    const std::wstring text = mutator.Edit(std::wstring(cases[round % (sizeof cases / sizeof cases[0])].restriction), 4,
                                           alphabet);
    CBstr query(text.c_str());
    CComPtr<IPOutlookItemCollection> found;
    HRESULT hr = items->Restrict(query, &found);
    ASSERT_TRUE(hr == S_OK || hr == E_INVALIDARG) << std::hex << hr;
  }
  // Text that is not a restriction is refused, not matched loosely.
  for (const wchar_t* bad : {L"", L"Start = 1", L"[Start] ~ 3", L"[Start] = ", L"[Subject] = \"open", L"[Start] = 1 AND"}) {
    CBstr query(bad);
    CComPtr<IPOutlookItemCollection> found;
    EXPECT_EQ(items->Restrict(query, &found), E_INVALIDARG) << bad;
  }
}

TEST_P(PimStoreTest, OccurrenceChangesBecomeExceptionsOfTheSeries) {
  CComPtr<IAppointment> series;
  series.p = NewAppointment(L"Standup", kMonday + 9.0 / 24, kMonday + 9.25 / 24);
  ASSERT_TRUE(series);
  CComPtr<IRecurrencePattern> pattern;
  ASSERT_HRESULT_SUCCEEDED(series->GetRecurrencePattern(&pattern));
  pattern->put_RecurrenceType(olRecursDaily);
  pattern->put_Interval(1);
  pattern->put_Occurrences(5);
  ASSERT_HRESULT_SUCCEEDED(series->Save());
  long oid = 0;
  series->get_Oid(&oid);

  CComPtr<IFolder> folder;
  ASSERT_HRESULT_SUCCEEDED(app->GetDefaultFolder(olFolderCalendar, &folder));
  auto find = [&](double day, IAppointment** out) {
    CComPtr<IPOutlookItemCollection> items;
    folder->get_Items(&items);
    items->put_IncludeRecurrences(static_cast<VARIANT_BOOL>(1));
    wchar_t query[128];
    swprintf(query, 128, L"[oid]=%d AND [Start] >= <%d AND [Start] < <%d", static_cast<int>(oid),
             static_cast<int>(day), static_cast<int>(day) + 1);
    CBstr q(query);
    CComPtr<IDispatch> item;
    HRESULT hr = items->Find(q, &item);
    *out = As<IAppointment>(item, IID_IAppointment);
    return hr;
  };
  // Wednesday's occurrence moves to 14:00 with its own subject; Thursday's is deleted.
  CComPtr<IAppointment> wednesday;
  ASSERT_HRESULT_SUCCEEDED(find(kMonday + 2, &wednesday));
  ASSERT_TRUE(wednesday);
  DATE start = 0;
  wednesday->get_Start(&start);
  EXPECT_NEAR(start, kMonday + 2 + 9.0 / 24, 1e-9);
  wednesday->put_Start(kMonday + 2 + 14.0 / 24);
  CBstr moved(L"Standup (moved)");
  wednesday->put_Subject(moved);
  wednesday->put_BusyStatus(olOutOfOffice);
  ASSERT_HRESULT_SUCCEEDED(wednesday->Save());
  CComPtr<IAppointment> thursday;
  ASSERT_HRESULT_SUCCEEDED(find(kMonday + 3, &thursday));
  ASSERT_TRUE(thursday);
  ASSERT_HRESULT_SUCCEEDED(thursday->Delete());

  // One stored series; its occurrences over the week.
  EXPECT_EQ(ReadRaw(L"Appointments Database", Newer()).size(), 1u);
  CComPtr<IPOutlookItemCollection> items;
  folder->get_Items(&items);
  items->put_IncludeRecurrences(VARIANT_TRUE);
  CBstr week(L"[Start] >= <46083 AND [Start] < <46090");
  CComPtr<IPOutlookItemCollection> found;
  ASSERT_HRESULT_SUCCEEDED(items->Restrict(week, &found));
  CBstr byStart(L"[Start]");
  found->Sort(byStart, VARIANT_FALSE);
  int count = 0;
  found->get_Count(&count);
  ASSERT_EQ(count, 4);  // five days, one deleted
  const double expected[] = {kMonday + 9.0 / 24, kMonday + 1 + 9.0 / 24, kMonday + 2 + 14.0 / 24, kMonday + 4 + 9.0 / 24};
  for (int i = 0; i < count; ++i) {
    CComPtr<IDispatch> item;
    found->Item(i + 1, &item);
    CComPtr<IAppointment> a;
    a.p = As<IAppointment>(item, IID_IAppointment);
    a->get_Start(&start);
    EXPECT_NEAR(start, expected[i], 1e-9) << i;
    BSTR text = nullptr;
    a->get_Subject(&text);
    EXPECT_EQ(Take(text), i == 2 ? L"Standup (moved)" : L"Standup");
    long busy = 0;
    a->get_BusyStatus(&busy);
    EXPECT_EQ(busy, i == 2 ? olOutOfOffice : olBusy);
  }
  CComPtr<IAppointment> none;
  EXPECT_HRESULT_SUCCEEDED(find(kMonday + 3, &none));
  EXPECT_FALSE(none);
}

TEST_P(PimStoreTest, ACopyParkedAtNoDateIsThenMoved) {
  // A duplicate is saved at the no-date value first, then given its real times.
  CComPtr<IAppointment> series;
  series.p = NewAppointment(L"Weekly", kMonday + 0.5, kMonday + 0.5 + 1.0 / 24);
  CComPtr<IRecurrencePattern> pattern;
  series->GetRecurrencePattern(&pattern);
  pattern->put_RecurrenceType(olRecursWeekly);
  pattern->put_DayOfWeekMask(1 << 1);
  ASSERT_HRESULT_SUCCEEDED(series->Save());
  CComPtr<IAppointment> copy;
  ASSERT_HRESULT_SUCCEEDED(series->Copy(&copy));
  ASSERT_HRESULT_SUCCEEDED(copy->put_Start(PIM_NO_DATE));
  ASSERT_HRESULT_SUCCEEDED(copy->Save());
  ASSERT_HRESULT_SUCCEEDED(copy->put_Start(kMonday + 7 + 0.75));
  ASSERT_HRESULT_SUCCEEDED(copy->put_End(kMonday + 7 + 0.75 + 1.0 / 24));
  ASSERT_HRESULT_SUCCEEDED(copy->Save());
  std::vector<RawRecord> raw = ReadRaw(L"Appointments Database", Newer());
  ASSERT_EQ(raw.size(), 2u);
  CEPROPID startId = Newer() ? 0x10420040 : 0x420D0040;
  EXPECT_DOUBLE_EQ(RawDate(raw[0], startId) + RawDate(raw[1], startId), 2 * kMonday + 7 + 1.25);
  VARIANT_BOOL recurring = VARIANT_FALSE;
  copy->get_IsRecurring(&recurring);
  EXPECT_TRUE(recurring);
  // Its occurrences follow the new start.
  CComPtr<IRecurrencePattern> moved;
  copy->GetRecurrencePattern(&moved);
  CComPtr<IAppointment> next;
  ASSERT_HRESULT_SUCCEEDED(moved->GetOccurrence(kMonday + 14, &next));
  DATE start = 0;
  next->get_Start(&start);
  EXPECT_NEAR(start, kMonday + 14.75, 1e-9);
}

TEST_P(PimStoreTest, DamagedRecordsGiveErrorsNotCrashes) {
  // A recurring record whose pattern is cut short, written by another program.
  CComPtr<IAppointment> good;
  good.p = NewAppointment(L"Series", kMonday + 0.5, kMonday + 0.55);
  CComPtr<IRecurrencePattern> pattern;
  good->GetRecurrencePattern(&pattern);
  pattern->put_RecurrenceType(olRecursWeekly);
  pattern->put_DayOfWeekMask(2);
  ASSERT_HRESULT_SUCCEEDED(good->Save());
  long oid = 0;
  good->get_Oid(&oid);
  std::vector<RawRecord> raw = ReadRaw(L"Appointments Database", Newer());
  ASSERT_EQ(raw.size(), 1u);
  CEPROPID blobId = Newer() ? 0x203F0064 : 0x40150041;
  std::vector<BYTE> blob = raw[0].blobs.at(blobId);

  CEGUID guid = pimtest::LayoutGuid(Newer());
  CEOID dbOid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &dbOid, const_cast<LPWSTR>(L"Appointments Database"), nullptr, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  fixtures::ByteMutator mutator(2207);
  for (int round = 0; round < 300; ++round) {
    std::vector<BYTE> bad = mutator.Edit(blob, 4);
    CEPROPVAL v{};
    v.propid = blobId;
    v.val.blob.dwCount = static_cast<DWORD>(bad.size());
    v.val.blob.lpb = bad.empty() ? nullptr : bad.data();
    ASSERT_TRUE(CeWriteRecordProps(h, raw[0].oid, 1, &v));
    CComPtr<IDispatch> item;
    HRESULT hr = app->GetItemFromOid(oid, &item);
    if (SUCCEEDED(hr)) {
      ASSERT_TRUE(item);
      CComPtr<IAppointment> a;
      a.p = As<IAppointment>(item, IID_IAppointment);
      a->put_Subject(nullptr);
    }
    CComPtr<IFolder> folder;
    app->GetDefaultFolder(olFolderCalendar, &folder);
    CComPtr<IPOutlookItemCollection> items;
    ASSERT_HRESULT_SUCCEEDED(folder->get_Items(&items));
    items->put_IncludeRecurrences(VARIANT_TRUE);
    CBstr query(L"[Start] >= <46083 AND [Start] < <46183");
    CComPtr<IPOutlookItemCollection> found;
    ASSERT_HRESULT_SUCCEEDED(items->Restrict(query, &found));
  }
  // Cut to the first bytes: always refused.
  CEPROPVAL v{};
  v.propid = blobId;
  v.val.blob.dwCount = 6;
  v.val.blob.lpb = blob.data();
  ASSERT_TRUE(CeWriteRecordProps(h, raw[0].oid, 1, &v));
  CloseHandle(h);
  CComPtr<IDispatch> item;
  EXPECT_EQ(app->GetItemFromOid(oid, &item), HRESULT_FROM_WIN32(ERROR_INTERNAL_DB_CORRUPTION));
}

TEST_P(PimStoreTest, BeamingIsRecordedNotSent) {
  HMODULE module = GetModuleHandleW(L"pimstore.dll");
  ASSERT_TRUE(module);
  auto sent = reinterpret_cast<DWORD(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(module, "PimInfraredSentCount")));
  ASSERT_TRUE(sent);
  CComPtr<IAppointment> appt;
  appt.p = NewAppointment(L"Beam me", kMonday, kMonday + 0.1);
  ASSERT_HRESULT_SUCCEEDED(appt->Save());
  DWORD before = sent();
  CComPtr<IFolder> infrared;
  ASSERT_HRESULT_SUCCEEDED(app->GetDefaultFolder(olFolderInfrared, &infrared));
  CComPtr<IDispatch> disp;
  appt->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
  // By item type or by folder number, as callers name it.
  ASSERT_HRESULT_SUCCEEDED(infrared->AddItemToInfraredFolder(olAppointmentItem, disp));
  ASSERT_HRESULT_SUCCEEDED(infrared->AddItemToInfraredFolder(olFolderCalendar, disp));
  ASSERT_HRESULT_SUCCEEDED(infrared->SendToInfrared());
  EXPECT_EQ(sent(), before + 2);
  // Only the infrared folder takes items to beam.
  CComPtr<IFolder> calendar;
  ASSERT_HRESULT_SUCCEEDED(app->GetDefaultFolder(olFolderCalendar, &calendar));
  EXPECT_TRUE(FAILED(calendar->AddItemToInfraredFolder(olAppointmentItem, disp)));
  EXPECT_EQ(infrared->AddItemToInfraredFolder(7, disp), E_INVALIDARG);
}

TEST_P(PimStoreTest, FolderCategoriesBySizeQueryThenFill) {
  CComPtr<IAppointment> appt;
  appt.p = NewAppointment(L"Tagged", kMonday, kMonday + 0.1);
  CBstr categories(L"Work,Home");
  appt->put_Categories(categories);
  ASSERT_HRESULT_SUCCEEDED(appt->Save());
  CComPtr<IFolder> folder;
  ASSERT_HRESULT_SUCCEEDED(app->GetDefaultFolder(olFolderCalendar, &folder));
  CComPtr<IItem> item;
  ASSERT_HRESULT_SUCCEEDED(folder->QueryInterface(IID_IItem, reinterpret_cast<void**>(&item)));
  CEPROPID id = PIMPR_FOLDER_CATEGORIES;
  ULONG size = 0;
  ASSERT_HRESULT_SUCCEEDED(item->GetProps(&id, 0, 1, nullptr, &size, nullptr));
  ASSERT_GT(size, sizeof(CEPROPVAL));
  // Too small a buffer is refused with the size needed; the caller's larger one is filled.
  std::vector<BYTE> buffer(size + 16);
  CEPROPVAL* values = reinterpret_cast<CEPROPVAL*>(buffer.data());
  ULONG small = size - 2;
  EXPECT_EQ(item->GetProps(&id, 0, 1, &values, &small, nullptr), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small, size);
  ULONG room = size + 16;
  ASSERT_HRESULT_SUCCEEDED(item->GetProps(&id, 0, 1, &values, &room, nullptr));
  EXPECT_STREQ(values[0].val.lpwstr, L"Work,Home");

  // An item's own subject and categories, and a property it does not have.
  CEPROPID ids[3] = {PIMPR_SUBJECT, PIMPR_CATEGORIES, 0x12340013};
  CComPtr<IItem> own;
  ASSERT_HRESULT_SUCCEEDED(appt->QueryInterface(IID_IItem, reinterpret_cast<void**>(&own)));
  CEPROPVAL* got = nullptr;
  ULONG gotSize = 0;
  ASSERT_HRESULT_SUCCEEDED(own->GetProps(ids, CEDB_ALLOWREALLOC, 3, &got, &gotSize, nullptr));
  EXPECT_STREQ(got[0].val.lpwstr, L"Tagged");
  EXPECT_STREQ(got[1].val.lpwstr, L"Work, Home");
  EXPECT_TRUE(got[2].wFlags & CEDB_PROPNOTFOUND);
  LocalFree(got);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PimStoreTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

}  // namespace
