#include "pim/RecordIconProvider.h"

#include "base/CeDatabase.h"
#include "base/DbRecord.h"
#include "pim/CategoryIcons.h"
#include "pim/IconFile.h"

namespace {

const wchar_t* const kItemDatabases[] = {L"Appointments Database", L"Contacts Database", L"Tasks Database"};

}  // namespace

BOOL SetRecordIconProperty(CEOID objectId, LPCWSTR source, LPCWSTR folder, CString* storedName) {
  if (storedName) storedName->Empty();
  if (!objectId) return FALSE;
  for (const wchar_t* name : kItemDatabases) {
    CCeDatabase database(name, nullptr);
    if (!database.Open()) continue;
    CDbRecord record(database.GetHandle());
    int icon = record.AddPropId(kRecordIconProp);
    if (!record.Seek(objectId, FALSE)) continue;
    if (source && *source) {
      CString stored;
      if (!CopyIconFile(source, stored, folder) || stored.IsEmpty() || !record.SetString(icon, stored)) return FALSE;
      if (storedName) *storedName = stored;
    } else if (!record.DeleteProp(icon)) {
      return FALSE;
    }
    return record.WriteRecord(objectId, FALSE) != 0;
  }
  return FALSE;
}

CString GetRecordIconProperty(CEOID objectId) {
  if (!objectId) return CString();
  for (const wchar_t* name : kItemDatabases) {
    CCeDatabase database(name, nullptr);
    if (!database.Open()) continue;
    CDbRecord record(database.GetHandle());
    int icon = record.AddPropId(kRecordIconProp);
    if (!record.Read(objectId, FALSE)) continue;
    return record.GetStringCopy(icon, L"");
  }
  return CString();
}

BOOL CRecordIconProvider::Open(HWND owner) {
  (void)owner;
  m_folder = GetPocketInformantIconFolder();
  if (m_folder.IsEmpty()) return FALSE;
  if (m_folder[m_folder.GetLength() - 1] != L'\\') m_folder += L'\\';
  return TRUE;
}

BOOL CRecordIconProvider::GetIconFile(CString& path, CEOID objectId) {
  path.Empty();
  if (m_folder.IsEmpty()) return FALSE;
  CString name = GetRecordIconProperty(objectId);
  if (name.IsEmpty()) return FALSE;
  path = m_folder + name + L".bmp";
  return TRUE;
}

BOOL CRecordIconProvider::SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
                                  IIconProviderListener* listener) {
  (void)itemKind;
  (void)listener;
  if (m_folder.IsEmpty()) return FALSE;
  return SetRecordIconProperty(objectId, source, m_folder, storedName);
}
