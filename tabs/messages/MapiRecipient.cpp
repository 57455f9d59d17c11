#include "tabs/messages/MapiRecipient.h"

namespace {

// The value of column index when it carries exactly tag (a missing one has the error type).
LPCWSTR TextColumn(const SRow& row, ULONG index, ULONG tag) {
  if (index >= row.cValues || !row.lpProps) return nullptr;
  const SPropValue& value = row.lpProps[index];
  return value.ulPropTag == tag ? value.Value.lpszW : nullptr;
}

}  // namespace

BOOL ReadMapiRecipient(IMessage* message, CString& name, CString& text, CString& addressType) {
  if (!message) return FALSE;
  IMAPITable* table = nullptr;
  if (FAILED(message->GetRecipientTable(MAPI_UNICODE, &table)) || !table) return FALSE;
  SizedSPropTagArray<4> columns = {4, {PR_RECIPIENT_TYPE, PR_DISPLAY_NAME_W, PR_ADDRTYPE_W, PR_EMAIL_ADDRESS_W}};
  BOOL found = FALSE;
  if (SUCCEEDED(table->SetColumns(columns, 0))) {
    for (bool done = false; !done;) {
      LPSRowSet rows = nullptr;
      if (FAILED(table->QueryRows(1, 0, &rows)) || !rows || rows->cRows == 0) {
        FreeProws(rows);
        break;
      }
      const SRow& row = rows->aRow[0];
      const bool primary = row.cValues > 0 && row.lpProps && row.lpProps[0].ulPropTag == PR_RECIPIENT_TYPE &&
                           row.lpProps[0].Value.ul == MAPI_TO;
      LPCWSTR display = TextColumn(row, 1, PR_DISPLAY_NAME_W);
      LPCWSTR type = TextColumn(row, 2, PR_ADDRTYPE_W);
      LPCWSTR address = TextColumn(row, 3, PR_EMAIL_ADDRESS_W);
      if (primary && display && address) {
        addressType = type;
        if (lstrcmpiW(addressType, L"SMTP") != 0 && lstrcmpiW(addressType, L"SMS") != 0) {
          if (!found) {
            name = display;
            text = address;
            found = TRUE;
          }
        } else {
          if (*display && lstrcmpW(display, address) != 0) {
            name = display;
            text.Format(L"%s <%s>", display, address);
          } else {
            name = address;
            text = address;
          }
          found = TRUE;
          done = true;
        }
      }
      FreeProws(rows);
    }
  }
  table->Release();
  return found;
}
