// A host window with a root, as the panel gives its list tabs, for the list-tab tests.
#pragma once
#include <windows.h>

#include "controls/VirtualRoot.h"
#include "panel/ListPanelView.h"

struct ListTabHost {
  ListTabHost() {
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 200, nullptr, nullptr, nullptr, nullptr);
    root.AttachHost(window);
  }
  ~ListTabHost() {
    root.DestroyChildren();
    root.AttachHost(nullptr);
    DestroyWindow(window);
  }
  ListTabHost(const ListTabHost&) = delete;
  ListTabHost& operator=(const ListTabHost&) = delete;
  void Add(CListPanelView& tab) {
    root.AddChild(&tab);
    RECT bounds = {0, 0, 240, 200};
    tab.SetRect(&bounds);
  }
  HWND window;
  CVirtualRoot root;
};
