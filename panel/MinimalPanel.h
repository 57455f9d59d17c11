// CMinimalPanel: the panel the placeholder turns into until the tabbed panel takes
// its place: it takes the window over and shows one tab over the Today screen's
// background, the resources-missing tab when the resource library is missing,
// else the tab that opens the options program.
#pragma once
#include <windows.h>

#include <memory>

#include "controls/ScrollPanel.h"
#include "controls/VirtualRoot.h"
#include "panel/TodayPanelBase.h"

class CMinimalPanel : public CTodayPanelBase, private CVirtualRoot {
 public:
  explicit CMinimalPanel(int mode);
  ~CMinimalPanel() override;

  BOOL Attach(HWND window) override;
  HWND GetHwnd() const override { return m_window; }
  LRESULT OnCreate() override;
  LRESULT OnWindowPosChanged(WINDOWPOS* position) override;
  LRESULT OnActivateTab(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnSetCurrentPlugin(WPARAM wParam, LPARAM lParam) override;
  BOOL IsResourcesMissing() const override { return m_resourcesMissing; }

  int GetMode() const { return m_mode; }
  CScrollPanel* GetTab() const { return m_tab.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintBackground(CTextRunList* context) override;
  void Detach();
  void LayoutTab();

  int m_mode;
  BOOL m_resourcesMissing;
  HWND m_window;
  WNDPROC m_previous;
  std::unique_ptr<CScrollPanel> m_tab;
};
