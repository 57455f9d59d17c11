#include "tabs/notes/NoteItem.h"

#include <algorithm>

#include "base/CeDbApi.h"
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/SizeText.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/Bitmap.h"
#include "graphics/FontCache.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "pim/PimAddins.h"
#include "tabs/notes/NoteCommands.h"
#include "tabs/notes/NoteFile.h"
#include "tabs/notes/NoteRowDrawing.h"
#include "tabs/notes/NoteRowTitle.h"
#include "tabs/notes/NoteText.h"

namespace {

HWND g_commandWindow = nullptr;

HFONT ListFont() {
  if (CFontCache* fonts = GetFontCache())
    if (CFontInfo* info = fonts->GetStyleFont(0, FALSE))
      if (info->GetFont()) return info->GetFont();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Width and height of a text in the list font (a line's height for an empty text).
SIZE MeasureText(LPCWSTR text) {
  SIZE size = {0, 0};
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, ListFont());
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  if (text && *text) GetTextExtentPoint32W(screen, text, lstrlenW(text), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  size.cy = metrics.tmHeight > 0 ? metrics.tmHeight : ScaleY(13);
  return size;
}

void AppendCommand(HMENU menu, UINT command, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_STRING, command, text);
}

void AppendSubmenu(HMENU menu, HMENU sub, UINT textId) {
  if (!sub) return;
  if (GetMenuItemCount(sub) <= 0) {
    DestroyMenu(sub);
    return;
  }
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
}

// Icons that a tap opens at once (ink, voice, text and word notes).
BOOL IsTapIcon(int icon) { return (icon >= 13 && icon <= 16) || (icon >= 35 && icon <= 38); }

}  // namespace

void CNoteItem::SetCommandWindow(HWND window) { g_commandWindow = window; }

CNoteItem::CNoteItem(CNoteFile* note, IListItemOwner* owner) : CPimListItem(owner), m_note(note) {
  if (m_note) m_note->AddRef();
}

CNoteItem::~CNoteItem() {
  if (m_note) m_note->Release();
}

DWORD_PTR CNoteItem::GetUserData() {
  if (m_id == 0 && m_note) m_id = HashWideString(m_note->fullPath);
  return m_id;
}

int CNoteItem::IconIndex(int type, BOOL onStorageCard, int iconCount) {
  int icon = 0;
  switch (type) {
    case NOTE_TYPE_INK: icon = onStorageCard ? 15 : 13; break;
    case NOTE_TYPE_VOICE: icon = onStorageCard ? 16 : 14; break;
    case NOTE_TYPE_TEXT: icon = onStorageCard ? 38 : 37; break;
    case NOTE_TYPE_WORD:
    case NOTE_TYPE_RICH_TEXT: icon = onStorageCard ? 36 : 35; break;
    case NOTE_TYPE_PICTURE: icon = onStorageCard ? 41 : 40; break;
    case NOTE_TYPE_SHEET: icon = onStorageCard ? 43 : 42; break;
    default: icon = onStorageCard ? 44 : 45; break;
  }
  return icon < iconCount ? icon : 0;
}

void CNoteItem::RefreshTexts() {
  if (m_note) {
    m_note->sizeText.Empty();
    m_note->dateText.Empty();
  }
  m_laidOut = FALSE;
  SetSize(GetWidth(), GetContentWidth(), 0, TRUE);
}

void CNoteItem::MeasureColumns(int* dateWidth, int* sizeWidth) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  SYSTEMTIME lateToday = now;
  lateToday.wHour = 23;
  lateToday.wMinute = 59;
  lateToday.wSecond = 0;
  lateToday.wMilliseconds = 0;
  SYSTEMTIME yearEnd = lateToday;
  yearEnd.wMonth = 12;
  yearEnd.wDay = now.wMonth == 12 && now.wDay == 31 ? 30 : 31;
  double late = 0, end = 0;
  SystemTimeToVariantDate(lateToday, &late);
  SystemTimeToVariantDate(yearEnd, &end);
  const int widest = std::max(MeasureText(FormatNoteDate(late)).cx, MeasureText(FormatNoteDate(end)).cx);
  if (dateWidth) *dateWidth = widest * 12 / 10;
  if (sizeWidth) *sizeWidth = MeasureText(FormatSizeText(10000, SIZE_TEXT_BYTES)).cx * 12 / 10;
}

