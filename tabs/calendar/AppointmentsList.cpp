#include "tabs/calendar/AppointmentsList.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/DateTime.h"
#include "base/MergeSort.h"
#include "base/RecurrencePattern.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "pim/CategoriesList.h"
#include "res/TarvoResIds.h"
#include "pim/IconProviderRef.h"
#include "pim/LocaleSortKey.h"
#include "tabs/calendar/CompareAppointments.h"
#include "tabs/calendar/DateTimeDlg.h"

namespace {

const wchar_t kDatabaseName[] = L"Appointments Database";
const CEPROPID kLegacyStartProp = 0x420D0040;
const DWORD kNewerStartSortIndex = 1;
const CEPROPID kNewerStartProp = 0x10420040;
const DWORD kNewerItemFlag = 0x40000000;
const DWORD kDaysBeforeStartDefault = 33;

// Read-list positions, the same in both layouts.
// The first kTimeProps are all a walk over the whole store needs to decide whether a
// record may belong to the range; only those that may are read whole.
enum Prop {
  kStart, kDuration, kAllDay, kRecurring, kTimeProps,
  kItemIdProp = kTimeProps, kSubject, kLocation, kBusy, kPrivate, kReminderSet,
  kReminderMinutes, kPatternBlob, kZoneBlob, kAttendees, kNotes, kCategories, kPropCount
};

const CEPROPID kLegacyIds[kPropCount] = {
    0x420D0040, 0x42130003, 0x42150003, 0x42230002, 0,          0x0037001F, 0x4208001F, 0x000F0002,
    0x00040002, 0x45030002, 0x45010003, 0x40150041, 0x00010041, 0x00300041, 0x00170041, 0x00160041};
const CEPROPID kNewerIds[kPropCount] = {
    0x10420040, 0x10400013, 0x0044000B, 0x0022000B, kRecordIdPropId, 0x0020001F, 0x0041001F, 0x00450013,
    0x00210013, 0x0028000B, 0x00460013, 0x203F0064, 0x00480041, 0x205F0064, 0x001E0064, 0};

const CEPROPID* LayoutIds() { return IsNewerStore() ? kNewerIds : kLegacyIds; }

// A variant date truncated to its day, safe for any value.
double DayOf(double date) {
  if (!(date > -1e9 && date < 1e9)) return date > 0 ? 1e9 : -1e9;
  return static_cast<double>(static_cast<LONGLONG>(date));
}

LONG CurrentBias(TIME_ZONE_INFORMATION* out) {
  TIME_ZONE_INFORMATION& zone = *out;
  zone = TIME_ZONE_INFORMATION{};
  DWORD which = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return bias;
}

void ReleaseAll(std::vector<CAppointmentRecord*>& records) {
  for (CAppointmentRecord* r : records) r->Release();
  records.clear();
}

CAppointmentRecord* NewRecord() {
  CAppointmentRecord* record = new (std::nothrow) CAppointmentRecord();
  if (record) {
    record->CRefObjectCounted();
    record->m_yearCount = -1;
  }
  return record;
}

// A record with what the order compares, worked out once: comparing the subjects' sort
// keys orders them as comparing the subjects does, without the locale's work per pair.
struct SortEntry {
  CAppointmentRecord* record;
  LONGLONG minute;
  std::vector<BYTE> key;
};

int CompareEntries(void*, const SortEntry* a, const SortEntry* b) {
  if (a->minute != b->minute) return a->minute < b->minute ? -1 : 1;
  if (a->record->m_busyStatus != b->record->m_busyStatus) return a->record->m_busyStatus < b->record->m_busyStatus ? -1 : 1;
  return CompareLocaleSortKeys(a->key, b->key);
}

// Sorts the records in CompareAppointments order (stable).
void SortRecords(std::vector<CAppointmentRecord*>& records) {
  if (records.size() < 2) return;
  std::vector<SortEntry> entries(records.size());
  std::vector<SortEntry*> order(records.size());
  for (size_t k = 0; k < records.size(); ++k) {
    entries[k].record = records[k];
    entries[k].minute = AppointmentStartMinute(records[k]->m_start);
    MakeLocaleSortKey(records[k]->m_subject, records[k]->m_subject.GetLength(), kAppointmentSubjectFlags, &entries[k].key);
    order[k] = &entries[k];
  }
  if (MergeSort(order.data(), static_cast<int>(order.size()), static_cast<void*>(nullptr), CompareEntries) < 0) return;
  for (size_t k = 0; k < records.size(); ++k) records[k] = order[k]->record;
}

}  // namespace

