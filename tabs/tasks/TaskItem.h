// One task as read from "Tasks Database" in either store layout. Records made with
// new are shared by the list, the queries and the rows, and die with their last
// reference.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "base/RefObject.h"
#include "platform/windowlib/String.h"

struct TASK_ITEM : public CRefObject {
  TASK_ITEM() = default;
  // A counted copy of other's values (one reference held by the caller), or null.
  static TASK_ITEM* NewCopy(const TASK_ITEM& other);
  // A counted empty record, or null.
  static TASK_ITEM* New();
  void CopyFrom(const TASK_ITEM& other);

  CString subject;
  double start = 0;  // 0: none
  double due = 0;    // 0: none
  int importance = 0;  // -1 low, 0 normal, 1 high
  int reminderMinutes = -1;
  double reminderTime = 0;
  BOOL complete = FALSE;
  BOOL hasNote = FALSE;
  BOOL reminderSet = FALSE;
  BOOL recurring = FALSE;
  int privateValue = 0;
  DWORD itemOid = 0;
  DWORD recordOid = 0;
  DWORD piFlags = 0;
  CBitSet categories;
  CString iconName;
};
