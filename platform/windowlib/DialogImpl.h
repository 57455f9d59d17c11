// Dialog objects: a C++ object bound to its dialog the same way window
// objects are (pending creation, then a thunk as the dialog procedure set with
// SetWindowLongPtrW(DWLP_DLGPROC)). Templates come from the module object's
// resource instance.
#pragma once

#include "platform/windowlib/WindowImpl.h"

#include <windows.h>
#include <prsht.h>

class CDialogImplBase : public CWindowImplRoot {
public:
  CDialogImplBase() = default;
  ~CDialogImplBase() override;

  // The procedure the thunk calls.
  virtual DLGPROC GetDialogProc() { return DialogProc; }

  // Modal: the dialog's end code, or -1 when the dialog could not be made.
  INT_PTR DoModal(UINT templateId, HWND hWndParent, LPARAM initParam = 0);
  // Modeless: the dialog window, or null.
  HWND Create(UINT templateId, HWND hWndParent, LPARAM initParam = 0);
  // Ends a modal dialog with its end code.
  BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
  BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }

  // A property-sheet page run by this object: the page record gets the start
  // procedure, the creation callback and this object as lParam. The
  // callback registers the object as pending when the page is about to be
  // created; the page dialog's first message binds it.
  void InitPropSheetPage(PROPSHEETPAGEW& page);
  static UINT CALLBACK PropPageCallback(HWND hWnd, UINT uMsg, PROPSHEETPAGEW* page);

  // The seam through which tests drive modal dialogs: when set, the hook is
  // called with each modal dialog of this thread right after its
  // WM_INITDIALOG, and may press its buttons or end it. Null removes it.
  using ModalHook = void (*)(HWND hDialog, void* context);
  static void SetModalHook(ModalHook hook, void* context);

  static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Reached through the thunk: its first argument is the object, not a window.
  // A handled message's result goes to DWLP_MSGRESULT, except for the
  // messages whose result is the procedure's return value.
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

private:
  bool m_modal = false;
};

// T supplies enum { IDD = template id } and a message map.
template <class T, class TBase = CDialogImplBase>
class CDialogImpl : public TBase {
public:
  INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM initParam = 0) {
    return TBase::DoModal(T::IDD, hWndParent, initParam);
  }
  HWND Create(HWND hWndParent, LPARAM initParam = 0) { return TBase::Create(T::IDD, hWndParent, initParam); }
};