CAppointmentsList::CAppointmentsList(BOOL suspendNotifications)
    : m_loaded(FALSE),
      m_cursor(0),
      m_from(kUnset),
      m_to(kUnset),
      m_notifyDb(INVALID_HANDLE_VALUE),
      m_plainDb(INVALID_HANDLE_VALUE),
      m_notifyWindow(nullptr),
      m_suspended(suspendNotifications),
      m_request{},
      m_bias(0),
      m_zone{},
      m_listener(nullptr),
      m_requests(nullptr) {}

CAppointmentsList::~CAppointmentsList() { Close(); }

CAppointmentsList& CAppointmentsList::GetGlobal() {
  static CAppointmentsList list;
  return list;
}

void CAppointmentsList::SetRange(double from, double to) {
  if (from == m_from && to == m_to && from >= 0 && to >= 0) return;
  Clear();
  // One rule for "no range": both bounds -1, whatever half-set range was asked for.
  if (from >= 0 && to >= 0) {
    m_from = from;
    m_to = to;
  } else {
    m_from = m_to = kUnset;
  }
}

BOOL CAppointmentsList::OpenHandles() {
  if (m_notifyDb != INVALID_HANDLE_VALUE && m_plainDb != INVALID_HANDLE_VALUE) return TRUE;
  CCeDbApi* api = GetCeDbApi();
  CENOTIFYREQUEST* request = nullptr;
  if (m_notifyWindow) {
    m_request = CENOTIFYREQUEST{};
    m_request.dwSize = sizeof(CENOTIFYREQUEST);
    m_request.hwnd = m_notifyWindow;
    m_request.dwFlags = CEDB_EXNOTIFICATION;
    m_request.dwParam = reinterpret_cast<DWORD_PTR>(this);
    request = &m_request;
  }
  if (m_notifyDb == INVALID_HANDLE_VALUE) {
    DWORD sort = IsNewerStore() ? kNewerStartSortIndex : kLegacyStartProp;
    m_notifyDb = api->OpenDatabase(kDatabaseName, TRUE, sort, request, nullptr);
  }
  if (m_plainDb == INVALID_HANDLE_VALUE) m_plainDb = api->OpenDatabase(kDatabaseName, FALSE, 0, nullptr, nullptr);
  if (m_notifyDb == INVALID_HANDLE_VALUE || m_plainDb == INVALID_HANDLE_VALUE) {
    if (m_notifyDb != INVALID_HANDLE_VALUE) CloseHandle(m_notifyDb);
    if (m_plainDb != INVALID_HANDLE_VALUE) CloseHandle(m_plainDb);
    m_notifyDb = m_plainDb = INVALID_HANDLE_VALUE;
    return FALSE;
  }
  return TRUE;
}

void CAppointmentsList::PrepareReadList(CDbRecord& reader, BOOL timesOnly) const {
  const CEPROPID* ids = LayoutIds();
  for (int k = 0; k < (timesOnly ? kTimeProps : kPropCount); ++k)
    reader.AddPropId(ids[k] ? ids[k] : 0xFFFF0013);  // unused slot
}

void CAppointmentsList::ReadTimes(const CDbRecord& reader, CAppointmentRecord* record) const {
  double start = 0;
  reader.GetDate(kStart, &start, 0, FALSE);
  record->m_start = start;
  LONG duration = reader.GetLong(kDuration, 0);
  if (IsNewerStore()) {
    record->m_allDay = reader.GetLong(kAllDay, 0) != 0 ? TRUE : FALSE;
    record->m_isRecurring = reader.GetLong(kRecurring, 0) != 0;
    // The newer store counts an all-day appointment up to 23:59 of its last day.
    if (record->m_allDay) duration -= 1439;
  } else {
    record->m_allDay = reader.GetLong(kAllDay, 0) == 1;
    short s = 0;
    reader.GetShort(kRecurring, &s, 0);
    record->m_isRecurring = s != 0;
  }
  if (duration < 0) duration = 0;
  record->m_durationMinutes = duration;
  if (record->m_allDay) {
    double shift = m_bias < -720 ? 13.0 / 24 : (m_bias < 720 ? 0.5 : 11.0 / 24);
    record->m_start = DayOf(record->m_start + shift);
    record->m_end = DayOf(record->m_start + duration / 1440.0);
  } else {
    record->m_end = record->m_start + duration / 1440.0;
  }
}

