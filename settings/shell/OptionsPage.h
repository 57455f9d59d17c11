// COptionsPage<T>: the property page under every options page. T is the page logic
// (enum { IDD = template }, OnInitPage and OnApply, and as it needs: DrawPreview,
// OnReset, OnSetActive, OnKillActive, UpdateLayout, GetHelpTopic); the template binds
// the page dialog, draws the caption strip, fills and translates the template's
// texts, and maps the sheet's notifications onto T.
//
// T's own message map chains to COptionsPage<T> (CHAIN_MSG_MAP); where T has none,
// the page's map answers alone.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/DialogImpl.h"
#include "platform/windowlib/PaintDC.h"
#include "platform/windowlib/String.h"
#include "settings/shell/PageServices.h"

// The shell's code for a screen that was rotated or resized.
const WPARAM kScreenResetCode = 0x3002;

class COptionsPageBase : public CDialogImplBase {
 public:
  PROPSHEETPAGEW& GetPropSheetPage() { return m_page; }
  UINT GetTemplateId() const { return m_templateId; }
  // The tab title; translated, empty when the template has no caption.
  const CString& GetTitle() const { return m_title; }
  void SetTitle(LPCWSTR text);
  BOOL IsInitialising() const { return m_initialising; }

 protected:
  // The title comes from the template's caption unless one is given.
  COptionsPageBase(UINT templateId, LPCWSTR title);
  void InitPropSheetPage();

  // The parts of the page's answers that do not depend on the page logic.
  void BeginInitDialog();
  void EndInitDialog();
  // After the page is filled: one layout pass, as after a screen rotation.
  void PostScreenReset();
  // The deferred screen reset where the platform does not post WM_SETTINGCHANGE.
  static UINT GetDeferredResetMessage();
  // Sets *lParam's first character to 0 when lParam points to writable memory.
  static LRESULT ClearTextAt(LPARAM lParam);
  // The sheet's caption over the page, moved up by the page's scroll position.
  void PaintHeader(HDC dc);
  BOOL IsFromSheetOrPage(const NMHDR* header) const;

  BOOL m_inSetActive = FALSE;
  BOOL m_initialising = FALSE;

 private:
  UINT m_templateId;
  CString m_title;
  PROPSHEETPAGEW m_page;
};

template <class T>
class COptionsPage : public COptionsPageBase {
 public:
  explicit COptionsPage(LPCWSTR title = nullptr) : COptionsPageBase(T::IDD, title) {}

  // Defaults of the optional hooks; T hides the ones it has.
  void DrawPreview(HDC) {}
  void OnReset() {}
  BOOL OnKillActive() { return TRUE; }
  void UpdateLayout() {}
  LPCWSTR GetHelpTopic() { return nullptr; }
  BOOL OnSetActive() {
    if (m_inSetActive) return TRUE;
    m_inSetActive = TRUE;
    static_cast<T*>(this)->UpdateLayout();
    m_inSetActive = FALSE;
    return TRUE;
  }

  BEGIN_MSG_MAP(COptionsPage)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_HANDLER(GetDeferredResetMessage(), OnDeferredReset)
    MESSAGE_HANDLER(0x0062, OnAnswerOne)
    MESSAGE_HANDLER(0x0004, OnClearText)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    CPaintDC dc(m_hWnd);
    static_cast<T*>(this)->DrawPreview(dc);
    PaintHeader(dc);
    return 0;
  }

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    BeginInitDialog();
    LRESULT result = static_cast<T*>(this)->OnInitPage();
    PostScreenReset();
    EndInitDialog();
    return result;
  }

  LRESULT OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam == kScreenResetCode) static_cast<T*>(this)->UpdateLayout();
    handled = FALSE;  // the page's own map and the dialog manager see it too
    return 0;
  }

  LRESULT OnDeferredReset(UINT, WPARAM, LPARAM, BOOL&) {
    ::SendMessageW(m_hWnd, WM_SETTINGCHANGE, kScreenResetCode, 0);
    return 0;
  }

  LRESULT OnAnswerOne(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnClearText(UINT, WPARAM, LPARAM lParam, BOOL&) { return ClearTextAt(lParam); }

  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (m_initialising || !IsFromSheetOrPage(header)) {
      handled = FALSE;
      return 0;
    }
    T* page = static_cast<T*>(this);
    switch (header->code) {
      case PSN_SETACTIVE:
        return page->OnSetActive() ? 0 : -1;
      case PSN_KILLACTIVE:
        return page->OnKillActive() ? 0 : 1;
      case PSN_APPLY:
        return page->OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      case PSN_RESET:
        page->OnReset();
        return 0;
      case PSN_HELP:
        ShowHelpTopic(page->GetHelpTopic());
        return 0;
      case PSN_WIZBACK:
      case PSN_WIZNEXT:
      case PSN_WIZFINISH:
      case PSN_QUERYCANCEL:
        return 0;
      default:
        handled = FALSE;
        return 0;
    }
  }
};
