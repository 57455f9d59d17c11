// The Contacts tab over the device's thirty sample names: phone-key letter groups and
// typed text narrowing the list (a table of typed keys), the beep that takes a
// fruitless key back, the row trees of each grouping and photo mode, the category
// placement cases, stored values that are none, and the row events.
#include "tabs/contacts/ContactsTab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GridElement.h"
#include "panel/TabFilterSet.h"
#include "panel/TaskGroupHeaders.h"
#include "panel/TextGroupHeader.h"
#include "panel/tests/ListTabHost.h"
#include "pim/CategoriesList.h"
#include "tabs/contacts/ContactListItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactFixtures.h"

using contacttest::Person;

namespace {

int g_beeps = 0;
void CountBeep() { ++g_beeps; }

// The sample contacts of the device, first and last names.
const wchar_t* const kSampleNames[][2] = {
    {L"Anna", L"Berg"},   {L"Tomas", L"Lind"},   {L"Jon", L"Dahl"},     {L"Lea", L"Voss"},     {L"Karl", L"Sand"},
    {L"Nora", L"Holm"},   {L"Mika", L"Aalto"},   {L"Eva", L"Brun"},     {L"Ida", L"Carlsson"}, {L"Olof", L"Ek"},
    {L"Sara", L"Falk"},   {L"Per", L"Gran"},     {L"Lina", L"Hed"},     {L"Ulf", L"Isaksson"}, {L"Maja", L"Jansson"},
    {L"Emil", L"Kron"},   {L"Siri", L"Lund"},    {L"Axel", L"Moberg"},  {L"Elin", L"Nyberg"},  {L"Hugo", L"Ohlin"},
    {L"Alva", L"Pihl"},   {L"Leo", L"Quist"},    {L"Vera", L"Rask"},    {L"Nils", L"Strand"},  {L"Greta", L"Tell"},
    {L"Otto", L"Udd"},    {L"Ebba", L"Vik"},     {L"Sven", L"Wall"},    {L"Ellen", L"Young"},  {L"Ivar", L"Zorn"},
};

// One row of the tree: 'R' a text row, 'P' a photo tile, 'H' a header (its title key),
// with the header's value or text and the shown count.
struct Row {
  char what;
  std::wstring name;
  int depth;
  bool operator==(const Row& o) const { return what == o.what && name == o.name && depth == o.depth; }
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  return out << r.what << " " << std::string(r.name.begin(), r.name.end()) << " @" << r.depth;
}

void Collect(CContainerElement* list, int depth, std::vector<Row>& rows) {
  for (int i = 0; i < list->GetChildCount(); ++i) {
    CListItem* child = list->GetChild(i);
    if (auto* row = dynamic_cast<CContactListItem*>(child)) {
      rows.push_back({row->IsPhotoRow() ? 'P' : 'R', static_cast<LPCWSTR>(row->GetContact()->m_firstName), depth});
    } else if (auto* grid = dynamic_cast<CGridElement*>(child)) {
      Collect(grid, depth, rows);
    } else if (auto* text = dynamic_cast<CTextGroupHeader*>(child)) {
      rows.push_back({'H', static_cast<LPCWSTR>(text->GetText()) + std::wstring(L"#") +
                               std::to_wstring(text->GetDisplayCount()),
                      depth});
      Collect(text, depth + 1, rows);
    } else if (auto* header = dynamic_cast<CListGroupHeader*>(child)) {
      CString title;
      header->GetTitle(title);
      rows.push_back({'H', static_cast<LPCWSTR>(title) + std::wstring(L"#") + std::to_wstring(header->GetDisplayCount()),
                      depth});
      Collect(header, depth + 1, rows);
    }
  }
}

class ContactsTabTest : public ::testing::Test {
 protected:
  ContactsTabTest() : m_machine(L"contacts_tab"), m_mode(true), m_store(true) {
    SetScreenDpi(96, 96);
    g_beeps = 0;
    m_previousBeep = CContactsTab::SetBeep(&CountBeep);
    CViewSettings& settings = GetViewSettings();
    m_saved[0] = settings.ContactShowTextForPhotos;
    m_saved[1] = settings.ShowContactsInAllCategories;
    m_saved[2] = settings.ContSearchCompany;
    m_saved[3] = settings.ContactGroupCompanyNoCase;
    settings.ContactShowTextForPhotos = 0;
    settings.ShowContactsInAllCategories = 0;
    settings.ContSearchCompany = 0;
    settings.ContactGroupCompanyNoCase = 1;
  }
  ~ContactsTabTest() override {
    CContactsTab::SetBeep(m_previousBeep);
    CViewSettings& settings = GetViewSettings();
    settings.ContactShowTextForPhotos = m_saved[0];
    settings.ShowContactsInAllCategories = m_saved[1];
    settings.ContSearchCompany = m_saved[2];
    settings.ContactGroupCompanyNoCase = m_saved[3];
  }

