// The category filter editor run through the modal seam: new, renamed, changed and
// deleted filters, what OK stores and what Cancel keeps, refusals, and stored slots
// of any content.
#include "panel/FilterEditDlg.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/tests/DeviceRoot.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/tests/DialogFixtures.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "panel/TabFilterMenu.h"
#include "pim/CategoriesList.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/pimstore/tests/PimTestSupport.h"

namespace {

// Categories in record order, a machine key of its own with the stored slots (no
// first-run seeding), the resource library and an owner window.
class FilterDevice {
 public:
  FilterDevice(std::vector<const wchar_t*> names, std::vector<std::wstring> slots)
      : m_mode(false), m_machine(L"FilterEdit") {
    pimtest::ClearStores();
    long id = 1;
    for (const wchar_t* name : names) cattest::WriteCategory(false, name, id++);
    list.Open(nullptr);
    Filters().WriteDWORD(L"FirstTime", 0);
    Filters().WriteDWORD(L"Upb", static_cast<DWORD>(slots.size()));
    for (size_t i = 0; i < slots.size(); ++i) Filters().WriteString(std::to_wstring(i).c_str(), slots[i].c_str());
  }
  ~FilterDevice() { pimtest::ClearStores(); }
  CRegistryView Filters() const { return m_machine.Key(L"Software\\Korvel\\Qel Tarvo\\Filters"); }
  CRegistryView Product() const { return m_machine.Key(L"Software\\Korvel\\Qel Tarvo"); }
  std::wstring Slot(int index) const {
    std::wstring text;
    Filters().ReadString(std::to_wstring(index).c_str(), text);
    return text;
  }
  DWORD Count() const { return Dword(Filters(), L"Upb"); }
  DWORD Choice() const { return Dword(Product(), L"TasksFilterID"); }
  std::wstring Recent() const {
    std::wstring text;
    Filters().ReadString(L"RecentTasksFilters", text);
    return text;
  }
  // Every stored slot, to see that nothing changed.
  std::vector<std::wstring> Snapshot() const {
    std::vector<std::wstring> all{std::to_wstring(Count()), Recent(), std::to_wstring(Choice())};
    for (DWORD i = 0; i < Count(); ++i) all.push_back(Slot(static_cast<int>(i)));
    return all;
  }
  HWND Owner() const { return m_dialogs.Owner(); }

 private:
  static DWORD Dword(const CRegistryView& key, const wchar_t* name) {
    DWORD value = 0xDEAD, size = sizeof(value);
    RegGetValueW(key.Root(), key.Path(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
  }
  CStoreMode m_mode;
  CLocalMachineSandbox m_machine;
  dlgtest::DialogEnvironment m_dialogs;

 public:
  CCategoriesList list;
};

// The answers the panel's message boxes get, and what they said.
struct Prompts : CMessageBoxAnswer {
  explicit Prompts(int button) : CMessageBoxAnswer(button) {}
  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (const Asked& question : asked) texts.push_back(question.text);
    return texts;
  }
};

std::wstring Res(UINT id) {
  wchar_t text[256] = L"";
  LoadStringW(GetModule().GetResourceInstance(), id, text, 256);
  return text;
}

INT_PTR RunEditor(const FilterDevice& device, dlgtest::Script script) {
  CFilterEditDlg dialog(L"TasksFilterID", FILTER_KIND_TASKS);
  return dlgtest::RunModal([&] { return dialog.DoModal(device.Owner()); }, std::move(script));
}

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_FILTER_CATEGORIES); }

std::wstring RowText(HWND dialog, int row) {
  wchar_t text[128] = L"";
  ListView_GetItemText(List(dialog), row, 0, text, 128);
  return text;
}

// A tap on a row's check box: the list view changes the mark and tells the dialog.
void Mark(HWND dialog, const wchar_t* row, BOOL marked) {
  HWND list = List(dialog);
  for (int i = 0; i < ListView_GetItemCount(list); ++i)
    if (RowText(dialog, i) == row) ListView_SetCheckState(list, i, marked);
}

