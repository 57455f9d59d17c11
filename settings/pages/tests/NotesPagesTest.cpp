// The Notes sheet's pages driven through the real sheet, the folder list over a small
// device tree read through the notes project library, the PhatPad detection over
// fake install folders, and the size texts of note rows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "pim/PhatPad.h"
#include "platform/aygshell/AygTest.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/note_prj/tests/FixtureFiles.h"
#include "settings/pages/NoteSizeText.h"
#include "settings/pages/NotesCommonPage.h"
#include "settings/pages/NotesFilterPage.h"
#include "settings/pages/NotesShowPage.h"
#include "settings/pages/NotesViewStylePage.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

const DWORD kMissing = 0xDEAD;
const int kNotesSection = 4;
const wchar_t kPhatPadKey[] = L"Software\\PhatWare\\PhatPad";
const wchar_t kViewerKey[] = L"Software\\PhatWare\\PhatPad Viewer";
const wchar_t kPhatNotesKey[] = L"Software\\PhatWare\\PhatNotes\\Settings";

// HKEY_CURRENT_USER of this process redirected into an empty key of its own while the
// object lives, so the other vendor's keys of the test are seen by nobody else.
// Values of the machine sandbox are read through HKEY_LOCAL_MACHINE meanwhile.
class CurrentUserSandbox {
 public:
  CurrentUserSandbox() : m_path(L"Software\\TarvoTests\\NotesUser-" + std::to_wstring(GetCurrentProcessId())) {
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                        nullptr) == ERROR_SUCCESS)
      m_redirected = RegOverridePredefKey(HKEY_CURRENT_USER, m_key) == ERROR_SUCCESS;
  }
  ~CurrentUserSandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key) RegCloseKey(m_key);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
  }
  CurrentUserSandbox(const CurrentUserSandbox&) = delete;
  CurrentUserSandbox& operator=(const CurrentUserSandbox&) = delete;
  bool Redirected() const { return m_redirected; }
  // Where the redirected keys really are, for other programs to write.
  const std::wstring& Path() const { return m_path; }
  static CRegistryView Key(const wchar_t* path) { return CRegistryView(HKEY_CURRENT_USER, path); }

 private:
  std::wstring m_path;
  HKEY m_key = nullptr;
  bool m_redirected = false;
};

using NotesPagesTest = LayoutPageTest;

TEST_F(NotesPagesTest, CommonPageRoundTripsGroupingSortOneTapAndLayout) {
  struct Case {
    const char* name;
    DWORD groupBy, sort, oneTap, active;
    int shownGroup, shownSort, shownOneTap, shownLayout;
    int chooseGroup, chooseSort, chooseOneTap, chooseLayout;  // -1: left alone
    DWORD writtenGroup, writtenSort, writtenOneTap, writtenActive;
  };
  const Case cases[] = {
      {"defaults", kMissing, kMissing, kMissing, kMissing, 1, 1, 2, 0, -1, -1, -1, -1, 559, 1, 2, 0},
      // A grouping the page does not offer shows the first item and goes back as 501.
      {"unknown grouping", 700, 0, 0, 0xFFFFFFFF, 0, 0, 0, 1, -1, -1, -1, -1, 501, 0, 0, 0xFFFFFFFF},
      {"folders", 551, 2, 1, 0, 2, 2, 1, 0, 1, 0, 0, 1, 559, 0, 0, 0xFFFFFFFF},
      // The dialog item, cancelled: the item before is selected again.
      {"dialog cancelled", 501, 1, 2, 0, 0, 1, 2, 0, 2, -1, -1, 2, 551, 1, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"NotesGroupBy", c.groupBy);
    Store(L"NoteSortOrder", c.sort);
    Store(L"NotesOneTap", c.oneTap);
    Store(L"Notes_layout_active", c.active);
    DialogRuns() = 0;
    int group = -2, sort = -2, oneTap = -2, layout = -2, layoutAfter = -2;
    RunPage(kNotesSection, 0, [&](HWND page) {
      group = Selection(page, kNotesGroupByCombo);
      sort = Selection(page, kNotesSortCombo);
      oneTap = Selection(page, kNotesOneTapCombo);
      layout = Selection(page, kNotesLayoutCombo);
      if (c.chooseGroup >= 0) Choose(page, kNotesGroupByCombo, c.chooseGroup);
      if (c.chooseSort >= 0) Choose(page, kNotesSortCombo, c.chooseSort);
      if (c.chooseOneTap >= 0) Choose(page, kNotesOneTapCombo, c.chooseOneTap);
      if (c.chooseLayout >= 0) Choose(page, kNotesLayoutCombo, c.chooseLayout);
      layoutAfter = Selection(page, kNotesLayoutCombo);
    }, {IDOK});
    EXPECT_EQ(group, c.shownGroup);
    EXPECT_EQ(sort, c.shownSort);
    EXPECT_EQ(oneTap, c.shownOneTap);
    EXPECT_EQ(layout, c.shownLayout);
    EXPECT_EQ(layoutAfter, c.chooseLayout == 2 ? c.shownLayout : (c.chooseLayout >= 0 ? c.chooseLayout : layout));
    EXPECT_EQ(DialogRuns(), c.chooseLayout == 2 ? 1 : 0);
    EXPECT_EQ(Stored(L"NotesGroupBy"), c.writtenGroup);
    EXPECT_EQ(Stored(L"NoteSortOrder"), c.writtenSort);
    EXPECT_EQ(Stored(L"NotesOneTap"), c.writtenOneTap);
    EXPECT_EQ(Stored(L"Notes_layout_active"), c.writtenActive);
  }
}

