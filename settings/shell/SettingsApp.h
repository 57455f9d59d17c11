// The options program's run: start-up of the process-wide services, the main window
// clear of the input panel, the command line's requests and the message loop.
#pragma once
#include <windows.h>

#include <memory>

class CFontCache;

class CSettingsApp {
 public:
  // The whole program: single-instance check (a later start hands its command line
  // to the first and returns 1), COM, common controls, the resource library, Run.
  static int Main(HINSTANCE instance, LPCWSTR commandLine, int showCommand);

  // The process-wide services Main starts before Run (COM, common controls, the
  // module, the resource library, the program's switches): the resource library's
  // handle for Stop, which ends them. For programs that run the options program
  // in their own process.
  static HINSTANCE Start(HINSTANCE instance);
  static void Stop(HINSTANCE resources);

  // Until WM_QUIT: its exit code; 0 when the main window cannot be made.
  static int Run(LPCWSTR commandLine, int showCommand);

  // The options program's behaviour of the shared classes, chosen once at start.
  static void SetProgramSwitches();
  // "TarvoRes.Dll" of the install folder as a data file, made the resource instance
  // (null when it cannot be loaded: texts and templates then fail to load).
  static HINSTANCE LoadResourceLibrary();
  // The fonts every page, row and dialog draws with; null when the process already
  // has them. Made after the shell starts, which is asked for the system text size.
  // Without them every control falls back to the stock font, which ignores the dpi.
  static std::unique_ptr<CFontCache> MakeFonts();
};
