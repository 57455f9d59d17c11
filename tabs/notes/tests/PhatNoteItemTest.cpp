#include "tabs/notes/PhatNoteItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "graphics/FontCache.h"
#include "graphics/Skin.h"
#include "panel/PanelPrompt.h"
#include "res/TarvoResIds.h"
#include "tabs/notes/NoteText.h"
#include "tabs/notes/NoteViewWnd.h"
#include "tabs/notes/tests/NoteTestSupport.h"
#include "tabs/notes/tests/PhatNotesTestSupport.h"

namespace {

using namespace phatnotestest;

// A record as the source would hand it over, without a database behind it.
CPhatNoteRecord* MakeRecord(const wchar_t* title, DWORD flags, const wchar_t* extra = L"", DWORD marker = 0) {
  CPhatNoteRecord* note = new CPhatNoteRecord();
  note->CRefObjectCounted();
  note->title = title;
  note->flags = flags;
  note->extraText = extra;
  note->marker = marker;
  note->modified = 46000.5;
  return note;
}

class Owner : public IListItemOwner {
 public:
  void OnItemChanged(CListItem*) override { ++changed; }
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem*) override {}
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM value) override { notified.push_back(value); }
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override {}
  std::vector<LPARAM> notified;
  int changed = 0;
};

class PhatNoteRow : public ::testing::Test {
 protected:
  void SetUp() override {
    CSkin::Instance().UseSkinPath(NOTES_SKIN);
    ASSERT_EQ(CSkin::Instance().GetIconCount(), 49);
    GetViewSettings().PhatNotesEnabled = 1;
  }
  void TearDown() override {
    CSkin::Instance().UseSkinPath(nullptr);
    GetViewSettings().Load();
  }
  CFontCache fonts;
};

std::wstring Codes(const CPhatNoteItem& item) {
  std::wstring codes;
  for (const CPhatNoteItem::Icon& icon : item.GetIcons()) codes += icon.code;
  return codes;
}
std::vector<int> IconsOf(const CPhatNoteItem& item) {
  std::vector<int> icons;
  for (const CPhatNoteItem::Icon& icon : item.GetIcons()) icons.push_back(icon.icon);
  return icons;
}

// The colour marker always, then the attachment, priority and marker icons that apply,
// in that order; the marker ends at the icon column's edge; the others follow the title
// inside its rectangle, each as large as the skin's icon.
TEST_F(PhatNoteRow, IconsChosenAndPlaced) {
  struct Case {
    DWORD flags;
    const wchar_t* extra;
    DWORD marker;
    BOOL indented;
    const wchar_t* codes;
    std::vector<int> icons;
  };
  const Case cases[] = {
      {0, L"", 0, FALSE, L"n", {30}},
      {0x10000, L"", 0, TRUE, L"n", {31}},
      {0x20000 | 0x1000000, L"", 0, FALSE, L"np", {32, 1}},
      {0x40000 | 0x2000000, L"see attached", 0, FALSE, L"nsp", {33, 5, 2}},
      {0x80000, L"x", 7, TRUE, L"nsr", {34, 5, 4}},
      {0x30000 | 0x3000000, L"", 1, FALSE, L"nr", {30, 4}},  // mixed bits name no colour, no priority
  };
  for (const Case& c : cases) {
    CPhatNoteRecord* note = MakeRecord(L"Groceries", c.flags, c.extra, c.marker);
    CPhatNoteItem item(note, nullptr, nullptr);
    note->Release();
    item.SetIndented(c.indented);
    item.SetSize(240, 230, 0, TRUE);
    EXPECT_GT(item.GetHeight(-1), 0);
    EXPECT_EQ(Codes(item), c.codes) << c.flags;
    EXPECT_EQ(IconsOf(item), c.icons) << c.flags;
    const std::vector<CPhatNoteItem::Icon>& icons = item.GetIcons();
    EXPECT_EQ(icons[0].rect.right, ScaleX(c.indented ? 24 : 16)) << "ends at the column's edge";
    const RECT title = item.GetTitleRect();
    EXPECT_EQ(title.left, ScaleX(c.indented ? 24 : 16));
    int lastLeft = title.left;
    for (size_t i = 0; i < icons.size(); ++i) {
      const SIZE size = CSkin::Instance().GetIconSize(icons[i].icon);
      EXPECT_EQ(icons[i].rect.right - icons[i].rect.left, size.cx) << i;
      EXPECT_EQ(icons[i].rect.bottom - icons[i].rect.top, size.cy) << i;
      if (i == 0) continue;
      EXPECT_GT(icons[i].rect.left, lastLeft) << "after the title and the icon before " << i;
      EXPECT_LE(icons[i].rect.right, title.right) << i;
      lastLeft = icons[i].rect.left;
    }
    // The title's text stops where its first icon begins.
    if (icons.size() > 1) {
      EXPECT_LE(item.GetTextRect().right, icons[1].rect.left);
    }
  }
}

