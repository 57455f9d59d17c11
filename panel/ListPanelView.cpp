#include "panel/ListPanelView.h"

#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include <cmath>

#include "base/DateTime.h"
#include "base/Translator.h"
#include "controls/GroupElement.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "panel/FoldingState.h"
#include "panel/GroupHeaderRow.h"
#include "panel/ListGroupHeader.h"
#include "panel/ListTabServices.h"
#include "panel/NotesFolderFilter.h"
#include "panel/PanelClock.h"
#include "panel/PanelPrompt.h"
#include "panel/RecordRow.h"
#include "panel/TabFilterMenu.h"
#include "panel/TextGroupHeader.h"
#include "pim/CategoriesList.h"
#include "pim/OndrelClient.h"
#include "platform/aygshell/aygshell.h"
#include "res/TarvoResIds.h"

namespace {

const int kMinimumHeaderHeight = 14;
// A content list whose height flips with the width gets this many passes at most.
const int kLayoutPasses = 2;
const DWORD kHoldGesture = 1000;

// Folding reaches the group elements and the header rows; plain containers stay open.
BOOL IsFoldableKind(int kind) {
  return kind == ITEM_KIND_GROUP || kind == ITEM_KIND_GRID ||
         (kind >= ITEM_KIND_FIRST_HEADER_ROW && kind <= ITEM_KIND_LAST_HEADER_ROW);
}

BOOL GroupKey(CListItem* item, CString& key) {
  if (CListGroupHeader* header = AsListGroupHeader(item)) {
    header->GetKey(key);
    return TRUE;
  }
  if (auto* group = dynamic_cast<CGroupElement*>(item)) {
    group->GetTitle(key);
    return TRUE;
  }
  return FALSE;
}

BOOL FoldGroup(CListItem* item, BOOL fold) {
  if (!item || !IsFoldableKind(item->GetKind())) return FALSE;
  auto* group = dynamic_cast<CGroupElement*>(item);
  if (!group) return FALSE;
  group->SetState(fold, TRUE);
  return TRUE;
}


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
      m_nLaidOutWidth(-1),
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
  } else if (auto* menu = dynamic_cast<CTabFilterMenu*>(m_pFilter)) {
    // A settings change (the options program's show pages) reaches the rows only
    // through the menu's switches.
    menu->ReadOptions();
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
  // Laying the rows out may wait on another process (the mail rows ask the message
  // stores), and the host window paints meanwhile, with the new bounds but the old
  // content rectangle: rows below the old bottom lose their texts. Whatever was painted
  // before the layout was whole is painted again now.
  if (m_bCurrent) Invalidate();
}

