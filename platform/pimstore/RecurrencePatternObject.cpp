#include "platform/pimstore/RecurrencePatternObject.h"

#include <cmath>

#include "platform/pimstore/PimItem.h"

CRecurrencePatternObject::CRecurrencePatternObject(CPimItem* item) : m_item(item) {
  static_cast<IAppointment*>(m_item)->AddRef();
}
CRecurrencePatternObject::~CRecurrencePatternObject() { static_cast<IAppointment*>(m_item)->Release(); }

STDMETHODIMP CRecurrencePatternObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IRecurrencePattern) return E_NOINTERFACE;
  *out = static_cast<IRecurrencePattern*>(this);
  AddRef();
  return S_OK;
}
PIM_DISPATCH_IMPLEMENTATION(CRecurrencePatternObject)

#define PATTERN_LONG(Name, member, check)                                        \
  STDMETHODIMP CRecurrencePatternObject::get_##Name(long* value) {               \
    if (!value) return E_POINTER;                                                \
    *value = m_item->Pattern().member;                                           \
    return S_OK;                                                                 \
  }                                                                              \
  STDMETHODIMP CRecurrencePatternObject::put_##Name(long value) {                \
    if (!(check)) return E_INVALIDARG;                                           \
    m_item->Pattern().member = value;                                            \
    m_item->SetHasPattern(true);                                                 \
    return S_OK;                                                                 \
  }

PATTERN_LONG(RecurrenceType, type, value >= 0 && value <= 6 && value != 4)
PATTERN_LONG(Interval, interval, value >= 1 && value <= 999)
PATTERN_LONG(DayOfWeekMask, dayOfWeekMask, value >= 0 && value <= 127)
PATTERN_LONG(DayOfMonth, dayOfMonth, value >= 1 && value <= 31)
PATTERN_LONG(MonthOfYear, monthOfYear, value >= 1 && value <= 12)
PATTERN_LONG(Instance, instance, value >= 1 && value <= 5)
PATTERN_LONG(Occurrences, occurrences, value >= 0 && value <= 999)
#undef PATTERN_LONG

STDMETHODIMP CRecurrencePatternObject::get_PatternStartDate(DATE* date) {
  if (!date) return E_POINTER;
  DATE start = 0;
  static_cast<IAppointment*>(m_item)->get_Start(&start);
  *date = m_item->HasPattern() ? CRecurrence::MinutesToDate(m_item->Pattern().startDay) : std::floor(start);
  return S_OK;
}
STDMETHODIMP CRecurrencePatternObject::put_PatternStartDate(DATE) {
  // The series begins on the appointment's start day.
  return S_OK;
}
STDMETHODIMP CRecurrencePatternObject::get_PatternEndDate(DATE* date) {
  if (!date) return E_POINTER;
  DWORD last = m_item->Pattern().LastDay();
  *date = last == CRecurrence::kNoEnd ? PIM_NO_DATE : CRecurrence::MinutesToDate(last);
  return S_OK;
}
STDMETHODIMP CRecurrencePatternObject::put_PatternEndDate(DATE date) {
  if (!std::isfinite(date) || date < 0) return E_INVALIDARG;
  DWORD minutes = CRecurrence::DateToMinutes(std::floor(date));
  m_item->Pattern().endDay = minutes - minutes % 1440;
  m_item->Pattern().occurrences = 0;
  m_item->SetHasPattern(true);
  return S_OK;
}
STDMETHODIMP CRecurrencePatternObject::get_NoEndDate(VARIANT_BOOL* none) {
  if (!none) return E_POINTER;
  const CRecurrence& p = m_item->Pattern();
  *none = p.endDay == CRecurrence::kNoEnd && p.occurrences <= 0 ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
STDMETHODIMP CRecurrencePatternObject::put_NoEndDate(VARIANT_BOOL none) {
  if (none) {
    m_item->Pattern().endDay = CRecurrence::kNoEnd;
    m_item->Pattern().occurrences = 0;
  }
  m_item->SetHasPattern(true);
  return S_OK;
}

STDMETHODIMP CRecurrencePatternObject::GetOccurrence(DATE date, IAppointment** occurrence) {
  if (!occurrence) return E_POINTER;
  *occurrence = nullptr;
  if (!m_item->HasPattern() || !m_item->Record().recordOid || !std::isfinite(date)) return E_FAIL;
  DWORD day = CRecurrence::DateToMinutes(std::floor(date));
  auto found = m_item->Pattern().Between(day, day + 1440);
  if (found.empty()) return E_FAIL;
  *occurrence = CPimItem::MakeOccurrence(m_item->App(), m_item->Record(), m_item->Pattern(), found.front());
  return S_OK;
}