// No size column; the date column at the right edge only with "NoteDrawTime", the title
// ending 4 pixels before it; a long title keeps its icons inside the row.
TEST_F(PhatNoteRow, DateColumnAndTitle) {
  for (int drawTime = 0; drawTime < 2; ++drawTime) {
    GetViewSettings().NoteDrawTime = drawTime;
    CPhatNoteRecord* note = MakeRecord(L"A very long title that cannot fit beside the date at all", 0x1000000,
                                       L"x", 1);
    CPhatNoteItem item(note, nullptr, nullptr);
    note->Release();
    item.SetDateWidth(60);
    item.SetSize(240, 230, 0, TRUE);
    item.GetHeight(-1);
    if (drawTime) {
      EXPECT_EQ(std::wstring(item.GetDateText()), std::wstring(FormatNoteDate(46000.5)));
      EXPECT_EQ(item.GetDateRect().right, 230);
      EXPECT_EQ(item.GetDateRect().left, 170);
      EXPECT_EQ(item.GetTitleRect().right, 170 - ScaleX(4));
    } else {
      EXPECT_TRUE(item.GetDateText().IsEmpty());
      EXPECT_EQ(item.GetDateRect().right - item.GetDateRect().left, 0);
      EXPECT_EQ(item.GetTitleRect().right, 230 - ScaleX(4));
    }
    for (const CPhatNoteItem::Icon& icon : item.GetIcons()) EXPECT_LE(icon.rect.right, item.GetTitleRect().right);
  }
}

// The title splits around a typed match as a note file's does.
TEST_F(PhatNoteRow, TitlePiecesAroundTheMatch) {
  struct Case {
    int start;
    int length;
    BOOL flag;
    const wchar_t* pieces[3];
  };
  const Case cases[] = {
      {0, 0, FALSE, {L"", L"", L""}},
      {9, 4, FALSE, {L"Shopping ", L"list", L""}},
      {4, 4, TRUE, {L" list", L"ping", L"Shop"}},
      {9, 40, FALSE, {L"Shopping ", L"list", L""}},
      {40, 4, FALSE, {L"", L"", L""}},
  };
  for (const Case& c : cases) {
    CPhatNoteRecord* note = MakeRecord(L"Shopping list", 0);
    CPhatNoteItem item(note, nullptr, nullptr);
    note->Release();
    item.SetMatch(c.start, c.length, c.flag);
    item.SetSize(240, 230, 0, TRUE);
    item.GetHeight(-1);
    for (int piece = 0; piece < 3; ++piece)
      EXPECT_EQ(std::wstring(item.GetPiece(piece)), c.pieces[piece]) << c.start << " " << piece;
    if (c.pieces[1][0]) {
      EXPECT_EQ(item.GetPieceRect(0).left, item.GetTitleRect().left);
      EXPECT_EQ(item.GetPieceRect(1).left, item.GetPieceRect(0).right);
    }
  }
}