BOOL CAppointmentsList::PastRange(const CAppointmentRecord& record) const {
  // The walk goes in start order: after a timed record that starts on or after the
  // range's end day, every record (all-day ones only move later) starts there too and
  // would be rejected. An all-day start is moved by the bias and cannot mark the end.
  return IsRangeSet() && !record.m_allDay && DayOf(record.m_start) >= DayOf(m_to);
}

BOOL CAppointmentsList::OutsideRange(const CAppointmentRecord& record) const {
  return IsRangeSet() && !record.m_isRecurring && (DayOf(record.m_start) >= DayOf(m_to) || record.m_end < m_from);
}

BOOL CAppointmentsList::FillRecord(const CDbRecord& reader, CEOID oid, CAppointmentRecord* record,
                                   RecurrencePattern** pattern) const {
  const bool newer = IsNewerStore() != FALSE;
  if (pattern) *pattern = nullptr;
  if (newer) {
    DWORD id = static_cast<DWORD>(reader.GetLong(kItemIdProp, 0));
    record->m_itemId = id ? (id | kNewerItemFlag) : 0;
    record->m_recordId = oid;
  } else {
    record->m_itemId = oid;
    record->m_recordId = 0;
  }
  ReadTimes(reader, record);
  // Most of a store lies outside the range: those are rejected before anything costly.
  if (OutsideRange(*record)) {
    record->m_itemId = 0;
    return TRUE;
  }
  if (newer) {
    record->m_busyStatus = reader.GetLong(kBusy, 2);
    record->m_isPrivate = reader.GetLong(kPrivate, 0);
    record->m_reminderSet = reader.GetLong(kReminderSet, 0) != 0;
    record->m_reminderMinutes = reader.GetLong(kReminderMinutes, 0);
  } else {
    short s = 2;
    reader.GetShort(kBusy, &s, 2);
    record->m_busyStatus = s;
    reader.GetShort(kPrivate, &s, 0);
    record->m_isPrivate = s;
    reader.GetShort(kReminderSet, &s, 0);
    record->m_reminderSet = s != 0;
    record->m_reminderMinutes = reader.GetLong(kReminderMinutes, 0);
  }
  reader.GetString(kSubject, record->m_subject, L"");
  reader.GetString(kLocation, record->m_location, L"");
  BYTE* data = nullptr;
  DWORD size = 0;
  record->m_isMeeting = reader.GetBlob(kAttendees, &data, &size) && data && size > 0;
  record->m_hasNotes = HasNoteValue(reader, kNotes);
  record->m_iconName = record->m_itemId ? CIconProviderRef::GetIconName(record->m_itemId) : CString();
  record->m_categories.Clear();
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) {
    if (newer) {
      if (record->m_itemId) categories->ReadItemCategories(record->m_itemId, record->m_categories);
    } else if (reader.GetBlob(kCategories, &data, &size)) {
      categories->ReadCategoryBits(data, size, record->m_categories);
    }
  }

  if (record->m_isRecurring && pattern) {
    BYTE* blob = nullptr;
    DWORD blobSize = 0;
    BYTE* zone = nullptr;
    DWORD zoneSize = 0;
    reader.GetBlob(kPatternBlob, &blob, &blobSize);
    reader.GetBlob(kZoneBlob, &zone, &zoneSize);
    if (blob) {
      auto decoded = std::make_unique<RecurrencePattern>(record);
      decoded->SetDeviceZone(&m_zone);
      if (decoded->Decode(blob, blobSize, zone, zone ? zoneSize : 0)) {
        decoded->GetEnd(m_bias);
        *pattern = decoded.release();
      }
    }
  }

  if (IsRangeSet() && DayOf(record->m_start) >= DayOf(m_to)) record->m_itemId = 0;
  return TRUE;
}

