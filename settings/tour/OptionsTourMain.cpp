// OptionsTour.exe OUTDIR: the options program toured on the emulated device, run
// from the device's install folder. The Today screen with the plug-in comes up first
// (OUTDIR\00-today.png); then each step of the tour opens its page, changes it
// (OUTDIR\<nn>-<name>-page.png), applies and ends the program, and the Today screen
// is pictured once the plug-in has reloaded (OUTDIR\<nn>-<name>-today.png). One line
// a step on the output; exit code 1 when a step failed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/coredll/DeviceIdentity.h"
#include "platform/today/TodayHost.h"
#include "settings/pages/SectionSheet.h"
#include "settings/shell/SettingsApp.h"
#include "settings/shell/UserPrompt.h"
#include "settings/tour/OptionsTour.h"

namespace {

// A box the program shows is answered as Enter would and told on the output.
int AnswerBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  std::printf("  box: %ls\n", text ? text : L"");
  std::fflush(stdout);
  return IDOK;
}

// The item once it has grown from its first height to its rows'.
bool ItemGrown(const CTodayHost& host) {
  RECT r = {};
  HWND item = host.ItemCount() ? host.ItemAt(0).record->hwndCustom : nullptr;
  return item && GetWindowRect(item, &r) && r.bottom - r.top > 200;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: OptionsTour OUTDIR\n");
    return 2;
  }
  wchar_t full[MAX_PATH];
  if (!GetFullPathNameW(argv[1], MAX_PATH, full, nullptr)) return 2;
  const std::wstring folder = full;
  CreateDirectoryW(folder.c_str(), nullptr);

  // Device paths ("\\Program Files\\Qel Tarvo", where the resource library is) resolve
  // against the device's root, as on the device.
  SetCurrentDirectoryW(CDeviceIdentity::Root().c_str());
  HINSTANCE resources = CSettingsApp::Start(GetModuleHandleW(nullptr));
  if (!resources) {
    std::fprintf(stderr, "OptionsTour: no resource library in the install folder\n");
    return 1;
  }
  RegisterSectionSheets();
  SetMessageBoxHandler(&AnswerBox);

  // The Today screen as the device shows it (see TodayHost.exe).
  TodayHostOptions options;
  options.width = GetSystemMetrics(SM_CXSCREEN);
  options.height = GetSystemMetrics(SM_CYSCREEN);
  CTodayHost host;
  int code = 0;
  if (!host.Create(options) || host.ItemCount() != 1) {
    std::fprintf(stderr, "OptionsTour: the Today screen did not load the plug-in\n");
    code = 1;
  }
  COptionsTour tour(host);
  tour.SetPictureFolder(folder);
  if (code == 0) {
    COptionsTour::PumpUntil([&] { return ItemGrown(host); }, 30000);
    COptionsTour::PumpFor(1000);
    tour.SaveToday(L"00-today");
  }
  for (size_t i = 0; code == 0 && i < kTourStepCount; ++i) {
    const TourStep& step = kTourSteps[i];
    const int number = static_cast<int>(i) + 1;
    if (!tour.AttachProbe()) {
      std::fprintf(stderr, "OptionsTour: the plug-in is not loaded\n");
      code = 1;
      break;
    }
    TourStepResult result;
    std::wstring error;
    const bool ok = tour.RunStep(step, number, result, error) && tour.AwaitReload(step, number, result, 30000, error);
    std::printf("%02d %u:%d %ls: %ls \"%ls\" -> \"%ls\"%s%ls\n", number, step.section, step.page, step.name, step.value,
                result.before.c_str(), result.after.c_str(), ok ? "" : ": ", error.c_str());
    std::fflush(stdout);
    if (!ok) code = 1;
  }
  host.Destroy();
  CSettingsApp::Stop(resources);
  return code;
}
