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
  m_hasNotes = source.m_hasNotes;
  m_isMeeting = source.m_isMeeting;
  m_reminderSet = source.m_reminderSet;
  m_reminderMinutes = source.m_reminderMinutes;
  m_isRecurring = source.m_isRecurring;
  m_isPrivate = source.m_isPrivate;
  m_itemId = source.m_itemId;
  m_recordId = source.m_recordId;
  m_iconName = source.m_iconName;
}
