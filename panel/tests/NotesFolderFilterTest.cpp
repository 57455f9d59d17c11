// The Notes tab's folder selector: the recent folders it seeds and prunes, the items
// it shows, its menu of other folders and options, and stored lists it did not write.
#include "panel/NotesFolderFilter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/PopupMenuTracker.h"
#include "panel/RecentFilterList.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

class FakeFolders : public INoteFolderSource {
 public:
  FakeFolders() { m_previous = SetNoteFolderSource(this); }
  ~FakeFolders() { SetNoteFolderSource(m_previous); }
  void GetFoldersWithEntries(std::vector<CString>& out) override {
    for (const wchar_t* name : folders) out.push_back(name);
  }
  void GetPhatNotesFolders(std::vector<CString>& out) override {
    for (const wchar_t* name : phatNotesFolders) out.push_back(name);
  }
  BOOL IsPhatNotesInstalled() override { return phatNotes; }
  BOOL IsPhatPadAvailable() override { return phatPad; }
  std::vector<const wchar_t*> folders;
  std::vector<const wchar_t*> phatNotesFolders;
  BOOL phatNotes = FALSE;
  BOOL phatPad = FALSE;

 private:
  INoteFolderSource* m_previous;
};

struct Listener : IDropDownListener {
  void OnSelectionChanged(CVirtualDropDown*, int) override {}
  void OnItemChosen(int command) override { chosen.push_back(command); }
  std::vector<int> chosen;
};

// "text=command" of every item, in order.
std::wstring Items(const CNotesFolderFilter& filter) {
  std::wstring text;
  auto& selector = const_cast<CNotesFolderFilter&>(filter);
  for (int i = 0; i < selector.GetCount(); ++i)
    text += std::wstring(filter.GetItem(i).text) + L"=" + std::to_wstring(filter.GetItem(i).id) + L";";
  return text;
}

class NotesFolderFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const CViewSettings& settings = GetViewSettings();
    m_saved = {settings.NoteDrawSize, settings.NoteDrawTime, settings.PhatNotesEnabled};
    for (int type = 0; type < 7; ++type) m_saved.push_back(settings.NotesTypeEnabled[type]);
    product.WriteDWORD(L"NotesFilterID", 0xFFFFFFFF);
  }
  void TearDown() override {
    CViewSettings& settings = GetViewSettings();
    settings.NoteDrawSize = m_saved[0];
    settings.NoteDrawTime = m_saved[1];
    settings.PhatNotesEnabled = m_saved[2];
    for (int type = 0; type < 7; ++type) settings.NotesTypeEnabled[type] = m_saved[3 + type];
  }
  std::wstring Stored() const {
    std::wstring text;
    filters.ReadString(L"NoteFolders", text);
    return text;
  }
  int Choice() const {
    DWORD value = 0;
    product.ReadDWORD(L"NotesFilterID", value);
    return static_cast<int>(value);
  }

  CLocalMachineSandbox machine{L"NotesFolderFilter"};
  CResourceLibraryScope resources;
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  CRegistryView filters = machine.Key(TARVO_FILTERS_KEY);
  FakeFolders source;
  // The Notes fields of the process's view settings, put back after each test.
  std::vector<int> m_saved;
};

}  // namespace

TEST_F(NotesFolderFilterTest, AnEmptyListIsSeededFromTheNoteFolders) {
  source.folders = {L"", L"Personal", L"Work"};
  CNotesFolderFilter filter;
  filter.Load();
  EXPECT_EQ(Stored(), L"Work|Personal|Main folder") << "most recent first";
  EXPECT_EQ(Items(filter), L"All folders=1;Main folder=4;Personal=3;Work=2;") << "main first, then by name";
  EXPECT_EQ(filter.GetSelectedId(), 1) << "all folders";
  EXPECT_EQ(std::wstring(filter.GetCurrentFolder()), L"");
}

