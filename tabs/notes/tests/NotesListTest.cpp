// The Notes tab over the device's sample notes, laid out on drive C: (the device
// root while C: is the current drive) as the device has them: the documents folder,
// its folders Work and Personal, and a storage card with a Work folder of its own.
// Each folder and note name carries the process id, so that what other programs leave
// in the shared "\My Documents" is told apart: the trees below show only our rows.
#include "tabs/notes/NotesList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/Translator.h"
#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupHeaderItem.h"
#include "controls/tests/MenuAnswer.h"
#include "res/TarvoResIds.h"
#include "panel/NotesFolderFilter.h"
#include "panel/PanelClock.h"
#include "panel/tests/ListTabHost.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/aygshell/aygshell.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/inkx/inkx.h"
#include "platform/note_prj/tests/FixtureFiles.h"
#include "platform/voicectl/voicectl.h"
#include "tabs/notes/NoteFolderGroup.h"
#include "tabs/notes/NoteItem.h"
#include "tabs/notes/NotesTabFolders.h"
#include "tabs/notes/tests/NoteTestSupport.h"

namespace {

const std::wstring kTag = std::to_wstring(GetCurrentProcessId());
const std::wstring kCard = L"\\NotesTabCard" + kTag;
const std::wstring kDocs = L"\\My Documents";

std::wstring Host(const std::wstring& devicePath) { return L"C:" + devicePath; }

// Wednesday 18 March 2026, noon: the tab's clock.
const double kNow = 46099.5;
double FixedNow() { return kNow; }

// When each sample note was last written, from the tab's now: today, yesterday, last
// year and older, so the date groups do not hang on the locale's first day of the week.
struct Sample {
  const wchar_t* from;  // under device/root
  const wchar_t* to;    // device path, {T} the tag
  double written;
};
const Sample kSamples[] = {
    {L"My Documents/Welcome.txt", L"\\My Documents\\{T} Welcome.txt", kNow - 0.125},
    {L"My Documents/Shopping list.pwi", L"\\My Documents\\{T} Shopping list.pwi", kNow - 0.1667},
    {L"My Documents/Work/Call the garage.wav", L"\\My Documents\\Work{T}\\{T} Call the garage.wav", kNow - 1 + 0.2083},
    {L"My Documents/Work/Meeting notes.txt", L"\\My Documents\\Work{T}\\{T} Meeting notes.txt", 45981.5},
    {L"My Documents/Work/Whiteboard.pwi", L"\\My Documents\\Work{T}\\{T} Whiteboard.pwi", 45413.5},
    {L"My Documents/Personal/Packing.pwi", L"\\My Documents\\Personal{T}\\{T} Packing.pwi", kNow - 0.0625},
    {L"My Documents/Personal/Birthday idea.wav", L"\\My Documents\\Personal{T}\\{T} Birthday idea.wav", 45702.5},
    {L"Storage Card/My Documents/Card note.txt", L"{C}\\My Documents\\{T} Card note.txt", 45301.5},
    {L"Storage Card/My Documents/Work/Site visit.txt", L"{C}\\My Documents\\Work{T}\\{T} Site visit.txt",
     kNow - 1 - 0.1667},
    {L"Storage Card/My Documents/Work/Site visit memo.wav", L"{C}\\My Documents\\Work{T}\\{T} Site visit memo.wav",
     kNow - 1 - 0.125},
};

std::wstring Expand(std::wstring text) {
  for (size_t at; (at = text.find(L"{T}")) != std::wstring::npos;) text.replace(at, 3, kTag);
  for (size_t at; (at = text.find(L"{C}")) != std::wstring::npos;) text.replace(at, 3, kCard);
  return text;
}

// Our names without the tag ("1234 Welcome" -> "Welcome", "Work1234" -> "Work").
std::wstring Untagged(std::wstring text) {
  for (size_t at; (at = text.find(kTag)) != std::wstring::npos;) {
    size_t end = at + kTag.size();
    if (at == 0 && end < text.size() && text[end] == L' ') ++end;
    text.erase(at, end - at);
  }
  return text;
}

bool Ours(const CString& text) { return std::wstring(text).find(kTag) != std::wstring::npos; }

bool SetWritten(const std::wstring& path, double when) {
  SYSTEMTIME local = {};
  FILETIME localTime = {}, utc = {};
  if (!VariantTimeToSystemTime(when, &local) || !SystemTimeToFileTime(&local, &localTime) ||
      !LocalFileTimeToFileTime(&localTime, &utc))
    return false;
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const BOOL ok = SetFileTime(file, nullptr, nullptr, &utc);
  CloseHandle(file);
  return ok != FALSE;
}

BOOL IsTestCard(LPCWSTR top) { return _wcsicmp(top, kCard.c_str()) == 0; }

std::wstring RowName(CListItem* row) {
  if (row->GetKind() == CNoteItem::kKind) {
    CNoteFile* note = static_cast<CNoteItem*>(row)->GetNote();
    return note && Ours(note->fullPath) ? Untagged(std::wstring(note->name)) : L"";
  }
  return L"";
}

// "kind:title[name,name] " for each header holding our rows, our rows of a flat list
// by name, the empty list as "none".
std::wstring Tree(CNotesList& tab) {
  std::wstring out;
  CContainerElement* content = tab.GetContentList();
  if (!content) return L"no content";
  for (int i = 0; i < content->GetChildCount(); ++i) {
    CListItem* child = content->GetChild(i);
    if (child->GetKind() == ITEM_KIND_GROUP_HEADER) {
      out += L"none ";
      continue;
    }
    if (CListGroupHeader* header = AsListGroupHeader(child)) {
      std::wstring rows;
      for (int j = 0; j < header->GetChildCount(); ++j) {
        const std::wstring name = RowName(header->GetChild(j));
        if (!name.empty()) rows += (rows.empty() ? L"" : L",") + name;
      }
      if (rows.empty()) continue;
      CString title;
      header->GetTitle(title);
      const std::wstring label = header->GetKind() == CNoteFolderGroup::kKind ? Untagged(std::wstring(title))
                                                                               : std::to_wstring(header->GetValue());
      out += std::to_wstring(header->GetKind()) + L":" + label + L"[" + rows + L"] ";
      continue;
    }
    const std::wstring name = RowName(child);
    if (!name.empty()) out += name + L" ";
  }
  return out;
}

std::vector<std::wstring> g_launches;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launches.push_back(std::wstring(info->lpFile ? info->lpFile : L"") + L"|" +
                       (info->lpParameters ? info->lpParameters : L""));
  return TRUE;
}


class NotesListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_resources.Loaded());
    ASSERT_TRUE(m_machine.Redirected());
    GetCurrentDirectoryW(MAX_PATH, m_previousDirectory);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    m_device.Set(L"Root", L"C:\\");
    m_device.Set(L"StorageCards", kCard.c_str());
    m_previousCardTest = SetStorageCardTest(IsTestCard);
    m_previousNow = SetPanelNow(FixedNow);
    m_previousSource = GetNoteFolderSource();
    CNotesTabFolders::Install();
    RemoveOurs();
    for (const std::wstring& folder :
         {kDocs, Expand(L"\\My Documents\\Work{T}"), Expand(L"\\My Documents\\Personal{T}"), kCard, kCard + kDocs,
          Expand(L"{C}\\My Documents\\Work{T}")})
      CreateDirectoryW(Host(folder).c_str(), nullptr);
    for (const Sample& sample : kSamples) {
      const std::wstring to = Host(Expand(sample.to));
      ASSERT_TRUE(CopyFileW((std::wstring(NOTES_DEVICE_ROOT) + L"/" + sample.from).c_str(), to.c_str(), FALSE))
          << sample.from;
      ASSERT_TRUE(SetWritten(to, sample.written)) << sample.from;
    }
    Set(L"PhatNotesEnabled", 0);
    Set(L"NoteMakeIndent", 1);
    for (int type = 0; type < 7; ++type) Set((L"NotesType" + std::to_wstring(type) + L"Enabled").c_str(), 1);
    GetViewSettings().Load();
    g_launches.clear();
    m_previousLauncher = SetProgramLauncher(RecordLaunch);
  }
  void TearDown() override {
    SetProgramLauncher(m_previousLauncher);
    CNoteFiles::Instance().Clear();
    RemoveOurs();
    SetNoteFolderSource(m_previousSource);
    SetPanelNow(m_previousNow);
    SetStorageCardTest(m_previousCardTest);
    SetCurrentDirectoryW(m_previousDirectory);
  }
  static void RemoveOurs() {
    for (const std::wstring& path :
         {Expand(L"\\My Documents\\Work{T}"), Expand(L"\\My Documents\\Personal{T}"), kCard})
      fixture::RemoveTree(Host(path));
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Host(kDocs + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      if (std::wstring(data.cFileName).find(kTag) != std::wstring::npos &&
          !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW(Host(kDocs + L"\\" + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  void Set(const wchar_t* name, DWORD value) { CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetDWORD(name, value); }
  DWORD Get(const wchar_t* name) { return CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE).QueryDWORD(name); }
  // The folder selector's recent folders and the chosen index (-1: all folders).
  void ChooseFolder(const std::wstring& recent, int choice) {
    m_machine.Key(CFilterList::kKeyPath).WriteString(L"NoteFolders", Expand(recent).c_str());
    Set(L"NotesFilterID", static_cast<DWORD>(choice));
  }
  // A tab in a host, made current with its rows built (the note files read afresh).
  std::unique_ptr<CNotesList> MakeTab() {
    GetViewSettings().Load();
    std::unique_ptr<CNotesList> tab(new CNotesList());
    m_host.Add(*tab);
    tab->Activate();
    return tab;
  }
  void Rebuild(CNotesList& tab) {
    GetViewSettings().Load();
    tab.RefreshNow();
  }
  // The last menu shown: commands, "-" separators and "title{...}" submenus.
  std::wstring MenuSeen() const { return MenuText(m_menu.items, false, false); }

  CResourceLibraryScope m_resources;
  CLocalMachineSandbox m_machine{L"NotesList"};
  CDeviceSwitch m_device;
  WCHAR m_previousDirectory[MAX_PATH] = {};
  PFN_STORAGE_CARD_TEST m_previousCardTest = nullptr;
  PFN_PANEL_NOW m_previousNow = nullptr;
  INoteFolderSource* m_previousSource = nullptr;
  PFN_PROGRAM_LAUNCHER m_previousLauncher = nullptr;
  ListTabHost m_host;
  CMenuAnswer m_menu;
};

}  // namespace

// Every group-by value with every sort field: the date groups newest first, the
// folders with the documents folder itself first under the main-folder title (memory
// and card folders of one name are one folder), and inside them the sort field, ties
// by name.
TEST_F(NotesListTest, RowTreeForEachGroupingAndSortField) {
  struct Case {
    DWORD groupBy;
    DWORD sort;
    const wchar_t* tree;
  };
  const Case cases[] = {
      {501, 1,
       L"Packing Welcome Shopping list Call the garage Site visit memo Site visit Meeting notes Birthday idea "
       L"Whiteboard Card note "},
      {501, 2,
       L"Card note Meeting notes Site visit Welcome Birthday idea Call the garage Site visit memo Packing "
       L"Shopping list Whiteboard "},
      {501, 3,
       L"Site visit memo Call the garage Birthday idea Welcome Meeting notes Whiteboard Shopping list Site visit "
       L"Card note Packing "},
      {559, 1,
       L"559:0[Packing,Welcome,Shopping list] 559:-1[Call the garage,Site visit memo,Site visit] "
       L"559:-50[Meeting notes,Birthday idea] 559:-99[Whiteboard,Card note] "},
      {559, 3,
       L"559:0[Welcome,Shopping list,Packing] 559:-1[Site visit memo,Call the garage,Site visit] "
       L"559:-50[Birthday idea,Meeting notes] 559:-99[Whiteboard,Card note] "},
      {551, 1,
       L"551:Main folder[Welcome,Shopping list,Card note] 551:Personal[Packing,Birthday idea] "
       L"551:Work[Call the garage,Site visit memo,Site visit,Meeting notes,Whiteboard] "},
      {551, 2,
       L"551:Main folder[Card note,Welcome,Shopping list] 551:Personal[Birthday idea,Packing] "
       L"551:Work[Meeting notes,Site visit,Call the garage,Site visit memo,Whiteboard] "},
      {551, 3,
       L"551:Main folder[Welcome,Shopping list,Card note] 551:Personal[Birthday idea,Packing] "
       L"551:Work[Site visit memo,Call the garage,Meeting notes,Whiteboard,Site visit] "},
  };
  for (const Case& c : cases) {
    Set(L"NotesGroupBy", c.groupBy);
    Set(L"NoteSortOrder", c.sort);
    std::unique_ptr<CNotesList> tab = MakeTab();
    EXPECT_EQ(tab->GetGroupBy(), static_cast<int>(c.groupBy));
    EXPECT_EQ(Tree(*tab), c.tree) << c.groupBy << " " << c.sort;
  }
}

// The folder selector's choice: all folders, the main-folder entry (which lists every
// folder), one folder by its exact name (the memory and card parts of it), a name
// differing only in case (nothing), and the kind flags of the note types.
TEST_F(NotesListTest, FolderChoiceAndKindFlags) {
  Set(L"NotesGroupBy", 501);
  Set(L"NoteSortOrder", 1);
  const std::wstring everything =
      L"Packing Welcome Shopping list Call the garage Site visit memo Site visit Meeting notes Birthday idea "
      L"Whiteboard Card note ";
  struct Case {
    const wchar_t* recent;
    int choice;
    int typeOff;  // -1: every type shown
    std::wstring tree;
  };
  const Case cases[] = {
      {L"Main folder|Work{T}|Personal{T}", -1, -1, everything},
      {L"Main folder|Work{T}|Personal{T}", 0, -1, everything},
      {L"Main folder|Work{T}|Personal{T}", 1, -1, L"Call the garage Site visit memo Site visit Meeting notes Whiteboard "},
      {L"Main folder|Personal{T}", 1, -1, L"Packing Birthday idea "},
      {L"Main folder|work{T}", 1, -1, L"none "},
      {L"Main folder|Work{T}", 1, 1, L"Site visit Meeting notes Whiteboard "},
      {L"Main folder", -1, 2, L"Packing Shopping list Call the garage Site visit memo Birthday idea Whiteboard "},
      {L"Main folder", -1, 0, L"Welcome Call the garage Site visit memo Site visit Meeting notes Birthday idea Card note "},
  };
  for (const Case& c : cases) {
    ChooseFolder(c.recent, c.choice);
    for (int type = 0; type < 7; ++type)
      Set((L"NotesType" + std::to_wstring(type) + L"Enabled").c_str(), type == c.typeOff ? 0 : 1);
    std::unique_ptr<CNotesList> tab = MakeTab();
    EXPECT_EQ(Tree(*tab), c.tree) << c.recent << " " << c.choice << " " << c.typeOff;
  }
}

// Rich text shares the word documents' flag: hidden with it, shown with the text flag off.
TEST_F(NotesListTest, RichTextFollowsTheWordFlag) {
  Set(L"NotesGroupBy", 501);
  ChooseFolder(L"Main folder|Personal{T}", 1);
  ASSERT_TRUE(fixture::WriteText(Host(Expand(L"\\My Documents\\Personal{T}\\{T} Letter.rtf")), "{\\rtf1 Dear Anna}"));
  struct Case {
    int wordOn, textOn;
    const wchar_t* tree;
  };
  const Case cases[] = {{1, 1, L"Letter Packing Birthday idea "}, {0, 1, L"Packing Birthday idea "},
                        {1, 0, L"Letter Packing Birthday idea "}};
  for (const Case& c : cases) {
    Set(L"NotesType3Enabled", c.wordOn);
    Set(L"NotesType2Enabled", c.textOn);
    std::unique_ptr<CNotesList> tab = MakeTab();
    EXPECT_EQ(Tree(*tab), c.tree) << c.wordOn << c.textOn;
  }
}

// Typed letters and keypad letter groups narrow the list to names with a word that
// starts so; what matches nothing is taken back again (with a beep).
TEST_F(NotesListTest, TypedTextAndLetterGroupsNarrowTheList) {
  Set(L"NotesGroupBy", 501);
  Set(L"NoteSortOrder", 1);
  ChooseFolder(L"Main folder|Work{T}", 1);
  std::unique_ptr<CNotesList> tab = MakeTab();
  ASSERT_TRUE(tab->IsLetterBarShown());
  const std::wstring work = L"Call the garage Site visit memo Site visit Meeting notes Whiteboard ";
  ASSERT_EQ(Tree(*tab), work);
  struct Step {
    WCHAR ch;
    const wchar_t* typed;
    int groups;
    std::wstring tree;
  };
  const Step steps[] = {
      {L'm', L"m", 0, L"Site visit memo Meeting notes "},
      {L'e', L"me", 0, L"Site visit memo Meeting notes "},
      {L'x', L"me", 0, L"Site visit memo Meeting notes "},  // no match: the x is taken back
      {VK_BACK, L"m", 0, L"Site visit memo Meeting notes "},
      {VK_BACK, L"", 0, work},
      {L'9', L"", 1, L"Whiteboard "},                         // wxyz
      {L'3', L"", 1, L"Whiteboard "},                         // def matches nothing here: taken back
      {VK_BACK, L"", 0, work},
      {L'7', L"", 1, L"Site visit memo Site visit "},         // pqrs
      {L'8', L"", 1, L"Site visit memo Site visit "},         // tuv after pqrs starts no word: taken back
  };
  for (const Step& s : steps) {
    tab->OnChar(s.ch);
    EXPECT_EQ(std::wstring(tab->GetTypedText()), s.typed) << static_cast<int>(s.ch);
    EXPECT_EQ(tab->GetLetterBar().GetTypedCount(), s.groups) << static_cast<int>(s.ch);
    EXPECT_EQ(Tree(*tab), s.tree) << static_cast<int>(s.ch);
  }
  // Activation the first time and a settings reload start from nothing typed.
  tab->OnSettingsChanged();
  EXPECT_EQ(tab->GetLetterBar().GetTypedCount(), 0);
  EXPECT_TRUE(tab->GetTypedText().IsEmpty());
}

// The tab's menu offers the new-note and program entries of the kinds shown; its
// commands reach the group-by value, the options program's Notes page and the Notes
// program for a new note.
TEST_F(NotesListTest, ContextMenuFollowsTheKindsAndCarriesItsCommands) {
  Set(L"NotesGroupBy", 559);
  struct Case {
    int textOn, wordOn, sheetOn;
    const wchar_t* start;  // the menu up to the base's entries
  };
  const Case cases[] = {
      {1, 1, 1, L"1043 1047 1049 1028 1032 1034 - 1027 "},
      {0, 1, 0, L"1043 1047 1028 1032 - 1027 "},
      {0, 0, 0, L"1043 1028 - 1027 "},
  };
  for (const Case& c : cases) {
    Set(L"NotesType2Enabled", c.textOn);
    Set(L"NotesType3Enabled", c.wordOn);
    Set(L"NotesType6Enabled", c.sheetOn);
    std::unique_ptr<CNotesList> tab = MakeTab();
    POINT at = {5, 5};
    tab->TrackMenu(0, &at);
    EXPECT_EQ(MenuSeen().substr(0, wcslen(c.start)), c.start) << MenuSeen();
    EXPECT_NE(MenuSeen().find(L"{559 551 501 }"), std::wstring::npos) << MenuSeen();
  }
  std::unique_ptr<CNotesList> tab = MakeTab();
  // On a date header: the fold entries.
  CListItem* header = tab->GetContentList()->GetChild(0);
  ASSERT_TRUE(AsListGroupHeader(header));
  POINT at = {5, 5};
  tab->TrackMenu(reinterpret_cast<LPARAM>(header), &at);
  EXPECT_NE(MenuSeen().find(L"- 1022 1023 - 1027"), std::wstring::npos) << MenuSeen();

  m_menu.answer = 551;
  tab->TrackMenu(0, &at);
  EXPECT_EQ(Get(L"NotesGroupBy"), 551u);
  EXPECT_EQ(tab->GetGroupBy(), 551);
  m_menu.answer = 1027;
  tab->TrackMenu(0, &at);
  m_menu.answer = LIST_CMD_NEW_NOTE;
  tab->TrackMenu(0, &at);
  ASSERT_EQ(g_launches.size(), 2u);
  EXPECT_NE(g_launches[0].find(L"TarvoSettings.exe|-p4:0"), std::wstring::npos) << g_launches[0];
  EXPECT_EQ(g_launches[1], L"Notes.exe|-n");
}


// A tap on a row previews its note: a voice note plays in the voice recorder (the
// device's record, sized as ours), ink and text notes show their bytes as ink (text
// at most 4,096 bytes), rich text is converted, sheets and other word documents show
// the viewer's empty text, and the viewer holds the note.
TEST_F(NotesListTest, PreviewByNoteKind) {
  Set(L"NotesGroupBy", 501);
  Set(L"NoteSortOrder", 1);
  ChooseFolder(L"Main folder|Personal{T}", 1);
  std::string longText(6000, 'a');
  ASSERT_TRUE(fixture::WriteText(Host(Expand(L"\\My Documents\\Personal{T}\\{T} Long.txt")), longText.c_str()));
  ASSERT_TRUE(fixture::WriteText(Host(Expand(L"\\My Documents\\Personal{T}\\{T} Letter.rtf")), "{\\rtf1 Dear Anna}"));
  ASSERT_TRUE(fixture::WriteText(Host(Expand(L"\\My Documents\\Personal{T}\\{T} Budget.xls")), "sheet"));
  ASSERT_TRUE(fixture::WriteText(Host(Expand(L"\\My Documents\\Personal{T}\\{T} Draft.psw")), "word"));
  std::unique_ptr<CNotesList> tab = MakeTab();
  auto row = [&](const wchar_t* name) -> CListItem* {
    CContainerElement* content = tab->GetContentList();
    for (int i = 0; i < content->GetChildCount(); ++i)
      if (RowName(content->GetChild(i)) == name) return content->GetChild(i);
    return nullptr;
  };
  ASSERT_NE(row(L"Birthday idea"), nullptr) << Tree(*tab);
  ASSERT_TRUE(tab->Preview(row(L"Birthday idea")));
  VoiceRecorderCall call = {};
  ASSERT_TRUE(VoiceRecorderTestLastCall(&call));
  EXPECT_EQ(call.dwStyle, 126u);
  EXPECT_EQ(call.xPos, -1);
  EXPECT_EQ(call.hwndParent, nullptr);
  EXPECT_EQ(std::wstring(call.fileName), Expand(L"\\My Documents\\Personal{T}\\{T} Birthday idea.wav"));
  if (call.window) DestroyWindow(call.window);
  EXPECT_EQ(tab->GetViewer().GetMode(), CNoteViewWnd::kModeNothing);

  struct Case {
    const wchar_t* name;
    const wchar_t* control;
    DWORD inkLength;  // 0: a text view
  };
  const Case cases[] = {
      {L"Packing", L"InkX", 26},
      {L"Long", L"InkX", 4096},
      {L"Letter", L"RichInk", 0},
      {L"Budget", L"RichInk", 0},
      {L"Draft", L"RichInk", 0},
  };
  for (const Case& c : cases) {
    ASSERT_NE(row(c.name), nullptr) << c.name;
    ASSERT_TRUE(tab->Preview(row(c.name))) << c.name;
    EXPECT_EQ(tab->GetViewer().GetMode(), CNoteViewWnd::kModeNoteFile) << c.name;
    EXPECT_EQ(tab->GetViewer().GetHeld(), static_cast<CNoteItem*>(row(c.name))->GetNote()) << c.name;
    HWND control = tab->GetViewer().GetControl();
    ASSERT_NE(control, nullptr) << c.name;
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_STREQ(className, c.control) << c.name;
    EXPECT_EQ(tab->GetViewer().GetInkLength(), c.inkLength) << c.name;
  }
  // The rich text was read as RTF, the sheet shows the viewer's empty text.
  ASSERT_TRUE(tab->Preview(row(L"Letter")));
  wchar_t shown[64] = {};
  GetWindowTextW(tab->GetViewer().GetControl(), shown, 64);
  EXPECT_STREQ(shown, L"Dear Anna");
  ASSERT_TRUE(tab->Preview(row(L"Budget")));
  GetWindowTextW(tab->GetViewer().GetControl(), shown, 64);
  CString empty;
  LoadTranslatedString(empty, IDS_NOTE_VIEW_EMPTY);
  EXPECT_EQ(CString(shown), empty);
  // A note whose file went away shows nothing.
  ASSERT_NE(row(L"Packing"), nullptr);
  DeleteFileW(Host(Expand(L"\\My Documents\\Personal{T}\\{T} Packing.pwi")).c_str());
  EXPECT_FALSE(tab->Preview(row(L"Packing")));
}

// A note another program writes into a notes folder comes to the tab through the
// shell's file notice, handed on as the panel hands it: the new row appears.
TEST_F(NotesListTest, ANoteAnotherProgramWritesAppearsThroughTheFileNotice) {
  Set(L"NotesGroupBy", 551);
  Set(L"NoteSortOrder", 1);
  std::unique_ptr<CNotesList> tab = MakeTab();
  ASSERT_EQ(CNoteFiles::Instance().GetNotifyWindow(), m_host.window);
  const std::wstring before = Tree(*tab);
  ASSERT_EQ(before.find(L"From cmd"), std::wstring::npos);
  const std::wstring note = Expand(L"\\My Documents\\Work{T}\\{T} From cmd.txt");
  ASSERT_TRUE(fixture::RunOther(L"echo written by cmd> \"" + Host(note) + L"\""));
  // What the panel does with the notice: its path and event to the note files.
  auto arrived = [&] {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_FILECHANGEINFO && msg.lParam) {
        auto* record = reinterpret_cast<FILECHANGENOTIFY*>(msg.lParam);
        if (record->fci.dwItem1)
          CNoteFiles::Instance().OnFileChange(reinterpret_cast<LPCWSTR>(record->fci.dwItem1), record->fci.wEventId);
        SHChangeNotifyFree(record);
        continue;
      }
      // The host is a plain window: the tab's refresh timer is handed on as the panel's
      // root does.
      if (msg.message == WM_TIMER && msg.hwnd == m_host.window) {
        if (CVirtualWnd* element = CVirtualWnd::FromTimer(msg.hwnd, msg.wParam)) element->OnTimer();
        continue;
      }
      DispatchMessageW(&msg);
    }
    return Tree(*tab).find(L"From cmd") != std::wstring::npos;
  };
  // Only this loop takes the messages: none may reach the plain host before it looks.
  bool seen = false;
  for (const DWORD start = GetTickCount(); !seen && GetTickCount() - start < 15000;) {
    seen = arrived();
    if (!seen) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  EXPECT_TRUE(seen) << Tree(*tab);
  EXPECT_EQ(Tree(*tab),
            L"551:Main folder[Welcome,Shopping list,Card note] 551:Personal[Packing,Birthday idea] "
            L"551:Work[From cmd,Call the garage,Site visit memo,Site visit,Meeting notes,Whiteboard] ");
  tab.reset();
  EXPECT_EQ(CNoteFiles::Instance().GetNotifyWindow(), nullptr);
}

// Settings as other programs write them: a value of another type or out of range
// gives a sound tab (an unknown group-by value becomes 501 and is written back).
TEST_F(NotesListTest, SettingsWrittenByRegExe) {
  const std::wstring key = L"\"HKCU\\" + std::wstring(m_machine.Key(TARVO_PRODUCT_KEY).Path()) + L"\"";
  struct Case {
    const wchar_t* values;
    int groupBy;
  };
  const Case cases[] = {
      {L"/v NotesGroupBy /t REG_SZ /d 5", 501},
      {L"/v NotesGroupBy /t REG_DWORD /d 551", 551},
      {L"/v NotesGroupBy /t REG_BINARY /d 2F020000", 559},
      {L"/v NoteSortOrder /t REG_DWORD /d 0xFFFFFFFF", 559},
      {L"/v NotesOneTap /t REG_SZ /d yes", 559},
      {L"/v NotesGroupBy /t REG_DWORD /d 0x80000000", 501},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" " + c.values + L" /f"), 0u) << c.values;
    std::unique_ptr<CNotesList> tab = MakeTab();
    EXPECT_EQ(tab->GetGroupBy(), c.groupBy) << c.values;
    EXPECT_EQ(Get(L"NotesGroupBy") == 501u, c.groupBy == 501) << c.values;
    EXPECT_NE(Tree(*tab).find(L"Welcome"), std::wstring::npos) << c.values;
  }
}