// A tap on the colour marker asks for the preview; a tap on the title selects the row.
TEST_F(PhatNoteRow, MarkerTapAsksForThePreview) {
  Owner owner;
  CPhatNoteRecord* note = MakeRecord(L"Groceries", 0x20000 | 0x2000000);
  CPhatNoteItem item(note, nullptr, &owner);
  note->Release();
  item.SetSize(240, 230, 0, TRUE);
  item.GetHeight(-1);
  const RECT marker = item.GetIcons()[0].rect;
  POINT inside = {(marker.left + marker.right) / 2, (marker.top + marker.bottom) / 2};
  EXPECT_TRUE(item.OnPress(&inside));
  EXPECT_EQ(owner.notified, std::vector<LPARAM>{CPhatNoteItem::kCmdPreview});
  EXPECT_FALSE(item.IsSelected());
  owner.notified.clear();
  // The priority icon is not the marker.
  const RECT priority = item.GetIcons()[1].rect;
  POINT onPriority = {(priority.left + priority.right) / 2, (priority.top + priority.bottom) / 2};
  item.OnPress(&onPriority);
  EXPECT_TRUE(owner.notified.empty());
  EXPECT_TRUE(item.IsSelected());
  EXPECT_EQ(item.GetKind(), 511);
}

std::wstring ResText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return static_cast<LPCWSTR>(text);
}

std::vector<std::wstring> MenuOf(DWORD flags) {
  CPhatNoteRecord* note = MakeRecord(L"Groceries", flags);
  CPhatNoteItem item(note, nullptr, nullptr);
  note->Release();
  HMENU menu = CreatePopupMenu();
  item.BuildMenu(menu);
  std::vector<std::wstring> out = MenuLines(menu, true);
  DestroyMenu(menu);
  return out;
}

// The menu walked item by item: open, the edit submenu with priority and colour as
// radio choices marked by the note's flags, delete, then the tab's settings.
TEST_F(PhatNoteRow, ContextMenuItemByItem) {
  CResourceLibraryScope resources;
  ASSERT_TRUE(resources.Loaded());
  auto item = [](UINT id, UINT text, bool chosen) {
    return std::to_wstring(id) + L" " + ResText(text) + (chosen ? L" (*)" : L"");
  };
  struct Case {
    DWORD flags;
    UINT priority;  // the chosen command, 0 none
    UINT colour;
  };
  const Case cases[] = {
      {0, 1114, 1432},
      {0x1000000 | 0x40000, 1113, 1430},
      {0x2000000 | 0x80000, 1115, 1431},
      {0x20000 | 1, 1114, 1433},
      {0x10000, 1114, 1434},
      {0x3000000 | 0x30000, 0, 0},  // bits PhatNotes never sets mark nothing
  };
  for (const Case& c : cases) {
    const std::vector<std::wstring> expected = {
        item(1001, IDS_NOTE_MENU_OPEN, false),
        L"[" + ResText(IDS_MENU_EDIT_GROUP) + L"]",
        L"[" + ResText(IDS_SORT_IMPORTANCE) + L"]",
        item(1115, IDS_TASK_IMPORTANCE_HIGH, c.priority == 1115),
        item(1114, IDS_TASK_IMPORTANCE_NORMAL, c.priority == 1114),
        item(1113, IDS_TASK_IMPORTANCE_LOW, c.priority == 1113),
        L"[end]",
        L"[" + ResText(IDS_PHATNOTE_COLOUR_MENU) + L"]",
        item(1430, IDS_PHATNOTE_COLOUR_PINK, c.colour == 1430),
        item(1431, IDS_PHATNOTE_COLOUR_WHITE, c.colour == 1431),
        item(1432, IDS_PHATNOTE_COLOUR_YELLOW, c.colour == 1432),
        item(1433, IDS_PHATNOTE_COLOUR_GREEN, c.colour == 1433),
        item(1434, IDS_PHATNOTE_COLOUR_BLUE, c.colour == 1434),
        L"[end]",
        item(1003, IDS_NOTE_MENU_DELETE, false),
        L"[end]",
        L"-",
        item(1027, IDS_SETTINGS, false),
    };
    EXPECT_EQ(MenuOf(c.flags), expected) << std::hex << c.flags;
  }
  for (UINT id : {IDS_PHATNOTE_COLOUR_YELLOW, IDS_PHATNOTE_COLOUR_PINK, IDS_PHATNOTE_COLOUR_GREEN,
                  IDS_PHATNOTE_COLOUR_BLUE, IDS_PHATNOTE_COLOUR_WHITE, IDS_PHATNOTE_COLOUR_MENU})
    EXPECT_FALSE(ResText(id).empty()) << id;
}

