#include "tabs/calendar/MonthCalendarWnd.h"

#include <commctrl.h>

#include <algorithm>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "platform/aygshell/aygshell.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/MonthDataSource.h"
#include "tabs/calendar/MonthReply.h"

namespace {

const int kHeaderHeight = 16;
const int kDayNamesHeight = 12;
const int kWeekColumn = 16;
const int kHeaderButtonWidth = 80;
const COLORREF kSundayColor = 0x0000FF;
const COLORREF kSaturdayColor = 0xFF0000;

CString Text(UINT id) {
  CString text;
  LoadUIString(text, id);
  return text;
}

void ShowInputPanel(BOOL up) {
  SIPINFO info = {};
  info.cbSize = sizeof(info);
  if (!SHSipInfo(SPI_GETSIPINFO, 0, &info, 0)) return;
  info.fdwFlags = up ? (info.fdwFlags | SIPF_ON) : (info.fdwFlags & ~SIPF_ON);
  SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
}

BOOL Inside(const RECT& rect, POINT point) { return PtInRect(&rect, point) != FALSE; }

// Day 15 of the month months away from the given one.
SYSTEMTIME MonthOffset(const SYSTEMTIME& from, int months) {
  int month = from.wMonth - 1 + months;
  int year = from.wYear + (month >= 0 ? month / 12 : -((11 - month) / 12));
  month = ((month % 12) + 12) % 12 + 1;
  SYSTEMTIME date = {};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = 15;
  return date;
}

}  // namespace

CMonthCalendarWnd::CMonthCalendarWnd() = default;

CMonthCalendarWnd::~CMonthCalendarWnd() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  if (m_todayBrush) DeleteObject(m_todayBrush);
  if (m_otherMonthBrush) DeleteObject(m_otherMonthBrush);
}

void CMonthCalendarWnd::ReadSettings() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD weekSetting = key.GetDWORD(L"Calendar_FirstYearWeek", 0);
  m_customFirstWeek = static_cast<LONG>(key.GetDWORD(L"Calendar_CustomFirstYearWeek", 0xFFFFFFFF));
  const COLORREF today = key.GetDWORD(L"calendarTodayColor", 0x40FFFF);
  const COLORREF other = key.GetDWORD(L"calendarAnotherMonthDayColor", 0xE0E0E0);
  WCHAR value[16] = L"";
  int firstDay = 0, localeRule = 0;
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, value, ARRAYSIZE(value)))
    firstDay = _wtoi(value);
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTWEEKOFYEAR, value, ARRAYSIZE(value)))
    localeRule = _wtoi(value);
  m_grid.SetRules(firstDay, CMonthGrid::ChooseWeekRule(weekSetting, localeRule), m_customFirstWeek);
  for (int i = 0; i < 7; ++i) {
    WCHAR name[80] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME1 + i, name, ARRAYSIZE(name));
    m_dayNames[i] = name;
  }
  for (int i = 0; i < 12; ++i) {
    WCHAR name[80] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + i, name, ARRAYSIZE(name));
    m_monthNames[i] = name;
  }
  if (m_todayBrush) DeleteObject(m_todayBrush);
  if (m_otherMonthBrush) DeleteObject(m_otherMonthBrush);
  m_todayBrush = CreateSolidBrush(today);
  m_otherMonthBrush = CreateSolidBrush(other);
}

BOOL CMonthCalendarWnd::Create(HWND parent, POINT topLeft, IDatePeriodListener* listener, UINT mode, double date) {
  if (IsCreated()) return FALSE;
  RECT rect = {topLeft.x, topLeft.y, topLeft.x + ScaleX(kWidth), topLeft.y + ScaleY(kHeight)};
  m_listener = listener;
  m_mode = mode;
  m_closedMessage = (mode & kModeClosedMessage) ? GetPopupClosedMessageId() : 0;
  ClearSelection();
  m_focusCell = -1;
  m_bars.clear();
  m_barsReady = FALSE;
  ReadSettings();
  if (!CPopupWindow::Create(parent, &rect, L"", FALSE)) return FALSE;
  AddToolButton(134, 159, kCmdNextMonth, 222);
  AddToolButton(133, 158, kCmdPreviousMonth, 221);
  AddToolButton(132, 160, kCmdToday, 220);
  Layout();
  FillFromList();
  SYSTEMTIME shown = {};
  const BOOL given = date != kNoDate && VariantDateToSystemTime(date, &shown);
  if (!given) GetLocalTime(&shown);
  const int cell = SetDate(shown);
  if (given && cell >= 0) SelectCells(cell, cell, FALSE);
  m_focusCell = cell;
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  return TRUE;
}

