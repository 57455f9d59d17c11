// CTodayPanel: the plug-in's one window on the Today screen (or in the tab host). It
// takes over the placeholder's window, makes the tabs the user chose in the order
// the user saved, draws the tab strip, paints double-buffered over the Today
// background, answers the Today screen's height protocol and routes taps and keys
// to the strip or to the current tab.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/ScrollPanel.h"
#include "controls/VirtualRoot.h"
#include "panel/TodayPanelBase.h"
#include "platform/today/todaycmn.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

class CCategoriesList;
class CDib;

class CTodayPanel : public CTodayPanelBase, public CVirtualRoot {
 public:
  // The layout timer that moves the panel after the Today screen settled.
  static const UINT_PTR kLayoutTimer = static_cast<UINT_PTR>(-15);
  static const UINT kLayoutDelay = 1500;
  static const UINT kOldLayoutDelay = 400;
  // Return to the timeout tab after "TimeoutTime" seconds without a tap or key.
  static const UINT_PTR kInactivityTimer = static_cast<UINT_PTR>(-10);
  // Once per window, 2 s after the first activation: the forecast item, Ondrel.
  static const UINT_PTR kSovelTimer = static_cast<UINT_PTR>(-11);
  static const UINT_PTR kOndrelTimer = static_cast<UINT_PTR>(-14);
  static const UINT kFirstActivationDelay = 2000;
  // The clock: day, change time, minute and time-zone checks.
  static const UINT_PTR kClockTimer = static_cast<UINT_PTR>(-13);
  static const UINT kClockPeriod = 5000;
  // "TimeoutTime" default and bound (seconds), "TimeoutPanel" default (the Calendar's '1').
  static const DWORD kDefaultTimeout = 900;
  static const DWORD kMaxTimeout = 604800;
  static const WCHAR kDefaultTimeoutPanel = L'1';

  explicit CTodayPanel(int mode);
  ~CTodayPanel() override;

