#include "panel/Plugin.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "base/CeDbApi.h"
#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlArt.h"
#include "controls/ItemPalette.h"
#include "graphics/Dib.h"
#include "graphics/FontCache.h"
#include "graphics/SkinColors.h"
#include "panel/CustomTabSource.h"
#include "panel/FaultGuard.h"
#include "panel/FilterEditDlg.h"
#include "panel/NotifyWnd.h"
#include "panel/PreWindow.h"
#include "panel/SkinControlArt.h"
#include "panel/SkinItemPalette.h"
#include "panel/TabFilterMenu.h"
#include "panel/TodayPanelBase.h"
#include "pim/ApptStatusColors.h"
#include "pim/CategoryListChoices.h"
#include "pim/PocketOutlook.h"
#include "platform/aygshell/aygshell.h"
#include "platform/imaging/ImagingRegistration.h"
#include "platform/windowlib/Module.h"

namespace {

// The window classes of the library; an earlier load may have left them behind.
const LPCWSTR kClassNames[] = {
    L"QelTarvoTodayPlugin_10",         L"QelTarvoCalendarWindow_1.0", L"QelTarvoContactPopupWindow_1.0",
    L"QelTarvoNoteWindow_1.0",         L"QelTarvoTimeSpanWindow_1.0", L"QelTarvoTimeHelperWnd_1.0",
    L"QelTarvoMailWindow_1.0",         L"QelTarvoToolTipWnd_1.0",
};

const UINT kGenericIcon = 128;

struct PluginState {
  BOOL initialized = FALSE;
  BOOL panelCreated = FALSE;
  HWND preWindow = nullptr;
  CTodayPanelBase* panel = nullptr;
  BOOL comStarted = FALSE;
  // Every copy of the resource library this library loaded, freed by these handles.
  std::vector<HMODULE> resourceLibraries;
  std::unique_ptr<CImagingRegistration> imaging;
  // The fonts every row and header draws with; without them the controls fall
  // back to the stock font, which does not follow the screen's dpi.
  std::unique_ptr<CFontCache> fonts;
  CSkinItemPalette palette;
  CSkinControlArt art;
};

PluginState& State() {
  static PluginState state;
  return state;
}

void UnregisterClasses() {
  // Through its class record, which forgets the atom with the class: a class gone
  // by name alone would leave the record holding a dead atom, and the next panel's
  // notification window could never be made.
  CNotifyWnd::GetWndClassInfo().Unregister();
  for (LPCWSTR name : kClassNames) {
    ATOM atom = 0;
    GetModule().UnregisterWndClass(name, GetModule().GetModuleInstance(), &atom);
  }
}

void LoadResourceLibrary() {
  CString path;
  GetInstallPath(path, L"TarvoRes.Dll");
  HMODULE library = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!library) return;
  State().resourceLibraries.push_back(library);
  GetModule().SetResourceInstance(library);
}

void FreeResourceLibraries() {
  GetModule().SetResourceInstance(nullptr);
  for (HMODULE library : State().resourceLibraries) FreeLibrary(library);
  State().resourceLibraries.clear();
}

// What the lower layers leave to the program: the skin serves the controls, the
// PIM layer serves the skin's status colours, and the store choice follows the device.
void WireLayers() {
  SetNewerStore(IsPocketPC());
  CSkinColors::SetStatusColorReader(LoadApptStatusColors);
  SetItemPalette(&State().palette);
  SetControlArt(&State().art);
  UseCategoryListInPicker();
  CTabFilterMenu::SetFilterEditor(CFilterEditDlg::Run);
}

void UnwireLayers() {
  CTabFilterMenu::SetFilterEditor(nullptr);
  State().art.DropButtonBitmaps();
  SetControlArt(nullptr);
  SetItemPalette(nullptr);
  CSkinColors::SetStatusColorReader(nullptr);
}

int TabIndex(LPCWSTR name) {
  static const LPCWSTR names[] = {L"TarvoCalendar", L"TarvoTasks",    L"TarvoContacts",
                                  L"TarvoNotes",    L"TarvoMessages", L"TarvoSpecial"};
  if (!name) return -1;
  for (int i = 0; i < 6; ++i)
    if (lstrcmpiW(name, names[i]) == 0) return i;
  return -1;
}

}  // namespace

void PluginAttach(HINSTANCE module) {
  State().initialized = FALSE;
  State().panelCreated = FALSE;
  GetModule().Init(module);
  if (GetScreenDpiX() == 0) InitScreenDpi();
}

void PluginDetach(BOOL processEnding) {
  if (processEnding) return;
  ShutdownPlugin();
  // The placeholder's class points into this library: it must not outlive it.
  UnregisterClassW(TARVO_PRE_WINDOW_CLASS, GetModule().GetModuleInstance());
  GetModule().Term();
}

BOOL IsPluginInitialized() { return State().initialized; }