BOOL CMonthCalendarWnd::Open(HWND owner, const RECT& place, IDatePeriodListener* listener, UINT mode, double date) {
  POINT at = {place.left, place.bottom};
  if (owner) ::ScreenToClient(owner, &at);
  // The dialogs' "no date" button is the header button here.
  UINT bits = 0;
  if (mode & MONTH_POPUP_PICKER) bits |= kModePicker;
  if (mode & MONTH_POPUP_NO_DATE) bits |= kModeHeaderButton;
  return Create(owner, at, listener, bits, date);
}

void CMonthCalendarWnd::Layout() {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int top = GetTitleHeight() + ScaleY(1);
  int left = client.left + ScaleX(2);
  m_headerButton = RECT{0, 0, 0, 0};
  if (m_mode & kModeHeaderButton) {
    m_headerButton = RECT{left, top, left + ScaleX(kHeaderButtonWidth), top + ScaleY(kHeaderHeight)};
    left = m_headerButton.right + ScaleX(4);
  }
  const int mid = left + (client.right - left) / 2;
  m_monthRect = RECT{left, top, mid + ScaleX(20), top + ScaleY(kHeaderHeight)};
  m_yearRect = RECT{m_monthRect.right, top, client.right - ScaleX(2), top + ScaleY(kHeaderHeight)};
  m_gridRect = RECT{client.left + ScaleX(kWeekColumn), top + ScaleY(kHeaderHeight + kDayNamesHeight),
                    client.right - ScaleX(2), client.bottom - ScaleY(2)};
  m_cellWidth = (m_gridRect.right - m_gridRect.left) / CMonthGrid::kColumns;
  m_cellHeight = (m_gridRect.bottom - m_gridRect.top) / CMonthGrid::kRows;
  m_gridRect.right = m_gridRect.left + m_cellWidth * CMonthGrid::kColumns;
  m_gridRect.bottom = m_gridRect.top + m_cellHeight * CMonthGrid::kRows;
}

void CMonthCalendarWnd::FillFromList() {
  CAppointmentsList* list = m_list ? m_list : &CAppointmentsList::GetGlobal();
  m_bars.clear();
  m_barsReady = TRUE;
  try {
    FillBarsFrom(list);
  } catch (...) {
    // Without memory for the bars the days show their placeholders.
    m_bars.clear();
  }
}

void CMonthCalendarWnd::FillBarsFrom(CAppointmentsList* list) {
  if (list->IsRangeSet()) {
    const LONG first = static_cast<LONG>(VariantDateFloor(list->GetFrom()));
    const LONG last = static_cast<LONG>(VariantDateFloor(list->GetTo()));
    // A list over years would make thousands of bars; the grid never shows more
    // than a few months around the date.
    for (LONG day = first; day < last && day - first < 3660; ++day) {
      auto bar = std::make_unique<CTimeSpanBar>(CTimeSpanBar::MonthCellSlots());
      bar->SetDay(day);
      bar->Compute(list);
      m_bars.push_back(std::move(bar));
    }
  }
}

const CTimeSpanBar* CMonthCalendarWnd::FindBar(LONG day) const {
  auto at = std::lower_bound(m_bars.begin(), m_bars.end(), day,
                             [](const std::unique_ptr<CTimeSpanBar>& bar, LONG d) { return bar->GetDay() < d; });
  return at != m_bars.end() && (*at)->GetDay() == day ? at->get() : nullptr;
}

int CMonthCalendarWnd::SetDate(const SYSTEMTIME& date) {
  int cell = -1;
  if (!m_grid.SetDate(date, &cell)) return -1;
  m_date = date;
  GetLocalTime(&m_today);
  IMonthDataSource& source = GetMonthDataSource();
  source.CancelLoad();
  if (m_hWnd) source.RequestMonthRange(date, m_hWnd);
  Invalidate();
  return cell;
}

