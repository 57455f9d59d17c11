// The options program's main window: the list of the nine sections, the menu bar
// with export, import and About, the place open-section requests and a later
// start's command line arrive, and the one notification of the plug-in at exit.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/windowlib/FrameWindowImpl.h"
#include "platform/windowlib/MessageLoop.h"
#include "settings/shell/CommandLine.h"
#include "pim/CategoriesList.h"
#include "settings/shell/SingleInstance.h"

#define ID_EXPORT_SETTINGS 40019
#define ID_IMPORT_SETTINGS 40020
#define ID_SETTINGS_ABOUT 57664
#define ID_SETTINGS_CLOSE 57665
#define ID_SETTINGS_IDLE 57600

const int kSectionCount = 9;
// The category icons section: a dialog of its own, not a sheet.
const UINT kCategoryIconsSection = 7;

// Runs one section modally over parent and returns its result (0: nothing changed).
// The pages library sets it; without one, sections open nothing.
using SectionRunner = INT_PTR (*)(UINT section, int page, HWND parent);
void SetSectionRunner(SectionRunner runner);

// How the exit notification reaches the desktop window; tests replace it.
using DesktopSender = LRESULT (*)(HWND desktop, UINT message, WPARAM wParam, LPARAM lParam);
DesktopSender SetDesktopSender(DesktopSender sender);

class CMainWnd : public CFrameWindowImpl<CMainWnd>, public CMessageFilter {
 public:
  DECLARE_WND_CLASS_EX(SETTINGS_INSTANCE_NAME, 0, COLOR_WINDOW)

  // Style 0 means WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN. Title text and
  // accelerator table 32838 of the resource library.
  HWND CreateMainWindow(HWND parent, const RECT& rect, DWORD style = 0, DWORD exStyle = 0);

  // Opens section 0 to 8 at a page and waits for it; other sections are ignored,
  // and so is a request while a section is open (see OpenSectionOver).
  virtual void OpenSection(UINT section, int page);
  // Sends the open-section request to window while a section is open: the one way
  // a page opens a second section over its own sheet.
  static void OpenSectionOver(HWND window, UINT section, int page);
  BOOL IsSectionOpen() const { return m_openSections > 0; }

  // Set when the plug-in must reload its settings when the program ends.
  BOOL IsChanged() const { return m_changed; }
  void SetChanged(BOOL changed) { m_changed = changed; }
  // Pages set these: the plug-in must reload its settings (sent as the update
  // message's lParam), or the shell must reload its Today items (wins over it).
  LONG GetUpdatePending() const { return m_updatePending; }
  void SetUpdatePending(LONG pending) { m_updatePending = pending; }
  BOOL IsFullRefresh() const { return m_fullRefresh; }
  void SetFullRefresh(BOOL refresh) { m_fullRefresh = refresh; }

  // The full refresh to the desktop window, or the update message posted to the
  // plug-in's notification window; FALSE when there is no such window.
  BOOL NotifyPluginSettingsChanged(WPARAM wParam);

  HWND GetSectionList() const { return m_list; }
  HWND GetMenuBar() const { return m_menuBar; }

  void OnExportSettings();
  void OnImportSettings();
  void OnAbout();

  BOOL PreTranslateMessage(MSG* msg) override { return CFrameWindowImpl<CMainWnd>::PreTranslateMessage(msg); }

  BEGIN_MSG_MAP(CMainWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_OPENSECTION, OnOpenSection)
    MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    MESSAGE_HANDLER(WM_DBNOTIFICATION, OnDbNotification)
    COMMAND_ID_HANDLER(ID_EXPORT_SETTINGS, OnCommand)
    COMMAND_ID_HANDLER(ID_IMPORT_SETTINGS, OnCommand)
    COMMAND_ID_HANDLER(ID_SETTINGS_ABOUT, OnCommand)
    COMMAND_ID_HANDLER(ID_SETTINGS_CLOSE, OnCommand)
    COMMAND_ID_HANDLER(IDOK, OnCommand)
    COMMAND_ID_HANDLER(ID_SETTINGS_IDLE, OnCommand)
    CHAIN_MSG_MAP(CFrameWindowImpl<CMainWnd>)
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnOpenSection(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnDbNotification(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCommand(WORD, WORD id, HWND, BOOL&);
  void CreateMenuBar();
  void FillSectionList();

  HWND m_menuBar = nullptr;
  HWND m_list = nullptr;
  HIMAGELIST m_images = nullptr;
  HFONT m_boldFont = nullptr;
  HFONT m_initialFont = nullptr;
  BOOL m_changed = FALSE;
  LONG m_updatePending = 0;
  BOOL m_fullRefresh = FALSE;
  UINT m_updateMessage = 0;
  int m_openSections = 0;
  CCategoriesList m_categories;
};

// The one main window while the program's message loop runs, else null.
CMainWnd* GetMainWindow();
void SetMainWindow(CMainWnd* window);
