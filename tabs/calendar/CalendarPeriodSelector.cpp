#include "tabs/calendar/CalendarPeriodSelector.h"

#include <utility>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/Translator.h"

namespace {

const int kStandardPeriods[] = {1, 2, 3, 5, 7, 14, 31};
const UINT kStandardTexts[] = {44, 47, 48, 49, 50, 51, 52};

CString Text(UINT id) {
  CString text;
  LoadUIString(text, id);
  return text;
}

CString ShortDate(LONG day) {
  SYSTEMTIME date = {};
  WCHAR text[80] = L"";
  if (VariantDateToSystemTime(day, &date)) GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, 80);
  return text;
}

}  // namespace

CCalendarPeriodSelector::CCalendarPeriodSelector() { LoadSettings(); }

int CCalendarPeriodSelector::NormalizeCustomPeriod(DWORD value) {
  if (value >= 999) return kCustomItem;
  for (int period : kStandardPeriods)
    if (static_cast<int>(value) == period) return 0;
  return static_cast<int>(value);
}

void CCalendarPeriodSelector::LoadSettings() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_flatMode = FALSE;
  m_customPeriod = NormalizeCustomPeriod(key.GetDWORD(L"CalendarCustomPeriod", 0));
  if (!m_rangeShown) {
    const DWORD period = key.GetDWORD(L"CalendarPeriod", kDefaultPeriod);
    // A stored range or a count past any item would show nothing; the default serves.
    m_period = period >= 1 && period < kCustomItem ? static_cast<int>(period) : kDefaultPeriod;
  }
  Rebuild();
}

void CCalendarPeriodSelector::Rebuild() {
  RemoveAllItems();
  // The custom item follows the largest standard period below it.
  for (int i = 0; i < 7; ++i) {
    AddItem(CMenuEntry(kItemBase + kStandardPeriods[i], Text(kStandardTexts[i])));
    const int next = i + 1 < 7 ? kStandardPeriods[i + 1] : 0x7FFFFFFF;
    if (m_customPeriod > kStandardPeriods[i] && m_customPeriod < next) {
      CString custom;
      custom.Format(Text(333), m_customPeriod);
      AddItem(CMenuEntry(kCustomItem, custom));
    }
  }
  if (m_period == kRangeItem) {
    CString range;
    if (m_rangeFirst == m_rangeLast) range = ShortDate(m_rangeFirst);
    else range.Format(L"%s-%s", static_cast<LPCWSTR>(ShortDate(m_rangeFirst)), static_cast<LPCWSTR>(ShortDate(m_rangeLast)));
    AddItem(CMenuEntry(kRangeItem, range));
  }
  SetCaption(Text(46));
  int selected = kItemBase + m_period;
  if (m_period == kRangeItem) selected = kRangeItem;
  else if (m_customPeriod && m_period == m_customPeriod) selected = kCustomItem;
  SetSelection(selected, FALSE);
  if (m_period != kRangeItem) {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"CalendarPeriod", static_cast<DWORD>(m_period));
  }
}

void CCalendarPeriodSelector::Changed() { NotifyParent(kChangedCode, 0); }

int CCalendarPeriodSelector::OnSelect(int itemId) {
  if (itemId == kCmdPickDates) {
    HWND host = GetHwnd();
    if (host) ::PostMessageW(host, WM_CAPTURECHANGED, 0, 0);
    const RECT& bounds = GetBounds();
    m_calendar.Create(host, POINT{bounds.left, bounds.top}, this, CMonthCalendarWnd::kModeClosedMessage, kNoDate);
    return itemId;
  }
  if (itemId >= kItemBase + 1 && itemId <= kItemBase + 31) {
    m_period = itemId - kItemBase;
  } else if (itemId == kCustomItem && m_customPeriod) {
    m_period = m_customPeriod;
  } else if (itemId == kCmdFlatMode) {
    m_flatMode = !m_flatMode;
    Changed();
    return itemId;
  } else {
    return itemId;
  }
  m_rangeShown = FALSE;
  Rebuild();
  Changed();
  return itemId;
}

int CCalendarPeriodSelector::OnItemChosen(int commandId) {
  if (commandId == kCmdPickDates || commandId == kCmdFlatMode || commandId == kCustomItem ||
      (commandId > kItemBase && commandId <= kItemBase + 31))
    return OnSelect(commandId);
  return CVirtualDropDown::OnItemChosen(commandId);
}

void CCalendarPeriodSelector::FillMenuExtra(HMENU menu, int position) {
  CVirtualDropDown::FillMenuExtra(menu, position);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kCmdPickDates, Text(53));
}

void CCalendarPeriodSelector::GetRange(LONG* first, LONG* last) const {
  LONG from = m_rangeFirst, to = m_rangeLast;
  if (m_period != kRangeItem) {
    from = static_cast<LONG>(GetTodayDate());
    to = from + m_period - 1;
  }
  if (first) *first = from;
  if (last) *last = to;
}

void CCalendarPeriodSelector::OnPeriodChosen(double from, double to) {
  // "No date" is no range.
  if (from == kNoDate || to == kNoDate) return;
  m_rangeFirst = static_cast<LONG>(from);
  m_rangeLast = static_cast<LONG>(to);
  if (m_rangeLast < m_rangeFirst) std::swap(m_rangeFirst, m_rangeLast);
  m_period = kRangeItem;
  m_rangeShown = TRUE;
  Rebuild();
  Changed();
}
