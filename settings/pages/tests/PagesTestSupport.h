// What the pages tests share: the resource library the program ships as the
// resource instance (from the shell tests' support), HKEY_LOCAL_MACHINE in a
// sandbox, a main window whose sections open the real sheets.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "platform/windowlib/Module.h"
#include "settings/pages/SectionSheet.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/tests/ShellTestSupport.h"

// A page given a client area of width x height (device pixels), as a sheet sizes it.
inline void SizePageClient(HWND page, int width, int height) {
  RECT frame = {}, client = {};
  GetWindowRect(page, &frame);
  GetClientRect(page, &client);
  SetWindowPos(page, nullptr, 0, 0, width + (frame.right - frame.left) - client.right,
               height + (frame.bottom - frame.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    ASSERT_NE(m_resources.Module(), nullptr);
    RegisterSectionSheets();
    RECT rect = {0, 0, 240, 320};
    ASSERT_NE(m_window.CreateMainWindow(nullptr, rect, WS_POPUP | WS_VISIBLE), nullptr);
    SetMainWindow(&m_window);
  }
  void TearDown() override {
    SetMainWindow(nullptr);
    m_window.DestroyWindow();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    SetSectionRunner(nullptr);
  }
  // A tap on a section of the list, as the list view reports it.
  void Activate(int item) {
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = m_window.GetSectionList();
    activate.hdr.code = LVN_ITEMACTIVATE;
    activate.iItem = item;
    SendMessageW(m_window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&activate));
  }

  CLocalMachineSandbox m_machine{L"SettingsPages"};
  CProductResources m_resources;
  CMainWnd m_window;
};
