// Whether PhatWare's pen-note program (PhatPad) or its viewer is installed, and its
// view library with the export "PhatPad_CreateView" once loaded. The install folders
// come from HKCU "Software\PhatWare\PhatPad" and "...\PhatPad Viewer", value
// "InstPath"; a key that is missing means that program is not there. The other
// vendor's keys are only read, never written.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CPhatPadViewer {
 public:
  CPhatPadViewer() = default;
  ~CPhatPadViewer() { Unload(); }
  CPhatPadViewer(const CPhatPadViewer&) = delete;
  CPhatPadViewer& operator=(const CPhatPadViewer&) = delete;

  // The process's one object, built on first use and destroyed at exit.
  static CPhatPadViewer& Instance();

  // TRUE when PhatPad or its viewer is installed (its program is in its folder).
  BOOL Load();
  // Frees the view library; when no copy of it is left in the process, its window
  // classes go too.
  void Unload();
  // Load, and unload again when it succeeded; the load's answer.
  BOOL IsPresent();

  // An install folder with its "\" at the end: the value, else the default when
  // only the key exists, else empty.
  static CString ReadInstallFolder(LPCWSTR keyPath);

  HMODULE GetViewLibrary() const { return m_view; }
  FARPROC GetCreateView() const { return m_createView; }
  const CString& GetPhatPadFolder() const { return m_phatPadFolder; }
  const CString& GetViewerFolder() const { return m_viewerFolder; }

 private:
  HMODULE m_view = nullptr;
  FARPROC m_createView = nullptr;
  CString m_phatPadFolder;
  CString m_viewerFolder;
};
