// CNoteFolderGroup: the Notes tab's folder group header (kind 551). The documents
// folder itself has the empty name and shows the main-folder text, which the new-note
// commands read back as the empty name.
#pragma once
#include "panel/ListGroupHeader.h"

class CNoteFolderGroup : public CListGroupHeader {
 public:
  enum { kKind = 551 };

  CNoteFolderGroup(IListItemOwner* owner, LPCWSTR folder);

  const CString& GetFolder() const { return m_folder; }

 private:
  CString m_folder;
};
