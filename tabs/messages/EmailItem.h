// One message (e-mail, text or multimedia message) as the e-mail list holds it and the
// rows, the preview and the message operations use it. Filled from a messaging
// property row, by entry id, or from plain texts (the readers of other mail programs).
#pragma once
#include <windows.h>

#include "base/BlobObj.h"
#include "base/RefObject.h"
#include "platform/cemapi/cemapi.h"
#include "platform/windowlib/String.h"

// The 16 columns every message is read with: a folder's contents table and one
// message's GetProps alike. Column 11 and 12 are read but not kept.
enum EmailColumn {
  kColEntryId, kColParentId, kColSubject, kColSenderAddress, kColClass, kColFlags, kColHasAttach,
  kColDeliveryTime, kColSize, kColModifiedTime, kColStatus, kColDisplayTo1, kColDisplayTo2, kColPriority,
  kColSenderName, kColBody, kEmailColumnCount
};
LPSPropTagArray GetEmailColumns();

// Where a message came from.
enum EmailSource { kSourceMapi = 0, kSourceWebIS = 1, kSourcePalm = 2 };

struct EMAIL_ITEM : public CRefObject {
  EMAIL_ITEM() = default;
  // A counted empty record (one reference held by the caller), or null.
  static EMAIL_ITEM* New();
  void CopyFrom(const EMAIL_ITEM& other);

  // From one row of the 16 columns: count values, any of them missing or of the error
  // type. The recipient comes from message when given (released here in every case),
  // else from the message opened by entry id on session; without either it is left
  // for later (recipientPending). The time is taken to local time in zone (null: the
  // device's). FALSE when the first column is no entry id.
  BOOL FillFromRow(const SPropValue* values, ULONG count, IMessage* message, const CBlobObj& storeId,
                   IMAPISession* session, const TIME_ZONE_INFORMATION* zone = nullptr);
  // Opens the message by entry id on session and fills from its 16 properties.
  BOOL Parse(IMAPISession* session, const CBlobObj& entryId, const CBlobObj& storeId);
  // From another mail program's texts; the identifier as a number or (when idText is
  // given) as text.
  BOOL FillFromText(LPCWSTR messageClass, DWORD id, LPCWSTR idText, LPCWSTR recipient, LPCWSTR sender,
                    LPCWSTR subject, LPCWSTR body, double time);

  BOOL IsRead() const { return (flags & MSGFLAG_READ) != 0; }
  // The part of the class between its first and second point ("SMS" of "IPM.SMStext").
  CString GetTransport() const;
  BOOL IsMms() const;
  BOOL IsPhoneMessage();
  // Today's messages show their time of day ("3:45p"), others their date.
  const CString& GetTimeText(BOOL force);
  // "1023B", "9.78K", "1.00M": at most four digits and the separator.
  const CString& GetSizeText(BOOL force);
  // The address inside "<...>" of the sender, else of the recipient text.
  CString GetAddressPart() const;

  CString subject;
  CString senderAddress;
  CString recipientText;
  CString extraText1;  // set only by the WebIS Mail reader
  CString extraText2;
  CString messageClass;
  CString body;
  CString senderName;
  CString recipientName;
  LONG priority = -1;
  DWORD sourceKind = kSourceMapi;
  DWORD webisId = 0;  // for Palm messages the record identifier
  DWORD folderNumber = 0;
  CString accountName;
  double time = 0;
  DWORD size = 0;
  DWORD flags = 0;
  DWORD status = 0;
  BOOL hasAttachments = FALSE;
  CBlobObj entryId;
  CBlobObj parentId;
  CBlobObj storeId;
  CString sizeText;
  CString timeText;
  int phoneMessage = -1;  // -1: not decided yet
  // The recipient was not read with the row: an account's reading leaves it to the
  // first view that shows it, as opening every message would cost more than the rows.
  BOOL recipientPending = FALSE;
};

// The user's time picture made short: "tt" as "t", no blanks.
CString ShortenTimePicture(LPCWSTR picture);