void CAppointmentsList::Expand(CAppointmentRecord* master, RecurrencePattern* pattern,
                               std::vector<CAppointmentRecord*>* out) const {
  if (!IsRangeSet() || !pattern) return;
  // From the day an occurrence that still runs into the range began.
  double cursor = DayOf(m_from) - static_cast<double>(master->m_durationMinutes / 1440);
  const double lastDay = DayOf(m_to);
  // A pattern never yields more than a handful a day; this bounds a damaged one.
  LONGLONG budget = (static_cast<LONGLONG>(lastDay - cursor) + 2) * 16;
  CAppointmentRecord* occurrence = NewRecord();
  if (!occurrence) return;
  BOOL more = pattern->FirstOccurrence(cursor, occurrence);
  while (more && budget-- > 0) {
    if (occurrence->m_pattern) {
      occurrence->m_pattern = nullptr;
      if (occurrence->m_itemId != 0 && EffectiveEnd(*occurrence) > m_from && occurrence->m_start < m_to) {
        out->push_back(occurrence);
        occurrence = NewRecord();
        if (!occurrence) return;
      }
    }
    if (pattern->GetCursorDay() > lastDay) break;
    more = pattern->NextOccurrence(occurrence);
  }
  occurrence->Release();
}

BOOL CAppointmentsList::LoadWhole(CDbRecord& full, CEOID oid, BOOL singles, BOOL series) {
  // Reading it whole by its identifier leaves the walk's position just after it.
  if (!full.Read(oid, TRUE)) return FALSE;
  CAppointmentRecord* record = NewRecord();
  if (!record) return FALSE;
  RecurrencePattern* raw = nullptr;
  FillRecord(full, oid, record, series ? &raw : nullptr);
  std::unique_ptr<RecurrencePattern> pattern(raw);
  if (record->m_itemId) {
    if (!record->m_isRecurring) {
      if (singles) {
        m_records.push_back(record);
        record = nullptr;
      }
    } else if (series && pattern) {
      Expand(record, pattern.get(), &m_records);
    }
  }
  pattern.reset();
  if (record) record->Release();
  return TRUE;
}

void CAppointmentsList::LoadLegacy() {
  CDbRecord light(m_notifyDb);
  PrepareReadList(light, TRUE);
  CDbRecord full(m_notifyDb);
  PrepareReadList(full, FALSE);
  CAppointmentRecord probe;
  CEOID oid = 0;
  BOOL found = light.SeekAndRead(CEDB_SEEK_BEGINNING, 0, &oid);
  while (found && oid) {
    ReadTimes(light, &probe);
    if (PastRange(probe)) break;
    if (!OutsideRange(probe) && !LoadWhole(full, oid, TRUE, TRUE)) break;
    oid = light.Read(0, TRUE);
  }
}

void CAppointmentsList::LoadNewer() {
  CDbRecord light(m_notifyDb);
  PrepareReadList(light, TRUE);
  CDbRecord full(m_notifyDb);
  PrepareReadList(full, FALSE);
  CAppointmentRecord probe;
  // Single appointments: from a little before the range, in start order.
  DWORD daysBefore = kDaysBeforeStartDefault;
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
    if (product.IsOpen()) daysBefore = product.GetDWORD(L"AppList_LoadDaysBeforeStart", kDaysBeforeStartDefault);
  }
  CEOID oid = 0;
  BOOL found;
  if (IsRangeSet()) {
    CEPROPVAL key{};
    key.propid = kNewerStartProp;
    double seekDay = DayOf(m_from) - static_cast<double>(std::min<DWORD>(daysBefore, 100000));
    if (!VariantDateToFileTime(seekDay, &key.val.filetime)) key.val.filetime = FILETIME{};
    found = light.SeekAndRead(CEDB_SEEK_VALUEGREATER, reinterpret_cast<DWORD_PTR>(&key), &oid);
  } else {
    found = light.SeekAndRead(CEDB_SEEK_BEGINNING, 0, &oid);
  }
  while (found && oid) {
    ReadTimes(light, &probe);
    if (!probe.m_isRecurring) {
      if (IsRangeSet() && DayOf(probe.m_start) >= DayOf(m_to)) break;
      if ((!IsRangeSet() || DayOf(probe.m_end) >= DayOf(m_from)) && !LoadWhole(full, oid, TRUE, FALSE)) break;
    }
    oid = light.Read(0, TRUE);
  }
  // Series: every recurring record, expanded over the range.
  found = light.SeekAndRead(CEDB_SEEK_BEGINNING, 0, &oid);
  while (found && oid) {
    ReadTimes(light, &probe);
    if (PastRange(probe)) break;
    if (probe.m_isRecurring && !LoadWhole(full, oid, FALSE, TRUE)) break;
    oid = light.Read(0, TRUE);
  }
}

