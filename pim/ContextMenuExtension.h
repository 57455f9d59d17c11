// Host of one shell context-menu extension registered for a Pocket Outlook program:
// the extension is created by its class identifier, told the item through its site
// (an item-reference data object), adds its menu items and runs the chosen one.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <shlobj.h>

#include "pim/ItemRefDataObject.h"

class CContextMenuExtension {
 public:
  CContextMenuExtension();
  ~CContextMenuExtension();
  CContextMenuExtension(const CContextMenuExtension&) = delete;
  CContextMenuExtension& operator=(const CContextMenuExtension&) = delete;

  // Creates the extension of that class identifier ("{...}"); FALSE when the text is
  // no identifier or the object lacks the site or menu interfaces.
  BOOL Create(LPCWSTR classId);
  // Tells the extension the item; TRUE when it takes it.
  BOOL Serves(DWORD oid);
  // Lets it add its items at position with ids first..last; how many it added.
  UINT AddItems(HMENU menu, UINT position, UINT firstId, UINT lastId);
  // Runs the item offset (from the first id) with the owner window; TRUE on success.
  BOOL Run(UINT offset, HWND owner);
  // Takes the site back and lets the extension go.
  void Release();
  BOOL IsCreated() const { return m_menu != nullptr; }

 private:
  IObjectWithSite* m_site;
  IContextMenu* m_menu;
  CItemRefDataObject m_item;
};
