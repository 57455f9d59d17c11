// The categories list over both stores: what the object model writes, records as the
// store holds them (malformed ones skipped), the three indexes, category texts and
// sets, changes made by another process, the items of a new category, fuzzed stores.
#include "pim/CategoriesList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/tests/DeviceRoot.h"
#include "pim/tests/CategoryFixtures.h"
#include "pim/PocketOutlook.h"
#include "pim/tests/RecordingApp.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"

namespace cattest {

struct Heard : ICategoriesListener {
  void OnCategoryAdded(int index) override { events.push_back(L"+" + std::to_wstring(index)); }
  void OnCategoryDeleted(int index) override { events.push_back(L"-" + std::to_wstring(index)); }
  std::vector<std::wstring> events;
};

struct Items : ICategoryItemSink {
  void OnItemNotification(DWORD kind, CENOTIFICATION* n) override {
    told.push_back({kind, n->oid});
    EXPECT_EQ(n->uType, static_cast<UINT>(DB_CEOID_CHANGED));
  }
  std::vector<std::pair<DWORD, CEOID>> told;
};

int g_iconReloads = 0;

std::vector<std::wstring> DisplayNames(const CCategoriesList& list) {
  std::vector<std::wstring> names;
  for (int k = 0; k < list.GetDisplayCount(); ++k) names.push_back(std::wstring(list.GetName(list.GetDisplayAt(k))));
  return names;
}

class CategoriesListTest : public ::testing::TestWithParam<bool> {
 protected:
  CategoriesListTest() : m_store(GetParam()) {}
  void SetUp() override {
    pimtest::ClearStores();
    g_iconReloads = 0;
    CCategoriesList::SetIconReload([] { ++g_iconReloads; });
  }
  void TearDown() override {
    CCategoriesList::SetIconReload(nullptr);
    pimtest::ClearStores();
  }
  bool Newer() const { return GetParam(); }
  int Index(const CCategoriesList& list, const wchar_t* name) {
    int index = -1;
    return list.FindByName(name, &index) ? index : -1;
  }

  CStoreMode m_store;
};

// Items saved through the object model make their categories; the list reads them
// in both layouts, and on the newer one also which item has which.
TEST_P(CategoriesListTest, ReadsWhatTheObjectModelWrote) {
  CComInitScope com(COINIT_APARTMENTTHREADED);
  ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  long taskOid = 0;
  {
    CComPtr<IPOutlookApp> app;
    app.p = pimtest::CreateApp();
    ASSERT_TRUE(app.p);
    for (const wchar_t* categories : {L"Work, Personal", L"Holiday"}) {
      CComPtr<IDispatch> made;
      ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olTaskItem, &made));
      CComPtr<ITask> task;
      ASSERT_HRESULT_SUCCEEDED(made->QueryInterface(IID_ITask, reinterpret_cast<void**>(&task)));
      BSTR text = SysAllocString(categories);
      task->put_Categories(text);
      SysFreeString(text);
      ASSERT_HRESULT_SUCCEEDED(task->Save());
      if (!taskOid) task->get_Oid(&taskOid);
    }
  }
  CCategoriesList list;
  ASSERT_TRUE(list.Open(nullptr));
  ASSERT_TRUE(list.IsLoaded());
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(DisplayNames(list), (std::vector<std::wstring>{L"Holiday", L"Personal", L"Work"}));
  const int work = Index(list, L"Work");
  ASSERT_GE(work, 0);
  EXPECT_EQ(list.FindById(list.GetAt(work)->id), work);

  CBitSet set;
  if (Newer()) {
    EXPECT_EQ(list.ReadItemCategories(static_cast<CEOID>(taskOid), set), 2);
    EXPECT_EQ(std::wstring(list.BuildNamesText(set)), L"Work, Personal");
  } else {
    EXPECT_EQ(list.ReadItemCategories(static_cast<CEOID>(taskOid), set), 0) << "the older store keeps them on the item";
  }

  CPocketOutlook::SetFactory([](IPOutlookApp** app) -> HRESULT {
    *app = pimtest::CreateApp();
    return *app ? S_OK : E_FAIL;
  });
  const std::wstring folderText(CCategoriesList::GetCategoriesForFolder(olFolderTasks));
  CPocketOutlook::Logoff();
  CPocketOutlook::SetFactory(nullptr);
  list.ParseCategories(folderText.c_str(), set);
  EXPECT_EQ(std::wstring(list.BuildNamesText(set)), L"Work, Personal, Holiday") << folderText;
}

