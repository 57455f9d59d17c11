#include "base/AppointmentRecord.h"

void CAppointmentRecord::Assign(const CAppointmentRecord& source) {
  if (this == &source) return;
  m_subject = source.m_subject;
  m_location = source.m_location;
  m_start = source.m_start;
  m_end = source.m_end;
  m_allDay = source.m_allDay;
  m_busyStatus = source.m_busyStatus;
  m_durationMinutes = source.m_durationMinutes;
  m_isException = source.m_isException;
  m_exceptionState = source.m_exceptionState;
  m_categories = source.m_categories;
  m_dataBlock = source.m_dataBlock;
  m_hasDataBlock = source.m_hasDataBlock;
  m_yearCount = source.m_yearCount;
  m_pattern = source.m_pattern;
  m_note = source.m_note;
}