TEST_F(NotesPagesTest, ShowPageOffersOtherVendorsKindsOnlyWhenInstalled) {
  fixture::Scratch folder(L"NotesShowPhatPad");
  ASSERT_TRUE(fixture::WriteText(folder / L"PhatPad.exe", "MZ"));
  struct Case {
    const char* name;
    bool installed;
    bool enabled;
    DWORD writtenPhatPad, writtenPhatNotes;
  };
  const Case cases[] = {
      // Without them the boxes are off limits and the stored values stay.
      {"absent", false, false, 1, 1},
      {"installed", true, true, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"NotesType4Enabled", 0);
    Store(L"NotesType5Enabled", 1);
    Store(L"PhatNotesEnabled", 1);
    bool phatPadEnabled = !c.enabled, phatNotesEnabled = !c.enabled, ticked = false;
    {
      CurrentUserSandbox user;
      ASSERT_TRUE(user.Redirected());
      if (c.installed) {
        user.Key(kPhatPadKey).WriteString(L"InstPath", folder.path().c_str());
        user.Key(kPhatNotesKey).WriteDWORD(L"x", 1);
      }
      RunPage(kNotesSection, 1, [&](HWND page) {
        phatPadEnabled = Enabled(page, kNoteKindBoxes[kPhatPadKind]);
        phatNotesEnabled = Enabled(page, kPhatNotesBox);
        ticked = Ticked(page, kNoteKindBoxes[0]) && Ticked(page, kNoteKindBoxes[6]);
        Click(page, kNoteKindBoxes[0]);
        Click(page, kNoteKindBoxes[kPhatPadKind]);
        Click(page, kPhatNotesBox);
      }, {IDOK});
    }
    EXPECT_EQ(phatPadEnabled, c.enabled);
    EXPECT_EQ(phatNotesEnabled, c.enabled);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(Stored(L"NotesType0Enabled"), 0u);
    EXPECT_EQ(Stored(L"NotesType4Enabled"), 0u) << "the kind without a box goes back as read";
    EXPECT_EQ(Stored(L"NotesType5Enabled"), c.writtenPhatPad);
    EXPECT_EQ(Stored(L"PhatNotesEnabled"), c.writtenPhatNotes);
  }
}

