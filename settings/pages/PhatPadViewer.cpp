#include "settings/pages/PhatPadViewer.h"

#include "base/RegKey.h"

namespace {

const WCHAR kPhatPadKey[] = L"Software\\PhatWare\\PhatPad";
const WCHAR kViewerKey[] = L"Software\\PhatWare\\PhatPad Viewer";
const WCHAR kDefaultFolder[] = L"\\Program Files\\PhatPad\\";
const WCHAR kControlLibrary[] = L"PhatPadCtl.dll";
const WCHAR kViewLibrary[] = L"PhatPadViewCtl.dll";

BOOL FileExists(const CString& path) {
  const DWORD attributes = ::GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CPhatPadViewer& CPhatPadViewer::Instance() {
  static CPhatPadViewer viewer;
  return viewer;
}

CString CPhatPadViewer::ReadInstallFolder(LPCWSTR keyPath) {
  CRegKey key(HKEY_CURRENT_USER, keyPath, FALSE, FALSE);
  if (!key.IsOpen()) return CString();
  CString folder = key.ValueExists(L"InstPath") ? key.QueryString(L"InstPath") : CString(kDefaultFolder);
  if (folder.IsEmpty()) folder = kDefaultFolder;
  if (folder[folder.GetLength() - 1] != L'\\') folder += L'\\';
  return folder;
}

BOOL CPhatPadViewer::Load() {
  if (m_view && m_createView) return TRUE;
  Unload();
  m_phatPadFolder = ReadInstallFolder(kPhatPadKey);
  m_viewerFolder = ReadInstallFolder(kViewerKey);
  if (m_phatPadFolder.IsEmpty() && m_viewerFolder.IsEmpty()) return FALSE;
  // The control library stays loaded for the life of the process, as the view
  // library needs it.
  HMODULE control = nullptr;
  if (!m_phatPadFolder.IsEmpty()) control = ::LoadLibraryW(m_phatPadFolder + kControlLibrary);
  if (!control && !m_viewerFolder.IsEmpty()) control = ::LoadLibraryW(m_viewerFolder + kControlLibrary);
  BOOL present = FALSE;
  if (!m_phatPadFolder.IsEmpty()) {
    present = FileExists(m_phatPadFolder + L"PhatPad.exe");
    m_view = ::LoadLibraryW(m_phatPadFolder + kViewLibrary);
  }
  if (!m_viewerFolder.IsEmpty()) {
    if (!present) present = FileExists(m_viewerFolder + L"PhatPadViewer.exe");
    if (!m_view) m_view = ::LoadLibraryW(m_viewerFolder + kViewLibrary);
  }
  if (!present) {
    Unload();
    return FALSE;
  }
  m_createView = m_view ? ::GetProcAddress(m_view, "PhatPad_CreateView") : nullptr;
  return TRUE;
}

void CPhatPadViewer::Unload() {
  if (m_view) {
    HMODULE view = m_view;
    ::FreeLibrary(view);
    if (!::GetModuleHandleW(kViewLibrary)) {
      ::UnregisterClassW(L"PW_FileViewClass", view);
      ::UnregisterClassW(L"PW_PageBrowserClass", view);
    }
  }
  m_view = nullptr;
  m_createView = nullptr;
  m_phatPadFolder.Empty();
  m_viewerFolder.Empty();
}

BOOL CPhatPadViewer::IsPresent() {
  const BOOL loaded = Load();
  if (loaded) Unload();
  return loaded;
}
