// The contact popup's record: a contact and the further texts the popup shows
// (CContactsList::ReadContactDetails fills them).
#pragma once
#include "tabs/contacts/ContactItem.h"

class CONTACT_DETAILS : public CONTACT_ITEM {
 public:
  enum { kDetailTexts = 7, kAddresses = 3, kAddressParts = 5 };
  CONTACT_DETAILS(DWORD itemOid = 0, DWORD recordOid = 0) : CONTACT_ITEM(itemOid, recordOid) {}

  CString m_details[kDetailTexts];
  CString m_addresses[kAddresses][kAddressParts];
};