int CNoteItem::Layout() {
  m_laidOut = TRUE;
  m_titlePieces.Clear();
  if (!m_note) return 0;
  const CViewSettings& settings = GetViewSettings();
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  const int lineHeight = MeasureText(nullptr).cy;

  // The icon ends 2 pixels before its column's edge.
  const int column = ScaleX(m_indented ? 24 : 16);
  m_icon = IconIndex(m_note->type, m_note->onStorageCard, CSkin::Instance().GetIconCount());
  SIZE icon = CSkin::Instance().GetIconSize(m_icon);
  if (icon.cx <= 0 || icon.cy <= 0) icon = {ScaleX(16), ScaleY(16)};
  m_iconRect = {column - ScaleX(2) - icon.cx, 0, column - ScaleX(2), icon.cy};

  m_title = m_note->name;
  if (m_note->sizeText.IsEmpty())
    m_note->sizeText =
        FormatSizeText(m_note->sizeValue, m_note->type == NOTE_TYPE_VOICE ? SIZE_TEXT_MILLISECONDS : SIZE_TEXT_BYTES);
  if (m_note->dateText.IsEmpty()) m_note->dateText = FormatNoteDate(m_note->modified);
  int right = width;
  if (settings.NoteDrawSize) {
    m_sizeText = m_note->sizeText;
    m_sizeRect = {right - m_sizeWidth, 0, right, lineHeight};
    right -= m_sizeWidth;
  } else {
    m_sizeText.Empty();
    m_sizeRect = RECT{};
  }
  if (settings.NoteDrawTime) {
    m_dateText = m_note->dateText;
    m_dateRect = {right - m_dateWidth, 0, right, lineHeight};
    right -= m_dateWidth;
  } else {
    m_dateText.Empty();
    m_dateRect = RECT{};
  }
  m_titleRect = {column, 0, std::max(column, right - ScaleX(4)), lineHeight};

  m_titlePieces.Split(m_title, m_note->matchStart, m_note->matchLength, m_note->matchFlag);
  m_titlePieces.Place(m_titleRect, lineHeight, [](LPCWSTR piece) { return static_cast<int>(MeasureText(piece).cx); });

  const int height = m_titleRect.bottom - m_titleRect.top;
  if (m_lastHeight != 0 && height != m_lastHeight && m_pOwner) m_pOwner->OnItemChanged(this);
  m_lastHeight = height;
  return height;
}

void CNoteItem::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_note) return;
  const int height = GetHeight(-1);
  if (!m_laidOut) Layout();
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  FillSelectedNoteRow(context, *origin, width, height, m_bSelected);
  auto shifted = [origin](const RECT& r) { return ShiftedNoteRect(r, *origin); };
  const RECT iconAt = shifted(m_iconRect);
  CSkin::Instance().DrawIcon(m_icon, context->GetTarget(), iconAt.left, iconAt.top, dc);
  const COLORREF text = colors.Get(m_bSelected ? 4 : 3);
  HFONT oldFont = context->SetFont(ListFont());
  COLORREF oldColor = context->SetTextColor(text);
  context->SetBkMode(TRANSPARENT);
  m_titlePieces.Draw(context, *origin, m_bSelected, m_title, m_titleRect);
  if (!m_sizeText.IsEmpty()) {
    RECT r = shifted(m_sizeRect);
    context->AddText(m_sizeText, &r, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
  }
  if (!m_dateText.IsEmpty()) {
    RECT r = shifted(m_dateRect);
    context->AddText(m_dateText, &r, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
}

BOOL CNoteItem::OnPress(POINT* point) {
  if (point && m_note && IsTapIcon(m_icon) && PtInRect(&m_iconRect, *point)) {
    if (m_pOwner) m_pOwner->OnItemNotify(this, NOTE_CMD_TAP_ICON);
    return TRUE;
  }
  return CPimListItem::OnPress(point);
}

void CNoteItem::BuildMenu(HMENU menu) {
  if (!menu || !m_note) return;
  AppendCommand(menu, NOTE_CMD_OPEN, 146);
  HMENU file = CreatePopupMenu();
  if (file) {
    AppendCommand(file, NOTE_CMD_COPY, 131);
    AppendCommand(file, NOTE_CMD_SAVE_AS, 156);
    AppendCommand(file, NOTE_CMD_DELETE, 148);
    AppendSubmenu(menu, file, 13);
  }
  const int type = m_note->type;
  if (type == NOTE_TYPE_INK || type == NOTE_TYPE_VOICE || type == NOTE_TYPE_TEXT ||
      (type == NOTE_TYPE_WORD && !IsNewerStore())) {
    HMENU send = CreatePopupMenu();
    if (send) {
      AppendCommand(send, 1405, 208);
      AppendCommand(send, 1404, 209);
      AppendCommand(send, 1406, 210);
      if (type == NOTE_TYPE_VOICE) AppendCommand(send, NOTE_CMD_TO_INK, 212);
      AppendSubmenu(menu, send, 211);
    }
  }
  HMENU tools = CreatePopupMenu();
  if (tools) {
    AppendPimAddinMenu(3, tools, m_note->objectId, nullptr);
    AppendSubmenu(menu, tools, 32782);
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendCommand(menu, NOTE_CMD_SETTINGS, 15);
}

BOOL CNoteItem::OnCommand(UINT command) {
  // The tab's own command.
  if (!m_note || command == NOTE_CMD_SETTINGS) return FALSE;
  return RunNoteCommand(m_note, command, g_commandWindow);
}
