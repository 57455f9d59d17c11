// The Special events tab over a fixture of contacts and scheduled transactions, with
// today fixed on Monday 16 March 2026: the row tree of every period, grouped and flat;
// the switches; a stored period that is none; a new day; the finance program's change.
#include "tabs/contacts/SpecialTab.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/GroupElement.h"
#include "panel/DueDateGroupHeader.h"
#include "panel/PanelClock.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabFilterSet.h"
#include "pim/CategoriesList.h"
#include "tabs/contacts/ContactNoteViewer.h"
#include "tabs/contacts/ContactEventRow.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactRequestsRecorder.h"
#include "tabs/contacts/PellamRowRenderer.h"
#include "tabs/contacts/PellamScheduled.h"
#include "tabs/contacts/tests/ContactFixtures.h"
#include "tabs/contacts/tests/PellamTestSupport.h"

using contacttest::Date;
using contacttest::Person;

namespace {

double g_now = 0;
double FixedNow() { return g_now; }

// One row of the tree: its day, what it is, its name, whether it shows its date, and
// the group code of the header it sits under (0: none).
struct Row {
  double day;
  char what;  // 'E' a contact's event, 'T' a transaction
  std::wstring name;
  int mode;
  int group;
  bool operator==(const Row& o) const {
    return day == o.day && what == o.what && name == o.name && mode == o.mode && group == o.group;
  }
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  SYSTEMTIME t = {};
  VariantDateToSystemTime(r.day, &t);
  std::string name(r.name.begin(), r.name.end());
  return out << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << r.what << " " << name << " mode " << r.mode
             << " group " << r.group;
}

void Collect(CContainerElement* list, int group, std::vector<Row>& rows) {
  for (int i = 0; i < list->GetChildCount(); ++i) {
    CListItem* child = list->GetChild(i);
    if (auto* row = dynamic_cast<CContactEventRow*>(child)) {
      rows.push_back({row->GetDay(), 'E', static_cast<LPCWSTR>(row->GetEvent()->GetName(FALSE)), row->GetMode(), group});
    } else if (auto* row = dynamic_cast<CPellamRowRenderer*>(child)) {
      rows.push_back({std::floor(row->GetItem()->m_date), 'T', static_cast<LPCWSTR>(row->GetItem()->m_first),
                      row->GetMode(), group});
    } else if (auto* header = dynamic_cast<CDueDateGroupHeader*>(child)) {
      Collect(header, header->GetCode(), rows);
    } else if (child->GetKind() != 558) {  // the header that says there is nothing
      ADD_FAILURE() << "row of kind " << child->GetKind() << " at the top";
    }
  }
}

class SpecialTabTest : public ::testing::Test {
 protected:
  SpecialTabTest()
      : m_machine(L"special_tab"), m_mode(false), m_store(false), m_pellam(new CPellamDevice(CPellamDevice::kStandIn)) {
    CSpecialTab::Install();
    g_now = Date(2026, 3, 16) + 0.4;
    m_previousNow = SetPanelNow(&FixedNow);
    GetViewSettings().BirthdayDisplay = 0;
    auto person = [&](const wchar_t* name, double birthday, double anniversary, const wchar_t* category) {
      Person p{name};
      p.birthday = birthday;
      p.anniversary = anniversary;
      if (category) p.categories.push_back(category);
      m_store.Add(p);
    };
    // Ann's card has a note, for the note event.
    Person ann{L"Ann"};
    ann.birthday = Date(1980, 3, 16);
    ann.notes = L"Flowers";
    m_store.Add(ann);
    // Born tomorrow a year ago: a first birthday tomorrow.
    person(L"Ben", Date(2025, 3, 17), 0, nullptr);
    // Born on a day after every day shown: no birthday yet.
    person(L"Cid", Date(2027, 3, 18), 0, nullptr);
    // Born on a day shown: listed from that day on.
    person(L"Hal", Date(2026, 3, 20), 0, nullptr);
    person(L"Dee", 0, Date(2010, 3, 22), L"Work");
    person(L"Eve", Date(1990, 4, 10), 0, nullptr);
    person(L"Fay", Date(1970, 6, 1), 0, nullptr);
    person(L"Gus", Date(1960, 3, 15), 0, nullptr);
    m_list.SetNotifyWindow(m_window.Get());
    m_pellam->WriteSchedule(
        "2026-03-16;0;1;Phone bill;-39.90\n"
        "2026-03-18;1;2;Rent;-850.00\n"
        "2026-03-29;0;3;Insurance;-120.00\n"
        "2026-05-01;0;4;Tax;-300.00\n"
        "2026-12-24;0;5;Gift;-50.00\n"
        "2027-03-15;0;6;Last day;-1.00\n"
        "2027-03-16;0;7;After the year;-1.00\n");
  }
  ~SpecialTabTest() override {
    SetPanelNow(m_previousNow);
    GetViewSettings().SpecialPeriod = 0;
  }

