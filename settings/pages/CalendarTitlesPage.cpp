#include "settings/pages/CalendarTitlesPage.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "settings/pages/DatePageText.h"
#include "settings/pages/NestedSection.h"
#include "settings/pages/PreviewDateItem.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/UserPrompt.h"
#include "tabs/calendar/SovelLink.h"

namespace {
const UINT kOldSovelWarning = 32837;
// A shorter page (landscape) keeps the link where it is rather than over the boxes.
const int kLinkMovesFrom = 240;
}  // namespace

BOOL CCalendarTitlesPage::OnInitPage() {
  m_sovelState = ::GetSovelState();
  TakeControls(FALSE);
  if (m_sovelState == kSovelNotInstalled) ::EnableWindow(GetDlgItem(kSovelForecastBox), FALSE);
  m_preview.TakeBackground();
  m_preview.Place(m_hWnd, 130, 100);
  BuildPreview();
  PlaceLink(TRUE);
  return TRUE;
}

void CCalendarTitlesPage::PlaceLink(BOOL always) {
  RECT client = {};
  GetClientRect(&client);
  if (always || client.bottom >= ScaleY(kLinkMovesFrom)) PlaceAtPageBottom(m_hWnd, GetDlgItem(kLongDateLink));
}

void CCalendarTitlesPage::UpdateLayout() { PlaceLink(FALSE); }

void CCalendarTitlesPage::BuildPreview() {
  const BOOL forecast = m_sovelState != kSovelNotInstalled && GetViewSettings().AppGroup_Sovel;
  const double today = GetTodayDate();
  const double days[2] = {today, today + 2};
  const int counts[2] = {3, 5};
  CPreviewDateItem* headers[2] = {};
  for (int i = 0; i < 2; ++i) {
    headers[i] = new CPreviewDateItem(nullptr, days[i]);
    headers[i]->SetDate(days[i]);
    headers[i]->ShowForecast(forecast);
  }
  m_preview.SetRows(headers[0], headers[1]);
  for (int i = 0; i < 2; ++i) {
    headers[i]->SetDisplayCount(counts[i]);
    headers[i]->SetState(TRUE, FALSE);
  }
  m_preview.Layout();
  m_preview.Invalidate(m_hWnd);
}

void CCalendarTitlesPage::TakeControls(BOOL toRecord) {
  CViewSettings& settings = GetViewSettings();
  const BOOL sovel = m_sovelState != kSovelNotInstalled;
  if (toRecord) {
    if (sovel) settings.AppGroup_Sovel = IsDlgButtonChecked(kSovelForecastBox) == BST_CHECKED;
    settings.AppGroup_Today = IsDlgButtonChecked(kTodayMarkBox) == BST_CHECKED;
    settings.AppGroup_Span = IsDlgButtonChecked(kSpanBarBox) == BST_CHECKED;
    const LRESULT offset = SendDlgItemMessage(kDayOffsetCombo, CB_GETCURSEL, 0, 0);
    if (offset >= 0) settings.AppGroup_Offset = static_cast<int>(offset);
    return;
  }
  CheckDlgButton(kSovelForecastBox, sovel && settings.AppGroup_Sovel ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kTodayMarkBox, settings.AppGroup_Today ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kSpanBarBox, settings.AppGroup_Span ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessage(kDayOffsetCombo, CB_SETCURSEL, static_cast<WPARAM>(settings.AppGroup_Offset), 0);
}

BOOL CCalendarTitlesPage::OnApply() {
  TakeControls(TRUE);
  CViewSettings& settings = GetViewSettings();
  if (m_sovelState == kSovelOldBuild && settings.AppGroup_Sovel && !m_warned) {
    CString text;
    LoadUIString(text, kOldSovelWarning);
    ShowMessageBox(m_hWnd, text, L"Qel Tarvo Options", MB_OK | MB_ICONEXCLAMATION);
    m_warned = TRUE;
  }
  settings.Save();
  return TRUE;
}

void CCalendarTitlesPage::OnReset() { GetViewSettings().Load(); }

LRESULT CCalendarTitlesPage::OnLongDateLink() {
  CMainWnd* main = GetMainWindow();
  HWND target = main ? main->m_hWnd : ::GetWindow(::GetParent(m_hWnd), GW_OWNER);
  if (target) OpenNestedSection(target, 0, 3);
  ResetDateFormatCache();
  BuildPreview();
  return 1;
}
