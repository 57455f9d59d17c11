// CAppletManager: the tab host's live applets and the host window. While applets
// live without a panel, a hidden window of its own takes the contacts database's
// notifications, so the applets' contacts stay current.
#pragma once
#include <windows.h>

#include <vector>

#include "panel/Applet.h"

class CAppletManager {
 public:
  static CAppletManager& Instance();
  CAppletManager() = default;
  ~CAppletManager();
  CAppletManager(const CAppletManager&) = delete;
  CAppletManager& operator=(const CAppletManager&) = delete;

  // Each appends the applet made; null when the kind made none.
  IApplet* Create(const BYTE* data, DWORD size);
  IApplet* ShowCreateDialog(HWND host);
  BOOL Init(IApplet* applet, HWND host);
  // Deletes the applet even when it is not one of ours; the last one going ends the
  // hidden window and, without a panel, the contacts list.
  BOOL Delete(IApplet* applet);
  HICON GetIcon();
  // The description's full length in characters; it is copied, terminated, only when
  // the buffer holds it with its zero, else the buffer is left alone.
  int GetDescription(IApplet* applet, LPWSTR buffer, int length);
  DWORD GetData(IApplet* applet, BYTE* buffer, DWORD* size);

  // The panel's window is going: while applets live, the hidden window takes the
  // contacts database's notices from here on.
  void OnPanelDestroying();

  HWND IsAppletWindowAlive() const;
  HWND GetHostWindow() const { return m_host; }
  BOOL HasUnboundApplet();
  BOOL BindFirstUnboundApplet(LPCWSTR text);
  // Whether the handle names a live applet of ours (the host hands handles back).
  BOOL IsLive(const IApplet* applet) const;
  int GetCount() const { return static_cast<int>(m_applets.size()); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static BOOL IsPanelAlive();
  IApplet* Append(IApplet* applet);
  void DestroyWindowIfAny();
  void EnsureWindow(HWND host);

  HWND m_window = nullptr;
  HWND m_host = nullptr;
  std::vector<IApplet*> m_applets;
};
