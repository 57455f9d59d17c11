#include "tabs/contacts/PhotoContactAppletKind.h"

#include "base/ScreenDpi.h"
#include "platform/windowlib/Module.h"
#include "tabs/contacts/ContactChooserDlg.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/PhotoContactApplet.h"

CContactsList& CPhotoContactAppletKind::Contacts() const {
  return m_contacts ? *m_contacts : CContactsList::GetGlobal();
}

IApplet* CPhotoContactAppletKind::CreateFromData(const BYTE* data, DWORD size) {
  return CPhotoContactApplet::CreateFromData(data, size, m_contacts);
}

IApplet* CPhotoContactAppletKind::CreateWithDialog(HWND host) {
  CContactChooserDlg chooser(0, m_contacts);
  if (chooser.DoModal(host) != 1 || chooser.GetResult() == 0) return nullptr;
  CPhotoContactApplet* applet = CPhotoContactApplet::CreateEmpty(m_contacts);
  // Found once the host initialises the applet.
  applet->SetContact(chooser.GetResult(), FALSE);
  return applet;
}

HICON CPhotoContactAppletKind::GetIcon() {
  return static_cast<HICON>(
      LoadImageW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(128), IMAGE_ICON, ScaleX(16), ScaleY(16), 0));
}

void CPhotoContactAppletKind::SetContactsNotifyWindow(HWND window) { Contacts().SetNotifyWindow(window); }

void CPhotoContactAppletKind::CloseContacts() { Contacts().Close(); }

void InstallPhotoContactApplets() {
  static CPhotoContactAppletKind kind;
  SetAppletKind(&kind);
}
