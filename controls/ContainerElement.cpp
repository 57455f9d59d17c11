#include "controls/ContainerElement.h"

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"

namespace {

BOOL g_previewLayout = FALSE;

}  // namespace

void CContainerElement::SetPreviewLayout(BOOL preview) { g_previewLayout = preview ? TRUE : FALSE; }
BOOL CContainerElement::IsPreviewLayout() { return g_previewLayout; }

CContainerElement* CContainerElement::AsContainer(CListItem* item) {
  if (!item || !IsGroupKind(item->GetKind())) return nullptr;
  return dynamic_cast<CContainerElement*>(item);
}

CContainerElement::CContainerElement(IListItemOwner* owner)
    : CListItem(owner), m_bBottomSpace(FALSE), m_bTopSpace(FALSE), m_nCachedHeight(-1), m_pCurrent(nullptr) {}

CContainerElement::~CContainerElement() {
  for (int i = 0; i < m_children.GetSize(); ++i) delete m_children[i];
  m_children.RemoveAll();
}

int CContainerElement::TopSpace() const { return m_bTopSpace ? ScaleY(4) : 0; }
int CContainerElement::BottomSpace() const { return m_bBottomSpace ? ScaleY(15) : 0; }

void CContainerElement::SetTopSpace(BOOL on) {
  m_bTopSpace = on ? TRUE : FALSE;
  m_nCachedHeight = -1;
}

void CContainerElement::SetBottomSpace(BOOL on) {
  m_bBottomSpace = on ? TRUE : FALSE;
  m_nCachedHeight = -1;
}

void CContainerElement::SetSize(int width, int contentWidth, int height, BOOL reset) {
  CListItem::SetSize(width, contentWidth, height, reset);
  for (int i = 0; i < m_children.GetSize(); ++i) m_children[i]->SetSize(width, contentWidth, height, reset);
  m_nCachedHeight = -1;
}

int CContainerElement::GetHeight(int limit) {
  if (m_nContentWidth < 1) return 0;
  if (m_nCachedHeight >= 0) return m_nCachedHeight;
  const int height = ComputeHeight(limit);
  // A sum cut short by a limit would hide the rows below the cut from every later
  // unlimited caller (the scroll range among them).
  if (limit < 0) m_nCachedHeight = height;
  return height;
}

int CContainerElement::ComputeHeight(int limit) {
  int sum = TopSpace();
  for (int i = 0; i < m_children.GetSize(); ++i) {
    sum += m_children[i]->GetHeight(limit >= 0 ? limit - sum : -1);
    if (limit >= 0 && sum > limit) break;
  }
  return sum + BottomSpace();
}

void CContainerElement::Draw(CTextRunList* context, const POINT* origin) { DrawChildren(context, origin); }

void CContainerElement::DrawChildren(CTextRunList* context, const POINT* origin) {
  const RECT& clip = context->GetClip();
  const BOOL clipped = !IsRectEmpty(&clip);
  POINT at = {origin->x, origin->y + TopSpace()};
  for (int i = 0; i < m_children.GetSize(); ++i) {
    if (clipped && at.y >= clip.bottom) break;
    CListItem* child = m_children[i];
    const int height = child->GetHeight(-1);
    if (!clipped || at.y + height >= clip.top) child->Draw(context, &at);
    at.y += height;
  }
}

BOOL CContainerElement::GetItemRect(CListItem* item, const POINT* origin, RECT* out) {
  if (item == this) return CListItem::GetItemRect(item, origin, out);
  return FindChildRect(item, origin, out);
}

BOOL CContainerElement::FindChildRect(CListItem* item, const POINT* origin, RECT* out) {
  POINT at = {origin->x, origin->y + TopSpace()};
  for (int i = 0; i < m_children.GetSize(); ++i) {
    if (m_children[i]->GetItemRect(item, &at, out)) return TRUE;
    at.y += m_children[i]->GetHeight(-1);
  }
  return FALSE;
}

CListItem* CContainerElement::ChildAtPoint(POINT* point) {
  if (point->y < 0) return nullptr;
  for (int i = 0; i < m_children.GetSize(); ++i) {
    const int height = m_children[i]->GetHeight(-1);
    if (point->y < height) return m_children[i];
    point->y -= height;
  }
  return nullptr;
}

