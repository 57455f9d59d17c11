// The settings file (".dias"): the whole product key with its values and sub-keys,
// written by the export command and read back by the import command, on this device
// or another one.
//
// Every number is a u32, little-endian. A string is a u32 byte count and that many
// bytes of UTF-16LE text without terminator; a byte block is a u32 count and the
// bytes. Layout: u32 0, u32 root key (0x80000002), string key path, u32 2, key block
// (empty name), u32 1. A key block: string name, value records, then per sub-key
// u32 2 and its key block, then u32 3. A value record: u32 4, string name, u32 type
// (1 text, 3 bytes, 4 number) and the data (string, byte block or u32).
//
// The file comes from outside: an import is checked whole before anything is written,
// and only a file of the product key under HKEY_LOCAL_MACHINE is taken.
#pragma once
#include <windows.h>

#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"

// Value names left out of an export, at every depth, compared in upper case.
class CExportExclusions {
 public:
  void AddExportExclusion(LPCWSTR name);
  BOOL IsExportAllowed(LPCWSTR name) const;

 private:
  CSimpleArray<CString> m_names;
};

// Writes root\keyPath to path. FALSE when the key is missing (no file is made), when
// the file cannot be made, or when a value cannot be written faithfully (a type other
// than text, bytes and number, a number that is not 4 bytes, an unreadable value);
// a file that could not be finished is deleted.
BOOL ExportSettings(const CExportExclusions& exclusions, LPCWSTR path, HKEY root, LPCWSTR keyPath);

enum ImportResult {
  kImportDone = 0,
  kImportUnreadable,  // the file cannot be opened or read, or is too large
  kImportMalformed,   // the bytes are not a whole settings file
  kImportForeignKey,  // the file names another root or key: nothing is written
};

// Checks the whole file, then writes its values under the product key. Nothing is
// written unless the whole file is well formed and names the product key.
ImportResult ImportSettingsFile(LPCWSTR path);
inline BOOL ImportSettings(LPCWSTR path) { return ImportSettingsFile(path) == kImportDone; }
// The same over bytes already in memory.
ImportResult ImportSettingsBytes(const BYTE* data, size_t size);

// The message shown when an import or export fails; the product's error texts are
// not translated.
LPCWSTR GetImportErrorText(ImportResult result);
#define SETTINGS_EXPORT_ERROR_TEXT L"Error export settings"
