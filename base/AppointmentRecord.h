// The least of an appointment that a recurrence needs: the series record a
// RecurrencePattern belongs to, and the occurrence records it fills from it. The
// Calendar tab's appointments list builds its records on this class; Assign is
// virtual so that a record with more fields copies them too.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "base/BlobObj.h"
#include "base/RefObject.h"
#include "platform/windowlib/String.h"

class RecurrencePattern;

class CAppointmentRecord : public CRefObject {
 public:
  CAppointmentRecord() = default;
  ~CAppointmentRecord() override = default;

  // Field by field: texts, plain fields, categories, data block and note text.
  virtual void Assign(const CAppointmentRecord& source);

  CString m_subject;
  CString m_location;
  double m_start = 0;  // variant dates, local time
  double m_end = 0;
  BOOL m_allDay = FALSE;
  LONG m_busyStatus = 0;
  LONG m_durationMinutes = 0;
  BOOL m_isException = FALSE;
  // Follows the exception flag; an occurrence starts with it cleared.
  LONG m_exceptionState = 0;
  CBitSet m_categories;
  CBlobObj m_dataBlock;
  BOOL m_hasDataBlock = FALSE;
  // Years since the series start, for anniversaries.
  LONG m_yearCount = 0;
  // The series' pattern; in an occurrence record non-null means "this day had one".
  RecurrencePattern* m_pattern = nullptr;
  CString m_note;

  // What the appointments list reads beside the recurrence's fields.
  BOOL m_hasNotes = FALSE;
  BOOL m_isMeeting = FALSE;
  BOOL m_reminderSet = FALSE;
  LONG m_reminderMinutes = 0;
  BOOL m_isRecurring = FALSE;
  LONG m_isPrivate = 0;  // the sensitivity as stored
  // The item's object identifier (0: a record the readers rejected) and, in the newer
  // store, the CE record that holds it (0 in the older one).
  DWORD m_itemId = 0;
  DWORD m_recordId = 0;
  // The item's own picture as the PIM's picture store names it; empty for none.
  CString m_iconName;
};
