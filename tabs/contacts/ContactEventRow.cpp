#include "tabs/contacts/ContactEventRow.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "tabs/contacts/ContactsList.h"

CContactEventRow::CContactEventRow(CSpecialEventItem* event, CContactsList* list, double day, int mode,
                                   IListItemOwner* owner)
    : CPimListItem(owner),
      m_event(event),
      m_list(list),
      m_day(day),
      m_mode(mode),
      m_textRect(),
      m_icon(kIconBirthday),
      m_iconRect() {
  if (m_event) m_event->AddRef();
}

CContactEventRow::~CContactEventRow() {
  if (m_event) m_event->Release();
}

CONTACT_ITEM* CContactEventRow::GetContact() const {
  return m_event && m_list ? m_list->FindByOid(m_event->m_contactOid) : nullptr;
}

int CContactEventRow::Layout() {
  m_text.Empty();
  m_textRect = m_iconRect = RECT{};
  if (!m_event) return 0;
  m_text = m_event->GetCaption(FALSE);
  if (m_mode == kModeDate) {
    SYSTEMTIME day = {};
    CString date;
    if (VariantDateToSystemTime(m_day, &day)) FormatShortDate(date, day);
    CString caption = m_text;
    m_text.Format(L"%s: %s", static_cast<LPCWSTR>(date), static_cast<LPCWSTR>(caption));
  }
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, GetControlListFont());
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  const int textHeight = metrics.tmHeight > 0 ? metrics.tmHeight : ScaleY(13);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  // The same text column as the transaction rows beside it; the event's icon ends
  // 2 px before the column.
  const int left = ScaleX(32);
  m_icon = m_event->m_kind == CSpecialEventItem::kAnniversary ? kIconAnniversary : kIconBirthday;
  SIZE icon = CSkin::Instance().GetIconSize(m_icon);
  if (icon.cx <= 0 || icon.cy <= 0) icon = {ScaleX(16), ScaleY(16)};
  m_iconRect = {left - ScaleX(2) - icon.cx, 0, left - ScaleX(2), icon.cy};
  m_textRect = {left, 0, width > left ? width : left, textHeight};
  return textHeight > icon.cy ? textHeight : icon.cy;
}

void CContactEventRow::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_event) return;
  const int height = GetHeight(-1);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  CSkinColors& colors = CSkinColors::Instance();
  if (m_bSelected && context->GetDC()) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(2)) FillRect(context->GetDC(), &all, brush);
  }
  HFONT oldFont = context->SetFont(GetControlListFont());
  COLORREF oldColor = context->SetTextColor(colors.Get(m_bSelected ? 4 : 3));
  context->SetBkMode(TRANSPARENT);
  RECT r = m_textRect;
  OffsetRect(&r, origin->x, origin->y);
  context->AddText(m_text, &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT);
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
  r = m_iconRect;
  OffsetRect(&r, origin->x, origin->y);
  CSkin::Instance().DrawIcon(m_icon, context->GetTarget(), r.left, r.top, context->GetDC());
}

BOOL CContactEventRow::OnCommand(UINT command) {
  CONTACT_ITEM* contact = GetContact();
  if (!contact || (command != 1001 && command != 1002)) return FALSE;
  return contact->DoCommand(static_cast<int>(command));
}