BOOL EnsurePluginInitialized() {
  PluginState& s = State();
  if (s.initialized) return TRUE;
  srand(GetTickCount());
  WireLayers();
  // The device knows only the multithreaded model; a host thread that chose
  // otherwise keeps its apartment, and then this library never uninitialises it.
  s.comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  s.imaging.reset(new CImagingRegistration());
  UnregisterClasses();
  LoadResourceLibrary();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  CString text;
  GetInstallPath(text, L"QelTarvo.txt");
  GetTranslator().LoadTextFile(text);
  InitCommonControls();
  AygInitialize();
  // After the shell: the system text size is asked of it.
  if (!GetFontCache()) s.fonts.reset(new CFontCache());
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  // The custom tabs come from the registry unless something else (a test) gave its own.
  if (!GetCustomTabSource()) SetCustomTabSource(&CCustomTabSource::Instance());
  s.initialized = TRUE;
  return TRUE;
}

void ShutdownPlugin() {
  PluginState& s = State();
  if (s.panel) {
    // A window still alive here was not destroyed by its host: close it as the
    // user would; one already gone has done its own teardown.
    HWND window = s.panel->GetHwnd();
    if (s.panelCreated && window && IsWindow(window)) SendMessageW(window, WM_CLOSE, 0, 0);
    delete s.panel;
    s.panel = nullptr;
  }
  StopPlugin();
}

void StopPlugin() {
  PluginState& s = State();
  if (!s.initialized) return;
  CPocketOutlook::Logoff();
  DestroyNotificationWindow();
  UnregisterClasses();
  FreeResourceLibraries();
  UnwireLayers();
  CDib::ReleaseImagingFactory();
  s.imaging.reset();
  s.fonts.reset();
  if (s.comStarted) CoUninitialize();
  s.comStarted = FALSE;
  s.initialized = FALSE;
}

CTodayPanelBase* GetTodayPanel() { return State().panel; }

void SetTodayPanel(CTodayPanelBase* panel) {
  if (State().panel == panel) return;
  delete State().panel;
  State().panel = panel;
}

BOOL IsPanelCreated() { return State().panelCreated; }
void SetPanelCreated(BOOL created) { State().panelCreated = created; }
HWND GetPreWindowHandle() { return State().preWindow; }
void SetPreWindowHandle(HWND window) { State().preWindow = window; }

BOOL IsResourcesMissing() { return GetModule().GetResourceInstance() == GetModule().GetModuleInstance(); }
BOOL RefreshResourceLibrary() {
  CString path;
  GetInstallPath(path, L"TarvoRes.Dll");
  if (!IsResourcesMissing()) {
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return FALSE;
    // Only the instance goes: the loaded copy is freed with the others at the stop.
    GetModule().SetResourceInstance(GetModule().GetModuleInstance());
    return TRUE;
  }
  // A copy loaded outside a started run would never be freed by a stop.
  if (!State().initialized) return TRUE;
  const size_t before = State().resourceLibraries.size();
  LoadResourceLibrary();
  if (State().resourceLibraries.size() == before) return TRUE;
  CString text;
  GetInstallPath(text, L"QelTarvo.txt");
  GetTranslator().LoadTextFile(text);
  return FALSE;
}

int GetLoadedResourceLibraryCount() { return static_cast<int>(State().resourceLibraries.size()); }

HWND InitializeTodayItem(TODAYLISTITEM* item, HWND parent) {
  return GuardedCall<HWND>(nullptr, [&] { return CreatePreWindow(item, parent, 0); });
}

HWND GetTabHostWindow(TODAYLISTITEM* item, HWND parent) {
  return GuardedCall<HWND>(nullptr, [&]() -> HWND {
    PluginState& s = State();
    if (!s.panelCreated && s.preWindow && IsWindow(s.preWindow)) return s.preWindow;
    if (s.panel && s.panelCreated && IsWindow(s.panel->GetHwnd())) return s.panel->GetHwnd();
    return CreatePreWindow(item, parent, 1);
  });
}

INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  return GuardedCall<INT_PTR>(TRUE, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) {
      RunSettingsProgram(nullptr);
      EndDialog(dialog, 1);
    }
    return TRUE;
  });
}

UINT GetTabIconResourceId(LPCWSTR name) {
  static const UINT ids[] = {147, 146, 148, 149, 216, 143};
  int index = TabIndex(name);
  return index < 0 ? kGenericIcon : ids[index];
}

HICON GetTabIcon(LPCWSTR name) {
  return GuardedCall<HICON>(nullptr, [&]() -> HICON {
    EnsurePluginInitialized();
    UINT id = GetTabIconResourceId(name);
    if (State().panel && State().panel->IsResourcesMissing()) id = kGenericIcon;
    return static_cast<HICON>(LoadImageW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                         ScaleX(12), ScaleY(11), 0));
  });
}
