// The options program toured on the emulated device: for each step the program
// starts at the step's page ("-p<section>:<page>"), the page gets its one change,
// OK applies the sheet, the program ends and so tells the plug-in, which reloads.
// The program runs in this process beside the Today screen, so that its windows can
// be pictured over the screen; what it runs is the program's own start, main window,
// sheets, pages and exit.
#pragma once
#include <windows.h>

#include <string>

#include "settings/tour/PluginProbe.h"
#include "settings/tour/TourSteps.h"

class CTodayHost;

// A product key value as the tour compares it: a number in decimal, a text as it
// is; "" when missing. A value of a sub-key is named with its path below the
// product key ("Filters\\HiddenFolders").
std::wstring ReadProductValue(const wchar_t* value);
// The value's own name, without its sub-key.
const wchar_t* ValueNameOf(const wchar_t* value);

struct TourStepResult {
  std::wstring before, after;  // the step's value before the program started and after it ended
  bool sheetRan = false;
  bool changed = false;        // the page took the change
  unsigned exitMark = 0;       // the probe's mark as the program was told to end
};

class COptionsTour {
 public:
  explicit COptionsTour(CTodayHost& host) : m_host(host) {}

  // Pictures go to the folder as "<nn>-<name>-page.png" (the page changed, over the
  // Today screen) and "<nn>-<name>-today.png" (the Today screen after the reload);
  // empty: none.
  void SetPictureFolder(const std::wstring& folder) { m_folder = folder; }
  // The plug-in as the Today screen loaded it; again after the screen reloaded it.
  bool AttachProbe() { return m_probe.Attach(); }
  const CPluginProbe& Probe() const { return m_probe; }

  // The plug-in shows the tab (by its character) whose rows the step changes; false
  // when the plug-in has no window.
  bool ShowTab(wchar_t tab);
  // Runs the options program through the step, the step's tab shown first; false
  // with the reason in error.
  bool RunStep(const TourStep& step, int number, TourStepResult& result, std::wstring& error);
  // Waits until the plug-in has read the step's value with what the program stored,
  // after the program was told to end, lets it settle, then the Today screen's
  // picture. False with the reason in error.
  bool AwaitReload(const TourStep& step, int number, const TourStepResult& result, DWORD timeoutMs,
                   std::wstring& error);
  // The Today screen's picture under the given name.
  bool SaveToday(const std::wstring& name) const;

  // Runs this thread's messages until done or the time is up; done's answer.
  template <typename Done>
  static bool PumpUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      PumpFor(50);
    }
    return true;
  }
  static void PumpFor(DWORD ms);

 private:
  std::wstring PicturePath(const TourStep& step, int number, const wchar_t* what) const;

  CTodayHost& m_host;
  CPluginProbe m_probe;
  std::wstring m_folder;
};
