// What an appointment row shows, worked out from the record, the day it is listed
// under and the view settings alone: the time text, the subject text, the icons of
// the row pattern and the line layout. The row measures and draws what this gives.
#pragma once
#include <windows.h>

#include "base/AppointmentRecord.h"
#include "base/ViewSettings.h"
#include "platform/windowlib/String.h"

// The view settings an appointment row reads.
struct APPOINTMENT_ROW_OPTIONS {
  CItemPattern pattern;  // "CurAppPattern"
  BOOL startOnly = FALSE;  // "App_StartOnly"
  BOOL newStyle = TRUE;  // "dbgNewStyleForAllAndMultiday"
  BOOL showLocation = TRUE;  // "App_Location"
  BOOL iconsEnabled = TRUE;
  // From the process's view settings.
  static APPOINTMENT_ROW_OPTIONS FromViewSettings();
};

// One icon of the row: a skin icon, a category's picture or the record's own.
struct APPOINTMENT_ROW_ICON {
  enum { kOwnIcon = -2, kCategoryIcon = -1 };
  int icon;      // skin icon number, or kOwnIcon / kCategoryIcon
  int category;  // the category index of kCategoryIcon
  BOOL leading;  // the left column's icon (the pattern's single first letter)
};

struct APPOINTMENT_ROW_TEXT {
  enum { kMaxIcons = 10 };
  CString time;
  CString subject;
  // 1: time and subject on one line; 2 or 3: two lines, the icons beside the first
  // (2) or the second line (3).
  int lines = 3;
  int iconCount = 0;
  APPOINTMENT_ROW_ICON icons[kMaxIcons] = {};
};

// Skin icons of the row pattern's letters.
enum {
  APPT_ICON_NOTES = 0,
  APPT_ICON_RECURRING = 3,
  APPT_ICON_REMINDER = 4,
  APPT_ICON_PRIVATE = 5,
  APPT_ICON_NO_CATEGORY = 6,
  APPT_ICON_MEETING = 7,
  APPT_ICON_EXCEPTION = 39,
  APPT_ICON_STATUS = 48,
};

// The icon one letter of the pattern gives for the record: FALSE when the letter
// shows nothing for it. categoryIcon says whether the record's first category has a
// picture (its index in *category), ownIcon whether its own picture loads.
BOOL AppointmentLetterIcon(WCHAR letter, const CAppointmentRecord& record, BOOL iconsEnabled, BOOL ownIcon,
                           int firstCategoryWithIcon, APPOINTMENT_ROW_ICON* out);

// day: the day the row is listed under (a variant date; its whole part counts).
// hasCategoryIcon tells which categories have a picture (null: none has).
void ComputeAppointmentRowText(const CAppointmentRecord& record, double day, const APPOINTMENT_ROW_OPTIONS& options,
                               BOOL (*hasCategoryIcon)(int category), BOOL ownIcon, APPOINTMENT_ROW_TEXT* out);

// The locale's time, lower-cased.
CString FormatAppointmentTime(double date);
