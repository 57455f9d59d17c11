// Linked into the plug-in library itself (not the calendar libraries): installs the
// Calendar tab's maker with the panel when the library loads.
#include "tabs/calendar/CalendarTab.h"

namespace {
struct CCalendarTabInstaller {
  CCalendarTabInstaller() { CCalendarTab::Install(); }
} g_installer;
}  // namespace
