// CBlobObj: a byte buffer {size, data} for record blobs, registry binaries and
// message entry identifiers. The data is LocalAlloc'd and owned.
#pragma once

#include <windows.h>

class CBlobObj {
public:
  CBlobObj() = default;
  CBlobObj(const CBlobObj& other) { Assign(other.m_data, other.m_size); }
  CBlobObj& operator=(const CBlobObj& other) {
    if (this != &other) Assign(other.m_data, other.m_size);
    return *this;
  }
  ~CBlobObj() { Free(); }

  // Frees the old data and keeps a copy (empty for null data or count 0).
  // FALSE, and empty, when memory runs out.
  BOOL Assign(const void* data, DWORD count);
  // Frees and allocates count bytes (contents undefined); null for 0 or no memory.
  BYTE* Alloc(DWORD count);
  void Free();

  DWORD GetSize() const { return m_size; }
  BYTE* GetData() const { return m_data; }

private:
  DWORD m_size = 0;
  BYTE* m_data = nullptr;
};
