#include "tabs/calendar/AppointmentItem2.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "pim/IconProviderRef.h"
#include "pim/PimAddins.h"
#include "tabs/calendar/CalendarRowArt.h"
#include "tabs/contacts/ContactCommands.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/SpecialEventItem.h"

namespace {
CContactsList* g_contacts = nullptr;
CContactsList& Contacts() { return g_contacts ? *g_contacts : CContactsList::GetGlobal(); }
}  // namespace

void CAppointmentItem2::SetContactsList(CContactsList* list) { g_contacts = list; }

CAppointmentItem2::CAppointmentItem2(CSpecialEventItem* event, IListItemOwner* owner, int dateMode)
    : CPimListItem(owner),
      m_event(event),
      m_captionRect{},
      m_yearsRect{},
      m_icon(kIconBirthday),
      m_iconRect{},
      m_day(-1),
      m_dateMode(dateMode),
      m_userDataMade(FALSE),
      m_userData(0) {
  if (m_event) m_event->AddRef();
}

CAppointmentItem2::~CAppointmentItem2() {
  if (m_event) m_event->Release();
}

void CAppointmentItem2::SetDay(LONG day) {
  m_day = day;
  Relayout();
}

CONTACT_ITEM* CAppointmentItem2::FindContact() const {
  if (!m_event) return nullptr;
  CContactsList& list = Contacts();
  CONTACT_ITEM* contact = m_event->m_contactIndex >= 0 && m_event->m_contactIndex < list.GetCount()
                              ? list.GetAt(m_event->m_contactIndex)
                              : nullptr;
  if (!contact || contact->m_itemOid != m_event->m_contactOid) contact = list.FindByOid(m_event->m_contactOid);
  return contact;
}

DWORD_PTR CAppointmentItem2::GetUserData() {
  if (!m_userDataMade && m_event) {
    m_userData = m_event->m_kind == CSpecialEventItem::kAnniversary ? ~m_event->m_contactOid : m_event->m_contactOid;
    m_userDataMade = TRUE;
  }
  return m_userData;
}

int CAppointmentItem2::Layout() {
  m_caption.Empty();
  m_years.Empty();
  m_captionRect = m_yearsRect = m_iconRect = RECT{};
  if (!m_event) return 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  CRowMeasure measure(0);
  const int lineHeight = measure.LineHeight();

  // The event's icon ends 2 px before the 32-px column's end.
  m_icon = m_event->m_kind == CSpecialEventItem::kAnniversary ? kIconAnniversary : kIconBirthday;
  SIZE size = CSkin::Instance().GetIconSize(m_icon);
  if (size.cx <= 0 || size.cy <= 0) size = {ScaleX(16), ScaleY(16)};
  const int column = ScaleX(32);
  m_iconRect = {column - ScaleX(2) - size.cx, 0, column - ScaleX(2), size.cy};

  m_caption = m_event->GetCaption(TRUE);
  if (m_dateMode == 1) {
    CString date, joined;
    FormatVariantDate(date, m_event->m_date);
    joined.Format(L"%s: %s", date.GetString(), m_caption.GetString());
    m_caption = joined;
  }
  if (m_day >= 0) {
    SYSTEMTIME shown = {};
    if (VariantDateToSystemTime(static_cast<double>(m_day), &shown))
      m_years.Format(L"(%d)", static_cast<int>(shown.wYear) - static_cast<int>(m_event->m_parts.wYear));
  }

  const int style = GetViewSettings().App_SubjectStyle;
  const BOOL wrap = style == 2 || (style == 3 && m_bSelected);
  const int yearsWidth = m_years.IsEmpty() ? 0 : measure.Width(m_years);
  int captionRight = width - yearsWidth - (yearsWidth ? ScaleX(2) : 0);
  if (captionRight < column) captionRight = column;
  const int captionWidth = measure.Width(m_caption);
  const BOOL shortened = captionWidth > captionRight - column;
  int height = lineHeight;
  if (wrap && shortened) {
    // The whole width, the years after one blank: they get no place of their own.
    if (!m_years.IsEmpty()) {
      m_caption += L" ";
      m_caption += m_years;
      m_years.Empty();
    }
    height = measure.WrappedHeight(m_caption, width - column);
    m_captionRect = {column, 0, width, height};
  } else {
    const int right = shortened ? captionRight : column + captionWidth;
    m_captionRect = {column, 0, right, lineHeight};
    if (!m_years.IsEmpty()) m_yearsRect = {right + ScaleX(2), 0, right + ScaleX(2) + yearsWidth, lineHeight};
  }
  if (m_iconRect.bottom > height) height = m_iconRect.bottom;
  return height + ScaleY(2);
}