TEST_F(NotesPagesTest, ViewStylePageChangesTheRecordAndSavesOnApplyOnly) {
  const int boxes[] = {kNoteSizeBox, kNoteTimeBox, kNoteIndentBox};
  RunPage(kNotesSection, 2, [&](HWND page) {
    for (int box : boxes) Click(page, box);
  }, {IDCANCEL});
  EXPECT_EQ(Stored(L"NoteDrawSize"), 0u);
  EXPECT_EQ(Stored(L"NoteDrawTime"), 1u);
  EXPECT_EQ(GetViewSettings().NoteMakeIndent, 1) << "cancel reloads the record";
  bool shown = false;
  int sizeWhileRunning = -1;
  RunPage(kNotesSection, 2, [&](HWND page) {
    shown = !Ticked(page, kNoteSizeBox) && Ticked(page, kNoteTimeBox) && Ticked(page, kNoteIndentBox);
    for (int box : boxes) Click(page, box);
    sizeWhileRunning = GetViewSettings().NoteDrawSize;
  }, {IDOK});
  EXPECT_TRUE(shown);
  EXPECT_EQ(sizeWhileRunning, 1);
  EXPECT_EQ(Stored(L"NoteDrawSize"), 1u);
  EXPECT_EQ(Stored(L"NoteDrawTime"), 0u);
  EXPECT_EQ(Stored(L"NoteMakeIndent"), 0u);
}

// The folder list keeps its left, top and right and ends 8 logical pixels above the
// page's bottom; a size without width or height moves nothing.
TEST_F(NotesPagesTest, FolderListFollowsThePageSize) {
  RECT before = {}, after = {}, unchanged = {};
  const auto place = [](HWND page) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(page, kNoteFolderList), &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  RunPage(kNotesSection, 3, [&](HWND page) {
    before = place(page);
    SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(before.right + 10, before.top + 100));
    after = place(page);
    SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(0, 40));
    unchanged = place(page);
  }, {IDCANCEL});
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.top + 100 - ScaleY(8));
  EXPECT_TRUE(EqualRect(&unchanged, &after));
}