  CRegistryView Product() const { return m_machine.Key(TARVO_PRODUCT_KEY); }

  void AddSamples() {
    for (const auto& name : kSampleNames) m_store.Add(Person{name[0], L"", name[1]});
  }

  // A tab over the fixture's list, laid out in a host, grouping as asked.
  CContactsTab& MakeTab(DWORD groupBy) {
    Product().WriteDWORD(L"ContactsGroupBy", groupBy);
    m_list.SetNotifyWindow(m_window.Get());
    m_tab.reset(new CContactsTab(nullptr, &m_list));
    m_host.reset(new ListTabHost());
    m_host->Add(*m_tab);
    m_tab->RebuildContent();
    return *m_tab;
  }

  std::vector<Row> Rows() {
    std::vector<Row> rows;
    if (m_tab->GetContentList()) Collect(m_tab->GetContentList(), 0, rows);
    return rows;
  }

  std::vector<std::wstring> ListedFirstNames() {
    std::vector<std::wstring> names;
    for (const Row& r : Rows())
      if (r.what == 'R') names.push_back(r.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  CLocalMachineSandbox m_machine;
  CStoreMode m_mode;
  CResourceLibraryScope m_resources;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
  CContactsList m_list;
  std::unique_ptr<CContactsTab> m_tab;
  std::unique_ptr<ListTabHost> m_host;
  int m_saved[4] = {};
  CContactsTab::BeepFn m_previousBeep = nullptr;
};

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ContactsTabTest, PhoneKeysNarrowTheSampleNamesByTheirWords) {
  AddSamples();
  CContactsTab& tab = MakeTab(CContactsTab::kGroupByNone);
  ASSERT_TRUE(tab.IsLetterBarShown());
  ASSERT_EQ(ListedFirstNames().size(), 30u);
  // The samples were stored out of order; the rows follow their list-form names.
  std::vector<std::wstring> shown;
  for (int i = 0; i < tab.GetContentList()->GetChildCount(); ++i)
    if (auto* row = dynamic_cast<CContactListItem*>(tab.GetContentList()->GetChild(i)))
      shown.push_back(static_cast<LPCWSTR>(row->GetName()));
  ASSERT_EQ(shown.size(), 30u);
  for (size_t i = 1; i < shown.size(); ++i)
    EXPECT_LE(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, shown[i - 1].c_str(), -1, shown[i].c_str(), -1),
              CSTR_EQUAL)
        << "row " << i;
  const struct Case {
    const wchar_t* keys;
    std::vector<std::wstring> names;  // first names of the contacts listed
    int beeps;                        // keys taken back
    int typed;                        // letter groups left
  } cases[] = {
      {L"9", {L"Ellen", L"Ivar", L"Sven"}, 0, 1},
      {L"5", {L"Emil", L"Jon", L"Karl", L"Lea", L"Leo", L"Lina", L"Maja", L"Siri", L"Tomas"}, 0, 1},
      {L"52", {L"Karl", L"Maja"}, 0, 2},
      {L"78", {L"Leo", L"Nils", L"Sven"}, 0, 2},
      {L"2", {L"Alva", L"Anna", L"Axel", L"Eva", L"Ida", L"Mika"}, 0, 1},
      {L"4", {L"Greta", L"Hugo", L"Ida", L"Ivar", L"Lina", L"Nora", L"Per", L"Ulf"}, 0, 1},
      // Nothing starts with two of j, k, l: the second key is taken back with a beep.
      {L"55", {L"Emil", L"Jon", L"Karl", L"Lea", L"Leo", L"Lina", L"Maja", L"Siri", L"Tomas"}, 1, 1},
      // Backspace takes the last group away.
      {L"52\b", {L"Emil", L"Jon", L"Karl", L"Lea", L"Leo", L"Lina", L"Maja", L"Siri", L"Tomas"}, 0, 1},
  };
  for (const Case& c : cases) {
    g_beeps = 0;
    for (const wchar_t* k = c.keys; *k; ++k) tab.OnChar(*k);
    EXPECT_EQ(ListedFirstNames(), Sorted(c.names)) << std::string(c.keys, c.keys + wcslen(c.keys));
    EXPECT_EQ(g_beeps, c.beeps);
    EXPECT_EQ(tab.GetLetterBar().GetTypedCount(), c.typed);
    EXPECT_EQ(tab.GetLastEntryCount(), static_cast<int>(c.names.size()));
    // Leaving the tab forgets what was typed.
    tab.Deactivate();
    EXPECT_EQ(tab.GetLetterBar().GetTypedCount(), 0);
    EXPECT_EQ(ListedFirstNames().size(), 30u);
  }
}

TEST_F(ContactsTabTest, TypedTextFindsWordStartsAndAFruitlessLetterGoes) {
  AddSamples();
  CContactsTab& tab = MakeTab(CContactsTab::kGroupByNone);
  const struct Case {
    const wchar_t* keys;
    const wchar_t* text;  // what stays typed
    std::vector<std::wstring> names;
    int beeps;
  } cases[] = {
      {L"st", L"st", {L"Nils"}, 0},
      {L"Str", L"Str", {L"Nils"}, 0},
      {L"el", L"el", {L"Elin", L"Ellen"}, 0},
      {L"zx", L"z", {L"Ivar"}, 1},
      {L"el\b", L"e", {L"Ebba", L"Elin", L"Ellen", L"Emil", L"Eva", L"Olof"}, 0},
  };
  for (const Case& c : cases) {
    g_beeps = 0;
    for (const wchar_t* k = c.keys; *k; ++k) tab.OnChar(*k);
    EXPECT_EQ(ListedFirstNames(), Sorted(c.names)) << std::string(c.keys, c.keys + wcslen(c.keys));
    EXPECT_STREQ(tab.GetTypedText(), c.text);
    EXPECT_EQ(g_beeps, c.beeps);
    tab.Deactivate();
  }
  // A typed match is what the row shows as its middle run.
  tab.OnChar(L'h');
  tab.OnChar(L'u');
  for (const Row& r : Rows()) EXPECT_EQ(r.name, L"Hugo");
  CONTACT_ITEM* hugo = nullptr;
  for (BOOL more = m_list.GetFirst(&hugo); more && wcscmp(hugo->m_firstName, L"Hugo") != 0;
       more = m_list.GetNext(&hugo)) {
  }
  ASSERT_TRUE(hugo && wcscmp(hugo->m_firstName, L"Hugo") == 0);
  EXPECT_EQ(hugo->m_matchLength, 2);
}

TEST_F(ContactsTabTest, AnEmptyListSaysSoAndAKeyOnItBeeps) {
  CContactsTab& tab = MakeTab(CContactsTab::kGroupByNone);
  EXPECT_EQ(Rows(), (std::vector<Row>{{'H', L"No contacts#0", 0}}));
  tab.OnChar(L'5');
  EXPECT_EQ(g_beeps, 1);
  EXPECT_EQ(tab.GetLetterBar().GetTypedCount(), 0);
}

TEST_F(ContactsTabTest, AStoredGroupingThatIsNoneBecomesNoGroupsWrittenBack) {
  AddSamples();
  MakeTab(552);
  EXPECT_EQ(m_tab->GetGroupBy(), CContactsTab::kGroupByNone);
  DWORD stored = 0;
  EXPECT_TRUE(Product().ReadDWORD(L"ContactsGroupBy", stored));
  EXPECT_EQ(stored, 501u);
  for (const Row& r : Rows()) EXPECT_EQ(r.depth, 0);
}

TEST_F(ContactsTabTest, CompaniesFoldTheirCaseOnlyWhenAsked) {
  auto add = [&](const wchar_t* first, const wchar_t* company) { m_store.Add(Person{first, L"", L"", L"", company}); };
  add(L"Ann", L"Acme");
  add(L"Bo", L"ACME");
  add(L"Cy", L"Beta");
  const struct Case {
    int noCase;
    std::vector<Row> rows;
  } cases[] = {
      {1, {{'H', L"Acme#2", 0}, {'R', L"Ann", 1}, {'R', L"Bo", 1}, {'H', L"Beta#1", 0}, {'R', L"Cy", 1}}},
      {0, {{'H', L"Acme#1", 0}, {'R', L"Ann", 1}, {'H', L"ACME#1", 0}, {'R', L"Bo", 1}, {'H', L"Beta#1", 0},
           {'R', L"Cy", 1}}},
  };
  for (const Case& c : cases) {
    GetViewSettings().ContactGroupCompanyNoCase = c.noCase;
    MakeTab(CContactsTab::kGroupByCompany);
    EXPECT_EQ(Rows(), c.rows) << c.noCase;
  }
}

TEST_F(ContactsTabTest, ACategoryFilterPlacesAContactUnderItsOtherCategory) {
  Person both{L"Ann"};
  both.categories = {L"Alpha", L"Beta"};
  m_store.Add(both);
  Person alpha{L"Bo"};
  alpha.categories = {L"Alpha"};
  m_store.Add(alpha);
  m_store.Add(Person{L"Cy"});
  CCategoriesList categories;
  ASSERT_TRUE(categories.OpenDatabases());
  CTabFilterSet set;
  set.Load();
  set.SetText(0, L"Alpha only ;|+Alpha");
  ASSERT_TRUE(set.Save());
  const struct Case {
    DWORD filter;
    int allCategories;
    std::vector<Row> rows;
  } cases[] = {
      // No filter: each contact under its first category, none last.
      {static_cast<DWORD>(-1), 0,
       {{'H', L"Alpha#2", 0}, {'R', L"Ann", 1}, {'R', L"Bo", 1}, {'H', L"", 0}, {'R', L"Cy", 1}}},
      // Alpha only: Bo has no other category and stays; Ann goes under Beta.
      {0, 0, {{'H', L"Alpha#1", 0}, {'R', L"Bo", 1}, {'H', L"Beta#1", 0}, {'R', L"Ann", 1}}},
      // Every category: Ann twice without a filter.
      {static_cast<DWORD>(-1), 1,
       {{'H', L"Alpha#2", 0}, {'R', L"Ann", 1}, {'R', L"Bo", 1}, {'H', L"Beta#1", 0}, {'R', L"Ann", 1}, {'H', L"", 0},
        {'R', L"Cy", 1}}},
  };
  for (const Case& c : cases) {
    Product().WriteDWORD(L"ContactsFilterID", c.filter);
    GetViewSettings().ShowContactsInAllCategories = c.allCategories;
    MakeTab(CContactsTab::kGroupByCategory);
    std::vector<Row> rows = Rows();
    // The none header's title is the library's; only its place matters.
    for (Row& r : rows) {
      if (r.what == 'H' && r.name.find(L"Alpha") != 0 && r.name.find(L"Beta") != 0) r.name.clear();
    }
    EXPECT_EQ(rows, c.rows) << c.filter << " " << c.allCategories;
  }
}

TEST_F(ContactsTabTest, PhotoModesPutPhotosInAGridFirstOrInNameOrder) {
  const wchar_t* names[] = {L"Ann", L"Bo", L"Cy", L"Di"};
  for (const wchar_t* name : names) {
    contacttest::Written w = m_store.Add(Person{name, L"", L"", L"", L"Acme"});
    // Bo and Di have a picture.
    if (name[0] == L'B' || name[0] == L'D') {
      ASSERT_TRUE(m_store.WritePicture(w.recordOid, std::vector<BYTE>(16, 7)));
    }
  }
  const struct Case {
    DWORD mode;
    int textForPhotos;
    std::vector<Row> rows;
  } cases[] = {
      {0, 0, {{'H', L"Acme#4", 0}, {'R', L"Ann", 1}, {'R', L"Bo", 1}, {'R', L"Cy", 1}, {'R', L"Di", 1}}},
      {1, 0, {{'H', L"Acme#4", 0}, {'P', L"Bo", 1}, {'P', L"Di", 1}, {'R', L"Ann", 1}, {'R', L"Cy", 1}}},
      {2, 0, {{'H', L"Acme#4", 0}, {'R', L"Ann", 1}, {'P', L"Bo", 1}, {'P', L"Di", 1}, {'R', L"Cy", 1}}},
      // Photo and text both: counted once each.
      {1, 2,
       {{'H', L"Acme#4", 0}, {'P', L"Bo", 1}, {'P', L"Di", 1}, {'R', L"Ann", 1}, {'R', L"Bo", 1}, {'R', L"Cy", 1},
        {'R', L"Di", 1}}},
  };
  for (const Case& c : cases) {
    Product().WriteDWORD(L"ContactsShowPhotoContacts", c.mode);
    GetViewSettings().ContactShowTextForPhotos = c.textForPhotos;
    MakeTab(CContactsTab::kGroupByCompany);
    EXPECT_EQ(Rows(), c.rows) << c.mode << " " << c.textForPhotos;
  }
}

}  // namespace
