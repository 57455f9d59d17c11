// The answer of a GetProps call: one CEPROPVAL per property asked, in the caller's
// buffer when it is large enough, in a new one when the caller allows it
// (CEDB_ALLOWREALLOC), else only the size needed (an error); no buffer pointer at all
// is a size query. Texts follow the values.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/coredll/cedb.h"

struct PropAnswer {
  bool found = false;
  std::wstring text;  // CEVT_LPWSTR properties
  ULONG number = 0;   // the others
};

HRESULT ReturnProps(const CEPROPID* ids, WORD count, const std::vector<PropAnswer>& answers, ULONG flags,
                    CEPROPVAL** values, ULONG* size, HANDLE heap);
