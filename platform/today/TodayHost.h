// CTodayHost: the Today screen. A top-level "Worker" window (what the system calls
// the desktop) holds the Today view, a child "Worker" window in which the custom
// items listed under the items key live, one under the other, scrolled as a whole.
#pragma once
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/today/todaycmn.h"

struct TodayHostOptions {
  // HKEY_LOCAL_MACHINE key whose sub-keys are the items.
  std::wstring itemsKey = L"\\Software\\Microsoft\\Today\\Items";
  int x = 0, y = 0;
  int width = 240, height = 320;
  bool topmost = false;
  // Host path of the watermark image; empty or unreadable: a gradient.
  std::wstring watermark;
  // How often the items are asked whether their height changed; 0: never.
  UINT pollMs = 2000;
  // Every Today message sent and received, and why an item was skipped, as lines.
  FILE* log = nullptr;
  // Closing the screen ends the message loop.
  bool quitOnClose = false;
};

class CTodayHost {
 public:
  struct Item {
    std::wstring key;
    TODAYLISTITEM* record = nullptr;  // heap, stable for the item's life
    DWORD cachedAllocated = 0;
    DWORD selectability = 0;
    int top = 0;  // in the Today view's scrolled space
  };

  CTodayHost() = default;
  ~CTodayHost();
  CTodayHost(const CTodayHost&) = delete;
  CTodayHost& operator=(const CTodayHost&) = delete;

  bool Create(const TodayHostOptions& options);
  void Destroy();

  // Items are destroyed while their DLL is loaded, then the DLLs freed, then read again.
  void Reload();
  // Asks every item whether its height changed and lays out again when one did.
  void Poll();
  void Layout();
  void ScrollTo(int pos);

  // Turns the device's screen (portrait <-> landscape): the screen takes the new size
  // and every top-level window that shares the screen hears WM_SETTINGCHANGE with
  // SETTINGCHANGE_RESET, as on the device. False when the setting cannot be written.
  bool Rotate();

  // Arrow keys, Enter: what the screen does with a key while it has the focus.
  void OnKey(UINT vk);
  // Runs the item's options dialog (template 500 with its ordinal 241); -1 when it has none.
  INT_PTR ShowOptions(size_t index);

  HWND Frame() const { return frame_; }
  HWND View() const { return view_; }
  size_t ItemCount() const { return items_.size(); }
  const Item& ItemAt(size_t i) const { return *items_[i]; }
  int Selected() const { return selected_; }
  int ScrollPos() const { return scroll_; }
  const std::vector<std::wstring>& LogLines() const { return logLines_; }
  // Adds a line of one's own to the log.
  void Note(const std::wstring& line) { Log(L"%ls", line.c_str()); }
  // The background at a point of the Today view's client area.
  COLORREF BackgroundPixel(int x, int y) const;

  // The whole screen as drawn, as a 32-bit top-down DIB section (caller deletes it).
  HBITMAP Capture() const;
  bool SaveScreenshot(const std::wstring& path) const;

 private:
  static LRESULT CALLBACK WorkerProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnFrameMessage(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnViewMessage(HWND, UINT, WPARAM, LPARAM);

  void LoadItems();
  void UnloadItems();
  bool LoadItem(std::unique_ptr<Item> item, const std::wstring& dll);
  void FreeItem(Item& item);
  LRESULT SendToItem(Item& item, UINT message, WPARAM wParam, LPARAM lParam);
  void SyncCachedData(Item& item);
  void MakeBackground();
  // The background from (x, y) of the view's client space into target of dc.
  void DrawBackground(HDC dc, const RECT& target, int x, int y) const;
  void Select(int index, UINT vk);
  int IndexOf(HWND window) const;
  void ScrollIntoView(int index);
  COLORREF Color(WPARAM code) const;
  void Log(const wchar_t* format, ...);
  std::wstring NameOf(HWND window) const;

  TodayHostOptions options_;
  HWND frame_ = nullptr;
  HWND view_ = nullptr;
  HBITMAP background_ = nullptr;
  void* backgroundBits_ = nullptr;
  int backgroundWidth_ = 0, backgroundHeight_ = 0;
  std::vector<std::unique_ptr<Item>> items_;
  int selected_ = -1;
  int scroll_ = 0;
  int total_ = 0;
  bool reloadPending_ = false;
  std::vector<std::wstring> logLines_;
};
