// The contacts list over both store layouts, with stores another program wrote: what
// a load reads, the default field written and read back, changes arriving as
// notifications, deletion and notes handed on.
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/ContactTextPool.h"
#include "tabs/contacts/FixedBlockPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "pim/CategoriesList.h"
#include "tabs/contacts/ContactDetails.h"
#include "tabs/contacts/ContactNoteViewer.h"
#include "tabs/contacts/ContactRequests.h"
#include "tabs/contacts/tests/ContactFixtures.h"

using contacttest::Date;
using contacttest::Person;
using contacttest::Written;

namespace {

struct Recorder : IContactsListener, IContactRequests, IContactNoteViewer {
  std::vector<std::wstring> heard;
  std::vector<DWORD> deleted;
  LRESULT answer = 1;
  std::wstring noteTitle;
  std::vector<BYTE> note;
  void OnContactChanged(CONTACT_ITEM* c, CONTACT_ITEM* old) override {
    heard.push_back(c ? L"changed " + std::wstring(c->m_firstName) + L" was " + std::wstring(old->m_firstName)
                      : L"reload");
  }
  void OnContactAdded(CONTACT_ITEM* c, int) override { heard.push_back(L"added " + std::wstring(c->m_firstName)); }
  void OnContactRemoved(CONTACT_ITEM* c, int) override {
    heard.push_back(L"removed " + std::wstring(c->m_firstName));
  }
  LRESULT DeleteContact(DWORD oid) override {
    deleted.push_back(oid);
    return answer;
  }
  BOOL DisplayContact(DWORD, BOOL) override { return TRUE; }
  LRESULT CopyContact(DWORD) override { return 1; }
  BOOL ShowInk(HWND, const RECT&, LPCWSTR title, const BYTE* data, DWORD size) override {
    noteTitle = title;
    note.assign(data, data + size);
    return TRUE;
  }
};

std::vector<std::wstring> CategoryNames(const CCategoriesList& categories, const CBitSet& set) {
  std::vector<std::wstring> names;
  for (int i = set.FindNext(0); i >= 0; i = set.FindNext(i + 1))
    if (set.Test(i) == 1) names.push_back(std::wstring(categories.GetName(i)));
  return names;
}

class ContactsListTest : public ::testing::TestWithParam<bool> {
 protected:
  ContactsListTest() : m_mode(GetParam()), m_store(GetParam()) {}
  bool Newer() const { return GetParam(); }
  void Attach(CContactsList& list) { list.SetNotifyWindow(m_window.Get()); }
  CONTACT_ITEM* Named(CContactsList& list, const wchar_t* first) {
    for (int i = 0; i < list.GetCount(); ++i)
      if (list.GetAt(i)->m_firstName == CString(first)) return list.GetAt(i);
    return nullptr;
  }
  void Notify(CContactsList& list, UINT code, DWORD oid) {
    CENOTIFICATION n = {};
    n.dwSize = sizeof n;
    n.uType = code;
    n.oid = oid;
    list.OnDBNotification(&n, TRUE);
  }
  // The names of the categories a fresh load gives the contact.
  std::vector<std::wstring> CategoriesOf(DWORD itemOid, CCategoriesList& categories) {
    CContactsList list;
    Attach(list);
    CONTACT_ITEM* contact = categories.OpenDatabases() && list.Open() ? list.FindByOid(itemOid) : nullptr;
    if (!contact) {
      ADD_FAILURE() << "the contact did not load";
      return {};
    }
    return CategoryNames(categories, contact->m_categories);
  }
  // The oid a notification of the layout carries for a record.
  DWORD NoticeOid(const Written& w) const { return Newer() ? w.recordOid : w.itemOid; }

