// CDayHeaderRow: one day's foldable group of the Calendar's day list. Its title is
// the day's long date, named today or tomorrow and marked with its offset from today
// as the view settings ask; right of the title it can show the forecast item's icon
// of the day and the day's time-span bar. Taps on those report row events to the
// owner.
#pragma once
#include <windows.h>

#include "panel/ListGroupHeader.h"
#include "tabs/calendar/TimeSpanBar.h"

class CAppointmentsList;

class CDayHeaderRow : public CListGroupHeader {
 public:
  enum { kKind = 557 };
  // Row events told to the owner (OnItemNotify).
  enum { kNotifySpanBar = 768, kNotifyForecast = 769 };

  // day: a variant date (its whole part counts); today: the whole day of today.
  CDayHeaderRow(IListItemOwner* owner, double day, double today);
  ~CDayHeaderRow() override;

  // The title for a day as the view settings ask.
  static CString MakeTitle(double day, double today);

  double GetDay() override { return m_day; }
  // The key the fold is kept under: the day number, which stays when today moves on.
  void GetKey(CString& out) override;
  BOOL OnPress(POINT* point) override;
  int GetHeaderIcons(CSimpleValArray<int>& widths) override;
  void DrawHeaderIcon(int index, HDC dc, CTextRunList* context, const RECT& column, int ruleOffset, int middleY,
                      const POINT* origin) override;

  // Asks the forecast item for the day's icon (offset from today); its answer word,
  // 0 when no bitmap could be made.
  DWORD RequestSovelIcon(int dayOffset);
  DWORD GetSovelState() const { return m_sovelState; }
  // Sets the bar to the header's day and fills it from the list (null: the global one).
  void UpdateSpanBar(CAppointmentsList* list = nullptr);
  CTimeSpanBar& GetSpanBar() { return m_bar; }
  BOOL IsSpanBarShown() const;
  // Where the icon (0) or the bar (1) stands in the row's coordinates; empty when
  // not shown.
  RECT GetHeaderIconRect(int which);

 private:
  BOOL HasSovelIcon() const { return m_sovelState != 0 && m_sovelBitmap; }

  double m_day;
  CTimeSpanBar m_bar;
  HBITMAP m_sovelBitmap;
  void* m_sovelPixels;
  int m_sovelHeight;
  DWORD m_sovelState;
};
