#include "tabs/contacts/PhotoContactApplet.h"

#include <cwchar>
#include <memory>

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "panel/PanelPrompt.h"
#include "platform/ardeno/ArdenoApplet.h"
#include "tabs/contacts/ContactPopup.h"
#include "tabs/contacts/ContactsList.h"

CPhotoContactApplet::CPhotoContactApplet(DWORD oid, CContactsList* contacts)
    : m_oid(oid),
      m_contact(nullptr),
      m_size{ScaleX(kSize), ScaleY(kSize)},
      m_brush(nullptr),
      m_named(FALSE),
      m_host(nullptr),
      m_contacts(contacts),
      m_listening(FALSE) {}

CPhotoContactApplet* CPhotoContactApplet::CreateFromData(const BYTE* data, DWORD size, CContactsList* contacts) {
  if (!data || size != kDataSize) return nullptr;
  const DWORD oid = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                    static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
  return new CPhotoContactApplet(oid, contacts);
}

CPhotoContactApplet* CPhotoContactApplet::CreateEmpty(CContactsList* contacts) {
  return new CPhotoContactApplet(0, contacts);
}

CPhotoContactApplet::~CPhotoContactApplet() {
  ReleaseContact();
  if (m_listening) Contacts().RemoveListener(this);
  if (m_brush) DeleteObject(m_brush);
}

CContactsList& CPhotoContactApplet::Contacts() const {
  return m_contacts ? *m_contacts : CContactsList::GetGlobal();
}

UINT CPhotoContactApplet::GetUpdateMessage() {
  static const UINT message = RegisterWindowMessageW(ARDENO_UPDATE_APPLET_MESSAGE);
  return message;
}

CContactPopup& CPhotoContactApplet::GetPopup() {
  static CContactPopup popup;
  return popup;
}

BOOL CPhotoContactApplet::Init(HWND host) {
  m_host = host;
  if (!m_brush) m_brush = CreateSolidBrush(RGB(255, 255, 255));
  if (!m_listening) {
    Contacts().AddListener(this);
    m_listening = TRUE;
  }
  m_size = SIZE{ScaleX(kSize), ScaleY(kSize)};
  FindContact();
  return TRUE;
}

void CPhotoContactApplet::ReleaseContact() {
  if (m_contact) m_contact->Release();
  m_contact = nullptr;
}

void CPhotoContactApplet::FindContact() {
  ReleaseContact();
  if (m_oid == 0) return;
  CONTACT_ITEM* contact = nullptr;
  for (BOOL more = Contacts().GetFirst(&contact); more; more = Contacts().GetNext(&contact)) {
    if (contact->m_recordOid == m_oid) {
      contact->AddRef();
      m_contact = contact;
      return;
    }
  }
  // Kept only until the first look: a contact that is gone names nothing any more.
  m_oid = 0;
}

void CPhotoContactApplet::TellHost() {
  if (m_host && IsWindow(m_host))
    SendMessageW(m_host, GetUpdateMessage(), reinterpret_cast<WPARAM>(static_cast<IApplet*>(this)), 0);
}

void CPhotoContactApplet::SetContact(DWORD oid, BOOL notify) {
  ReleaseContact();
  m_oid = oid;
  if (notify) TellHost();
  FindContact();
  if (notify && m_host && IsWindow(m_host)) InvalidateRect(m_host, nullptr, TRUE);
}

void CPhotoContactApplet::BindContact(LPCWSTR text, int flags) {
  if (!text) return;
  wchar_t* end = nullptr;
  const unsigned long oid = wcstoul(text, &end, 10);
  if (end == text || *end != 0) return;
  SetContact(static_cast<DWORD>(oid), flags != 0);
}

BOOL CPhotoContactApplet::GetSize(SIZE* size) {
  if (!size) return FALSE;
  *size = m_size;
  return TRUE;
}

BOOL CPhotoContactApplet::GetData(BYTE* buffer, DWORD* size) {
  if (!size) return FALSE;
  const DWORD given = *size;
  *size = kDataSize;
  if (given < kDataSize || !buffer) return FALSE;
  for (int i = 0; i < kDataSize; ++i) buffer[i] = static_cast<BYTE>(m_oid >> (8 * i));
  return TRUE;
}

LPCWSTR CPhotoContactApplet::GetDescription() {
  m_named = FALSE;
  if (m_contact) {
    CString name;
    m_contact->GetDisplayName(name, FALSE, FALSE);
    name += L" ";
    m_description.Format(TranslatedText(325), static_cast<LPCWSTR>(name));
    m_named = TRUE;
  } else {
    m_description = TranslatedText(m_oid ? 327 : 326);
  }
  return m_description;
}

BOOL CPhotoContactApplet::Paint(const RECT& rect, HDC dc) {
  if (!dc) return FALSE;
  const int left = rect.left + (rect.right - rect.left - m_size.cx) / 2;
  const int top = rect.top + (rect.bottom - rect.top - m_size.cy) / 2;
  RECT square = {left, top, left + m_size.cx, top + m_size.cy};
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  CBitmapDC* photo = m_contact ? m_contact->GetPhoto() : nullptr;
  if (photo && photo->GetDC()) {
    const SIZE size = photo->GetSize();
    StretchBlt(dc, square.left, square.top, m_size.cx, m_size.cy, photo->GetDC(), 0, 0, size.cx, size.cy, SRCCOPY);
  } else {
    FillRect(dc, &square, m_brush ? m_brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(dc, L"?", 1, &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SetBkMode(dc, oldMode);
  return TRUE;
}

BOOL CPhotoContactApplet::OnClick(int x, int y) {
  if (m_contact) {
    RECT at = {x, y, x + 10, y + 10};
    GetPopup().Show(m_host, at, m_contact);
    return TRUE;
  }
  CString text;
  text.Format(TranslatedText(330), static_cast<LPCWSTR>(TranslatedText(32782)), static_cast<LPCWSTR>(TranslatedText(301)));
  ShowPanelMessage(m_host, text, TranslatedText(17), MB_OK);
  return TRUE;
}

void CPhotoContactApplet::OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) {
  if (!contact && !oldCopy) {
    // The whole list was read again: the old record is gone, look the oid up anew.
    if (m_oid) {
      const DWORD oid = m_oid;
      ReleaseContact();
      m_oid = oid;
      FindContact();
      TellHost();
    }
    return;
  }
  if (!oldCopy || !m_oid || oldCopy->m_recordOid != m_oid || !contact) return;
  contact->AddRef();
  ReleaseContact();
  m_contact = contact;
  m_oid = contact->m_recordOid;
  TellHost();
}

void CPhotoContactApplet::OnContactAdded(CONTACT_ITEM*, int) {}

void CPhotoContactApplet::OnContactRemoved(CONTACT_ITEM* contact, int) {
  if (!contact || !m_oid || contact->m_recordOid != m_oid) return;
  m_oid = 0;
  ReleaseContact();
  TellHost();
}
