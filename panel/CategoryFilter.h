// CCategoryFilter: the category filter of a list tab, a small value with a name. Stored
// as text "name ;[N](&||)(+|-)cat, cat": N when items without a category are spoken of,
// & for all of the categories or | for any, - to exclude or + to include, then the
// category names in record order. "All items" is never stored; it is the absence of a
// choice.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "pim/CategoryFilter.h"
#include "platform/windowlib/String.h"

class CCategoriesList;

class CCategoryFilter : public ICategoryFilter {
 public:
  // Not all items, named with the default filter name, no categories, flags 0.
  CCategoryFilter();
  CCategoryFilter(const CCategoryFilter&) = default;
  CCategoryFilter& operator=(const CCategoryFilter&) = default;
  ~CCategoryFilter() = default;

  // Resets every field (the name too) and reads the stored text form. Category names
  // the list does not know are dropped. Never fails: a text that does not parse leaves
  // what was read so far.
  void Parse(LPCWSTR text, const CCategoriesList* list);
  void Parse(LPCWSTR text);
  CString Format(const CCategoriesList* list) const;
  CString Format() const;

  // Against the device's categories (the current categories list).
  BOOL Matches(const CBitSet& categories) const override;
  // With categoryCount the number of categories of the device.
  BOOL Matches(const CBitSet& categories, int categoryCount) const;
  BOOL Equals(const CCategoryFilter& other, int categoryCount) const;
  int GetSingleCategory() const override;
  BOOL IsUnrestricted() const;
  // Whether the edit dialog may store it.
  BOOL IsValid(int categoryCount) const;
  // A name the stored text form keeps: not empty and without ";" (the text form ends
  // the name at the first ";", so such a name would come back empty and the filter be
  // lost).
  static BOOL IsStorableName(LPCWSTR name);

  static int DeviceCategoryCount();

  BOOL all;
  CString name;
  CBitSet categories;
  BOOL noCategory;
  BOOL exclude;
  BOOL matchAll;

 private:
  BOOL NamesAny() const { return categories.FindNext(0) >= 0; }
};
