#include "tabs/calendar/AppointmentQuery.h"

#include "base/RegKey.h"

CAppointmentQuery::CAppointmentQuery(CAppointmentsList* list)
    : m_list(list ? list : &CAppointmentsList::GetGlobal()),
      m_hideFree(FALSE),
      m_from(-1.0),
      m_to(-1.0),
      m_filter(nullptr),
      m_started(FALSE) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
  m_hideFree = product.IsOpen() && product.GetDWORD(L"CalendarShowFreeAppts", 1) == 0;
}

BOOL CAppointmentQuery::Passes(const CAppointmentRecord& record) const {
  if (m_hideFree && record.m_busyStatus == 0) return FALSE;
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
