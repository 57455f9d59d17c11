// TodayHost.exe: the emulated device's Today screen.
//   TodayHost [--items-key KEY] [--script FILE] [--log FILE|-]
// The screen is the device's (its profile's "Screen" at its "Dpi", through coredll.dll);
// the watermark comes from the profile's "Watermark" (a device path).
// Device paths ("\Windows\...") resolve against the device root, which becomes the
// current directory. Without a script the screen runs until it is closed.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/coredll/DeviceIdentity.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: TodayHost [--items-key KEY] [--script FILE] [--log FILE|-]\n");
  return 2;
}

std::wstring HostPath(const std::wstring& devicePath) {
  if (devicePath.empty() || devicePath[0] != L'\\' || (devicePath.size() > 1 && devicePath[1] == L'\\'))
    return devicePath;
  std::wstring root = CDeviceIdentity::Root();
  if (!root.empty() && root.back() == L'\\') root.pop_back();
  return root + devicePath;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  TodayHostOptions options;
  std::wstring scriptPath, logPath;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (i + 1 >= argc) return Usage();
    if (arg == L"--items-key")
      options.itemsKey = argv[++i];
    else if (arg == L"--script")
      scriptPath = argv[++i];
    else if (arg == L"--log")
      logPath = argv[++i];
    else
      return Usage();
  }

  // Read the script before the device root becomes the current directory.
  CTodayScript script;
  std::wstring error;
  if (!scriptPath.empty() && !script.Load(scriptPath, error)) {
    std::fprintf(stderr, "TodayHost: %ls\n", error.c_str());
    return 2;
  }
  if (logPath == L"-") {
    options.log = stdout;
  } else if (!logPath.empty()) {
    options.log = _wfopen(logPath.c_str(), L"w");
    if (!options.log) {
      std::fprintf(stderr, "TodayHost: cannot write %ls\n", logPath.c_str());
      return 2;
    }
  }

  std::wstring root = CDeviceIdentity::Root();
  if (!SetCurrentDirectoryW(root.c_str()))
    std::fprintf(stderr, "TodayHost: device root %ls missing (error %lu)\n", root.c_str(), GetLastError());
  // The device's screen, as every program on it sees it.
  options.width = GetSystemMetrics(SM_CXSCREEN);
  options.height = GetSystemMetrics(SM_CYSCREEN);
  std::wstring value;
  if (CDeviceIdentity::Read(L"Watermark", value)) options.watermark = HostPath(value);
  options.quitOnClose = true;

  CTodayHost host;
  if (!host.Create(options)) {
    std::fprintf(stderr, "TodayHost: cannot create the Today screen (error %lu)\n", GetLastError());
    return 1;
  }
  SetFocus(host.Frame());
  int code = 0;
  if (!scriptPath.empty()) {
    if (!script.Run(host, error)) {
      std::fprintf(stderr, "TodayHost: %ls\n", error.c_str());
      code = 1;
    }
  } else {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  host.Destroy();
  if (options.log && options.log != stdout) std::fclose(options.log);
  return code;
}
