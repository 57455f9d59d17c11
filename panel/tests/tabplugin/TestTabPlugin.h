// TestTabPlugin.dll: a Today item whose library also draws its custom tab's icon,
// for the panel's tests. The test steers it and reads what it was asked through
// the state the library exports.
#pragma once
#include <windows.h>

#define TEST_TAB_PLUGIN_DLL L"TestTabPlugin.dll"

// How the plug-in behaves, chosen by the test before the tab loads it.
enum TestTabPluginMode {
  kPluginDraws = 0,         // Init true; a filled square inside a one-pixel margin
  kPluginExportFails = 1,   // the export answers E_FAIL
  kPluginNoInterface = 2,   // the export answers S_OK with no interface
  kPluginRefuses = 3,       // Init answers false
  kPluginDrawThrows = 4,    // DrawIcon throws
  kPluginExportThrows = 5,  // the export throws
  kPluginInitThrows = 6,    // Init throws
  kPluginDrawsNothing = 7,  // Init true, DrawIcon leaves the surface alone
};

// The selected icon's colour and the normal one's.
#define TEST_TAB_PLUGIN_SELECTED RGB(220, 30, 30)
#define TEST_TAB_PLUGIN_NORMAL RGB(30, 160, 30)

struct TestTabPluginState {
  int mode;
  LONG liveReferences;  // references handed out and not yet released
  int exportCalls;
  int initCalls;
  int drawCalls;
  int refreshCalls;
  WCHAR exportName[64];  // the item name the export was given
  HWND initHost;
  int initWidth;
  int initHeight;
  WCHAR initChar;
};

typedef TestTabPluginState*(WINAPI* PFN_TEST_TAB_PLUGIN_STATE)();
