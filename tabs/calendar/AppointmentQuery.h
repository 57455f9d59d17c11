// The filtered walk over an appointments list that every calendar view runs: free
// appointments hidden when the user chose so, only what touches the query's range, and
// only what the tab's category filter lets through; optionally without the appointments
// that repeat a contact's birthday or anniversary.
#pragma once
#include <windows.h>

#include "pim/CategoryFilter.h"
#include "tabs/calendar/AppointmentsList.h"

class CContactsList;

class CAppointmentQuery {
 public:
  // The list given, or the process's list when null. Reads "CalendarShowFreeAppts".
  explicit CAppointmentQuery(CAppointmentsList* list = nullptr);

  // Bounds below 0 are no bound.
  void SetRange(double from, double to) {
    m_from = from;
    m_to = to;
  }
  BOOL IsHidingFree() const { return m_hideFree; }
  // Not owned; null lets every category set through.
  void SetCategoryFilter(const ICategoryFilter* filter) { m_filter = filter; }
  // Leaves out the free yearly appointments that repeat a birthday or anniversary the
  // contacts list shows on the same day with the same age.
  void SetSkipContactEvents(BOOL skip) { m_skipContactEvents = skip; }
  // The contacts list the skipping asks (not owned); null: the process's list.
  void SetContactsList(CContactsList* contacts) { m_contacts = contacts; }

  // The next record that passes (borrowed); FALSE when none is left.
  BOOL GetNext(CAppointmentRecord** record);

 private:
  BOOL Passes(const CAppointmentRecord& record) const;
  BOOL DuplicatesContactEvent(const CAppointmentRecord& record) const;

  CAppointmentsList* m_list;
  BOOL m_hideFree;
  double m_from;
  double m_to;
  const ICategoryFilter* m_filter;
  BOOL m_skipContactEvents;
  CContactsList* m_contacts;
  BOOL m_started;
};