BOOL CAppointmentsList::Open() {
  if (!OpenHandles()) return FALSE;
  m_bias = CurrentBias(&m_zone);
  ReleaseAll(m_records);
  if (IsNewerStore())
    LoadNewer();
  else
    LoadLegacy();
  SortRecords(m_records);
  RebuildBusyIntervals();
  m_loaded = TRUE;
  return TRUE;
}

BOOL CAppointmentsList::GetFirst(CAppointmentRecord** record) {
  if (!m_loaded && !Open()) {
    if (record) *record = nullptr;
    return FALSE;
  }
  m_cursor = 0;
  return GetNext(record);
}

BOOL CAppointmentsList::GetNext(CAppointmentRecord** record) {
  if (m_cursor < 0 || m_cursor >= GetCount()) {
    if (record) *record = nullptr;
    return FALSE;
  }
  if (record) *record = m_records[m_cursor];
  ++m_cursor;
  return TRUE;
}

int CAppointmentsList::FindByItemId(DWORD itemId) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_records[i]->m_itemId == itemId) return i;
  return -1;
}

int CAppointmentsList::FindByRecordId(DWORD recordId) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_records[i]->m_recordId == recordId) return i;
  return -1;
}

void CAppointmentsList::Clear() {
  ReleaseAll(m_records);
  CBusyIntervals::Clear();
  m_loaded = FALSE;
  m_cursor = 0;
}

void CAppointmentsList::Close() {
  if (m_notifyDb != INVALID_HANDLE_VALUE) CloseHandle(m_notifyDb);
  if (m_plainDb != INVALID_HANDLE_VALUE) CloseHandle(m_plainDb);
  m_notifyDb = m_plainDb = INVALID_HANDLE_VALUE;
  Clear();
  m_notifyWindow = nullptr;
}

double CAppointmentsList::EffectiveEnd(const CAppointmentRecord& record) {
  return record.m_allDay ? record.m_end + 1.0 : record.m_end;
}

BOOL CAppointmentsList::OverlapsRange(const CAppointmentRecord& record) const {
  if (!IsRangeSet()) return TRUE;
  return EffectiveEnd(record) > m_from && record.m_start < m_to;
}

void CAppointmentsList::RebuildBusyIntervals() {
  CBusyIntervals::Clear();
  for (CAppointmentRecord* r : m_records) Add(r->m_start, r->m_end, *r);
}

void CAppointmentsList::Resort(int index) {
  if (index < 0 || index >= GetCount()) return;
  while (index > 0 && CompareAppointments(*m_records[index - 1], *m_records[index]) > 0) {
    std::swap(m_records[index - 1], m_records[index]);
    --index;
  }
  while (index + 1 < GetCount() && CompareAppointments(*m_records[index + 1], *m_records[index]) < 0) {
    std::swap(m_records[index + 1], m_records[index]);
    ++index;
  }
}

void CAppointmentsList::RemoveAt(int index) {
  CAppointmentRecord* record = m_records[index];
  m_records.erase(m_records.begin() + index);
  if (!Remove(record->m_start, record->m_end, *record)) RebuildBusyIntervals();
  record->Release();
}

void CAppointmentsList::Tell() {
  if (m_listener) m_listener->OnAppointmentsChanged();
}

CAppointmentRecord* CAppointmentsList::ReadFresh(CEOID recordOid) {
  if (!recordOid) return nullptr;
  CDbRecord reader(m_notifyDb);
  PrepareReadList(reader, FALSE);
  CEOID oid = reader.Read(recordOid, TRUE);
  if (!oid) return nullptr;
  CAppointmentRecord* record = NewRecord();
  if (!record) return nullptr;
  FillRecord(reader, oid, record, nullptr);
  if (!record->m_itemId) {
    record->Release();
    return nullptr;
  }
  return record;
}