  CRegistryView Product() const { return m_machine.Key(TARVO_PRODUCT_KEY); }

  std::vector<Row> Rows(CSpecialTab& tab) {
    std::vector<Row> rows;
    if (tab.GetContentList()) Collect(tab.GetContentList(), 0, rows);
    return rows;
  }

  // The fixture's rows up to the last day, in the tab's order, grouped or not.
  std::vector<Row> Expected(double last, bool flat) {
    const struct {
      double day;
      char what;
      const wchar_t* name;
    } all[] = {
        {Date(2026, 3, 16), 'E', L"Ann"},   {Date(2026, 3, 16), 'T', L"Phone bill"},
        {Date(2026, 3, 17), 'E', L"Ben"},   {Date(2026, 3, 18), 'T', L"Rent"},
        {Date(2026, 3, 20), 'E', L"Hal"},   {Date(2026, 3, 22), 'E', L"Dee"},
        {Date(2026, 3, 29), 'T', L"Insurance"}, {Date(2026, 4, 10), 'E', L"Eve"},
        {Date(2026, 5, 1), 'T', L"Tax"},    {Date(2026, 6, 1), 'E', L"Fay"},
        {Date(2026, 12, 24), 'T', L"Gift"}, {Date(2027, 3, 15), 'E', L"Gus"},
        {Date(2027, 3, 15), 'T', L"Last day"},
    };
    // Today's groups in the user's week.
    DUE_DATE_GROUP_BOUNDS bounds;
    SYSTEMTIME now = {};
    VariantDateToSystemTime(g_now, &now);
    WCHAR first[4] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, first, 4);
    InitDueDateGroupBounds(bounds, now, first[0] - L'0');
    std::vector<Row> rows;
    for (const auto& r : all) {
      if (r.day > last) break;
      const int group = flat ? 0 : ClassifyDueDate(bounds, r.day);
      rows.push_back({r.day, r.what, r.name, flat || !IsSingleDayGroup(group) ? 1 : 0, group});
    }
    return rows;
  }

  CLocalMachineSandbox m_machine;
  CStoreMode m_mode;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
  CContactsList m_list;
  std::unique_ptr<CPellamDevice> m_pellam;
  CPellamScheduled m_transactions;
  PFN_PANEL_NOW m_previousNow = nullptr;
};

TEST_F(SpecialTabTest, EveryPeriodListsItsDaysUnderDueDateHeaders) {
  const struct {
    int value;
    int days;
    double last;
  } periods[] = {
      {1, 7, Date(2026, 3, 22)},   {2, 14, Date(2026, 3, 29)}, {3, 31, Date(2026, 4, 15)},
      {0, 62, Date(2026, 5, 16)},  {4, 92, Date(2026, 6, 15)}, {5, 184, Date(2026, 9, 15)},
      {6, 365, Date(2027, 3, 15)},
  };
  for (const auto& p : periods) {
    for (bool flat : {false, true}) {
      Product().WriteDWORD(L"SpecialPeriod", static_cast<DWORD>(p.value));
      Product().WriteDWORD(L"SpecialGroupBy", flat ? 501 : 559);
      GetViewSettings().SpecialPeriod = p.value;
      CSpecialTab tab(nullptr, &m_list, &m_transactions);
      tab.RebuildContent();
      EXPECT_EQ(CSpecialTab::PeriodDays(p.value), p.days);
      EXPECT_EQ(tab.GetFirstDay(), Date(2026, 3, 16));
      EXPECT_EQ(tab.GetLastDay(), p.last) << "period " << p.value;
      EXPECT_EQ(tab.GetGroupBy(), flat ? 501 : 559);
      EXPECT_EQ(Rows(tab), Expected(p.last, flat)) << "period " << p.value << (flat ? " flat" : " grouped");
      if (!flat) {
        // Headers in ascending group order, each with at least one row.
        int previous = 0;
        CContainerElement* list = tab.GetContentList();
        for (int i = 0; i < list->GetChildCount(); ++i) {
          auto* header = dynamic_cast<CDueDateGroupHeader*>(list->GetChild(i));
          ASSERT_NE(header, nullptr);
          EXPECT_GT(header->GetCode(), previous);
          EXPECT_GT(header->GetChildCount(), 0);
          previous = header->GetCode();
        }
      }
    }
  }
}

