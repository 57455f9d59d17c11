#include "settings/pages/TaskLineMode.h"

#include "base/ViewSettings.h"

namespace {
// One sheet runs at a time; a sheet over a sheet is never a Tasks sheet over another.
HWND g_sheet = nullptr;
int g_number = 0;
}  // namespace

int CTaskLineMode::Get(HWND sheet) {
  if (sheet && sheet == g_sheet) return g_number;
  return GetViewSettings().TaskPattern.count;
}

void CTaskLineMode::Set(HWND sheet, int number) {
  g_sheet = sheet;
  g_number = number;
}

void CTaskLineMode::Forget(HWND sheet) {
  if (sheet == g_sheet) {
    g_sheet = nullptr;
    g_number = 0;
  }
}
