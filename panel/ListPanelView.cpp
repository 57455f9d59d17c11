#include "panel/ListPanelView.h"

#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/GroupElement.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "panel/PanelPrompt.h"
#include "platform/aygshell/aygshell.h"

namespace {

const int kMinimumHeaderHeight = 14;
// A content list whose height flips with the width gets this many passes at most.
const int kLayoutPasses = 2;
const DWORD kHoldGesture = 1000;

BOOL Visible(CVirtualWnd* element) { return element && element->IsVisible(); }

BOOL Launch(SHELLEXECUTEINFOW* info) {
  // The launcher a test installed, else the shell.
  PFN_PROGRAM_LAUNCHER launcher = SetProgramLauncher(nullptr);
  SetProgramLauncher(launcher);
  return launcher ? launcher(info) : ShellExecuteExW(info);
}

}  // namespace

CListPanelView::CListPanelView(CVirtualWnd* owner)
    : CScrollPanel(owner),
      m_pSort(nullptr),
      m_pFilter(nullptr),
      m_pContent(nullptr),
      m_hClip(nullptr),
      m_bNeedsRebuild(TRUE),
      m_dwOneTap(0),
      m_bPainting(FALSE),
      m_bSettingsChanged(TRUE),
      m_nHeaderHeight(-1),
      m_nMinimizedHeight(ScaleY(5)),
      m_rcContent(),
      m_bNeedsRepaint(FALSE),
      m_bButtonCoversStrip(FALSE),
      m_bAllowMinimize(TRUE),
      m_bMinimized(FALSE),
      m_bHidden(FALSE),
      m_pContextRow(nullptr) {
  AddChild(&m_minimize);
  m_minimize.SetVisible(FALSE);
}

CListPanelView::~CListPanelView() {
  KillTimer();
  if (m_hClip) DeleteObject(m_hClip);
  delete m_pContent;
  delete m_pSort;
  delete m_pFilter;
}

void CListPanelView::SetContentList(CContainerElement* list) {
  if (list == m_pContent) return;
  RememberFocusedRow();
  delete m_pContent;
  m_pContent = list;
}

CString CListPanelView::GetHeaderValueName() {
  WCHAR name[64];
  wsprintfW(name, L"HeaderMinimized%d_%d", GetTabId(), static_cast<int>(GetTabIdChar()));
  return name;
}

void CListPanelView::LoadSettings() {
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_bAllowMinimize = product.GetDWORD(L"AllowMinimization", 1) != 0;
    const DWORD global = product.GetDWORD(L"HeaderMinimized", 0);
    m_bMinimized = global != 0;
    m_bHidden = global == 2;
    if (m_bHidden) m_bAllowMinimize = TRUE;
    if (!m_bAllowMinimize) {
      m_bMinimized = FALSE;
      m_bHidden = FALSE;
    } else if (!m_bHidden) {
      m_bMinimized = product.GetDWORD(GetHeaderValueName(), m_bMinimized ? 1 : 0) != 0;
    }
  }
  if (!m_pSort) {
    m_pSort = CreateSortMenu();
    if (m_pSort) {
      m_pSort->SetOwner(this);
      AddChild(m_pSort);
    }
  }
  if (!m_pFilter) {
    m_pFilter = CreateFilterMenu();
    if (m_pFilter) {
      m_pFilter->SetOwner(this);
      AddChild(m_pFilter);
    }
  }
  // Sized by the widest item, so the header keeps its height whatever is chosen.
  int height = 0;
  for (CVirtualDropDown* selector : {m_pSort, m_pFilter})
    if (selector && selector->GetWidestItemSize().cy > height) height = selector->GetWidestItemSize().cy;
  if (m_bAllowMinimize && !m_bHidden && GetSkin().HasScrollBar()) {
    const SIZE image = GetSkin().GetScrollPartSize(CSkin::kPartHeaderButton);
    if (image.cy > height) height = image.cy;
  }
  height += ScaleY(4);
  if (height < ScaleY(kMinimumHeaderHeight)) height = ScaleY(kMinimumHeaderHeight);
  m_nHeaderHeight = height;
  m_rcContent = m_rect;
  m_rcContent.top += GetHeaderHeight();
  m_rcContent.bottom -= GetBottomBarHeight();
  LayoutHeader();
  LayoutContent(TRUE);
  LayoutScrollBar();
  OnFilterChanged(FALSE);
  LoadGroupBy();
  m_bSettingsChanged = FALSE;
}