CListItem* CContainerElement::RoutePoint(POINT* point) {
  // The real height, not the cache: a child that just changed dropped it, and a tap
  // before the next paint must still land.
  if (point->x < 0 || point->x >= m_nContentWidth || point->y < 0 ||
      point->y >= CContainerElement::GetHeight(-1))
    return nullptr;
  point->y -= TopSpace();
  return ChildAtPoint(point);
}

BOOL CContainerElement::RoutePress(POINT* point, RouteCall call) {
  POINT local = *point;
  CListItem* child = RoutePoint(&local);
  if (!child) return FALSE;
  switch (call) {
    case ROUTE_PRESS:
      return child->OnPress(&local);
    case ROUTE_RELEASE:
      return child->OnRelease(&local);
    default:
      if (IsGroupKind(child->GetKind())) return child->OnDoubleTap(&local);
      OnItemClicked(child);
      return TRUE;
  }
}

BOOL CContainerElement::OnPress(POINT* point) { return RoutePress(point, ROUTE_PRESS); }
BOOL CContainerElement::OnRelease(POINT* point) { return RoutePress(point, ROUTE_RELEASE); }
BOOL CContainerElement::OnDoubleTap(POINT* point) { return RoutePress(point, ROUTE_DOUBLE_TAP); }

DWORD_PTR CContainerElement::GetUserData() { return g_previewLayout ? 1 : CListItem::GetUserData(); }

CListItem* CContainerElement::GetCurrentItem() {
  if (m_pCurrent) {
    if (CContainerElement* inner = AsContainer(m_pCurrent)) return inner->GetCurrentItem();
    return m_pCurrent;
  }
  return m_bSelected ? this : nullptr;
}

CListItem* CContainerElement::GetItemAt(POINT* point) {
  POINT local = *point;
  if (local.x < 0 || local.x >= m_nContentWidth) return nullptr;
  local.y -= TopSpace();
  CListItem* child = ChildAtPoint(&local);
  if (CContainerElement* inner = AsContainer(child)) return inner->GetItemAt(&local);
  return child;
}

CListItem* CContainerElement::FindItem(int kind, DWORD_PTR data) {
  if (GetKind() == kind && GetUserData() == data) return this;
  for (int i = m_children.GetSize() - 1; i >= 0; --i) {
    CListItem* child = m_children[i];
    if (CContainerElement* inner = AsContainer(child)) {
      if (CListItem* found = inner->FindItem(kind, data)) return found;
    } else if (child->GetKind() == kind && child->GetUserData() == data) {
      return child;
    }
  }
  return nullptr;
}

CListItem* CContainerElement::GetPreviousItem() {
  int start;
  if (m_bSelected) {
    if (!CanSelectChildren() || !m_pCurrent) return nullptr;
    start = m_children.Find(m_pCurrent);
  } else {
    if (!CanSelectChildren() || m_children.GetSize() == 0) return CanSelectSelf() ? this : nullptr;
    start = m_children.GetSize() - 1;
  }
  for (int i = start; i >= 0; --i) {
    CListItem* child = m_children[i];
    if (CContainerElement* inner = AsContainer(child)) {
      if (CListItem* found = inner->GetPreviousItem()) return found;
    } else if (!child->IsSelected()) {
      return child;
    }
  }
  return CanSelectSelf() ? this : nullptr;
}

CListItem* CContainerElement::GetNextItem() {
  if (!m_bSelected && CanSelectSelf()) return this;
  if (!CanSelectChildren() || m_children.GetSize() == 0) return nullptr;
  const int start = m_pCurrent ? m_children.Find(m_pCurrent) : 0;
  for (int i = start < 0 ? 0 : start; i < m_children.GetSize(); ++i) {
    CListItem* child = m_children[i];
    if (CContainerElement* inner = AsContainer(child)) {
      if (CListItem* found = inner->GetNextItem()) return found;
    } else if (!child->IsSelected()) {
      return child;
    }
  }
  return nullptr;
}

CListItem* CContainerElement::GetPathHeader() {
  if (!m_bSelected) return CanSelectSelf() ? this : nullptr;
  CContainerElement* inner = CanSelectChildren() ? AsContainer(m_pCurrent) : nullptr;
  return inner ? inner->GetPathHeader() : nullptr;
}

