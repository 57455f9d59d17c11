// A messaging notification carried from the thread the messaging library calls on to
// the panel's thread: the notification with its own copies of the identifiers it
// names, so nothing it points to belongs to the caller any more.
#pragma once
#include <windows.h>

#include "base/BlobObj.h"
#include "panel/PanelRecord.h"
#include "platform/cemapi/cemapi.h"

class CEmailChangeRecord : public CPanelRecord {
 public:
  explicit CEmailChangeRecord(const NOTIFICATION& source);
  CEmailChangeRecord(const CEmailChangeRecord&) = delete;
  CEmailChangeRecord& operator=(const CEmailChangeRecord&) = delete;

  // New mail, or a message or store created, deleted, modified, moved or copied.
  static BOOL IsHandledEvent(ULONG eventType);

  NOTIFICATION notification;  // its identifier pointers point into the blobs below
  BOOL handled;

 private:
  CBlobObj m_entry, m_parent, m_oldId, m_oldParent;
};