int CListPanelView::GetHeaderHeight() {
  if (m_bHidden) return 0;
  if (m_bMinimized) return m_nMinimizedHeight;
  return m_nHeaderHeight < 0 ? ScaleY(kDefaultHeaderHeight) : m_nHeaderHeight;
}

void CListPanelView::LayoutHeader() {
  const BOOL showButton = m_bAllowMinimize && !m_bHidden;
  m_minimize.SetVisible(showButton);
  m_bButtonCoversStrip = FALSE;
  const int top = m_rect.top;
  int buttonLeft = m_rect.right;
  if (showButton) {
    RECT button;
    if (m_bMinimized) {
      button = {m_rect.left, top, m_rect.right, top + m_nMinimizedHeight};
      m_bButtonCoversStrip = TRUE;
    } else {
      SIZE image = GetSkin().HasScrollBar() ? GetSkin().GetScrollPartSize(CSkin::kPartHeaderButton) : SIZE{};
      if (image.cx <= 0) image.cx = ScaleX(11);
      const int right = m_rect.right - (ScaleX(3) / 2);
      button = {right - image.cx, top + ScaleY(1), right, top + GetHeaderHeight() - ScaleY(3)};
      buttonLeft = button.left;
    }
    m_minimize.SetRect(&button);
  }
  const BOOL selectorsShown = !m_bMinimized && !m_bHidden;
  const int middle = (m_rect.left + m_rect.right) / 2;
  struct Place {
    CVirtualDropDown* selector;
    int left, right;
  } places[] = {{m_pSort, m_rect.left, middle}, {m_pFilter, middle, buttonLeft - ScaleX(5)}};
  for (const Place& place : places) {
    if (!place.selector) continue;
    place.selector->SetVisible(selectorsShown);
    if (!selectorsShown) continue;
    const int height = place.selector->GetWidestItemSize().cy;
    const int y = top + ScaleY(1) + (GetHeaderHeight() - ScaleY(4) - height) / 2;
    RECT bounds = {place.left, y, place.right > place.left ? place.right : place.left, y + height};
    place.selector->SetRect(&bounds);
  }
}

void CListPanelView::ToggleHeader() {
  m_bMinimized = !m_bMinimized;
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  product.SetDWORD(GetHeaderValueName(), m_bMinimized ? 1 : 0);
  if (!m_bCurrent) return;
  m_rcContent = m_rect;
  m_rcContent.top += GetHeaderHeight();
  m_rcContent.bottom -= GetBottomBarHeight();
  if (m_hClip) DeleteObject(m_hClip);
  m_hClip = CreateRectRgnIndirect(&m_rcContent);
  LayoutHeader();
  LayoutContent(FALSE);
  LayoutScrollBar();
  Invalidate();
}

LRESULT CListPanelView::OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) {
  if (sender == &m_minimize && code == 0) {
    ToggleHeader();
    return 0;
  }
  return CScrollPanel::OnChildCommand(sender, code, param);
}

void CListPanelView::SetRect(const RECT* rect) {
  const RECT old = m_rect;
  CScrollPanel::SetRect(rect);
  if (EqualRect(&old, rect)) return;
  LoadSettings();
  if (m_hClip) DeleteObject(m_hClip);
  m_hClip = CreateRectRgnIndirect(&m_rcContent);
  LayoutContent(FALSE);
}

int CListPanelView::LayoutContent(BOOL reset) {
  const int width = m_rcContent.right - m_rcContent.left;
  if (!m_pContent || width < 1) return 0;
  const int visible = m_rcContent.bottom - m_rcContent.top;
  BOOL withBar = m_scrollBar.IsNeeded();
  int height = 0;
  for (int pass = 0; pass < kLayoutPasses; ++pass) {
    const int contentWidth = withBar ? width - m_scrollBar.GetWidth() : width;
    m_pContent->SetSize(width, contentWidth, visible, reset);
    height = m_pContent->GetHeight(-1);
    const BOOL needsBar = height > visible;
    if (needsBar == withBar) break;
    withBar = needsBar;
  }
  return height;
}

int CListPanelView::RebuildContent() {
  if (!m_pContent) return 0;
  LayoutContent(FALSE);
  if (m_bFocused) RestoreFocusedRow();
  return GetContentHeight();
}

