#include "panel/ScheduledChange.h"

namespace {
PFN_SCHEDULED_CHANGED g_handler = nullptr;
}  // namespace

PFN_SCHEDULED_CHANGED SetScheduledChangedHandler(PFN_SCHEDULED_CHANGED handler) {
  PFN_SCHEDULED_CHANGED previous = g_handler;
  g_handler = handler;
  return previous;
}

void OnScheduledChanged() {
  if (g_handler) g_handler();
}
