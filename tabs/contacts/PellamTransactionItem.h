// One scheduled money transaction of the finance program, as read for a range of days.
#pragma once
#include <windows.h>

#include "base/RefObject.h"
#include "platform/windowlib/String.h"

struct PELLAM_SCHEDULED_RECORD;

class CPellamTransactionItem : public CRefObject {
 public:
  // A heap item with one reference, filled from the library's record; the day asked
  // stands in for a record date that is no date.
  static CPellamTransactionItem* Create(const PELLAM_SCHEDULED_RECORD& record, double dayAsked);

  // The transaction's day with the local time of day at the moment it was read.
  double m_date = 0;
  CString m_first;
  CString m_second;
  // Kept, never shown.
  CString m_third;
  BOOL m_reminder = FALSE;
  WORD m_year = 0;
  WORD m_month = 0;
  WORD m_day = 0;
  DWORD m_id = 0;
};