void CListPanelView::LayoutScrollBar() {
  LayoutContent(FALSE);
  CScrollPanel::LayoutScrollBar();
  if (m_bNeedsRepaint && m_pContent) {
    RECT row;
    if (GetCurrentRowRect(&row)) {
      if (row.bottom > m_rcContent.bottom) m_scrollBar.SetPos(ScrollPos() + row.bottom - m_rcContent.bottom);
      if (row.top < m_rcContent.top) m_scrollBar.SetPos(ScrollPos() - (m_rcContent.top - row.top));
    }
  }
}

int CListPanelView::GetContentHeight() { return m_pContent ? m_pContent->GetHeight(-1) : 0; }

void CListPanelView::InvalidateContent(int) {
  RECT area = {m_rect.left, m_rect.top + GetHeaderHeight(), m_rect.right, m_rect.bottom - GetBottomBarHeight()};
  InvalidateRect(&area);
}

void CListPanelView::Paint(CTextRunList* context) {
  const RECT& clip = context->GetClip();
  const int header = GetHeaderHeight();
  HDC hdc = context->GetDC();
  if (!m_bMinimized && !m_bHidden && header > 0 && clip.top < m_rect.top + header) {
    RECT band = {m_rect.left, m_rect.top, m_rect.right, m_rect.top + header};
    CSkinColors& colors = CSkinColors::Instance();
    CBitmapDC& cached = colors.GetListBand();
    if (cached.GetSize().cy != header || cached.GetSize().cx != band.right - band.left)
      colors.RebuildListBand(header, band);
    if (cached.GetDC())
      BitBlt(hdc, band.left, band.top, band.right - band.left, header, cached.GetDC(), 0, 0, SRCCOPY);
  }
  if (m_pContent && clip.bottom > m_rcContent.top && m_hClip) {
    SelectClipRgn(hdc, m_hClip);
    m_bPainting = TRUE;
    POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
    m_pContent->Draw(context, &origin);
    m_bPainting = FALSE;
    // The host paints inside its own clip: give back the paint rectangle.
    HRGN whole = CreateRectRgnIndirect(&clip);
    SelectClipRgn(hdc, whole);
    DeleteObject(whole);
  }
  CScrollPanel::Paint(context);
}

BOOL CListPanelView::OnLButtonDblClk(POINT* point) {
  if (RouteToChildren(&CVirtualWnd::OnLButtonDblClk, point)) return TRUE;
  if (m_pContent && PtInRect(&m_rcContent, *point)) {
    POINT inside = {point->x - m_rcContent.left, point->y - m_rcContent.top + ScrollPos()};
    m_pContent->OnDoubleTap(&inside);
  }
  return TRUE;
}

BOOL CListPanelView::OnLButtonDown(POINT* point) {
  if (RouteToChildren(&CVirtualWnd::OnLButtonDown, point)) return TRUE;
  if (!PtInRect(&m_rect, *point)) return FALSE;
  m_ptLast = *point;
  if (point->y >= m_rect.top + GetHeaderHeight()) {
    if (m_pContent && PtInRect(&m_rcContent, *point)) {
      POINT inside = {point->x - m_rcContent.left, point->y - m_rcContent.top + ScrollPos()};
      if (!m_pContent->OnPress(&inside)) m_pContent->DeselectCurrent();
    }
    m_bPressed = TRUE;
    SetCapture(this);
    RequestFocus(this);
  } else {
    m_bPressed = TRUE;
    SetCapture(this);
  }
  TrackTapAndHold(FALSE);
  return TRUE;
}

BOOL CListPanelView::OnLButtonUp(POINT* point) {
  if (RouteToChildren(&CVirtualWnd::OnLButtonUp, point)) return TRUE;
  const BOOL wasPressed = m_bPressed;
  m_bPressed = FALSE;
  if (m_bCaptured || wasPressed) ReleaseCapture();
  if (m_pContent && PtInRect(&m_rcContent, *point)) {
    POINT inside = {point->x - m_rcContent.left, point->y - m_rcContent.top + ScrollPos()};
    m_pContent->OnRelease(&inside);
  }
  return wasPressed;
}

