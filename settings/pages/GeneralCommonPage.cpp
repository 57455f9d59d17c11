#include "settings/pages/GeneralCommonPage.h"

#include <commctrl.h>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "pim/PocketInformantTools.h"
#include "res/TarvoResIds.h"
#include "settings/base/TabBarHeight.h"
#include "settings/base/VendorPresence.h"
#include "settings/pages/PageControls.h"
#include "settings/shell/UserPrompt.h"

namespace {

const DWORD kProviderOutlook = 0;
const DWORD kProviderAgendaFusion = 1;
const DWORD kProviderPocketInformant = 2;
const DWORD kProviderAgendaOne = 3;

BOOL IsPIToolsLoadable() {
  HMODULE library = FindPIToolsLibrary();
  if (!library) return FALSE;
  ::FreeLibrary(library);
  return TRUE;
}

int Tell(HWND owner, UINT textId, UINT icon) {
  CString text, caption;
  LoadTranslatedString(text, textId);
  LoadTranslatedString(caption, IDS_SETTINGS_TITLE);
  return ShowMessageBox(owner, text, caption, MB_OK | icon);
}

}  // namespace

int HeaderMinimiseItem(DWORD headerMinimized, DWORD allowMinimization) {
  if (headerMinimized == 2) return 2;
  if (allowMinimization != 0) return 1;
  if (headerMinimized == 1) return 0;
  return 1;
}

void HeaderMinimiseValues(int item, DWORD storedHeaderMinimized, DWORD* headerMinimized, DWORD* allowMinimization) {
  *headerMinimized = storedHeaderMinimized;
  if (item == 0) *headerMinimized = 1;
  if (item == 1 && storedHeaderMinimized == 2) *headerMinimized = 1;
  if (item == 2) *headerMinimized = 2;
  *allowMinimization = item == 0 ? 0 : 1;
}

BOOL CGeneralCommonPage::IsLandscapeNow() {
  return ::GetSystemMetrics(SM_CXSCREEN) > ::GetSystemMetrics(SM_CYSCREEN);
}

BOOL CGeneralCommonPage::OnInitPage() {
  const CViewSettings& view = GetViewSettings();
  // The tab host's own registration (separate tab plug-ins) is not made by this
  // program yet, so the host's 60 never applies here.
  m_minimum = GetTabBarHeight(view.HorizontalTabsMode != 0, FALSE);
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    const DWORD minimum = static_cast<DWORD>(m_minimum);
    m_portrait = key.GetDWORD(L"TotalHeight", minimum);
    m_landscape = key.GetDWORD(L"TotalHeightL", minimum);
    if (m_portrait < minimum) key.SetDWORD(L"TotalHeight", m_portrait = minimum);
    if (m_landscape < minimum) key.SetDWORD(L"TotalHeightL", m_landscape = minimum);
    m_autoSize = key.GetDWORD(L"AutoSizeAdjust", 1) ? 1 : 0;
  }
  m_isLandscape = IsLandscapeNow();
  const DWORD shown = m_isLandscape ? m_landscape : m_portrait;
  HWND upDown = ::GetDlgItem(m_hWnd, kPanelHeightUpDown);
  ::SendMessageW(upDown, CCM_SETVERSION, 5, 0);
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, kPanelHeightEdit)), 0);
  UDACCEL accel = {0, 10};
  ::SendMessageW(upDown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  ::SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(m_minimum), kMaxPanelHeight);
  ::SendMessageW(upDown, UDM_SETPOS32, 0, static_cast<LPARAM>(shown));
  ::SetDlgItemInt(m_hWnd, kPanelHeightEdit, shown, FALSE);
  OnAutoSizeClicked(FALSE);

  HWND provider = ::GetDlgItem(m_hWnd, kPimProviderCombo);
  const int count = static_cast<int>(::SendMessageW(provider, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) ::SendMessageW(provider, CB_SETITEMDATA, static_cast<WPARAM>(i), i);
  // From the highest index down, so that the lower indexes stay where they were.
  if (count > 3 && !IsAgendaOneInstalled()) ::SendMessageW(provider, CB_DELETESTRING, 3, 0);
  if (count > 2 && !IsPIToolsLoadable()) ::SendMessageW(provider, CB_DELETESTRING, 2, 0);
  if (count > 1 && !IsAgendaFusionInstalled()) ::SendMessageW(provider, CB_DELETESTRING, 1, 0);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  // A provider that is not offered (its program was removed) selects nothing and is
  // kept until the user chooses one.
  SelectComboByItemData(m_hWnd, kPimProviderCombo, static_cast<int>(key.GetDWORD(L"CurrentPIM", 0)));
  const int left = static_cast<int>(::SendMessageW(provider, CB_GETCOUNT, 0, 0));
  ::EnableWindow(provider, left >= 2);

  SelectComboItem(m_hWnd, kHeaderMinimiseCombo,
                  HeaderMinimiseItem(key.GetDWORD(L"HeaderMinimized", 0), key.GetDWORD(L"AllowMinimization", 1)));
  SelectComboItem(m_hWnd, kDoubleTapCombo, view.DoubleClick);
  return TRUE;
}

