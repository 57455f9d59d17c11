#include "base/BitSet.h"

#include <new>
#include <string.h>

DWORD CBitSet::GetWord(int w) const {
  if (w == 0) return m_first & ~1u;
  if (IsOnHeap()) return w <= Heap()[0] ? static_cast<DWORD>(Heap()[w]) : 0;
  return w == 1 ? static_cast<DWORD>(m_second) : 0;
}

BOOL CBitSet::Set(int index) {
  if (index < 0 || index > MaxIndex) return FALSE;
  int bit = (index + 1) % 32;
  int word = (index + 1) / 32;
  DWORD mask = 1u << bit;
  if (word == 0) {
    m_first |= mask;
    return TRUE;
  }
  if (!IsOnHeap() && word == 1) {
    m_second |= mask;
    return TRUE;
  }
  if (!Grow(word)) return FALSE;
  Heap()[word] = static_cast<INT32>(static_cast<DWORD>(Heap()[word]) | mask);
  return TRUE;
}

int CBitSet::Test(int index) const {
  if (index < 0) return NotSet;
  int word = (index + 1) / 32;
  if (word >= GetWordCount()) return BeyondStorage;
  return (GetWord(word) >> ((index + 1) % 32)) & 1 ? IsSet : NotSet;
}

int CBitSet::FindNext(int start) const {
  for (int i = start < 0 ? 0 : start; i <= MaxIndex; ++i) {
    int t = Test(i);
    if (t == BeyondStorage) return -1;
    if (t == IsSet) return i;
  }
  return -1;
}

BOOL CBitSet::Grow(int words) {
  int stored = IsOnHeap() ? Heap()[0] : 1;
  if (words < 2 || words <= stored) return TRUE;
  INT32* heap = new (std::nothrow) INT32[words + 1];
  if (!heap) return FALSE;
  memset(heap, 0, sizeof(INT32) * (words + 1));
  heap[0] = words;
  if (IsOnHeap()) {
    memcpy(heap + 1, Heap() + 1, sizeof(INT32) * stored);
    delete[] Heap();
  } else {
    heap[1] = static_cast<INT32>(static_cast<DWORD>(m_second));
  }
  m_second = reinterpret_cast<UINT_PTR>(heap);
  m_first |= 1;
  return TRUE;
}

BOOL CBitSet::CopyFrom(const CBitSet& other) {
  if (this == &other) return TRUE;
  Clear();
  if (!other.IsOnHeap()) {
    m_first = other.m_first;
    m_second = other.m_second;
    return TRUE;
  }
  int n = other.Heap()[0];
  INT32* heap = new (std::nothrow) INT32[n + 1];
  if (!heap) return FALSE;
  memcpy(heap, other.Heap(), sizeof(INT32) * (n + 1));
  m_first = other.m_first;
  m_second = reinterpret_cast<UINT_PTR>(heap);
  return TRUE;
}

void CBitSet::Clear() {
  if (IsOnHeap()) delete[] Heap();
  m_first = 0;
  m_second = 0;
}
