// The recurrence pattern of an appointment, edited in place on the appointment: the
// pattern takes effect when the appointment is saved.
#pragma once
#include "platform/pimstore/DispatchStubs.h"
#include "platform/pimstore/pimstore.h"

class CPimItem;

class CRecurrencePatternObject : public IRecurrencePattern {
 public:
  explicit CRecurrencePatternObject(CPimItem* item);

  PIM_DISPATCH_DECLARATIONS

  STDMETHODIMP get_RecurrenceType(long* type) override;
  STDMETHODIMP put_RecurrenceType(long type) override;
  STDMETHODIMP get_Interval(long* interval) override;
  STDMETHODIMP put_Interval(long interval) override;
  STDMETHODIMP get_DayOfWeekMask(long* mask) override;
  STDMETHODIMP put_DayOfWeekMask(long mask) override;
  STDMETHODIMP get_DayOfMonth(long* day) override;
  STDMETHODIMP put_DayOfMonth(long day) override;
  STDMETHODIMP get_MonthOfYear(long* month) override;
  STDMETHODIMP put_MonthOfYear(long month) override;
  STDMETHODIMP get_Instance(long* instance) override;
  STDMETHODIMP put_Instance(long instance) override;
  STDMETHODIMP get_PatternStartDate(DATE* date) override;
  STDMETHODIMP put_PatternStartDate(DATE date) override;
  STDMETHODIMP get_PatternEndDate(DATE* date) override;
  STDMETHODIMP put_PatternEndDate(DATE date) override;
  STDMETHODIMP get_Occurrences(long* count) override;
  STDMETHODIMP put_Occurrences(long count) override;
  STDMETHODIMP get_NoEndDate(VARIANT_BOOL* none) override;
  STDMETHODIMP put_NoEndDate(VARIANT_BOOL none) override;
  STDMETHODIMP GetOccurrence(DATE date, IAppointment** occurrence) override;

 private:
  virtual ~CRecurrencePatternObject();
  LONG m_refs = 1;
  CPimItem* m_item;
};