void CAppointmentItem2::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_event) return;
  const int height = GetHeight(-1);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  const CRowPaint paint(dc, origin, width, height, m_bSelected);
  auto shifted = [&paint](const RECT& r) { return paint.Shift(r); };
  const UINT format = paint.format;
  HFONT oldFont = context->SetFont(RowFont(0));
  COLORREF oldColor = context->SetTextColor(paint.textColor);
  context->SetBkMode(TRANSPARENT);
  RECT caption = shifted(m_captionRect);
  context->AddText(m_caption, &caption, format);
  if (!m_years.IsEmpty()) {
    RECT years = shifted(m_yearsRect);
    context->AddText(m_years, &years, DT_NOPREFIX | DT_LEFT | DT_SINGLELINE);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
  RECT icon = shifted(m_iconRect);
  CSkin::Instance().DrawIcon(m_icon, context->GetTarget(), icon.left, icon.top, dc);
}

void CAppointmentItem2::BuildMenu(HMENU menu) {
  if (!menu || !m_event) return;
  CONTACT_ITEM* contact = FindContact();
  CString name;
  if (contact) contact->GetDisplayName(name, FALSE, FALSE);
  PIM_CONTACT_FIELDS fields = {name, L"", L"", L"", L""};
  if (contact) fields = {name, contact->m_fields[9], contact->m_fields[4], contact->m_fields[0], contact->m_fields[2]};
  if (GetViewSettings().ContactsOneTap < 3 && contact) {
    if (HMENU actions = CreatePopupMenu()) {
      AppendContactActionMenu(actions, &fields);
      AppendRowSubmenu(menu, actions, 287);
    }
    if (HMENU extra = CreatePopupMenu()) {
      AppendItemExtraMenu(extra, &fields);
      AppendRowSubmenu(menu, extra, 286);
    }
  }
  if (HMENU item = CreatePopupMenu()) {
    AppendRowCommand(item, kContactOpen, 106);
    AppendRowCommand(item, kContactEdit, 107);
    AppendRowCommand(item, kCmdShowNotes, 284, !contact || !contact->m_hasNotes);
    if (CategoriesPopupEnabled()) AppendRowCommand(item, kCmdCategories, 332);
    AppendRowSubmenu(menu, item, 285);
  }
  if (HMENU edit = CreatePopupMenu()) {
    AppendRowCommand(edit, kContactCopy, 131);
    if (CIconProviderRef::GetStoreState()) AppendRowCommand(edit, kContactChooseIcon, 40042);
    AppendRowCommand(edit, kContactDelete, 108);
    AppendRowSubmenu(menu, edit, 13);
  }
  if (HMENU more = CreatePopupMenu()) {
    AppendPimAddinMenu(PIM_GROUP_CONTACTS, more, contact ? contact->m_itemOid : 0, &fields);
    AppendRowSubmenu(menu, more, 32782);
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendRowCommand(menu, kCmdSettings, 15);
}

BOOL CAppointmentItem2::OnCommand(UINT command) {
  if (command == kCmdShowNotes) {
    if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNotes);
    return TRUE;
  }
  if (command == kCmdCategories) {
    if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyCategories);
    return TRUE;
  }
  CONTACT_ITEM* contact = FindContact();
  return contact ? contact->DoCommand(static_cast<int>(command)) : FALSE;
}
