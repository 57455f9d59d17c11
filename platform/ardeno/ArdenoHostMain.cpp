// ArdenoHost.exe: the tab host on the emulated device.
//   ArdenoHost [--script FILE]
// The script's lines, one step each: "wait MS", "tab NAME", "tap X Y", "scroll POS",
// "screenshot PATH", "reload", "quit". Without a script the host runs until closed.
// The device root becomes the current directory, so "\..." paths land under it.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ardeno/ArdenoHost.h"
#include "platform/coredll/DeviceIdentity.h"

namespace {

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

bool RunStep(CArdenoHost& host, const std::wstring& line, bool& quit) {
  std::wistringstream in(line);
  std::wstring verb;
  in >> verb;
  if (verb.empty() || verb[0] == L'#') return true;
  if (verb == L"wait") {
    DWORD ms = 0;
    in >> ms;
    Pump(ms);
  } else if (verb == L"tab") {
    std::wstring name;
    in >> name;
    if (!host.SelectTab(name)) return false;
  } else if (verb == L"tap") {
    int x = 0, y = 0;
    if (!(in >> x >> y)) return false;
    host.Tap(x, y);
  } else if (verb == L"scroll") {
    int pos = 0;
    in >> pos;
    host.ScrollTo(pos);
  } else if (verb == L"screenshot") {
    std::wstring path;
    in >> path;
    Pump(0);
    if (!host.SaveScreenshot(path)) return false;
  } else if (verb == L"reload") {
    host.Reload();
  } else if (verb == L"quit") {
    quit = true;
  } else {
    return false;
  }
  Pump(0);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> steps;
  if (argc == 3 && std::wstring(argv[1]) == L"--script") {
    std::ifstream file(argv[2]);
    if (!file) {
      std::fprintf(stderr, "ArdenoHost: cannot read %ls\n", argv[2]);
      return 2;
    }
    std::string line;
    while (std::getline(file, line)) steps.emplace_back(line.begin(), line.end());
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: ArdenoHost [--script FILE]\n");
    return 2;
  }
  std::wstring root = CDeviceIdentity::Root();
  if (!SetCurrentDirectoryW(root.c_str()))
    std::fprintf(stderr, "ArdenoHost: device root %ls missing (error %lu)\n", root.c_str(), GetLastError());

  ArdenoHostOptions options;
  options.quitOnClose = true;
  CArdenoHost host;
  if (!host.Create(options)) {
    std::fprintf(stderr, "ArdenoHost: cannot create the host (error %lu)\n", GetLastError());
    return 1;
  }
  int code = 0;
  if (argc == 3) {
    bool quit = false;
    for (const std::wstring& step : steps) {
      if (!RunStep(host, step, quit)) {
        std::fprintf(stderr, "ArdenoHost: step failed: %ls\n", step.c_str());
        code = 1;
        break;
      }
      if (quit) break;
    }
  } else {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  host.Destroy();
  return code;
}
