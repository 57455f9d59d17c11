// CPhotoContactApplet: the tab host's photo-contact applet: a square with one
// contact's photo (or "?") that opens the contact's popup when tapped. It keeps the
// contact's record oid as its saved data and follows the contacts list: a changed
// contact is shown anew, a deleted one leaves the applet empty.
#pragma once
#include <windows.h>

#include "panel/Applet.h"
#include "platform/windowlib/String.h"
#include "tabs/contacts/ContactsListener.h"

class CContactsList;
class CContactPopup;

class CPhotoContactApplet : public IApplet, public IContactsListener {
 public:
  enum { kDataSize = 4, kSize = 36 };

  // Null unless the data is exactly 4 bytes (the oid, little-endian). contacts null:
  // the process's list.
  static CPhotoContactApplet* CreateFromData(const BYTE* data, DWORD size, CContactsList* contacts = nullptr);
  static CPhotoContactApplet* CreateEmpty(CContactsList* contacts = nullptr);
  ~CPhotoContactApplet() override;

  // IApplet
  BOOL Init(HWND host) override;
  BOOL GetSize(SIZE* size) override;
  BOOL Paint(const RECT& rect, HDC dc) override;
  BOOL OnClick(int x, int y) override;
  LPCWSTR GetDescription() override;
  BOOL GetData(BYTE* buffer, DWORD* size) override;
  BOOL HasContact() override { return m_contact != nullptr; }
  // The text is a record oid in decimal.
  void BindContact(LPCWSTR text, int flags) override;

  // Forgets the contact, takes the oid and finds its contact; with notify the host
  // hears of it and repaints.
  void SetContact(DWORD oid, BOOL notify);
  DWORD GetOid() const { return m_oid; }
  CONTACT_ITEM* GetContact() const { return m_contact; }
  BOOL DescriptionNamesContact() const { return m_named; }

  // IContactsListener
  void OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) override;
  void OnContactAdded(CONTACT_ITEM* contact, int count) override;
  void OnContactRemoved(CONTACT_ITEM* contact, int count) override;

  // The popup all applets share (made on first use).
  static CContactPopup& GetPopup();
  // The registered message the host hears changes by.
  static UINT GetUpdateMessage();

 private:
  CPhotoContactApplet(DWORD oid, CContactsList* contacts);
  CContactsList& Contacts() const;
  void FindContact();
  void ReleaseContact();
  void TellHost();

  DWORD m_oid;
  CONTACT_ITEM* m_contact;
  SIZE m_size;
  HBRUSH m_brush;
  CString m_description;
  BOOL m_named;
  HWND m_host;
  CContactsList* m_contacts;
  BOOL m_listening;
};

// Makes the library's applet kind the one the applet host uses.
void InstallPhotoContactApplets();
