// COptionsSheet<S>: the property sheet of every options section. A section sheet
// constructs its pages, adds them in page order (the order "-p<section>:<page>"
// counts), and runs modally; on the device the sheet is maximised, its own title line
// stays empty and each page draws the caption itself.
#pragma once
#include <windows.h>
#include <prsht.h>

#include "platform/aygshell/CeControls.h"
#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"
#include "settings/shell/OptionsPage.h"

// The menu bars of the section sheets.
const UINT kSheetMenuBar = 125;
const UINT kTasksSheetMenuBar = 203;

class COptionsSheetBase : public CWindowImplBase {
 public:
  ~COptionsSheetBase() override;

  // The caption while the sheet runs (PSM_SETTITLE), else for the next run.
  void SetTitle(LPCWSTR text, UINT flags = 0);
  BOOL AddPage(COptionsPageBase& page);
  // PropertySheet's result: 1 after OK, 0 after Cancel, -1 when it could not run.
  INT_PTR DoModal(HWND parent = nullptr);

  HWND GetMenuBar() const { return m_menuBar; }
  const PROPSHEETHEADERW& GetHeader() const { return m_header; }
  void SetMenuBarId(UINT id) { m_menuBarId = id; }
  UINT GetMenuBarId() const { return m_menuBarId; }
  void SetStartPage(UINT page) { m_header.nStartPage = page; }
  void SetLinkText(LPCWSTR text);

  // The seam tests drive sheets through: called with each sheet of this thread once
  // it is set up (menu bar made, texts translated), inside its modal run. Null
  // removes it.
  using RunHook = void (*)(COptionsSheetBase& sheet, void* context);
  static void SetRunHook(RunHook hook, void* context);

  BEGIN_MSG_MAP(COptionsSheetBase)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

 protected:
  COptionsSheetBase(LPCWSTR caption, UINT startPage, HWND parent, PFNPROPSHEETCALLBACK callback);
  // What every sheet answers: at PSCB_INITIALIZED the pending sheet object binds the
  // sheet window; PSCB_GETLINKTEXT copies the link text once.
  static int CommonSheetCallback(HWND sheet, UINT message, LPARAM lParam);

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  void FreePageHandles(BOOL destroy);

  PROPSHEETHEADERW m_header;
  CSimpleValArray<HPROPSHEETPAGE> m_pages;
  WCHAR m_linkText[128];
  CString m_caption;
  HWND m_menuBar = nullptr;
  UINT m_menuBarId = kSheetMenuBar;
};

template <class S>
class COptionsSheet : public COptionsSheetBase {
 public:
  explicit COptionsSheet(LPCWSTR caption = nullptr, UINT startPage = 0, HWND parent = nullptr)
      : COptionsSheetBase(caption, startPage, parent, SheetCallback) {}

  static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) {
    if (message == PSCB_GETVERSION) return 0x020C;
    if (message == PSCB_GETTITLE) {
      // The pages draw the caption; the sheet's own title line stays empty.
      if (lParam) *reinterpret_cast<WCHAR*>(lParam) = L'\0';
      return 0;
    }
    int result = CommonSheetCallback(sheet, message, lParam);
    if (message == PSCB_INITIALIZED) ::PostMessageW(sheet, WM_INITDIALOG, 0, 0);
    return result;
  }
};
