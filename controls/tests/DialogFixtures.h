// Running the library's modal dialogs headless: the resource library as the
// resource instance, an owner window, and a script run inside each dialog right
// after its initialisation (it acts, pumps, checks and ends the dialog).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "base/tests/ResourceLibraryScope.h"
#include "platform/windowlib/DialogImpl.h"
#include "platform/windowlib/Module.h"

namespace dlgtest {

// Delivers what is queued for this thread's windows (the dialog's own loop has
// not started while a script runs).
inline void Pump() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// TarvoRes.Dll beside the test program as the resource instance, the common
// controls ready, and a hidden owner window.
class DialogEnvironment {
 public:
  DialogEnvironment() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES | ICC_TREEVIEW_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    m_owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  }
  ~DialogEnvironment() {
    CDialogImplBase::SetModalHook(nullptr, nullptr);
    if (m_owner) DestroyWindow(m_owner);
  }
  DialogEnvironment(const DialogEnvironment&) = delete;
  DialogEnvironment& operator=(const DialogEnvironment&) = delete;

  HMODULE Module() const { return m_resources.Module(); }
  HWND Owner() const { return m_owner; }

 private:
  CResourceLibraryScope m_resources;
  HWND m_owner;
};

using Script = std::function<void(HWND dialog)>;

// Runs run() (a DoModal) with script inside the dialog. A dialog the script
// leaves open is cancelled, so a failing script never hangs the test.
template <class Run>
INT_PTR RunModal(Run run, Script script) {
  struct Context {
    Script script;
    int calls = 0;
  } context{std::move(script)};
  CDialogImplBase::SetModalHook(
      [](HWND dialog, void* data) {
        auto* c = static_cast<Context*>(data);
        ++c->calls;
        if (c->calls > 1) return;  // a nested dialog is not scripted
        c->script(dialog);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      &context);
  INT_PTR result = run();
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  return result;
}

// What a tap on a check box tells its dialog.
inline void ClickCheck(HWND dialog, int id, BOOL checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A combo box selection made by the user.
inline void ChooseComboItem(HWND dialog, int id, int item) {
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, item, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// What a date or time picker tells its dialog (DTN_DATETIMECHANGE, DTN_DROPDOWN).
inline void NotifyPicker(HWND dialog, int id, UINT code) {
  NMDATETIMECHANGE change = {};
  change.nmhdr.hwndFrom = GetDlgItem(dialog, id);
  change.nmhdr.idFrom = id;
  change.nmhdr.code = code;
  change.dwFlags = GDT_VALID;
  SendMessageW(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&change));
}

inline void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

inline std::wstring WindowText(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

// The owner of a running modal dialog: disabled, and still disabled after the
// dialog's background was erased.
inline void ExpectOwnerDisabledThroughErase(HWND dialog, HWND owner, bool& stayedDisabled) {
  const bool before = !IsWindowEnabled(owner);
  HDC dc = GetDC(dialog);
  SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(dialog, dc);
  stayedDisabled = before && !IsWindowEnabled(owner);
}

}  // namespace dlgtest