// Records as the store holds them, some of them malformed by another program.
TEST_P(CategoriesListTest, KeepsUsableRecordsInThreeOrders) {
  const bool newer = Newer();
  WriteCategory(newer, L"work", 4);
  WriteCategory(newer, L"Work", 2);
  WriteCategory(newer, L"", 3);
  WriteCategory(newer, L"apple", 9);
  // A name of the wrong type, a record without a name, an id of the wrong type.
  if (newer) {
    WriteValues(newer, MainName(newer), {cedbtest::Long(1, 5), cedbtest::Long(2, 7)});
    WriteValues(newer, MainName(newer), {cedbtest::Long(1, 6), cedbtest::Text(2, L"wrong id type")});
  } else {
    WriteValues(newer, MainName(newer), {cedbtest::Short(0x4002, 5), cedbtest::Short(0x4003, 1)});
    WriteValues(newer, MainName(newer),
                {cedbtest::Text(0x4001, L"no flags"), cedbtest::Short(0x4002, 6), cedbtest::Short(0x4003, 1)});
  }
  // Both databases of the newer store: an open list is one with both open.
  if (newer) WriteAssociation(0x40000001, 2);
  CCategoriesList list;
  ASSERT_TRUE(list.Open(nullptr));
  ASSERT_EQ(list.GetCount(), 3) << "empty names and malformed records are left out";
  EXPECT_EQ(std::wstring(list.GetName(0)), L"work");
  const std::vector<std::wstring> display = DisplayNames(list);
  ASSERT_EQ(display.size(), 3u);
  EXPECT_EQ(display[0], L"apple");
  EXPECT_EQ(_wcsicmp(display[1].c_str(), L"work"), 0) << "case-only twins sit side by side";
  EXPECT_EQ(_wcsicmp(display[2].c_str(), L"work"), 0);
  int index = -1;
  EXPECT_TRUE(list.FindByName(L"Work", &index));
  EXPECT_EQ(index, 1) << "exact, with case";
  EXPECT_FALSE(list.FindByName(L"WORK", &index));
  EXPECT_EQ(index, 0) << "insertion point before every other name";
  EXPECT_FALSE(list.FindByName(L"zz", &index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(list.FindById(9), 2);
  EXPECT_EQ(list.FindById(3), -1);
  if (!newer) {
    const CATEGORY_RECORD* record = list.GetAt(1);
    EXPECT_EQ(record->flagA, 6);
    EXPECT_EQ(record->flagB, 4);
    EXPECT_EQ(record->flagC, 5);
    EXPECT_EQ(record->flagD, 3);
  }
  EXPECT_TRUE(list.OpenDatabases()) << "open already";
  WriteCategory(newer, L"later", 11);
  EXPECT_TRUE(list.OpenDatabases());
  EXPECT_EQ(list.GetCount(), 3) << "a second open reads nothing";
  list.Close();
  EXPECT_FALSE(list.FindByName(L"Work", &index));
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_P(CategoriesListTest, AnEmptyOrMissingStoreGivesAnEmptyList) {
  CCategoriesList list;
  EXPECT_FALSE(list.Open(nullptr)) << "no category database yet";
  EXPECT_EQ(list.GetCount(), 0);
  HANDLE made = OpenRaw(Newer(), MainName(Newer()), true);
  CloseHandle(made);
  EXPECT_TRUE(list.OpenDatabases());
  EXPECT_TRUE(list.IsLoaded());
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetSingle(CBitSet()), -1);
}

// Another process adds, renames and deletes categories; the notifications reach the
// list's window, and the list follows them.
TEST_P(CategoriesListTest, FollowsChangesOfAnotherProcess) {
  const bool newer = Newer();
  const CEOID first = WriteCategory(newer, L"Business", 1);
  WriteCategory(newer, L"Clients", 2);
  if (newer) WriteAssociation(0x40000010, 1);
  cedbtest::NotificationSink sink;
  CCategoriesList list;
  ASSERT_TRUE(list.Open(sink.hwnd()));
  Heard heard, second;
  list.Subscribe(&heard);
  list.Subscribe(&second);
  list.Subscribe(&heard);
  const std::wstring layout = newer ? L"1 " : L"0 ";

  size_t handled = 0;
  auto follow = [&] {
    EXPECT_TRUE(cedbtest::PumpUntil([&] { return sink.received.size() > handled; }));
    for (; handled < sink.received.size(); ++handled) {
      CENOTIFICATION n = sink.received[handled];
      EXPECT_TRUE(list.OwnsNotification(&n));
      list.OnDbNotify(&n, TRUE);
    }
  };

  ASSERT_EQ(cedbtest::RunChild(L"category-write", layout + L"3 Agenda"), 0u);
  follow();
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(std::wstring(list.GetName(2)), L"Agenda");
  EXPECT_EQ(heard.events, (std::vector<std::wstring>{L"+2"})) << "once, in the order of subscription";
  EXPECT_EQ(second.events, heard.events);
  EXPECT_EQ(g_iconReloads, 1);
  EXPECT_EQ(list.GetDisplayAt(0), 2) << "sorted in";

  ASSERT_EQ(cedbtest::RunChild(L"category-rename", layout + std::to_wstring(first) + L" Accounts"), 0u);
  follow();
  EXPECT_EQ(std::wstring(list.GetName(0)), L"Accounts");
  EXPECT_EQ(list.GetDisplayAt(0), 0);
  EXPECT_EQ(heard.events.size(), 1u) << "a change tells no listener";

  ASSERT_EQ(cedbtest::RunChild(L"category-delete", layout + std::to_wstring(first)), 0u);
  follow();
  ASSERT_EQ(list.GetCount(), 3) << "the place is kept";
  EXPECT_TRUE(list.GetName(0).IsEmpty());
  EXPECT_EQ(list.GetAt(0)->oid, static_cast<CEOID>(-1));
  EXPECT_EQ(list.GetAt(0)->displayPos, -1);
  EXPECT_EQ(DisplayNames(list), (std::vector<std::wstring>{L"Agenda", L"Clients"}));
  EXPECT_EQ(Index(list, L"Clients"), 1) << "record numbers stay";
  EXPECT_EQ(heard.events, (std::vector<std::wstring>{L"+2", L"-0"}));
  EXPECT_EQ(g_iconReloads, 2);

  list.Unsubscribe(&heard);
  CENOTIFICATION reload = {};
  reload.dwSize = sizeof reload;
  reload.uType = kCategoriesReloadAll;
  list.OnDbNotify(&reload, TRUE);
  EXPECT_EQ(list.GetCount(), 2) << "read again: the deleted place is gone";
  CENOTIFICATION stranger = reload;
  stranger.uType = DB_CEOID_RECORD_DELETED;
  stranger.oid = 0x7777;
  list.OnDbNotify(&stranger, TRUE);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(second.events.size(), 2u);
}

// Newer store: a new category tells every appointment, contact and task already
// associated with its id; notifications of the association database change nothing.
TEST_P(CategoriesListTest, ANewCategoryTellsItsItems) {
  if (!Newer()) GTEST_SKIP() << "the older store keeps categories on the items";
  WriteCategory(true, L"Old", 1);
  WriteAssociation(0x40000005, 7);
  WriteAssociation(0x80000006, 7);
  WriteAssociation(0xC0000007, 7);
  WriteAssociation(0x10000008, 7);
  WriteAssociation(0x40000009, 1);
  CCategoriesList list;
  Items items;
  list.SetItemSink(&items);
  ASSERT_TRUE(list.Open(nullptr));
  CEGUID guid = pimtest::LayoutGuid(true);
  CEOID assocOid = 0;
  HANDLE assoc = CeOpenDatabaseEx2(&guid, &assocOid, const_cast<LPWSTR>(L"CategoryAssocDB"), nullptr, 0, nullptr);
  CloseHandle(assoc);
  CENOTIFICATION n = {};
  n.dwSize = sizeof n;
  n.uType = DB_CEOID_CREATED;
  n.oidParent = assocOid;
  n.oid = WriteAssociation(0x40000011, 1);
  list.OnDbNotify(&n, TRUE);
  EXPECT_EQ(list.GetCount(), 1);

  n.oidParent = 0;
  n.oid = WriteCategory(true, L"New", 7);
  list.OnDbNotify(&n, TRUE);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(items.told, (std::vector<std::pair<DWORD, CEOID>>{{4, 0x40000005}, {8, 0x80000006}, {0xC, 0xC0000007}}));
  CBitSet set;
  EXPECT_EQ(list.ReadItemCategories(0x80000006, set), 1);
  EXPECT_EQ(set.FindNext(0), 1);
}

INSTANTIATE_TEST_SUITE_P(BothStores, CategoriesListTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

// Texts to sets and back, and the questions the rows ask of a set.
TEST(CategoriesListTexts, ParseBuildAndSingleOut) {
  CStoreMode store(false);
  pimtest::ClearStores();
  const wchar_t* names[] = {L"Work", L"Home", L" Lead", L"Zeta", L"alpha"};
  long id = 1;
  for (const wchar_t* name : names) WriteCategory(false, name, id++);
  for (int i = 0; i < 70; ++i) WriteCategory(false, (L"Extra" + std::to_wstring(i)).c_str(), id++);
  CCategoriesList list;
  ASSERT_TRUE(list.Open(nullptr));
  ASSERT_EQ(list.GetCount(), 75);
  EXPECT_EQ(CCategoriesList::GetCurrent(), &list);

  struct Case {
    const wchar_t* text;
    const wchar_t* names;
  };
  const Case cases[] = {
      {L"Work, Home;Zeta", L"Work, Home, Zeta"},
      {L"Zeta,,; ;Work", L"Work, Zeta"},
      {L" Work", L""},  // a blank before the first name is part of it
      {L"Home,  Lead", L"Home"},  // blanks after a separator are skipped
      {L" Lead", L" Lead"},
      {L"Work ,Home", L"Home"},  // a blank before the separator belongs to the name
      {L"Nothing, work", L""},
      {L"", L""},
      {L"Extra65, alpha", L"alpha, Extra65"},
  };
  for (const Case& c : cases) {
    CBitSet set;
    list.ParseCategories(c.text, set);
    EXPECT_EQ(std::wstring(list.BuildNamesText(set)), c.names) << c.text;
    EXPECT_EQ(std::wstring(CCategoriesList::GetNamesText(set)), c.names);
  }

  CBitSet set;
  list.ParseCategories(L"Extra65", set);
  EXPECT_TRUE(set.IsOnHeap()) << "record 70 lies past the inline words";
  CBitSet copy(set);
  set.Clear();
  EXPECT_EQ(list.GetSingle(copy), 70);
  EXPECT_EQ(std::wstring(list.BuildNamesText(copy)), L"Extra65");
  copy.Set(0);
  EXPECT_EQ(list.GetSingle(copy), -1);
  EXPECT_EQ(list.GetSingle(CBitSet()), -1);

  // Display order: alpha, Extra..., Home, Work, Zeta (" Lead" first of all).
  list.ParseCategories(L"Zeta, Work, Home", set);
  EXPECT_EQ(list.FirstInDisplayOrder(set, -1), 1);
  EXPECT_EQ(list.FirstInDisplayOrder(set, 1), 0);
  list.ParseCategories(L"Home", set);
  EXPECT_EQ(list.FirstInDisplayOrder(set, 1), 1) << "only the excluded one is set";
  EXPECT_EQ(list.FirstInDisplayOrder(set, 3), 1);
  EXPECT_EQ(list.FirstInDisplayOrder(CBitSet(), 1), -1);
  EXPECT_EQ(CCategoriesList::NextSet(copy, 1), 70);
  pimtest::ClearStores();
}

// Any records another program may leave in the category stores, and any
// notification: the list stays whole and its indexes agree with its records.
TEST(CategoriesListFuzz, AnyRecordsAndNotificationsKeepTheListWhole) {
  for (bool newer : {false, true}) {
    CStoreMode store(newer);
    pimtest::ClearStores();
    std::mt19937 random(newer ? 20261210 : 20261209);
    const WORD props[] = {1, 2, 3, 0x4001, 0x4002, 0x4003, 0x4004, 0x4005, 0x4006};
    const WORD types[] = {CEVT_LPWSTR, CEVT_I2, CEVT_I4, CEVT_UI4, CEVT_AUTO_I4, CEVT_BLOB};
    std::vector<CEOID> oids;
    std::vector<BYTE> bytes(16);
    CCategoriesList list;
    Heard heard;
    Items items;
    list.Subscribe(&heard);
    list.SetItemSink(&items);
    for (int round = 0; round < 1500; ++round) {
      const int action = static_cast<int>(random() % 5);
      if (action <= 1 || oids.empty()) {
        std::vector<CEPROPVAL> values;
        std::wstring text(random() % 6, static_cast<wchar_t>(L'A' + random() % 4));
        for (BYTE& b : bytes) b = static_cast<BYTE>(random());
        const int count = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
          CEPROPVAL v = {};
          const WORD type = types[random() % (sizeof types / sizeof types[0])];
          v.propid = MAKELONG(type, props[random() % (sizeof props / sizeof props[0])]);
          if (type == CEVT_LPWSTR) {
            v.val.lpwstr = &text[0];
          } else if (type == CEVT_BLOB) {
            v.val.blob.dwCount = random() % 16;
            v.val.blob.lpb = bytes.data();
          } else {
            v.val.lVal = static_cast<LONG>(random() % 8) - 2;
          }
          bool duplicate = false;
          for (const CEPROPVAL& other : values) duplicate = duplicate || HIWORD(other.propid) == HIWORD(v.propid);
          if (!duplicate) values.push_back(v);
        }
        const CEOID oid = WriteValues(newer, random() % 4 ? MainName(newer) : L"CategoryAssocDB", values);
        if (oid) oids.push_back(oid);
        continue;
      }
      if (action == 2 && random() % 3 == 0) DeleteRecord(newer, MainName(newer), oids[random() % oids.size()]);
      if (!list.IsOpen()) list.Open(nullptr);
      CENOTIFICATION n = {};
      n.dwSize = sizeof n;
      const UINT kinds[] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED, kCategoriesReloadAll, 1026};
      n.uType = kinds[random() % 5];
      n.oid = random() % 5 ? oids[random() % oids.size()] : static_cast<CEOID>(random());
      list.OnDbNotify(&n, TRUE);
      if (random() % 50 == 0) list.Close();
      // The indexes agree with the records.
      for (int k = 0; k < list.GetDisplayCount(); ++k) {
        const int at = list.GetDisplayAt(k);
        ASSERT_GE(at, 0);
        ASSERT_LT(at, list.GetCount());
        ASSERT_EQ(list.GetAt(at)->displayPos, k);
        int found = -1;
        ASSERT_TRUE(list.FindByName(list.GetName(at), &found));
        ASSERT_EQ(list.GetName(found), list.GetName(at));
        ASSERT_GE(list.FindById(list.GetAt(at)->id), 0);
      }
      CBitSet set;
      list.ParseCategories(L"A, AB;ABC", set);
      list.BuildNamesText(set);
      list.ReadItemCategories(static_cast<CEOID>(random() % 8), set);
    }
    pimtest::ClearStores();
  }
}

// An object model whose folders answer the categories question with any bytes: the
// size query and the answer may disagree, the text may point anywhere or run on.
struct FuzzFolder : IFolder, IItem {
  std::mt19937* random = nullptr;
  wchar_t elsewhere[8] = L"outside";

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IItem)
      *out = static_cast<IItem*>(this);
    else if (iid == IID_IUnknown || iid == IID_IFolder)
      *out = static_cast<IFolder*>(this);
    else
      return E_NOINTERFACE;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP get_Items(IPOutlookItemCollection**) override { return E_NOTIMPL; }
  STDMETHODIMP get_DefaultItemType(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Application(IPOutlookApp**) override { return E_NOTIMPL; }
  STDMETHODIMP AddItemToInfraredFolder(int, IDispatch*) override { return E_NOTIMPL; }
  STDMETHODIMP SendToInfrared() override { return E_NOTIMPL; }
  STDMETHODIMP ReceiveFromInfrared(IPOutlookItemCollection**) override { return E_NOTIMPL; }
  STDMETHODIMP GetProps(const CEPROPID* ids, ULONG, WORD, CEPROPVAL** values, ULONG* size, HANDLE) override {
    std::mt19937& r = *random;
    const HRESULT result = r() % 8 ? S_OK : E_FAIL;
    if (!values) {
      const ULONG sizes[] = {0, 4, sizeof(CEPROPVAL), sizeof(CEPROPVAL) + 10, 200, 0x7FFFFFFF};
      *size = sizes[r() % 6];
      return result;
    }
    // Only the room it was given is written; what the answer says is anyone's guess.
    BYTE* buffer = reinterpret_cast<BYTE*>(*values);
    for (ULONG i = 0; i < *size; ++i) buffer[i] = static_cast<BYTE>(r() % 3 ? 'a' + r() % 26 : r());
    if (*size >= sizeof(CEPROPVAL)) {
      CEPROPVAL& v = **values;
      v.propid = r() % 4 ? ids[0] : static_cast<CEPROPID>(r());
      v.wFlags = r() % 4 ? 0 : static_cast<WORD>(r());
      const ULONG at = static_cast<ULONG>(r() % (*size + 8));
      switch (r() % 4) {
        case 0: v.val.lpwstr = nullptr; break;
        case 1: v.val.lpwstr = elsewhere; break;
        default: v.val.lpwstr = reinterpret_cast<LPWSTR>(buffer + at); break;
      }
    }
    if (r() % 6 == 0) *size = static_cast<ULONG>(r());
    return result;
  }
  STDMETHODIMP SetProps(ULONG, WORD, CEPROPVAL*) override { return E_NOTIMPL; }
  STDMETHODIMP Save() override { return E_NOTIMPL; }
  STDMETHODIMP Delete() override { return E_NOTIMPL; }
  STDMETHODIMP Copy(IItem**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Oid(long*) override { return E_NOTIMPL; }
  STDMETHODIMP Display(HWND) override { return E_NOTIMPL; }
  STDMETHODIMP Edit(HWND) override { return E_NOTIMPL; }
};

struct FuzzApp : RecordingApp {
  FuzzFolder folder;
  STDMETHODIMP GetDefaultFolder(int, IFolder** out) override {
    *out = &folder;
    return S_OK;
  }
};

TEST(CategoriesListFuzz, AnyFolderAnswerGivesATextOrNothing) {
  std::mt19937 random(20261211);
  FuzzApp app;
  app.folder.random = &random;
  RecordingApp::Current() = &app;
  CPocketOutlook::SetFactory(RecordingApp::Make);
  for (int round = 0; round < 3000; ++round) {
    const std::wstring text(CCategoriesList::GetCategoriesForFolder(olFolderTasks));
    ASSERT_NE(text, L"outside") << "a text outside the answer is never read";
    ASSERT_LE(text.size(), 100u);
  }
  CPocketOutlook::Logoff();
  CPocketOutlook::SetFactory(nullptr);
  RecordingApp::Current() = nullptr;
}

}  // namespace cattest

namespace cedbtest {

// "category-write LAYOUT ID NAME", "category-rename LAYOUT OID NAME" and
// "category-delete LAYOUT OID": the category store changed as the object model
// changes it, by another process.
bool RunCategoryJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  int newer = 0;
  unsigned long number = 0;
  wchar_t name[64] = {};
  if (job == L"category-write" && swscanf(arg.c_str(), L"%d %lu %63ls", &newer, &number, name) == 3) {
    *exitCode = cattest::WriteCategory(newer != 0, name, static_cast<long>(number)) ? 0 : 1;
    return true;
  }
  if (job == L"category-rename" && swscanf(arg.c_str(), L"%d %lu %63ls", &newer, &number, name) == 3) {
    // The object model writes the whole record again.
    *exitCode = cattest::WriteCategory(newer != 0, name, 1, static_cast<CEOID>(number)) ? 0 : 1;
    return true;
  }
  if (job == L"category-delete" && swscanf(arg.c_str(), L"%d %lu", &newer, &number) == 2) {
    *exitCode = cattest::DeleteRecord(newer != 0, cattest::MainName(newer != 0), static_cast<CEOID>(number)) ? 0 : 1;
    return true;
  }
  return false;
}

}  // namespace cedbtest
