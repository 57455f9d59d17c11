#include "tabs/notes/PhatNoteItem.h"

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "graphics/TextLayout.h"
#include "panel/PanelPrompt.h"
#include "res/TarvoResIds.h"
#include "tabs/notes/NoteRowDrawing.h"
#include "tabs/notes/NoteText.h"
#include "tabs/notes/NoteViewWnd.h"
#include "tabs/notes/PhatNoteRecord.h"
#include "tabs/notes/PhatNotesSource.h"

namespace {

HWND g_commandWindow = nullptr;
CNoteViewWnd* g_viewer = nullptr;

CFontInfo* ListFontInfo() {
  CFontCache* fonts = GetFontCache();
  return fonts ? fonts->GetStyleFont(0, FALSE) : nullptr;
}

HFONT ListFont() {
  if (CFontInfo* info = ListFontInfo())
    if (info->GetFont()) return info->GetFont();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE IconSize(int icon) {
  SIZE size = CSkin::Instance().GetIconSize(icon);
  if (size.cx <= 0 || size.cy <= 0) size = {ScaleX(16), ScaleY(16)};
  return size;
}

void AppendCommand(HMENU menu, UINT command, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_STRING, command, text);
}

void AppendSubmenu(HMENU menu, HMENU sub, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
}

// The colour choices in menu order (commands 1430-1434) and the markers they set.
const UINT kColourTexts[] = {IDS_PHATNOTE_COLOUR_PINK, IDS_PHATNOTE_COLOUR_WHITE, IDS_PHATNOTE_COLOUR_YELLOW,
                              IDS_PHATNOTE_COLOUR_GREEN, IDS_PHATNOTE_COLOUR_BLUE};
const DWORD kColourMarkers[] = {0x40000, 0x80000, 0, 0x20000, 0x10000};

}  // namespace

void CPhatNoteItem::SetCommandWindow(HWND window) { g_commandWindow = window; }
void CPhatNoteItem::SetViewer(CNoteViewWnd* viewer) { g_viewer = viewer; }

