#include "tabs/notes/NoteViewWnd.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <random>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "base/Translator.h"
#include "controls/PopupMenuTracker.h"
#include "controls/tests/TestHost.h"
#include "panel/PanelPrompt.h"
#include "platform/inkx/inkx.h"
#include "res/TarvoResIds.h"
#include "tabs/notes/NoteCommands.h"
#include "tabs/notes/NoteFile.h"
#include "tabs/notes/PhatNoteRecord.h"
#include "tabs/notes/tests/NoteTestSupport.h"

namespace {

using notetest::COwnerWindow;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
  return text;
}

std::wstring ResText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return static_cast<LPCWSTR>(text);
}

int ZoomOf(HWND control) {
  WPARAM numerator = 0;
  LPARAM denominator = 0;
  SendMessageW(control, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
  return denominator ? static_cast<int>(numerator * 100 / denominator) : 100;
}

// What a menu offered: each command's grayed state, the checked text-size command.
struct MenuSeen {
  std::vector<std::pair<UINT, bool>> items;  // command, enabled
  UINT checkedSize = 0;
  int sizeItems = 0;
  int calls = 0;
  UINT answer = 0;
};
MenuSeen g_menu;

int AnswerTextMenu(HMENU menu, UINT, int, int, HWND, void*) {
  ++g_menu.calls;
  g_menu.items.clear();
  g_menu.sizeItems = 0;
  for (const MenuEntry& entry : ReadMenu(menu)) {
    if (entry.popup) {
      for (const MenuEntry& size : entry.sub) {
        ++g_menu.sizeItems;
        if (size.checked) g_menu.checkedSize = static_cast<UINT>(size.id);
      }
    } else if (entry.id != 0) {
      g_menu.items.emplace_back(static_cast<UINT>(entry.id), !entry.grayed);
    }
  }
  return static_cast<int>(g_menu.answer);
}

UINT CALLBACK AnswerInkMenu(HMENU menu, POINT, HWND) {
  AnswerTextMenu(menu, 0, 0, 0, nullptr, nullptr);
  return g_menu.answer;
}

bool Enabled(UINT id) {
  for (const auto& item : g_menu.items)
    if (item.first == id) return item.second;
  ADD_FAILURE() << "no item " << id;
  return false;
}

void RightTap(HWND control) {
  SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  SendMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
}

class NoteView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources.Loaded());
    ASSERT_TRUE(machine.Redirected());
    ASSERT_NE(owner.Handle(), nullptr);
    g_menu = MenuSeen();
  }
  void TearDown() override {
    CPopupMenuTracker::SetHook(nullptr, nullptr);
    InkXTestSetMenuChooser(nullptr);
  }

  CResourceLibraryScope resources;
  CLocalMachineSandbox machine{L"NoteView"};
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  COwnerWindow owner;
  RECT anchor = {10, 40, 200, 60};
};

// What the text view was given: plain text as it is, RTF read as RTF, text that only
// looks like RTF as plain text, and text 334 for nothing.
TEST_F(NoteView, TextStreamedInAsRtfOrPlainText) {
  struct Case {
    const wchar_t* text;
    std::wstring shown;
  };
  const Case cases[] = {
      {L"Milk, eggs and bread", L"Milk, eggs and bread"},
      {L"{\\rtf1\\ansi Bold {\\b words} here}", L"Bold words here"},
      {L"{ not rtf } at all", L"{ not rtf } at all"},
      {L"{", L"{"},
      {L"Caf\x00e9 \x0416\x0443\x043a", L"Caf\x00e9 \x0416\x0443\x043a"},
      {L"", ResText(IDS_NOTE_VIEW_EMPTY)},
      {nullptr, ResText(IDS_NOTE_VIEW_EMPTY)},
  };
  ASSERT_FALSE(ResText(IDS_NOTE_VIEW_EMPTY).empty());
  CNoteViewWnd view;
  for (const Case& c : cases) {
    ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Shopping", c.text));
    WCHAR name[32] = {};
    GetClassNameW(view.GetControl(), name, 32);
    EXPECT_STREQ(name, L"RichInk");
    EXPECT_EQ(WindowText(view.GetControl()), c.shown) << (c.text ? c.text : L"(null)");
  }
  // The content lies below the title band, one pixel wider than the client area.
  RECT client;
  GetClientRect(view.m_hWnd, &client);
  EXPECT_EQ(view.GetContentRect().top, view.GetTitleHeight());
  EXPECT_EQ(view.GetContentRect().right, client.right + 1);
  DestroyWindow(view.m_hWnd);
}

