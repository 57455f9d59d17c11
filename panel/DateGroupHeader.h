// CDateGroupHeader: the received-date group header (kind 559) of the Notes tab, and the
// classification of a date into its group: future, today, yesterday, the days of this
// week, the four weeks before it, the earlier months of this year, last year, older.
// The folding state keeps the group under its code written as a number.
#pragma once
#include "panel/ListGroupHeader.h"

const int ITEM_KIND_DATE_HEADER = 559;

// The group codes.
enum ReceivedDateGroup {
  RECEIVED_FUTURE = 1,
  RECEIVED_TODAY = 0,
  RECEIVED_YESTERDAY = -1,
  RECEIVED_WEEK_FIRST_DAY = -16,  // to -10: the days of this week from its first
  RECEIVED_LAST_WEEK = -21,       // to -24: one to four weeks before this one
  RECEIVED_EARLIER_THIS_MONTH = -25,
  RECEIVED_JANUARY = -41,  // to -30 (December): an earlier month of this year
  RECEIVED_LAST_YEAR = -50,
  RECEIVED_OLDER = -99,
};

class CDateGroupHeader : public CListGroupHeader {
 public:
  // What a rebuild fixes once from the current local time.
  struct Boundaries {
    int today;       // whole day (variant date)
    int year;        // today's calendar date
    int month;
    int firstDay;    // of the week: 0 Monday to 6 Sunday
    int weekStart;   // the first day of the current week
  };

  // firstDay: 0 Monday to 6 Sunday; -1 asks the locale.
  CDateGroupHeader(IListItemOwner* owner, int code, int firstDay = -1);

  void GetKey(CString& out) override;

  // now: the local time as a variant date.
  static Boundaries MakeBoundaries(double now, int firstDay = -1);
  // The group of a date (variant date; any value, dates far outside the calendar
  // included).
  static int Classify(double date, const Boundaries& bounds);
  // The day names and month names are the locale's, the others translated English
  // texts; an unknown code has an empty title. firstDay as for the constructor.
  static CString TitleOf(int code, int firstDay);
  // LOCALE_IFIRSTDAYOFWEEK of the user's locale (0 Monday), 6 when it cannot be read.
  static int LocaleFirstDayOfWeek();
};