// With the input panel up, the list ends 8 logical pixels above the part of the page
// the panel leaves visible.
TEST_F(NotesPagesTest, FolderListMakesRoomForTheInputPanel) {
  RECT down = {}, up = {};
  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  RECT client = {};
  const auto place = [](HWND page) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(page, kNoteFolderList), &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  AygTestShowInputPanel(FALSE);
  RunPage(kNotesSection, 3, [&](HWND page) {
    GetClientRect(page, &client);
    down = place(page);
    AygTestShowInputPanel(TRUE);
    SipGetInfo(&sip);
    SendMessageW(page, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    up = place(page);
    AygTestShowInputPanel(FALSE);
  }, {IDCANCEL});
  const int visible =
      std::min(static_cast<int>(client.bottom), static_cast<int>(sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top));
  EXPECT_EQ(up.top, down.top);
  EXPECT_EQ(up.bottom, std::max(static_cast<int>(down.top), visible - ScaleY(8)));
  EXPECT_LT(visible, client.bottom) << "the panel covers part of the page";
}

// A device whose root is drive C: (device paths resolve on the current drive), with
// note folders of this test's own in main memory and on a storage card.
class NotesFolderTest : public PageRunTest {
 protected:
  void SetUp() override {
    PageRunTest::SetUp();
    GetCurrentDirectoryW(MAX_PATH, m_previousDirectory);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    m_tag = L"NF" + std::to_wstring(GetCurrentProcessId());
    m_card = L"C:\\" + m_tag + L"Card";
    m_device.Set(L"Root", L"C:\\");
    m_device.Set(L"StorageCards", L"\\" + m_tag + L"Card");
    CreateDirectoryW(L"C:\\My Documents", nullptr);
    for (const std::wstring& folder : {Memory(L"Work"), Memory(L"Hidden"), Memory(L"Other"), Memory(L"Mixed"),
                                       m_card, m_card + L"\\My Documents", Card(L"work"), Card(L"Card")})
      ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    ASSERT_TRUE(fixture::WriteText(Memory(L"Work") + L"\\plan.pwi", "ink"));
    // Only a hidden note: no folder to list.
    const std::wstring secret = Memory(L"Hidden") + L"\\.secret.txt";
    ASSERT_TRUE(fixture::WriteText(secret, "hush"));
    SetFileAttributesW(secret.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(fixture::WriteText(Memory(L"Other") + L"\\data.bin", "bytes"));
    ASSERT_TRUE(fixture::WriteText(Memory(L"Mixed") + L"\\NOTE.TXT", "upper case"));
    // The same folder name on the card, and a note another program wrote.
    ASSERT_TRUE(fixture::WriteText(Card(L"work") + L"\\memo.wav", "RIFF"));
    ASSERT_TRUE(fixture::RunOther(L"echo list> \"" + Card(L"Card") + L"\\list.txt\""));
  }
  void TearDown() override {
    for (const wchar_t* name : {L"Work", L"Hidden", L"Other", L"Mixed", L"New"}) fixture::RemoveTree(Memory(name));
    fixture::RemoveTree(m_card);
    SetCurrentDirectoryW(m_previousDirectory);
    PageRunTest::TearDown();
  }
  std::wstring Memory(const wchar_t* name) const { return L"C:\\My Documents\\" + m_tag + name; }
  std::wstring Card(const wchar_t* name) const { return m_card + L"\\My Documents\\" + m_tag + name; }
  std::wstring Name(const wchar_t* name) const { return m_tag + name; }

  // This test's folders in the list, in list order, with "+" for a check mark.
  std::vector<std::wstring> Listed(HWND page) const {
    HWND list = GetDlgItem(page, kNoteFolderList);
    std::vector<std::wstring> items;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
      WCHAR text[MAX_PATH] = L"";
      ListView_GetItemText(list, i, 0, text, MAX_PATH);
      if (_wcsnicmp(text, m_tag.c_str(), m_tag.size()) != 0) continue;
      items.push_back((ListView_GetCheckState(list, i) ? L"+" : L"-") + std::wstring(text));
    }
    return items;
  }
  void SetChecked(HWND page, const std::wstring& name, bool checked) const {
    HWND list = GetDlgItem(page, kNoteFolderList);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
      WCHAR text[MAX_PATH] = L"";
      ListView_GetItemText(list, i, 0, text, MAX_PATH);
      if (name == text) ListView_SetCheckState(list, i, checked);
    }
  }
  std::wstring StoredHidden() const {
    std::wstring text;
    m_machine.Key(TARVO_PRODUCT_KEY L"\\Filters").ReadString(L"HiddenFolders", text);
    return text;
  }
  std::wstring Lower(const wchar_t* name) const {
    std::wstring text = Name(name);
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
  }

  CDeviceSwitch m_device;
  WCHAR m_previousDirectory[MAX_PATH] = L"";
  std::wstring m_tag, m_card;
};

TEST_F(NotesFolderTest, ListsFoldersHoldingShownNotesAndKeepsTheHiddenOnes) {
  m_machine.Key(TARVO_PRODUCT_KEY L"\\Filters").WriteString(L"HiddenFolders", (Lower(L"Mixed") + L"|gone").c_str());
  std::vector<std::wstring> first, refilled;
  RunPage(kNotesSection, 3, [&](HWND page) {
    first = Listed(page);
    SetChecked(page, Name(L"Work"), false);
    SetChecked(page, Name(L"Mixed"), true);
    // A folder gains a note while the page is open; the shell says so.
    CreateDirectoryW(Memory(L"New").c_str(), nullptr);
    fixture::WriteText(Memory(L"New") + L"\\letter.doc", "doc");
    SendMessageW(page, WM_FILECHANGEINFO, 0, 0);
    refilled = Listed(page);
  }, {IDOK});
  // One entry per name whatever its case, sorted; folders without a shown note left out.
  EXPECT_EQ(first, (std::vector<std::wstring>{L"+" + Name(L"Card"), L"-" + Name(L"Mixed"), L"+" + Name(L"Work")}));
  // The marks changed before the change notice survive it.
  EXPECT_EQ(refilled, (std::vector<std::wstring>{L"+" + Name(L"Card"), L"+" + Name(L"Mixed"), L"+" + Name(L"New"),
                                                 L"-" + Name(L"Work")}));
  // The folder unchecked goes first; the one checked again leaves; unknown names stay.
  EXPECT_EQ(StoredHidden(), Lower(L"Work") + L"|gone");
}

