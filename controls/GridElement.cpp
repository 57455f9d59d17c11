#include "controls/GridElement.h"

#include "base/ScreenDpi.h"
#include "controls/TextRunList.h"

CGridElement::CGridElement(IListItemOwner* owner) : CContainerElement(owner), m_nCell(ScaleX(38)), m_nColumns(5) {}

void CGridElement::SetSize(int width, int contentWidth, int height, BOOL reset) {
  CListItem::SetSize(width, contentWidth, height, reset);
  m_nCell = ScaleX(38);
  m_nColumns = m_nCell > 0 ? contentWidth / m_nCell : 0;
  if (m_nColumns < 5) m_nColumns = 5;
  for (int i = 0; i < m_children.GetSize(); ++i) m_children[i]->SetSize(m_nCell, m_nCell, m_nCell, reset);
  m_nCachedHeight = -1;
}

int CGridElement::RowHeight(int first) {
  int tallest = 0;
  for (int i = first; i < first + m_nColumns && i < m_children.GetSize(); ++i) {
    const int height = m_children[i]->GetHeight(-1);
    if (height > tallest) tallest = height;
  }
  return tallest;
}

int CGridElement::ComputeHeight(int limit) {
  int sum = TopSpace();
  for (int first = 0; first < m_children.GetSize(); first += m_nColumns) {
    sum += RowHeight(first);
    if (limit >= 0 && sum > limit) break;
  }
  return sum + BottomSpace();
}

CListItem* CGridElement::ChildAtPoint(POINT* point) {
  if (point->x < 0 || point->y < 0) return nullptr;
  const int column = point->x / m_nCell;
  if (column >= m_nColumns) return nullptr;
  for (int first = 0; first < m_children.GetSize(); first += m_nColumns) {
    const int height = RowHeight(first);
    if (point->y < height) {
      const int index = first + column;
      if (index >= m_children.GetSize()) return nullptr;
      point->x -= column * m_nCell;
      return m_children[index];
    }
    point->y -= height;
  }
  return nullptr;
}

void CGridElement::Draw(CTextRunList* context, const POINT* origin) { DrawChildren(context, origin); }

void CGridElement::DrawChildren(CTextRunList* context, const POINT* origin) {
  const RECT& clip = context->GetClip();
  const BOOL clipped = !IsRectEmpty(&clip);
  int y = origin->y + TopSpace();
  for (int first = 0; first < m_children.GetSize(); first += m_nColumns) {
    if (clipped && y >= clip.bottom) break;
    for (int i = first; i < first + m_nColumns && i < m_children.GetSize(); ++i) {
      POINT at = {origin->x + (i - first) * m_nCell, y};
      m_children[i]->Draw(context, &at);
    }
    y += RowHeight(first);
  }
}

BOOL CGridElement::GetItemRect(CListItem* item, const POINT* origin, RECT* out) {
  if (item == this) return CListItem::GetItemRect(item, origin, out);
  int y = origin->y + TopSpace();
  for (int first = 0; first < m_children.GetSize(); first += m_nColumns) {
    for (int i = first; i < first + m_nColumns && i < m_children.GetSize(); ++i) {
      POINT at = {origin->x + (i - first) * m_nCell, y};
      if (m_children[i]->GetItemRect(item, &at, out)) return TRUE;
    }
    y += RowHeight(first);
  }
  return FALSE;
}
