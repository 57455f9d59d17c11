// One text of a contact record: either a view into the text pool of the load that read
// it (the record holds the pool) or a copy of its own (a text set by the program).
// Reads like a CString; copying it into a CString makes a string of its own. Small, and
// free to make or drop while it is a view, which is what a load makes thousands of. A
// view a load makes does not know its length yet: most texts of a load are never
// measured, so the length is counted when it is first asked for.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/windowlib/String.h"

class CContactText {
 public:
  CContactText() = default;
  ~CContactText() { Release(); }
  CContactText(const CContactText&) = delete;
  CContactText& operator=(const CContactText&) = delete;

  // A copy of the text (empty for null; empty, too, without memory).
  CContactText& operator=(LPCWSTR text) {
    const size_t length = text ? wcslen(text) : 0;
    WCHAR* copy = length > 0 && length < 0x3FFFFFF0
                      ? static_cast<WCHAR*>(std::malloc((length + 1) * sizeof(WCHAR)))
                      : nullptr;
    if (copy) std::memcpy(copy, text, (length + 1) * sizeof(WCHAR));
    Release();
    if (copy) {
      m_text = copy;
      m_length = static_cast<int>(length);
      m_owned = true;
    }
    return *this;
  }
  CContactText& operator=(const CString& text) { return *this = text.GetString(); }
  // A text of the pool that the record holds (length characters, terminated).
  void SetPooled(LPCWSTR text, int length) {
    Release();
    if (text && length > 0) {
      m_text = text;
      m_length = length;
    }
  }
  // A terminated text of the pool that the record holds, its length not counted yet.
  void SetPooled(LPCWSTR text) {
    Release();
    if (text && text[0]) {
      m_text = text;
      m_length = kUnmeasured;
    }
  }
  // Takes other's text: a pooled one as a view (the caller holds other's pool too).
  void CopyFrom(const CContactText& other) {
    if (other.m_owned) {
      *this = other.m_text;
    } else {
      Release();
      m_text = other.m_text;
      m_length = other.m_length;
    }
  }
  void Empty() { Release(); }

  int GetLength() const {
    if (m_length == kUnmeasured) m_length = static_cast<int>(wcslen(m_text));
    return m_length;
  }
  bool IsEmpty() const { return m_text[0] == 0; }
  LPCWSTR GetString() const { return m_text; }
  operator LPCWSTR() const { return m_text; }
  CString ToString() const { return CString(m_text, GetLength()); }
  CString Left(int count) const {
    const int length = GetLength();
    return CString(m_text, count < 0 ? 0 : (count < length ? count : length));
  }

 private:
  void Release() {
    if (m_owned) std::free(const_cast<WCHAR*>(m_text));
    m_text = L"";
    m_length = 0;
    m_owned = false;
  }

  enum { kUnmeasured = -1 };
  LPCWSTR m_text = L"";
  mutable int m_length = 0;
  bool m_owned = false;
};
