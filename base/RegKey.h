// The one way the programs read and write their settings. A key object lives on
// the stack for one pass of reads or writes. Reading a setting always names its
// default, and the reads used for settings write that default back when the value
// is missing, so after the first run every setting ever read is in the registry
// for the options program to find.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// The product's settings key under HKEY_LOCAL_MACHINE.
#define TARVO_PRODUCT_KEY L"\\Software\\Korvel\\Qel Tarvo"

// True when text is a readable text: non-null, its first character readable and
// the character at min(maxLength, its length) readable. maxLength -1 checks up to
// the terminator.
BOOL IsValidStringPtr(LPCWSTR text, int maxLength = -1);

class CRegKey {
 public:
  // A default that is returned without being written back.
  static const DWORD kNoWriteBack = 0xDEF0;

  // create: RegCreateKeyExW (the key is made when missing), else RegOpenKeyExW.
  // When opening fails the handle is null and every operation fails.
  CRegKey(HKEY root, LPCWSTR path, BOOL create = TRUE, BOOL flushOnClose = TRUE, DWORD access = 0);
  virtual ~CRegKey();

  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;

  // The options program flushes a key whose creation failed, as though it had
  // been written to; the libraries do not. Set once at program start.
  static void SetFlushAfterFailedCreate(BOOL flush);

  HKEY GetHandle() const { return m_key; }
  BOOL IsOpen() const { return m_key != nullptr; }
  DWORD GetDisposition() const { return m_disposition; }
  // Whether closing flushes: the constructor asked for it and something was written.
  BOOL WillFlushOnClose() const { return m_flushOnClose && m_written; }

  // Settings reads: a missing value is written back with its default (the
  // write-back does not count as a write), except for the default kNoWriteBack.
  // Whatever the stored type, a value of at most 4 bytes is returned as its bytes.
  DWORD GetDWORD(LPCWSTR name, DWORD defaultValue);
  // A missing value is written back through SetString when the default is a
  // valid text; with no valid default the empty text comes back.
  CString GetString(LPCWSTR name, LPCWSTR defaultValue);

  // Plain reads: never write. 0 or the empty text when the value cannot be read.
  DWORD QueryDWORD(LPCWSTR name);
  CString QueryString(LPCWSTR name);
  // Raw read of any type; size in bytes in and out.
  BOOL QueryValue(LPCWSTR name, void* buffer, DWORD* size);
  BOOL ValueExists(LPCWSTR name);
  BOOL SubKeyExists(LPCWSTR name);

  BOOL SetDWORD(LPCWSTR name, DWORD value);
  BOOL SetString(LPCWSTR name, LPCWSTR text);
  BOOL SetBinary(LPCWSTR name, const void* data, DWORD size);

  // First, then Next while TRUE. At the end the name is emptied and FALSE returned.
  BOOL EnumFirstSubKey(CString& name);
  BOOL EnumNextSubKey(CString& name);
  BOOL EnumFirstValue(CString& name);
  BOOL EnumNextValue(CString& name);

 private:
  BOOL ReadText(LPCWSTR name, CString& text);
  // The sub-key or value name at the enumeration index.
  BOOL Enum(CString& name, BOOL values);

  HKEY m_key;
  DWORD m_disposition;
  DWORD m_enumIndex;
  BOOL m_flushOnClose;
  BOOL m_written;
  // Sub-key tests open with this access; the device has no key security.
  DWORD m_access;
};