BOOL CMonthCalendarWnd::OnCopyData(const COPYDATASTRUCT* data) {
  if (!m_barsReady) return FALSE;
  CMonthReply reply;
  if (!reply.Read(data)) return FALSE;
  // Another program's message must not end this one: out of memory keeps what is there.
  try {
    StoreReply(reply);
  } catch (...) {
    return FALSE;
  }
  if (m_hWnd) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    client.top += GetTitleHeight() + ScaleY(2);
    ::InvalidateRect(m_hWnd, &client, FALSE);
  }
  return TRUE;
}

void CMonthCalendarWnd::StoreReply(const CMonthReply& reply) {
  const LONG first = CMonthGrid::DayNumber(reply.GetYear(), reply.GetMonth(), 1);
  const int days = DaysInMonth(reply.GetYear(), reply.GetMonth());
  for (int index = 0; index < days; ++index) {
    const LONG day = first + index;
    auto at = std::lower_bound(m_bars.begin(), m_bars.end(), day,
                               [](const std::unique_ptr<CTimeSpanBar>& bar, LONG d) { return bar->GetDay() < d; });
    if (at != m_bars.end() && (*at)->GetDay() == day) continue;
    auto bar = std::make_unique<CTimeSpanBar>(CTimeSpanBar::MonthCellSlots());
    bar->SetDay(day);
    bar->FillFromReply(index, reply);
    m_bars.insert(at, std::move(bar));
  }
}

BOOL CMonthCalendarWnd::OnCommand(UINT command) {
  switch (command) {
    case kCmdPreviousMonth:
      SetDate(MonthOffset(m_date, -1));
      return TRUE;
    case kCmdNextMonth:
      SetDate(MonthOffset(m_date, 1));
      return TRUE;
    case kCmdToday: {
      SYSTEMTIME now = {};
      GetLocalTime(&now);
      const int cell = SetDate(now);
      SelectCells(cell, cell, FALSE);
      m_focusCell = cell;
      return TRUE;
    }
    default:
      return FALSE;
  }
}

int CMonthCalendarWnd::GetSelectionFirst() const {
  if (m_anchor < 0 || m_current < 0) return -1;
  int first = std::min(m_anchor, m_current);
  if (m_rowSelection) first -= first % CMonthGrid::kColumns;
  return first;
}

int CMonthCalendarWnd::GetSelectionLast() const {
  if (m_anchor < 0 || m_current < 0) return -1;
  int last = std::max(m_anchor, m_current);
  if (m_rowSelection) last += CMonthGrid::kColumns - 1 - last % CMonthGrid::kColumns;
  return last;
}

void CMonthCalendarWnd::SelectCells(int anchor, int current, BOOL rows) {
  m_anchor = anchor;
  m_current = current;
  m_rowSelection = rows;
  Invalidate();
}

void CMonthCalendarWnd::ClearSelection() {
  m_anchor = m_current = -1;
  m_rowSelection = FALSE;
  m_selecting = FALSE;
}

POINT CMonthCalendarWnd::CellCenter(int cell) const {
  return POINT{m_gridRect.left + (cell % CMonthGrid::kColumns) * m_cellWidth + m_cellWidth / 2,
               m_gridRect.top + (cell / CMonthGrid::kColumns) * m_cellHeight + m_cellHeight / 2};
}

int CMonthCalendarWnd::CellAt(POINT point) const {
  if (!Inside(m_gridRect, point) || m_cellWidth <= 0 || m_cellHeight <= 0) return -1;
  const int column = (point.x - m_gridRect.left) / m_cellWidth;
  const int row = (point.y - m_gridRect.top) / m_cellHeight;
  return row * CMonthGrid::kColumns + column;
}

int CMonthCalendarWnd::RowAt(POINT point) const {
  if (point.y < m_gridRect.top || point.y >= m_gridRect.bottom || m_cellHeight <= 0) return -1;
  return (point.y - m_gridRect.top) / m_cellHeight;
}

BOOL CMonthCalendarWnd::OnLButtonDown(POINT* point) {
  if (m_yearEdit) CloseYearEditor(TRUE);
  if (Inside(m_headerButton, *point)) {
    RunMenuCommand(kCmdNoDate);
    return TRUE;
  }
  if (Inside(m_monthRect, *point)) {
    ShowMonthMenu();
    return TRUE;
  }
  if (Inside(m_yearRect, *point)) {
    OpenYearEditor();
    return TRUE;
  }
  const int cell = CellAt(*point);
  if (cell >= 0) {
    m_selecting = TRUE;
    m_keySelection = FALSE;
    SelectCells(cell, cell, FALSE);
    m_focusCell = cell;
    ::SetCapture(m_hWnd);
    return TRUE;
  }
  const int row = RowAt(*point);
  if (row >= 0 && point->x < m_gridRect.left) {
    if (m_mode & kModePicker) return TRUE;
    m_selecting = TRUE;
    SelectCells(row * CMonthGrid::kColumns, row * CMonthGrid::kColumns, TRUE);
    ::SetCapture(m_hWnd);
    return TRUE;
  }
  return FALSE;
}