TEST_F(NotesFolderFilterTest, SeedingStopsAtSevenFolders) {
  source.folders = {L"", L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H"};
  CNotesFolderFilter filter;
  filter.Load();
  EXPECT_EQ(Stored(), L"F|E|D|C|B|A|Main folder");
}

TEST_F(NotesFolderFilterTest, FoldersThatAreGoneArePrunedButNotTheCurrentOne) {
  struct Case {
    const char* what;
    const wchar_t* stored;
    int choice;
    bool phatNotesOn;
    const wchar_t* kept;
    int newChoice;
    const wchar_t* current;
  };
  const Case cases[] = {
      {"a folder gone, the choice follows", L"Gone|Work|Main folder", 1, false, L"Work|Main folder", 0, L"Work"},
      {"the current folder stays though gone", L"Old|Work", 0, false, L"Old|Work", 0, L"Old"},
      {"PhatNotes folders only while enabled", L"Ideas|Work", -1, false, L"Work", -1, L""},
      {"a damaged choice is all folders", L"Work", -7, false, L"Work", -1, L""},
      {"PhatNotes folders kept while enabled", L"Ideas|Work", -1, true, L"Ideas|Work", -1, L""},
      {"a choice past the list becomes the first", L"Work|Personal", 5, false, L"Work|Personal", 0, L"Work"},
      {"names compare ignoring case", L"WORK|personal", 1, false, L"WORK|personal", 1, L"personal"},
      {"empty and repeated pieces", L"|Work||work|Personal|", -1, false, L"Work|Personal", -1, L""},
  };
  source.folders = {L"", L"Personal", L"Work"};
  source.phatNotesFolders = {L"Ideas"};
  source.phatNotes = TRUE;
  for (const Case& c : cases) {
    filters.WriteString(L"NoteFolders", c.stored);
    product.WriteDWORD(L"NotesFilterID", static_cast<DWORD>(c.choice));
    GetViewSettings().PhatNotesEnabled = c.phatNotesOn ? 1 : 0;
    CNotesFolderFilter filter;
    filter.Load();
    const std::wstring kept = static_cast<LPCWSTR>(CFilterList::Join(filter.GetRecentFolders()));
    EXPECT_EQ(kept, c.kept) << c.what;
    EXPECT_EQ(Choice(), c.newChoice) << c.what;
    EXPECT_EQ(std::wstring(filter.GetCurrentFolder()), c.current) << c.what;
    EXPECT_EQ(filter.GetSelectedId(), c.newChoice + 2) << c.what;
  }
}

TEST_F(NotesFolderFilterTest, ChoicesStoreTheFolderAndTellTheOwner) {
  source.folders = {L"", L"Personal", L"Work"};
  CNotesFolderFilter filter;
  Listener listener;
  filter.SetOwner(&listener);
  filter.Load();
  filter.OnItemChosen(3);  // Personal, index 1
  EXPECT_EQ(Choice(), 1);
  EXPECT_EQ(std::wstring(filter.GetCurrentFolder()), L"Personal");
  filter.OnItemChosen(NOTES_CMD_ALL_FOLDERS);
  EXPECT_EQ(Choice(), -1);
  EXPECT_EQ(listener.chosen, (std::vector<int>{3, NOTES_CMD_ALL_FOLDERS}));
  EXPECT_EQ(filter.OnItemChosen(0), 0) << "a dismissed menu";
  EXPECT_EQ(listener.chosen.size(), 2u);
}

TEST_F(NotesFolderFilterTest, OtherFoldersAreOfferedInTheirOwnSubmenu) {
  source.folders = {L"", L"b", L"A", L"C", L"D", L"E", L"F", L"G", L"H"};
  filters.WriteString(L"NoteFolders", L"b|C|D|E|F|G|H|A|Main folder");  // read as far as seven
  CNotesFolderFilter filter;
  Listener listener;
  filter.SetOwner(&listener);
  filter.Load();
  HMENU menu = CreatePopupMenu();
  filter.FillMenu(menu, 0);
  const std::vector<MenuEntry> entries = ReadMenu(menu);
  DestroyMenu(menu);
  const MenuEntry* more = FindEntry(entries, L"More folders");
  ASSERT_TRUE(more);
  // The collected folders: main first, then by name: Main folder, A, b, C, ... H; the
  // two not among the seven recent ones are offered by their place in that list.
  ASSERT_EQ(more->sub.size(), 2u);
  EXPECT_EQ(more->sub[0].text, L"Main folder");
  EXPECT_EQ(more->sub[0].id, NOTES_CMD_MORE_FOLDER + 0);
  EXPECT_EQ(more->sub[1].text, L"A");
  EXPECT_EQ(more->sub[1].id, NOTES_CMD_MORE_FOLDER + 1);
  filter.OnItemChosen(NOTES_CMD_MORE_FOLDER + 1);
  EXPECT_EQ(Stored(), L"A|b|C|D|E|F|G") << "at most seven";
  EXPECT_EQ(Choice(), 0);
  EXPECT_EQ(listener.chosen, std::vector<int>{NOTES_CMD_MORE_FOLDER + 1});
  EXPECT_EQ(filter.OnItemChosen(NOTES_CMD_MORE_FOLDER + 40), -2) << "a place the menu did not offer";
}

TEST_F(NotesFolderFilterTest, OptionsFollowTheProgramsPresent) {
  struct Case {
    BOOL phatPad, phatNotes;
    bool typeFive, phatNotesEntry;
  };
  const Case cases[] = {{FALSE, FALSE, false, false}, {TRUE, FALSE, true, false}, {TRUE, TRUE, true, true}};
  for (const Case& c : cases) {
    source.phatPad = c.phatPad;
    source.phatNotes = c.phatNotes;
    CViewSettings& settings = GetViewSettings();
    settings.NotesTypeEnabled[5] = 1;
    settings.NoteDrawSize = 1;
    settings.NoteDrawTime = 0;
    CNotesFolderFilter filter;
    filter.Load();
    HMENU menu = CreatePopupMenu();
    filter.FillMenu(menu, 0);
    const std::vector<MenuEntry> entries = ReadMenu(menu);
    DestroyMenu(menu);
    ASSERT_FALSE(entries.empty());
    const MenuEntry& options = entries.back();
    ASSERT_EQ(options.text, L"Period") << "the options submenu comes last";
    const MenuEntry* size = FindEntry(options.sub, L"Show size");
    ASSERT_TRUE(size);
    EXPECT_TRUE(size->checked);
    EXPECT_FALSE(FindEntry(options.sub, L"Show time")->checked);
    const MenuEntry* five = FindEntry(options.sub, L"PhatPad notes");
    EXPECT_EQ(five != nullptr, c.typeFive);
    if (five) {
      EXPECT_TRUE(five->checked);
    }
    EXPECT_EQ(FindEntry(options.sub, L"PhatNotes") != nullptr, c.phatNotesEntry);
    EXPECT_FALSE(FindEntry(options.sub, L"Voice notes") == nullptr);
    // Toggles reach the view settings; type 5 stays off without PhatPad.
    filter.OnItemChosen(NOTES_CMD_SHOW_TIME);
    filter.OnItemChosen(NOTES_CMD_TYPE + 1);
    EXPECT_EQ(settings.NoteDrawTime, 1);
    EXPECT_EQ(settings.NotesTypeEnabled[5], c.phatPad ? 1 : 0);
    EXPECT_EQ(Number(product, L"NoteDrawTime"), 1u) << "saved";
  }
}

TEST_F(NotesFolderFilterTest, ListsWrittenByOtherProgramsLoad) {
  ASSERT_TRUE(machine.Redirected());
  source.folders = {L"", L"Work"};
  const std::wstring key = std::wstring(L"\"HKCU\\") + filters.Path() + L"\"";
  const std::wstring productKey = std::wstring(L"\"HKCU\\") + product.Path() + L"\"";
  struct Case {
    const wchar_t* arguments;
    const wchar_t* kept;
  };
  const Case cases[] = {
      {L"/v NoteFolders /t REG_SZ /d \"Work|Main folder\" /f", L"Work|Main folder"},
      // Not text: no list, so it is seeded as on the first run.
      {L"/v NoteFolders /t REG_DWORD /d 7 /f", L"Work|Main folder"},
      {L"/v NoteFolders /t REG_EXPAND_SZ /d \"||Work\" /f", L"Work"},
      {L"/v NoteFolders /t REG_BINARY /d 570041 /f", L"Work|Main folder"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" " + c.arguments), 0u);
    ASSERT_EQ(RunProgram(L"reg.exe add " + productKey + L" /v NotesFilterID /t REG_SZ /d 3 /f"), 0u);
    CNotesFolderFilter filter;
    filter.Load();
    const std::wstring kept = static_cast<LPCWSTR>(CFilterList::Join(filter.GetRecentFolders()));
    EXPECT_EQ(kept, c.kept) << c.arguments;
    EXPECT_GE(filter.GetSelectedIndex(), 0) << c.arguments;
  }
}

TEST_F(NotesFolderFilterTest, AnyStoredListLoadsSoundly) {
  std::mt19937 random(58);
  const wchar_t pieces[] = L"|Wk\x4E2D aM";
  source.folders = {L"", L"W", L"k"};
  for (int round = 0; round < 2000; ++round) {
    std::wstring text;
    const int length = static_cast<int>(random() % 300);
    for (int i = 0; i < length; ++i) text += pieces[random() % (sizeof pieces / sizeof pieces[0] - 1)];
    filters.WriteString(L"NoteFolders", text.c_str());
    product.WriteDWORD(L"NotesFilterID", static_cast<DWORD>(random() % 12) - 2);
    CNotesFolderFilter filter;
    filter.Load();
    EXPECT_LE(filter.GetCount(), 1 + CNotesFolderFilter::kCapacity);
    const int choice = Choice();
    EXPECT_TRUE(choice == -1 || (choice >= 0 && choice < filter.GetRecentFolders().GetCount()))
        << choice;
    EXPECT_EQ(filter.GetSelectedId(), choice + 2);
    for (int i = 0; i < filter.GetRecentFolders().GetCount(); ++i) EXPECT_FALSE(filter.GetRecentFolders()[i].IsEmpty());
  }
}
