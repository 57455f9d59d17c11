#include "settings/pages/CalendarViewStylePage.h"

#include <cwchar>

#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "settings/pages/PreviewSamples.h"

namespace {
const UINT kLinesText = 32806;  // "%d line(s)"
}

BOOL CCalendarViewStylePage::OnInitPage() {
  m_ready = FALSE;
  CViewSettings& settings = GetViewSettings();
  CString format;
  LoadUIString(format, kLinesText);
  for (int lines = 1; lines <= 3; ++lines) {
    WCHAR text[128] = L"";
    swprintf(text, 128, format.IsEmpty() ? L"%d" : static_cast<LPCWSTR>(format), lines);
    SendDlgItemMessage(kAppLinesCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendDlgItemMessage(kAppLinesCombo, CB_SETCURSEL, static_cast<WPARAM>(settings.AppPattern.count - 1), 0);
  SendDlgItemMessage(kSubjectStyleCombo, CB_SETCURSEL, static_cast<WPARAM>(settings.App_SubjectStyle - 1), 0);
  HoldBack();
  CheckDlgButton(kAppStatusBarBox, settings.App_StatusBar ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kAppLocationBox, settings.App_Location ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kAppStartOnlyBox, settings.App_StartOnly ? BST_CHECKED : BST_UNCHECKED);
  m_preview.Place(m_hWnd, 120, 150);
  m_preview.SetRows(NewSampleAppointmentRow(TRUE));
  m_preview.TakeBackground();
  m_ready = TRUE;
  return TRUE;
}

void CCalendarViewStylePage::HoldBack() {
  CViewSettings& settings = GetViewSettings();
  m_heldBackStyle = -1;
  if (settings.App_SubjectStyle == 3) {
    m_heldBackStyle = 3;
    settings.App_SubjectStyle = 2;
  }
}

void CCalendarViewStylePage::UpdateSettings() {
  m_ready = FALSE;
  CViewSettings& settings = GetViewSettings();
  const LRESULT lines = SendDlgItemMessage(kAppLinesCombo, CB_GETCURSEL, 0, 0);
  if (lines >= 0) settings.AppPattern.count = static_cast<int>(lines) + 1;
  const LRESULT style = SendDlgItemMessage(kSubjectStyleCombo, CB_GETCURSEL, 0, 0);
  if (style >= 0) settings.App_SubjectStyle = static_cast<int>(style) + 1;
  else if (m_heldBackStyle > 0) settings.App_SubjectStyle = m_heldBackStyle;
  settings.App_StatusBar = IsDlgButtonChecked(kAppStatusBarBox) == BST_CHECKED;
  settings.App_Location = IsDlgButtonChecked(kAppLocationBox) == BST_CHECKED;
  settings.App_StartOnly = IsDlgButtonChecked(kAppStartOnlyBox) == BST_CHECKED;
  HoldBack();
  m_preview.Layout();
  m_preview.Invalidate(m_hWnd);
  m_ready = TRUE;
}

BOOL CCalendarViewStylePage::OnSetActive() {
  if (m_ready) UpdateSettings();
  return COptionsPage<CCalendarViewStylePage>::OnSetActive();
}

BOOL CCalendarViewStylePage::OnApply() {
  UpdateSettings();
  CViewSettings& settings = GetViewSettings();
  if (m_heldBackStyle > 0) settings.App_SubjectStyle = m_heldBackStyle;
  // The record keeps style 3 until the page updates again: the icons page applies
  // after this one and saves the same record.
  settings.Save();
  return TRUE;
}

void CCalendarViewStylePage::OnReset() { GetViewSettings().Load(); }