void CListPanelView::TrackTapAndHold(BOOL enter) {
  HWND host = GetHwnd();
  if (!host) return;
  ::SetCapture(host);
  SHRGINFO info = {sizeof(info), host, m_ptLast, SHRG_RETURNCMD};
  const DWORD result = SHRecognizeGesture(&info);
  if (result != kHoldGesture && enter) OnKey(VK_RETURN | VK_KEYUP_FLAG);
  if (::GetCapture() == host && !m_bCaptured) ::ReleaseCapture();
}

void CListPanelView::FocusFirstHeaderControl(BOOL orSelectRow, BOOL lastRow) {
  for (CVirtualWnd* control : {static_cast<CVirtualWnd*>(m_pSort), static_cast<CVirtualWnd*>(m_pFilter),
                               static_cast<CVirtualWnd*>(&m_minimize)}) {
    if (Visible(control)) {
      RequestFocus(control);
      control->SetFocus();
      return;
    }
  }
  if (orSelectRow && m_pContent) {
    if (lastRow)
      SelectLastRow();
    else
      m_pContent->SelectFirst();
  }
}

BOOL CListPanelView::OnKey(DWORD key) {
  const DWORD code = key & ~VK_KEYUP_FLAG;
  if (code == VK_RETURN) {
    OnRowFocus((key & VK_KEYUP_FLAG) != 0);
    return TRUE;
  }
  if (key & VK_KEYUP_FLAG) return CScrollPanel::OnKey(key);
  if (code < VK_LEFT || code > VK_DOWN) return CScrollPanel::OnKey(key);
  BOOL moved = FALSE;
  if (m_pContent) {
    m_bNeedsRepaint = TRUE;
    moved = (code == VK_UP || code == VK_LEFT) ? m_pContent->SelectPrev() : m_pContent->SelectNext();
    if (moved) LayoutScrollBar();
    m_bNeedsRepaint = FALSE;
  }
  if (moved) {
    InvalidateContent(0);
    return TRUE;
  }
  const BOOL pocketPC = IsPocketPC();
  switch (code) {
    case VK_UP:
      FocusFirstHeaderControl(!pocketPC, TRUE);
      return TRUE;
    case VK_DOWN:
      if (!pocketPC) FocusFirstHeaderControl(TRUE, FALSE);
      return TRUE;
    case VK_RIGHT:
      SelectLastRow();
      return TRUE;
    default:
      return TRUE;
  }
}

BOOL CListPanelView::OnChildKey(CVirtualWnd* sender, DWORD key) {
  const BOOL fromHeader = sender == &m_minimize || (sender && (sender == m_pSort || sender == m_pFilter));
  if (!fromHeader || (key & VK_KEYUP_FLAG)) return CScrollPanel::OnChildKey(sender, key);
  const BOOL navigation = GetViewSettings().dbgHorizontalNavigationMode >= 1;
  const BOOL tabs = GetViewSettings().HorizontalTabsMode != 0;
  const BOOL buttonUsable = m_bAllowMinimize && !m_bHidden;
  CVirtualWnd* const parent = reinterpret_cast<CVirtualWnd*>(1);  // the strip
  CVirtualWnd* target = nullptr;
  switch (key) {
    case VK_DOWN:
      if (m_pContent) m_pContent->SelectFirst();
      RequestFocus(this);
      CVirtualWnd::SetFocus();
      Invalidate();
      return TRUE;
    case VK_UP:
      if (IsPocketPC()) return CScrollPanel::OnChildKey(sender, key);
      RequestFocus(this);
      CVirtualWnd::SetFocus();
      SelectLastRow();
      Invalidate();
      return TRUE;
    case VK_LEFT:
      if (sender == &m_minimize)
        target = m_bMinimized ? (navigation && tabs ? nullptr : parent) : m_pFilter;
      else if (sender == m_pFilter)
        target = m_pSort;
      else
        target = navigation && tabs ? (buttonUsable ? static_cast<CVirtualWnd*>(&m_minimize) : m_pFilter) : parent;
      break;
    case VK_RIGHT:
      if (sender == &m_minimize)
        target = !navigation ? parent : m_bMinimized ? (tabs ? nullptr : parent) : (tabs ? m_pSort : parent);
      else if (sender == m_pFilter)
        target = navigation ? (buttonUsable ? static_cast<CVirtualWnd*>(&m_minimize) : (tabs ? m_pSort : parent))
                            : (Visible(&m_minimize) ? static_cast<CVirtualWnd*>(&m_minimize) : parent);
      else
        target = m_pFilter;
      break;
    default:
      return CScrollPanel::OnChildKey(sender, key);
  }
  if (!target) return CScrollPanel::OnChildKey(sender, key);
  if (target == parent) return m_pParent ? m_pParent->OnChildKey(this, key) : FALSE;
  RequestFocus(target);
  target->SetFocus();
  Invalidate();
  return TRUE;
}

