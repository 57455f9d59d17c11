#include "pim/PhatPad.h"

#include <shellapi.h>

#include "base/InstallPath.h"
#include "base/RegKey.h"

namespace {

const LPCWSTR kPadKey = L"Software\\PhatWare\\PhatPad";
const LPCWSTR kViewerKey = L"Software\\PhatWare\\PhatPad Viewer";
const LPCWSTR kDefaultFolder = L"\\Program Files\\PhatPad\\";
const LPCWSTR kControlLibrary = L"PhatPadCtl.dll";
const LPCWSTR kViewLibrary = L"PhatPadViewCtl.dll";

BOOL ReadFolder(LPCWSTR keyPath, CString* folder) {
  CRegKey key(HKEY_CURRENT_USER, keyPath, FALSE, FALSE);
  if (!key.IsOpen()) return FALSE;
  CString path = key.ValueExists(L"InstPath") ? key.QueryString(L"InstPath") : CString();
  if (path.IsEmpty()) path = kDefaultFolder;
  EnsureTrailingBackslash(path);
  if (folder) *folder = path;
  return TRUE;
}

BOOL FileExists(const CString& path) {
  const DWORD attributes = ::GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CPhatPad& CPhatPad::Instance() {
  static CPhatPad link;
  return link;
}

CPhatPad::~CPhatPad() {
  Unload();
  if (m_control) ::FreeLibrary(m_control);
}

BOOL CPhatPad::GetInstallPaths(CString* padFolder, CString* viewerFolder) {
  if (padFolder) padFolder->Empty();
  if (viewerFolder) viewerFolder->Empty();
  const BOOL pad = ReadFolder(kPadKey, padFolder);
  const BOOL viewer = ReadFolder(kViewerKey, viewerFolder);
  return pad || viewer;
}

BOOL CPhatPad::Load() {
  if (m_view && m_createView) return TRUE;
  Unload();
  CString padFolder, viewerFolder;
  GetInstallPaths(&padFolder, &viewerFolder);
  if (padFolder.IsEmpty() && viewerFolder.IsEmpty()) return FALSE;

  if (!m_control && !padFolder.IsEmpty()) m_control = ::LoadLibraryW(padFolder + kControlLibrary);
  if (!m_control && !viewerFolder.IsEmpty()) m_control = ::LoadLibraryW(viewerFolder + kControlLibrary);

  BOOL present = FALSE;
  if (!padFolder.IsEmpty()) {
    present = FileExists(padFolder + L"PhatPad.exe");
    m_view = ::LoadLibraryW(padFolder + kViewLibrary);
  }
  if (!viewerFolder.IsEmpty()) {
    if (!present) present = FileExists(viewerFolder + L"PhatPadViewer.exe");
    if (!m_view) m_view = ::LoadLibraryW(viewerFolder + kViewLibrary);
  }
  if (!present) {
    Unload();
    return FALSE;
  }
  m_createView =
      m_view ? reinterpret_cast<PFN_PHATPAD_CREATEVIEW>(reinterpret_cast<void*>(::GetProcAddress(m_view, "PhatPad_CreateView"))) : nullptr;
  return TRUE;
}

void CPhatPad::Unload() {
  m_createView = nullptr;
  if (!m_view) return;
  HMODULE view = m_view;
  m_view = nullptr;
  ::FreeLibrary(view);
  // The classes carry the module's handle; with the module gone their procedure is
  // gone too, so they must not outlive the last copy.
  if (!::GetModuleHandleW(kViewLibrary)) {
    ::UnregisterClassW(PHATPAD_FILE_VIEW_CLASS, view);
    ::UnregisterClassW(PHATPAD_PAGE_BROWSER_CLASS, view);
  }
}

BOOL CPhatPad::IsAvailable() {
  const BOOL loaded = Load();
  Unload();
  return loaded;
}

HWND CPhatPad::CreateView(PHATPAD_VIEW_RECORD* record) {
  if (!record || !Load() || !m_createView) return nullptr;
  LPCWSTR path = record->path;
  const BOOL withPath = path && *path;
  if (withPath) record->path = nullptr;
  HWND view = m_createView(record);
  if (!view || !withPath) return view;
  const LRESULT opened = ::SendMessageW(view, PHATPAD_MSG_OPEN, 0, reinterpret_cast<LPARAM>(path));
  if (opened == -1 || (opened & PHATPAD_OPEN_REFUSED) ||
      ::SendMessageW(view, PHATPAD_MSG_SHOW, 0, reinterpret_cast<LPARAM>(path)) != 0) {
    ::DestroyWindow(view);
    return nullptr;
  }
  return view;
}

BOOL CPhatPad::OpenFile(LPCWSTR parameters) {
  CString padFolder, viewerFolder;
  GetInstallPaths(&padFolder, &viewerFolder);
  CString program;
  if (!padFolder.IsEmpty()) program = padFolder + L"PhatPad.exe";
  else if (!viewerFolder.IsEmpty()) program = viewerFolder + L"PhatPadViewer.exe";
  else return FALSE;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  // An install folder whose program is gone must not leave the shell's error box
  // waiting for a person in the host's thread.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = program;
  info.lpParameters = parameters;
  info.nShow = SW_SHOWNORMAL;
  return LaunchProgram(&info);
}