TEST_F(SpecialTabTest, TheSwitchesChooseTheSources) {
  const struct {
    DWORD transactions, birthdays;
    bool events, payments;
  } cases[] = {{1, 1, true, true}, {1, 0, false, true}, {0, 1, true, false}, {0, 0, false, false}};
  GetViewSettings().SpecialPeriod = 1;
  for (const auto& c : cases) {
    Product().WriteDWORD(L"SpecialShowTransactions", c.transactions);
    Product().WriteDWORD(L"SpecialShowBirthdays", c.birthdays);
    CSpecialTab tab(nullptr, &m_list, &m_transactions);
    tab.RebuildContent();
    bool events = false, payments = false;
    for (const Row& r : Rows(tab)) (r.what == 'E' ? events : payments) = true;
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(payments, c.payments);
    if (!c.events && !c.payments) {
      // Only the header that says there is nothing.
      CContainerElement* list = tab.GetContentList();
      ASSERT_EQ(list->GetChildCount(), 1);
      EXPECT_EQ(list->GetChild(0)->GetKind(), 558);
    }
  }
}

TEST_F(SpecialTabTest, WithoutTheLibraryTheTransactionsSwitchIsOff) {
  m_pellam.reset();
  m_pellam.reset(new CPellamDevice(CPellamDevice::kNone));
  Product().WriteDWORD(L"SpecialShowTransactions", 1);
  GetViewSettings().SpecialPeriod = 1;
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  for (const Row& r : Rows(tab)) EXPECT_EQ(r.what, 'E') << r;
}

TEST_F(SpecialTabTest, AStoredPeriodOutsideTheSevenIsTheDefaultWrittenBack) {
  for (int stored : {7, -1, 1000}) {
    Product().WriteDWORD(L"SpecialPeriod", static_cast<DWORD>(stored));
    GetViewSettings().SpecialPeriod = stored;
    CSpecialTab tab(nullptr, &m_list, &m_transactions);
    tab.RebuildContent();
    EXPECT_EQ(tab.GetLastDay(), Date(2026, 3, 16) + 61) << stored;
    DWORD written = 99;
    EXPECT_TRUE(Product().ReadDWORD(L"SpecialPeriod", written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetViewSettings().SpecialPeriod, 0);
  }
  // A stored group-by that is neither value is the date groups, written back.
  Product().WriteDWORD(L"SpecialGroupBy", 551);
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  EXPECT_EQ(tab.GetGroupBy(), 559);
  DWORD groupBy = 0;
  EXPECT_TRUE(Product().ReadDWORD(L"SpecialGroupBy", groupBy));
  EXPECT_EQ(groupBy, 559u);
}

TEST_F(SpecialTabTest, ANewDayMovesEveryRowAndTheProgramsChangeRereads) {
  GetViewSettings().SpecialPeriod = 1;
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  ASSERT_FALSE(Rows(tab).empty());
  EXPECT_EQ(Rows(tab).front().name, L"Ann");

  // The panel's clock refreshes every tab on a new day.
  g_now = Date(2026, 3, 17) + 0.0001;
  tab.RefreshNow();
  EXPECT_EQ(tab.GetFirstDay(), Date(2026, 3, 17));
  std::vector<Row> rows = Rows(tab);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().name, L"Ben");
  EXPECT_EQ(rows.front().group, static_cast<int>(DUE_GROUP_TODAY));

  // The finance program changed its schedule: the tab shows the new one at once.
  m_pellam->WriteSchedule("2026-03-19;0;8;Changed;-1.00\n");
  m_transactions.OnScheduledChanged();
  bool changed = false;
  for (const Row& r : Rows(tab)) changed = changed || r.name == L"Changed";
  EXPECT_TRUE(changed);
}

struct NoteViewer : IContactNoteViewer {
  std::vector<std::wstring> titles;
  BOOL ShowInk(HWND, const RECT&, LPCWSTR title, const BYTE*, DWORD) override {
    titles.push_back(title ? title : L"");
    return TRUE;
  }
};

CContactEventRow* FirstEventRow(CListItem* item) {
  if (auto* row = dynamic_cast<CContactEventRow*>(item)) return row;
  if (auto* list = dynamic_cast<CContainerElement*>(item))
    for (int i = 0; i < list->GetChildCount(); ++i)
      if (CContactEventRow* row = FirstEventRow(list->GetChild(i))) return row;
  return nullptr;
}

