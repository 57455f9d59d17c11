#include "tabs/messages/EmailItem.h"

#include <cmath>
#include <new>

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/SizeText.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/MapiRecipient.h"

namespace {

SizedSPropTagArray<kEmailColumnCount> g_columns = {
    kEmailColumnCount,
    {PR_ENTRYID, PR_PARENT_ENTRYID, PR_SUBJECT_W, PR_SENDER_EMAIL_ADDRESS_W, PR_MESSAGE_CLASS_W, PR_MESSAGE_FLAGS,
     PR_HASATTACH, PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_SIZE, PR_LAST_MODIFICATION_TIME, PR_MSG_STATUS,
     PR_DISPLAY_TO_W, PR_DISPLAY_TO_W, PR_PRIORITY, PR_SENDER_NAME_W, PR_BODY_W}};

const wchar_t kErrorReading[] = L"#Error reading";

// A row's column, present only when it carries exactly the column's tag: a property
// the store lacks comes back with the error type in its place.
class CRowReader {
 public:
  CRowReader(const SPropValue* values, ULONG count) : m_values(values), m_count(values ? count : 0) {}
  const SPropValue* Get(int column) const {
    if (static_cast<ULONG>(column) >= m_count) return nullptr;
    const SPropValue& value = m_values[column];
    return value.ulPropTag == g_columns.aulPropTag[column] ? &value : nullptr;
  }
  LPCWSTR Text(int column) const {
    const SPropValue* value = Get(column);
    return value ? value->Value.lpszW : nullptr;
  }
  DWORD Number(int column, DWORD missing) const {
    const SPropValue* value = Get(column);
    return value ? value->Value.ul : missing;
  }
  BOOL Binary(int column, CBlobObj& out) const {
    const SPropValue* value = Get(column);
    if (!value || (value->Value.bin.cb && !value->Value.bin.lpb)) {
      out.Free();
      return FALSE;
    }
    return out.Assign(value->Value.bin.lpb, value->Value.bin.cb);
  }

 private:
  const SPropValue* m_values;
  ULONG m_count;
};

void SetNoSubject(CString& subject) {
  CString text;
  LoadUIString(text, IDS_NO_SUBJECT);
  subject.Format(L"[%s]", static_cast<LPCWSTR>(text));
}

double CurrentLocalDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  double date = 0;
  SystemTimeToVariantDate(now, &date);
  return date;
}

}  // namespace

LPSPropTagArray GetEmailColumns() { return g_columns; }

EMAIL_ITEM* EMAIL_ITEM::New() {
  EMAIL_ITEM* item = new (std::nothrow) EMAIL_ITEM;
  if (item) item->CRefObjectCounted();
  return item;
}

void EMAIL_ITEM::CopyFrom(const EMAIL_ITEM& other) {
  if (this == &other) return;
  subject = other.subject;
  senderAddress = other.senderAddress;
  recipientText = other.recipientText;
  extraText1 = other.extraText1;
  extraText2 = other.extraText2;
  messageClass = other.messageClass;
  body = other.body;
  senderName = other.senderName;
  recipientName = other.recipientName;
  priority = other.priority;
  sourceKind = other.sourceKind;
  webisId = other.webisId;
  folderNumber = other.folderNumber;
  accountName = other.accountName;
  time = other.time;
  size = other.size;
  flags = other.flags;
  status = other.status;
  hasAttachments = other.hasAttachments;
  entryId = other.entryId;
  parentId = other.parentId;
  storeId = other.storeId;
  sizeText = other.sizeText;
  timeText = other.timeText;
  phoneMessage = other.phoneMessage;
  recipientPending = other.recipientPending;
}

BOOL EMAIL_ITEM::FillFromRow(const SPropValue* values, ULONG count, IMessage* message, const CBlobObj& store,
                             IMAPISession* session, const TIME_ZONE_INFORMATION* zone) {
  phoneMessage = -1;
  CRowReader row(values, count);
  if (!row.Get(kColEntryId) || !row.Binary(kColEntryId, entryId)) {
    if (message) message->Release();
    return FALSE;
  }
  row.Binary(kColParentId, parentId);
  storeId = store;

  senderAddress = row.Text(kColSenderAddress);
  subject = row.Text(kColSubject);
  size = row.Number(kColSize, 0);
  flags = row.Number(kColFlags, 0);
  const SPropValue* attach = row.Get(kColHasAttach);
  hasAttachments = attach && attach->Value.b ? TRUE : FALSE;
  status = row.Number(kColStatus, 0);
  if (subject.IsEmpty()) SetNoSubject(subject);

  LPCWSTR cls = row.Text(kColClass);
  messageClass = cls ? cls : kErrorReading;
  senderName = row.Text(kColSenderName);
  priority = static_cast<LONG>(row.Number(kColPriority, static_cast<DWORD>(-1)));
  LPCWSTR text = row.Text(kColBody);
  body = text ? text : kErrorReading;

  time = kNoDate;
  const SPropValue* when = row.Get(kColDeliveryTime);
  if (!when) when = row.Get(kColModifiedTime);
  SYSTEMTIME utc, local;
  double date = 0;
  if (when && FileTimeToSystemTime(&when->Value.ft, &utc) && UtcToLocalSystemTime(zone, utc, &local) &&
      SystemTimeToVariantDate(local, &date))
    time = date;

  sizeText.Empty();
  timeText.Empty();

  CString addressType;
  recipientName.Empty();
  recipientText.Empty();
  recipientPending = !message && !session;
  if (recipientPending) return TRUE;
  IMessage* opened = message;
  if (!opened && session && entryId.GetSize()) {
    IUnknown* unknown = nullptr;
    ULONG type = 0;
    if (SUCCEEDED(session->OpenEntry(entryId.GetSize(), reinterpret_cast<LPENTRYID>(entryId.GetData()), nullptr, 0,
                                     &type, &unknown)) &&
        unknown) {
      if (type == MAPI_MESSAGE)
        opened = static_cast<IMessage*>(unknown);
      else
        unknown->Release();
    }
  }
  if (!ReadMapiRecipient(opened, recipientName, recipientText, addressType)) {
    recipientName.Empty();
    recipientText.Empty();
  }
  if (opened) opened->Release();
  return TRUE;
}