BOOL RunPhatNoteCommand(CPhatNotesSource& source, CPhatNoteRecord* note, UINT command, HWND owner) {
  if (!note) return FALSE;
  switch (command) {
    case CPhatNoteItem::kCmdOpen:
    case CPhatNoteItem::kCmdEdit:
      source.OpenInPhatNotes(note->recordOid, note->databaseOid);
      return TRUE;
    case CPhatNoteItem::kCmdDelete: {
      CString question;
      LoadTranslatedString(question, IDS_NOTE_DELETE_QUESTION);
      if (ShowPanelMessage(owner, question, note->title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        source.DeleteNote(note);
      return TRUE;
    }
    case CPhatNoteItem::kCmdPriorityLow:
    case CPhatNoteItem::kCmdPriorityNone:
    case CPhatNoteItem::kCmdPriorityHigh:
      source.SetPriority(note, static_cast<int>(command) - static_cast<int>(CPhatNoteItem::kCmdPriorityNone));
      return TRUE;
    default:
      if (command >= CPhatNoteItem::kCmdColourFirst && command <= CPhatNoteItem::kCmdColourLast) {
        source.SetColour(note, static_cast<int>(command - CPhatNoteItem::kCmdColourFirst));
        return TRUE;
      }
      return FALSE;
  }
}

CPhatNoteItem::CPhatNoteItem(CPhatNoteRecord* note, CPhatNotesSource* source, IListItemOwner* owner)
    : CPimListItem(owner), m_note(note), m_source(source) {
  if (m_note) m_note->AddRef();
}

CPhatNoteItem::~CPhatNoteItem() {
  if (m_note) m_note->Release();
}

void CPhatNoteItem::SetMatch(int start, int length, BOOL rightToLeft) {
  m_matchStart = start;
  m_matchLength = length;
  m_matchRightToLeft = rightToLeft;
  m_laidOut = FALSE;
  SetSize(GetWidth(), GetContentWidth(), 0, TRUE);
}

int CPhatNoteItem::Layout() {
  m_laidOut = TRUE;
  m_icons.clear();
  m_titlePieces.Clear();
  if (!m_note) return 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC screen = GetDC(nullptr);
  CFontInfo* font = ListFontInfo();
  CTextLayout layout;
  layout.SetDC(screen);
  layout.SetFont(font);
  layout.SetCachedWidths(FALSE);
  int lineHeight = font ? font->GetHeight() : 0;
  if (lineHeight <= 0) lineHeight = ScaleY(13);

  // The colour marker ends at the icon column's right edge.
  const int column = ScaleX(m_indented ? 24 : 16);
  const int marker = m_note->ColourIcon();
  const SIZE markerSize = IconSize(marker);
  m_icons.push_back({L'n', marker, {column - markerSize.cx, 0, column, markerSize.cy}});

  int right = width;
  if (GetViewSettings().NoteDrawTime) {
    m_dateText = FormatNoteDate(m_note->modified);
    m_dateRect = {right - m_dateWidth, 0, right, lineHeight};
    right -= m_dateWidth;
  } else {
    m_dateText.Empty();
    m_dateRect = RECT{};
  }
  m_titleRect = {column, 0, std::max(column, right - ScaleX(4)), lineHeight};

  // The other icons follow the title inside its rectangle.
  const int trailing[] = {m_note->extraText.IsEmpty() ? 0 : 5, m_note->PriorityIcon(), m_note->marker ? 4 : 0};
  const WCHAR codes[] = {L's', L'p', L'r'};
  for (int i = 0; i < 3; ++i) {
    if (!trailing[i]) continue;
    const SIZE size = IconSize(trailing[i]);
    layout.AddBox(size.cx, size.cy);
    m_icons.push_back({codes[i], trailing[i], RECT{}});
  }
  m_title = m_note->title;
  CString shown = m_title;
  RECT title = m_titleRect;
  if (font) {
    layout.Layout(shown, title, TRUE);
    for (size_t i = 1; i < m_icons.size() && static_cast<int>(i - 1) < layout.GetBoxCount(); ++i)
      m_icons[i].rect = layout.GetBox(static_cast<int>(i - 1));
  } else {
    // Without the list fonts the icons stand from the title's left edge.
    int x = title.left;
    for (size_t i = 1; i < m_icons.size(); ++i) {
      const SIZE size = IconSize(m_icons[i].icon);
      m_icons[i].rect = {x, title.top, x + size.cx, title.top + size.cy};
      x += size.cx;
    }
  }
  int bottom = std::max(static_cast<int>(m_titleRect.bottom), static_cast<int>(title.bottom));
  for (const Icon& icon : m_icons) bottom = std::max(bottom, static_cast<int>(icon.rect.bottom));
  m_titleRect.bottom = bottom;
  // The title's text ends where its first icon begins.
  m_textRect = {m_titleRect.left, 0, m_titleRect.right, lineHeight};
  if (m_icons.size() > 1 && m_icons[1].rect.left > m_textRect.left && m_icons[1].rect.top < lineHeight)
    m_textRect.right = std::min(m_textRect.right, m_icons[1].rect.left);

  m_titlePieces.Split(m_title, m_matchStart, m_matchLength, m_matchRightToLeft);
  m_titlePieces.Place(m_textRect, lineHeight, [&layout](LPCWSTR piece) {
    RECT measured = {0, 0, 0, 0};
    layout.MeasureLine(piece, measured);
    return static_cast<int>(measured.right - measured.left);
  });
  ReleaseDC(nullptr, screen);

  const int height = m_titleRect.bottom - m_titleRect.top;
  if (m_lastHeight != 0 && height != m_lastHeight && m_pOwner) m_pOwner->OnItemChanged(this);
  m_lastHeight = height;
  return height;
}

void CPhatNoteItem::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_note) return;
  const int height = GetHeight(-1);
  if (!m_laidOut) Layout();
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  FillSelectedNoteRow(context, *origin, width, height, m_bSelected);
  auto shifted = [origin](const RECT& r) { return ShiftedNoteRect(r, *origin); };
  for (const Icon& icon : m_icons) {
    const RECT at = shifted(icon.rect);
    CSkin::Instance().DrawIcon(icon.icon, context->GetTarget(), at.left, at.top, dc);
  }
  const COLORREF text = colors.Get(m_bSelected ? 4 : 3);
  HFONT oldFont = context->SetFont(ListFont());
  COLORREF oldColor = context->SetTextColor(text);
  context->SetBkMode(TRANSPARENT);
  m_titlePieces.Draw(context, *origin, m_bSelected, m_title, m_textRect);
  if (!m_dateText.IsEmpty()) {
    RECT r = shifted(m_dateRect);
    context->AddText(m_dateText, &r, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
}

BOOL CPhatNoteItem::OnPress(POINT* point) {
  if (point && m_note && !m_icons.empty() && PtInRect(&m_icons[0].rect, *point)) {
    if (m_pOwner) m_pOwner->OnItemNotify(this, kCmdPreview);
    return TRUE;
  }
  return CPimListItem::OnPress(point);
}

void CPhatNoteItem::BuildMenu(HMENU menu) {
  if (!menu || !m_note) return;
  AppendCommand(menu, kCmdOpen, IDS_NOTE_MENU_OPEN);
  HMENU edit = CreatePopupMenu();
  HMENU priority = CreatePopupMenu();
  HMENU colour = CreatePopupMenu();
  if (edit && priority && colour) {
    AppendCommand(priority, kCmdPriorityHigh, IDS_TASK_IMPORTANCE_HIGH);
    AppendCommand(priority, kCmdPriorityNone, IDS_TASK_IMPORTANCE_NORMAL);
    AppendCommand(priority, kCmdPriorityLow, IDS_TASK_IMPORTANCE_LOW);
    const DWORD level = m_note->flags & CPhatNoteRecord::kPriorityMask;
    UINT current = 0;
    if (level == CPhatNoteRecord::kPriorityLow) current = kCmdPriorityLow;
    else if (level == CPhatNoteRecord::kPriorityHigh) current = kCmdPriorityHigh;
    else if (level == 0) current = kCmdPriorityNone;
    if (current) CheckMenuRadioItem(priority, kCmdPriorityLow, kCmdPriorityHigh, current, MF_BYCOMMAND);
    AppendSubmenu(edit, priority, IDS_SORT_IMPORTANCE);
    priority = nullptr;
    for (UINT i = 0; i < ARRAYSIZE(kColourTexts); ++i) AppendCommand(colour, kCmdColourFirst + i, kColourTexts[i]);
    const DWORD marker = m_note->flags & CPhatNoteRecord::kColourMask;
    for (UINT i = 0; i < ARRAYSIZE(kColourMarkers); ++i)
      if (marker == kColourMarkers[i])
        CheckMenuRadioItem(colour, kCmdColourFirst, kCmdColourLast, kCmdColourFirst + i, MF_BYCOMMAND);
    AppendSubmenu(edit, colour, IDS_PHATNOTE_COLOUR_MENU);
    colour = nullptr;
    AppendCommand(edit, kCmdDelete, IDS_NOTE_MENU_DELETE);
    AppendSubmenu(menu, edit, IDS_MENU_EDIT_GROUP);
    edit = nullptr;
  }
  for (HMENU left : {edit, priority, colour})
    if (left) DestroyMenu(left);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendCommand(menu, kCmdSettings, IDS_SETTINGS);
}

BOOL CPhatNoteItem::Preview(CNoteViewWnd& viewer, HWND parent, const RECT& anchor) {
  if (!m_note || !m_source || !m_note->extraText.IsEmpty()) return FALSE;
  CString text;
  if (!m_source->ReadText(m_note, text)) return FALSE;
  if (!viewer.ShowText(parent, anchor, m_note->title, text)) return FALSE;
  viewer.HoldPhatNote(m_note);
  return TRUE;
}

BOOL CPhatNoteItem::OnCommand(UINT command) {
  // The tab's own command.
  if (!m_note || !m_source || command == kCmdSettings) return FALSE;
  if (command == kCmdPreview) {
    if (g_viewer) Preview(*g_viewer, g_commandWindow, m_anchor);
    return TRUE;
  }
  // The command may drop the source's reference; the row's keeps the note alive.
  CPhatNoteRecord* note = m_note;
  note->AddRef();
  const BOOL handled = RunPhatNoteCommand(*m_source, note, command, g_commandWindow);
  note->Release();
  return handled;
}