// Any stored settings and typed input give a tree holding each shown note once, and
// any bytes in a note file preview without harm.
TEST_F(NotesListTest, SeededSettingsInputAndNoteBytesKeepTheTabSound) {
  std::mt19937 random(6011);
  const DWORD groupBys[] = {501, 551, 559, 0, 552, 0xFFFFFFFF, 1000};
  const std::wstring noteFile = Host(Expand(L"\\My Documents\\Personal{T}\\{T} Fuzz.rtf"));
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    Set(L"NotesGroupBy", groupBys[random() % 7]);
    Set(L"NoteSortOrder", static_cast<DWORD>(random() % 6) - 1);
    Set(L"NotesOneTap", static_cast<DWORD>(random() % 5));
    ChooseFolder(L"Main folder|Work{T}|Personal{T}", static_cast<int>(random() % 5) - 1);
    std::string bytes(random() % 300, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    ASSERT_TRUE(notetest::WriteBytes(noteFile, bytes));
    std::unique_ptr<CNotesList> tab = MakeTab();
    for (int typed = static_cast<int>(random() % 4); typed > 0; --typed)
      tab->OnChar(static_cast<WCHAR>(L"m7s3 \b9q"[random() % 8]));
    CContainerElement* content = tab->GetContentList();
    ASSERT_NE(content, nullptr);
    std::vector<std::wstring> names;
    std::function<void(CContainerElement*)> walk = [&](CContainerElement* group) {
      for (int i = 0; i < group->GetChildCount(); ++i) {
        CListItem* child = group->GetChild(i);
        if (CContainerElement* inner = CContainerElement::AsContainer(child)) {
          walk(inner);
        } else if (!RowName(child).empty()) {
          names.push_back(RowName(child));
          if (static_cast<CNoteItem*>(child)->GetNote()->type != NOTE_TYPE_VOICE) tab->Preview(child);
        }
      }
    };
    walk(content);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << Tree(*tab);
    EXPECT_LE(names.size(), 11u);
  }
}
