#pragma once
// The properties of stores, folders and messages as callers see them: the stored ones
// and those the library works out (entry ids, parent ids, object types, the store's
// special folders, whether a folder has subfolders, a message's size and To line).
#include "platform/cemapi/StoreRecord.h"
#include "platform/cemapi/cemapi.h"

class CObjectProps {
 public:
  static PropRecordMap Store(const StoreRecord& store);
  static PropRecordMap Folder(const StoreRecord& store, const FolderRecord& folder);
  static PropRecordMap Message(const MessageRecord& message);

  // Sets the values on a stored map; each value that cannot be set goes into `problems`
  // (index, tag, error). Worked-out properties cannot be set.
  static void Apply(PropRecordMap& stored, ULONG count, const SPropValue* values,
                    std::vector<SPropProblem>& problems);
  // The device clock's time (UTC) as FILETIME ticks.
  static LONGLONG Now();
};
