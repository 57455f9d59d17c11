#include "panel/PanelClock.h"

#include <oleauto.h>

namespace {

double SystemNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  // The variant conversion drops the milliseconds; the inactivity clock wants them.
  return date + now.wMilliseconds / 86400000.0;
}

LONG SystemBias() {
  TIME_ZONE_INFORMATION zone = {};
  const DWORD which = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return bias;
}

DWORD SystemMessageTime() { return static_cast<DWORD>(GetMessageTime()); }

PFN_PANEL_NOW g_now = SystemNow;
PFN_PANEL_BIAS g_bias = SystemBias;
PFN_PANEL_MESSAGE_TIME g_messageTime = SystemMessageTime;

}  // namespace

double PanelNow() { return g_now(); }
LONG PanelTimeZoneBias() { return g_bias(); }
DWORD PanelMessageTime() { return g_messageTime(); }

PFN_PANEL_NOW SetPanelNow(PFN_PANEL_NOW now) {
  PFN_PANEL_NOW previous = g_now;
  g_now = now ? now : SystemNow;
  return previous;
}

PFN_PANEL_BIAS SetPanelTimeZoneBias(PFN_PANEL_BIAS bias) {
  PFN_PANEL_BIAS previous = g_bias;
  g_bias = bias ? bias : SystemBias;
  return previous;
}

PFN_PANEL_MESSAGE_TIME SetPanelMessageTime(PFN_PANEL_MESSAGE_TIME time) {
  PFN_PANEL_MESSAGE_TIME previous = g_messageTime;
  g_messageTime = time ? time : SystemMessageTime;
  return previous;
}