void CMonthCalendarWnd::OnMouseMove(POINT* point) {
  if (!m_selecting) return;
  const int cell = CellAt(*point);
  if (cell >= 0) {
    if (m_mode & kModePicker) SelectCells(cell, cell, FALSE);
    else SelectCells(m_rowSelection ? m_anchor : m_anchor, cell, m_rowSelection);
    return;
  }
  const int row = RowAt(*point);
  if (row >= 0 && point->x < m_gridRect.left && !(m_mode & kModePicker))
    SelectCells(m_anchor, row * CMonthGrid::kColumns, TRUE);
}

void CMonthCalendarWnd::OnLButtonUp(POINT* point) {
  if (!m_selecting) return;
  m_selecting = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  EndSelection(*point);
}

void CMonthCalendarWnd::EndSelection(POINT point) {
  if (GetSelectionFirst() < 0) return;
  if (m_mode & kModePicker) {
    RunMenuCommand(kCmdReportDays);
    return;
  }
  if (m_mode & kModeChildControl) {
    HWND parent = GetOwner();
    if (parent) ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(m_controlId, 0), reinterpret_cast<LPARAM>(m_hWnd));
    return;
  }
  ShowDayMenu(point, FALSE);
}

void CMonthCalendarWnd::ShowDayMenu(POINT client, BOOL fromKey) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  auto add = [menu](UINT command, UINT textId) { AppendMenuW(menu, MF_STRING, command, Text(textId)); };
  if ((m_mode & kModePicker) && fromKey) {
    add(kCmdReportDays, 304);
    add(kCmdNoDate, 144);
    add(kCmdToday, 302);
    add(kCmdClose, 303);
  } else {
    const int first = GetSelectionFirst(), last = GetSelectionLast();
    const BOOL selected = first >= 0;
    if (selected) {
      add(kCmdReportDays, 26);
      add(kCmdReportWeeks, first / CMonthGrid::kColumns == last / CMonthGrid::kColumns ? 27 : 28);
    }
    CString month;
    month.Format(Text(111), static_cast<LPCWSTR>(m_monthNames[m_grid.GetMonth() - 1]));
    AppendMenuW(menu, MF_STRING, kCmdReportMonth, month);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (selected) {
      add(kCmdNewTask, 30);
      add(kCmdNewAppointment, 29);
    }
    if (fromKey) {
      add(kCmdToday, 302);
      if (!m_selecting) add(kCmdStartSelection, 306);
      add(kCmdClose, 303);
    }
  }
  POINT screen = client;
  ::ClientToScreen(m_hWnd, &screen);
  const int command = CPopupMenuTracker::Track(menu, TPM_RETURNCMD | TPM_LEFTALIGN, screen.x, screen.y, m_hWnd);
  DestroyMenu(menu);
  if (command > 0) RunMenuCommand(static_cast<UINT>(command));
}

void CMonthCalendarWnd::CloseAfterAction() {
  if (m_hWnd) ::PostMessageW(m_hWnd, WM_CLOSE, m_closedMessage, 0);
}

void CMonthCalendarWnd::Report(double from, double to) {
  CloseAfterAction();
  if (m_listener) m_listener->OnPeriodChosen(from, to);
}

