#include "settings/tabs/TabsCommonPage.h"
#include "settings/tabs/TabsPage.h"

#include <gtest/gtest.h>

#include "base/Translator.h"
#include "controls/tests/MenuAnswer.h"
#include "settings/tabs/tests/TabsTestSupport.h"

namespace {

using TabsCommonPageTest = TabsTest;

const wchar_t kHostKey[] = L"SOFTWARE\\Korvel\\Ardeno 2";

TEST_F(TabsCommonPageTest, ModeAndTimeoutRoundTripThroughTheSheet) {
  struct Case {
    const char* name;
    DWORD horizontal, timeout, panel;  // stored; 0xDEAD: none
    int chooseMode, clickBox, chooseTimeout, chooseTab;  // -1 / 0: leave alone
    int button;
    // shown
    int modeItem;
    bool boxTicked, timeoutEnabled;
    int timeoutItem, tabItem;
    // written
    DWORD wHorizontal, wTimeout, wPanel, wAllTabs;
  };
  const Case cases[] = {
      {"nothing stored", 0xDEAD, 0xDEAD, 0xDEAD, -1, 0, -1, -1, IDOK, 1, true, true, 1, 0, 0, 900, L'1', 1},
      // Off shows "15 min", which applies once the box is ticked.
      {"timeout off, then on", 0, 0, L'3', -1, 1, -1, -1, IDOK, 1, false, false, 1, 2, 0, 900, L'3', 1},
      {"timeout off stays off", 1, 0, L'3', -1, 0, -1, -1, IDOK, 0, false, false, 1, 2, 1, 0, L'3', 1},
      {"a time the table lacks shows and becomes 5 min", 0, 1234, 0xDEAD, -1, 0, -1, -1, IDOK, 1, true, true, 0, 0, 0,
       300, L'1', 1},
      {"horizontal chosen, 4 hr, Notes", 0, 900, L'1', 0, 0, 3, 3, IDOK, 1, true, true, 1, 0, 1, 14400, L'4', 1},
      {"an unknown tab shows the first", 0, 3600, L'Z', -1, 0, -1, -1, IDOK, 1, true, true, 2, 0, 0, 3600, L'1', 1},
      {"cancel writes nothing", 0, 3600, L'2', 0, 1, 0, 0, IDCANCEL, 1, true, true, 2, 1, 0, 3600, L'2', 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_machine.Key(TARVO_PRODUCT_KEY).Delete();
    RegisterOwnItem();
    Store(L"HorizontalTabsMode", c.horizontal);
    Store(L"TimeoutTime", c.timeout);
    Store(L"TimeoutPanel", c.panel);
    Store(L"AllTabsInArdeno", 1);
    ResetTabSetup();
    int modes = 0, mode = -2, timeout = -2, tab = -2;
    bool ticked = false, enabled = false;
    RunPage(
        8, 0,
        [&](HWND page) {
          modes = ItemCount(page, IDC_TABS_MODE);
          mode = Selection(page, IDC_TABS_MODE);
          ticked = Ticked(page, IDC_TABS_TIMEOUT_ON);
          enabled = Enabled(page, IDC_TABS_TIMEOUT) && Enabled(page, IDC_TABS_TIMEOUT_TAB);
          timeout = Selection(page, IDC_TABS_TIMEOUT);
          tab = Selection(page, IDC_TABS_TIMEOUT_TAB);
          if (c.chooseMode >= 0) Choose(page, IDC_TABS_MODE, c.chooseMode);
          if (c.clickBox) Click(page, IDC_TABS_TIMEOUT_ON);
          if (c.chooseTimeout >= 0) Choose(page, IDC_TABS_TIMEOUT, c.chooseTimeout);
          if (c.chooseTab >= 0) Choose(page, IDC_TABS_TIMEOUT_TAB, c.chooseTab);
        },
        {c.button});
    EXPECT_EQ(modes, 2) << "without the tab host its mode is not offered";
    EXPECT_EQ(mode, c.modeItem);
    EXPECT_EQ(ticked, c.boxTicked);
    EXPECT_EQ(enabled, c.timeoutEnabled);
    EXPECT_EQ(timeout, c.timeoutItem);
    EXPECT_EQ(tab, c.tabItem);
    EXPECT_EQ(Stored(L"HorizontalTabsMode"), c.wHorizontal);
    EXPECT_EQ(Stored(L"TimeoutTime"), c.wTimeout);
    EXPECT_EQ(Stored(L"TimeoutPanel"), c.wPanel);
    EXPECT_EQ(Stored(L"AllTabsInArdeno"), c.wAllTabs);
    if (c.button == IDOK) {
      DWORD current = 0;
      TodayItem(TARVO_TODAY_ITEM_NAME).ReadDWORD(L"STCCurrentTabs", current);
      EXPECT_EQ(current, c.wHorizontal ? 1u : 4u) << "the Today item's container values follow the mode";
      EXPECT_EQ(m_window.GetUpdatePending(), 1);
    }
    m_window.SetUpdatePending(0);
  }
  EXPECT_TRUE(Messages().empty());
}

// With the tab host installed its separate tabs are a third mode. Choosing it
// registers the per-tab plug-ins; once the host has integrated a form, the page
// refuses to change it.
TEST_F(TabsCommonPageTest, TheTabHostsMode) {
  struct Case {
    const char* name;
    const wchar_t* integrated;  // a plug-in key the host has taken (a sub-key); null: none
    DWORD allTabs;
    int chooseMode;
    bool customTab;
    // shown and answered
    int modeItem;
    std::vector<UINT> texts;  // message boxes, by text id
    // written
    DWORD wAllTabs;
    int reloads;
    bool perTabKeys;
  };
  const Case cases[] = {
      {"separate tabs chosen: registered", nullptr, 1, 2, false, 1, {}, 0, 1, true},
      {"separate tabs with a custom tab: warned, kept", nullptr, 1, 2, true, 1, {IDS_PER_TAB_NO_CUSTOM}, 0, 1, true},
      {"the host has the separate tabs: refused", L"TarvoCalendar", 0, 0, false, 2, {IDS_TABS_MODE_TAKEN}, 0, 0, true},
      {"the host has the whole panel: refused", L"TarvoAll", 1, 2, false, 1, {IDS_TABS_MODE_TAKEN}, 1, 0, false},
      {"the same form again: no registration", nullptr, 0, 2, false, 2, {}, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_machine.Key(TARVO_PRODUCT_KEY).Delete();
    m_machine.Key(TARVO_TAB_PLUGINS_KEY).Delete();
    m_machine.Key(TODAY_ITEMS_KEY).Delete();
    m_machine.Key(kHostKey).WriteString(L"Version", L"2.0");
    RegisterOwnItem();
    Store(L"AllTabsInArdeno", c.allTabs);
    if (c.integrated)
      m_machine.Key((std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\" + c.integrated + L"\\TheirTab").c_str())
          .WriteString(L"DLL", L"ardeno.dll");
    if (c.customTab) {
      MakeTodayItem(L"Clock", TARVO_TODAY_ITEM_NAME, 0);
      MakeCustomTabKey(L'A', {L"Clock"});
    }
    ResetTabSetup();
    Messages().clear();
    Reloads() = 0;
    int modes = 0, mode = -2;
    RunPage(
        8, 0,
        [&](HWND page) {
          modes = ItemCount(page, IDC_TABS_MODE);
          mode = Selection(page, IDC_TABS_MODE);
          Choose(page, IDC_TABS_MODE, c.chooseMode);
        },
        // A refused apply keeps the sheet open: Cancel ends it then.
        {IDOK, IDCANCEL});
    EXPECT_EQ(modes, 3);
    EXPECT_EQ(mode, c.modeItem);
    std::vector<std::wstring> shown;
    for (const ShownMessage& m : Messages()) shown.push_back(m.text);
    std::vector<std::wstring> expected;
    for (UINT id : c.texts) {
      CString text;
      LoadTranslatedString(text, id);
      expected.push_back(text.GetString());
    }
    EXPECT_EQ(shown, expected);
    for (const ShownMessage& m : Messages()) EXPECT_EQ(m.type & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(Stored(L"AllTabsInArdeno"), c.wAllTabs);
    EXPECT_EQ(Reloads(), c.reloads);
    EXPECT_EQ(m_machine.Key((std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\TarvoSpecial").c_str()).Exists(), c.perTabKeys);
  }
}

using TabsPageTest = TabsTest;

void SelectRow(HWND page, int row) {
  ListView_SetItemState(GetDlgItem(page, IDC_TABS_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
}

void PressOn(HWND page, int id) { CTabDialogScript::Press(page, id); }

// The order and the shown built-in tabs go through "ShowTabsSequence" and
// "ShowTabs" and come back the same.
TEST_F(TabsPageTest, OrderAndVisibilityRoundTrip) {
  struct Case {
    const char* name;
    std::function<void(HWND)> steps;
    const wchar_t* sequence;
    DWORD showTabs;
  };
  const Case cases[] = {
      {"Calendar moved down", [](HWND page) { SelectRow(page, 0); PressOn(page, IDC_TABS_DOWN); }, L"213456", 63},
      {"Special events to the top",
       [](HWND page) {
         SelectRow(page, 5);
         for (int i = 0; i < 5; ++i) PressOn(page, IDC_TABS_UP);
       },
       L"612345", 63},
      {"Tasks and Notes hidden",
       [](HWND page) {
         SelectRow(page, 1);
         PressOn(page, IDC_TABS_DELETE);
         SelectRow(page, 2);
         PressOn(page, IDC_TABS_DELETE);
       },
       L"1356", 63 & ~1 & ~4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_machine.Key(TARVO_PRODUCT_KEY).Delete();
    ResetTabSetup();
    std::vector<std::wstring> rows;
    RunPage(8, 1, [&](HWND page) { c.steps(page); }, {IDOK});
    EXPECT_EQ(StoredText(L"ShowTabsSequence"), c.sequence);
    EXPECT_EQ(Stored(L"ShowTabs"), c.showTabs);
    // Read back by a new model, and shown so by the page.
    ResetTabSetup();
    RunPage(8, 1, [&](HWND page) { rows = ListRows(GetDlgItem(page, IDC_TABS_LIST)); }, {IDCANCEL});
    ASSERT_EQ(rows.size(), wcslen(c.sequence));
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], CTabSetup::GetTabTitle(c.sequence[i]).GetString());
  }
}

TEST_F(TabsPageTest, TheLastBuiltInTabStaysAndHiddenTabsComeBack) {
  Store(L"ShowTabs", 32 | 2);
  Product().WriteString(L"ShowTabsSequence", L"31");
  CMenuAnswer answer(L'5');
  bool deleteAtLast = true, editBuiltIn = true;
  std::vector<std::wstring> rows;
  RunPage(
      8, 1,
      [&](HWND page) {
        SelectRow(page, 0);
        editBuiltIn = Enabled(page, IDC_TABS_EDIT);
        PressOn(page, IDC_TABS_DELETE);
        deleteAtLast = Enabled(page, IDC_TABS_DELETE);
        PressOn(page, IDC_TABS_NEW);
        rows = ListRows(GetDlgItem(page, IDC_TABS_LIST));
      },
      {IDOK});
  EXPECT_FALSE(editBuiltIn);
  EXPECT_FALSE(deleteAtLast) << "Calendar is the only built-in tab left";
  CString custom;
  LoadTranslatedString(custom, IDS_CUSTOM_TAB_TITLE);
  auto entry = [](WCHAR id, const CString& title) { return std::to_wstring(id) + L":" + title.GetString(); };
  std::vector<std::wstring> entries;
  for (const MenuEntry& shown : answer.items) entries.push_back(std::to_wstring(shown.id) + L":" + shown.text);
  EXPECT_EQ(entries,
            (std::vector<std::wstring>{entry(L'2', CTabSetup::GetTabTitle(L'2')), entry(L'3', CTabSetup::GetTabTitle(L'3')),
                                       entry(L'4', CTabSetup::GetTabTitle(L'4')), entry(L'5', CTabSetup::GetTabTitle(L'5')),
                                       entry(L'6', CTabSetup::GetTabTitle(L'6')), entry(ID_NEW_CUSTOM_TAB, custom)}))
      << "hidden tabs in table order, then a custom tab";
  EXPECT_EQ(rows.size(), 2u);
  EXPECT_EQ(StoredText(L"ShowTabsSequence"), L"15");
  EXPECT_EQ(Stored(L"ShowTabs"), 32u | 8u);
}

// A custom tab made on the page: the item picker comes up at once, the ticked item
// joins the tab, and applying embeds it in the plug-in's item. Deleting the tab
// later gives the item back.
TEST_F(TabsPageTest, ACustomTabMadeEditedAndDeleted) {
  RegisterOwnItem();
  MakeTodayItem(L"Clock");
  MakeTodayItem(L"Weather");
  MakeTodayItem(L"Held", L"\"Other\"", 0);
  CMenuAnswer answer(ID_NEW_CUSTOM_TAB);
  std::vector<std::wstring> offered;
  {
    CTabDialogScript script({[](HWND edit) { CTabDialogScript::Press(edit, IDOK); },
                             [&](HWND picker) {
                               HWND list = GetDlgItem(picker, IDC_PICKER_LIST);
                               offered = ListRows(list);
                               ListView_SetCheckState(list, 0, TRUE);  // Clock
                               ListView_SetCheckState(list, 2, TRUE);  // greyed: refused
                               CTabDialogScript::Press(picker, IDOK);
                             },
                             nullptr});
    RunPage(8, 1, [&](HWND page) { PressOn(page, IDC_TABS_NEW); }, {IDOK});
    EXPECT_EQ(script.edits, 1);
    EXPECT_EQ(script.pickers, 1);
  }
  EXPECT_EQ(offered, (std::vector<std::wstring>{L"Clock", L"Weather", L"Held"}));
  EXPECT_EQ(StoredText(L"ShowTabsSequence"), L"123456A");
  CRegistryView tab = m_machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\CustomTabs\\A").c_str());
  DWORD count = 0;
  std::wstring first;
  EXPECT_TRUE(tab.ReadDWORD(L"Upb", count));
  EXPECT_EQ(count, 1u);
  EXPECT_TRUE(tab.ReadString(L"_0", first));
  EXPECT_EQ(first, L"Clock");
  std::wstring container;
  TodayItem(L"Clock").ReadString(L"STEmbedded", container);
  EXPECT_EQ(container, TARVO_TODAY_ITEM_NAME);
  DWORD enabled = 1;
  TodayItem(L"Clock").ReadDWORD(L"Enabled", enabled);
  EXPECT_EQ(enabled, 0u);
  EXPECT_TRUE(m_window.IsFullRefresh()) << "the Today screen showed Clock itself until now";

  // A value this program does not know goes when the tabs are written again.
  tab.WriteString(L"Stray", L"x");
  ResetTabSetup();
  RunPage(8, 1, [&](HWND page) {
    SelectRow(page, 6);
    PressOn(page, IDC_TABS_DELETE);
  }, {IDOK});
  EXPECT_FALSE(tab.Exists()) << "the tab's key is deleted with what is in it";
  TodayItem(L"Clock").ReadString(L"STEmbedded", container);
  EXPECT_EQ(container, L"");
  EXPECT_EQ(StoredText(L"ShowTabsSequence"), L"123456");
}

}  // namespace
