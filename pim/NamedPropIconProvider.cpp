#include "pim/NamedPropIconProvider.h"

#include <cstring>

#include "pim/CategoryIcons.h"
#include "pim/IconFile.h"
#include "pim/IconProviders.h"

CNamedPropIconProvider::CNamedPropIconProvider(int kind, NAMED_PROPERTY& property)
    : CIconProvider(kind), m_property(property), m_open(FALSE) {}

CNamedPropIconProvider::~CNamedPropIconProvider() { Close(); }

BOOL CNamedPropIconProvider::Open(HWND owner) {
  Close();
  m_folder = GetKind() == kPimPocketInformant ? GetPocketInformantIconFolder() : GetIconsFolder();
  if (m_folder.IsEmpty()) return FALSE;
  if (m_folder[m_folder.GetLength() - 1] != L'\\') m_folder += L'\\';
  // Without the value table nothing could be kept: the empty store is the honest answer.
  if (!CNamedProps::Instance().Open(owner)) return FALSE;
  m_open = TRUE;
  // Known from here on, so that changes of other properties can be told apart.
  CNamedProps::Instance().GetTag(m_property);
  CNamedProps::Instance().Subscribe(this);
  return TRUE;
}

void CNamedPropIconProvider::Close() {
  if (!m_open) return;
  m_open = FALSE;
  CNamedProps::Instance().Unsubscribe(this);
  CNamedProps::Instance().Release();
  m_values.clear();
}

BOOL CNamedPropIconProvider::GetIconFile(CString& path, CEOID objectId) {
  path.Empty();
  if (!m_open) return FALSE;
  CString value;
  CEOID record = CNamedProps::Instance().GetValue(objectId, m_property, value);
  if (!record || value.IsEmpty()) return FALSE;
  m_values[record] = objectId;
  path = m_folder + value + L".bmp";
  return TRUE;
}

BOOL CNamedPropIconProvider::SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
                                     IIconProviderListener* listener) {
  (void)itemKind;
  (void)listener;
  if (storedName) storedName->Empty();
  if (!m_open) return FALSE;
  CNamedProps& props = CNamedProps::Instance();
  if (!source || !*source) return props.DeleteValue(objectId, m_property, nullptr);
  if (GetFileAttributesW(source) == INVALID_FILE_ATTRIBUTES) return FALSE;
  CString name;
  if (!CopyIconFile(source, name, m_folder)) return FALSE;
  CEOID record = props.SetValue(objectId, m_property, name, nullptr);
  if (!record) return FALSE;
  m_values[record] = objectId;
  if (storedName) *storedName = name;
  return TRUE;
}

void CNamedPropIconProvider::Tell(CEOID objectId) {
  CENOTIFICATION notification;
  memset(&notification, 0, sizeof notification);
  notification.dwSize = sizeof notification;
  notification.dwParam = reinterpret_cast<DWORD_PTR>(this);
  notification.uType = DB_CEOID_CHANGED;
  notification.oid = objectId;
  CIconProviders::Instance().Notify(nullptr, &notification, TRUE);
}

void CNamedPropIconProvider::OnNamedPropChange(const CENOTIFICATION* notification, LONG tag, CEOID objectId) {
  if (!notification || !m_open) return;
  // Other named properties share the table; their changes are no picture's.
  if (tag != -1 && tag != m_property.tag) return;
  auto known = m_values.find(notification->oid);
  if (notification->uType == DB_CEOID_RECORD_DELETED || tag == -1) {
    if (known == m_values.end()) return;
    CEOID item = known->second;
    m_values.erase(known);
    Tell(item);
    return;
  }
  if (known != m_values.end() && known->second != objectId) Tell(known->second);
  m_values[notification->oid] = objectId;
  Tell(objectId);
}