void CMonthCalendarWnd::RunMenuCommand(UINT command) {
  const int first = GetSelectionFirst(), last = GetSelectionLast();
  switch (command) {
    case kCmdReportDays:
      if (first >= 0) Report(CellDay(first), CellDay(last));
      break;
    case kCmdReportWeeks: {
      if (first < 0) break;
      const double from = CellDay(first - first % CMonthGrid::kColumns);
      const double to = CellDay(last - last % CMonthGrid::kColumns) + 6;
      Report(from, to);
      break;
    }
    case kCmdReportMonth: {
      const double from = CMonthGrid::DayNumber(m_grid.GetYear(), m_grid.GetMonth(), 1);
      Report(from, from + DaysInMonth(m_grid.GetYear(), m_grid.GetMonth()) - 1);
      break;
    }
    case kCmdNewTask:
      if (first < 0) break;
      CloseAfterAction();
      {
        const double end = CellDay(last);
        GetMonthDataSource().NewItem(3, CellDay(first), &end);
      }
      break;
    case kCmdNewAppointment:
      if (first < 0) break;
      CloseAfterAction();
      if (first == last) {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        const double start = CellDay(first) + (now.wHour + 1) / 24.0;
        GetMonthDataSource().NewItem(1, start, nullptr);
      } else {
        const double end = CellDay(last);
        GetMonthDataSource().NewItem(1, CellDay(first), &end);
      }
      break;
    case kCmdNoDate:
      Report(kNoDate, kNoDate);
      break;
    case kCmdToday:
      OnCommand(kCmdToday);
      break;
    case kCmdStartSelection:
      if (m_focusCell >= 0) {
        m_keySelection = TRUE;
        SelectCells(m_focusCell, m_focusCell, FALSE);
      }
      break;
    case kCmdClose:
      CloseAfterAction();
      break;
    default:
      break;
  }
}

void CMonthCalendarWnd::ShowMonthMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (int i = 0; i < 12; ++i)
    AppendMenuW(menu, MF_STRING | (i + 1 == m_grid.GetMonth() ? MF_CHECKED : 0), i + 1, m_monthNames[i]);
  POINT screen = {m_monthRect.left, m_monthRect.bottom};
  ::ClientToScreen(m_hWnd, &screen);
  const int chosen = CPopupMenuTracker::Track(menu, TPM_RETURNCMD | TPM_LEFTALIGN, screen.x, screen.y, m_hWnd);
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= 12 && chosen != m_grid.GetMonth()) {
    SYSTEMTIME date = {};
    date.wYear = static_cast<WORD>(m_grid.GetYear());
    date.wMonth = static_cast<WORD>(chosen);
    date.wDay = 15;
    ClearSelection();
    SetDate(date);
  }
}

void CMonthCalendarWnd::OpenYearEditor() {
  if (m_yearEdit) return;
  const RECT& r = m_yearRect;
  m_yearEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER, r.left, r.top,
                               r.right - r.left - ScaleX(14), r.bottom - r.top, m_hWnd, nullptr, nullptr, nullptr);
  if (!m_yearEdit) return;
  ::SendMessageW(m_yearEdit, EM_LIMITTEXT, 4, 0);
  m_yearSpin = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                               WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, 0, 0, 0, 0,
                               m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kYearEditorId)), nullptr, nullptr);
  if (m_yearSpin) {
    ::SendMessageW(m_yearSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_yearEdit), 0);
    ::SendMessageW(m_yearSpin, UDM_SETRANGE32, 1900, 2999);
    ::SendMessageW(m_yearSpin, UDM_SETPOS32, 0, m_grid.GetYear());
  }
  WCHAR year[8];
  wsprintfW(year, L"%d", m_grid.GetYear());
  ::SetWindowTextW(m_yearEdit, year);
  SetWindowSubclass(m_yearEdit, YearEditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  ::SetFocus(m_yearEdit);
  ::SendMessageW(m_yearEdit, EM_SETSEL, 0, -1);
  ShowInputPanel(TRUE);
}

void CMonthCalendarWnd::CloseYearEditor(BOOL apply) {
  if (!m_yearEdit) return;
  WCHAR text[10] = L"";
  ::GetWindowTextW(m_yearEdit, text, ARRAYSIZE(text));
  HWND edit = m_yearEdit, spin = m_yearSpin;
  m_yearEdit = m_yearSpin = nullptr;
  RemoveWindowSubclass(edit, YearEditProc, 1);
  if (spin) ::DestroyWindow(spin);
  ::DestroyWindow(edit);
  if (!apply) return;
  // Digits only; anything else (or a number past four digits) is no year.
  int year = 0;
  for (const WCHAR* c = text; *c; ++c) {
    if (*c < L'0' || *c > L'9' || year > 9999) {
      year = 0;
      break;
    }
    year = year * 10 + (*c - L'0');
  }
  if (year < 1900 || year > 2999 || year == m_grid.GetYear()) return;
  SYSTEMTIME date = {};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(m_grid.GetMonth());
  date.wDay = 15;
  ClearSelection();
  SetDate(date);
}