int CListPanelView::LayoutContent(BOOL reset) {
  const int width = m_rcContent.right - m_rcContent.left;
  if (!m_pContent || width < 1) return 0;
  const int visible = m_rcContent.bottom - m_rcContent.top;
  BOOL withBar = m_scrollBar.IsNeeded();
  int height = 0, contentWidth = width;
  for (int pass = 0; pass < kLayoutPasses; ++pass) {
    contentWidth = withBar ? width - m_scrollBar.GetWidth() : width;
    m_pContent->SetSize(width, contentWidth, visible, reset);
    height = m_pContent->GetHeight(-1);
    const BOOL needsBar = height > visible;
    if (needsBar == withBar) break;
    withBar = needsBar;
  }
  // A panel that only shrank keeps its old pixels: the rows that now make room
  // for the scroll bar (or take its place) are painted again.
  if (m_nLaidOutWidth >= 0 && contentWidth != m_nLaidOutWidth) InvalidateContent(0);
  m_nLaidOutWidth = contentWidth;
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
    // Row texts are drawn at the end of the paint with their own clip: narrowed to the
    // rows' area, a row cut by the bottom strip never writes over it.
    const RECT paint = clip;
    RECT rows = m_rcContent;
    if (!IsRectEmpty(&paint)) IntersectRect(&rows, &paint, &m_rcContent);
    if (!IsRectEmpty(&rows)) {
      const RECT previous = context->SetClip(rows);
      m_pContent->Draw(context, &origin);
      context->SetClip(previous);
    }
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
  // The shell only answers the gesture in this mode: the held row's menu is ours to show.
  if (result == kHoldGesture) {
    POINT screen = m_ptLast;
    ClientToScreen(host, &screen);
    m_bPressed = FALSE;
    if (m_bCaptured) ReleaseCapture();
    OnContextMenu(&screen);
  }
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
void CListPanelView::OnItemNotify(CListItem* item, LPARAM value) {
  if (!item || !m_pContent) return;
  const int kind = item->GetKind();
  const BOOL showNote = value == ROW_EVENT_SHOW_NOTE && kind == ITEM_KIND_APPOINTMENT;
  const BOOL categories = value == ROW_EVENT_EDIT_CATEGORIES &&
                          (kind == ITEM_KIND_APPOINTMENT || kind == ITEM_KIND_TASK || kind == ITEM_KIND_CONTACT ||
                           kind == ITEM_KIND_EVENT_ROW);
  if (!showNote && !categories) return;
  RECT rect;
  POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
  if (!m_pContent->GetItemRect(item, &origin, &rect)) return;
  if (showNote) {
    if (IListTabServices* services = GetListTabServices()) services->ShowAppointmentNote(GetHwnd(), rect, item);
    return;
  }
  auto* record = dynamic_cast<IRecordRow*>(item);
  DWORD objectId = 0;
  CString text;
  CBitSet set;
  if (!record || !record->GetCategoryRecord(&objectId, text, set)) return;
  COndrelClient& client = COndrelClient::Instance();
  // The anchor is in the host's coordinates: the picker runs over the host (the panel
  // window, the client's owner anyway).
  if (HWND host = GetHwnd()) client.SetOwnerWindow(host);
  client.EditItemCategories(POINT{rect.left, rect.bottom}, objectId, text, set);
}
BOOL CListPanelView::IsFirstItem(CListItem*) { return FALSE; }

void CListPanelView::OnItemFolded(CListItem* item, BOOL folded) {
  if (item && IsFoldableKind(item->GetKind())) {
    CString key;
    if (GroupKey(item, key)) {
      CFoldingState state;
      LoadFoldingState(state);
      state.Set(key, folded);
      state.Save();
    }
  }
  LayoutScrollBar();
  InvalidateContent(0);
}

void CListPanelView::OnSelectionChanged(CVirtualDropDown*, int) {
  if (m_bFocused || (m_pContent && m_pContent->GetCurrentItem())) m_bNeedsRepaint = TRUE;
}

void CListPanelView::OnItemChosen(int) {}

BOOL CListPanelView::OnContextMenu(POINT* screenPoint) {
  if (CVirtualWnd::OnContextMenu(screenPoint)) return TRUE;
  CListItem* row = nullptr;
  POINT client = *screenPoint;
  HWND host = GetHwnd();
  if (host) ScreenToClient(host, &client);
  if (m_pContent && client.x >= m_rcContent.left && client.y >= m_rcContent.top) {
    POINT inside = {client.x - m_rcContent.left, client.y - m_rcContent.top + ScrollPos()};
    row = m_pContent->GetItemAt(&inside);
  }
  TrackMenu(reinterpret_cast<LPARAM>(row), screenPoint);
  return TRUE;
}

int CListPanelView::TrackMenu(LPARAM argument, POINT* screenPoint) {
  CListItem* row = reinterpret_cast<CListItem*>(argument);
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  CListItem* const previous = m_pContextRow;
  m_pContextRow = row;
  CPimListItem* itemRow = row && IsRecordRowKind(row->GetKind()) ? dynamic_cast<CPimListItem*>(row) : nullptr;
  const BOOL filterEntries = m_bHidden && m_pFilter;
  if (itemRow) {
    itemRow->BuildMenu(menu);
  } else {
    FillContextMenu(menu, argument);
    if (filterEntries) {
      if (HMENU filters = CreatePopupMenu()) {
        m_pFilter->FillMenu(filters, 0);
        CString title;
        LoadTranslatedString(title, IDS_MENU_FILTER);
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(filters), title);
      }
    }
  }
  const int command = CPopupMenuTracker::Track(menu, TPM_RETURNCMD, screenPoint->x, screenPoint->y, GetHwnd());
  DestroyMenu(menu);
  if (command != 0) {
    BOOL taken = FALSE;
    if (itemRow) {
      m_bNeedsRepaint = TRUE;
      taken = itemRow->OnCommand(static_cast<UINT>(command));
    }
    if (!taken) {
      OnMenuCommand(command);
      // Only a menu that offered the selector's items can have chosen one.
      if (filterEntries && !itemRow) m_pFilter->OnItemChosen(command);
    }
    RequestFocus(this);
    SetFocus();
  }
  m_pContextRow = previous;
  return 0;
}

