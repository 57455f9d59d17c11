#pragma once
// A message store as it lies in its file: plain records, no behaviour. Object ids are
// 64-bit numbers unique over every store of the device, so a message keeps its entry
// id wherever it moves.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

// One property value by its full tag; the tag's type says which member counts:
// number (PT_I2, PT_LONG, PT_BOOLEAN, PT_I8, PT_SYSTIME as FILETIME ticks), text
// (PT_UNICODE, PT_STRING8) or bytes (PT_BINARY).
struct PropValueRecord {
  LONGLONG number = 0;
  std::wstring text;
  std::string bytes;
};
using PropRecordMap = std::map<ULONG, PropValueRecord>;

struct MessageRecord {
  ULONGLONG id = 0;
  ULONGLONG folder = 0;
  PropRecordMap props;
  std::vector<PropRecordMap> recipients;
};

// role: "" or one of "root", "inbox", "outbox", "sent", "deleted", "drafts".
struct FolderRecord {
  ULONGLONG id = 0;
  ULONGLONG parent = 0;  // 0 for the store's root folder
  std::wstring role;
  PropRecordMap props;
};

struct StoreRecord {
  ULONGLONG id = 0;
  PropRecordMap props;
  std::vector<FolderRecord> folders;  // parents before their children
  std::vector<MessageRecord> messages;
};