  CStoreMode m_mode;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
};

TEST_P(ContactsListTest, WithoutAWindowTheStoreIsNeverOpened) {
  m_store.Add({L"Ann"});
  CContactsList list;
  CONTACT_ITEM* c = nullptr;
  EXPECT_FALSE(list.GetFirst(&c));
  EXPECT_EQ(list.GetCount(), 0);
  std::vector<CSpecialEventItem*> events;
  EXPECT_EQ(list.GetEventsOfDay(Date(2026, 1, 1), events), 0);
}

TEST_P(ContactsListTest, EveryRecordIsReadWithItsFieldsDatesNotesAndDefault) {
  const CEPROPID* fields = GetContactFieldTable(Newer());
  const CEPROPID defaultProp = Newer() ? 0x00F80013 : 0x00500003;
  Person ann{L"Ann", L"M", L"Lee", L"Lee, Ann", L"Acme", L"Dr", L"Jr", L"call back"};
  ann.birthday = Date(1980, 2, 29);
  ann.anniversary = Date(2005, 6, 1);
  Written a = m_store.Add(ann);
  ASSERT_NE(a.recordOid, 0u);
  ASSERT_TRUE(m_store.SetText(a.recordOid, fields[0], L"555-0100"));
  ASSERT_TRUE(m_store.SetText(a.recordOid, fields[9], L"ann@example.org"));
  ASSERT_TRUE(m_store.SetLong(a.recordOid, defaultProp, fields[9]));
  // A note of only a byte-order mark and a terminator, a default that is no field.
  Written b = m_store.Add({L"Bob"});
  ASSERT_TRUE(m_store.SetBlob(b.recordOid, Newer() ? 0x001E0064 : 0x00170041, {0xFF, 0xFE, 0, 0}));
  ASSERT_TRUE(m_store.SetLong(b.recordOid, defaultProp, 0x12345678));
  // No default stored at all; no dates.
  Written c = m_store.Add({L"", L"", L"", L"", L"Only Company"});
  if (!Newer()) {
    ASSERT_TRUE(m_store.SetLong(a.recordOid, 0x16880013, 0x00ABCDEF));
  }

  CContactsList list;
  Attach(list);
  ASSERT_TRUE(list.Open());
  ASSERT_EQ(list.GetCount(), 3);

  CONTACT_ITEM* x = list.FindByOid(a.itemOid);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(std::wstring(x->m_firstName), L"Ann");
  EXPECT_EQ(std::wstring(x->m_middleName), L"M");
  EXPECT_EQ(std::wstring(x->m_lastName), L"Lee");
  EXPECT_EQ(std::wstring(x->m_fileAs), L"Lee, Ann");
  EXPECT_EQ(std::wstring(x->m_company), L"Acme");
  EXPECT_EQ(std::wstring(x->m_title), L"Dr");
  EXPECT_EQ(std::wstring(x->m_suffix), L"Jr");
  EXPECT_TRUE(x->m_nickname.IsEmpty());
  EXPECT_EQ(std::wstring(x->m_fields[0]), L"555-0100");
  EXPECT_EQ(std::wstring(x->m_fields[9]), L"ann@example.org");
  EXPECT_EQ(x->m_defaultField, 9);
  EXPECT_DOUBLE_EQ(x->m_birthday, Date(1980, 2, 29));
  EXPECT_DOUBLE_EQ(x->m_anniversary, Date(2005, 6, 1));
  EXPECT_TRUE(x->m_hasNotes);
  EXPECT_EQ(x->m_callerIdPhoto, Newer() ? 0u : 0x00ABCDEFu);
  if (Newer()) {
    EXPECT_EQ(x->m_itemOid & 0x80000000u, 0x80000000u);
    EXPECT_EQ(x->m_recordOid, a.recordOid);
    EXPECT_EQ(list.FindIndexByRecordOid(a.recordOid), list.FindIndexByOid(a.itemOid));
    // No picture stream: no photo, and none is ever built.
    EXPECT_EQ(x->m_photoState, CONTACT_ITEM::kPhotoNone);
  } else {
    EXPECT_EQ(x->m_itemOid, a.recordOid);
    // The record identifier is set here too: a lookup by record finds the contact.
    EXPECT_EQ(x->m_recordOid, a.recordOid);
    EXPECT_EQ(list.FindIndexByRecordOid(a.recordOid), list.FindIndexByOid(a.itemOid));
    EXPECT_EQ(x->m_photoState, CONTACT_ITEM::kPhotoUnknown);
  }
  EXPECT_EQ(std::wstring(x->GetDefaultFieldText()), L"ann@example.org");

  CONTACT_ITEM* y = list.FindByOid(b.itemOid);
  ASSERT_NE(y, nullptr);
  EXPECT_FALSE(y->m_hasNotes);
  EXPECT_EQ(y->m_defaultField, -1);
  CONTACT_ITEM* z = list.FindByOid(c.itemOid);
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->m_defaultField, 0);
  EXPECT_EQ(z->m_birthday, kNoContactDate);
  EXPECT_EQ(z->m_anniversary, kNoContactDate);
  EXPECT_EQ(z->m_birthdayEvent, -1);
  // Two events, both Ann's, indexes stored back into her record.
  ASSERT_EQ(list.GetEventCount(), 2);
  EXPECT_EQ(list.GetEventAt(x->m_birthdayEvent)->m_kind, CSpecialEventItem::kBirthday);
  EXPECT_EQ(list.GetEventAt(x->m_anniversaryEvent)->m_kind, CSpecialEventItem::kAnniversary);
}

