#include "controls/GroupElement.h"

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/ControlArt.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "graphics/Bitmap.h"
#include "graphics/FontCache.h"
#include "graphics/TextFit.h"

namespace {

// The header font: the bold header font of the font cache, or the bold list font
// for the options program's previews; the system's font before there is a cache.
CFontInfo* PreviewFont() {
  CFontCache* fonts = GetFontCache();
  return fonts && CContainerElement::IsPreviewLayout() ? fonts->GetBoldFont() : nullptr;
}

HFONT HeaderFont() {
  if (CFontInfo* info = PreviewFont()) return info->GetFont();
  CFontCache* fonts = GetFontCache();
  HFONT font = fonts ? fonts->GetHeaderFont(TRUE) : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE MeasureText(HDC dc, LPCWSTR text) {
  SIZE size = {0, 0};
  const int length = lstrlenW(text);
  int fit = 0;
  if (length > 0) GetTextExtentExPointW(dc, text, length, 0, &fit, nullptr, &size);
  return size;
}

int FontHeight(HFONT font) {
  if (CFontInfo* info = PreviewFont()) return info->GetHeight();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight > 0 ? metrics.tmHeight : 1;
}

void FillBar(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  RECT bar = {left, top, right, bottom};
  FillRect(dc, &bar, brush);
}

}  // namespace

CGroupElement::CGroupElement(IListItemOwner* owner, LPCWSTR title)
    : CContainerElement(owner),
      m_nTitleHeight(0),
      m_nTopMargin(0),
      m_nRuleOffset(0),
      m_nGap(0),
      m_nRulePos(-1),
      m_bFolded(FALSE),
      m_bShowCount(TRUE),
      m_nStyle(2),
      m_rcIcon{0, 0, 0, 0},
      m_title(title ? title : L""),
      m_nExplicitCount(-1),
      m_titleHash(0),
      m_bHashed(FALSE) {}

void CGroupElement::LayoutHeader() {
  CViewSettings& view = GetViewSettings();
  m_nTitleHeight = FontHeight(HeaderFont());
  m_nStyle = view.FoldingStripeStyle;
  m_bShowCount = view.FoldingStripeDrawCounter;
  const BOOL first = m_pOwner && m_pOwner->IsFirstItem(this);

  const int iconWidth = ScaleX(9), iconHeight = ScaleY(9);
  m_rcIcon.left = 5;
  m_rcIcon.right = 5 + iconWidth;
  m_rcIcon.top = m_nTitleHeight / 2 - iconHeight / 2;
  m_rcIcon.bottom = m_rcIcon.top + iconHeight;

  if (m_nStyle == 1) {
    m_nTopMargin = first ? ScaleY(5) : ScaleY(3);
    m_nRuleOffset = 0;
    m_nGap = ScaleY(3);
    m_nRulePos = first ? -1 : m_nTopMargin - ScaleY(1);
  } else if (m_nStyle == 2) {
    m_nTopMargin = first ? ScaleY(5) : 0;
    m_nRuleOffset = 0;
    m_nGap = ScaleY(4);
    m_nRulePos = m_nTopMargin + m_nTitleHeight / 2;
  } else {
    m_nTopMargin = first ? ScaleY(5) : 0;
    m_nRuleOffset = ScaleY(1);
    m_nGap = ScaleY(4);
    m_nRulePos = ScaleY(1) + m_nTopMargin + m_rcIcon.bottom;
  }
  OffsetRect(&m_rcIcon, 0, m_nTopMargin);
  // No sign: an empty rectangle, so that a press on the header does not fold.
  if (!view.FoldingStripeShowCollapseIcon) m_rcIcon.right = m_rcIcon.left - ScaleX(5);
}

int CGroupElement::GetHeaderHeight() {
  if (m_nTitleHeight == 0) LayoutHeader();
  return m_nTopMargin + m_nRuleOffset + m_nTitleHeight;
}

int CGroupElement::GetChildrenTop() { return GetHeaderHeight() + (IsPreviewLayout() ? 0 : m_nGap); }

int CGroupElement::GetHeight(int limit) {
  const int header = GetHeaderHeight();
  if ((limit >= 0 && limit < header) || m_bFolded) return header;
  const int children = CContainerElement::GetHeight(limit >= 0 ? limit - header : -1);
  if (children < 1) return header;
  return header + m_nGap + children;
}

BOOL CGroupElement::GetItemRect(CListItem* item, const POINT* origin, RECT* out) {
  if (item == this) return CListItem::GetItemRect(item, origin, out);
  if (m_bFolded) return FALSE;
  POINT below = {origin->x, origin->y + GetChildrenTop()};
  return FindChildRect(item, &below, out);
}

void CGroupElement::Draw(CTextRunList* context, const POINT* origin) {
  // The previews show changed view settings at the next repaint.
  if (IsPreviewLayout() || m_nTitleHeight == 0) LayoutHeader();
  DrawHeader(context, origin);
  if (m_bFolded || CContainerElement::GetHeight(-1) < 1) return;
  POINT below = {origin->x, origin->y + GetChildrenTop()};
  DrawChildren(context, &below);
}

void CGroupElement::DrawHeader(CTextRunList* context, const POINT* origin) {
  CViewSettings& view = GetViewSettings();
  IItemPalette& palette = GetItemPalette();
  HDC dc = context->GetDC();
  HFONT font = HeaderFont();
  HFONT previousFont = context->SetFont(font);
  HGDIOBJ dcFont = SelectObject(dc, font);

  const int titleX = HasFoldIcon() ? m_rcIcon.right + ScaleX(5)
                                   : ScaleX(5) + m_rcIcon.right + ScaleX(view.dbgTextOffset);
  CSimpleValArray<int> widths;
  const int icons = GetHeaderIcons(widths);
  int reserve = ScaleX(10) + (IsPreviewLayout() ? ScaleX(5 * (icons > 0 ? icons : 0)) : 0);
  for (int i = 0; i < icons && i < widths.GetSize(); ++i) reserve += widths[i] + (IsPreviewLayout() ? 0 : ScaleX(5));

  CString count;
  if (m_bShowCount) GetCountText(count);
  const int countWidth = MeasureText(dc, count).cx;
  CString title;
  GetTitle(title);
  int room = m_nContentWidth - titleX - countWidth - reserve;
  if (room < 0) room = 0;
  CFontInfo* info = PreviewFont();
  CString text = info ? FitTextCached(info, dc, title, room) : FitTextGdi(dc, font, title, room);
  text += count;
  const SIZE extent = MeasureText(dc, text);
  RECT textRect = {origin->x + titleX, origin->y + m_nTopMargin, origin->x + titleX + extent.cx,
                   origin->y + m_nTopMargin + extent.cy};

  if (m_nRulePos >= 0) {
    HBRUSH rule = palette.GetBrush(1);
    const int top = origin->y + m_nRulePos, bottom = top + ScaleX(1);
    const int right = origin->x + m_nContentWidth - 1;
    if (m_nStyle == 2) {
      FillBar(dc, origin->x, top, textRect.left - 1, bottom, rule);
      FillBar(dc, textRect.right, top, right, bottom, rule);
    } else {
      FillBar(dc, origin->x, top, right, bottom, rule);
    }
  }

  const BOOL highlighted = m_bSelected && !m_pCurrent;
  if (highlighted)
    FillBar(dc, origin->x, origin->y + m_nTopMargin, origin->x + m_nWidth, origin->y + m_nTopMargin + m_nTitleHeight,
            palette.GetBrush(2));
  const COLORREF previousColor = context->SetTextColor(palette.GetColor(highlighted ? 4 : 3));
  context->AddText(text, &textRect, DT_NOPREFIX);
  context->SetTextColor(previousColor);

  if (view.FoldingStripeShowCollapseIcon && HasFoldIcon()) {
    // A folded group with nothing in it shows the open sign: there is nothing to unfold.
    HICON sign = GetControlArt().GetSignIcon(m_bFolded && GetDisplayCount() != 0);
    if (sign)
      DrawIconEx(dc, origin->x + m_rcIcon.left, origin->y + m_rcIcon.top, sign, m_rcIcon.right - m_rcIcon.left,
                 m_rcIcon.bottom - m_rcIcon.top, 0, nullptr, DI_NORMAL);
  }

  RECT column = {origin->x + m_nContentWidth - reserve, textRect.top, 0, textRect.bottom};
  const int middleY = textRect.top + m_nTitleHeight / 2;
  for (int i = 0; i < icons && i < widths.GetSize(); ++i) {
    column.left += ScaleX(5);
    column.right = column.left + widths[i];
    DrawHeaderIcon(i, dc, context, column, m_nRulePos, middleY, origin);
    column.left = column.right;
  }

  SelectObject(dc, dcFont);
  context->SetFont(previousFont);
}

BOOL CGroupElement::OnPress(POINT* point) {
  GetHeaderHeight();
  if (HasFoldIcon() && PtInRect(&m_rcIcon, *point)) {
    SetState(!m_bFolded, TRUE);
    return TRUE;
  }
  if (m_bFolded) return FALSE;
  POINT below = {point->x, point->y - GetChildrenTop()};
  return RoutePress(&below, ROUTE_PRESS);
}

BOOL CGroupElement::OnRelease(POINT* point) {
  if (m_bFolded) return FALSE;
  POINT below = {point->x, point->y - GetChildrenTop()};
  return RoutePress(&below, ROUTE_RELEASE);
}

BOOL CGroupElement::OnDoubleTap(POINT* point) {
  if (!m_bFolded) {
    POINT below = {point->x, point->y - GetChildrenTop()};
    if (RoutePress(&below, ROUTE_DOUBLE_TAP)) return TRUE;
  }
  SetState(!m_bFolded, TRUE);
  return TRUE;
}

DWORD_PTR CGroupElement::GetUserData() {
  if (!m_bHashed) {
    m_titleHash = HashWideString(m_title);
    m_bHashed = TRUE;
  }
  return m_titleHash;
}

CListItem* CGroupElement::GetItemAt(POINT* point) {
  if (point->y < 0) return nullptr;
  if (point->y < GetHeaderHeight()) return this;
  if (m_bFolded) return nullptr;
  POINT below = {point->x, point->y - GetChildrenTop()};
  return CContainerElement::GetItemAt(&below);
}

CListItem* CGroupElement::FindItemBelow(int limit, int y, BOOL flag) {
  if (flag && y >= limit) return this;
  if (m_bFolded) return nullptr;
  return CContainerElement::FindItemBelow(limit, y + GetChildrenTop(), flag);
}

CListItem* CGroupElement::FindItemAbove(int limit, int y, BOOL flag) {
  if (!m_bFolded)
    if (CListItem* found = CContainerElement::FindItemAbove(limit, y - GetChildrenTop(), flag)) return found;
  return flag && GetHeight(-1) < limit + y ? this : nullptr;
}

BOOL CGroupElement::SelectFirst() { return SelectSelf(TRUE); }

BOOL CGroupElement::SelectLast() {
  if (!m_bFolded && m_children.GetSize() > 0) return CContainerElement::SelectLast();
  return SelectSelf(TRUE);
}

void CGroupElement::GetTitle(CString& out) { out = m_title; }

int CGroupElement::GetHeaderIcons(CSimpleValArray<int>& widths) {
  widths.RemoveAll();
  return 0;
}

void CGroupElement::DrawHeaderIcon(int, HDC, CTextRunList*, const RECT&, int, int, const POINT*) {}

void CGroupElement::GetCountText(CString& out) {
  const int count = GetDisplayCount();
  if (count == 0 && GetViewSettings().FoldingStripeDontShowNull) {
    out.Empty();
    return;
  }
  out.Format(L" (%d)", count);
}

int CGroupElement::GetDisplayCount() const {
  return m_nExplicitCount >= 0 ? m_nExplicitCount : m_children.GetSize();
}

void CGroupElement::SetState(BOOL folded, BOOL notify) {
  m_bFolded = folded ? TRUE : FALSE;
  if (!notify || !m_pOwner) return;
  m_pOwner->OnItemChanged(this);
  m_pOwner->OnItemFolded(this, m_bFolded);
}
