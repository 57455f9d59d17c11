// CBitSet: the set of category indices (0 to 1000) every PIM record carries.
// Two words inline: the first holds the storage flag (bit 0) and indices 0-30;
// the second holds indices 31-62, or, with the flag set, points to a heap
// array of 32-bit words (element 0 = n, elements 1..n = words 1..n). Index i
// is bit (i + 1) % 32 of word (i + 1) / 32; word 0 always stays inline. The
// second word is pointer-sized so the heap pointer fits on 64-bit builds; as an
// inline word only its low 32 bits are used.
#pragma once

#include <windows.h>

class CBitSet {
public:
  enum { MaxIndex = 1000 };
  enum TestResult { NotSet = 0, IsSet = 1, BeyondStorage = 2 };

  CBitSet() = default;
  CBitSet(const CBitSet& other) { CopyFrom(other); }
  CBitSet& operator=(const CBitSet& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  ~CBitSet() { Clear(); }

  // Indices outside 0..1000 are ignored; FALSE also when memory runs out.
  BOOL Set(int index);
  // NotSet, IsSet, or BeyondStorage when the index's word is not stored.
  int Test(int index) const;
  // First set index >= start, or -1 once the walk passes the stored words.
  int FindNext(int start) const;
  // Moves the words to a heap array holding words 1..words (nothing below 2
  // or when they are already stored). FALSE when memory runs out; the set is then unchanged.
  BOOL Grow(int words);
  // A copy with its own heap array; FALSE (and this set empty) when memory runs out.
  BOOL CopyFrom(const CBitSet& other);
  void Clear();

  bool IsOnHeap() const { return (m_first & 1) != 0; }
  // Words stored, word 0 included (2 inline).
  int GetWordCount() const { return IsOnHeap() ? Heap()[0] + 1 : 2; }
  // Word w (0 for words not stored).
  DWORD GetWord(int w) const;

private:
  INT32* Heap() const { return reinterpret_cast<INT32*>(m_second); }

  DWORD m_first = 0;
  UINT_PTR m_second = 0;
};
