#include "settings/pages/CalendarShowPage.h"

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "pim/SystemUtils.h"

BOOL CCalendarShowPage::OnInitPage() {
  m_hasPellam = IsPellamPresent();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  for (int i = 0; i < kBoxCount; ++i) {
    const CalendarShowBox& box = kCalendarShowBoxes[i];
    const BOOL transactions = box.control == kCalendarTransactionsBox;
    m_values[i] = transactions && !m_hasPellam ? 0 : key.GetDWORD(box.value, box.defaultValue);
    CheckDlgButton(box.control, m_values[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  ::EnableWindow(GetDlgItem(kCalendarTransactionsBox), m_hasPellam);
  StackCheckBoxes();
  return TRUE;
}

void CCalendarShowPage::StackCheckBoxes() {
  HWND first = GetDlgItem(kCalendarShowBoxes[0].control);
  if (!first) return;
  RECT place = {};
  ::GetWindowRect(first, &place);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
  const int step = place.bottom - place.top + ScaleY(1);
  int top = place.top;
  for (int i = 1; i < kBoxCount; ++i) {
    HWND box = GetDlgItem(kCalendarShowBoxes[i].control);
    if (!box) continue;
    top += step;
    ::SetWindowPos(box, nullptr, place.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

BOOL CCalendarShowPage::OnApply() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  for (int i = 0; i < kBoxCount; ++i) {
    const CalendarShowBox& box = kCalendarShowBoxes[i];
    m_values[i] = IsDlgButtonChecked(box.control) == BST_CHECKED;
    if (box.control == kCalendarTransactionsBox && !m_hasPellam) continue;
    key.SetDWORD(box.value, m_values[i]);
  }
  return TRUE;
}
