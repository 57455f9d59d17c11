#include "base/StringMap.h"

UINT32 HashText(LPCWSTR text, int length) {
  UINT32 h = 0;
  for (int i = 0; text && i < length; ++i) h = static_cast<UINT32>(text[i]) * 37u + h * 5u;
  return h;
}

UINT32 HashText(LPCWSTR text) {
  UINT32 h = 0;
  for (; text && *text; ++text) h = static_cast<UINT32>(*text) * 37u + h * 5u;
  return h;
}

const CString& CTextSet::GetNext(int& position) const {
  static const CString empty;
  int slot = NextUsed(position - 1);
  if (position <= 0 || slot < 0) {
    position = 0;
    return empty;
  }
  position = NextUsed(slot + 1) + 1;
  return SlotAt(m_groups, slot)->key;
}
