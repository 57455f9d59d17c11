#include "tabs/contacts/SpecialEventItem.h"

#include <new>

#include "base/DateTime.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"

CSpecialEventItem* CSpecialEventItem::Create(CContactsList* list) {
  CSpecialEventItem* item = new (std::nothrow) CSpecialEventItem(list);
  if (item) item->CRefObjectCounted();
  return item;
}

void CSpecialEventItem::Init(CONTACT_ITEM* contact, int kind, int contactIndex) {
  m_kind = kind;
  m_date = kind == kAnniversary ? contact->m_anniversary : contact->m_birthday;
  m_parts = SYSTEMTIME{};
  VariantDateToSystemTime(m_date, &m_parts);
  m_dayIn2000 = CContactsList::DayInYear2000(m_parts);
  m_contactIndex = contactIndex;
  m_contactOid = contact->m_itemOid;
  m_name.Empty();
}

const CString& CSpecialEventItem::GetName(BOOL force) {
  if (!m_name.IsEmpty() && !force) return m_name;
  // The contact at the stored index is the one nearly always; the search is for the rest.
  CONTACT_ITEM* contact = m_list ? m_list->GetAt(m_contactIndex) : nullptr;
  if (!contact || contact->m_itemOid != m_contactOid) contact = m_list ? m_list->FindByOid(m_contactOid) : nullptr;
  if (contact) m_name = contact->FormatName(GetViewSettings().BirthdayDisplay);
  return m_name;
}

CString CSpecialEventItem::GetCaption(BOOL force) {
  CString format;
  LoadTranslatedString(format, m_kind == kAnniversary ? 183 : 182);
  const CString& name = GetName(force);
  CString caption;
  // The format is the resource library's: only a lone %s is filled, anything else is shown as it is.
  int at = format.Find(L"%s");
  if (at >= 0 && format.Find(L'%', at + 2) < 0 && format.Left(at).Find(L'%') < 0)
    caption.Format(format, static_cast<LPCWSTR>(name));
  else
    caption = format.IsEmpty() ? name : format;
  return caption;
}
