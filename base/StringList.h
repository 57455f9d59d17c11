// Arrays of texts: the growable list with most-recent-first helpers, and the
// fixed vector of texts allocated in one piece. Texts compare case-sensitively.
#pragma once

#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"

// Appending doubles the capacity (from 1); a copy takes the source's capacity.
class CStringList : public CSimpleArray<CString> {
public:
  int GetCount() const { return GetSize(); }
  const CString& GetAt(int index) const { return (*this)[index]; }
};

using CStringArray = CStringList;

// Index of the first entry equal to text, or -1.
int FindText(const CStringList& list, LPCWSTR text);
// Removes every entry equal to text; returns how many went.
int RemoveAllEqual(CStringList& list, LPCWSTR text);
// Removes every equal entry, then puts text first (no limit).
BOOL InsertMostRecent(CStringList& list, LPCWSTR text);
// Empties target and copies the first min(n, count) entries of source.
void CopyFirstEntries(const CStringList& source, CStringList& target, int n);

// n empty texts made and freed together.
class CStringVector {
public:
  explicit CStringVector(int count);
  ~CStringVector() { delete[] m_items; }
  CStringVector(const CStringVector&) = delete;
  CStringVector& operator=(const CStringVector&) = delete;

  // 0 when the texts could not be allocated.
  int GetCount() const { return m_items ? m_count : 0; }
  CString& operator[](int index) { return m_items[index]; }
  const CString& operator[](int index) const { return m_items[index]; }

private:
  CString* m_items;
  int m_count;
};

// Empties fields, then appends every field of text between separators, empty fields
// included. A text without the separator is one field; an empty text gives none.
void SplitString(LPCWSTR text, WCHAR separator, CStringList& fields);
// The first field, then separator and field for each further one.
CString JoinStrings(const CStringList& fields, WCHAR separator);

// Appends '\' to a non-empty path that does not end in one.
void AddBackslash(CString& path);
