#include "tabs/messages/EmailChangeRecord.h"

namespace {

LPENTRYID Keep(CBlobObj& blob, ULONG& cb, LPENTRYID id) {
  if (!id || !cb || !blob.Assign(id, cb)) {
    cb = 0;
    return nullptr;
  }
  return reinterpret_cast<LPENTRYID>(blob.GetData());
}

}  // namespace

BOOL CEmailChangeRecord::IsHandledEvent(ULONG eventType) {
  return (eventType & (fnevNewMail | fnevObjectCreated | fnevObjectDeleted | fnevObjectModified |
                       fnevObjectMoved | fnevObjectCopied)) != 0;
}

CEmailChangeRecord::CEmailChangeRecord(const NOTIFICATION& source) : notification(source) {
  handled = IsHandledEvent(source.ulEventType);
  if (source.ulEventType == fnevNewMail) {
    NEWMAIL_NOTIFICATION& n = notification.info.newmail;
    n.lpEntryID = Keep(m_entry, n.cbEntryID, n.lpEntryID);
    n.lpParentID = Keep(m_parent, n.cbParentID, n.lpParentID);
    n.lpszMessageClass = nullptr;  // the caller's text, not read here
  } else {
    OBJECT_NOTIFICATION& o = notification.info.obj;
    o.lpEntryID = Keep(m_entry, o.cbEntryID, o.lpEntryID);
    o.lpParentID = Keep(m_parent, o.cbParentID, o.lpParentID);
    o.lpOldID = Keep(m_oldId, o.cbOldID, o.lpOldID);
    o.lpOldParentID = Keep(m_oldParent, o.cbOldParentID, o.lpOldParentID);
    o.lpPropTagArray = nullptr;
  }
}