TEST_P(ContactsListTest, CategoriesComeFromTheLayoutsOwnPlace) {
  Person ann{L"Ann"};
  ann.categories = {L"Work", L"Golf"};
  Written a = m_store.Add(ann);
  m_store.Add({L"Bob"});
  CCategoriesList categories;
  std::vector<std::wstring> names = CategoriesOf(a.itemOid, categories);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Golf", L"Work"}));
}

TEST_P(ContactsListTest, OlderCategoryBitsNameCategoryIds) {
  if (Newer()) GTEST_SKIP() << "the newer layout keeps associations";
  // Categories until one has id 13; a blob with byte 1, bit 5 set names it, and a bit
  // of an id no category has is passed over.
  long id13 = -1;
  for (int k = 0; k < 40 && id13 != 13; ++k) id13 = m_store.Raw().CategoryId(L"c" + std::to_wstring(k), true);
  ASSERT_EQ(id13, 13);
  Written a = m_store.Add({L"Ann"});
  ASSERT_TRUE(m_store.SetBlob(a.recordOid, 0x00160041, {0x00, 0x20, 0x00, 0x80}));
  CCategoriesList categories;
  std::vector<std::wstring> names = CategoriesOf(a.itemOid, categories);
  const int index13 = categories.FindById(13);
  ASSERT_GE(index13, 0);
  EXPECT_EQ(names, (std::vector<std::wstring>{std::wstring(categories.GetName(index13))}));
}

TEST_P(ContactsListTest, TheDefaultFieldGoesBackToTheRightPropertyAndRecord) {
  Written a = m_store.Add({L"Ann"});
  Written b = m_store.Add({L"Bob"});
  CContactsList list;
  Attach(list);
  ASSERT_TRUE(list.Open());
  EXPECT_EQ(list.GetDefaultField(a.itemOid), -1);  // nothing stored yet
  ASSERT_TRUE(list.SetDefaultField(a.itemOid, 4));
  ASSERT_TRUE(list.SetDefaultField(b.itemOid, 8));
  EXPECT_FALSE(list.SetDefaultField(a.itemOid, -1));
  EXPECT_EQ(list.FindByOid(a.itemOid)->m_defaultField, 4);
  EXPECT_EQ(list.GetDefaultField(a.itemOid), 4);
  EXPECT_EQ(list.GetDefaultField(b.itemOid), 8);
  // Stored where the layout keeps it: the property of the field, in the record itself.
  auto raw = pimtest::ReadRaw(L"Contacts Database", Newer());
  const CEPROPID prop = Newer() ? 0x00F80013 : 0x00500003;
  bool seen = false;
  for (const auto& r : raw)
    if (r.oid == a.recordOid) {
      ASSERT_TRUE(r.values.count(prop));
      EXPECT_EQ(r.values.at(prop).val.ulVal, GetContactFieldTable(Newer())[4]);
      seen = true;
    }
  EXPECT_TRUE(seen);
  CContactsList again;
  Attach(again);
  ASSERT_TRUE(again.Open());
  EXPECT_EQ(again.FindByOid(a.itemOid)->m_defaultField, 4);
  EXPECT_EQ(again.FindByOid(b.itemOid)->m_defaultField, 8);
  EXPECT_EQ(list.GetDefaultField(0x0FFFFFF0), -1);
}