// Texts of any content (RTF-looking or not, any characters) are shown, never lost:
// what RTF refuses comes in as plain text.
TEST_F(NoteView, FuzzedTextsAlwaysShown) {
  std::mt19937 random(59104);
  const wchar_t* starts[] = {L"{", L"{\\rtf1 ", L"{\\rtf", L"", L"\\"};
  CNoteViewWnd view;
  for (int i = 0; i < 300; ++i) {
    std::wstring text = starts[random() % 5];
    const size_t length = random() % 120;
    for (size_t k = 0; k < length; ++k) {
      const wchar_t pool[] = L"{}\\abc rtf1\r\n\x00e9\x4e2d";
      text += (random() % 4) ? pool[random() % (ARRAYSIZE(pool) - 1)] : static_cast<wchar_t>(0x20 + random() % 0x2000);
    }
    ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Fuzz", text.c_str())) << i;
    if (text.rfind(L"{\\rtf", 0) != 0 && !text.empty()) {
      // Not RTF: the text as given (the control keeps its own line ends).
      std::wstring shown = WindowText(view.GetControl());
      EXPECT_FALSE(shown.empty()) << i;
    }
  }
  DestroyWindow(view.m_hWnd);
}

// Each kind takes its own zoom row; a text-size command stores the level's percentage
// and sends it to the control.
TEST_F(NoteView, ZoomOfTheRowAndTextSizeCommands) {
  product.WriteDWORD(L"Zoom_TextNotes", 120);
  product.WriteDWORD(L"Zoom_InkNotes", 135);
  CNoteViewWnd view;
  ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Text", L"words"));
  EXPECT_EQ(view.GetZoomRow(), 2);
  EXPECT_EQ(ZoomOf(view.GetControl()), 120);

  CPopupMenuTracker::SetHook(AnswerTextMenu, nullptr);
  g_menu.answer = 1900;
  RightTap(view.GetControl());
  ASSERT_EQ(g_menu.calls, 1);
  EXPECT_EQ(g_menu.checkedSize, 1902u);  // 120 is level 2 of the text row
  EXPECT_EQ(g_menu.sizeItems, 5);
  DWORD stored = 0;
  ASSERT_TRUE(product.ReadDWORD(L"Zoom_TextNotes", stored));
  EXPECT_EQ(stored, 150u);
  EXPECT_EQ(ZoomOf(view.GetControl()), 150);

  const BYTE bytes[] = {'i', 'n', 'k', 0, 1, 2};
  NOTE_INK_DATA ink = {sizeof bytes, bytes};
  ASSERT_TRUE(view.ShowInk(owner.Handle(), anchor, L"Ink", &ink, FALSE, nullptr));
  EXPECT_EQ(view.GetZoomRow(), 1);
  EXPECT_EQ(ZoomOf(view.GetKeyWindow()), 135);
  ASSERT_TRUE(product.ReadDWORD(L"Zoom_TextNotes", stored));
  EXPECT_EQ(stored, 150u);
  DestroyWindow(view.m_hWnd);
}

// The text view's menu: editing entries off, copy only with a selection, select all
// and copy act on the control.
TEST_F(NoteView, TextMenuStates) {
  CNoteViewWnd view;
  ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Text", L"Some words to copy"));
  CPopupMenuTracker::SetHook(AnswerTextMenu, nullptr);
  g_menu.answer = IDM_NOTE_VIEW_SELECT_ALL;
  RightTap(view.GetControl());
  ASSERT_EQ(g_menu.calls, 1);
  for (UINT id : {IDM_NOTE_VIEW_UNDO, IDM_NOTE_VIEW_CUT, IDM_NOTE_VIEW_PASTE, IDM_NOTE_VIEW_CLEAR, IDM_NOTE_VIEW_COPY})
    EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(IDM_NOTE_VIEW_SELECT_ALL));
  CHARRANGE selection = {};
  SendMessageW(view.GetControl(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  EXPECT_EQ(selection.cpMin, 0);
  EXPECT_GE(selection.cpMax, 18);

  g_menu.answer = IDM_NOTE_VIEW_COPY;
  RightTap(view.GetControl());
  ASSERT_EQ(g_menu.calls, 2);
  EXPECT_TRUE(Enabled(IDM_NOTE_VIEW_COPY));
  ASSERT_TRUE(OpenClipboard(owner.Handle()));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), L"Some words to copy");
  GlobalUnlock(data);
  CloseClipboard();
  DestroyWindow(view.m_hWnd);
}

