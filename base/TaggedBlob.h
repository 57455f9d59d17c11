// CTaggedBlob: an identifier record {data, kind, name} kept in stored settings
// (message store and folder identifiers of the filters). Two forms:
//  text: name with a two-letter length prefix, the kind letter ('M', 'F', 'P'),
//        then the data as a two-letter prefix counting hex digits and the
//        upper-case hex digits. A prefix reads (first - 'A') * 26 + (second - 'A'),
//        0 to 675.
//  bytes: kind letter, size byte, data.
// A record only takes what its text form can carry (a name of at most 675
// characters, at most 337 data bytes, kind 0-2), so every record written comes
// back whole on the next load.
#pragma once

#include "base/BlobObj.h"
#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"

class CTaggedBlob {
public:
  enum { KindM = 0, KindF = 1, KindP = 2 };
  enum : DWORD {
    MaxPrefix = 675,        // ZZ
    MaxName = 675,
    MaxTextData = 337,      // 674 hex digits: the largest even count a prefix holds
    MaxBinaryData = 255,
  };

  CTaggedBlob() = default;
  CTaggedBlob(const CTaggedBlob& other);
  CTaggedBlob& operator=(const CTaggedBlob& other);
  ~CTaggedBlob() { Empty(); }

  DWORD GetSize() const { return m_size; }
  const BYTE* GetData() const { return m_data; }
  int GetKind() const { return m_kind; }
  const CString& GetName() const { return m_name; }

  // Each setter refuses (FALSE, record unchanged) what the text form cannot hold.
  BOOL SetData(const void* data, DWORD size);
  BOOL SetKind(int kind);
  BOOL SetName(LPCWSTR name);
  // No name, no data, kind 'M'.
  void Empty();

  // The text form; empty only for a record that cannot be written.
  CString ToText() const;
  // The kind letter and the length-prefixed hex data.
  CString FormatKindAndHex() const;
  // Reads one record from the start of text. Any failure empties the record and
  // returns FALSE. consumed (optional) gets the characters read.
  BOOL FromText(LPCWSTR text, int* consumed = nullptr);
  // Kind letter and hex data from text; the number of characters read, 0 on failure.
  int ParseKindAndHex(LPCWSTR text);

  // Byte form. With a null buffer only adds the needed size (data size + 2) to
  // remaining; otherwise remaining must hold it, and shrinks by it. *next (when
  // given) gets the position after. FALSE for data over 255 bytes or no room.
  BOOL WriteBinary(BYTE* buffer, DWORD& remaining, BYTE** next = nullptr) const;
  // Reads kind and data (the name is left alone); remaining shrinks. Null, and
  // the record unchanged, for fewer than 2 bytes, a bad kind letter or a size
  // beyond the bytes after the two header bytes.
  const BYTE* ReadBinary(const BYTE* bytes, DWORD& remaining);

private:
  DWORD m_size = 0;
  BYTE* m_data = nullptr;  // LocalAlloc'd
  int m_kind = KindM;
  CString m_name;
};

// The growable array of records; entries are copied in and destroyed on removal.
class CTaggedBlobArray : public CSimpleArray<CTaggedBlob> {
public:
  int GetCount() const { return GetSize(); }
};

// Two-letter prefix and text; FALSE (out unchanged) for a length over 675.
BOOL FormatLengthPrefixedText(CString& out, LPCWSTR text, int length);
// Two-letter prefix counting hex digits and the digits; FALSE over 337 bytes.
BOOL FormatLengthPrefixedHex(CString& out, const BYTE* data, DWORD size);
// The prefix value, or -1 when either letter is not 'A'..'Z' (or text ends).
int ParseLengthPrefix(LPCWSTR text);
// Characters read (prefix included), 0 on failure.
int ParseLengthPrefixedText(LPCWSTR text, CString& out);
int ParseLengthPrefixedHex(LPCWSTR text, CBlobObj& out);

// A 32-bit little-endian kind followed by a UTF-16 text without terminator.
BOOL PackKindText(DWORD kind, LPCWSTR text, CBlobObj& out);
// FALSE for a buffer shorter than 4 bytes; a trailing odd byte is ignored.
BOOL UnpackKindText(const CBlobObj& blob, DWORD& kind, CString& text);