CListItem* CContainerElement::GetPathHeaderAlt() {
  if (!m_bSelected) return CanSelectSelf() ? this : nullptr;
  CContainerElement* inner = CanSelectChildren() ? AsContainer(m_pCurrent) : nullptr;
  return inner ? inner->GetPathHeaderAlt() : nullptr;
}

CListItem* CContainerElement::FindItemBelow(int limit, int y, BOOL flag) {
  y += TopSpace();
  for (int i = 0; i < m_children.GetSize(); ++i) {
    CListItem* child = m_children[i];
    if (CContainerElement* inner = AsContainer(child)) {
      if (CListItem* found = inner->FindItemBelow(limit, y, flag)) return found;
    } else if (y >= limit) {
      return child;
    }
    y += child->GetHeight(-1);
  }
  return nullptr;
}

CListItem* CContainerElement::FindItemAbove(int limit, int y, BOOL flag) {
  y -= TopSpace();
  const int count = m_children.GetSize();
  std::vector<int> tops(static_cast<size_t>(count) + 1, 0);
  for (int i = 0; i < count; ++i) tops[i + 1] = tops[i] + m_children[i]->GetHeight(-1);
  for (int i = count - 1; i >= 0; --i) {
    CListItem* child = m_children[i];
    if (CContainerElement* inner = AsContainer(child)) {
      if (CListItem* found = inner->FindItemAbove(limit, y - tops[i], flag)) return found;
    } else if (tops[i + 1] <= limit + y) {
      return child;
    }
  }
  return nullptr;
}

BOOL CContainerElement::SelectItem(CListItem* item) {
  if (!item) return FALSE;
  if (CContainerElement* inner = AsContainer(item)) return inner->SelectSelf(TRUE);
  item->SetSelected(TRUE, FALSE);
  return TRUE;
}

BOOL CContainerElement::SelectFirst() {
  if (m_children.GetSize() == 0) return FALSE;
  CListItem* child = m_children[0];
  if (CContainerElement* inner = AsContainer(child)) return inner->SelectFirst();
  child->SetSelected(TRUE, FALSE);
  return TRUE;
}

BOOL CContainerElement::SelectLast() {
  if (m_children.GetSize() == 0) return FALSE;
  CListItem* child = m_children[m_children.GetSize() - 1];
  if (CContainerElement* inner = AsContainer(child)) return inner->SelectLast();
  child->SetSelected(TRUE, FALSE);
  return TRUE;
}

BOOL CContainerElement::SelectSelf(BOOL select) {
  if (CListItem* current = m_pCurrent) {
    if (CContainerElement* inner = AsContainer(current))
      inner->SelectSelf(FALSE);
    else
      current->SetSelected(FALSE, TRUE);
  }
  m_pCurrent = nullptr;
  if (select && !CanSelectSelf()) return FALSE;
  SetSelected(select, TRUE);
  return TRUE;
}

BOOL CContainerElement::CanSelectChildren() { return TRUE; }
BOOL CContainerElement::CanSelectSelf() { return FALSE; }

void CContainerElement::DeselectCurrent() {
  if (CListItem* current = m_pCurrent) {
    if (CContainerElement* inner = AsContainer(current))
      inner->DeselectCurrent();
    else
      current->SetSelected(FALSE, FALSE);
  } else {
    SetSelected(FALSE, FALSE);
  }
}

BOOL CContainerElement::SelectPrev() { return SelectItem(GetPreviousItem()); }
BOOL CContainerElement::SelectNext() { return SelectItem(GetNextItem()); }
BOOL CContainerElement::SelectPathHeaderAlt() { return SelectItem(GetPathHeaderAlt()); }

BOOL CContainerElement::SelectPathHeader() {
  if (SelectItem(GetPathHeader())) return TRUE;
  CViewSettings& view = GetViewSettings();
  if (view.dbgHorizontalNavigationMode < 1 || !view.HorizontalTabsMode || m_children.GetSize() == 0) return FALSE;
  CListItem* first = m_children[0];
  if (first == m_pCurrent) {
    CContainerElement* inner = AsContainer(first);
    if (!inner || !inner->GetCurrentChild()) return FALSE;
  }
  return SelectItem(first);
}

void CContainerElement::OnItemChanged(CListItem* item) {
  m_nCachedHeight = -1;
  if (m_pOwner) m_pOwner->OnItemChanged(item);
}

