// CDaySchedulePopup: one day's busy time as a large bar; the user drags out a span
// of half hours on it and makes a new appointment for that span.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/PopupWindow.h"
#include "platform/windowlib/String.h"
#include "tabs/calendar/TimeSpanBar.h"

class IDayScheduleListener {
 public:
  virtual ~IDayScheduleListener() = default;
  virtual void OnTimeSpanChosen(const SYSTEMTIME& start, const SYSTEMTIME& end) = 0;
};

class CDaySchedulePopup : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"QelTarvoTimeSpanWindow_1.0")
  enum { kWidth = 207, kHeight = 80, kBarLeft = 6, kBarTop = 43, kBarWidth = 193, kBarHeight = 19 };
  static const UINT kCmdNewAppointment = 29;

  CDaySchedulePopup();
  ~CDaySchedulePopup() override;

  // Opens for the day (a variant date) with its right edge at the anchor's right and
  // its top at the anchor's top (parent client coordinates); the bar is computed
  // from the global appointments list, or from the list set for it.
  BOOL SetDay(HWND parent, const RECT& anchor, LPCWSTR title, double day, IDayScheduleListener* listener);
  void SetAppointmentsList(class CAppointmentsList* list) { m_list = list; }
  // Without the menu a finished drag makes the appointment at once.
  void SetNoMenu(BOOL noMenu) { m_noMenu = noMenu; }

  CTimeSpanBar& GetBar() { return m_bar; }
  const RECT& GetBarRect() const { return m_barRect; }
  int GetSelectionStart() const { return m_selStart; }
  int GetSelectionEnd() const { return m_selEnd; }
  const CString& GetSelectionText() const { return m_selText; }
  // Width of a half hour in device pixels.
  static int HalfHourWidth();
  // An offset from the bar's left edge as a time of the day: minutes since midnight
  // (1440 for the end of the day).
  static int OffsetToMinutes(int offset);
  // The locale's time, lower-cased; 24:00 is shown as 00:00.
  static CString FormatMinutes(int minutes);
  // The hour alone, for the labels under the bar.
  static CString FormatHour(int hour);
  // One label under a 4-hour tick: its hour, its text and where it stands.
  struct HourLabel {
    int hour;
    CString text;
    RECT rect;
  };
  // The labels under the 4-hour ticks of a bar whose left edge is barLeft, their tops
  // at top, measured in font. Neighbours keep a gap: the locale's hour ("8 am") while
  // every label fits, else the same without blanks ("8am"), else the hour of the
  // 24-hour day alone.
  static std::vector<HourLabel> LayoutHourLabels(HFONT font, int barLeft, int top);

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  BOOL OnLButtonDown(POINT* point) override;
  void OnLButtonUp(POINT* point) override;
  void OnMouseMove(POINT* point) override;
  void OnPopupDestroy() override;
  void PaintContent(CTextRunList* context) override;

 private:
  int OffsetAt(POINT point) const;
  void UpdateText();
  void Choose();

  CTimeSpanBar m_bar;
  RECT m_barRect = {};
  CString m_selText;
  int m_selStart = -1;
  int m_selEnd = -1;
  BOOL m_dragging = FALSE;
  BOOL m_noMenu = FALSE;
  double m_day = 0;
  IDayScheduleListener* m_listener = nullptr;
  class CAppointmentsList* m_list = nullptr;
  HBRUSH m_lightBrush = nullptr;
  HBRUSH m_darkBrush = nullptr;
};
