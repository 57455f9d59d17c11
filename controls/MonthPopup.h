// How the date dialogs open the plug-in's month calendar popup over a date
// picker. The Calendar tab installs the real popup; until then (and in tests
// without one) the dialogs open none.
#pragma once
#include <windows.h>

// Told the period the user chose: from and to (kNoDate, kNoDate: "no date").
class IDatePeriodListener {
 public:
  virtual ~IDatePeriodListener() = default;
  virtual void OnPeriodChosen(double from, double to) = 0;
};

// Mode bits of the popup.
constexpr UINT MONTH_POPUP_PICKER = 0x1;      // a tap chooses the day at once
constexpr UINT MONTH_POPUP_NO_DATE = 0x2;     // a "no date" button in the header

class IMonthPopup {
 public:
  virtual ~IMonthPopup() = default;
  // Opens the popup over place (screen coordinates), owned by owner, showing date
  // (kNoDate: today). FALSE when it could not be opened.
  virtual BOOL Open(HWND owner, const RECT& place, IDatePeriodListener* listener, UINT mode, double date) = 0;
};

// The popup the dialogs open; null for none. The caller keeps it alive.
void SetMonthPopup(IMonthPopup* popup);
IMonthPopup* GetMonthPopup();