void CContainerElement::OnItemClicked(CListItem* item) {
  if (m_pOwner) m_pOwner->OnItemClicked(item);
}

void CContainerElement::OnItemSelected(CListItem* item) {
  if (!item) {
    m_pCurrent = nullptr;
    SetSelected(FALSE, FALSE);
    return;
  }
  if (m_pCurrent && m_pCurrent != item) DeselectCurrent();
  m_pCurrent = item;
  // Forced, so that the owner above hears of the new path even when the container
  // was selected already.
  SetSelected(TRUE, TRUE);
}

void CContainerElement::OnItemReleased(CListItem* item) {
  if (m_pOwner && item == GetCurrentItem()) m_pOwner->OnItemReleased(item);
}

void CContainerElement::OnItemRemoved(CListItem* item) {
  if (m_pCurrent == item) m_pCurrent = nullptr;
  if (m_pOwner) m_pOwner->OnItemRemoved(item);
}

void CContainerElement::OnItemNotify(CListItem* item, LPARAM value) {
  if (m_pOwner) m_pOwner->OnItemNotify(item, value);
}

BOOL CContainerElement::IsFirstItem(CListItem* item) {
  return m_children.GetSize() > 0 && m_children[0] == item;
}

void CContainerElement::OnItemFolded(CListItem* item, BOOL folded) {
  if (folded && m_pCurrent && IsRecordRowKind(m_pCurrent->GetKind())) DeselectCurrent();
  if (m_pOwner) m_pOwner->OnItemFolded(item, folded);
}

BOOL CContainerElement::AddChild(CListItem* child) {
  if (!child || !m_children.Add(child)) return FALSE;
  child->SetParentItem(this);
  m_nCachedHeight = -1;
  return TRUE;
}

BOOL CContainerElement::InsertChild(int index, CListItem* child) {
  if (!child) return FALSE;
  const int count = m_children.GetSize();
  if (index < 0 || index > count) index = count;
  if (!m_children.InsertAt(index, child)) return FALSE;
  child->SetParentItem(this);
  m_nCachedHeight = -1;
  // A group's header has a larger top margin while it is first.
  if (index == 0 && m_children.GetSize() >= 2)
    if (CContainerElement* former = AsContainer(m_children[1])) former->RelayoutHeader();
  OnItemChanged(child);
  return TRUE;
}

void CContainerElement::RemoveChild(int index) {
  if (index < 0 || index >= m_children.GetSize()) return;
  CListItem* child = m_children[index];
  OnItemRemoved(child);
  if (m_pCurrent == child) m_pCurrent = nullptr;
  m_children.RemoveAt(index);
  delete child;
  m_nCachedHeight = -1;
  if (index == 0 && m_children.GetSize() > 0)
    if (CContainerElement* first = AsContainer(m_children[0])) first->RelayoutHeader();
  // The containers above keep heights that counted the row.
  if (m_pOwner) m_pOwner->OnItemChanged(this);
}

void CContainerElement::BuildPath(CListItem* item, CItemPath& path) {
  path.clear();
  for (CListItem* at = item; at && at != this; at = at->GetParentItem())
    path.insert(path.begin(), ITEM_PATH_STEP{at->GetKind(), at->GetUserData()});
  if (item == this) path.push_back(ITEM_PATH_STEP{GetKind(), GetUserData()});
}

void CContainerElement::SavePosition(CItemPath& current, CItemPath& neighbour) {
  current.clear();
  neighbour.clear();
  if (CListItem* item = GetCurrentItem()) BuildPath(item, current);
  CListItem* next = GetPathHeaderAlt();
  if (!next) next = GetPathHeader();
  if (!next) next = GetNextItem();
  if (!next) next = GetPreviousItem();
  if (next) BuildPath(next, neighbour);
}

BOOL CContainerElement::RestorePosition(const CItemPath& path) {
  if (path.empty()) return FALSE;
  CContainerElement* scope = this;
  if (path.size() >= 2) {
    const ITEM_PATH_STEP& parent = path[path.size() - 2];
    if (CContainerElement* found = AsContainer(FindItem(parent.kind, parent.data))) scope = found;
  }
  const ITEM_PATH_STEP& last = path.back();
  CListItem* item = scope->FindItem(last.kind, last.data);
  if (!item && scope != this) item = FindItem(last.kind, last.data);
  return SelectItem(item);
}
