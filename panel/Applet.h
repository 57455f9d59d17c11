// IApplet: one applet the tab host places on its pages, and IAppletKind, the kind
// that makes them. The contacts folder implements both and installs the kind with
// SetAppletKind; the applet host only keeps and forwards.
#pragma once
#include <windows.h>

class IApplet {
 public:
  virtual ~IApplet() = default;
  virtual BOOL Init(HWND host) = 0;
  virtual BOOL GetSize(SIZE* size) = 0;
  virtual BOOL Paint(const RECT& rect, HDC dc) = 0;
  virtual BOOL OnClick(int x, int y) = 0;
  // The text lives as long as the applet or until its next call.
  virtual LPCWSTR GetDescription() = 0;
  // size in/out as the export's; FALSE when the buffer is too small.
  virtual BOOL GetData(BYTE* buffer, DWORD* size) = 0;
  // Whether a contact is bound; BindContact hands one over by its text.
  virtual BOOL HasContact() = 0;
  virtual void BindContact(LPCWSTR text, int flags) = 0;
};

class IAppletKind {
 public:
  // Null when the data makes no applet.
  virtual IApplet* CreateFromData(const BYTE* data, DWORD size) = 0;
  // The user's choice in the creation dialog; null when cancelled.
  virtual IApplet* CreateWithDialog(HWND host) = 0;
  virtual HICON GetIcon() = 0;
  // The contacts list's notification window, and its closing when the last applet
  // goes without a panel.
  virtual void SetContactsNotifyWindow(HWND window) = 0;
  virtual void CloseContacts() = 0;

 protected:
  ~IAppletKind() = default;
};

// Returns the previous kind; null: none (no applet can be made).
IAppletKind* SetAppletKind(IAppletKind* kind);
IAppletKind* GetAppletKind();
