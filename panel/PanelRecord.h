// Records posted to the panel window (a file change, an e-mail list change). The
// message carries only the record's address, so a record is honoured only while the
// process's table of posted records holds it: an address another process posts, or
// one already handled, names nothing and is ignored.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CPanelRecord {
 public:
  virtual ~CPanelRecord() = default;
};

// A file the panel follows came, went or changed: the path (doubled backslashes made
// single) and the event (1 rename, 2 created, 4 deleted, 8 folder made, 16 folder
// removed, or the shell's code).
class CFileChangeRecord : public CPanelRecord {
 public:
  CFileChangeRecord(LPCWSTR path, DWORD event);
  CString path;
  DWORD event;
};

// Posts message with the record as lParam; the record belongs to the message from
// then on (deleted here when it cannot be posted). FALSE when not posted.
BOOL PostPanelRecord(HWND window, UINT message, WPARAM wParam, CPanelRecord* record);
// The posted record lParam names, taken out of the table (the caller deletes it);
// null for any other number.
CPanelRecord* TakePanelRecord(LPARAM lParam);
