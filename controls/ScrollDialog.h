// The full-screen dialogs of the library: a template of the resource library, the
// shell's menu bar, a caption header that scrolls away with the contents, the
// list and combo texts of the dialog's companion data (type 240), translation.
//
// A dialog T derives from CScrollDialog<T>, chains its map to it after its own
// entries and gives:
//   enum { IDD = template, kMenuBarId = menu (0: an empty bar), kInitDataId = data };
//   BOOL OnFill();   // its own fill step; FALSE leaves the focus alone
//   void OnOK();     // IDOK
#pragma once
#include <windows.h>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/DialogBase.h"
#include "controls/MenuUtils.h"
#include "controls/WindowUtils.h"
#include "graphics/FontCache.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/Module.h"
#include "platform/windowlib/PaintDC.h"
#include "platform/windowlib/String.h"

// The header's height in logical pixels.
constexpr int kCaptionHeaderHeight = 23;
// Answered with 1 by the library's dialogs (a device-only query of the shell).
constexpr UINT WM_SHELL_DIALOG_QUERY = 0x62;

// Sends the add-string records of a companion data block to the dialog's list and
// combo boxes: records {control (16 bits), message (16 bits), byte count (32 bits,
// little-endian), bytes}, ending at control 0 or at the end of the block. 0x401 is
// sent as LB_ADDSTRING, 0x403 as CB_ADDSTRING; other messages are skipped. Each text
// is sent as a terminated copy. A record running past the block, or a control
// answering -1, ends the list. The number of texts added.
int ApplyDialogInitRecords(HWND dialog, const BYTE* data, DWORD size);
// The same for resource type 240 id of instance; 0 when there is none.
int ApplyDialogInitData(HWND dialog, HINSTANCE instance, UINT id);

// The shell's menu bar for dialog: menu id of the resource instance (flags
// SHCMBF_HMENU), or an empty bar for menu 0. The bar, or null.
HWND CreateDialogMenuBar(HWND dialog, UINT menuId);
// Full screen, the OK button, the input panel down.
BOOL InitFullScreenDialog(HWND dialog);

// Keeps the dialog's top at least 50 logical pixels above the bottom of the
// desktop window: a dialog below that line is moved up to it, size kept.
void PlaceDialogAboveSip(HWND dialog);

// The header strip to repaint when the shell scrolls the dialog from old to new
// (empty when the header is out of sight at both positions).
RECT CaptionHeaderStrip(int clientWidth, int oldPosition, int newPosition);

template <class T, class TBase = CDialogBase>
class CScrollDialog : public TBase {
 public:
  explicit CScrollDialog(LPCWSTR caption = nullptr) : m_caption(caption ? caption : L"") {}

  INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM param = 0) {
    return TBase::DoModal(T::IDD, parent, param);
  }

  const CString& GetCaption() const { return m_caption; }
  void SetCaption(LPCWSTR caption) { m_caption = caption ? caption : L""; }
  int GetScrollPosition() const { return m_scrollPosition; }

  BEGIN_MSG_MAP(CScrollDialog)
    MESSAGE_HANDLER(WM_HELP, OnHelp)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SHELL_DIALOG_QUERY, OnShellQuery)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    if (m_scrollMessage && uMsg == m_scrollMessage) {
      lResult = OnScrollMessage(wParam);
      return TRUE;
    }
    // WM_ERASEBKGND is left to the dialog manager: the owner of a modal dialog
    // stays disabled until the dialog ends.
    COMMAND_ID_HANDLER(IDOK, OnOKCommand)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancelCommand)
  END_MSG_MAP()

 protected:
  LRESULT OnHelp(UINT, WPARAM, LPARAM, BOOL&) {
    ShowHelp(L"");
    return TRUE;
  }

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    CPaintDC dc(this->m_hWnd);
    WCHAR text[256] = L"";
    ::GetWindowTextW(this->m_hWnd, text, ARRAYSIZE(text));
    DrawCaptionBar(dc.m_hDC, text, ScaleY(kCaptionHeaderHeight), -m_scrollPosition);
    return 0;
  }

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    HWND dialog = this->m_hWnd;
    m_scrollMessage = ::RegisterWindowMessageW(PPCD_SCROLLMESSAGE);
    CreateDialogMenuBar(dialog, T::kMenuBarId);
    InitFullScreenDialog(dialog);
    if (!m_caption.IsEmpty()) ::SetWindowTextW(dialog, m_caption);
    ApplyDialogFonts(GetFontCache(), dialog);
    ApplyDialogInitData(dialog, GetModule().GetResourceInstance(), T::kInitDataId);
    const BOOL filled = static_cast<T*>(this)->OnFill();
    GetTranslator().TranslateDialog(dialog);
    TranslateMenuBar(GetTranslator(), dialog, 0);
    if (filled) {
      HWND first = ::GetWindow(dialog, GW_CHILD);
      if (first) ::SetFocus(first);
    }
    return FALSE;  // the focus is set here
  }

  LRESULT OnShellQuery(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

  LRESULT OnScrollMessage(WPARAM position) {
    const int newPosition = static_cast<int>(position);
    if (newPosition != m_scrollPosition) {
      RECT client{};
      ::GetClientRect(this->m_hWnd, &client);
      RECT strip = CaptionHeaderStrip(client.right, m_scrollPosition, newPosition);
      m_scrollPosition = newPosition;
      if (!::IsRectEmpty(&strip)) ::InvalidateRect(this->m_hWnd, &strip, TRUE);
    }
    return 0;
  }

  LRESULT OnOKCommand(WORD, WORD, HWND, BOOL&) {
    static_cast<T*>(this)->OnOK();
    return 0;
  }
  LRESULT OnCancelCommand(WORD, WORD, HWND, BOOL&) {
    this->EndDialog(IDCANCEL);
    return 0;
  }

  CString m_caption;
  UINT m_scrollMessage = 0;
  int m_scrollPosition = 0;
};
