// CGroupHeaderItem: a plain caption row, centred, wrapped on words when it does
// not fit on one line.
#pragma once
#include "controls/ListItem.h"

class CGroupHeaderItem : public CListItem {
 public:
  CGroupHeaderItem(IListItemOwner* owner, LPCWSTR caption);

  // Also keeps the height: the header is as high as its list makes it.
  void SetSize(int width, int contentWidth, int height, BOOL reset) override;
  int GetHeight(int limit) override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  int GetKind() override { return ITEM_KIND_GROUP_HEADER; }

  const CString& GetCaption() const { return m_caption; }

 private:
  CString m_caption;
  int m_nHeight;
};
