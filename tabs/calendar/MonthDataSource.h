// IMonthDataSource: what the month calendar asks of the item-operations program:
// drop its queue, send the month replies around a date, start a new item. The
// real source is the program's client; tests install a fake that answers with
// replies of its own.
#pragma once
#include <windows.h>

class IMonthDataSource {
 public:
  virtual ~IMonthDataSource() = default;
  virtual void CancelLoad() = 0;
  // The date's month, the month before, then the month after; replies go to window.
  virtual void RequestMonthRange(const SYSTEMTIME& date, HWND replyWindow) = 0;
  // kind 1 appointment, 3 task; end null for none.
  virtual BOOL NewItem(int kind, double start, const double* end) = 0;
};

// The source in use: the program's client until one is set (null restores it).
IMonthDataSource& GetMonthDataSource();
void SetMonthDataSource(IMonthDataSource* source);
