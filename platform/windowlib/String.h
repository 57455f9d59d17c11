// CString: the reference-counted UTF-16 text value every window, dialog and
// list of the system passes around. Copies share one buffer until one of them
// is written to; the counts are interlocked so copies may cross threads.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <stdarg.h>
#include <wchar.h>

class CString {
public:
  CString();
  CString(const CString& src);
  CString(CString&& src) noexcept;
  CString(LPCWSTR text);             // null gives the empty text
  CString(LPCWSTR text, int length); // exactly length characters (embedded zeros kept)
  CString(LPCSTR text);              // converted from the system code page (CP_ACP)
  explicit CString(WCHAR ch, int repeat = 1);
  ~CString();

  // A BSTR may hold zeros; its own length counts, not the first terminator.
  static CString FromBSTR(BSTR text);
  BSTR AllocSysString() const;

  CString& operator=(const CString& src);
  CString& operator=(CString&& src) noexcept;
  CString& operator=(LPCWSTR text);
  CString& operator=(LPCSTR text);
  CString& operator=(WCHAR ch);

  CString& operator+=(const CString& text);
  CString& operator+=(LPCWSTR text);
  CString& operator+=(WCHAR ch);
  void Append(LPCWSTR text, int length);

  int GetLength() const { return Header()->length; }
  bool IsEmpty() const { return GetLength() == 0; }
  void Empty();
  operator LPCWSTR() const { return m_text; }
  LPCWSTR GetString() const { return m_text; }
  WCHAR GetAt(int index) const { return m_text[index]; }
  WCHAR operator[](int index) const { return m_text[index]; }
  void SetAt(int index, WCHAR ch);

  // Direct writing: GetBuffer makes the buffer this string's own and at least
  // minLength characters long; ReleaseBuffer(-1) takes the length up to the
  // first zero. Both return null / do nothing when memory runs out.
  LPWSTR GetBuffer(int minLength = 0);
  LPWSTR GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  int Compare(LPCWSTR text) const;       // ordinal, case-sensitive
  int CompareNoCase(LPCWSTR text) const; // ordinal, ignoring case

  // Find(text, start): -1 when start < 0, start > length, or absent.
  // Find(ch, start) and FindChar: -1 when start < 0, start >= length, or absent.
  int Find(LPCWSTR text, int start = 0) const;
  int Find(WCHAR ch, int start = 0) const;
  int FindChar(WCHAR ch, int start = 0) const { return Find(ch, start); }
  int ReverseFind(WCHAR ch) const;
  int FindOneOf(LPCWSTR chars) const;

  // Delete: a negative index counts as 0; nothing when count < 1 or index >=
  // length; count is cut at the end. Insert clamps the index to 0..length.
  // Both return the new length; Insert gives -1 when memory runs out.
  int Delete(int index, int count = 1);
  int Insert(int index, WCHAR ch);
  int Insert(int index, LPCWSTR text);
  // Replace every occurrence; an empty or null old text replaces nothing,
  // a null new text counts as empty. Results are the numbers replaced/removed.
  int Replace(WCHAR oldCh, WCHAR newCh);
  int Replace(LPCWSTR oldText, LPCWSTR newText);
  int Remove(WCHAR ch);

  // Out-of-range arguments are clamped to the text.
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim(WCHAR ch);
  CString& TrimLeft(WCHAR ch);
  CString& TrimRight(WCHAR ch);
  CString& TrimLeft(LPCWSTR chars);
  CString& TrimRight(LPCWSTR chars);

  // Wide printf: %s and %c take wide text, %hs narrow. False (text left
  // unchanged) on a bad format or when memory runs out.
  BOOL Format(LPCWSTR format, ...);
  BOOL FormatV(LPCWSTR format, va_list args);
  BOOL AppendFormat(LPCWSTR format, ...);

  // The text with this identifier from the module object's resource instance
  // (the loaded resource library when one is set). False and empty when absent.
  BOOL LoadString(UINT id);
  BOOL LoadString(HINSTANCE instance, UINT id);

private:
  struct Data {
    volatile LONG refs; // -1: the shared empty text, never freed
    int length;
    int capacity;       // characters, not counting the terminator
    WCHAR* Text() { return reinterpret_cast<WCHAR*>(this + 1); }
  };
  static Data* Nil();
  static Data* Allocate(int capacity);
  static void ReleaseData(Data* data);
  Data* Header() const { return reinterpret_cast<Data*>(const_cast<WCHAR*>(m_text)) - 1; }
  void Attach(Data* data) { m_text = data->Text(); }
  bool Assign(LPCWSTR text, int length);
  // Makes the buffer unshared with room for capacity characters; keeps the text.
  bool Prepare(int capacity);
  void SetLength(int length);

  WCHAR* m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCWSTR b);
CString operator+(LPCWSTR a, const CString& b);
CString operator+(const CString& a, WCHAR b);
CString operator+(WCHAR a, const CString& b);

inline bool operator==(const CString& a, const CString& b) {
  return a.GetLength() == b.GetLength() && wmemcmp(a, b, a.GetLength()) == 0;
}
inline bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCWSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, LPCWSTR b) { return !(a == b); }
inline bool operator!=(LPCWSTR a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, LPCWSTR b) { return a.Compare(b) < 0; }
inline bool operator>(const CString& a, LPCWSTR b) { return a.Compare(b) > 0; }
inline bool operator<=(const CString& a, LPCWSTR b) { return a.Compare(b) <= 0; }
inline bool operator>=(const CString& a, LPCWSTR b) { return a.Compare(b) >= 0; }
