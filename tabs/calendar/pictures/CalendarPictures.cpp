// calendarpictures.exe OUTDIR: the month calendar popup with busy bars from month
// replies (OUTDIR\month-popup.png) and the day schedule with a dragged span
// (OUTDIR\day-schedule.png), as the 240x320 screen at 96 dpi shows them. For people
// (the README's pictures), never a test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "graphics/Dib.h"
#include "platform/windowlib/Module.h"
#include "tabs/calendar/DaySchedulePopup.h"
#include "tabs/calendar/MonthCalendarWnd.h"
#include "tabs/calendar/MonthDataSource.h"
#include "tabs/calendar/MonthReply.h"
#include "tools/controlsgallery/PngWriter.h"

namespace {

std::wstring g_folder;

void Pump() {
  for (int round = 0; round < 20; ++round) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

// Answers every month with a made-up week of work: meetings in the mornings, a
// tentative afternoon, an out-of-office day and a clash now and then.
class CSampleMonths : public IMonthDataSource {
 public:
  void CancelLoad() override {}
  void RequestMonthRange(const SYSTEMTIME& date, HWND window) override {
    m_window = window;
    m_date = date;
  }
  BOOL NewItem(int, double, const double*) override { return TRUE; }
  void Answer() {
    for (int offset : {-1, 0, 1}) {
      int month = m_date.wMonth + offset, year = m_date.wYear;
      if (month < 1) month += 12, --year;
      if (month > 12) month -= 12, ++year;
      CMonthReply reply;
      const LONG first = CMonthGrid::DayNumber(year, month, 1);
      for (int day = 0; day < DaysInMonth(year, month); ++day) {
        const int weekday = CMonthGrid::Weekday(first + day);
        if (weekday >= 5) continue;
        const int base = day * 48;
        for (int h = 18; h < 21 + (day % 3); ++h) reply.SetSlot(base + h, TRUE, 2);
        if (day % 2) {
          for (int h = 28; h < 33; ++h) reply.SetSlot(base + h, TRUE, 1);
        }
        if (day % 7 == 3) reply.SetSlot(base + 20, FALSE, 3);
        if (day % 11 == 5) {
          for (int h = 16; h < 36; ++h) reply.SetSlot(base + h, TRUE, 3);
        }
      }
      COPYDATASTRUCT data = {CMonthReply::MakeKey(year, month), CMonthReply::kSize,
                             const_cast<CMonthReply::Layout*>(&reply.GetLayout())};
      SendMessageW(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
  }

 private:
  HWND m_window = nullptr;
  SYSTEMTIME m_date = {};
};

bool SavePopup(CPopupWindow& popup, const wchar_t* name) {
  RedrawWindow(popup.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  RedrawWindow(popup.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // The picture stays selected in the popup's own context: copied from there.
  const SIZE size = popup.GetPicture().GetSize();
  const RECT all = {0, 0, size.cx, size.cy};
  CDib picture;
  return picture.CopyFromDC(popup.GetPicture().GetDC(), all) && SavePng(picture, (g_folder + L"\\" + name).c_str());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  g_folder = commandLine && *commandLine ? commandLine : L".";
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  GetModule().Init(instance);
  CString path;
  GetInstallPath(path, L"TarvoRes.Dll");
  HINSTANCE resources = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  GetModule().SetResourceInstance(resources);
  SetScreenDpi(96, 96);

  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, instance, nullptr);
  bool saved = true;
  {
    CSampleMonths months;
    SetMonthDataSource(&months);
    CMonthCalendarWnd calendar;
    SYSTEMTIME shown = {2024, 3, 0, 14, 0, 0, 0, 0};
    double date = 0;
    SystemTimeToVariantDate(shown, &date);
    if (calendar.Create(owner, POINT{10, 40}, nullptr, 0, date)) {
      months.Answer();
      // A week chosen with the stylus.
      const POINT from = calendar.CellCenter(15), to = calendar.CellCenter(19);
      SendMessageW(calendar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
      SendMessageW(calendar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
      saved = SavePopup(calendar, L"month-popup.png") && saved;
      ReleaseCapture();
    } else {
      saved = false;
    }
    SetMonthDataSource(nullptr);
  }
  {
    CDaySchedulePopup schedule;
    RECT anchor = {0, 60, 230, 80};
    double day = 0;
    SYSTEMTIME thursday = {2024, 3, 0, 14, 0, 0, 0, 0};
    SystemTimeToVariantDate(thursday, &day);
    if (schedule.SetDay(owner, anchor, L"Thursday, March 14", day, nullptr)) {
      CTimeSpanBar& bar = schedule.GetBar();
      const int w = bar.GetSlotCount() / 48;
      for (int k = 18 * w; k < 21 * w; ++k) bar.SetLevel(k, 2);
      for (int k = 20 * w; k < 22 * w; ++k) bar.SetLevel(k, 5);
      for (int k = 26 * w; k < 30 * w; ++k) bar.SetLevel(k, 1);
      for (int k = 34 * w; k < 36 * w; ++k) bar.SetLevel(k, 3);
      const RECT& place = schedule.GetBarRect();
      const int y = (place.top + place.bottom) / 2;
      SendMessageW(schedule.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(place.left + 30 * w + 1, y));
      SendMessageW(schedule.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(place.left + 33 * w + 1, y));
      saved = SavePopup(schedule, L"day-schedule.png") && saved;
      ReleaseCapture();
    } else {
      saved = false;
    }
  }
  DestroyWindow(owner);
  CTimeSpanBar::FreeStatusBrushes();
  GetModule().SetResourceInstance(nullptr);
  if (resources) FreeLibrary(resources);
  GetModule().Term();
  CoUninitialize();
  return saved ? 0 : 1;
}
