// CRecentFolderList: the folders a message of one account was last moved to, most
// recent first, as the row's move-to submenu offers them. The list lives in the
// process's table of named lists (read on first use, written when the library
// unloads or on Save): a REG_SZ value named after the account under the product's
// "Filters" key, the folders' text forms joined by '|'.
#pragma once
#include <windows.h>

#include "base/SortedStringList.h"
#include "base/TaggedBlob.h"

class CRecentFolderList {
 public:
  // The submenu has room for nine folders: the command after the ninth is the
  // folder chooser's, so a tenth could never be moved to.
  enum { kMaxEntries = 9 };

  // table: where the lists live (null: the process's).
  explicit CRecentFolderList(CSortedStringList* table = nullptr);

  // The account's list; FALSE only when it cannot be had (out of memory).
  BOOL Load(LPCWSTR account);
  BOOL Save();
  // Equal folders (same kind and identifier bytes) go, the folder comes first and
  // the list is cut to kMaxEntries.
  BOOL InsertFront(const CTaggedBlob& folder);
  // FALSE (out untouched) outside 0..GetCount()-1.
  BOOL GetAt(int index, CTaggedBlob& out) const;
  // Entries offered: at most kMaxEntries, also of a longer list another program wrote.
  int GetCount() const;
  // The offered entries as (name, position) pairs sorted by name without regard to
  // case; the count.
  int GetSorted(CSimpleArray<CNameIndex>& out) const;

 private:
  CSortedStringList* m_table;
  CTaggedBlobList* m_list = nullptr;
};
