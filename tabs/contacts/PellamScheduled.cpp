#include "tabs/contacts/PellamScheduled.h"

#include <algorithm>
#include <cmath>

#include "base/DateTime.h"
#include "platform/coredll/DeviceIdentity.h"

namespace {

template <typename T>
T Bind(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// More days than this are no range a view asks for (a year and a little).
const double kMaxDays = 3660;

}  // namespace

CPellamScheduled::CPellamScheduled()
    : m_cursor(0),
      m_from(-1.0),
      m_to(-1.0),
      m_loaded(FALSE),
      m_library(nullptr),
      m_getDayCount(nullptr),
      m_getScheduled(nullptr),
      m_run(nullptr) {}

CPellamScheduled::~CPellamScheduled() {
  Clear();
  UnloadApi();
}

CPellamScheduled& CPellamScheduled::GetGlobal() {
  static CPellamScheduled global;
  return global;
}

CString CPellamScheduled::GetLibraryPath() {
  // A device path starts at the device's root, which under Wine is a host folder.
  std::wstring root = CDeviceIdentity::Root();
  while (!root.empty() && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
  return CString((root + PELLAM_SCHEDULED_LIBRARY).c_str());
}

void CPellamScheduled::AddListener(IPellamListener* listener) {
  if (!listener || std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end()) return;
  m_listeners.push_back(listener);
}

void CPellamScheduled::RemoveListener(IPellamListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void CPellamScheduled::SetRange(double from, double to) {
  if (from == m_from && to == m_to && from >= 0 && to >= 0) return;
  Clear();
  if (from >= 0 && to >= 0) {
    m_from = from;
    m_to = to;
  } else {
    m_from = m_to = -1.0;
  }
}

void CPellamScheduled::Clear() {
  for (CPellamTransactionItem* item : m_items) item->Release();
  m_items.clear();
  m_cursor = 0;
  m_loaded = FALSE;
}

BOOL CPellamScheduled::LoadApi() {
  UnloadApi();
  m_library = LoadLibraryW(GetLibraryPath());
  if (!m_library) return FALSE;
  m_getDayCount = Bind<PFN_GET_DAY_SCHEDULED_COUNT>(m_library, "GetDayScheduledCount");
  m_getScheduled = Bind<PFN_GET_SCHEDULED>(m_library, "GetScheduled");
  m_run = Bind<PFN_RUN_QEL_PELLAM>(m_library, "RunQelPellam");
  if (m_getDayCount && m_getScheduled && m_run) return TRUE;
  UnloadApi();
  return FALSE;
}

void CPellamScheduled::UnloadApi() {
  if (m_library) FreeLibrary(m_library);
  m_library = nullptr;
  m_getDayCount = nullptr;
  m_getScheduled = nullptr;
  m_run = nullptr;
}

BOOL CPellamScheduled::Load() {
  Clear();
  if (!LoadApi()) return FALSE;
  if (m_from < 0 || m_to < 0) {
    UnloadApi();
    return FALSE;
  }
  double span = std::trunc(m_to - m_from);
  if (span > kMaxDays) span = kMaxDays;
  const int days = static_cast<int>(span);
  for (int i = 0; i < days; ++i) {
    const double day = m_from + i;
    SYSTEMTIME parts = {};
    if (!VariantDateToSystemTime(day, &parts)) continue;
    const int count = m_getDayCount(parts.wYear, parts.wMonth, parts.wDay);
    for (int index = 0; index < count; ++index) {
      PELLAM_SCHEDULED_RECORD* record = nullptr;
      if (!m_getScheduled(index, parts.wYear, parts.wMonth, parts.wDay, &record) || !record) continue;
      // The record is the library's until its next call: copied at once.
      m_items.push_back(CPellamTransactionItem::Create(*record, day));
    }
  }
  UnloadApi();
  m_loaded = TRUE;
  return TRUE;
}

BOOL CPellamScheduled::GetFirst(CPellamTransactionItem** item) {
  if (!item) return FALSE;
  *item = nullptr;
  if (!m_loaded && !Load()) return FALSE;
  m_cursor = 0;
  return GetNext(item);
}

BOOL CPellamScheduled::GetNext(CPellamTransactionItem** item) {
  if (!item) return FALSE;
  *item = nullptr;
  if (m_cursor >= m_items.size()) return FALSE;
  *item = m_items[m_cursor++];
  return TRUE;
}

int CPellamScheduled::FindById(DWORD id) const {
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i]->m_id == id) return static_cast<int>(i);
  return -1;
}

BOOL CPellamScheduled::IsApiPresent() {
  CPellamScheduled probe;
  const BOOL present = probe.LoadApi();
  probe.UnloadApi();
  return present;
}

BOOL CPellamScheduled::RunPellam() {
  CPellamScheduled probe;
  if (!probe.LoadApi()) return FALSE;
  probe.m_run();
  probe.UnloadApi();
  return TRUE;
}

void CPellamScheduled::OnScheduledChanged() {
  Clear();
  // A listener may leave or join while it hears: a copy is walked.
  const std::vector<IPellamListener*> listeners = m_listeners;
  for (IPellamListener* listener : listeners)
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end()) listener->OnPellamChanged();
}