void CListPanelView::KillFocus() {
  CScrollPanel::KillFocus();
  if (m_pContent) m_pContent->DeselectCurrent();
}

void CListPanelView::SetFocus() {
  CScrollPanel::SetFocus();
  if (m_pContent && !m_pContent->GetCurrentItem() && !m_bPressed) RestoreFocusedRow();
}

void CListPanelView::RememberFocusedRow() {
  // Without a focused row what was remembered before still holds.
  if (!m_pContent || !m_pContent->GetCurrentItem()) return;
  CItemPath neighbour;
  m_pContent->SavePosition(m_remembered[0], neighbour);
  // The second choice is the group the row was in, for a row that went away.
  m_remembered[1] = m_remembered[0];
  if (!m_remembered[1].empty()) m_remembered[1].pop_back();
}

BOOL CListPanelView::RestoreFocusedRow() {
  if (!m_pContent) return FALSE;
  for (const CItemPath& path : m_remembered)
    if (m_pContent->RestorePosition(path)) return TRUE;
  return SelectTopRow() || m_pContent->SelectFirst();
}

BOOL CListPanelView::SelectRow(CListItem* row) {
  if (!row) return FALSE;
  if (IsGroupKind(row->GetKind())) {
    CContainerElement* group = CContainerElement::AsContainer(row);
    return group ? group->SelectSelf(TRUE) : FALSE;
  }
  // Selecting tells the owners, so the view lays out and repaints.
  row->SetSelected(TRUE, FALSE);
  return TRUE;
}

BOOL CListPanelView::SelectTopRow() {
  return m_pContent ? SelectRow(m_pContent->FindItemBelow(ScrollPos(), 0, TRUE)) : FALSE;
}

BOOL CListPanelView::SelectBottomRow() {
  if (!m_pContent) return FALSE;
  const int visible = m_rcContent.bottom - m_rcContent.top;
  return SelectRow(m_pContent->FindItemAbove(ScrollPos() + visible, 0, TRUE));
}

void CListPanelView::OnTimer() {
  KillTimer();
  RefreshNow();
  m_bNeedsRepaint = FALSE;
}

void CListPanelView::RefreshNow() {
  RememberFocusedRow();
  RebuildContent();
  LayoutScrollBar();
  InvalidateContent(0);
}

void CListPanelView::RequestRefresh() {
  if (!m_bCurrent) {
    m_bNeedsRebuild = TRUE;
    return;
  }
  SetTimer(kRefreshDelay);
}

void CListPanelView::Activate() {
  if (m_bSettingsChanged) {
    LoadSettings();
    m_bNeedsRebuild = TRUE;
  }
  if (m_bNeedsRebuild) {
    RebuildContent();
    m_bNeedsRebuild = FALSE;
  }
  CScrollPanel::Activate();
}

BOOL CListPanelView::Deactivate() {
  // The row a user leaves is not forced on the next visit; the neighbour stays.
  m_remembered[0].clear();
  return CScrollPanel::Deactivate();
}

void CListPanelView::OnSettingsChanged() {
  m_bSettingsChanged = TRUE;
  if (!m_bCurrent) return;
  LoadSettings();
  RequestRefresh();
}

BOOL CListPanelView::IsOneTap(CListItem*) { return m_dwOneTap != 0; }

BOOL CListPanelView::SelectLastRow() { return m_pContent ? m_pContent->SelectLast() : FALSE; }

BOOL CListPanelView::GetCurrentRowRect(RECT* out) {
  CListItem* row = m_pContent ? m_pContent->GetCurrentItem() : nullptr;
  POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
  if (!row || !m_pContent->GetItemRect(row, &origin, out)) return FALSE;
  if (IsGroupKind(row->GetKind()))
    if (auto* group = dynamic_cast<CGroupElement*>(row)) out->bottom = out->top + group->GetHeaderHeight();
  return TRUE;
}

