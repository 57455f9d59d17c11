#include "tabs/notes/NoteItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/CeDbApi.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/ResourceLibraryScope.h"
#include "graphics/Bitmap.h"
#include "graphics/Skin.h"
#include "pim/PimAddins.h"
#include "tabs/notes/NoteCommands.h"
#include "tabs/notes/NoteFile.h"

namespace {

TEST(NoteItem, IconsByTypeAndStorage) {
  struct Case {
    int type;
    int memory;
    int card;
  };
  const Case cases[] = {
      {NOTE_TYPE_INK, 13, 15},     {NOTE_TYPE_VOICE, 14, 16},   {NOTE_TYPE_TEXT, 37, 38},
      {NOTE_TYPE_WORD, 35, 36},    {NOTE_TYPE_RICH_TEXT, 35, 36}, {NOTE_TYPE_PICTURE, 40, 41},
      {NOTE_TYPE_SHEET, 42, 43},   {NOTE_TYPE_NONE, 45, 44},    {99, 45, 44},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CNoteItem::IconIndex(c.type, FALSE, 49), c.memory) << c.type;
    EXPECT_EQ(CNoteItem::IconIndex(c.type, TRUE, 49), c.card) << c.type;
    // A skin with fewer icons shows its first one.
    EXPECT_EQ(CNoteItem::IconIndex(c.type, TRUE, c.card), 0) << c.type;
  }
}

CNoteFile* MakeNote(const wchar_t* path, int type) {
  CNoteFile* note = CNoteFile::New();
  note->fullPath = path;
  note->name = L"Shopping list";
  note->type = type;
  note->sizeValue = 1536;
  return note;
}

std::vector<std::wstring> MenuOf(int type) {
  CNoteFile* note = MakeNote(L"\\My Documents\\Shopping list.x", type);
  CNoteItem item(note, nullptr);
  note->Release();
  HMENU menu = CreatePopupMenu();
  item.BuildMenu(menu);
  std::vector<std::wstring> out = MenuLines(menu, false);
  DestroyMenu(menu);
  // The add-ins' submenu is the device's; only whether it came matters less here.
  std::vector<std::wstring> commands;
  for (const std::wstring& entry : out)
    if (entry[0] != L'[') commands.push_back(entry);
  return commands;
}

// Send entries only for ink, voice and text notes, and word documents in the older
// store; the ink conversion only for voice notes.
TEST(NoteItem, ContextMenuByType) {
  CResourceLibraryScope resources;
  const std::vector<std::wstring> common = {L"1001", L"1006", L"1007", L"1003"};
  // The tools submenu holds what the add-in menu gives a note.
  HMENU addins = CreatePopupMenu();
  AppendPimAddinMenu(3, addins, static_cast<DWORD>(-1), nullptr);
  const std::vector<std::wstring> tools = MenuLines(addins, false);
  DestroyMenu(addins);
  auto with = [&](std::vector<std::wstring> send) {
    std::vector<std::wstring> all = common;
    all.insert(all.end(), send.begin(), send.end());
    all.insert(all.end(), tools.begin(), tools.end());
    all.push_back(L"-");
    all.push_back(L"1027");
    return all;
  };
  const std::vector<std::wstring> send = {L"1405", L"1404", L"1406"};
  std::vector<std::wstring> voice = send;
  voice.push_back(L"1407");
  SetNewerStore(FALSE);
  EXPECT_EQ(MenuOf(NOTE_TYPE_INK), with(send));
  EXPECT_EQ(MenuOf(NOTE_TYPE_VOICE), with(voice));
  EXPECT_EQ(MenuOf(NOTE_TYPE_TEXT), with(send));
  EXPECT_EQ(MenuOf(NOTE_TYPE_WORD), with(send));
  EXPECT_EQ(MenuOf(NOTE_TYPE_PICTURE), with({}));
  EXPECT_EQ(MenuOf(NOTE_TYPE_SHEET), with({}));
  SetNewerStore(TRUE);
  EXPECT_EQ(MenuOf(NOTE_TYPE_WORD), with({}));
  EXPECT_EQ(MenuOf(NOTE_TYPE_TEXT), with(send));
  SetNewerStore(FALSE);
}

// The row's identifier is the path's hash; 1027 is the tab's; the note lives as long
// as the row holds it.
TEST(NoteItem, IdentityAndOwnership) {
  CNoteFile* note = MakeNote(L"\\My Documents\\a.pwi", NOTE_TYPE_INK);
  {
    CNoteItem item(note, nullptr);
    EXPECT_EQ(note->GetRefCount(), 2);
    EXPECT_EQ(item.GetKind(), 505);
    EXPECT_EQ(item.GetUserData(), static_cast<DWORD_PTR>(HashWideString(L"\\My Documents\\a.pwi")));
    EXPECT_FALSE(item.OnCommand(NOTE_CMD_SETTINGS));
  }
  EXPECT_EQ(note->GetRefCount(), 1);
  note->Release();
}