LRESULT CALLBACK CMonthCalendarWnd::YearEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data) {
  auto* self = reinterpret_cast<CMonthCalendarWnd*>(data);
  if (message == WM_CHAR && wParam == VK_RETURN) {
    ShowInputPanel(FALSE);
    // Giving the focus back ends the edit through its kill-focus notification.
    ::SetFocus(self->m_hWnd);
    return 0;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

void CMonthCalendarWnd::ShowMonthOffset(int months) {
  SYSTEMTIME date = MonthOffset(m_date, months);
  SetDate(date);
}

void CMonthCalendarWnd::OnKey(UINT key) {
  int step = 0;
  switch (key) {
    case VK_LEFT: step = -1; break;
    case VK_RIGHT: step = 1; break;
    case VK_UP: step = -7; break;
    case VK_DOWN: step = 7; break;
    case VK_RETURN: {
      if (m_focusCell < 0) m_focusCell = m_grid.FindDay(CMonthGrid::DayNumber(m_date.wYear, m_date.wMonth, m_date.wDay));
      const int cell = m_focusCell >= 0 ? m_focusCell : 0;
      if (GetSelectionFirst() < 0) SelectCells(cell, cell, FALSE);
      ShowDayMenu(CellCenter(cell), TRUE);
      return;
    }
    default:
      return;
  }
  if (m_focusCell < 0) m_focusCell = m_grid.FindDay(CMonthGrid::DayNumber(m_date.wYear, m_date.wMonth, m_date.wDay));
  int cell = m_focusCell + step;
  if (cell < 0 || cell >= CMonthGrid::kCells) {
    const LONG day = m_grid.GetCellDay(0) + cell;
    ShowMonthOffset(cell < 0 ? -1 : 1);
    cell = m_grid.FindDay(day);
    if (cell < 0) cell = ((m_focusCell + step) % CMonthGrid::kCells + CMonthGrid::kCells) % CMonthGrid::kCells;
  }
  m_focusCell = cell;
  if (m_keySelection) SelectCells(m_anchor, cell, FALSE);
  else SelectCells(cell, cell, FALSE);
}

void CMonthCalendarWnd::Invalidate() {
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CMonthCalendarWnd::OnPopupDestroy() {
  if (m_yearEdit) CloseYearEditor(FALSE);
  ClearSelection();
  m_bars.clear();
  m_barsReady = FALSE;
}

BOOL CMonthCalendarWnd::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD mapId) {
  if (mapId == 0) {
    switch (message) {
      case WM_COPYDATA:
        result = OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
      case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->code == GN_CONTEXTMENU) {
          const NMRGINFO* info = reinterpret_cast<const NMRGINFO*>(lParam);
          POINT client = info->ptAction;
          ::ScreenToClient(hWnd, &client);
          const int cell = CellAt(client);
          if (cell >= 0 && (GetSelectionFirst() < 0 || cell < GetSelectionFirst() || cell > GetSelectionLast()))
            SelectCells(cell, cell, FALSE);
          ShowDayMenu(client, FALSE);
          result = 0;
          return TRUE;
        }
        break;
      }
      case WM_COMMAND:
        if (HIWORD(wParam) == EN_KILLFOCUS && reinterpret_cast<HWND>(lParam) == m_yearEdit && m_yearEdit) {
          CloseYearEditor(TRUE);
          return TRUE;
        }
        break;
      case WM_KEYDOWN:
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_RETURN) {
          OnKey(static_cast<UINT>(wParam));
          return TRUE;
        }
        break;
      default:
        break;
    }
  }
  return CPopupWindow::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}