TEST_P(ContactsListTest, NotificationsAddChangeAndRemoveContactsAndTheirEvents) {
  Person ann{L"Ann"};
  ann.birthday = Date(1970, 5, 5);
  Written a = m_store.Add(ann);
  Person bob{L"Bob"};
  bob.birthday = Date(1971, 7, 7);
  Written b = m_store.Add(bob);
  CContactsList list;
  Attach(list);
  Recorder recorder;
  list.AddListener(&recorder);
  list.AddListener(&recorder);  // once only

  // Before the load a notification changes nothing.
  Notify(list, 1025, NoticeOid(a));
  EXPECT_TRUE(recorder.heard.empty());
  ASSERT_TRUE(list.Open());
  ASSERT_EQ(list.GetEventCount(), 2);

  Person cat{L"Cat"};
  cat.birthday = Date(1990, 5, 5);
  Written c = m_store.Add(cat);
  Notify(list, 1025, NoticeOid(c));
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetEventCount(), 3);

  // Ann is deleted: Bob's and Cat's events now name contacts one lower.
  ASSERT_TRUE(m_store.Delete(a.recordOid));
  Notify(list, 1027, NoticeOid(a));
  ASSERT_EQ(list.GetCount(), 2);
  ASSERT_EQ(list.GetEventCount(), 2);
  for (int i = 0; i < list.GetEventCount(); ++i) {
    CSpecialEventItem* e = list.GetEventAt(i);
    CONTACT_ITEM* owner = list.GetAt(e->m_contactIndex);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->m_itemOid, e->m_contactOid);
    EXPECT_EQ(owner->m_birthdayEvent, i);
  }

  // Bob's birthday moves and his name changes: his old copy goes with the news.
  ASSERT_TRUE(m_store.SetText(b.recordOid, Newer() ? 0x0082001F : 0x3A06001F, L"Robert"));
  FILETIME ft;
  DateToFileTime(Date(1971, 1, 2), &ft);
  CEPROPVAL v = {};
  v.propid = Newer() ? 0x00F00040 : 0x40010040;
  v.val.filetime = ft;
  ASSERT_TRUE(m_store.Set(b.recordOid, {v}));
  Notify(list, 1030, NoticeOid(b));
  CONTACT_ITEM* robert = list.FindByOid(b.itemOid);
  ASSERT_NE(robert, nullptr);
  EXPECT_EQ(std::wstring(robert->m_firstName), L"Robert");
  ASSERT_EQ(list.GetEventCount(), 2);
  EXPECT_EQ(list.GetEventAt(0)->m_contactOid, b.itemOid);  // 2 January now comes first

  // Everything changed: the list empties and is read again on its next use.
  Notify(list, 1032, 0);
  EXPECT_FALSE(list.IsLoaded());
  EXPECT_EQ(list.GetCount(), 0);
  CONTACT_ITEM* first = nullptr;
  ASSERT_TRUE(list.GetFirst(&first));
  EXPECT_EQ(list.GetCount(), 2);

  EXPECT_EQ(recorder.heard, (std::vector<std::wstring>{L"added Cat", L"removed Ann", L"changed Robert was Bob",
                                                        L"reload"}));
  list.RemoveListener(&recorder);
}

TEST_P(ContactsListTest, ASyntheticNotificationMayNameTheItem) {
  Written a = m_store.Add({L"Ann"});
  CContactsList list;
  Attach(list);
  ASSERT_TRUE(list.Open());
  ASSERT_TRUE(m_store.SetText(a.recordOid, Newer() ? 0x0084001F : 0x3A11001F, L"Lee"));
  // The object model's events carry the item identifier.
  Notify(list, 1030, a.itemOid);
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(std::wstring(list.GetAt(0)->m_lastName), L"Lee");
}