// What the delete question was and how it was answered.
struct Question {
  std::wstring text, caption;
  UINT type = 0;
  int answer = IDNO;
  int asked = 0;
};
Question g_question;
int AnswerQuestion(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  ++g_question.asked;
  g_question.text = text ? text : L"";
  g_question.caption = caption ? caption : L"";
  g_question.type = type;
  return g_question.answer;
}

struct Removals : IPhatNotesListener {
  std::vector<std::wstring> events;
  void OnPhatNoteChanged(CPhatNoteRecord* fresh, CPhatNoteRecord*) override {
    events.push_back(L"changed " + std::wstring(fresh ? fresh->title : CString()));
  }
  void OnPhatNoteAdded(CPhatNoteRecord* note) override { events.push_back(L"added " + std::wstring(note->title)); }
  void OnPhatNoteRemoved(CPhatNoteRecord* note) override {
    events.push_back(L"removed " + std::wstring(note->title));
  }
};

CPhatNoteRecord* First(CPhatNotesSource& source) {
  CPhatNoteRecord* note = nullptr;
  return source.GetFirst(&note) ? note : nullptr;
}

// The row's commands reach the database: priority and colour written with the changed
// bit, delete only after a "yes" to a warning with "no" as default, open through
// PhatNotes' window; the tab's own command is left to the tab.
TEST_F(PhatNoteRow, CommandsWrittenToTheDatabase) {
  CResourceLibraryScope resources;
  PhatNotesFixture fixture;
  HANDLE db = fixture.Database(L"phatnotes_row");
  const CEOID oid = fixture.Write(db, Note(L"Groceries", L"Home", 0x40000));
  CPhatNotesSource source;
  ASSERT_TRUE(source.Load(nullptr));
  struct Case {
    UINT command;
    DWORD flags;
  };
  const Case cases[] = {
      {1115, 0x02040001}, {1113, 0x01040001}, {1114, 0x00040001}, {1431, 0x00080001},
      {1432, 0x00000001}, {1433, 0x00020001}, {1434, 0x00010001}, {1430, 0x00040001},
  };
  for (const Case& c : cases) {
    CPhatNoteItem item(First(source), &source, nullptr);
    EXPECT_TRUE(item.OnCommand(c.command)) << c.command;
    EXPECT_EQ(fixture.FlagsOf(db, oid), c.flags) << c.command;
    ASSERT_NE(First(source), nullptr);
    EXPECT_EQ(First(source)->flags, c.flags) << "the list shows it at once";
  }
  {
    CPhatNoteItem item(First(source), &source, nullptr);
    EXPECT_FALSE(item.OnCommand(1027));
    EXPECT_FALSE(item.OnCommand(1116));
  }

  // Open: PhatNotes' window gets its three messages.
  CPhatNotesSource::SetWindowFinder([]() -> HWND { return NotesWindow::current ? NotesWindow::current->hwnd : nullptr; },
                                    [](DWORD) {});
  {
    NotesWindow window;
    CPhatNoteItem item(First(source), &source, nullptr);
    EXPECT_TRUE(item.OnCommand(1001));
    MSG msg;
    while (PeekMessageW(&msg, window.hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const CPhatNoteRecord* note = item.GetNote();
    const std::vector<std::pair<UINT, LPARAM>> expected = {
        {1670, 1}, {1666, static_cast<LPARAM>(note->databaseOid)}, {1665, static_cast<LPARAM>(note->recordOid)}};
    EXPECT_EQ(window.received, expected);
  }
  CPhatNotesSource::SetWindowFinder(nullptr, nullptr);

  // Delete: "no" keeps the note; "yes" removes it from the list and the database, the
  // row keeping its own reference.
  Removals listener;
  source.AddListener(&listener);
  PFN_PANEL_MESSAGE_HOOK old = SetPanelMessageHook(AnswerQuestion);
  g_question = Question();
  {
    CPhatNoteItem item(First(source), &source, nullptr);
    EXPECT_TRUE(item.OnCommand(1003));
    EXPECT_EQ(g_question.asked, 1);
    EXPECT_EQ(g_question.text, ResText(IDS_NOTE_DELETE_QUESTION));
    EXPECT_EQ(g_question.caption, L"Groceries");
    EXPECT_EQ(g_question.type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_NE(fixture.FlagsOf(db, oid), 0xFFFFFFFFu);
    EXPECT_TRUE(listener.events.empty());
    g_question.answer = IDYES;
    EXPECT_TRUE(item.OnCommand(1003));
    EXPECT_EQ(fixture.FlagsOf(db, oid), 0xFFFFFFFFu);
    EXPECT_EQ(listener.events, std::vector<std::wstring>{L"removed Groceries"});
    EXPECT_EQ(source.GetCount(), 0);
    EXPECT_STREQ(item.GetNote()->title, L"Groceries");
  }
  SetPanelMessageHook(old);
  source.RemoveListener(&listener);
}

// The preview shows the note's text in the viewer, which holds the note; a note with
// extra text is not previewed; the viewer's delete goes to the note's command handler.
TEST_F(PhatNoteRow, PreviewInTheNoteViewer) {
  CResourceLibraryScope resources;
  CLocalMachineSandbox machine{L"PhatNoteRow"};
  notetest::COwnerWindow owner;
  PhatNotesFixture fixture;
  HANDLE db = fixture.Database(L"phatnotes_preview");
  NoteFixture plain = Note(L"Plain", nullptr);
  plain.text = L"milk and eggs";
  const CEOID plainOid = fixture.Write(db, plain);
  NoteFixture drawn = Note(L"Drawn", nullptr);
  drawn.text = L"strokes";
  drawn.extra = L"ink";
  fixture.Write(db, drawn);
  CPhatNotesSource& source = GetPhatNotesSource();
  ASSERT_TRUE(source.Load(nullptr));
  CPhatNoteRecord* plainNote = nullptr;
  CPhatNoteRecord* drawnNote = nullptr;
  CPhatNoteRecord* note = nullptr;
  for (BOOL more = source.GetFirst(&note); more; more = source.GetNext(&note))
    (note->title == L"Plain" ? plainNote : drawnNote) = note;
  ASSERT_TRUE(plainNote && drawnNote);

  class CTestView : public CNoteViewWnd {
   public:
    using CNoteViewWnd::OnCommand;
  } viewer;
  CPhatNoteItem::SetViewer(&viewer);
  CPhatNoteItem::SetCommandWindow(owner.Handle());
  const RECT anchor = {10, 40, 200, 60};
  {
    CPhatNoteItem item(drawnNote, &source, nullptr);
    item.SetPreviewAnchor(anchor);
    EXPECT_TRUE(item.OnCommand(CPhatNoteItem::kCmdPreview));
    EXPECT_FALSE(viewer.m_hWnd && IsWindow(viewer.m_hWnd)) << "extra text: no preview";
    EXPECT_EQ(viewer.GetHeld(), nullptr);
  }
  {
    CPhatNoteItem item(plainNote, &source, nullptr);
    item.SetPreviewAnchor(anchor);
    EXPECT_TRUE(item.OnCommand(CPhatNoteItem::kCmdPreview));
    ASSERT_TRUE(viewer.m_hWnd && IsWindow(viewer.m_hWnd));
    EXPECT_EQ(viewer.GetMode(), CNoteViewWnd::kModePhatNote);
    EXPECT_EQ(viewer.GetHeld(), static_cast<CRefObject*>(plainNote));
    WCHAR caption[64] = {};
    GetWindowTextW(viewer.m_hWnd, caption, 64);
    EXPECT_STREQ(caption, L"Plain");
    WCHAR shown[64] = {};
    GetWindowTextW(viewer.GetControl(), shown, 64);
    EXPECT_STREQ(shown, L"milk and eggs");
  }
  // The viewer's delete button asks and deletes the held note.
  PFN_PANEL_MESSAGE_HOOK old = SetPanelMessageHook(AnswerQuestion);
  g_question = Question();
  g_question.answer = IDYES;
  EXPECT_TRUE(viewer.OnCommand(CNoteViewWnd::kCmdDelete));
  EXPECT_EQ(g_question.caption, L"Plain");
  EXPECT_EQ(fixture.FlagsOf(db, plainOid), 0xFFFFFFFFu);
  SetPanelMessageHook(old);
  if (viewer.m_hWnd) DestroyWindow(viewer.m_hWnd);
  CPhatNoteItem::SetViewer(nullptr);
  CPhatNoteItem::SetCommandWindow(nullptr);
  source.Unload();
}

}  // namespace
