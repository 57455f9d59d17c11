// ICategoryChoices: what the category picker needs of the device's categories (the
// categories list and their icons, which the PIM layer keeps). The program installs
// one at start (SetCategoryChoices); without one the picker lists nothing.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "graphics/KeyedBitmap.h"
#include "platform/windowlib/String.h"

class ICategoryChoices {
 public:
  // Categories in display order (deleted ones left out), by record number.
  virtual int GetDisplayCount() = 0;
  virtual int GetDisplayAt(int position) = 0;
  virtual CString GetName(int index) = 0;
  // The category's icon, or null.
  virtual CKeyedBitmap* GetIcon(int index) = 0;
  // The largest icon's size.
  virtual SIZE GetIconSize() = 0;
  // The names of a set as the categories list writes them.
  virtual CString BuildNamesText(const CBitSet& set) = 0;

 protected:
  ~ICategoryChoices() = default;
};

void SetCategoryChoices(ICategoryChoices* choices);
ICategoryChoices* GetCategoryChoices();