std::wstring Name(HWND dialog) { return dlgtest::WindowText(GetDlgItem(dialog, IDC_FILTER_NAME)); }

void TypeName(HWND dialog, const wchar_t* name) {
  HWND combo = GetDlgItem(dialog, IDC_FILTER_NAME);
  SetWindowTextW(combo, name);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILTER_NAME, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The combo entry showing name.
int Entry(HWND dialog, const wchar_t* name) {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_FILTER_NAME, CB_FINDSTRINGEXACT, 0,
                                              reinterpret_cast<LPARAM>(name)));
}

void Ok(HWND dialog) { dlgtest::Press(dialog, IDOK); }

}  // namespace

TEST(FilterEditDlg, UniqueAndCutNames) {
  const std::pair<const wchar_t*, const wchar_t*> unique[] = {
      {L"Work", L"Work 1"}, {L"Work 1", L"Work 2"}, {L"Work 9", L"Work 10"},
      {L"Q4", L"Q 5"},      {L"", L" 1"},           {L"Home ", L"Home 1"},
  };
  for (const auto& c : unique) {
    CString name = c.first;
    CFilterEditDlg::MakeUniqueName(name);
    EXPECT_STREQ(c.second, name) << c.first;
  }
  CString exact = L"123456789012345678901234567890";
  CFilterEditDlg::CutComposedName(exact);
  EXPECT_STREQ(L"123456789012345678901234567890", exact);
  CString longer = L"1234567890123456789012345678901";
  CFilterEditDlg::CutComposedName(longer);
  EXPECT_STREQ(L"123456789012345678901234567...", longer);
}

TEST(FilterEditDlg, ShowsRowsEntriesAndTheDefaultFilter) {
  FilterDevice device({L"Work", L"Home"}, {L"Zeta ;|+Work", L"", L"Alpha ;N|+"});
  RunEditor(device, [&](HWND dialog) {
    ASSERT_EQ(3, ListView_GetItemCount(List(dialog)));
    EXPECT_EQ(Res(IDS_FILTER_NO_CATEGORY), RowText(dialog, 0));
    EXPECT_EQ(L"Home", RowText(dialog, 1));
    EXPECT_EQ(L"Work", RowText(dialog, 2));
    EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_FILTER_NAME, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, Entry(dialog, L"Alpha"));
    EXPECT_EQ(2, Entry(dialog, L"Zeta"));
    EXPECT_EQ(Res(IDS_FILTER_DEFAULT_NAME), Name(dialog));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FILTER_DELETE)));
    dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, 2);
    EXPECT_EQ(L"Zeta", Name(dialog));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_FILTER_DELETE)));
    EXPECT_TRUE(ListView_GetCheckState(List(dialog), 2));
    EXPECT_FALSE(ListView_GetCheckState(List(dialog), 1));
    // A change makes the shown filter another one: it can no longer be deleted.
    Mark(dialog, L"Home", TRUE);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FILTER_DELETE)));
  });
}

