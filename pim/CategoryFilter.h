// ICategoryFilter: the least a list's walk needs of a tab's category filter: whether an
// item with these categories (indices in the categories list) passes. The tabs' filter
// values implement it above; the walks below take it without owning it.
#pragma once
#include <windows.h>

#include "base/BitSet.h"

class ICategoryFilter {
 public:
  virtual BOOL Matches(const CBitSet& categories) const = 0;

 protected:
  ~ICategoryFilter() = default;
};
