// CArdenoHost: the tab host. A frame with a strip of tabs across its top; each tab
// plug-in registered under the plug-ins key gets a page below the strip, nested as
// the plug-ins expect: page (scrolls) -> inner -> parent -> the plug-in's window.
// Applets placed on the host live on a page of their own, through their exports.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ardeno/ArdenoApplet.h"
#include "platform/today/todaycmn.h"

struct ArdenoHostOptions {
  // HKEY_LOCAL_MACHINE keys: the tab plug-ins and applet kinds (one sub-key each),
  // the host's presence, its own settings ("LeftIndent") and its placed applets
  // (sub-keys with "Applet", the kind's key name, and "Data", what the applet saved).
  std::wstring pluginsKey = L"SOFTWARE\\Korvel\\Shared\\TabPlugins";
  std::wstring appletsKey = L"SOFTWARE\\Korvel\\Shared\\TabApplets";
  std::wstring presenceKey = L"SOFTWARE\\Korvel\\Ardeno 2";
  std::wstring settingsKey = L"SOFTWARE\\Korvel\\Ardeno\\3";
  // 0: the screen's.
  int width = 0, height = 0;
  bool quitOnClose = false;
};

class CArdenoHost {
 public:
  // The copy-data kind a plug-in sends to its parent to bring its tab forward.
  enum { kCopyDataTabName = 2324, kMaxTabName = 256 };

  struct Tab {
    std::wstring name, label;
    HMODULE module = nullptr;
    TODAYLISTITEM* record = nullptr;  // heap, for the tab's life
    HWND page = nullptr, inner = nullptr, parent = nullptr;
    HWND window = nullptr;  // the plug-in's
    HICON icon = nullptr;
    int scroll = 0, contentHeight = 0;
    bool applets = false;  // the applets' page, no plug-in
  };
  struct Applet {
    std::wstring key, kind;
    HMODULE module = nullptr;
    ARDENO_APPLET handle = nullptr;
    std::wstring description;
    RECT rect = {};
  };

  CArdenoHost() = default;
  ~CArdenoHost();
  CArdenoHost(const CArdenoHost&) = delete;
  CArdenoHost& operator=(const CArdenoHost&) = delete;

  bool Create(const ArdenoHostOptions& options);
  void Destroy();
  // Windows go while their libraries are loaded, then the libraries, then all is read again.
  void Reload();
  // Shows the tab, tells its plug-in which it is; false when there is no such tab.
  bool SelectTab(const std::wstring& name);
  bool SelectTab(int index);
  // Lays out the current tab again (the plug-in's height may have changed).
  void LayoutCurrent();
  void ScrollTo(int pos);
  // A tap at a point of the frame's client area.
  void Tap(int x, int y);

  HWND Frame() const { return frame_; }
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  const Tab& TabAt(int i) const { return *tabs_[static_cast<size_t>(i)]; }
  int Current() const { return current_; }
  int FindTab(const std::wstring& name) const;
  int AppletCount() const { return static_cast<int>(applets_.size()); }
  const Applet& AppletAt(int i) const { return applets_[static_cast<size_t>(i)]; }
  int StripHeight() const { return strip_; }
  // Where a tab's cell lies in the strip.
  RECT CellRect(int index) const;

  // The tab name a plug-in's copy-data carries: UTF-16, ended by a zero inside the
  // data, not empty, at most kMaxTabName characters. False for anything else.
  static bool ReadTabName(const COPYDATASTRUCT* data, std::wstring* name);

  HBITMAP Capture() const;
  bool SaveScreenshot(const std::wstring& path) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnFrameMessage(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnPageMessage(Tab& tab, HWND, UINT, WPARAM, LPARAM);
  LRESULT OnAppletsMessage(HWND, UINT, WPARAM, LPARAM);

  void Load();
  void Unload();
  void LoadPlugins();
  void LoadApplets();
  bool MakePage(Tab& tab);
  void PaintStrip(HDC dc);
  void PaintApplets(HDC dc);
  void RefreshDescription(Applet& applet);
  void MarkUsed(const std::wstring& name, const std::wstring& dll);
  Tab* TabOf(HWND window) const;
  int Scale(int logical) const;

  ArdenoHostOptions options_;
  HWND frame_ = nullptr;
  std::vector<std::unique_ptr<Tab>> tabs_;
  std::vector<Applet> applets_;
  int current_ = -1;
  int strip_ = 20;
  int dpi_ = 96;
  int indent_ = 0;
  bool reloadPending_ = false;
};
