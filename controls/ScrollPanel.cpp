#include "controls/ScrollPanel.h"

#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlArt.h"
#include "controls/ControlFonts.h"
#include "controls/PopupMenuTracker.h"
#include "platform/windowlib/Module.h"

namespace {

HICON LoadPanelIcon(UINT id, int width, int height) {
  if (id == 0) return nullptr;
  return static_cast<HICON>(
      LoadImageW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0));
}

}  // namespace

CScrollPanel::CScrollPanel(CVirtualWnd* owner)
    : m_scrollBar(this), m_pOwner(owner), m_bCurrent(FALSE), m_hIcon12(nullptr), m_hIcon16{nullptr, nullptr} {
  AddChild(&m_scrollBar);
}

CScrollPanel::~CScrollPanel() {
  FreeIcons();
  if (m_hIcon12) DestroyIcon(m_hIcon12);
}

void CScrollPanel::RefreshSkin() {
  IControlArt& art = GetControlArt();
  if (art.GetScrollArtKind() != SCROLL_ART_PARTS) {
    const int width = m_scrollBar.GetWidth();
    RECT column = {m_rect.right - width, m_rect.top + GetHeaderHeight(), m_rect.right,
                   m_rect.bottom - GetBottomBarHeight()};
    art.DrawScrollFrame(column);
  }
  art.DropButtonBitmaps();
  CVirtualWnd::RefreshSkin();
}

void CScrollPanel::SetRect(const RECT* rect) {
  const RECT old = m_rect;
  CVirtualWnd::SetRect(rect);
  // A panel that only moved needs its bar moved too.
  if (!EqualRect(&old, rect)) LayoutScrollBar();
}

BOOL CScrollPanel::OnChar(WCHAR) { return FALSE; }
int CScrollPanel::GetBottomBarHeight() { return 0; }
BOOL CScrollPanel::ResetView(BOOL) { return FALSE; }
void CScrollPanel::LoadSettings() {}

void CScrollPanel::InvalidateContent(int) {
  RECT area = {m_rect.left, m_rect.top + GetHeaderHeight(), m_rect.right,
               m_rect.bottom - GetBottomBarHeight() + ScaleY(1)};
  InvalidateRect(&area);
}

void CScrollPanel::LayoutScrollBar() {
  const int width = m_scrollBar.GetWidth();
  RECT bar = {m_rect.right - width, m_rect.top + GetHeaderHeight(), m_rect.right,
              m_rect.bottom - GetBottomBarHeight()};
  m_scrollBar.SetRange(GetContentHeight(), m_rect.bottom - m_rect.top - GetHeaderHeight() - GetBottomBarHeight());
  if (!m_scrollBar.IsNeeded()) bar.left = bar.right;
  m_scrollBar.SetRect(&bar);
}

int CScrollPanel::GetContentHeight() {
  return m_rect.bottom - m_rect.top - GetHeaderHeight() - GetBottomBarHeight();
}

void CScrollPanel::RequestRefresh() {}

void CScrollPanel::Activate() {
  LayoutScrollBar();
  m_bCurrent = TRUE;
}

BOOL CScrollPanel::Deactivate() {
  m_bCurrent = FALSE;
  return TRUE;
}

int CScrollPanel::GetTabId() { return -1; }
WCHAR CScrollPanel::GetTabIdChar() { return static_cast<WCHAR>(GetTabId() + 48); }
void CScrollPanel::OnSettingsChanged() {}
BOOL CScrollPanel::DrawTabIcon(HDC, const RECT*, BOOL) { return FALSE; }
UINT CScrollPanel::GetTabIcon() { return 0; }
UINT CScrollPanel::GetTabIconId(int) { return 0; }
int CScrollPanel::GetHeaderHeight() { return ScaleY(58); }
int CScrollPanel::GetSkinTabIndex() { return -1; }
int CScrollPanel::GetWantedHeight() { return -1; }
void CScrollPanel::OnClearCache() {}
BOOL CScrollPanel::OnQueryRefreshCache() { return FALSE; }
BOOL CScrollPanel::DrawWatermark(CTextRunList*) { return FALSE; }

int CScrollPanel::TrackMenu(LPARAM argument, POINT* screenPoint) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  FillContextMenu(menu, argument);
  const int command = CPopupMenuTracker::Track(menu, TPM_RETURNCMD, screenPoint->x, screenPoint->y, GetHwnd());
  DestroyMenu(menu);
  if (command > 0) {
    OnMenuCommand(command);
    SetFocus();
  }
  return 0;
}

void CScrollPanel::FillContextMenu(HMENU menu, LPARAM) {
  CString text;
  LoadTranslatedString(text, IDS_OPEN_SETTINGS);
  AppendMenuW(menu, MF_STRING, ID_OPEN_SETTINGS, text);
}

void CScrollPanel::OnMenuCommand(int command) {
  if (command == ID_OPEN_SETTINGS) RunSettingsProgram(L"");
}

RECT CScrollPanel::GetContentRect() {
  RECT content = {m_rect.left, m_rect.top + GetHeaderHeight(), m_rect.right, m_rect.bottom - GetBottomBarHeight()};
  const RECT& bar = m_scrollBar.GetBounds();
  if (bar.right > bar.left) content.right = bar.left;
  return content;
}

HICON CScrollPanel::GetIcon16(int variant) {
  const int slot = variant == 1 ? 1 : 0;
  if (!m_hIcon16[slot]) m_hIcon16[slot] = LoadPanelIcon(GetTabIconId(variant), ScaleX(16), ScaleY(16));
  return m_hIcon16[slot];
}

HICON CScrollPanel::GetIcon12() {
  if (!m_hIcon12) m_hIcon12 = LoadPanelIcon(GetTabIcon(), ScaleX(12), ScaleY(11));
  return m_hIcon12;
}

void CScrollPanel::FreeIcons() {
  for (HICON& icon : m_hIcon16) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
}

COpenSettingsPanel::COpenSettingsPanel(CVirtualWnd* owner)
    : CScrollPanel(owner), m_button(L"Open Settings", 125, 16, 16) {
  AddChild(&m_button);
}

LRESULT COpenSettingsPanel::OnChildCommand(CVirtualWnd* sender, int code, LPARAM) {
  if (sender != &m_button || code != 0) return 0;
  RunSettingsProgram(L"");
  return 1;
}

void COpenSettingsPanel::SetRect(const RECT* rect) {
  CScrollPanel::SetRect(rect);
  const int top = rect->top + GetHeaderHeight();
  RECT button = {rect->left + ScaleX(2), top, rect->left + ScaleX(2) + ScaleX(100), top + ScaleY(20)};
  m_button.SetRect(&button);
}

UINT COpenSettingsPanel::GetTabIconId(int variant) { return variant == 1 ? 124 : 125; }

int COpenSettingsPanel::GetHeaderHeight() {
  return MeasureControlText(GetControlBoldFont(), L" ").cy + ScaleY(2);
}
