// Until the Today screen stand-in hosts the plug-in, the main job proves that the
// emulated device finds the resource library and reads its texts.
#include <windows.h>
#include <cstdio>
#include "res/TarvoResIds.h"

int wmain() {
  HMODULE res = LoadLibraryExW(L"TarvoRes.Dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!res) {
    std::fprintf(stderr, "TodayHost: cannot load TarvoRes.Dll (error %lu)\n", GetLastError());
    return 1;
  }
  WCHAR text[128] = {};
  int n = LoadStringW(res, IDS_NO_DATE, text, 128);
  FreeLibrary(res);
  if (n <= 0) {
    std::fprintf(stderr, "TodayHost: TarvoRes.Dll has no text %d\n", IDS_NO_DATE);
    return 1;
  }
  std::printf("TodayHost: TarvoRes.Dll text %d: %ls\n", IDS_NO_DATE, text);
  return 0;
}