TEST_P(ContactsListTest, DeletionAndNotesGoWhereTheyBelong) {
  Person ann{L"Ann", L"", L"Lee"};
  ann.notes = L"Bring the book";
  Written a = m_store.Add(ann);
  Written b = m_store.Add({L"Bob"});
  CContactsList list;
  Attach(list);
  Recorder recorder;
  list.SetRequests(&recorder);
  list.SetNoteViewer(&recorder);
  ASSERT_TRUE(list.Open());
  EXPECT_EQ(list.DeleteContact(a.itemOid), 1);
  recorder.answer = 0;
  EXPECT_EQ(list.DeleteContact(b.itemOid), 0);
  EXPECT_EQ(recorder.deleted, (std::vector<DWORD>{a.itemOid, b.itemOid}));
  // The list itself changes only when the store's notification comes.
  EXPECT_EQ(list.GetCount(), 2);

  RECT r = {0, 0, 10, 10};
  ASSERT_TRUE(list.DisplayNote(nullptr, r, a.itemOid));
  EXPECT_EQ(recorder.noteTitle, L"Lee, Ann");
  std::wstring shown(reinterpret_cast<const wchar_t*>(recorder.note.data()), recorder.note.size() / 2);
  EXPECT_EQ(shown.c_str(), std::wstring(L"Bring the book"));
  recorder.noteTitle.clear();
  EXPECT_FALSE(list.DisplayNote(nullptr, r, b.itemOid));  // no note
  EXPECT_TRUE(recorder.noteTitle.empty());
}

TEST_P(ContactsListTest, DetailsReadTheFurtherTextsOfTheLayout) {
  Written a = m_store.Add({L"Ann"});
  const bool newer = Newer();
  ASSERT_TRUE(m_store.SetText(a.recordOid, newer ? 0x008C001F : 0x3A17001F, L"Engineer"));
  ASSERT_TRUE(m_store.SetText(a.recordOid, newer ? 0x008F001F : 0x4002001F, L"seventh"));
  ASSERT_TRUE(m_store.SetText(a.recordOid, newer ? 0x00C1001F : 0x4045001F, L"1 Main St"));
  ASSERT_TRUE(m_store.SetText(a.recordOid, newer ? 0x00E5001F : 0x404E001F, L"Norway"));
  CContactsList list;
  Attach(list);
  ASSERT_TRUE(list.Open());
  CONTACT_DETAILS details(a.itemOid, 0);
  ASSERT_TRUE(list.ReadContactDetails(&details, TRUE));
  EXPECT_EQ(std::wstring(details.m_firstName), L"Ann");
  EXPECT_EQ(std::wstring(details.m_details[0]), L"Engineer");
  EXPECT_EQ(std::wstring(details.m_details[6]), L"seventh");
  EXPECT_EQ(std::wstring(details.m_addresses[0][0]), L"1 Main St");
  EXPECT_EQ(std::wstring(details.m_addresses[2][4]), L"Norway");
  EXPECT_TRUE(details.m_details[4].IsEmpty());
  CONTACT_DETAILS missing(newer ? 0x80FFFFFF : 0x7FFFFF, 0);
  EXPECT_FALSE(list.ReadContactDetails(&missing, TRUE));
}

// A load keeps its texts in one pool: a record a row still holds, and a copy taken
// from it, keep their texts after the list let the load go; a text set later is the
// record's own.
TEST_P(ContactsListTest, RecordsKeepTheirTextsAfterTheListLetsTheLoadGo) {
  m_store.Add({L"Ann", L"", L"Lee", L"", L"Acme"});
  m_store.Add({L"Bob", L"", L"Moss"});
  CONTACT_ITEM* kept = nullptr;
  CONTACT_ITEM copy;
  {
    CContactsList list;
    Attach(list);
    ASSERT_TRUE(list.Open());
    kept = Named(list, L"Ann");
    ASSERT_NE(kept, nullptr);
    kept->AddRef();
    CONTACT_ITEM* bob = Named(list, L"Bob");
    ASSERT_NE(bob, nullptr);
    copy.Assign(*bob);
    ASSERT_TRUE(list.Open());  // a second load frees every record of the first
  }
  // Memory the first load had is likely to be handed out again now.
  std::vector<std::wstring> churn(200, std::wstring(300, L'#'));
  EXPECT_EQ(std::wstring(kept->m_firstName), L"Ann");
  EXPECT_EQ(std::wstring(kept->m_company), L"Acme");
  EXPECT_EQ(std::wstring(kept->FormatName(1)), L"Lee, Ann");
  EXPECT_EQ(std::wstring(copy.m_lastName), L"Moss");
  kept->m_firstName = L"Anna";
  EXPECT_EQ(std::wstring(kept->m_firstName), L"Anna");
  EXPECT_EQ(kept->m_firstName.GetLength(), 4);
  CONTACT_ITEM second(*kept);
  kept->Release();
  EXPECT_EQ(std::wstring(second.m_firstName), L"Anna");
  EXPECT_EQ(std::wstring(second.m_lastName), L"Lee");
}

