// The contact requests sent to the item-operations program (kind 10).
#pragma once
#include "tabs/contacts/ContactRequests.h"

class COndrelContactRequests : public IContactRequests {
 public:
  static COndrelContactRequests& Instance();
  LRESULT DeleteContact(DWORD itemOid) override;
  BOOL DisplayContact(DWORD itemOid, BOOL edit) override;
  LRESULT CopyContact(DWORD itemOid) override;
};
