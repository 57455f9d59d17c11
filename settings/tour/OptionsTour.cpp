#include "settings/tour/OptionsTour.h"

#include <cstdio>
#include <cwchar>
#include <vector>

#include "base/RegKey.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/SettingsApp.h"
#include "settings/shell/tests/SheetDriver.h"

namespace {

// The sheet the tour pressed OK on, and when.
HWND g_sheet = nullptr;
DWORD g_pressed = 0;
const DWORD kSheetPatience = 30000;

// Ends the program once its section is closed: a request to end while the sheet's
// own loop runs would take the main window from under the sheet. A sheet that stays
// (a page refusing to apply) is cancelled after a while, so the tour goes on.
VOID CALLBACK CloseWhenSectionEnds(HWND, UINT, UINT_PTR timer, DWORD) {
  CMainWnd* window = GetMainWindow();
  if (window && window->IsSectionOpen()) {
    if (g_sheet && GetTickCount() - g_pressed > kSheetPatience) {
      PostMessageW(g_sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      g_sheet = nullptr;
    }
    return;
  }
  KillTimer(nullptr, timer);
  g_sheet = nullptr;
  if (window && window->IsWindow()) PostMessageW(window->m_hWnd, WM_CLOSE, 0, 0);
}

}  // namespace

const wchar_t* ValueNameOf(const wchar_t* value) {
  const wchar_t* name = wcsrchr(value, L'\\');
  return name ? name + 1 : value;
}

std::wstring ReadProductValue(const wchar_t* value) {
  std::wstring path = TARVO_PRODUCT_KEY + 1;
  const wchar_t* name = ValueNameOf(value);
  if (name != value) path += L"\\" + std::wstring(value, name - 1);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"";
  DWORD type = REG_NONE, size = 0;
  std::wstring text;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0 && size < 65536) {
    std::vector<BYTE> data(size);
    if (RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS)
      text = RegistryDataText(type, data.data(), size);
  }
  RegCloseKey(key);
  return text;
}

void COptionsTour::PumpFor(DWORD ms) { PumpMessagesFor(ms); }

std::wstring COptionsTour::PicturePath(const TourStep& step, int number, const wchar_t* what) const {
  wchar_t prefix[16];
  std::swprintf(prefix, 16, L"%02d-", number);
  return m_folder + L"\\" + prefix + step.name + L"-" + what + L".png";
}

bool COptionsTour::SaveToday(const std::wstring& name) const {
  if (m_folder.empty()) return true;
  return m_host.SaveScreenshot(m_folder + L"\\" + name + L".png");
}

bool COptionsTour::ShowTab(wchar_t tab) {
  HWND item = m_host.ItemCount() ? m_host.ItemAt(0).record->hwndCustom : nullptr;
  if (!item || !IsWindow(item)) return false;
  static const UINT activate = RegisterWindowMessageW(L"QelTarvoActivateTab");
  SendMessageW(item, activate, tab, 0);
  PumpFor(300);
  return true;
}

bool COptionsTour::RunStep(const TourStep& step, int number, TourStepResult& result, std::wstring& error) {
  result = TourStepResult();
  if (!ShowTab(step.tab)) {
    error = L"the plug-in has no window";
    return false;
  }
  result.before = ReadProductValue(step.value);
  bool pictured = true;
  std::vector<CSheetDriver::Step> steps = {
      CSheetDriver::SelectPage(step.page),
      [&](HWND sheet) {
        result.sheetRan = true;
        result.changed = MakeTourChange(CSheetDriver::CurrentPage(sheet), step, result.before);
        PumpPendingMessages();
        if (!m_folder.empty()) pictured = m_host.SaveScreenshot(PicturePath(step, number, L"page"));
      },
      CSheetDriver::Press(IDOK),
      [&](HWND sheet) {
        result.exitMark = m_probe.Mark();
        g_sheet = sheet;
        g_pressed = GetTickCount();
        SetTimer(nullptr, 0, 20, CloseWhenSectionEnds);
      },
  };
  CSheetDriver driver(steps);
  wchar_t commandLine[32];
  std::swprintf(commandLine, 32, L"-p%u:%d", step.section, step.page);
  CSettingsApp::Run(commandLine, SW_SHOW);
  result.after = ReadProductValue(step.value);
  if (!result.sheetRan) error = L"the sheet never came up";
  else if (!result.changed) error = L"the page had nothing to change";
  else if (!pictured) error = L"the page's picture could not be written";
  else if (result.after == result.before) error = L"the value stayed \"" + result.before + L"\"";
  return error.empty();
}

bool COptionsTour::AwaitReload(const TourStep& step, int number, const TourStepResult& result, DWORD timeoutMs,
                               std::wstring& error) {
  std::wstring seen;
  const bool read = PumpUntil(
      [&] { return m_probe.LastReadSince(result.exitMark, ValueNameOf(step.value), seen) && seen == result.after; },
      timeoutMs);
  if (!read) {
    error = seen.empty() ? L"the plug-in never read the value again"
                         : L"the plug-in read \"" + seen + L"\", not \"" + result.after + L"\"";
    return false;
  }
  // The item settles at its new height and draws what it now holds.
  PumpFor(1500);
  if (!m_folder.empty() && !m_host.SaveScreenshot(PicturePath(step, number, L"today"))) {
    error = L"the Today screen's picture could not be written";
    return false;
  }
  return true;
}
