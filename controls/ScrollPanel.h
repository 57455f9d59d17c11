// CScrollPanel: the element every tab of the panel is made of: a header strip, an
// optional bottom strip, the content between them with a scroll bar at its right
// edge, a context menu and the tab's icons. The virtual operations after the
// element's own are what the hosting panel asks a tab. COpenSettingsPanel: the
// smallest tab, one button that starts the options program.
#pragma once
#include <windows.h>

#include "controls/Buttons.h"
#include "controls/ScrollBar.h"
#include "controls/VirtualWnd.h"

class CTextRunList;

// The context menu's own command: start the options program.
const int ID_OPEN_SETTINGS = 1027;
// Text 15 of the resource library: the menu item of that command.
const UINT IDS_OPEN_SETTINGS = 15;

class CScrollPanel : public CVirtualWnd {
 public:
  // owner: the element of the hosting panel (kept, not used here).
  explicit CScrollPanel(CVirtualWnd* owner = nullptr);
  ~CScrollPanel() override;

  // Draws the frame of the scroll-bar column for skins without their own bar
  // parts, drops the cached button bitmaps, then the children.
  void RefreshSkin() override;
  // New bounds lay the scroll bar out again.
  void SetRect(const RECT* rect) override;

  // A typed character (backspace, digit, letter) for the current tab. Handled?
  virtual BOOL OnChar(WCHAR ch);
  virtual int GetBottomBarHeight();
  // The tab chosen again from the tab strip; TRUE keeps the panel from switching.
  virtual BOOL ResetView(BOOL alreadyCurrent);
  virtual void LoadSettings();
  // The content area (header and bottom strip left out), one pixel lower.
  virtual void InvalidateContent(int position);
  virtual void LayoutScrollBar();
  // The height of everything that scrolls; the plain panel does not scroll.
  virtual int GetContentHeight();
  virtual void RequestRefresh();
  virtual void Activate();
  // FALSE keeps this tab current.
  virtual BOOL Deactivate();
  virtual int GetTabId();
  // The character "ShowTabsSequence" stores for the tab.
  virtual WCHAR GetTabIdChar();
  virtual void OnSettingsChanged();
  // FALSE: the panel draws the skin's strip icon at GetSkinTabIndex.
  virtual BOOL DrawTabIcon(HDC hdc, const RECT* rect, BOOL selected);
  virtual UINT GetTabIcon();
  virtual UINT GetTabIconId(int variant);
  virtual int GetHeaderHeight();
  virtual RECT* GetRectPtr() { return &m_rect; }
  virtual int GetSkinTabIndex();
  virtual int GetWantedHeight();
  virtual void OnClearCache();
  virtual BOOL OnQueryRefreshCache();
  virtual BOOL DrawWatermark(CTextRunList* context);
  // The context menu at a screen point, through CPopupMenuTracker; a chosen
  // command goes to OnMenuCommand. Always 0.
  virtual int TrackMenu(LPARAM argument, POINT* screenPoint);
  virtual void FillContextMenu(HMENU menu, LPARAM argument);
  virtual void OnMenuCommand(int command);

  BOOL IsCurrent() const { return m_bCurrent; }
  CScrollBarElem* GetScrollBar() { return &m_scrollBar; }
  CVirtualWnd* GetOwner() const { return m_pOwner; }
  // The content rectangle: below the header, above the bottom strip, left of the bar.
  RECT GetContentRect();
  // Loaded on first request and kept; 0 when the icon does not load (tried again
  // next time).
  HICON GetIcon16(int variant);
  HICON GetIcon12();
  void FreeIcons();

 protected:
  CScrollBarElem m_scrollBar;
  CVirtualWnd* m_pOwner;
  BOOL m_bCurrent;
  HICON m_hIcon12;
  HICON m_hIcon16[2];
};

class COpenSettingsPanel : public CScrollPanel {
 public:
  explicit COpenSettingsPanel(CVirtualWnd* owner = nullptr);

  // A click of the button starts the options program.
  LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) override;
  void SetRect(const RECT* rect) override;
  UINT GetTabIconId(int variant) override;
  int GetHeaderHeight() override;

  CVirtualButton& GetButton() { return m_button; }

 private:
  CVirtualButton m_button;
};