int CListPanelView::GetFoldingChoice() {
  if (!m_pFilter || GetTabId() == 5) return 0;
  return m_pFilter->GetSelectedId();
}

void CListPanelView::LoadFoldingState(CFoldingState& state) { state.Load(GetTabId(), GetFoldingChoice()); }

void CListPanelView::GetNewItemCategories(CString& names) {
  CBitSet set;
  if (CListGroupHeader* header = AsListGroupHeader(m_pContextRow))
    if (header->GetKind() == 551 && header->GetValue() != -1) set.Set(header->GetValue());
  if (auto* filter = dynamic_cast<CTabFilterMenu*>(m_pFilter)) filter->GetSingleCategory(set);
  names = CCategoriesList::GetNamesText(set);
}

BOOL CListPanelView::GetNewTaskDueDate(double* out) {
  CListGroupHeader* header = AsListGroupHeader(m_pContextRow);
  if (!header) return FALSE;
  double due = 0;
  const double today = std::floor(PanelNow());
  if (header->GetKind() == 553 && header->GetValue() == 1)
    due = today;
  else if (header->GetKind() == 553 && header->GetValue() == 2)
    due = today + 1;
  else if (header->GetKind() == 557)
    due = header->GetDay();
  else
    return FALSE;
  if (due == 0 || due == kNoDate) return FALSE;
  *out = due;
  return TRUE;
}

BOOL CListPanelView::GetNewAppointmentStart(double* out) {
  CListGroupHeader* header = AsListGroupHeader(m_pContextRow);
  if (!header || header->GetKind() != 557) return FALSE;
  const double day = std::floor(header->GetDay());
  if (day == 0 || day == kNoDate) return FALSE;
  const double now = PanelNow();
  const double today = std::floor(now);
  if (day == today) {
    // A little slack, so that 15:00 stored as 14:59:59.999 still counts as 15.
    const double hours = std::floor((now - today) * 24 + 1e-7);
    *out = today + (hours + 1) / 24;
  } else {
    *out = day + 0.5;
  }
  return TRUE;
}

void CListPanelView::GetNewNoteFolder(CString& folder) {
  folder.Empty();
  if (auto* folders = dynamic_cast<CNotesFolderFilter*>(m_pFilter)) folder = folders->GetCurrentFolder();
  if (CListGroupHeader* header = AsListGroupHeader(m_pContextRow))
    if (header->GetKind() == 551) header->GetTitle(folder);
  if (CNotesFolderFilter::IsMainFolder(folder)) folder.Empty();
}

void CListPanelView::GetAccountName(CString& account) {
  account.Empty();
  IListTabServices* services = GetListTabServices();
  if (services && m_pFilter) {
    const int index = m_pFilter->GetSelectedId() - 1;
    if (index >= 0 && index < services->GetAccountCount()) services->GetAccountName(account, index);
  }
  if (CListGroupHeader* header = AsListGroupHeader(m_pContextRow))
    if (header->GetKind() == ITEM_KIND_GENERAL_HEADER) header->GetSecondText(account);
}