BOOL CAppointmentsList::ReloadSeries(DWORD itemId, BOOL deletedOnly) {
  std::vector<CAppointmentRecord*> kept;
  bool released = false;
  for (CAppointmentRecord* r : m_records) {
    if (r->m_itemId == itemId) {
      r->Release();
      released = true;
    } else {
      kept.push_back(r);
    }
  }
  m_records.swap(kept);
  std::vector<CAppointmentRecord*> fresh;
  if (!deletedOnly) {
    // The newer store finds the master by its item identifier, which only the plain
    // handle's order (by that identifier) can seek; the older one's is the record.
    CDbRecord reader(IsNewerStore() ? m_plainDb : m_notifyDb);
    PrepareReadList(reader, FALSE);
    CEOID oid = IsNewerStore() ? reader.Read(itemId, FALSE) : reader.Read(itemId, TRUE);
    if (oid) {
      CAppointmentRecord* master = NewRecord();
      if (master) {
        RecurrencePattern* raw = nullptr;
        FillRecord(reader, oid, master, &raw);
        std::unique_ptr<RecurrencePattern> pattern(raw);
        // The same expansion as the first load, so a series reloaded after a change
        // shows what a fresh load would.
        if (master->m_itemId && pattern) Expand(master, pattern.get(), &fresh);
        pattern.reset();
        master->Release();
      }
    }
  }
  if (!released && fresh.empty()) {
    RebuildBusyIntervals();
    return FALSE;
  }
  SortRecords(fresh);
  std::vector<CAppointmentRecord*> merged;
  merged.reserve(m_records.size() + fresh.size());
  std::merge(m_records.begin(), m_records.end(), fresh.begin(), fresh.end(), std::back_inserter(merged),
             [](const CAppointmentRecord* a, const CAppointmentRecord* b) { return CompareAppointments(*a, *b) < 0; });
  m_records.swap(merged);
  RebuildBusyIntervals();
  return TRUE;
}

BOOL CAppointmentsList::OnDatabaseNotify(CENOTIFICATION* notification, BOOL keep) {
  if (!notification) return FALSE;
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) categories->OpenDatabases();
  if (IsNewerStore() && keep && FindByRecordId(notification->oid) < 0) {
    int index = FindByItemId(notification->oid);
    if (index >= 0) notification->oid = m_records[index]->m_recordId;
  }
  return ApplyNotification(notification, keep);
}

BOOL CAppointmentsList::ApplyNotification(CENOTIFICATION* notification, BOOL keep) {
  if (!notification) return FALSE;
  // What the steps below need is taken before the notification may be freed.
  const UINT type = notification->uType;
  const CEOID oid = notification->oid;
  if (!keep) CeFreeNotification(&m_request, notification);
  if (!m_loaded) return FALSE;
  if (type != kRecordCreated && type != kRecordDeleted && type != kRecordChanged && type != kResetAll) return FALSE;
  if (type == kResetAll) {
    Clear();
    Tell();
    return TRUE;
  }
  const bool newer = IsNewerStore() != FALSE;
  int index = newer ? FindByRecordId(oid) : FindByItemId(oid);
  BOOL recurring = index >= 0 ? m_records[index]->m_isRecurring : FALSE;
  DWORD itemId = index >= 0 ? m_records[index]->m_itemId : (newer ? 0 : oid);
  if (type != kRecordDeleted && (!recurring || newer)) {
    CDbRecord reader(m_notifyDb);
    int idIndex = reader.AddPropId(newer ? kRecordIdPropId : 0x42230002);
    int recurringIndex = newer ? reader.AddPropId(0x0022000B) : idIndex;
    if (!reader.Read(oid, TRUE)) return FALSE;
    if (newer) {
      DWORD id = static_cast<DWORD>(reader.GetLong(idIndex, 0));
      if (!id) return FALSE;
      itemId = id | kNewerItemFlag;
      recurring = reader.GetLong(recurringIndex, 0) != 0;
    } else {
      short value = 0;
      reader.GetShort(recurringIndex, &value, 0);
      recurring = value != 0;
    }
  }
  if (recurring) {
    if (ReloadSeries(itemId, type == kRecordDeleted)) Tell();
    return TRUE;
  }
  UINT effective = type;
  if (type == kRecordChanged && index < 0) effective = kRecordCreated;
  if (effective == kRecordDeleted) {
    if (index < 0) return FALSE;
    RemoveAt(index);
    Tell();
    return TRUE;
  }
  if (effective == kRecordCreated) {
    CAppointmentRecord* record = ReadFresh(oid);
    if (!record) return FALSE;
    if (!OverlapsRange(*record)) {
      record->Release();
      return FALSE;
    }
    m_records.push_back(record);
    Add(record->m_start, record->m_end, *record);
    Resort(GetCount() - 1);
    Tell();
    return TRUE;
  }
  // Changed, and held: re-read in place.
  CAppointmentRecord* record = m_records[index];
  BOOL refused = !Remove(record->m_start, record->m_end, *record);
  CAppointmentRecord* fresh = ReadFresh(oid);
  if (fresh && OverlapsRange(*fresh)) {
    record->Assign(*fresh);
    fresh->Release();
    Resort(index);
    if (refused)
      RebuildBusyIntervals();
    else
      Add(record->m_start, record->m_end, *record);
  } else {
    if (fresh) fresh->Release();
    m_records.erase(m_records.begin() + index);
    record->Release();
    RebuildBusyIntervals();
  }
  Tell();
  return TRUE;
}

