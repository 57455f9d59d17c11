#include "panel/CategoryFilter.h"

#include "base/Translator.h"
#include "pim/CategoriesList.h"
#include "res/TarvoResIds.h"

CCategoryFilter::CCategoryFilter() : all(FALSE), noCategory(FALSE), exclude(FALSE), matchAll(FALSE) {
  LoadTranslatedString(name, IDS_FILTER_DEFAULT_NAME);
}

void CCategoryFilter::Parse(LPCWSTR text, const CCategoriesList* list) {
  all = FALSE;
  name = L"";
  categories.Clear();
  noCategory = FALSE;
  exclude = FALSE;
  matchAll = FALSE;
  if (!text) return;
  const WCHAR* semicolon = wcschr(text, L';');
  if (!semicolon || semicolon == text) return;
  // The blank before the ";" belongs to the separator.
  name = CString(text, static_cast<int>(semicolon - text) - 1);
  const WCHAR* rest = semicolon + 1;
  if (!rest[0] || !rest[1]) return;
  if (*rest == L'N') {
    noCategory = TRUE;
    ++rest;
  }
  if (*rest == L'&')
    matchAll = TRUE;
  else if (*rest != L'|')
    return;
  ++rest;
  if (*rest == L'-')
    exclude = TRUE;
  else if (*rest != L'+')
    return;
  ++rest;
  if (list) list->ParseCategories(rest, categories);
}

void CCategoryFilter::Parse(LPCWSTR text) { Parse(text, CCategoriesList::GetCurrent()); }

CString CCategoryFilter::Format(const CCategoriesList* list) const {
  CString text = name;
  text += L" ;";
  if (noCategory) text += L'N';
  text += matchAll ? L'&' : L'|';
  text += exclude ? L'-' : L'+';
  if (list) text += list->BuildNamesText(categories);
  return text;
}

CString CCategoryFilter::Format() const { return Format(CCategoriesList::GetCurrent()); }

int CCategoryFilter::DeviceCategoryCount() {
  const CCategoriesList* list = CCategoriesList::GetCurrent();
  return list ? list->GetCount() : 0;
}

BOOL CCategoryFilter::Matches(const CBitSet& item) const { return Matches(item, DeviceCategoryCount()); }

BOOL CCategoryFilter::Matches(const CBitSet& item, int count) const {
  if (all) return TRUE;
  const BOOL itemHasAny = item.FindNext(0) >= 0;
  if (!matchAll) {
    if (count <= 0 || !itemHasAny) return exclude ? !noCategory : noCategory;
    BOOL hit = FALSE;
    for (int c = categories.FindNext(0); c >= 0 && !hit; c = categories.FindNext(c + 1))
      hit = item.Test(c) == CBitSet::IsSet;
    return exclude ? !hit : hit;
  }
  if (noCategory) return FALSE;
  if (count <= 0) return !exclude;
  BOOL hasEvery = TRUE;
  for (int c = categories.FindNext(0); c >= 0 && hasEvery; c = categories.FindNext(c + 1))
    hasEvery = item.Test(c) == CBitSet::IsSet;
  return exclude ? !hasEvery : hasEvery;
}

BOOL CCategoryFilter::Equals(const CCategoryFilter& other, int count) const {
  if (all || other.all) return all && other.all;
  if (!noCategory != !other.noCategory || !exclude != !other.exclude || !matchAll != !other.matchAll) return FALSE;
  for (int c = 0; c < count; ++c)
    if ((categories.Test(c) == CBitSet::IsSet) != (other.categories.Test(c) == CBitSet::IsSet)) return FALSE;
  return TRUE;
}

int CCategoryFilter::GetSingleCategory() const {
  if (all || exclude || noCategory) return -1;
  const int first = categories.FindNext(0);
  if (first < 0 || categories.FindNext(first + 1) >= 0) return -1;
  return first;
}

BOOL CCategoryFilter::IsUnrestricted() const { return all || !NamesAny(); }

BOOL CCategoryFilter::IsStorableName(LPCWSTR text) { return text && *text && !wcschr(text, L';'); }

BOOL CCategoryFilter::IsValid(int count) const {
  const BOOL named = NamesAny();
  if (!named && !noCategory && !all) return FALSE;
  if (matchAll && exclude) return FALSE;
  if (named && noCategory && matchAll) return FALSE;
  if (!IsStorableName(name)) return FALSE;
  if (all && noCategory) {
    BOOL every = TRUE;
    for (int c = 0; c < count && every; ++c) every = categories.Test(c) == CBitSet::IsSet;
    if (every) return FALSE;
  }
  return TRUE;
}