TEST(FilterEditDlg, ComposedNamesFollowTheMarksAndSwitches) {
  FilterDevice device({L"Work", L"Home", L"A rather long category name"}, {});
  RunEditor(device, [&](HWND dialog) {
    Mark(dialog, L"Work", TRUE);
    Mark(dialog, L"Home", TRUE);
    EXPECT_EQ(L"Home+Work", Name(dialog));
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ANY, FALSE);
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ALL, TRUE);
    EXPECT_EQ(L"Home*Work", Name(dialog));
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ALL, FALSE);
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ANY, TRUE);
    // Excluding: the unmarked rows are the filter's.
    dlgtest::ClickCheck(dialog, IDC_FILTER_EXCLUDE, TRUE);
    EXPECT_EQ((L"-" + Res(IDS_FILTER_NO_CATEGORY) + L"-A rather long category name").substr(0, 27) + L"...",
              Name(dialog));
    dlgtest::ClickCheck(dialog, IDC_FILTER_EXCLUDE, FALSE);
    Mark(dialog, L"A rather long category name", TRUE);
    EXPECT_EQ(L"A rather long category name...", Name(dialog));
    // Nothing marked is no filter: the name field says so.
    dlgtest::Press(dialog, IDC_FILTER_CLEAR_ALL);
    EXPECT_EQ(Res(IDS_FILTER_INVALID), Name(dialog));
    // Marking every row turns exclusion on: nothing is excluded, still no filter.
    dlgtest::Press(dialog, IDC_FILTER_MARK_ALL);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_FILTER_EXCLUDE));
    EXPECT_EQ(Res(IDS_FILTER_INVALID), Name(dialog));
    Mark(dialog, L"Work", FALSE);
    EXPECT_EQ(L"-Work", Name(dialog));
    // A typed name stays whatever is marked.
    TypeName(dialog, L"Mine");
    Mark(dialog, L"Home", FALSE);
    EXPECT_EQ(L"Mine", Name(dialog));
  });
}

TEST(FilterEditDlg, OkStoresANewFilterAndMakesItTheChoice) {
  FilterDevice device({L"Work", L"Home"}, {L"Work ;|+Work"});
  const INT_PTR result = RunEditor(device, [&](HWND dialog) {
    Mark(dialog, L"Work", TRUE);
    Mark(dialog, L"Home", TRUE);
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ANY, FALSE);
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ALL, TRUE);
    Ok(dialog);
  });
  EXPECT_EQ(1, result);
  EXPECT_EQ(2u, device.Count());
  EXPECT_EQ(L"Work ;|+Work", device.Slot(0));
  EXPECT_EQ(L"Home*Work ;&+Work, Home", device.Slot(1));
  EXPECT_EQ(1u, device.Choice());
  EXPECT_EQ(L"1", device.Recent().substr(0, 1));
}

TEST(FilterEditDlg, OkWithoutChangeAndCancelKeepEverything) {
  FilterDevice device({L"Work", L"Home"}, {L"Work ;|+Work", L"Home ;|+Home"});
  device.Product().WriteDWORD(L"TasksFilterID", 1);
  Prompts prompts(IDYES);
  const auto before = device.Snapshot();
  EXPECT_EQ(2, RunEditor(device, [&](HWND dialog) { Ok(dialog); }));
  EXPECT_EQ(before, device.Snapshot());
  EXPECT_EQ(2, RunEditor(device, [&](HWND dialog) {
    dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, Entry(dialog, L"Work"));
    Mark(dialog, L"Home", TRUE);
    TypeName(dialog, L"Other");
    dlgtest::Press(dialog, IDCANCEL);
  }));
  EXPECT_EQ(before, device.Snapshot());
  EXPECT_TRUE(prompts.Texts().empty());
}

TEST(FilterEditDlg, RenamingAStoredFilterKeepsItsSlot) {
  FilterDevice device({L"Work", L"Home"}, {L"Home ;|+Home", L"Work ;|+Work"});
  EXPECT_EQ(1, RunEditor(device, [&](HWND dialog) {
    dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, Entry(dialog, L"Work"));
    TypeName(dialog, L"Job");
    Ok(dialog);
  }));
  EXPECT_EQ(2u, device.Count());
  EXPECT_EQ(L"Job ;|+Work", device.Slot(1));
  EXPECT_EQ(1u, device.Choice());
}

