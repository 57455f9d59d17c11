#include "controls/MonthPopup.h"

namespace {
IMonthPopup* g_popup = nullptr;
}

void SetMonthPopup(IMonthPopup* popup) { g_popup = popup; }
IMonthPopup* GetMonthPopup() { return g_popup; }