// The ink view: its own copy of the data in InkX; InkX's own menu with its editing
// entries off and the text-size submenu, whose choice zooms the control.
TEST_F(NoteView, InkCopiedShownAndItsMenuAdjusted) {
  product.WriteDWORD(L"Zoom_InkNotes", 95);
  std::vector<BYTE> bytes = {0xFF, 0xFE, 'h', 0, 'i', 0};
  NOTE_INK_DATA ink = {static_cast<DWORD>(bytes.size()), bytes.data()};
  CNoteViewWnd view;
  ASSERT_TRUE(view.ShowInk(owner.Handle(), anchor, L"Ink", &ink, FALSE, nullptr));
  bytes[2] = 'X';
  ASSERT_EQ(view.GetInkLength(), 6u);
  EXPECT_EQ(view.GetInkData()[2], 'h');
  BYTE kept[16] = {};
  ASSERT_EQ(InkXTestGetData(view.GetControl(), kept, sizeof kept), 6u);
  EXPECT_EQ(kept[2], 'h');
  EXPECT_EQ(GetParent(view.GetKeyWindow()), view.GetControl());
  EXPECT_EQ(GetFocus(), view.GetKeyWindow());

  InkXTestSetMenuChooser(AnswerInkMenu);
  g_menu.answer = 1901;
  RightTap(view.GetKeyWindow());
  ASSERT_EQ(g_menu.calls, 1);
  for (UINT id : {IDM_INKX_UNDO, IDM_INKX_CUT, IDM_INKX_PASTE, IDM_INKX_CLEAR}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_EQ(g_menu.sizeItems, 5);
  EXPECT_EQ(g_menu.checkedSize, 1904u);  // 95 is the ink row's smallest level
  DWORD stored = 0;
  ASSERT_TRUE(product.ReadDWORD(L"Zoom_InkNotes", stored));
  EXPECT_EQ(stored, 135u);
  EXPECT_EQ(ZoomOf(view.GetKeyWindow()), 135);

  // No data: an empty control.
  ASSERT_TRUE(view.ShowInk(owner.Handle(), anchor, L"Ink", nullptr, FALSE, nullptr));
  EXPECT_EQ(view.GetInkLength(), 0u);
  EXPECT_EQ(InkXTestGetData(view.GetControl(), kept, sizeof kept), 0u);
  DestroyWindow(view.m_hWnd);
}

// Left, right, enter and key 117 go on to the owner (down and up); up and down page
// the control; cut and paste never reach it.
TEST_F(NoteView, KeysForwardedPagedOrSwallowed) {
  std::wstring lines;
  for (int i = 0; i < 200; ++i) lines += L"line " + std::to_wstring(i) + L"\r\n";
  CNoteViewWnd view;
  for (int kind = 0; kind < 2; ++kind) {
    if (kind == 0) {
      ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Text", lines.c_str()));
    } else {
      std::string ansi(lines.begin(), lines.end());
      NOTE_INK_DATA ink = {static_cast<DWORD>(ansi.size()), reinterpret_cast<const BYTE*>(ansi.data())};
      ASSERT_TRUE(view.ShowInk(owner.Handle(), anchor, L"Ink", &ink, FALSE, nullptr));
    }
    HWND keys = view.GetKeyWindow();
    ASSERT_NE(keys, nullptr);
    owner.TakeKeys();
    for (WPARAM key : {static_cast<WPARAM>(VK_LEFT), static_cast<WPARAM>(VK_RIGHT), static_cast<WPARAM>(VK_RETURN),
                       static_cast<WPARAM>(117)}) {
      SendMessageW(keys, WM_KEYDOWN, key, 1);
      SendMessageW(keys, WM_KEYUP, key, 0xC0000001);
    }
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_LEFT},   {WM_KEYUP, VK_LEFT},   {WM_KEYDOWN, VK_RIGHT}, {WM_KEYUP, VK_RIGHT},
        {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, 117},      {WM_KEYUP, 117}};
    EXPECT_EQ(owner.TakeKeys(), expected) << kind;

    const int top = static_cast<int>(SendMessageW(keys, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(keys, WM_KEYDOWN, VK_DOWN, 1);
    const int paged = static_cast<int>(SendMessageW(keys, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(paged, top + 1) << kind;
    SendMessageW(keys, WM_KEYDOWN, VK_UP, 1);
    EXPECT_LT(SendMessageW(keys, EM_GETFIRSTVISIBLELINE, 0, 0), paged) << kind;
    EXPECT_TRUE(owner.TakeKeys().empty()) << kind;

    // Made writable, the control would take a cut and a paste; the viewer keeps them out.
    SendMessageW(keys, EM_SETREADONLY, FALSE, 0);
    SendMessageW(keys, EM_SETSEL, 0, -1);
    const std::wstring before = WindowText(keys);
    SendMessageW(keys, WM_CUT, 0, 0);
    SendMessageW(keys, WM_PASTE, 0, 0);
    EXPECT_EQ(SendMessageW(keys, CNoteViewWnd::kMsgSwallowed, 0, 0), 0);
    EXPECT_EQ(WindowText(keys), before) << kind;
  }
  DestroyWindow(view.m_hWnd);
}

// A held note gives open and delete buttons whose commands run on the note; nothing
// held, no buttons. The record is held once and let go when the window goes.
TEST_F(NoteView, HeldNoteButtonsCommandsAndRelease) {
  class CTestView : public CNoteViewWnd {
   public:
    using CNoteViewWnd::OnCommand;
  };
  struct Requests : INoteRequests {
    std::vector<std::wstring> opened;
    BOOL OpenDocument(LPCWSTR path, int) override {
      opened.push_back(path);
      return TRUE;
    }
    BOOL OpenItemByPath(LPCWSTR, int, BOOL) override { return TRUE; }
    BOOL OnDocListCommand(UINT, LPCWSTR) override { return TRUE; }
  } requests;
  INoteRequests* previous = SetNoteRequests(&requests);

  CNoteFile* note = CNoteFile::New();
  note->fullPath = L"\\My Documents\\Shopping.txt";
  note->name = L"Shopping";
  note->type = NOTE_TYPE_TEXT;
  CTestView view;
  ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Nothing held", L"x"));
  EXPECT_EQ(view.GetMode(), CNoteViewWnd::kModeNothing);
  EXPECT_EQ(view.GetToolButtonCount(), 0);

  view.HoldNote(note);
  EXPECT_EQ(note->GetRefCount(), 2);
  EXPECT_EQ(view.GetMode(), CNoteViewWnd::kModeNoteFile);
  ASSERT_TRUE(view.ShowText(owner.Handle(), anchor, L"Shopping", L"milk"));
  EXPECT_EQ(note->GetRefCount(), 2);
  ASSERT_EQ(view.GetToolButtonCount(), 2);
  EXPECT_EQ(view.GetToolCommand(0), 1001u);
  EXPECT_EQ(view.GetToolCommand(1), 1003u);

  EXPECT_TRUE(view.OnCommand(1001));
  EXPECT_EQ(requests.opened, std::vector<std::wstring>{L"\\My Documents\\Shopping.txt"});
  EXPECT_TRUE(ctltest::PumpUntil([&] { return view.IsClosed() != FALSE; }));
  EXPECT_EQ(note->GetRefCount(), 1);
  EXPECT_EQ(view.GetMode(), CNoteViewWnd::kModeNothing);

  note->Release();
  // A PhatNotes note: its commands go to its own handler (here a delete declined).
  CPhatNoteRecord* phatNote = new CPhatNoteRecord();
  phatNote->CRefObjectCounted();
  phatNote->title = L"Phat";
  view.HoldPhatNote(phatNote);
  EXPECT_EQ(view.GetMode(), CNoteViewWnd::kModePhatNote);
  static int asked = 0;
  PFN_PANEL_MESSAGE_HOOK oldHook = SetPanelMessageHook([](HWND, LPCWSTR, LPCWSTR, UINT) {
    ++asked;
    return IDNO;
  });
  EXPECT_TRUE(view.OnCommand(1003));
  EXPECT_EQ(asked, 1);
  SetPanelMessageHook(oldHook);
  view.Release();
  EXPECT_EQ(phatNote->GetRefCount(), 1);
  EXPECT_EQ(view.GetHeld(), nullptr);
  phatNote->Release();
  SetNoteRequests(previous);
}

// The default size opens rightwards and downwards from the anchor; negative sizes
// leftwards from its right edge and upwards from its top.
TEST_F(NoteView, PlacedByTheSignOfTheDefaultSize) {
  struct Case {
    int width, height;
    RECT expected;
  };
  const RECT at = {50, 60, 100, 80};
  const Case cases[] = {
      {170, 150, {50, 80, 220, 230}},
      {-170, -150, {-70, -90, 100, 60}},
      {-170, 150, {-70, 80, 100, 230}},
      {170, -150, {50, -90, 220, 60}},
  };
  for (const Case& c : cases) {
    const RECT r = CNoteViewWnd::PlaceAtAnchor(at, c.width, c.height);
    EXPECT_TRUE(EqualRect(&r, &c.expected)) << c.width << "x" << c.height << ": " << r.left << "," << r.top << ","
                                            << r.right << "," << r.bottom;
  }
  CNoteViewWnd view;
  view.SetDefaultSize(-120, -100);
  const RECT low = {150, 250, 230, 270};
  ASSERT_TRUE(view.ShowText(owner.Handle(), low, L"Up", L"x"));
  RECT placed;
  GetWindowRect(view.m_hWnd, &placed);
  EXPECT_EQ(placed.right, 230);
  EXPECT_EQ(placed.bottom, 250);
  EXPECT_EQ(placed.right - placed.left, 120);
  DestroyWindow(view.m_hWnd);
}

}  // namespace