// A load keeps a record's texts as views whose lengths are counted when first asked
// for; texts far apart in the record (here too long to keep in one piece) are kept one
// by one. Either way every text reads whole, in the record, its copies and after the load.
TEST_P(ContactsListTest, TextsReadWholeWhetherKeptTogetherOrOneByOne) {
  const std::wstring longFirst(20000, L'f'), longLast(20000, L'l');
  m_store.Add({longFirst.c_str(), L"", longLast.c_str(), L"", L"Far Ltd"});
  m_store.Add({L"Cy", L"Q", L"Near", L"Near, Cy", L"", L"Dr"});
  CONTACT_ITEM copies[2];
  {
    CContactsList list;
    Attach(list);
    ASSERT_TRUE(list.Open());
    ASSERT_EQ(list.GetCount(), 2);
    for (int i = 0; i < 2; ++i) copies[i].Assign(*list.GetAt(i));
  }
  CONTACT_ITEM* spread = copies[0].m_company.GetLength() > 0 ? &copies[0] : &copies[1];
  CONTACT_ITEM* close = spread == &copies[0] ? &copies[1] : &copies[0];
  struct Case {
    const CContactText& text;
    std::wstring expected;
  } cases[] = {{spread->m_firstName, longFirst}, {spread->m_lastName, longLast},   {spread->m_company, L"Far Ltd"},
               {spread->m_middleName, L""},      {close->m_firstName, L"Cy"},    {close->m_middleName, L"Q"},
               {close->m_lastName, L"Near"},   {close->m_fileAs, L"Near, Cy"}, {close->m_title, L"Dr"},
               {close->m_company, L""}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.text.IsEmpty(), c.expected.empty());
    EXPECT_EQ(c.text.GetLength(), static_cast<int>(c.expected.size()));
    EXPECT_EQ(std::wstring(c.text.ToString()), c.expected);
    EXPECT_EQ(std::wstring(c.text), c.expected);
  }
  EXPECT_EQ(std::wstring(close->m_lastName.Left(2)), L"Ne");
  EXPECT_EQ(std::wstring(close->FormatName(1)), L"Near, Cy Q");
  EXPECT_EQ(spread->FormatName(1).GetLength(), 40002);
}

// On the device a change this process writes is told to every window that opened the
// database with a notification request, in either layout.
TEST_P(ContactsListTest, AChangeWrittenInThisProcessReachesTheListsWindow) {
  m_store.Add({L"Ann"});
  CContactsList list;
  Attach(list);
  ASSERT_TRUE(list.Open());
  ASSERT_EQ(list.GetCount(), 1);
  Written b = m_store.Add({L"Bob"});
  ASSERT_NE(b.recordOid, 0u);
  // Delivery is asynchronous: wait for it, within a bound.
  CENOTIFICATION* heard = nullptr;
  for (int i = 0; i < 300 && !heard; ++i) {
    MSG msg;
    while (!heard && PeekMessageW(&msg, m_window.Get(), WM_DBNOTIFICATION, WM_DBNOTIFICATION, PM_REMOVE))
      heard = reinterpret_cast<CENOTIFICATION*>(msg.lParam);
    if (!heard) Sleep(10);
  }
  ASSERT_NE(heard, nullptr) << "no notification reached the window";
  EXPECT_EQ(heard->uType, static_cast<UINT>(DB_CEOID_CREATED));
  EXPECT_EQ(heard->oid, b.recordOid);
  EXPECT_TRUE(list.OnDBNotification(heard, FALSE));
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_NE(Named(list, L"Bob"), nullptr);
}

