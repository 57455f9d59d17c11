// ITabPlugin: what a Today item's library offers when it draws the icon of the
// custom tab that hosts it. The library exports "GetSmartPluginInterface"; the
// interface is reference counted like any COM object, and the host calls only
// Release and the three operations after it, in this order of slots.
#pragma once
#include <windows.h>
#include <unknwn.h>

class ITabPlugin : public IUnknown {
 public:
  // Whether the plug-in will draw the tab's icon of width x height for the tab
  // with identifier character tabChar; host is the panel's window.
  virtual bool STDMETHODCALLTYPE Init(HWND host, int width, int height, WCHAR tabChar) = 0;
  // Draws the icon into dc, which has bitmap selected, inside rect.
  virtual void STDMETHODCALLTYPE DrawIcon(HDC dc, HBITMAP bitmap, const RECT* rect, BOOL selected) = 0;
  // The host laid its items out again.
  virtual void STDMETHODCALLTYPE Refresh() = 0;
};

// The export: the item's key name and where the interface goes; a negative result
// or a null interface means no plug-in.
#define TAB_PLUGIN_EXPORT "GetSmartPluginInterface"
typedef HRESULT(STDMETHODCALLTYPE* PFN_GET_SMART_PLUGIN_INTERFACE)(LPCWSTR itemName, ITabPlugin** plugin);
