#include "platform/pimstore/PropAnswer.h"

#include <cstring>

HRESULT ReturnProps(const CEPROPID* ids, WORD count, const std::vector<PropAnswer>& answers, ULONG flags,
                    CEPROPVAL** values, ULONG* size, HANDLE heap) {
  if (!ids || !size || !count || answers.size() != count) return E_INVALIDARG;
  ULONG needed = count * sizeof(CEPROPVAL);
  for (WORD i = 0; i < count; ++i)
    if (answers[i].found && TypeFromPropID(ids[i]) == CEVT_LPWSTR)
      needed += static_cast<ULONG>((answers[i].text.size() + 1) * sizeof(wchar_t));
  if (!values) {
    // A size query.
    *size = needed;
    return S_OK;
  }
  if (!*values || *size < needed) {
    if (!(flags & CEDB_ALLOWREALLOC)) {
      *size = needed;
      return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    void* block = heap ? HeapAlloc(heap, 0, needed) : LocalAlloc(LMEM_FIXED, needed);
    if (!block) return E_OUTOFMEMORY;
    *values = static_cast<CEPROPVAL*>(block);
  }
  *size = needed;
  BYTE* cursor = reinterpret_cast<BYTE*>(*values) + count * sizeof(CEPROPVAL);
  for (WORD i = 0; i < count; ++i) {
    CEPROPVAL& v = (*values)[i];
    memset(&v, 0, sizeof v);
    v.propid = ids[i];
    const PropAnswer& a = answers[i];
    if (!a.found) {
      v.wFlags = CEDB_PROPNOTFOUND;
    } else if (TypeFromPropID(ids[i]) == CEVT_LPWSTR) {
      size_t bytes = (a.text.size() + 1) * sizeof(wchar_t);
      memcpy(cursor, a.text.c_str(), bytes);
      v.val.lpwstr = reinterpret_cast<LPWSTR>(cursor);
      cursor += bytes;
    } else {
      v.val.ulVal = a.number;
    }
  }
  return S_OK;
}
