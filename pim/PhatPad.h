// CPhatPad: the link to PhatPad, another vendor's drawing and handwriting program,
// and to its free viewer: their install folders, the view library that shows a
// drawing inside the note viewer, and starting the program with a file.
#pragma once
#include <windows.h>

#include "platform/phatpad/phatpad.h"
#include "platform/windowlib/String.h"

class CPhatPad {
 public:
  static CPhatPad& Instance();

  CPhatPad() = default;
  virtual ~CPhatPad();
  CPhatPad(const CPhatPad&) = delete;
  CPhatPad& operator=(const CPhatPad&) = delete;

  // The folders (with their final "\") from "InstPath" of PhatPad's and the viewer's
  // keys; a key that exists without the value gives "\Program Files\PhatPad\". The
  // keys are only read: they belong to the other program. TRUE when either is known.
  BOOL GetInstallPaths(CString* padFolder, CString* viewerFolder);
  // Loads the libraries and binds the view entry; TRUE when PhatPad or its viewer is
  // installed (the entry may still be missing). Does nothing while loaded and bound.
  BOOL Load();
  // Frees the view library; its window classes go with the last copy in the process.
  void Unload();
  // Load, then Unload: whether PhatPad or its viewer is installed.
  BOOL IsAvailable();
  // The view for the record, its file opened and shown; null when the view library
  // or its entry is missing or the view refuses the file.
  HWND CreateView(PHATPAD_VIEW_RECORD* record);
  // Starts PhatPad (else the viewer) with the parameters.
  BOOL OpenFile(LPCWSTR parameters);

  BOOL IsViewBound() const { return m_createView != nullptr; }

 private:
  HMODULE m_control = nullptr;  // kept while the link lives
  HMODULE m_view = nullptr;
  PFN_PHATPAD_CREATEVIEW m_createView = nullptr;
};
