#include <vector>

#include "platform/aygshell/AygTest.h"

namespace {

struct Removal {
  CLSID clsid;
  DWORD id;
};
std::vector<Removal>& Removals() {
  static std::vector<Removal> removals;
  return removals;
}

}  // namespace

// Nothing here shows notification bubbles, so there is never one to remove; what was
// asked is kept for the tests.
AYG_API LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id) {
  if (!clsid || id == 0) return ERROR_INVALID_PARAMETER;
  Removals().push_back(Removal{*clsid, id});
  return ERROR_NOT_FOUND;
}

AYG_API int WINAPI AygTestTakeNotificationRemovals(CLSID* clsids, DWORD* ids, int max) {
  std::vector<Removal>& removals = Removals();
  const int count = static_cast<int>(removals.size());
  for (int i = 0; i < count && i < max; ++i) {
    if (clsids) clsids[i] = removals[size_t(i)].clsid;
    if (ids) ids[i] = removals[size_t(i)].id;
  }
  removals.clear();
  return count;
}