BOOL CAppointmentsList::SetPrivate(const CAppointmentRecord* record, LONG value) {
  if (!record || !record->m_itemId || !OpenHandles()) return FALSE;
  CDbRecord writer(m_plainDb);
  int index = writer.AddPropId(IsNewerStore() ? 0x00210013 : 0x00040002);
  if (!writer.SetLong(index, value)) return FALSE;
  CEOID target = IsNewerStore() ? record->m_recordId : record->m_itemId;
  return writer.WriteRecord(target, TRUE) != 0;
}

BOOL CAppointmentsList::ReadMaster(DWORD itemId, CAppointmentRecord* master) {
  if (!OpenHandles()) return FALSE;
  CDbRecord reader(IsNewerStore() ? m_plainDb : m_notifyDb);
  PrepareReadList(reader, FALSE);
  CEOID oid = IsNewerStore() ? reader.Read(itemId, FALSE) : reader.Read(itemId, TRUE);
  if (!oid) return FALSE;
  RecurrencePattern* raw = nullptr;
  FillRecord(reader, oid, master, &raw);
  delete raw;
  return TRUE;
}

BOOL CAppointmentsList::SetBusyStatus(const CAppointmentRecord* record, LONG status, BOOL wholeSeries) {
  if (!record || status < 0 || status > 3 || !record->m_itemId) return FALSE;
  if (record->m_isRecurring) {
    if (!m_requests) return FALSE;
    double start = record->m_start;
    double end = record->m_end;
    BOOL allDay = record->m_allDay;
    if (wholeSeries) {
      // The series' own times, from its master record.
      CAppointmentRecord master;
      if (!ReadMaster(record->m_itemId, &master)) return FALSE;
      start = master.m_start;
      end = master.m_end;
      allDay = master.m_allDay;
    }
    // The newer store takes an all-day end as the day after the last.
    if (IsNewerStore() && allDay) end = DayOf(end) + 1.0;
    double occurrence = wholeSeries ? IAppointmentRequests::kWholeSeries : DayOf(record->m_start);
    return m_requests->ChangeAppointment(record->m_itemId, occurrence, start, end, status, allDay);
  }
  if (!OpenHandles()) return FALSE;
  CDbRecord writer(m_plainDb);
  int index = writer.AddPropId(IsNewerStore() ? 0x00450013 : 0x000F0002);
  if (!writer.SetLong(index, status)) return FALSE;
  CEOID target = IsNewerStore() ? record->m_recordId : record->m_itemId;
  return writer.WriteRecord(target, TRUE) != 0;
}

