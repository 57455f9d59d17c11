// CPhotoContactAppletKind: the applet kind the applet host makes photo-contact applets
// with: from saved data, or from the contact the user picks in the chooser.
#pragma once
#include <windows.h>

#include "panel/Applet.h"

class CContactsList;

class CPhotoContactAppletKind : public IAppletKind {
 public:
  // contacts null: the process's list.
  explicit CPhotoContactAppletKind(CContactsList* contacts = nullptr) : m_contacts(contacts) {}
  virtual ~CPhotoContactAppletKind() = default;

  IApplet* CreateFromData(const BYTE* data, DWORD size) override;
  // The chooser runs over host; null when nothing was chosen.
  IApplet* CreateWithDialog(HWND host) override;
  // Icon 128 of the resource library, 16 x 16 logical pixels.
  HICON GetIcon() override;
  void SetContactsNotifyWindow(HWND window) override;
  void CloseContacts() override;

 private:
  CContactsList& Contacts() const;

  CContactsList* m_contacts;
};