void CollectEventRows(CListItem* item, std::vector<CContactEventRow*>& rows) {
  if (auto* row = dynamic_cast<CContactEventRow*>(item)) rows.push_back(row);
  if (auto* list = dynamic_cast<CContainerElement*>(item))
    for (int i = 0; i < list->GetChildCount(); ++i) CollectEventRows(list->GetChild(i), rows);
}

// A contact's event shows the same skin icon as the Calendar's row of it: the gift for
// a birthday, the anniversary's own icon, ending 2 px before the text column.
TEST_F(SpecialTabTest, EventRowsShowTheirKindsIconBeforeTheText) {
  GetViewSettings().SpecialPeriod = 1;
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  std::vector<CContactEventRow*> rows;
  CollectEventRows(tab.GetContentList(), rows);
  std::vector<std::pair<std::wstring, int>> icons;
  for (CContactEventRow* row : rows) {
    row->SetSize(240, 240, 0, TRUE);
    row->GetHeight(-1);
    icons.push_back({static_cast<LPCWSTR>(row->GetEvent()->GetName(FALSE)), row->GetIcon()});
    const RECT& icon = row->GetIconRect();
    EXPECT_EQ(icon.right, ScaleX(30));
    EXPECT_GT(icon.right - icon.left, 0);
    EXPECT_EQ(row->GetTextRect().left, ScaleX(32));
    EXPECT_GE(row->GetHeight(-1), icon.bottom) << "the row holds its icon";
  }
  EXPECT_EQ(icons, (std::vector<std::pair<std::wstring, int>>{{L"Ann", CContactEventRow::kIconBirthday},
                                                              {L"Ben", CContactEventRow::kIconBirthday},
                                                              {L"Hal", CContactEventRow::kIconBirthday},
                                                              {L"Dee", CContactEventRow::kIconAnniversary}}));
  EXPECT_EQ(CContactEventRow::kIconBirthday, 21);
  EXPECT_EQ(CContactEventRow::kIconAnniversary, 20);
}

