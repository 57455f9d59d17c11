#include "tabs/calendar/AppointmentQuery.h"

#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "tabs/contacts/ContactsList.h"

CAppointmentQuery::CAppointmentQuery(CAppointmentsList* list)
    : m_list(list ? list : &CAppointmentsList::GetGlobal()),
      m_hideFree(FALSE),
      m_from(-1.0),
      m_to(-1.0),
      m_filter(nullptr),
      m_skipContactEvents(FALSE),
      m_contacts(nullptr),
      m_started(FALSE) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
  m_hideFree = product.IsOpen() && product.GetDWORD(L"CalendarShowFreeAppts", 1) == 0;
}

BOOL CAppointmentQuery::DuplicatesContactEvent(const CAppointmentRecord& record) const {
  if (record.m_yearCount < 0 || record.m_busyStatus != 0) return FALSE;
  SYSTEMTIME start = {};
  if (!VariantDateToSystemTime(record.m_start, &start)) return FALSE;
  CContactsList& contacts = m_contacts ? *m_contacts : CContactsList::GetGlobal();
  std::vector<CSpecialEventItem*> events;
  contacts.GetEventsOnDate(record.m_start, events);
  for (const CSpecialEventItem* event : events)
    if (static_cast<LONG>(start.wYear) - static_cast<LONG>(event->m_parts.wYear) == record.m_yearCount) return TRUE;
  return FALSE;
}

BOOL CAppointmentQuery::Passes(const CAppointmentRecord& record) const {
  if (m_hideFree && record.m_busyStatus == 0) return FALSE;
  if (m_skipContactEvents && DuplicatesContactEvent(record)) return FALSE;
  if (m_from >= 0) {
    double end = CAppointmentsList::EffectiveEnd(record);
    if (end < m_from || (end == m_from && record.m_start < m_from)) return FALSE;
  }
  if (m_to >= 0 && !(record.m_start < m_to)) return FALSE;
  if (m_filter && !m_filter->Matches(record.m_categories)) return FALSE;
  return TRUE;
}

BOOL CAppointmentQuery::GetNext(CAppointmentRecord** record) {
  CAppointmentRecord* next = nullptr;
  for (;;) {
    BOOL more = m_started ? m_list->GetNext(&next) : m_list->GetFirst(&next);
    m_started = TRUE;
    if (!more || !next) break;
    if (Passes(*next)) {
      if (record) *record = next;
      return TRUE;
    }
  }
  if (record) *record = nullptr;
  return FALSE;
}
