// The older store's pictures for Pocket Informant: the picture's stored name in the
// string property 0x2A08 of the item's own record in "Appointments Database",
// "Contacts Database" or "Tasks Database"; the file in Pocket Informant's icon folder
// as "<name>.bmp".
#pragma once
#include <windows.h>

#include "pim/IconProvider.h"

const CEPROPID kRecordIconProp = 0x2A08001F;

class CRecordIconProvider : public CIconProvider {
 public:
  CRecordIconProvider() : CIconProvider(kPimPocketInformant) {}

  // Only fetches the icon folder: fails when Pocket Informant names none.
  BOOL Open(HWND owner) override;
  BOOL CanKeepPictures() const override { return TRUE; }
  const CString& GetFolder() const { return m_folder; }

  BOOL GetIconFile(CString& path, CEOID objectId) override;
  BOOL SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
               IIconProviderListener* listener) override;

 private:
  CString m_folder;
};

// Writes (source given: copied into the folder) or deletes the stored name of the item's
// record in the first of the three databases that has it. FALSE when none has it, the
// copy failed or the write failed.
BOOL SetRecordIconProperty(CEOID objectId, LPCWSTR source, LPCWSTR folder, CString* storedName);
// The stored name of the item's record; empty when none.
CString GetRecordIconProperty(CEOID objectId);
