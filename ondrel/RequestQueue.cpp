#include "ondrel/RequestQueue.h"

namespace {
// Requests kept at most; the plug-in sends one per tap, so more means a sender gone wrong.
const size_t kMaxWaiting = 64;
}  // namespace

BOOL CRequestQueue::Accept(const COPYDATASTRUCT* copy) {
  Entry entry = {};
  if (!ReadOndrelRequest(copy, &entry.request) || m_entries.size() >= kMaxWaiting) return FALSE;
  entry.code = copy->dwData;
  m_entries.push_back(entry);
  return TRUE;
}

BOOL CRequestQueue::Take(ULONG_PTR code, Entry* out) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    if (it->code != code) continue;
    if (out) *out = *it;
    m_entries.erase(it);
    return TRUE;
  }
  return FALSE;
}