void CGeneralCommonPage::OnAutoSizeClicked(BOOL fromBox) {
  if (fromBox)
    m_autoSize = IsBoxTicked(m_hWnd, kAutoSizeBox) ? 1 : 0;
  else
    TickBox(m_hWnd, kAutoSizeBox, m_autoSize != 0);
  CString text;
  LoadTranslatedString(text, m_autoSize ? IDS_PANEL_HEIGHT_AUTO : IDS_PANEL_HEIGHT_FIXED);
  ::SetDlgItemTextW(m_hWnd, kAutoSizeText, text);
}

DWORD CGeneralCommonPage::ReadHeight() {
  BOOL read = FALSE;
  DWORD height = ::GetDlgItemInt(m_hWnd, kPanelHeightEdit, &read, FALSE);
  if (!read) height = 0;
  return height < static_cast<DWORD>(m_minimum) ? static_cast<DWORD>(m_minimum) : height;
}

void CGeneralCommonPage::UpdateHeightFields() {
  const BOOL landscape = IsLandscapeNow();
  if (landscape == m_isLandscape) return;
  m_isLandscape = landscape;
  DWORD height = ReadHeight();
  if (height > static_cast<DWORD>(kMaxPanelHeight)) height = kMaxPanelHeight;
  (landscape ? m_portrait : m_landscape) = height;
  const DWORD shown = landscape ? m_landscape : m_portrait;
  ::SendDlgItemMessageW(m_hWnd, kPanelHeightUpDown, UDM_SETPOS32, 0, static_cast<LPARAM>(shown));
  ::SetDlgItemInt(m_hWnd, kPanelHeightEdit, shown, FALSE);
}

BOOL CGeneralCommonPage::CheckPimProvider(DWORD provider) {
  switch (provider) {
    case kProviderOutlook:
      return TRUE;
    case kProviderAgendaFusion:
      if (IsAgendaFusionInstalled()) return TRUE;
      Tell(m_hWnd, IDS_AGENDA_FUSION_MISSING, MB_ICONERROR);
      return FALSE;
    case kProviderPocketInformant: {
      HMODULE library = FindPIToolsLibrary();
      if (!library) {
        Tell(m_hWnd, IDS_PI_TOOLS_MISSING, MB_ICONERROR);
        return FALSE;
      }
      const BOOL opens = ::GetProcAddress(library, "D_Appt") != nullptr;
      ::FreeLibrary(library);
      if (!opens) Tell(m_hWnd, IDS_PI_TOOLS_TOO_OLD, MB_ICONINFORMATION);
      return opens;
    }
    case kProviderAgendaOne:
      if (IsAgendaOneInstalled()) return TRUE;
      Tell(m_hWnd, IDS_AGENDA_ONE_MISSING, MB_ICONERROR);
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL CGeneralCommonPage::OnApply() {
  const DWORD height = ReadHeight();
  if (height > static_cast<DWORD>(kMaxPanelHeight)) {
    CString format, text;
    LoadTranslatedString(format, IDS_PANEL_TOO_HIGH);
    text.Format(format, m_minimum);
    ShowMessageBox(m_hWnd, text, L"Qel Tarvo Options", MB_OK | MB_ICONERROR);
    ::SetFocus(::GetDlgItem(m_hWnd, kPanelHeightEdit));
    return FALSE;
  }
  const BOOL providerChosen = GetComboSelection(m_hWnd, kPimProviderCombo) >= 0;
  const DWORD provider = static_cast<DWORD>(GetSelectedComboData(m_hWnd, kPimProviderCombo, 0));
  if (providerChosen && !CheckPimProvider(provider)) {
    ::SetFocus(::GetDlgItem(m_hWnd, kPimProviderCombo));
    return FALSE;
  }
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (providerChosen) key.SetDWORD(L"CurrentPIM", provider);
  (IsLandscapeNow() ? m_landscape : m_portrait) = height;
  key.SetDWORD(L"TotalHeight", m_portrait);
  key.SetDWORD(L"TotalHeightL", m_landscape);
  DWORD headerMinimized = 0, allowMinimization = 1;
  HeaderMinimiseValues(GetComboSelection(m_hWnd, kHeaderMinimiseCombo), key.GetDWORD(L"HeaderMinimized", 0),
                       &headerMinimized, &allowMinimization);
  key.SetDWORD(L"HeaderMinimized", headerMinimized);
  key.SetDWORD(L"AllowMinimization", allowMinimization);
  key.SetDWORD(L"AutoSizeAdjust", m_autoSize);
  CViewSettings& view = GetViewSettings();
  const int doubleTap = GetComboSelection(m_hWnd, kDoubleTapCombo);
  if (doubleTap >= 0) view.DoubleClick = doubleTap;
  view.Save();
  return TRUE;
}