  // CTodayPanelBase.
  BOOL Attach(HWND window) override;
  HWND GetHwnd() const override { return m_window; }
  LRESULT OnCreate() override;
  LRESULT OnWindowPosChanged(WINDOWPOS* position) override;
  LRESULT OnActivateTab(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnSetCurrentPlugin(WPARAM wParam, LPARAM lParam) override;
  BOOL IsResourcesMissing() const override { return m_resourcesMissing; }

  // Root element operations.
  BOOL OnKey(DWORD key) override;
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override;
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnMouseMove(POINT* point) override;
  BOOL OnLButtonDblClk(POINT* point) override;
  void Paint(CTextRunList* context) override;

  // The tabs the settings ask for, each given the rectangle; selects the remembered
  // one (else the first).
  void CreateTabs(const RECT& rect);
  BOOL SelectTab(int index, BOOL remember);
  void DestroyTabs();
  void RebuildTabs();
  // The height the panel asks for, in device pixels.
  int GetCurrentHeight();
  void LoadHeights(BOOL reload);
  int GetMinHeight();
  void Layout(const RECT& content, BOOL force);
  // Moves the panel to rect (the parent's client co-ordinates), sized to fill the
  // scrolling owner when auto-size is on; TRUE when it moved.
  BOOL MovePanel(RECT rect, BOOL force);
  // The tab host's name of a tab's host tab; null for none.
  LPCWSTR GetTabHostName(int tabId) const;
  // Whole panel in one host tab (with its strip) or one host tab per tab; the tabs
  // are made again.
  void SetAllTabsInHost(BOOL on);

  // The height protocol's answers (the record as the host sends it, in wParam).
  LRESULT OnClearCache();
  LRESULT OnQueryRefreshCache(TODAYLISTITEM* item);

  int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
  CScrollPanel* GetTab(int index) const { return m_tabs[index]; }
  int GetCurrentIndex() const { return m_current; }
  CScrollPanel* GetCurrentTab() const { return m_current >= 0 ? m_tabs[m_current] : nullptr; }
  int GetPixelUnit() const { return m_pixelUnit; }
  BOOL IsHorizontal() const { return m_horizontal; }
  // The strip cell of a tab in client co-ordinates.
  RECT GetCellRect(int index) const;
  // Asks the Today screen for the selection (the window's focus off a Pocket PC).
  void RequestSelection();
  // The area the tabs fill (below or right of the strip).
  const RECT& GetContentRect() const { return m_content; }
  int GetStripHeight() const { return m_cellHeight; }
  BOOL HasStrip() const { return !(m_mode == 1 && !m_allTabsInHost); }

  // Clock: the variant time at which the shown content changes next (0 for none);
  // restarts the clock timer.
  void SetNextChangeTime(double time);
  void OnClockTimer();
  // Inactivity.
  void StartInactivityTimer(BOOL on);
  BOOL IsInactivityElapsed(BOOL rearm);
  void ReturnToTimeoutTab(BOOL force);
  void LoadTimeoutSettings(BOOL save);
  DWORD GetTimeout() const { return m_timeout; }
  WCHAR GetTimeoutPanel() const { return m_timeoutPanel; }
  BOOL IsInactivityRunning() const { return m_inactivityRunning; }
  // Notifications and settings.
  LRESULT OnSettingChange(WPARAM wParam);
  LRESULT OnDBNotification(WPARAM wParam, LPARAM lParam);
  LRESULT OnUpdateSettings(WPARAM wParam, LPARAM lParam);
  // The shell's file-change record (this process's, posted by the shell layer): the
  // storage card's coming and going, and file-change records for the note files.
  LRESULT OnShellChange(LPARAM lParam);
  void FirstActivation();
  // Input.
  BOOL OnChar(WCHAR ch);
  void ShowContextMenu(int x, int y);
  // The forecast item: unloads the one loaded, then (unless unloadOnly) loads
  // "SovelToday.dll" as a Today item inside the panel when the product is installed
  // and shows no Today window of its own. 1 when there is nothing more to do, 0 when
  // it could not be loaded.
  int LoadSovelItem(BOOL unloadOnly);
  HWND GetSovelWindow() const { return m_sovelWindow; }
  HMODULE GetSovelModule() const { return m_sovelModule; }
  // The element that gets the focus back when a popup closes.
  CVirtualWnd* GetRefocusElement() const { return m_refocus; }

 protected:
  BOOL OnHostTimer(UINT_PTR id) override;
  void PaintBackground(CTextRunList* context) override;
  LRESULT OnKeyDown(WPARAM wParam) override;
  void OnPaintMessage() override;

 private:
  // Reached through the panel's thunk: its first argument is the panel, not a window.
  static LRESULT CALLBACK WindowProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL HandlePanelMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The registered messages the panel answers itself; TRUE when message is one.
  // Their wParam and lParam are numbers only: any process may post them.
  BOOL HandleRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void Detach();
  // Writes the last automatic height of one orientation and keeps it for the height query.
  void StoreAutoHeight(class CRegKey& product, BOOL landscape, int height);
  LRESULT LayoutPass(const WINDOWPOS* position);
  void ComputeCellWidths();
  int CellAt(POINT point) const;
  void DrawCell(CTextRunList* context, int index);
  // The tab's strip icon on the key colour, ready to be laid over the strip; null when
  // it cannot be made.
  const CDib* GetStripPiece(int index, HICON icon, int width, int height);
  BOOL ProbeResources();
  BOOL ParentShowsScrollBar() const;
  // The window whose scroll range holds the panel: the Today screen, or in the tab host
  // the host's page two levels above the parent.
  HWND GetScrollOwner() const;
  // The layout timer: fixes the owner's scroll range where it is wrong, then fits the
  // panel to the owner; FALSE when the owner's children overlap and it must try again.
  BOOL FixScrollRange();
  void InvalidateStrip();
  BOOL IsLandscape() const;
  void RefreshAllTabs();
  // The tab index whose character is ch among the built-in and custom tabs, or -1.
  int FindTabByChar(WCHAR ch) const;
  BOOL HandleTimer(UINT_PTR id);
  void OnCaptureChangedMessage();
  void OnFocusMessage(BOOL gained);
  void SetCharCapture(BOOL on);
  BOOL IsDoubleTap(POINT point, DWORD time);

  int m_mode;
  BOOL m_resourcesMissing;
  HWND m_window;
  WNDPROC m_previous;
  // The window's procedure while the panel has it: it finds the panel without asking the
  // window (a property is a round trip to the window server, on every message).
  CProcThunk m_thunk;
  int m_pixelUnit;
  BOOL m_allTabsInHost;
  BOOL m_autoSize;
  BOOL m_newAutoAdjust;
  BOOL m_horizontal;
  BOOL m_wholeWidth;
  BOOL m_fullWidth;
  int m_cellWidth;
  int m_cellHeight;
  int m_screenWidth;
  int m_screenHeight;
  std::vector<CScrollPanel*> m_tabs;
  std::vector<int> m_cellWidths;
  // One per tab, made at its first paint and kept while the tab lives: making the
  // picture at every paint cost most of the panel's repaint.
  struct StripPiece {
    HICON icon = nullptr;
    std::unique_ptr<CDib> picture;
  };
  std::vector<StripPiece> m_stripPieces;
  int m_current;
  int m_pressedCell;
  int m_wantedHeight;
  int m_minHeight;
  int m_lastAutoHeight;
  // "LastAutoSize" and "LastAutoSizeL" as last read or written: the Today screen asks for
  // the height every two seconds, and that answer reads no registry.
  int m_storedAutoHeight[2];
  int m_logicalHeight;
  BOOL m_landscapeAtLoad;
  RECT m_parentRect;
  RECT m_panelRect;
  RECT m_ownerRect;
  RECT m_content;
  BOOL m_layoutNeeded;
  BOOL m_parentScrollBar;
  // Set while the layout timer moves the panel: that move starts no new layout timer.
  BOOL m_fixingScroll;
  BOOL m_receivedSelection;
  BOOL m_stripFocus;
  int m_keyboardSupport;
  BOOL m_resourcesProbed;
  UINT m_updateSettings;
  UINT m_todayUpdated;
  UINT m_showMessage;
  UINT m_uiMetricChange;
  UINT m_selectEmailAccount;
  UINT m_activateTab;
  UINT m_setCurrentPlugin;
  UINT m_calendarClosed;
  UINT m_fileChange;
  UINT m_emailListChanged;
  UINT m_sovelUnload;
  UINT m_pellamChanged;
  // Clock.
  double m_lastDay;
  double m_lastMinute;
  double m_nextChange;
  LONG m_bias;
  // Inactivity.
  DWORD m_timeout;
  WCHAR m_timeoutPanel;
  double m_inactivityStart;
  BOOL m_inactivityRunning;
  // The height query's last look at the clock for the timeout (running time), if any
  // since the timer last started.
  BOOL m_inactivityLooked;
  DWORD m_inactivityLookTick;
  BOOL m_firstActivationDone;
  // Taps.
  BOOL m_hasLastUp;
  DWORD m_lastUpTime;
  POINT m_lastUpPoint;
  DWORD m_lastMoveTime;
  CVirtualWnd* m_refocus;
  BOOL m_charCaptured;
  // The forecast item; its record lives as long as the item may keep its address.
  HMODULE m_sovelModule;
  HWND m_sovelWindow;
  TODAYLISTITEM m_sovelItem;
  // The device's categories for the tabs' filters, names, colours and icons, made
  // with the window and gone with it; their database changes come to the window.
  std::unique_ptr<CCategoriesList> m_categories;
};