BOOL EMAIL_ITEM::Parse(IMAPISession* session, const CBlobObj& id, const CBlobObj& store) {
  if (!session || !id.GetSize()) return FALSE;
  IUnknown* unknown = nullptr;
  ULONG type = 0;
  if (FAILED(session->OpenEntry(id.GetSize(), reinterpret_cast<LPENTRYID>(id.GetData()), nullptr, 0, &type,
                                &unknown)) ||
      !unknown)
    return FALSE;
  if (type != MAPI_MESSAGE) {
    unknown->Release();
    return FALSE;
  }
  IMessage* message = static_cast<IMessage*>(unknown);
  ULONG count = 0;
  LPSPropValue values = nullptr;
  if (FAILED(message->GetProps(GetEmailColumns(), MAPI_UNICODE, &count, &values)) || !values) {
    message->Release();
    return FALSE;
  }
  BOOL filled = FillFromRow(values, count, message, store, session);
  MAPIFreeBuffer(values);
  return filled;
}

BOOL EMAIL_ITEM::FillFromText(LPCWSTR cls, DWORD id, LPCWSTR idText, LPCWSTR recipient, LPCWSTR sender,
                              LPCWSTR subjectText, LPCWSTR bodyText, double when) {
  phoneMessage = -1;
  if (idText)
    entryId.Assign(idText, static_cast<DWORD>(lstrlenW(idText) * sizeof(WCHAR)));
  else
    entryId.Assign(&id, sizeof id);
  recipientText = recipient;
  recipientName = recipient;
  senderAddress = sender;
  senderName = sender;
  subject = subjectText;
  body = bodyText;
  if (body.IsEmpty()) body = subject;
  if (subject.IsEmpty()) subject = body;
  size = static_cast<DWORD>(body.GetLength()) * 2;
  flags = 0;
  status = 0;
  hasAttachments = FALSE;
  if (subject.IsEmpty()) SetNoSubject(subject);
  messageClass = cls;
  time = when;
  priority = -1;
  sizeText.Empty();
  timeText.Empty();
  return TRUE;
}

CString EMAIL_ITEM::GetTransport() const {
  int first = messageClass.Find(L'.');
  if (first < 0) return CString();
  int next = messageClass.Find(L'.', first + 1);
  return next < 0 ? messageClass.Mid(first + 1) : messageClass.Mid(first + 1, next - first - 1);
}

BOOL EMAIL_ITEM::IsMms() const {
  CString transport = GetTransport();
  return transport.Compare(L"MMS") == 0 || transport.Compare(L"MMS1") == 0;
}

BOOL EMAIL_ITEM::IsPhoneMessage() {
  if (phoneMessage < 0)
    phoneMessage = messageClass.Find(L"SMStext") >= 0 || messageClass.Find(L"SMSText") >= 0 ||
                           GetTransport().Compare(L"MMS") == 0
                       ? 1
                       : 0;
  return phoneMessage;
}

CString ShortenTimePicture(LPCWSTR picture) {
  CString out(picture);
  out.Replace(L"tt", L"t");
  out.Remove(L' ');
  return out;
}

const CString& EMAIL_ITEM::GetTimeText(BOOL force) {
  if (!timeText.IsEmpty() && !force) return timeText;
  timeText.Empty();
  if (std::floor(time) != std::floor(CurrentLocalDate())) {
    FormatVariantDate(timeText, time);
    return timeText;
  }
  WCHAR picture[512] = {};
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, picture, ARRAYSIZE(picture))) picture[0] = 0;
  CString shortPicture = ShortenTimePicture(picture);
  SYSTEMTIME when;
  WCHAR out[128] = {};
  if (VariantDateToSystemTime(time, &when) &&
      GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &when, shortPicture.IsEmpty() ? nullptr : shortPicture.GetString(),
                     out, ARRAYSIZE(out))) {
    CharLowerW(out);
    timeText = out;
  }
  return timeText;
}

const CString& EMAIL_ITEM::GetSizeText(BOOL force) {
  if (!sizeText.IsEmpty() && !force) return sizeText;
  sizeText = FormatSizeText(size, SIZE_TEXT_BYTES);
  return sizeText;
}

CString EMAIL_ITEM::GetAddressPart() const {
  const CString& text = senderAddress.IsEmpty() ? recipientText : senderAddress;
  int open = text.Find(L'<');
  if (open < 0) return text;
  int close = text.Find(L'>', open + 1);
  return close < 0 ? text.Mid(open + 1) : text.Mid(open + 1, close - open - 1);
}
