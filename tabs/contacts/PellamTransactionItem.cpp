#include "tabs/contacts/PellamTransactionItem.h"

#include "base/DateTime.h"
#include "platform/pellam/PellamScheduledApi.h"

namespace {

// The library's texts end at their zero; a text longer than any transaction's is cut.
const size_t kMaxText = 1024;

void Take(CString& out, LPCWSTR text) {
  if (!text) return;
  out = CString(text, static_cast<int>(wcsnlen(text, kMaxText)));
}

}  // namespace

CPellamTransactionItem* CPellamTransactionItem::Create(const PELLAM_SCHEDULED_RECORD& record, double dayAsked) {
  auto* item = new CPellamTransactionItem();
  item->CRefObjectCounted();
  Take(item->m_first, record.pszFirst);
  Take(item->m_second, record.pszSecond);
  Take(item->m_third, record.pszThird);
  item->m_reminder = record.dwReminder != 0;
  item->m_year = record.wYear;
  item->m_month = record.wMonth;
  item->m_day = record.wDay;
  item->m_id = record.dwId;

  SYSTEMTIME now = {};
  GetLocalTime(&now);
  SYSTEMTIME when = now;
  when.wYear = record.wYear;
  when.wMonth = record.wMonth;
  when.wDay = record.wDay;
  when.wDayOfWeek = 0;
  double date = 0;
  const bool valid = record.wMonth >= 1 && record.wMonth <= 12 && record.wDay >= 1 &&
                     record.wDay <= DaysInMonth(record.wYear, record.wMonth) && record.wYear >= 100 &&
                     SystemTimeToVariantDate(when, &date);
  if (!valid) {
    double timeOfDay = 0;
    SYSTEMTIME midnight = now;
    midnight.wHour = midnight.wMinute = midnight.wSecond = midnight.wMilliseconds = 0;
    double nowDate = 0, dayStart = 0;
    if (SystemTimeToVariantDate(now, &nowDate) && SystemTimeToVariantDate(midnight, &dayStart))
      timeOfDay = nowDate - dayStart;
    date = VariantDateFloor(dayAsked) + timeOfDay;
  }
  item->m_date = date;
  return item;
}
