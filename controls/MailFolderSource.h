// What the tree chooser needs from the mail folder tree of the Messages tab: it
// fills a tree view and tells what each item stands for. The tab gives the real
// one; tests give their own.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "base/BlobObj.h"
#include "platform/windowlib/String.h"

struct MAIL_FOLDER_NODE {
  CString name;         // as shown
  CBlobObj folderId;    // the folder's identifier bytes
  DWORD storeKind = 0;  // for a store (an account)
  BOOL isStore = FALSE;
  BOOL selectable = FALSE;
};

class IMailFolderSource {
 public:
  virtual ~IMailFolderSource() = default;
  // Fills the tree view; FALSE when only part (or nothing) could be read.
  virtual BOOL Fill(HWND tree) = 0;
  // The node of an item; null for none.
  virtual const MAIL_FOLDER_NODE* GetItemData(HTREEITEM item) = 0;
};
