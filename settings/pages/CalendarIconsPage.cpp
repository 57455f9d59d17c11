#include "settings/pages/CalendarIconsPage.h"

#include <cwctype>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"

namespace {

const int kLetterCount = sizeof(kCalendarIconLetters) / sizeof(kCalendarIconLetters[0]);
const UINT kNoLeadingIconText = 32833;

int FindLetter(WCHAR letter) {
  for (int i = 0; i < kLetterCount; ++i)
    if (kCalendarIconLetters[i].letter == letter) return i;
  return -1;
}

}  // namespace

BOOL CCalendarIconsPage::OnInitPage() {
  m_ready = FALSE;
  HWND combo = GetDlgItem(kLeadingIconCombo);
  RECT place = {};
  ::GetWindowRect(combo, &place);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
  const int height = place.bottom - place.top;
  ::SetWindowPos(combo, nullptr, place.left + height, place.top, place.right - place.left - height, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (!m_icons.m_hWnd) {
    int icons[kLetterCount];
    for (int i = 0; i < kLetterCount; ++i) icons[i] = kCalendarIconLetters[i].icon;
    m_icons.SetItems(icons, kLetterCount);
    RECT list = place;
    ::OffsetRect(&list, 0, 2 * height - ScaleY(4));
    m_icons.Create(m_hWnd, &list, nullptr, WS_CHILD | WS_VISIBLE, 0, kIconAssignListId);
  }
  const CViewSettings& settings = GetViewSettings();
  m_icons.SetCurSel(-1);
  const CString suffix = settings.AppPattern.rest;
  for (int i = 0; i < suffix.GetLength(); ++i) {
    const int row = FindLetter(suffix[i]);
    if (row >= 0) m_icons.SetCurSel(row);
  }
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  CString text;
  LoadUIString(text, kNoLeadingIconText);
  ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
  ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
  const CString prefix = settings.AppPattern.first;
  const int leading = prefix.IsEmpty() ? -1 : FindLetter(static_cast<WCHAR>(towlower(prefix[0])));
  m_icons.ToggleItem(-1);
  for (int i = 0; i < kLetterCount; ++i) {
    LoadUIString(text, kCalendarIconLetters[i].label);
    const LRESULT item = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
    ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), kCalendarIconLetters[i].icon);
    if (i == leading) {
      ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
      m_icons.ToggleItem(i);
    }
  }
  m_ready = TRUE;
  return TRUE;
}

void CCalendarIconsPage::UpdateIconLetters() {
  m_ready = FALSE;
  CViewSettings& settings = GetViewSettings();
  const int k = static_cast<int>(SendDlgItemMessage(kLeadingIconCombo, CB_GETCURSEL, 0, 0)) - 1;
  CString prefix, suffix;
  m_icons.ToggleItem(-1);
  if (k >= 0 && k < kLetterCount) {
    prefix += kCalendarIconLetters[k].letter;
    m_icons.ToggleItem(k);
  }
  for (int i = 0; i < kLetterCount; ++i)
    if (m_icons.IsSelected(i) && !m_icons.IsChecked(i)) suffix += kCalendarIconLetters[i].letter;
  settings.AppPattern.first = prefix;
  settings.AppPattern.rest = suffix;
  m_ready = TRUE;
}

BOOL CCalendarIconsPage::OnSetActive() {
  if (m_ready) UpdateIconLetters();
  return COptionsPage<CCalendarIconsPage>::OnSetActive();
}

BOOL CCalendarIconsPage::OnApply() {
  UpdateIconLetters();
  GetViewSettings().Save();
  return TRUE;
}

void CCalendarIconsPage::OnReset() { GetViewSettings().Load(); }
