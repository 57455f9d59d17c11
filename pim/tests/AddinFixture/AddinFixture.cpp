// A PIM add-in as the device's add-ins are built: one entry point that the host
// calls with the item. It keeps the last call for the test that loaded it.
#include <windows.h>

namespace {
struct LastCall {
  HWND window;
  int group;
  UINT verb;
  DWORD oid;
  int calls;
} g_last;
}  // namespace

extern "C" __declspec(dllexport) int WINAPI CePimCommand(HWND window, int group, UINT verb, DWORD* oid, void*) {
  g_last.window = window;
  g_last.group = group;
  g_last.verb = verb;
  g_last.oid = oid ? *oid : 0;
  ++g_last.calls;
  return 0;
}

extern "C" __declspec(dllexport) void WINAPI TestLastCall(HWND* window, int* group, UINT* verb, DWORD* oid,
                                                          int* calls) {
  *window = g_last.window;
  *group = g_last.group;
  *verb = g_last.verb;
  *oid = g_last.oid;
  *calls = g_last.calls;
}