TEST(ContactTextPoolTest, TextsStayPutAcrossBlocksAndLongTextsGetTheirOwn) {
  CContactTextPool* pool = CContactTextPool::Create();
  ASSERT_NE(pool, nullptr);
  std::vector<std::pair<LPCWSTR, std::wstring>> added;
  for (int i = 0; i < 5000; ++i) {
    std::wstring text = std::wstring(static_cast<size_t>(i % 40), L'a' + i % 26) + std::to_wstring(i);
    if (i == 2500) text = std::wstring(100000, L'L');
    LPCWSTR at = pool->Add(text.c_str(), static_cast<int>(text.size()));
    ASSERT_NE(at, nullptr);
    added.push_back({at, text});
  }
  for (const auto& a : added) EXPECT_EQ(std::wstring(a.first), a.second);
  EXPECT_EQ(pool->Add(nullptr, 3), nullptr);
  EXPECT_STREQ(pool->Add(L"xyz", 0), L"");
  pool->Release();
}

TEST(FixedBlockPoolTest, BlocksAreDistinctAlignedAndReused) {
  CFixedBlockPool pool(sizeof(CONTACT_ITEM));
  EXPECT_GE(pool.GetBlockSize(), sizeof(CONTACT_ITEM));
  std::vector<void*> blocks;
  for (int i = 0; i < 600; ++i) {  // more than one chunk
    void* block = pool.Allocate();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u);
    std::memset(block, i & 0xFF, pool.GetBlockSize());
    blocks.push_back(block);
  }
  std::vector<void*> sorted = blocks;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  for (int i = 0; i < 600; ++i)
    EXPECT_EQ(static_cast<BYTE*>(blocks[i])[pool.GetBlockSize() - 1], static_cast<BYTE>(i & 0xFF)) << "overlap at " << i;
  pool.Free(blocks[10]);
  EXPECT_EQ(pool.Allocate(), blocks[10]);
  pool.Free(nullptr);
  // Records of another size than the pool's (the details) come from the heap and go back there.
  for (int i = 0; i < 3; ++i) {
    std::unique_ptr<CONTACT_DETAILS> details(new (std::nothrow) CONTACT_DETAILS());
    ASSERT_NE(details, nullptr);
    CONTACT_ITEM* item = CONTACT_ITEM::Create(5, 5);
    ASSERT_NE(item, nullptr);
    item->Release();
  }
}

// Records may be let go on another thread than the one that made them: threads taking and
// giving back blocks at once never get one block twice.
TEST(FixedBlockPoolTest, ThreadsNeverShareABlock) {
  CFixedBlockPool pool(64);
  struct Worker {
    CFixedBlockPool* pool;
    DWORD id;
    LONG clashes = 0;
    static DWORD WINAPI Run(LPVOID context) {
      auto* self = static_cast<Worker*>(context);
      void* held[8] = {};
      for (int round = 0; round < 20000; ++round) {
        for (void*& block : held) {
          block = self->pool->Allocate();
          if (block) *static_cast<volatile DWORD*>(block) = self->id;
        }
        SwitchToThread();
        for (void* block : held) {
          if (block && *static_cast<volatile DWORD*>(block) != self->id) ++self->clashes;
          self->pool->Free(block);
        }
      }
      return 0;
    }
  };
  std::vector<Worker> workers(4);
  std::vector<HANDLE> threads;
  for (size_t i = 0; i < workers.size(); ++i) {
    workers[i].pool = &pool;
    workers[i].id = static_cast<DWORD>(i + 1);
    threads.push_back(CreateThread(nullptr, 0, &Worker::Run, &workers[i], 0, nullptr));
    ASSERT_TRUE(threads.back());
  }
  WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
  for (HANDLE thread : threads) CloseHandle(thread);
  for (const Worker& worker : workers) EXPECT_EQ(worker.clashes, 0) << "thread " << worker.id;
}

INSTANTIATE_TEST_SUITE_P(BothStores, ContactsListTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Legacy"; });

}  // namespace

namespace cedbtest {
// This program runs no child jobs.
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest
