// CMonthCalendarWnd: the popup month calendar. Six weeks of days with week
// numbers, a header with the month (a menu of months) and the year (an editor),
// and under every day a time bar of how busy its half hours are: from the global
// appointments list for the days it holds, from the item-operations program's month
// replies for the rest. The user picks days, weeks or the month for the listener,
// or starts a new appointment or task.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/MonthPopup.h"
#include "controls/PopupWindow.h"
#include "platform/windowlib/String.h"
#include "tabs/calendar/MonthGrid.h"
#include "tabs/calendar/TimeSpanBar.h"

class CAppointmentsList;
class CMonthReply;

class CMonthCalendarWnd : public CPopupWindow, public IMonthPopup {
 public:
  DECLARE_POPUP_CLASS(L"QelTarvoCalendarWindow_1.0")

  // Mode bits.
  enum : UINT {
    kModePicker = 0x1,
    kModeHeaderButton = 0x2,
    kModeClosedMessage = 0x4,
    kModeChildControl = 0x40000000,
  };
  // Commands of the title-bar buttons and of the day menu.
  enum : UINT {
    kCmdReportDays = 1,
    kCmdReportWeeks = 2,
    kCmdReportMonth = 3,
    kCmdNewTask = 4,
    kCmdNewAppointment = 5,
    kCmdClose = 6,
    kCmdNoDate = 7,
    kCmdStartSelection = 13,
    kCmdPreviousMonth = 1001,
    kCmdNextMonth = 1002,
    kCmdToday = 1003,
  };
  static const int kYearEditorId = 321;
  static const int kWidth = 219;
  static const int kHeight = 185;

  CMonthCalendarWnd();
  ~CMonthCalendarWnd() override;

  // Opens at point (parent client coordinates) showing date (kNoDate: today); a date
  // in the grid is selected. FALSE while open or when the window cannot be made.
  BOOL Create(HWND parent, POINT topLeft, IDatePeriodListener* listener, UINT mode, double date);
  // IMonthPopup: opens below place (screen coordinates).
  BOOL Open(HWND owner, const RECT& place, IDatePeriodListener* listener, UINT mode, double date) override;

  // Shows the date's month; the date's cell, -1 when it is not in the grid.
  int SetDate(const SYSTEMTIME& date);
  BOOL OnCommand(UINT command) override;
  // A month reply; FALSE when it was refused (size, key) or came too early.
  BOOL OnCopyData(const COPYDATASTRUCT* data);

  // The list whose days the popup fills itself (the global one unless set).
  void SetAppointmentsList(CAppointmentsList* list) { m_list = list; }
  // The identifier sent with WM_COMMAND to the parent in child-control mode.
  void SetControlId(int id) { m_controlId = id; }

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

  // What tests and the painter read.
  const CMonthGrid& GetGrid() const { return m_grid; }
  // The bar of a day number, null when the day has no record yet.
  const CTimeSpanBar* FindBar(LONG day) const;
  int GetBarCount() const { return static_cast<int>(m_bars.size()); }
  // The selection as first and last cell, -1 for none.
  int GetSelectionFirst() const;
  int GetSelectionLast() const;
  int GetFocusCell() const { return m_focusCell; }
  BOOL IsYearEditorOpen() const { return m_yearEdit != nullptr; }
  HWND GetYearEditor() const { return m_yearEdit; }
  const RECT& GetGridRect() const { return m_gridRect; }
  const RECT& GetMonthNameRect() const { return m_monthRect; }
  const RECT& GetYearRect() const { return m_yearRect; }
  // The centre of a cell in client coordinates.
  POINT CellCenter(int cell) const;

  // Runs a command of the day menu as though it was chosen.
  void RunMenuCommand(UINT command);

  // Day records: "Calendar_FirstYearWeek", locale first day and first week.
  void ReadSettings();

 protected:
  BOOL OnLButtonDown(POINT* point) override;
  void OnLButtonUp(POINT* point) override;
  void OnMouseMove(POINT* point) override;
  void OnPopupDestroy() override;
  void PaintContent(CTextRunList* context) override;

 private:
  void Layout();
  void FillFromList();
  void FillBarsFrom(CAppointmentsList* list);
  // Bars for the reply's days that have none yet.
  void StoreReply(const CMonthReply& reply);
  int CellAt(POINT point) const;
  int RowAt(POINT point) const;
  void SelectCells(int anchor, int current, BOOL rows);
  void ClearSelection();
  void EndSelection(POINT point);
  void ShowDayMenu(POINT client, BOOL fromKey);
  void ShowMonthMenu();
  void OpenYearEditor();
  void CloseYearEditor(BOOL apply);
  void OnKey(UINT key);
  void ShowMonthOffset(int months);
  // Posts the close; the report comes after it.
  void CloseAfterAction();
  void Report(double from, double to);
  double CellDay(int cell) const { return static_cast<double>(m_grid.GetCellDay(cell)); }
  void Invalidate();
  static LRESULT CALLBACK YearEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);

  SYSTEMTIME m_date = {};
  SYSTEMTIME m_today = {};
  CMonthGrid m_grid;
  LONG m_customFirstWeek = -1;
  CString m_dayNames[7];
  CString m_monthNames[12];
  std::vector<std::unique_ptr<CTimeSpanBar>> m_bars;  // sorted by day
  BOOL m_barsReady = FALSE;
  CAppointmentsList* m_list = nullptr;
  RECT m_gridRect = {};
  int m_cellWidth = 0, m_cellHeight = 0;
  RECT m_monthRect = {}, m_yearRect = {}, m_headerButton = {};
  int m_anchor = -1, m_current = -1;
  BOOL m_rowSelection = FALSE;
  BOOL m_selecting = FALSE;
  BOOL m_keySelection = FALSE;
  int m_focusCell = -1;
  HWND m_yearEdit = nullptr;
  HWND m_yearSpin = nullptr;
  IDatePeriodListener* m_listener = nullptr;
  UINT m_mode = 0;
  UINT m_closedMessage = 0;
  int m_controlId = 0;
  HBRUSH m_todayBrush = nullptr;
  HBRUSH m_otherMonthBrush = nullptr;
};
