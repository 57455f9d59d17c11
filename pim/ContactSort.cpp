#include "pim/ContactSort.h"

namespace {

bool CountsAsPhoto(const CONTACT_SORT_ENTRY* entry) {
  return !entry->flag && entry->contact && entry->contact->HasPhoto();
}

int ComparePhotos(const CONTACT_SORT_ENTRY* a, const CONTACT_SORT_ENTRY* b) {
  if (!a->mode) return 0;
  bool first = CountsAsPhoto(a), second = CountsAsPhoto(b);
  if (first == second) return 0;
  return first ? -1 : 1;
}

LPCWSTR Name(const CONTACT_SORT_ENTRY* entry) {
  LPCWSTR text = entry->contact ? entry->contact->GetDisplayName() : nullptr;
  return text ? text : L"";
}

LPCWSTR SortText(const CONTACT_SORT_ENTRY* entry) {
  LPCWSTR text = entry->contact ? entry->contact->GetSortText() : nullptr;
  return text ? text : L"";
}

// The locale's order as negative, 0 or positive; a failed comparison is no order.
int CompareTexts(DWORD flags, LPCWSTR a, LPCWSTR b) {
  int result = CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
  return result ? result - CSTR_EQUAL : 0;
}

}  // namespace

int CompareContactsByName(const CONTACT_SORT_ENTRY* a, const CONTACT_SORT_ENTRY* b) {
  int photos = ComparePhotos(a, b);
  if (photos) return photos;
  return CompareTexts(NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, Name(a), Name(b));
}

int CompareContactsByText(const CONTACT_SORT_ENTRY* a, const CONTACT_SORT_ENTRY* b) {
  int texts = CompareTexts(NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, SortText(a), SortText(b));
  if (texts) return texts;
  return ComparePhotos(a, b);
}