TEST_F(SpecialTabTest, AContactOutsideTheCategoryFilterIsNotListed) {
  CCategoriesList categories;
  ASSERT_TRUE(categories.OpenDatabases());
  CTabFilterSet set;
  set.Load();
  set.SetText(0, L"Not at work ;|-Work");
  ASSERT_TRUE(set.Save());
  Product().WriteDWORD(L"SpecialFilterID", 0);
  GetViewSettings().SpecialPeriod = 1;
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  std::vector<std::wstring> names;
  for (const Row& r : Rows(tab)) names.push_back(r.name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Ann", L"Phone bill", L"Ben", L"Rent", L"Hal"}));
  // All items again: Dee's anniversary comes back.
  Product().WriteDWORD(L"SpecialFilterID", static_cast<DWORD>(-1));
  tab.RefreshNow();
  EXPECT_EQ(Rows(tab).size(), 6u);
}

TEST_F(SpecialTabTest, OneTapOnAContactsEventByTheMode) {
  contacttest::CContactRequestsRecorder requests;
  IContactRequests* previous = &CContactsList::GetGlobal().GetRequests();
  CContactsList::GetGlobal().SetRequests(&requests);
  const struct {
    DWORD mode;
    bool shown;
    BOOL edit;
    bool popup;
  } cases[] = {{0, false, FALSE, false}, {1, true, FALSE, false}, {2, true, TRUE, false}, {3, false, FALSE, true},
               {7, false, FALSE, true}};
  for (const auto& c : cases) {
    Product().WriteDWORD(L"ContactsOneTap", c.mode);
    Product().WriteDWORD(L"DoubleClick", 2);
    GetViewSettings().DoubleClick = 2;
    requests.shown.clear();
    CSpecialTab tab(nullptr, &m_list, &m_transactions);
    tab.LoadSettings();
    tab.RebuildContent();
    EXPECT_EQ(tab.GetOneTapMode(), static_cast<int>(c.mode));
    CContactEventRow* row = FirstEventRow(tab.GetContentList());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(tab.IsOneTap(row) != FALSE, c.mode != 0);
    tab.OnItemReleased(row);
    ASSERT_EQ(requests.shown.size(), c.shown ? 1u : 0u) << "mode " << c.mode;
    if (c.shown) {
      EXPECT_EQ(requests.shown[0].first, row->GetContact()->m_itemOid);
      EXPECT_EQ(requests.shown[0].second, c.edit) << "mode " << c.mode;
    }
    // From mode 3 on a tap opens the contact's popup.
    EXPECT_EQ(tab.GetPopup().IsCreated() != FALSE, c.popup) << "mode " << c.mode;
    if (c.popup) {
      ASSERT_NE(tab.GetPopup().GetContact(), nullptr);
      EXPECT_EQ(tab.GetPopup().GetContact()->m_itemOid, row->GetContact()->m_itemOid);
      DestroyWindow(tab.GetPopup().m_hWnd);
    }
  }
  CContactsList::GetGlobal().SetRequests(previous == &requests ? nullptr : previous);
}

TEST_F(SpecialTabTest, TheNoteEventShowsTheContactsNote) {
  NoteViewer viewer;
  m_list.SetNoteViewer(&viewer);
  GetViewSettings().SpecialPeriod = 1;
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  CContactEventRow* row = FirstEventRow(tab.GetContentList());
  ASSERT_NE(row, nullptr);
  // Today's first row is Ann's birthday; another code is left to the base.
  tab.OnItemNotify(row, CSpecialTab::kEventContactNote);
  tab.OnItemNotify(row, 256);
  ASSERT_EQ(viewer.titles.size(), 1u);
  EXPECT_NE(viewer.titles[0].find(L"Ann"), std::wstring::npos);
  m_list.SetNoteViewer(nullptr);
}

TEST_F(SpecialTabTest, ContextMenuAndThePeriodAndGroupByCommands) {
  GetViewSettings().SpecialPeriod = 3;
  Product().WriteDWORD(L"SpecialPeriod", 3);
  CSpecialTab tab(nullptr, &m_list, &m_transactions);
  tab.LoadSettings();
  tab.RebuildContent();
  HMENU menu = CreatePopupMenu();
  tab.FillContextMenu(menu, 0);
  const std::vector<MenuEntry> entries = ReadMenu(menu);
  const MenuEntry* groups = nullptr;
  const MenuEntry* periods = nullptr;
  for (const MenuEntry& entry : entries)
    if (entry.popup) (groups ? periods : groups) = &entry;
  ASSERT_GE(entries.size(), 4u);
  EXPECT_EQ(entries[0].id, 1042);
  EXPECT_EQ(entries[1].id, 1019);
  EXPECT_EQ(entries[2].id, 1029);
  ASSERT_NE(groups, nullptr);
  ASSERT_NE(periods, nullptr);
  ASSERT_GE(groups->sub.size(), 2u);
  EXPECT_EQ(groups->sub[0].id, 559);
  EXPECT_EQ(groups->sub[1].id, 501);
  EXPECT_TRUE(groups->sub[0].checked);
  const int order[] = {5001, 5002, 5003, 5000, 5004, 5005, 5006};
  ASSERT_EQ(periods->sub.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(periods->sub[i].id, order[i]);
    EXPECT_EQ(periods->sub[i].checked, order[i] == 5003) << order[i];
  }
  DestroyMenu(menu);

  // A period chosen from the menu is stored and shown at once.
  tab.OnMenuCommand(5001);
  DWORD stored = 99;
  EXPECT_TRUE(Product().ReadDWORD(L"SpecialPeriod", stored));
  EXPECT_EQ(stored, 1u);
  EXPECT_EQ(tab.GetLastDay(), Date(2026, 3, 22));
  // No groups, chosen from the menu.
  tab.OnMenuCommand(501);
  EXPECT_TRUE(Product().ReadDWORD(L"SpecialGroupBy", stored));
  EXPECT_EQ(stored, 501u);
  EXPECT_EQ(tab.GetGroupBy(), 501);
  for (const Row& r : Rows(tab)) EXPECT_EQ(r.group, 0) << r;
}

// The tab's refresh requests, counted.
class CountingTab : public CSpecialTab {
 public:
  using CSpecialTab::CSpecialTab;
  void RequestRefresh() override { ++refreshes; }
  int refreshes = 0;
};

TEST_F(SpecialTabTest, ContactChangesWithEventsAskForARefresh) {
  CountingTab tab(nullptr, &m_list, &m_transactions);
  tab.RebuildContent();
  CONTACT_ITEM* plain = CONTACT_ITEM::Create(77, 0);
  tab.OnContactAdded(plain, 1);
  tab.OnContactChanged(plain, nullptr);
  EXPECT_EQ(tab.refreshes, 0) << "no event: nothing to show";
  tab.OnContactChanged(nullptr, nullptr);
  EXPECT_EQ(tab.refreshes, 1) << "a full reload";
  CONTACT_ITEM* withEvent = m_list.GetAt(0);
  ASSERT_NE(withEvent, nullptr);
  tab.OnContactRemoved(withEvent, 1);
  tab.OnContactChanged(plain, withEvent);
  tab.OnContactAdded(withEvent, 1);
  EXPECT_EQ(tab.refreshes, 4);
  plain->Release();
}

}  // namespace
