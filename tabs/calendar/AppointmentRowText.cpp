#include "tabs/calendar/AppointmentRowText.h"

#include <math.h>

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"

APPOINTMENT_ROW_OPTIONS APPOINTMENT_ROW_OPTIONS::FromViewSettings() {
  const CViewSettings& settings = GetViewSettings();
  APPOINTMENT_ROW_OPTIONS options;
  options.pattern = settings.AppPattern;
  options.startOnly = settings.App_StartOnly != 0;
  options.newStyle = settings.dbgNewStyleForAllAndMultiday != 0;
  options.showLocation = settings.App_Location != 0;
  return options;
}

CString FormatAppointmentTime(double date) {
  SYSTEMTIME time = {};
  CString text;
  if (VariantDateToSystemTime(date, &time)) FormatTime(text, time);
  text.MakeLower();
  return text;
}

BOOL AppointmentLetterIcon(WCHAR letter, const CAppointmentRecord& record, BOOL iconsEnabled, BOOL ownIcon,
                           int firstCategoryWithIcon, APPOINTMENT_ROW_ICON* out) {
  APPOINTMENT_ROW_ICON icon = {-1, -1, FALSE};
  switch (letter) {
    case L'n':
      if (!record.m_hasNotes) return FALSE;
      icon.icon = APPT_ICON_NOTES;
      break;
    case L'r':
      if (!record.m_reminderSet) return FALSE;
      icon.icon = APPT_ICON_REMINDER;
      break;
    case L's':
      if (!record.m_isPrivate) return FALSE;
      icon.icon = APPT_ICON_PRIVATE;
      break;
    case L'a':
      if (!record.m_isMeeting) return FALSE;
      icon.icon = APPT_ICON_MEETING;
      break;
    case L'q':
      if (!record.m_isRecurring) return FALSE;
      icon.icon = record.m_isException ? APPT_ICON_EXCEPTION : APPT_ICON_RECURRING;
      break;
    case L'c':
      if (!iconsEnabled) {
        icon.icon = APPT_ICON_NO_CATEGORY;
      } else if (ownIcon) {
        icon.icon = APPOINTMENT_ROW_ICON::kOwnIcon;
      } else if (firstCategoryWithIcon >= 0) {
        icon.icon = APPOINTMENT_ROW_ICON::kCategoryIcon;
        icon.category = firstCategoryWithIcon;
      } else {
        return FALSE;
      }
      break;
    default:
      return FALSE;
  }
  if (out) *out = icon;
  return TRUE;
}

namespace {

void AddIcon(APPOINTMENT_ROW_TEXT* out, const APPOINTMENT_ROW_ICON& icon) {
  if (out->iconCount < APPOINTMENT_ROW_TEXT::kMaxIcons) out->icons[out->iconCount++] = icon;
}

}  // namespace

void ComputeAppointmentRowText(const CAppointmentRecord& record, double day, const APPOINTMENT_ROW_OPTIONS& options,
                               BOOL (*hasCategoryIcon)(int category), BOOL ownIcon, APPOINTMENT_ROW_TEXT* out) {
  if (!out) return;
  *out = APPOINTMENT_ROW_TEXT();
  const int digit = options.pattern.count;
  out->lines = digit >= 1 && digit <= 3 ? digit : 3;

  // Subject, with the years of an anniversary and the location.
  if (record.m_yearCount >= 0)
    out->subject.Format(L"%s (%d)", record.m_subject.GetString(), static_cast<int>(record.m_yearCount));
  else
    out->subject = record.m_subject;
  if (options.showLocation && !record.m_location.IsEmpty()) {
    CString joined;
    joined.Format(L"%s (%s)", out->subject.GetString(), record.m_location.GetString());
    out->subject = joined;
  }

  // Time: an end at exactly midnight belongs to the day before.
  const double startDay = floor(record.m_start);
  double endDay = floor(record.m_end);
  if (record.m_end == endDay && record.m_end > record.m_start) endDay -= 1;
  const double shownDay = floor(day);
  CString continued;
  BOOL noTime = FALSE;
  if (record.m_allDay) {
    if (options.newStyle)
      noTime = TRUE;
    else
      LoadTranslatedString(out->time, IDS_APPT_ALL_DAY);
  } else if (endDay > startDay) {
    LoadTranslatedString(continued, IDS_APPT_CONTINUED);
    if (shownDay <= startDay) {
      out->time = FormatAppointmentTime(record.m_start);
      if (!options.startOnly) out->time += L"-" + continued;
    } else if (shownDay >= endDay) {
      out->time = continued;
      if (!options.startOnly) out->time += L"-" + FormatAppointmentTime(record.m_end);
    } else if (options.newStyle) {
      noTime = TRUE;
    } else {
      out->time = continued;
    }
  } else {
    out->time = FormatAppointmentTime(record.m_start);
    if (!options.startOnly) out->time += L"-" + FormatAppointmentTime(record.m_end);
  }
  if (noTime) out->lines = 1;

  // Icons: the single letter before the digit leads, the letters after it follow.
  int firstCategory = -1;
  if (hasCategoryIcon)
    for (int i = record.m_categories.FindNext(0); i >= 0; i = record.m_categories.FindNext(i + 1))
      if (hasCategoryIcon(i)) {
        firstCategory = i;
        break;
      }
  APPOINTMENT_ROW_ICON icon;
  if (options.pattern.first.GetLength() == 1 &&
      AppointmentLetterIcon(options.pattern.first[0], record, options.iconsEnabled, ownIcon, firstCategory, &icon)) {
    icon.leading = TRUE;
    AddIcon(out, icon);
  }
  for (int k = 0; k < options.pattern.rest.GetLength(); ++k)
    if (AppointmentLetterIcon(options.pattern.rest[k], record, options.iconsEnabled, ownIcon, firstCategory, &icon))
      AddIcon(out, icon);
  // Every further category with a picture, while there is room.
  const BOOL lettersHoldC = options.pattern.first.Find(L'c') >= 0 || options.pattern.rest.Find(L'c') >= 0;
  if (lettersHoldC && options.iconsEnabled && hasCategoryIcon)
    for (int i = record.m_categories.FindNext(0); i >= 0 && out->iconCount < APPOINTMENT_ROW_TEXT::kMaxIcons;
         i = record.m_categories.FindNext(i + 1)) {
      if (i == firstCategory && !ownIcon) continue;
      if (hasCategoryIcon(i)) AddIcon(out, {APPOINTMENT_ROW_ICON::kCategoryIcon, i, FALSE});
    }
}
