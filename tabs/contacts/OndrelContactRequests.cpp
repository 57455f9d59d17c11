#include "tabs/contacts/OndrelContactRequests.h"

#include "pim/OndrelClient.h"

namespace {
const int kContactKind = 10;
// No occurrence: a contact is never one of a series.
const double kNoOccurrence = 949998.0;
const DWORD kNoOccurrenceDay = 949998;
}  // namespace

COndrelContactRequests& COndrelContactRequests::Instance() {
  static COndrelContactRequests requests;
  return requests;
}

LRESULT COndrelContactRequests::DeleteContact(DWORD itemOid) {
  return COndrelClient::Instance().DeleteItem(kContactKind, itemOid);
}

BOOL COndrelContactRequests::DisplayContact(DWORD itemOid, BOOL edit) {
  return COndrelClient::Instance().DisplayItem(kContactKind, itemOid, edit, kNoOccurrence);
}

LRESULT COndrelContactRequests::CopyContact(DWORD itemOid) {
  return COndrelClient::Instance().CopyItem(kContactKind, itemOid, kNoOccurrenceDay);
}
