#include "panel/PanelRecord.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// Records come from other threads too (the e-mail advise sink).
std::mutex g_lock;
std::vector<CPanelRecord*> g_posted;

CString SingleBackslashes(LPCWSTR path) {
  CString out;
  if (!path) return out;
  for (const WCHAR* p = path; *p; ++p) {
    if (p[0] == L'\\' && p[1] == L'\\') continue;
    out += *p;
  }
  return out;
}

}  // namespace

CFileChangeRecord::CFileChangeRecord(LPCWSTR path_, DWORD event_) : path(SingleBackslashes(path_)), event(event_) {}

BOOL PostPanelRecord(HWND window, UINT message, WPARAM wParam, CPanelRecord* record) {
  if (!record) return FALSE;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    g_posted.push_back(record);
  }
  if (window && PostMessageW(window, message, wParam, reinterpret_cast<LPARAM>(record))) return TRUE;
  delete TakePanelRecord(reinterpret_cast<LPARAM>(record));
  return FALSE;
}

CPanelRecord* TakePanelRecord(LPARAM lParam) {
  std::lock_guard<std::mutex> hold(g_lock);
  auto it = std::find_if(g_posted.begin(), g_posted.end(),
                         [&](CPanelRecord* r) { return reinterpret_cast<LPARAM>(r) == lParam; });
  if (it == g_posted.end()) return nullptr;
  CPanelRecord* record = *it;
  g_posted.erase(it);
  return record;
}