BOOL CAppointmentsList::DeleteAppointment(const CAppointmentRecord* record, BOOL wholeSeries) {
  if (!record || !record->m_itemId || !m_requests) return FALSE;
  double occurrence = wholeSeries ? IAppointmentRequests::kWholeSeries : DayOf(record->m_start);
  return m_requests->ChangeAppointment(record->m_itemId, occurrence, IAppointmentRequests::kNoDate,
                                       IAppointmentRequests::kNoDate, 0, FALSE);
}

BOOL CAppointmentsList::SetReminder(const CAppointmentRecord* record, LONG minutes) {
  if (!record || !record->m_itemId || !m_requests) return FALSE;
  return m_requests->SetApptReminder(record->m_itemId, minutes);
}

namespace {

CAppointmentsList::PFN_MESSAGE_BOX g_messageBox = nullptr;

}  // namespace

CAppointmentsList::PFN_MESSAGE_BOX CAppointmentsList::SetMessageBoxHandler(PFN_MESSAGE_BOX handler) {
  PFN_MESSAGE_BOX previous = g_messageBox;
  g_messageBox = handler;
  return previous;
}

BOOL CAppointmentsList::EditTimes(const CAppointmentRecord* record) {
  if (!record || !record->m_itemId) return FALSE;
  BOOL wholeSeries = FALSE;
  CAppointmentRecord master;
  const CAppointmentRecord* source = record;
  if (record->m_isRecurring) {
    CString question;
    LoadUIString(question, IDS_CAL_ONE_OCCURRENCE);
    const UINT type = MB_YESNOCANCEL | MB_ICONEXCLAMATION;
    const int answer = g_messageBox ? g_messageBox(m_panelWindow, question, record->m_subject, type)
                                    : MessageBoxW(m_panelWindow, question, record->m_subject, type);
    if (answer != IDYES && answer != IDNO) return FALSE;
    if (answer == IDNO) {
      wholeSeries = TRUE;
      if (!ReadMaster(record->m_itemId, &master)) return FALSE;
      master.m_itemId = record->m_itemId;
      source = &master;
    }
  }
  CDateTimeDlg dialog;
  dialog.m_start = source->m_start;
  dialog.m_end = source->m_end;
  dialog.m_allDay = source->m_allDay;
  dialog.m_title = record->m_subject;
  dialog.m_reminder = source->m_reminderSet ? source->m_reminderMinutes : -1;
  dialog.m_datesFixed = wholeSeries;
  dialog.m_reminderAvailable = !record->m_isRecurring || wholeSeries;
  if (dialog.DoModal(m_panelWindow) != IDOK) return FALSE;
  double end = dialog.m_end;
  // The newer store takes an all-day end as the day after the last.
  if (IsNewerStore() && record->m_allDay) end = DayOf(end) + 1.0;
  if (dialog.m_reminderAvailable) SetReminder(record, dialog.m_reminder);
  if (!m_requests) return FALSE;
  const double occurrence = wholeSeries ? IAppointmentRequests::kWholeSeries : DayOf(record->m_start);
  return m_requests->ChangeAppointment(record->m_itemId, occurrence, dialog.m_start, end, record->m_busyStatus,
                                       dialog.m_allDay);
}

BOOL CAppointmentsList::ShowNotes(HWND owner, const RECT& rect, const CAppointmentRecord* record) {
  if (!record || !m_noteViewer) return FALSE;
  if (!record->m_note.IsEmpty()) {
    const LPCWSTR text = record->m_note;
    return m_noteViewer->ShowInk(owner, rect, record->m_subject, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>((record->m_note.GetLength() + 1) * sizeof(WCHAR)));
  }
  if (!record->m_itemId || !OpenHandles()) return FALSE;
  if (!LayoutIds()[kNotes]) return FALSE;
  CDbRecord reader(m_plainDb);
  PrepareReadList(reader, FALSE);
  const CEOID oid = IsNewerStore() ? reader.Read(record->m_itemId, FALSE) : reader.Read(record->m_itemId, TRUE);
  if (!oid || !HasNoteValue(reader, kNotes)) return FALSE;
  BYTE* data = nullptr;
  DWORD size = 0;
  reader.GetBlob(kNotes, &data, &size);
  CString subject;
  reader.GetString(kSubject, subject, record->m_subject);
  return m_noteViewer->ShowInk(owner, rect, subject, data, size);
}
