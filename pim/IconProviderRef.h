// What the panel and the lists call to reach the process's picture store
// (CIconProviders::Instance()).
#pragma once
#include <windows.h>

#include "pim/IconProvider.h"

class CIconProviderRef {
 public:
  // Keeps the window that receives the store's notifications and runs Reset.
  static BOOL SetOwnerAndReset(HWND owner, int pimChoice);
  // Replaces the store by the one for the PIM choice (and the process's store
  // generation) and opens it. A store that cannot open gives way to the empty store
  // (FALSE); without memory there is no store at all (FALSE). changed, when given, says
  // whether the store's kind differs from the old one's.
  static BOOL Reset(int pimChoice, BOOL* changed = nullptr);
  // Destroys the store, forgets the listeners and the owner.
  static void Clear();
  // The path of the item's picture, or empty.
  static CString GetIconName(CEOID objectId);
  static BOOL SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
                      IIconProviderListener* listener);
  // TRUE when the current store can keep pictures.
  static BOOL GetStoreState();
};