POINT* CListPanelView::GetAnchorPoint(POINT* out) {
  RECT row;
  if (!GetCurrentRowRect(&row)) return CScrollPanel::GetAnchorPoint(out);
  out->x = (row.left + row.right) / 2;
  out->y = (row.top + row.bottom) / 2;
  return out;
}

LRESULT CListPanelView::OnVirtualMessage(LPARAM code) {
  if (code == 1010) SetFocus();
  return 0;
}

void CListPanelView::RefreshSkin() {
  const int header = GetHeaderHeight();
  if (header > 0) {
    RECT band = {m_rect.left, m_rect.top, m_rect.right, m_rect.top + header};
    CSkinColors::Instance().RebuildListBand(header, band);
  }
  CScrollPanel::RefreshSkin();
}

void CListPanelView::OnRowFocus(BOOL keyUp) {
  CListItem* row = m_pContent ? m_pContent->GetCurrentItem() : nullptr;
  if (!row) return;
  if (!keyUp) {
    GetAnchorPoint(&m_ptLast);
    TrackTapAndHold(TRUE);
    return;
  }
  if (IsGroupKind(row->GetKind())) return;
  if (IsOneTap(row))
    OnItemReleased(row);
  else
    OnItemClicked(row);
}

void CListPanelView::GetApplicationArgs(CString& args) { args = L" \\windows\\tmail.exe"; }
void CListPanelView::NewItem() {}

BOOL CListPanelView::DeleteItem(CListItem*) {
  ShowPanelMessage(GetHwnd(), L"Overload me", L"Delete item", MB_OK);
  return FALSE;
}

void CListPanelView::GetApplicationName(CString& name) { name = L"Application"; }
void CListPanelView::GetItemTypeName(CString& name) { name = L"Item"; }

BOOL CListPanelView::OpenItem(CListItem*, BOOL edit) {
  ShowPanelMessage(GetHwnd(), edit ? L"OpenItem for edit (overload me, please)" : L"OpenItem (overload me, please)",
                   L"CListPanelView", MB_OK);
  return FALSE;
}

BOOL CListPanelView::RunApplication() {
  CString args;
  GetApplicationArgs(args);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = L"open";
  info.lpFile = L"\\windows\\poutlook.exe";
  info.lpParameters = args;
  info.nShow = SW_SHOWNORMAL;
  return Launch(&info);
}

void CListPanelView::OnFilterChanged(BOOL) {}
void CListPanelView::LoadGroupBy() {}
CVirtualDropDown* CListPanelView::CreateSortMenu() { return nullptr; }
CVirtualDropDown* CListPanelView::CreateFilterMenu() { return nullptr; }

void CListPanelView::OnItemChanged(CListItem*) {
  if (m_bPainting) return;
  LayoutScrollBar();
  InvalidateContent(0);
}

namespace {
// What an activation report does with the "DoubleClick" setting: 0 nothing, 2 edit.
void ActivateRow(CListItem* row) {
  const int setting = GetViewSettings().DoubleClick;
  if (!row || setting == 0 || !IsRecordRowKind(row->GetKind())) return;
  if (auto* record = dynamic_cast<CPimListItem*>(row)) record->OnCommand(setting == 2 ? 1002 : 1001);
}
}  // namespace

void CListPanelView::OnItemClicked(CListItem* item) {
  if (m_dwOneTap == 0) ActivateRow(item);
}

void CListPanelView::OnItemReleased(CListItem* item) {
  if (m_dwOneTap != 0) ActivateRow(item);
}

void CListPanelView::OnItemSelected(CListItem* item) { OnItemChanged(item); }
void CListPanelView::OnItemRemoved(CListItem*) {}
void CListPanelView::OnItemNotify(CListItem*, LPARAM) {}
BOOL CListPanelView::IsFirstItem(CListItem*) { return FALSE; }

void CListPanelView::OnItemFolded(CListItem*, BOOL) {
  LayoutScrollBar();
  InvalidateContent(0);
}

void CListPanelView::OnSelectionChanged(CVirtualDropDown*, int) {
  if (m_bFocused || (m_pContent && m_pContent->GetCurrentItem())) m_bNeedsRepaint = TRUE;
}

void CListPanelView::OnItemChosen(int) {}