TEST_F(NotesFolderTest, CancelWritesNothing) {
  m_machine.Key(TARVO_PRODUCT_KEY L"\\Filters").WriteString(L"HiddenFolders", L"gone");
  RunPage(kNotesSection, 3, [&](HWND page) { SetChecked(page, Name(L"Card"), false); }, {IDCANCEL});
  EXPECT_EQ(StoredHidden(), L"gone");
}

TEST(NoteFolderRecordTest, PathsAreReadWithinTheRecordWhateverItHolds) {
  PAstruct record;
  CString folder;
  std::memset(&record, 0, sizeof(record));
  record.m_IDtype = FILE_ID_TYPE_PATH;
  wcscpy(record.m_szPathname, L"\\My Documents\\Work");
  ASSERT_TRUE(CNotesFilterPage::ReadFolderRecord(&record, folder));
  EXPECT_STREQ(folder, L"\\My Documents\\Work");
  // A path filling the record without an end.
  for (wchar_t& c : record.m_szPathname) c = L'a';
  ASSERT_TRUE(CNotesFilterPage::ReadFolderRecord(&record, folder));
  EXPECT_EQ(folder.GetLength(), PA_MAX_PATHNAME);
  EXPECT_FALSE(CNotesFilterPage::ReadFolderRecord(nullptr, folder));
  std::mt19937 random(5501);
  for (int round = 0; round < 3000; ++round) {
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (size_t i = 0; i < sizeof(record); ++i) bytes[i] = static_cast<unsigned char>(random());
    // Mostly paths: an object identifier goes to the object store.
    if (round % 50) record.m_IDtype = FILE_ID_TYPE_PATH;
    if (CNotesFilterPage::ReadFolderRecord(&record, folder)) {
      EXPECT_LE(folder.GetLength(), PA_MAX_PATHNAME);
    }
  }
}