void CMonthCalendarWnd::PaintContent(CTextRunList* context) {
  HDC dc = context->GetDC();
  if (!dc) return;
  HFONT bold = GetControlBoldFont();
  HFONT plain = GetControlListFont();
  HGDIOBJ oldFont = SelectObject(dc, bold);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  if (m_mode & kModeHeaderButton) {
    FrameRect(dc, &m_headerButton, GetSysColorBrush(COLOR_WINDOWFRAME));
    RECT inner = m_headerButton;
    DrawTextW(dc, Text(144), -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (m_grid.GetMonth() >= 1) {
    RECT month = m_monthRect;
    DrawTextW(dc, m_monthNames[m_grid.GetMonth() - 1], -1, &month, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    WCHAR year[8];
    wsprintfW(year, L"%0.4d", m_grid.GetYear());
    RECT yearRect = m_yearRect;
    yearRect.left += ScaleX(4);
    if (!m_yearEdit) DrawTextW(dc, year, -1, &yearRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, plain);
  // Day names, Monday being index 0 of the locale's names.
  const int namesTop = m_gridRect.top - ScaleY(kDayNamesHeight);
  for (int column = 0; column < CMonthGrid::kColumns; ++column) {
    const int weekday = (m_grid.GetFirstDayOfWeek() + column) % 7;
    SetTextColor(dc, weekday == 6 ? kSundayColor : weekday == 5 ? kSaturdayColor : RGB(0, 0, 0));
    RECT rect = {m_gridRect.left + column * m_cellWidth, namesTop, m_gridRect.left + (column + 1) * m_cellWidth,
                 m_gridRect.top};
    DrawTextW(dc, m_dayNames[weekday], -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  HBRUSH rule = GetItemPalette().GetBrush(1);
  const int first = GetSelectionFirst(), last = GetSelectionLast();
  const LONG today = CMonthGrid::DayNumber(m_today.wYear, m_today.wMonth, m_today.wDay);
  for (int cell = 0; cell < CMonthGrid::kCells; ++cell) {
    const int row = cell / CMonthGrid::kColumns, column = cell % CMonthGrid::kColumns;
    RECT rect = {m_gridRect.left + column * m_cellWidth, m_gridRect.top + row * m_cellHeight,
                 m_gridRect.left + (column + 1) * m_cellWidth, m_gridRect.top + (row + 1) * m_cellHeight};
    const LONG day = m_grid.GetCellDay(cell);
    const BOOL selected = first >= 0 && cell >= first && cell <= last;
    HBRUSH background = nullptr;
    if (selected) background = GetSysColorBrush(COLOR_HIGHLIGHT);
    else if (day == today) background = m_todayBrush;
    else if (!m_grid.IsInShownMonth(cell)) background = m_otherMonthBrush;
    if (background) FillRect(dc, &rect, background);
    SYSTEMTIME date = {};
    m_grid.GetCellDate(cell, &date);
    const int weekday = CMonthGrid::Weekday(day);
    COLORREF color = weekday == 6 ? kSundayColor : weekday == 5 ? kSaturdayColor : RGB(0, 0, 0);
    if (selected) color = GetItemPalette().GetColor(4);
    SetTextColor(dc, color);
    WCHAR number[4];
    wsprintfW(number, L"%d", date.wDay);
    RECT textRect = {rect.left + ScaleX(2), rect.top, rect.right, rect.top + ScaleY(12)};
    DrawTextW(dc, number, -1, &textRect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    const POINT at = {rect.left + ScaleX(2), rect.top + ScaleY(12)};
    const CTimeSpanBar* bar = FindBar(day);
    if (!bar) CTimeSpanBar::DrawPlaceholder(dc, at, rule);
    else if (!bar->IsMorningEmpty() || !bar->IsAfternoonEmpty()) const_cast<CTimeSpanBar*>(bar)->DrawDay(dc, at);
  }
  // Grid lines and week numbers.
  for (int row = 0; row <= CMonthGrid::kRows; ++row) {
    RECT line = {m_gridRect.left, m_gridRect.top + row * m_cellHeight, m_gridRect.right,
                 m_gridRect.top + row * m_cellHeight + 1};
    FillRect(dc, &line, rule);
  }
  for (int column = 0; column <= CMonthGrid::kColumns; ++column) {
    RECT line = {m_gridRect.left + column * m_cellWidth, m_gridRect.top, m_gridRect.left + column * m_cellWidth + 1,
                 m_gridRect.bottom};
    FillRect(dc, &line, rule);
  }
  SetTextColor(dc, RGB(0x60, 0x60, 0x60));
  for (int row = 0; row < CMonthGrid::kRows; ++row) {
    WCHAR week[8];
    wsprintfW(week, L"%0.2d", m_grid.GetWeekNumber(row));
    RECT rect = {0, m_gridRect.top + row * m_cellHeight, m_gridRect.left - ScaleX(1),
                 m_gridRect.top + (row + 1) * m_cellHeight};
    DrawTextW(dc, week, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}
