#include "tabs/contacts/ContactEventRow.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/TextRunList.h"
#include "graphics/SkinColors.h"
#include "tabs/contacts/ContactsList.h"

CContactEventRow::CContactEventRow(CSpecialEventItem* event, CContactsList* list, double day, int mode,
                                   IListItemOwner* owner)
    : CPimListItem(owner), m_event(event), m_list(list), m_day(day), m_mode(mode), m_textRect() {
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
  m_textRect = RECT{};
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
  const int height = metrics.tmHeight > 0 ? metrics.tmHeight : ScaleY(13);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  // The same text column as the transaction rows beside it.
  const int left = ScaleX(32);
  m_textRect = {left, 0, width > left ? width : left, height};
  return height;
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
}

BOOL CContactEventRow::OnCommand(UINT command) {
  CONTACT_ITEM* contact = GetContact();
  if (!contact || (command != 1001 && command != 1002)) return FALSE;
  return contact->DoCommand(static_cast<int>(command));
}