TEST(PhatPadViewerTest, PresentWhenItsProgramIsInItsFolder) {
  fixture::Scratch pad(L"PhatPadFolder");
  fixture::Scratch viewer(L"PhatPadViewerFolder");
  ASSERT_TRUE(fixture::RunOther(L"echo MZ> \"" + pad.path() + L"\\PhatPad.exe\""));
  ASSERT_TRUE(fixture::WriteText(viewer / L"PhatPadViewer.exe", "MZ"));
  // Not a library: it loads nothing, and the program still counts.
  ASSERT_TRUE(fixture::WriteText(pad / L"PhatPadViewCtl.dll", "not a library"));
  // A folder that is not there.
  const std::wstring empty = pad.path() + L"Gone";
  struct Case {
    const char* name;
    const wchar_t* padPath;     // null: no key; empty: the key without "InstPath"
    const wchar_t* viewerPath;  // as above
    BOOL present;
  };
  const std::wstring padNoSlash = pad.path();
  const std::wstring viewerSlash = viewer.path() + L"\\";
  const Case cases[] = {
      {"nothing", nullptr, nullptr, FALSE},
      {"keys without folders", L"", L"", FALSE},
      {"PhatPad", padNoSlash.c_str(), nullptr, TRUE},
      {"the viewer", nullptr, viewerSlash.c_str(), TRUE},
      {"PhatPad's folder without it, the viewer", empty.c_str(), viewerSlash.c_str(), TRUE},
      // The viewer's folder holds PhatPad, not the viewer.
      {"the wrong program", nullptr, padNoSlash.c_str(), FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CurrentUserSandbox user;
    ASSERT_TRUE(user.Redirected());
    if (c.padPath) {
      user.Key(kPhatPadKey).WriteDWORD(L"Version", 1);
      if (*c.padPath) user.Key(kPhatPadKey).WriteString(L"InstPath", c.padPath);
    }
    if (c.viewerPath) {
      user.Key(kViewerKey).WriteDWORD(L"Version", 1);
      if (*c.viewerPath) user.Key(kViewerKey).WriteString(L"InstPath", c.viewerPath);
    }
    CPhatPad detector;
    EXPECT_EQ(detector.Load(), c.present);
    if (c.present) {
      EXPECT_FALSE(detector.IsViewBound());
      CString padFolder, viewerFolder;
      detector.GetInstallPaths(&padFolder, &viewerFolder);
      EXPECT_EQ(padFolder.IsEmpty(), c.padPath == nullptr);
      if (c.padPath && *c.padPath) {
        EXPECT_STREQ(padFolder, (std::wstring(c.padPath) + L"\\").c_str());
      }
    }
    detector.Unload();
    EXPECT_EQ(detector.IsAvailable(), c.present);
    // The other vendor's keys are read, never written.
    std::wstring text;
    if (c.padPath && !*c.padPath) {
      EXPECT_FALSE(user.Key(kPhatPadKey).ReadString(L"InstPath", text));
    }
    if (c.viewerPath && !*c.viewerPath) {
      EXPECT_FALSE(user.Key(kViewerKey).ReadString(L"InstPath", text));
    }
  }
  // A key without a folder stands for the default one.
  CurrentUserSandbox user;
  user.Key(kPhatPadKey).WriteDWORD(L"Version", 1);
  CString padFolder, viewerFolder;
  EXPECT_TRUE(CPhatPad().GetInstallPaths(&padFolder, &viewerFolder));
  EXPECT_STREQ(padFolder, L"\\Program Files\\PhatPad\\");
  EXPECT_STREQ(viewerFolder, L"");
}

// "InstPath" as another program writes it, and as any bytes of any type: always a
// folder with its "\\" at the end.
TEST(PhatPadViewerTest, InstallFolderFromAnyValue) {
  const auto padFolderOf = [] {
    CString padFolder;
    CPhatPad().GetInstallPaths(&padFolder, nullptr);
    return padFolder;
  };
  CurrentUserSandbox user;
  ASSERT_TRUE(user.Redirected());
  const std::wstring key = L"HKCU\\" + user.Path() + L"\\" + kPhatPadKey;
  ASSERT_TRUE(fixture::RunOther(L"reg add \"" + key + L"\" /v InstPath /d \"\\Storage Card\\Pad\" /f >nul"));
  EXPECT_STREQ(padFolderOf(), L"\\Storage Card\\Pad\\");
  const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ};
  std::mt19937 random(1160);
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kPhatPadKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  std::vector<BYTE> bytes;
  for (int round = 0; round < 400; ++round) {
    bytes.resize(random() % 1200);
    for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 4 ? random() : 0);
    RegSetValueExW(handle, L"InstPath", 0, types[random() % 5], bytes.data(), static_cast<DWORD>(bytes.size()));
    const CString folder = padFolderOf();
    ASSERT_FALSE(folder.IsEmpty());
    ASSERT_EQ(folder[folder.GetLength() - 1], L'\\');
  }
  RegCloseKey(handle);
}

// Voice notes show their length, every other kind its size; the texts themselves are
// base's and tested there.
TEST(NoteSizeTextTest, VoiceNotesByLengthOtherKindsBySize) {
  struct Case {
    int kind;
    DWORD bytes, milliseconds;
    const wchar_t* text;
  };
  const Case cases[] = {
      {1, 21460, 3456, L"3.45S"}, {1, 0, 90000, L"1.50M"}, {0, 21460, 3456, L"20.9K"},
      {2, 500, 0, L"500B"},       {3, 6130, 0, L"5.98K"},  {6, 0xFFFFFFFF, 0, L"3.99G"},
      {-1, 123456, 7, L"120K"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(FormatNoteSize(c.kind, c.bytes, c.milliseconds, L"."), c.text) << c.kind << " " << c.bytes;
  EXPECT_STREQ(FormatNoteSize(1, 0, 3456, L","), L"3,45S");
}

}  // namespace
