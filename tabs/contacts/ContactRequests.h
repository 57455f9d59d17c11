// What the contacts list and the contact commands ask of the item-operations program;
// implemented over COndrelClient (COndrelContactRequests), replaced by a recorder in
// tests.
#pragma once
#include <windows.h>

class IContactRequests {
 public:
  virtual ~IContactRequests() = default;
  // The program's result: non-zero when the contact was deleted.
  virtual LRESULT DeleteContact(DWORD itemOid) = 0;
  // Shows (edit clear) or edits the contact.
  virtual BOOL DisplayContact(DWORD itemOid, BOOL edit) = 0;
  virtual LRESULT CopyContact(DWORD itemOid) = 0;
};
