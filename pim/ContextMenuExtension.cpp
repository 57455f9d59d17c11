#include "pim/ContextMenuExtension.h"

namespace {

const DWORD kClassContext = 23;
const UINT kMaxVerb = 254;

}  // namespace

CContextMenuExtension::CContextMenuExtension() : m_site(nullptr), m_menu(nullptr) {}

CContextMenuExtension::~CContextMenuExtension() { Release(); }

BOOL CContextMenuExtension::Create(LPCWSTR classId) {
  Release();
  CLSID clsid;
  if (!classId || FAILED(CLSIDFromString(const_cast<LPWSTR>(classId), &clsid))) return FALSE;
  IUnknown* object = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, kClassContext, IID_IUnknown, reinterpret_cast<void**>(&object))) ||
      !object)
    return FALSE;
  IObjectWithSite* site = nullptr;
  IContextMenu* menu = nullptr;
  object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&site));
  object->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
  object->Release();
  if (!site || !menu) {
    if (site) site->Release();
    if (menu) menu->Release();
    return FALSE;
  }
  m_site = site;
  m_menu = menu;
  return TRUE;
}

BOOL CContextMenuExtension::Serves(DWORD oid) {
  if (!m_site) return FALSE;
  m_item.SetOid(oid);
  return SUCCEEDED(m_site->SetSite(static_cast<IDataObject*>(&m_item)));
}

UINT CContextMenuExtension::AddItems(HMENU menu, UINT position, UINT firstId, UINT lastId) {
  if (!m_menu) return 0;
  HRESULT hr = m_menu->QueryContextMenu(menu, position, firstId, lastId, 0);
  if (FAILED(hr)) return 0;
  return HRESULT_CODE(hr);
}

BOOL CContextMenuExtension::Run(UINT offset, HWND owner) {
  if (!m_menu) return FALSE;
  char verb[kMaxVerb + 1] = {};
  bool named = SUCCEEDED(m_menu->GetCommandString(offset, GCS_VERBA, nullptr, verb, kMaxVerb)) && verb[0];
  verb[kMaxVerb] = 0;
  CMINVOKECOMMANDINFO info = {};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpVerb = named ? verb : MAKEINTRESOURCEA(offset);
  info.nShow = SW_SHOWNORMAL;
  return SUCCEEDED(m_menu->InvokeCommand(&info));
}

void CContextMenuExtension::Release() {
  // The data object lives in this host: the extension must not keep it as its site.
  if (m_site) {
    m_site->SetSite(nullptr);
    m_site->Release();
  }
  if (m_menu) m_menu->Release();
  m_site = nullptr;
  m_menu = nullptr;
}
