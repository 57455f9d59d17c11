// The options program's main window: where open-section requests, the command line
// of a later start and the export and import commands arrive.
#pragma once
#include <windows.h>

#include "platform/windowlib/FrameWindowImpl.h"
#include "platform/windowlib/MessageLoop.h"
#include "settings/shell/CommandLine.h"
#include "settings/shell/SingleInstance.h"

#define ID_EXPORT_SETTINGS 40019
#define ID_IMPORT_SETTINGS 40020

class CMainWnd : public CFrameWindowImpl<CMainWnd>, public CMessageFilter {
 public:
  DECLARE_WND_CLASS_EX(SETTINGS_INSTANCE_NAME, 0, COLOR_WINDOW)

  // Style 0 means WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN. Title text and
  // accelerator table 32838 of the resource library.
  HWND CreateMainWindow(HWND parent, const RECT& rect, DWORD style = 0, DWORD exStyle = 0);

  // Opens section 0 to 8 at a page; other sections are ignored.
  virtual void OpenSection(int section, int page);

  // Set when the plug-in must reload its settings when the program ends.
  BOOL IsChanged() const { return m_changed; }
  void SetChanged(BOOL changed) { m_changed = changed; }

  void OnExportSettings();
  void OnImportSettings();

  BOOL PreTranslateMessage(MSG* msg) override { return CFrameWindowImpl<CMainWnd>::PreTranslateMessage(msg); }

  BEGIN_MSG_MAP(CMainWnd)
    MESSAGE_HANDLER(WM_OPENSECTION, OnOpenSection)
    MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
    COMMAND_ID_HANDLER(ID_EXPORT_SETTINGS, OnCommand)
    COMMAND_ID_HANDLER(ID_IMPORT_SETTINGS, OnCommand)
    CHAIN_MSG_MAP(CFrameWindowImpl<CMainWnd>)
  END_MSG_MAP()

 private:
  LRESULT OnOpenSection(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCommand(WORD, WORD id, HWND, BOOL&);

  BOOL m_changed = FALSE;
};

// The one main window while the program's message loop runs, else null.
CMainWnd* GetMainWindow();
void SetMainWindow(CMainWnd* window);