TEST(FilterEditDlg, AnEqualFilterIsReusedAndAChangedOneStoredBesideTheOld) {
  FilterDevice device({L"Work", L"Home"}, {L"Home ;|+Home", L"Office ;|+Work"});
  // Made anew, equal to a stored filter: that slot, with its name.
  EXPECT_EQ(1, RunEditor(device, [&](HWND dialog) {
    Mark(dialog, L"Work", TRUE);
    Ok(dialog);
  }));
  EXPECT_EQ(2u, device.Count());
  EXPECT_EQ(L"Office ;|+Work", device.Slot(1));
  EXPECT_EQ(1u, device.Choice());
  // A stored filter switched to all-of equals no other: a new slot, the old one kept.
  EXPECT_EQ(1, RunEditor(device, [&](HWND dialog) {
    dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, Entry(dialog, L"Home"));
    Mark(dialog, L"Work", TRUE);
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ANY, FALSE);
    dlgtest::ClickCheck(dialog, IDC_FILTER_MATCH_ALL, TRUE);
    Ok(dialog);
  }));
  EXPECT_EQ(3u, device.Count());
  EXPECT_EQ(L"Home ;|+Home", device.Slot(0));
  EXPECT_EQ(L"Home*Work ;&+Work, Home", device.Slot(2));
  EXPECT_EQ(2u, device.Choice());
  EXPECT_EQ(L"2,1", device.Recent().substr(0, 3));
}

TEST(FilterEditDlg, ANameTakenByAnotherFilterIsNumbered) {
  FilterDevice device({L"Work", L"Home"}, {L"Work ;|+Work"});
  auto save = [&](const std::wstring& row) {
    return RunEditor(device, [&](HWND dialog) {
      Mark(dialog, row.c_str(), TRUE);
      TypeName(dialog, L"Work");
      Ok(dialog);
    });
  };
  EXPECT_EQ(1, save(L"Home"));
  EXPECT_EQ(L"Work 1 ;|+Home", device.Slot(1));
  EXPECT_EQ(1, save(Res(IDS_FILTER_NO_CATEGORY)));
  EXPECT_EQ(L"Work 2 ;N|+", device.Slot(2));
}

TEST(FilterEditDlg, RefusedFiltersKeepTheDialogOpen) {
  struct Case {
    BOOL unmark;  // marked, then unmarked again: nothing is marked
    const wchar_t* name;
    UINT message;
  };
  const Case cases[] = {
      {TRUE, nullptr, IDS_FILTER_INVALID},
      {FALSE, L"", IDS_FILTER_INVALID},
      {FALSE, L"a;b", IDS_FILTER_NAME_SEMICOLON},
  };
  for (const Case& c : cases) {
    FilterDevice device({L"Work", L"Home"}, {L"Home ;|+Home"});
    Prompts prompts(IDOK);
    const auto before = device.Snapshot();
    bool stayedOpen = false;
    EXPECT_EQ(2, RunEditor(device, [&](HWND dialog) {
      Mark(dialog, L"Work", TRUE);
      if (c.unmark) Mark(dialog, L"Work", FALSE);
      if (c.unmark) {
        EXPECT_EQ(Res(IDS_FILTER_INVALID), Name(dialog));
      }
      if (c.name) TypeName(dialog, c.name);
      Ok(dialog);
      stayedOpen = IsWindow(dialog) != FALSE;
      if (c.name && *c.name) {
        EXPECT_EQ(c.name, Name(dialog));
      }
      dlgtest::Press(dialog, IDCANCEL);
    })) << c.message;
    EXPECT_TRUE(stayedOpen) << c.message;
    ASSERT_EQ(1u, prompts.Texts().size()) << c.message;
    EXPECT_EQ(Res(c.message), prompts.Texts()[0]);
    EXPECT_EQ(before, device.Snapshot()) << c.message;
  }
}