void CListPanelView::OnMenuCommand(int command) {
  DWORD option = 0;
  if (command >= LIST_CMD_NEW_TASK_ENTRY_FIRST && command <= LIST_CMD_NEW_TASK_ENTRY_LAST) {
    if (IListTabServices* services = GetListTabServices())
      option = services->GetTaskEntryOption(command - LIST_CMD_NEW_TASK_ENTRY_FIRST);
    command = LIST_CMD_NEW_TASK;
  }
  COndrelClient& client = COndrelClient::Instance();
  IListTabServices* services = GetListTabServices();
  CString text;
  switch (command) {
    case LIST_CMD_OPEN:
    case LIST_CMD_EDIT:
      OpenItem(m_pContextRow, command == LIST_CMD_EDIT);
      return;
    case LIST_CMD_DELETE:
      DeleteItem(m_pContextRow);
      return;
    case LIST_CMD_NEW:
      NewItem();
      return;
    case LIST_CMD_CALENDAR_VIEW:
    case LIST_CMD_CALENDAR_VIEW_2:
      client.OpenCalendarView();
      return;
    case LIST_CMD_CONTACTS_VIEW:
      client.OpenContactsView();
      return;
    case LIST_CMD_TASKS_VIEW:
      client.OpenTasksView();
      return;
    case LIST_CMD_FOLD:
    case LIST_CMD_UNFOLD:
      FoldGroup(m_pContextRow, command == LIST_CMD_FOLD);
      return;
    case LIST_CMD_FOLD_ALL:
    case LIST_CMD_UNFOLD_ALL:
      for (int i = 0; m_pContent && i < m_pContent->GetChildCount(); ++i)
        FoldGroup(m_pContent->GetChild(i), command == LIST_CMD_FOLD_ALL);
      return;
    case LIST_CMD_NOTES_PROGRAM:
      client.OpenNotesProgram();
      return;
    case LIST_CMD_PELLAM:
      if (services) services->RunPellam();
      return;
    case LIST_CMD_OPEN_ACCOUNT:
      GetAccountName(text);
      if (services) services->OpenAccount(text);
      return;
    case LIST_CMD_PHATNOTES:
      client.OpenPhatNotes();
      return;
    case LIST_CMD_POCKET_WORD:
      client.OpenPocketWord();
      return;
    case LIST_CMD_PHATPAD:
      client.OpenPhatPad();
      return;
    case LIST_CMD_POCKET_EXCEL:
      client.OpenPocketExcel();
      return;
    case LIST_CMD_NEW_TASK: {
      GetNewItemCategories(text);
      double due = 0;
      const BOOL dated = GetNewTaskDueDate(&due);
      client.NewItemEx(3, text, dated ? &due : nullptr, nullptr, nullptr, option);
      return;
    }
    case LIST_CMD_NEW_APPOINTMENT: {
      GetNewItemCategories(text);
      double start = 0;
      const BOOL dated = GetNewAppointmentStart(&start);
      client.NewItemEx(1, text, dated ? &start : nullptr, nullptr, nullptr, 0);
      return;
    }
    case LIST_CMD_NEW_CONTACT: {
      GetNewItemCategories(text);
      CString second;
      if (auto* header = dynamic_cast<CTextGroupHeader*>(m_pContextRow)) second = header->GetText();
      client.NewItem(2, text, second.IsEmpty() ? nullptr : static_cast<LPCWSTR>(second));
      return;
    }
    case LIST_CMD_NEW_NOTE:
    case LIST_CMD_NEW_NOTE_SKIP:
      GetNewNoteFolder(text);
      client.NewNote(command == LIST_CMD_NEW_NOTE_SKIP, text);
      return;
    case LIST_CMD_NEW_MESSAGE:
      GetAccountName(text);
      if (services) services->NewMessage(text);
      return;
    case LIST_CMD_NOTES_WINDOW:
      client.ShowNotesWindow();
      return;
    case LIST_CMD_NEW_DOCUMENT:
      client.LaunchPocketWord();
      return;
    case LIST_CMD_NEW_PHATPAD:
      client.NewPhatPad();
      return;
    case LIST_CMD_NEW_WORKBOOK:
      client.LaunchPocketExcel();
      return;
    case LIST_CMD_SEND_RECEIVE:
      GetAccountName(text);
      if (services) services->SendReceive(text);
      return;
    default:
      CScrollPanel::OnMenuCommand(command);
  }
}
