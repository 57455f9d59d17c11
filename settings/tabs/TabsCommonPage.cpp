#include "settings/tabs/TabsCommonPage.h"

#include <commctrl.h>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/WaitCursor.h"
#include "graphics/Skin.h"
#include "panel/Registration.h"
#include "res/TarvoResIds.h"
#include "settings/pages/PageControls.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/UserPrompt.h"
#include "settings/tabs/TabIcons.h"
#include "settings/tabs/TabSetup.h"

const TextChoice kTabModeChoices[] = {{1, L"Horizontal"}, {0, L"Vertical"}, {0, nullptr}};
const TextChoice kTabModeChoicesWithHost[] = {
    {1, L"Horizontal"}, {0, L"Vertical"}, {2, L"Multitabs in Qel Ardeno"}, {0, nullptr}};
const TextChoice kTimeoutChoices[] = {{300, L"5 min"},   {900, L"15 min"},  {3600, L"1 hr"},
                                      {14400, L"4 hr"},  {28800, L"8 hr"},  {0, nullptr}};

namespace {

const int kTimeoutBox = IDC_TABS_TIMEOUT_ON;
const int kTimeoutCombo = IDC_TABS_TIMEOUT;
const int kTimeoutTabCombo = IDC_TABS_TIMEOUT_TAB;
const int kModeCombo = IDC_TABS_MODE;
const int kTimeoutIcon = IDC_TABS_TIMEOUT_ICON;
const int kModeTabHost = 2;


void Tell(HWND owner, UINT text) {
  CString message, caption;
  LoadTranslatedString(message, text);
  LoadTranslatedString(caption, IDS_SETTINGS_TITLE);
  ShowMessageBox(owner, message, caption, MB_OK | MB_ICONHAND);
}

}  // namespace

CTabsCommonPage::~CTabsCommonPage() {
  if (m_picture) DeleteObject(m_picture);
}

BOOL CTabsCommonPage::OnInitPage() {
  CWaitCursor wait;
  GetSkin().LoadTabIcons();
  HWND icon = ::GetDlgItem(m_hWnd, kTimeoutIcon);
  const int side = GetTabIconSide();
  ::SetWindowPos(icon, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND timeout = ::GetDlgItem(m_hWnd, kTimeoutCombo);
  ::SendMessageW(timeout, CB_RESETCONTENT, 0, 0);
  FillComboFromStrings(kTimeoutChoices, timeout);
  OnReset();
  return TRUE;
}

void CTabsCommonPage::OnReset() {
  CTabSetup& setup = GetTabSetup();
  const CString& order = setup.GetOrder();
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_allTabs = product.GetDWORD(L"AllTabsInArdeno", 1);
    m_timeout = product.GetDWORD(L"TimeoutTime", 900);
    m_timeoutTab = static_cast<WCHAR>(product.GetDWORD(L"TimeoutPanel", order.IsEmpty() ? L'1' : order[0]));
  }
  m_timeoutOn = m_timeout != 0;
  if (!m_timeoutOn) m_timeout = 900;
  HWND mode = ::GetDlgItem(m_hWnd, kModeCombo);
  ::SendMessageW(mode, CB_RESETCONTENT, 0, 0);
  BOOL installed = FALSE;
  GetRegistrationState(&installed);
  m_hostInstalled = installed;
  FillComboFromStrings(installed ? kTabModeChoicesWithHost : kTabModeChoices, mode);
  const int chosen = m_hostInstalled && m_allTabs == 0 ? kModeTabHost : (GetViewSettings().HorizontalTabsMode ? 1 : 0);
  SelectComboByItemData(m_hWnd, kModeCombo, chosen);
  TickBox(m_hWnd, kTimeoutBox, m_timeoutOn);
  EnableTimeout();
  if (!SelectComboByItemData(m_hWnd, kTimeoutCombo, static_cast<int>(m_timeout))) SelectComboItem(m_hWnd, kTimeoutCombo, 0);
  FillTimeoutTabs();
}

void CTabsCommonPage::EnableTimeout() {
  ::EnableWindow(::GetDlgItem(m_hWnd, kTimeoutCombo), m_timeoutOn);
  ::EnableWindow(::GetDlgItem(m_hWnd, kTimeoutTabCombo), m_timeoutOn);
}

