// CGroupHeaderRow: the general group header (kind 560): a title, a second text (the
// Messages tab puts the account name there) and a tag, with a counter of unread and
// shown rows in the style the e-mail settings choose.
#pragma once
#include "panel/ListGroupHeader.h"

const int ITEM_KIND_GENERAL_HEADER = 560;

class CGroupHeaderRow : public CListGroupHeader {
 public:
  CGroupHeaderRow(IListItemOwner* owner, LPCWSTR title, LPCWSTR secondText, int tag);

  void GetSecondText(CString& out) override { out = m_second; }
  // Style 0 " (unread/shown)", 1 " (unread)", 2 " (shown)", each empty when its numbers
  // are 0; "EmailsOnlyUnreaded" forces style 1, a negative style of its own takes
  // "EmailCounterStyle".
  void GetCountText(CString& out) override;

  int GetTag() const { return m_nValue; }
  void SetUnreadCount(int count) { m_nUnread = count; }
  int GetUnreadCount() const { return m_nUnread; }
  // -1: the view setting.
  void SetCounterStyle(int style) { m_nCounterStyle = style; }

 private:
  int m_nUnread;
  int m_nCounterStyle;
  CString m_second;
};
