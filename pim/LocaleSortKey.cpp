#include "pim/LocaleSortKey.h"

#include <cstring>

void MakeLocaleSortKey(LPCWSTR text, int length, DWORD flags, std::vector<BYTE>* key) {
  if (!key) return;
  const DWORD how = LCMAP_SORTKEY | flags;
  int need = text && length != 0 ? LCMapStringW(LOCALE_USER_DEFAULT, how, text, length, nullptr, 0) : 0;
  key->assign(need > 0 ? need + 1 : 1, 0);
  if (need > 0 &&
      LCMapStringW(LOCALE_USER_DEFAULT, how, text, length, reinterpret_cast<LPWSTR>(key->data()), need) <= 0)
    key->assign(1, 0);
}

int CompareLocaleSortKeys(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
  int c = std::strcmp(reinterpret_cast<const char*>(a.data()), reinterpret_cast<const char*>(b.data()));
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
