#include "ondrel/MonthCache.h"

#include <new>

#include "base/AppointmentRecord.h"
#include "tabs/calendar/AppointmentsList.h"

CMonthCache::CMonthCache(IMonthOwner* owner) : m_owner(owner) {}

CMonthCache::~CMonthCache() { Clear(); }

void CMonthCache::RemoveAt(size_t index) {
  delete m_months[index];
  m_months.erase(m_months.begin() + static_cast<std::ptrdiff_t>(index));
  m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(index));
}

CMonthItem* CMonthCache::GetMonth(DWORD key) {
  int year = 0, month = 0;
  if (!CMonthReply::SplitKey(key, &year, &month)) return nullptr;
  for (size_t i = 0; i < m_keys.size(); ++i)
    if (m_keys[i] == key) return m_months[i];
  if (m_keys.size() >= kMostHeld) RemoveAt(kKeptFirst);
  CMonthItem* item = new (std::nothrow) CMonthItem;
  // Short of memory: months after the first three go first, then the newest.
  while (!item && !m_keys.empty()) {
    RemoveAt(m_keys.size() > kKeptFirst ? static_cast<size_t>(kKeptFirst) : m_keys.size() - 1);
    item = new (std::nothrow) CMonthItem;
  }
  if (!item) return nullptr;
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = 1;
  item->SetMonth(t);
  m_keys.push_back(key);
  m_months.push_back(item);
  return item;
}

BOOL CMonthCache::IsLoaded(DWORD key) {
  CMonthItem* item = GetMonth(key);
  return item && item->IsLoaded();
}

void CMonthCache::Request(DWORD key, HWND replyWindow) {
  if (!CMonthReply::SplitKey(key, nullptr, nullptr)) return;
  if (IsLoaded(key)) {
    SendMonth(key, replyWindow);
    return;
  }
  if (replyWindow) m_requests.push_back({key, replyWindow});
  else m_prefetch.push_back({key, nullptr});
}

void CMonthCache::ProcessQueue() {
  while (!m_requests.empty()) {
    const Pending front = m_requests.front();
    m_requests.erase(m_requests.begin());
    if (!IsWindow(front.window)) continue;
    if (m_owner) m_owner->LoadMonth(front.key);
    SendMonth(front.key, front.window);
  }
  if (!m_prefetch.empty()) {
    const Pending front = m_prefetch.front();
    m_prefetch.erase(m_prefetch.begin());
    // Nobody waits for this month: the user's own work goes first.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    if (m_owner) m_owner->LoadMonth(front.key);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  }
}

void CMonthCache::Clear() {
  while (!m_keys.empty()) RemoveAt(m_keys.size() - 1);
  m_requests.clear();
  m_prefetch.clear();
}

BOOL CMonthCache::SendMonth(DWORD key, HWND window) {
  if (!window || !IsWindow(window)) return FALSE;
  CMonthItem* item = GetMonth(key);
  if (!item) return FALSE;
  static_assert(sizeof(CMonthReply::Layout) == 576, "the month reply is 576 bytes");
  CMonthReply::Layout reply;
  item->CopyReply(&reply);
  COPYDATASTRUCT copy = {key, CMonthItem::GetReplySize(), &reply};
  // A reply window that has stopped answering must not stop the program with it.
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(m_owner ? m_owner->GetOwnerWindow() : nullptr),
                             reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, kReplyTimeout, &result) != 0;
}

void ComputeMonth(CMonthItem* month, BOOL markConflicting) {
  if (!month || month->IsLoaded()) return;
  month->ResetLast();
  CAppointmentsList list(TRUE);
  list.SetRange(month->GetMonthStart(), month->GetNextMonthStart());
  CAppointmentRecord* record = nullptr;
  for (BOOL more = list.GetFirst(&record); more && record; more = list.GetNext(&record)) month->AddRecord(*record);
  month->Finish(&list, markConflicting);
  month->SetLoaded(TRUE);
}
