// What the calendar popups' tests share: the registry and resources of their own,
// and a fake of the item-operations program's month data.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/MonthPopup.h"
#include "controls/ListItem.h"
#include "controls/PopupMenuTracker.h"
#include "controls/tests/MenuAnswer.h"
#include "controls/tests/TestHost.h"
#include "tabs/calendar/AppointmentRequests.h"
#include "tabs/calendar/MonthDataSource.h"
#include "tabs/calendar/MonthReply.h"

namespace caltest {

inline SYSTEMTIME Date(int year, int month, int day, int hour = 0, int minute = 0) {
  SYSTEMTIME date = {};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  date.wHour = static_cast<WORD>(hour);
  date.wMinute = static_cast<WORD>(minute);
  return date;
}

inline double Variant(int year, int month, int day, int hour = 0, int minute = 0) {
  double value = 0;
  SystemTimeToVariantDate(Date(year, month, day, hour, minute), &value);
  return value;
}

// Stands in for the item-operations program: records what the popup asks and
// answers with replies the test builds.
class CFakeMonthData : public IMonthDataSource {
 public:
  struct NewItemCall {
    int kind;
    double start;
    bool hasEnd;
    double end;
  };
  CFakeMonthData() { SetMonthDataSource(this); }
  ~CFakeMonthData() override { SetMonthDataSource(nullptr); }
  void CancelLoad() override { ++cancels; }
  void RequestMonthRange(const SYSTEMTIME& date, HWND window) override {
    requests.push_back(date);
    replyWindow = window;
  }
  BOOL NewItem(int kind, double start, const double* end) override {
    newItems.push_back({kind, start, end != nullptr, end ? *end : 0});
    return TRUE;
  }
  // The reply as the program sends it; what the window answered.
  static LRESULT Send(HWND window, ULONG_PTR key, const void* bytes, DWORD size) {
    COPYDATASTRUCT data = {key, size, const_cast<void*>(bytes)};
    return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  static LRESULT SendReply(HWND window, int year, int month, const CMonthReply& reply) {
    return Send(window, CMonthReply::MakeKey(year, month), &reply.GetLayout(), CMonthReply::kSize);
  }

  int cancels = 0;
  std::vector<SYSTEMTIME> requests;
  std::vector<NewItemCall> newItems;
  HWND replyWindow = nullptr;
};

class CPeriodRecorder : public IDatePeriodListener {
 public:
  void OnPeriodChosen(double from, double to) override { periods.push_back({from, to}); }
  std::vector<std::pair<double, double>> periods;
};

// The owner of rows in a test: keeps the row events told to it.
class CRowOwner : public IListItemOwner {
 public:
  void OnItemChanged(CListItem*) override {}
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem*) override {}
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM value) override { notified.push_back(static_cast<int>(value)); }
  BOOL IsFirstItem(CListItem*) override { return FALSE; }
  void OnItemFolded(CListItem*, BOOL) override {}
  std::vector<int> notified;
};

// Stands in for the item-operations program's client of the appointments list.
class CRequestRecorder : public IAppointmentRequests {
 public:
  BOOL ChangeAppointment(DWORD itemId, double occurrence, double start, double end, LONG status, BOOL allDay) override {
    changes.push_back({itemId, occurrence, start, end, status, allDay});
    return TRUE;
  }
  BOOL SetApptReminder(DWORD itemId, LONG minutes) override {
    reminders.push_back({itemId, minutes});
    return TRUE;
  }
  struct Change {
    DWORD itemId;
    double occurrence, start, end;
    LONG status;
    BOOL allDay;
  };
  std::vector<Change> changes;
  std::vector<std::pair<DWORD, LONG>> reminders;
};

}  // namespace caltest