TEST(FilterEditDlg, DeleteAsksPrunesAndResetsTheChoice) {
  FilterDevice device({L"Work", L"Home"}, {L"Home ;|+Home", L"Work ;|+Work", L"Zed ;N|+"});
  device.Product().WriteDWORD(L"TasksFilterID", 1);
  device.Filters().WriteString(L"RecentTasksFilters", L"1,0");
  device.Filters().WriteString(L"RecentCalendarFilters", L"1");
  {
    Prompts no(IDNO);
    const auto before = device.Snapshot();
    EXPECT_EQ(2, RunEditor(device, [&](HWND dialog) {
      dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, Entry(dialog, L"Work"));
      dlgtest::Press(dialog, IDC_FILTER_DELETE);
      EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_FILTER_NAME, CB_GETCOUNT, 0, 0) - 1);
      dlgtest::Press(dialog, IDCANCEL);
    }));
    EXPECT_EQ(before, device.Snapshot());
    EXPECT_EQ(Res(IDS_FILTER_DELETE_QUESTION), no.Texts().at(0));
  }
  Prompts yes(IDYES);
  EXPECT_EQ(1, RunEditor(device, [&](HWND dialog) {
    // The middle entry goes: the one after it takes its place.
    dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, Entry(dialog, L"Work"));
    dlgtest::Press(dialog, IDC_FILTER_DELETE);
    EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_FILTER_NAME, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"Zed", Name(dialog));
    // The last entry goes: the new filter is shown.
    dlgtest::Press(dialog, IDC_FILTER_DELETE);
    EXPECT_EQ(Res(IDS_FILTER_DEFAULT_NAME), Name(dialog));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FILTER_DELETE)));
    dlgtest::Press(dialog, IDCANCEL);
  }));
  EXPECT_EQ(L"Home ;|+Home", device.Slot(0));
  EXPECT_EQ(L"", device.Slot(1));
  EXPECT_EQ(L"", device.Slot(2));
  EXPECT_EQ(static_cast<DWORD>(-1), device.Choice());
  EXPECT_EQ(L"0", device.Recent());
  std::wstring calendar;
  device.Filters().ReadString(L"RecentCalendarFilters", calendar);
  EXPECT_EQ(L"", calendar);
}

TEST(FilterEditDlg, TheSelectorsEditEntryOpensTheEditor) {
  FilterDevice device({L"Work"}, {});
  CTabFilterMenu::FilterEditor previous = CTabFilterMenu::SetFilterEditor(CFilterEditDlg::Run);
  bool opened = false;
  dlgtest::RunModal(
      [&] {
        CTabFilterMenu menu(FILTER_KIND_TASKS);
        menu.Load();
        return static_cast<INT_PTR>(menu.OnItemChosen(FILTER_CMD_EDIT));
      },
      [&](HWND dialog) {
        opened = GetDlgItem(dialog, IDC_FILTER_CATEGORIES) != nullptr;
        Mark(dialog, L"Work", TRUE);
        Ok(dialog);
      });
  CTabFilterMenu::SetFilterEditor(previous);
  EXPECT_TRUE(opened);
  EXPECT_EQ(L"Work ;|+Work", device.Slot(0));
  EXPECT_EQ(0u, device.Choice());
}

// Stored slots come from the registry, where any program may have written anything:
// the dialog shows, switches between and stores over them without harm.
TEST(FilterEditDlg, StoredSlotsOfAnyContent) {
  std::mt19937 random(20261210);
  const std::wstring alphabet = L"; ,|&+-NWorkHome\x00e9\xd800 ";
  for (int run = 0; run < 40; ++run) {
    std::vector<std::wstring> slots;
    const int count = static_cast<int>(random() % 6);
    for (int s = 0; s < count; ++s) {
      std::wstring text;
      const int length = static_cast<int>(random() % 24);
      for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
      slots.push_back(text);
    }
    FilterDevice device({L"Work", L"Home"}, slots);
    Prompts prompts(random() % 2 ? IDYES : IDNO);
    const unsigned choice = random();
    const INT_PTR result = RunEditor(device, [&](HWND dialog) {
      const int entries = static_cast<int>(SendDlgItemMessageW(dialog, IDC_FILTER_NAME, CB_GETCOUNT, 0, 0));
      for (int e = 0; e < entries; ++e) dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, e);
      dlgtest::ChooseComboItem(dialog, IDC_FILTER_NAME, static_cast<int>(choice % entries));
      if (choice & 1) dlgtest::Press(dialog, IDC_FILTER_DELETE);
      if (choice & 2) Mark(dialog, L"Home", TRUE);
      Ok(dialog);
    });
    EXPECT_TRUE(result == 1 || result == 2) << run;
  }
}
