// The texts of one load of the contacts list, kept in a few large blocks instead of a
// heap string per field: a load of thousands of contacts then copies its texts
// without an allocation each. Every contact read in that load holds a reference, so
// the texts live as long as the last contact that points into them.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "base/RefObject.h"

class CContactTextPool : public CRefObject {
 public:
  // A counted pool with one reference; null without memory.
  static CContactTextPool* Create();

  // A terminated copy of length characters of text (kept until the pool goes); null
  // without memory.
  LPCWSTR Add(LPCWSTR text, int length);

 private:
  CContactTextPool() = default;
  enum { kBlockChars = 32 * 1024 };
  std::vector<std::unique_ptr<WCHAR[]>> m_blocks;
  int m_used = kBlockChars;
  int m_size = kBlockChars;
};
