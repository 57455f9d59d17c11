#include "base/BlobObj.h"

#include <string.h>

void CBlobObj::Free() {
  if (m_data) LocalFree(m_data);
  m_data = nullptr;
  m_size = 0;
}

BYTE* CBlobObj::Alloc(DWORD count) {
  Free();
  if (count == 0) return nullptr;
  m_data = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, count));
  if (m_data) m_size = count;
  return m_data;
}

BOOL CBlobObj::Assign(const void* data, DWORD count) {
  if (data == m_data && count == m_size) return TRUE;
  if (!data || count == 0) {
    Free();
    return TRUE;
  }
  BYTE* copy = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, count));
  if (copy) memcpy(copy, data, count);
  Free();
  if (!copy) return FALSE;
  m_data = copy;
  m_size = count;
  return TRUE;
}
