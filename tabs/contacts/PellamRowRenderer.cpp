#include "tabs/contacts/PellamRowRenderer.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "panel/PanelPrompt.h"
#include "tabs/contacts/PellamTransactionItem.h"

namespace {

const int kLeftColumn = 32, kWideLeftColumn = 40;
const UINT kFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT;

SIZE IconSize(int id) {
  SIZE size = CSkin::Instance().GetIconSize(id);
  if (size.cx <= 0 || size.cy <= 0) size = {ScaleX(16), ScaleY(16)};
  return size;
}

// The list font's line height and a text's width in it.
SIZE MeasureText(const CString& text) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, GetControlListFont());
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  SIZE size = {0, metrics.tmHeight > 0 ? metrics.tmHeight : ScaleY(13)};
  if (!text.IsEmpty()) {
    RECT r = {0, 0, 0, 0};
    DrawTextW(screen, text, text.GetLength(), &r, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    size.cx = r.right - r.left;
  }
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size;
}

}  // namespace

CPellamRowRenderer::CPellamRowRenderer(CPellamTransactionItem* item, IListItemOwner* owner, int mode, BOOL wide)
    : CPimListItem(owner),
      m_item(item),
      m_mode(mode),
      m_wide(wide),
      m_firstRect(),
      m_secondRect(),
      m_iconRect(),
      m_reminderRect() {
  if (m_item) m_item->AddRef();
}

CPellamRowRenderer::~CPellamRowRenderer() {
  if (m_item) m_item->Release();
}

int CPellamRowRenderer::Layout() {
  m_firstLine.Empty();
  m_firstRect = m_secondRect = m_iconRect = m_reminderRect = RECT{};
  if (!m_item) return 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  m_firstLine = m_item->m_first;
  if (m_mode == kModeDate) {
    SYSTEMTIME day = {};
    CString date;
    if (VariantDateToSystemTime(m_item->m_date, &day)) FormatShortDate(date, day);
    m_firstLine.Format(L"%s: %s", static_cast<LPCWSTR>(date), static_cast<LPCWSTR>(m_item->m_first));
  }
  const SIZE first = MeasureText(m_firstLine);
  int height = first.cy;

  const int left = ScaleX(m_wide ? kWideLeftColumn : kLeftColumn);
  const SIZE icon = IconSize(kPellamIcon);
  m_iconRect = {left - ScaleX(2) - icon.cx, 0, left - ScaleX(2), icon.cy};
  if (icon.cy > height) height = icon.cy;

  // The amount and the reminder keep off the list's right edge as the icon keeps off
  // the text column.
  int right = width - ScaleX(2);
  if (m_item->m_reminder) {
    const SIZE reminder = IconSize(kReminderIcon);
    m_reminderRect = {right - reminder.cx, 0, right, reminder.cy};
    right -= reminder.cx + ScaleX(2);
    if (reminder.cy > height) height = reminder.cy;
  }
  // A row too narrow for its trailing parts keeps every rectangle the right way round.
  if (right < left) right = left;
  if (!m_item->m_second.IsEmpty()) {
    const SIZE second = MeasureText(m_item->m_second);
    int secondLeft = right - second.cx;
    if (secondLeft < left) secondLeft = left;
    m_secondRect = {secondLeft, 0, right, first.cy};
    right = secondLeft - ScaleX(4);
  }
  m_firstRect = {left, 0, right > left ? right : left, first.cy};
  return height;
}

void CPellamRowRenderer::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_item) return;
  const int height = GetHeight(-1);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  if (m_bSelected && dc) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(2)) FillRect(dc, &all, brush);
  }
  auto shifted = [origin](const RECT& r) {
    return RECT{r.left + origin->x, r.top + origin->y, r.right + origin->x, r.bottom + origin->y};
  };
  HFONT oldFont = context->SetFont(GetControlListFont());
  COLORREF oldColor = context->SetTextColor(colors.Get(m_bSelected ? 4 : 3));
  context->SetBkMode(TRANSPARENT);
  RECT r = shifted(m_firstRect);
  if (!m_firstLine.IsEmpty()) context->AddText(m_firstLine, &r, kFormat);
  if (!m_item->m_second.IsEmpty()) {
    r = shifted(m_secondRect);
    context->AddText(m_item->m_second, &r, kFormat);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
  r = shifted(m_iconRect);
  CSkin::Instance().DrawIcon(kPellamIcon, context->GetTarget(), r.left, r.top, dc);
  if (m_item->m_reminder) {
    r = shifted(m_reminderRect);
    CSkin::Instance().DrawIcon(kReminderIcon, context->GetTarget(), r.left, r.top, dc);
  }
}

void CPellamRowRenderer::BuildMenu(HMENU menu) {
  if (!menu) return;
  CString run, settings;
  LoadTranslatedString(run, 178);
  LoadTranslatedString(settings, 15);
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, kCommandRunPellam, run);
  InsertMenuW(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  InsertMenuW(menu, 2, MF_BYPOSITION | MF_STRING, kCommandSettings, settings);
}

BOOL CPellamRowRenderer::OnCommand(UINT command) {
  switch (command) {
    case 1001:
    case 1002:
    case 1006:
    case 1007:
      // Open, edit, copy and beam belong to the finance program: the row takes them
      // so that no other handler acts on a transaction.
      return TRUE;
    case 1003: {
      // A transaction is deleted in the finance program; the question says so.
      CString text;
      LoadTranslatedString(text, 151);
      ShowPanelMessage(GetActiveWindow(), text, m_item ? static_cast<LPCWSTR>(m_item->m_first) : L"",
                       MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
      return TRUE;
    }
    default:
      return FALSE;
  }
}
