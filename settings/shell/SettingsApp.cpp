#include "settings/shell/SettingsApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "base/CeDbApi.h"
#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ContainerElement.h"
#include "controls/IconSets.h"
#include "controls/KeyLayouts.h"
#include "graphics/FontCache.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/SkinArchive.h"
#include "graphics/SkinColors.h"
#include "graphics/TextFit.h"
#include "panel/TodayItemInfo.h"
#include "pim/CategoryColors.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/MessageLoop.h"
#include "platform/windowlib/Module.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/SingleInstance.h"
#include "tabs/calendar/TimeSpanBar.h"
#include "tabs/contacts/ContactListItem.h"

void CSettingsApp::SetProgramSwitches() {
  CRegKey::SetFlushAfterFailedCreate(TRUE);
  CSkinArchive::SetWholeDibInMemberFormat(TRUE);
  SetGdiWrapTrailingSpaces(FALSE);
  CKeyedBitmap::SetExactKeyInDib(TRUE);
  SetThemeColorKeyCreate(TRUE);
  CContainerElement::SetPreviewLayout(TRUE);
  CKeyLayouts::SetOptionsProgramRules(TRUE);
  GetCeDbApi()->SetReadHeap(GetProcessHeap());
  CCategoryColors::SetWriteMissingColors(TRUE);
  CIconSets::SetOptionsProgramRules(TRUE);
  CTimeSpanBar::SetOptionsProgramRules(TRUE);
  CContactListItem::SetOptionsProgramRules(TRUE);
  SetTodayItemDefaultsWrittenBack(FALSE);
}

HINSTANCE CSettingsApp::LoadResourceLibrary() {
  CString path;
  GetInstallPath(path, L"TarvoRes.Dll");
  HINSTANCE library = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  GetModule().SetResourceInstance(library);
  return library;
}

int CSettingsApp::Main(HINSTANCE instance, LPCWSTR commandLine, int showCommand) {
  HRESULT single = CheckSingleInstance(instance, nullptr, commandLine);
  if (FAILED(single) || single == 1) return static_cast<int>(single);
  HINSTANCE resources = Start(instance);
  int result = Run(commandLine, showCommand);
  Stop(resources);
  return result;
}

HINSTANCE CSettingsApp::Start(HINSTANCE instance) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  GetModule().Init(instance);
  HINSTANCE resources = LoadResourceLibrary();
  SetProgramSwitches();
  return resources;
}

void CSettingsApp::Stop(HINSTANCE resources) {
  GetModule().SetResourceInstance(nullptr);
  if (resources) FreeLibrary(resources);
  GetModule().Term();
  CoUninitialize();
}

std::unique_ptr<CFontCache> CSettingsApp::MakeFonts() {
  if (GetFontCache()) return nullptr;
  return std::unique_ptr<CFontCache>(new CFontCache());
}

int CSettingsApp::Run(LPCWSTR commandLine, int showCommand) {
  InitScreenDpi();
  AygInitialize();
  // Outlives the main window, whose pages hold fonts of the cache.
  std::unique_ptr<CFontCache> fonts = MakeFonts();
  CMessageLoop loop;
  GetModule().AddMessageLoop(&loop);
  CMainWnd window;
  SetMainWindow(&window);
  SetNewerStore(IsPocketPC());
  CString languageFile;
  GetInstallPath(languageFile, L"QelTarvo.txt");
  GetTranslator().LoadTextFile(languageFile);

  int result = 0;
  RECT screen = {};
  GetWindowRect(GetDesktopWindow(), &screen);
  if (window.CreateMainWindow(nullptr, screen)) {
    // Clear of the input panel: the visible desktop is what the panel leaves free.
    SIPINFO panel = {};
    panel.cbSize = sizeof(panel);
    if (SipGetInfo(&panel)) {
      const RECT& free = panel.rcVisibleDesktop;
      MoveWindow(window, free.left, free.top, free.right - free.left, free.bottom - free.top, FALSE);
    }
    ShowWindow(window, showCommand);
    SetForegroundWindow(window);
    ParseCommandLine(window, commandLine);
    loop.AddMessageFilter(&window);
    result = loop.Run();
    loop.RemoveMessageFilter(&window);
  }
  GetModule().RemoveMessageLoop();
  SetMainWindow(nullptr);
  if (window.IsWindow()) window.DestroyWindow();
  return result;
}