void CTabsCommonPage::FillTimeoutTabs() {
  CTabSetup& setup = GetTabSetup();
  const CString& order = setup.GetOrder();
  HWND combo = ::GetDlgItem(m_hWnd, kTimeoutTabCombo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < order.GetLength(); ++i) {
    const CString title = CTabSetup::GetTabTitle(order[i]);
    const LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.GetString()));
    if (index >= 0) ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), order[i]);
  }
  if (!SelectComboByItemData(m_hWnd, kTimeoutTabCombo, m_timeoutTab)) SelectComboItem(m_hWnd, kTimeoutTabCombo, 0);
  ShowTimeoutTabIcon();
}

void CTabsCommonPage::ShowTimeoutTabIcon() {
  CTabSetup& setup = GetTabSetup();
  const int selected = GetComboSelection(m_hWnd, kTimeoutTabCombo);
  const WCHAR id = static_cast<WCHAR>(GetSelectedComboData(m_hWnd, kTimeoutTabCombo, 0));
  const int position = selected >= 0 ? setup.GetOrder().Find(id) : -1;
  HBITMAP picture = position >= 0 ? DrawImageListIcon(setup.GetImageList(), position) : nullptr;
  HBITMAP previous = reinterpret_cast<HBITMAP>(::SendDlgItemMessageW(
      m_hWnd, kTimeoutIcon, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
  if (previous && previous != picture) DeleteObject(previous);
  if (m_picture && m_picture != previous) DeleteObject(m_picture);
  m_picture = picture;
}

void CTabsCommonPage::ReadControls() {
  m_timeoutOn = IsBoxTicked(m_hWnd, kTimeoutBox);
  if (m_timeoutOn) m_timeout = static_cast<DWORD>(GetSelectedComboData(m_hWnd, kTimeoutCombo, 300));
  m_timeoutTab = static_cast<WCHAR>(GetSelectedComboData(m_hWnd, kTimeoutTabCombo, m_timeoutTab));
}

BOOL CTabsCommonPage::OnApply() {
  const int mode = GetSelectedComboData(m_hWnd, kModeCombo, -1);
  if (mode >= 0) {
    const DWORD allTabs = mode == kModeTabHost ? 0 : 1;
    BOOL registering = FALSE;
    if (m_hostInstalled && allTabs != m_allTabs) {
      if (GetRegistrationState(nullptr) >= kPerTabPlugins) {
        Tell(m_hWnd, IDS_TABS_MODE_TAKEN);
        const int loaded = m_allTabs == 0 ? kModeTabHost : (GetViewSettings().HorizontalTabsMode ? 1 : 0);
        SelectComboByItemData(m_hWnd, kModeCombo, loaded);
        return FALSE;
      }
      registering = TRUE;
    }
    CViewSettings& view = GetViewSettings();
    view.HorizontalTabsMode = mode == 1 ? 1 : 0;
    {
      CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
      product.SetDWORD(L"AllTabsInArdeno", allTabs);
    }
    view.Save();
    m_allTabs = allTabs;
    if (registering)
      RegisterServer();
    else
      WriteContainerValues(view.HorizontalTabsMode != 0);
  }
  ReadControls();
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"TimeoutTime", m_timeoutOn ? m_timeout : 0);
    product.SetDWORD(L"TimeoutPanel", m_timeoutTab);
  }
  if (CMainWnd* main = GetMainWindow()) main->SetUpdatePending(1);
  return TRUE;
}

BOOL CTabsCommonPage::OnKillActive() {
  ReadControls();
  return TRUE;
}

BOOL CTabsCommonPage::OnSetActive() {
  FillTimeoutTabs();
  return COptionsPage<CTabsCommonPage>::OnSetActive();
}

LRESULT CTabsCommonPage::OnTimeoutBox(WORD, WORD, HWND, BOOL&) {
  if (IsInitialising()) return 0;
  ReadControls();
  EnableTimeout();
  return 0;
}

LRESULT CTabsCommonPage::OnModeChosen(WORD, WORD, HWND, BOOL&) {
  if (IsInitialising()) return 0;
  if (GetSelectedComboData(m_hWnd, kModeCombo, -1) == kModeTabHost && !GetTabSetup().GetCustomTabs().empty())
    Tell(m_hWnd, IDS_PER_TAB_NO_CUSTOM);
  return 0;
}

LRESULT CTabsCommonPage::OnTimeoutTabChosen(WORD, WORD, HWND, BOOL&) {
  if (IsInitialising()) return 0;
  ShowTimeoutTabIcon();
  return 0;
}
