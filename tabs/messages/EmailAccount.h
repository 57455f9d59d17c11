// One mail folder filter: its name and the folders it shows, each a tagged blob (kind
// 'M' a messaging folder's entry id, 'F' a WebIS Mail folder as the packed folder
// number and account name, 'P' kept as read) with the folder's name. The options
// program edits these records, the Messages tab and the Calendar's e-mail group show
// them, and the e-mail list walks their folders.
#pragma once
#include <windows.h>

#include "base/TaggedBlob.h"
#include "platform/windowlib/String.h"

struct EMAIL_ACCOUNT {
  CString name;
  CTaggedBlobArray folders;

  // Two folders are the same when kind, length and bytes of their identifiers are.
  static BOOL SameFolder(const CTaggedBlob& a, const CTaggedBlob& b);
  // Index of the folder with that identifier, -1 when absent.
  int FindFolder(const CTaggedBlob& folder) const;
  // A folder that is there takes the new name; a new one is appended. Its index.
  int AddFolder(const CTaggedBlob& folder);
  void Clear() { folders.RemoveAll(); }
};

// A folder record of kind 'M' (or 'P') from the identifier's bytes; FALSE when the
// record cannot hold them (over 337 bytes, a name over 675 characters).
BOOL MakeMailFolder(int kind, const BYTE* id, DWORD size, LPCWSTR name, CTaggedBlob& folder);
// A WebIS Mail folder: the folder number (32-bit little-endian), then the account
// key in UTF-16LE without terminator.
BOOL MakeWebISFolder(DWORD folderId, LPCWSTR accountKey, LPCWSTR name, CTaggedBlob& folder);
