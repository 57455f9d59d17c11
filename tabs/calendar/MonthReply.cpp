#include "tabs/calendar/MonthReply.h"

#include <cstring>

BOOL CMonthReply::SplitKey(ULONG_PTR key, int* year, int* month) {
  const DWORD value = static_cast<DWORD>(key);
  if (static_cast<ULONG_PTR>(value) != key) return FALSE;
  const int y = HIWORD(value), m = LOWORD(value);
  if (m < 1 || m > 12 || y < 1601 || y > 9999) return FALSE;
  if (year) *year = y;
  if (month) *month = m;
  return TRUE;
}

BOOL CMonthReply::Read(const COPYDATASTRUCT* data) {
  if (!data || !data->lpData || data->cbData != kSize) return FALSE;
  int year = 0, month = 0;
  if (!SplitKey(data->dwData, &year, &month)) return FALSE;
  std::memcpy(&m_layout, data->lpData, kSize);
  m_year = year;
  m_month = month;
  return TRUE;
}

BOOL CMonthReply::IsPresent(int slot) const {
  if (slot < 0 || slot >= kSlots) return FALSE;
  return (m_layout.presence[slot / 32] >> (slot % 32)) & 1;
}

int CMonthReply::GetLevel(int slot) const {
  if (slot < 0 || slot >= kSlots) return 0;
  return static_cast<int>((m_layout.levels[slot / 16] >> (2 * (slot % 16))) & 3);
}

int CMonthReply::GetStatus(int slot) const {
  const int level = GetLevel(slot);
  if (IsPresent(slot)) return level;
  return level == 3 ? 5 : -1;
}

void CMonthReply::SetSlot(int slot, BOOL present, int level) {
  if (slot < 0 || slot >= kSlots) return;
  DWORD& bits = m_layout.presence[slot / 32];
  const DWORD bit = 1u << (slot % 32);
  bits = present ? (bits | bit) : (bits & ~bit);
  DWORD& word = m_layout.levels[slot / 16];
  const int shift = 2 * (slot % 16);
  word = (word & ~(3u << shift)) | ((static_cast<DWORD>(level) & 3u) << shift);
}
