#include "platform/cemapi/Message.h"

#include "platform/cemapi/Table.h"

CMessage::CMessage(ULONGLONG id) : CPropObject<IMessage>(MAPI_MESSAGE, id, {&IID_IMAPIProp, &IID_IMessage}) {}

HRESULT CMessage::GetRecipientTable(ULONG flags, IMAPITable** table) {
  if (!table) return MAPI_E_INVALID_PARAMETER;
  *table = nullptr;
  std::vector<PropRecordMap> rows;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    StoreEntry* store;
    MessageRecord* message;
    if (!set.FindMessage(id_, store, message)) return MAPI_E_NOT_FOUND;
    if (store->damaged) return MAPI_E_CORRUPT_STORE;
    for (size_t i = 0; i < message->recipients.size(); ++i) {
      PropRecordMap row = message->recipients[i];
      row[0x30000003].number = static_cast<LONGLONG>(i);  // PR_ROWID
      rows.push_back(row);
    }
  }
  CTable* t = new (std::nothrow) CTable(std::move(rows),
                                        {PR_RECIPIENT_TYPE, PR_DISPLAY_NAME_W, PR_ADDRTYPE_W, PR_EMAIL_ADDRESS_W},
                                        (flags & MAPI_UNICODE) != 0);
  if (!t) return MAPI_E_NOT_ENOUGH_MEMORY;
  *table = t;
  return S_OK;
}