// The title splits around the match; a right-to-left match trades its outer pieces;
// switched-off columns leave their texts empty.
TEST(NoteItem, LayoutPiecesAndColumns) {
  GetViewSettings().NoteDrawSize = 1;
  GetViewSettings().NoteDrawTime = 0;
  struct Case {
    int start;
    int length;
    BOOL flag;
    const wchar_t* pieces[3];
  };
  const Case cases[] = {
      {0, 0, FALSE, {L"", L"", L""}},
      {9, 4, FALSE, {L"Shopping ", L"list", L""}},
      {0, 4, FALSE, {L"", L"Shop", L"ping list"}},
      {4, 4, TRUE, {L" list", L"ping", L"Shop"}},
      {9, 4, TRUE, {L"list", L"Shopping ", L""}},
      {9, 40, FALSE, {L"Shopping ", L"list", L""}},
      {40, 4, FALSE, {L"", L"", L""}},
  };
  for (const Case& c : cases) {
    CNoteFile* note = MakeNote(L"\\My Documents\\Shopping list.pwi", NOTE_TYPE_INK);
    note->matchStart = c.start;
    note->matchLength = c.length;
    note->matchFlag = c.flag;
    CNoteItem item(note, nullptr);
    note->Release();
    item.SetColumnWidths(40, 30);
    item.SetSize(240, 230, 0, TRUE);
    EXPECT_GT(item.GetHeight(-1), 0);
    for (int piece = 0; piece < 3; ++piece)
      EXPECT_EQ(std::wstring(item.GetPiece(piece)), c.pieces[piece]) << c.start << " " << piece;
    EXPECT_EQ(std::wstring(item.GetSizeText()), L"1.50K");
    EXPECT_EQ(std::wstring(item.GetDateText()), L"");
    EXPECT_EQ(item.GetSizeRect().right, 230);
    EXPECT_EQ(item.GetSizeRect().left, 200);
    EXPECT_LE(item.GetTitleRect().right, 200);
    EXPECT_EQ(item.GetIconRect().right, 14) << "2 pixels before the 16-pixel column";
  }
  GetViewSettings().Load();
}

// What a row tells its owner.
class Owner : public IListItemOwner {
 public:
  void OnItemChanged(CListItem*) override {}
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem*) override {}
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM value) override { notified.push_back(value); }
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override {}
  std::vector<LPARAM> notified;
};

// With the skin's icons, a tap on the icon of an ink, voice, text or word note asks for
// command 1280; a picture's icon, or a tap beside the icon, selects the row instead.
TEST(NoteItem, IconTapsOpenTheNotesTheyCan) {
  CSkin::Instance().UseSkinPath(NOTES_SKIN);
  ASSERT_EQ(CSkin::Instance().GetIconCount(), 49);
  struct Case {
    int type;
    BOOL card;
    bool asks;
  };
  const Case cases[] = {{NOTE_TYPE_INK, FALSE, true},     {NOTE_TYPE_VOICE, TRUE, true},
                        {NOTE_TYPE_TEXT, TRUE, true},     {NOTE_TYPE_RICH_TEXT, FALSE, true},
                        {NOTE_TYPE_PICTURE, FALSE, false}, {NOTE_TYPE_SHEET, TRUE, false}};
  for (const Case& c : cases) {
    Owner owner;
    CNoteFile* note = MakeNote(L"\\My Documents\\a.x", c.type);
    note->onStorageCard = c.card;
    CNoteItem item(note, &owner);
    note->Release();
    item.SetSize(240, 230, 0, TRUE);
    item.GetHeight(-1);
    EXPECT_EQ(item.GetIcon(), CNoteItem::IconIndex(c.type, c.card, 49));
    const RECT icon = item.GetIconRect();
    POINT inside = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    item.OnPress(&inside);
    EXPECT_EQ(owner.notified, c.asks ? std::vector<LPARAM>{NOTE_CMD_TAP_ICON} : std::vector<LPARAM>{}) << c.type;
    EXPECT_EQ(item.IsSelected(), c.asks ? FALSE : TRUE) << c.type;
    POINT beside = {icon.right + 40, inside.y};
    owner.notified.clear();
    CNoteItem other(item.GetNote(), &owner);
    other.SetSize(240, 230, 0, TRUE);
    other.GetHeight(-1);
    other.OnPress(&beside);
    EXPECT_TRUE(owner.notified.empty()) << c.type;
  }
  CSkin::Instance().UseSkinPath(nullptr);
}

}  // namespace
