// The newer store's pictures for our own program and for Pocket Informant: the
// picture's stored name in a named property of the item ("QELTARVO_IconName" or
// "PI_IconName"), the file in the PIM's icon folder as "<name>.bmp".
#pragma once
#include <windows.h>

#include <map>

#include "pim/IconProvider.h"
#include "pim/NamedProps.h"

class CNamedPropIconProvider : public CIconProvider, public INamedPropsListener {
 public:
  CNamedPropIconProvider(int kind, NAMED_PROPERTY& property);
  ~CNamedPropIconProvider() override;

  // Fails without an icon folder or without the value table.
  BOOL Open(HWND owner) override;
  void Close() override;
  BOOL CanKeepPictures() const override { return TRUE; }
  const CString& GetFolder() const { return m_folder; }

  BOOL GetIconFile(CString& path, CEOID objectId) override;
  BOOL SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
               IIconProviderListener* listener) override;
  void OnNamedPropChange(const CENOTIFICATION* notification, LONG tag, CEOID objectId) override;

 private:
  void Tell(CEOID objectId);

  NAMED_PROPERTY& m_property;
  CString m_folder;
  BOOL m_open;
  // Value records seen, record id -> item: a deleted value can no longer be read.
  std::map<CEOID, CEOID> m_values;
};
