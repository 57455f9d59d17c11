// CTextGroupHeader: a group header titled by a text (kind 558): the Contacts tab's
// letter and company groups. An empty text shows the "no name" title; the text itself
// is kept for a new contact made from the group's menu.
#pragma once
#include "panel/ListGroupHeader.h"

const int ITEM_KIND_TEXT_HEADER = 558;

class CTextGroupHeader : public CListGroupHeader {
 public:
  CTextGroupHeader(IListItemOwner* owner, LPCWSTR text);

  const CString& GetText() const { return m_text; }

 private:
  CString m_text;
};
