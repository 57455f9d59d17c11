// IRecordRow: a row that stands for a PIM record (a task, an appointment, a contact)
// whose categories the user may edit from the row's menu; the list-tab base asks it for
// the record without knowing which tab made the row.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "platform/windowlib/String.h"

class IRecordRow {
 public:
  // The record's object identifier, the picker's text (a contact's display name, else
  // the subject) and its categories; FALSE when the row holds no record.
  virtual BOOL GetCategoryRecord(DWORD* objectId, CString& text, CBitSet& categories) = 0;

 protected:
  ~IRecordRow() = default;
};
