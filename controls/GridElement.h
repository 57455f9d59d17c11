// CGridElement: equally sized children in rows of square cells, sx(38) wide, at
// least five to a row.
#pragma once
#include "controls/ContainerElement.h"

class CGridElement : public CContainerElement {
 public:
  explicit CGridElement(IListItemOwner* owner);

  BOOL GetItemRect(CListItem* item, const POINT* origin, RECT* out) override;
  // Every child gets the cell size.
  void SetSize(int width, int contentWidth, int height, BOOL reset) override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  int GetKind() override { return ITEM_KIND_GRID; }

  int GetCellSize() const { return m_nCell; }
  int GetColumnCount() const { return m_nColumns; }

 protected:
  // Top space, each row as high as its tallest child, bottom space.
  int ComputeHeight(int limit) override;
  CListItem* ChildAtPoint(POINT* point) override;
  void DrawChildren(CTextRunList* context, const POINT* origin) override;

 private:
  int RowHeight(int first);

  int m_nCell;
  int m_nColumns;
};
