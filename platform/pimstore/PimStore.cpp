#include "platform/pimstore/PimStore.h"

#include <cmath>
#include <cwchar>
#include <map>

#include "platform/coredll/DeviceIdentity.h"

namespace {

const CEPROPID kItemIdProp = 0x10000066;
const CEPROPID kLegacyCategories = 0x00160041;
const double kNoDate = 949998.0;
// Variant day of 1601-01-01, the file-time epoch.
const double kFileTimeEpoch = -109205.0;

struct FieldProps {
  PimKind kind;
  PimField field;
  CEPROPID older;  // 0: not stored in that layout
  CEPROPID newer;
};

const FieldProps kProps[] = {
    {PimKind::Appointment, kSubject, 0x0037001F, 0x0020001F},
    {PimKind::Appointment, kLocation, 0x4208001F, 0x0041001F},
    {PimKind::Appointment, kStart, 0x420D0040, 0x10420040},
    {PimKind::Appointment, kDuration, 0x42130003, 0x10400013},
    {PimKind::Appointment, kAllDay, 0x42150003, 0x0044000B},
    {PimKind::Appointment, kBusyStatus, 0x000F0002, 0x00450013},
    {PimKind::Appointment, kSensitivity, 0x00040002, 0x00210013},
    {PimKind::Appointment, kReminderSet, 0x45030002, 0x0028000B},
    {PimKind::Appointment, kReminderMinutes, 0x45010003, 0x00460013},
    {PimKind::Appointment, kRecurring, 0x42230002, 0x0022000B},
    {PimKind::Appointment, kRecurrence, 0x40150041, 0x203F0064},
    {PimKind::Appointment, kNotes, 0x00170041, 0x001E0064},
    {PimKind::Task, kSubject, 0x0037001F, 0x0020001F},
    {PimKind::Task, kTaskStart, 0x41040040, 0x00620040},
    {PimKind::Task, kTaskDue, 0x41050040, 0x00630040},
    {PimKind::Task, kImportance, 0x00260003, 0x00600013},
    {PimKind::Task, kReminderSet, 0x45030002, 0x0028000B},
    {PimKind::Task, kReminderTime, 0, 0x10660040},
    // Older stores keep a task's reminder as minutes before a reference day (0 the start, else the due date).
    {PimKind::Task, kReminderMinutes, 0x45010003, 0},
    {PimKind::Task, kReminderReference, 0x00030002, 0},
    {PimKind::Task, kRecurring, 0x41260002, 0x0022000B},
    {PimKind::Task, kSensitivity, 0x00040002, 0x00210013},
    {PimKind::Task, kComplete, 0x410F0002, 0x00640040},
    {PimKind::Task, kNotes, 0x00170041, 0x001E0064},
    {PimKind::Contact, kFirstName, 0x3A06001F, 0x0082001F},
    {PimKind::Contact, kMiddleName, 0x4024001F, 0x0083001F},
    {PimKind::Contact, kLastName, 0x3A11001F, 0x0084001F},
    {PimKind::Contact, kSuffix, 0x3A05001F, 0x0085001F},
    {PimKind::Contact, kFileAs, 0x4013001F, 0x0080001F},
    {PimKind::Contact, kCompany, 0x3A16001F, 0x008A001F},
    {PimKind::Contact, kTitle, 0x4023001F, 0x0081001F},
    {PimKind::Contact, kBirthday, 0x40010040, 0x00F00040},
    {PimKind::Contact, kAnniversary, 0x40030040, 0x00F10040},
    {PimKind::Contact, kMobile, 0x3A1C001F, 0x0096001F},
    {PimKind::Contact, kNotes, 0x00170041, 0x001E0064},
};

CEPROPID PropOf(const FieldProps& p, bool newer) { return newer ? p.newer : p.older; }

DWORD KindBits(PimKind kind) {
  switch (kind) {
    case PimKind::Appointment: return 0x40000000;
    case PimKind::Contact: return 0x80000000;
    default: return 0xC0000000;
  }
}

// Sort orders given to a database this stand-in creates.
std::vector<CEPROPID> SortProps(PimKind kind, bool newer) {
  if (newer) {
    if (kind == PimKind::Appointment) return {kItemIdProp, 0x10420040};
    return {kItemIdProp};
  }
  if (kind == PimKind::Appointment) return {0x420D0040};
  if (kind == PimKind::Task) return {0x410F0002};
  return {0x4013001F};
}

class CDbHandle {
 public:
  explicit CDbHandle(HANDLE h) : m_h(h) {}
  ~CDbHandle() {
    if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
  }
  CDbHandle(const CDbHandle&) = delete;
  CDbHandle& operator=(const CDbHandle&) = delete;
  HANDLE Get() const { return m_h; }
  bool Ok() const { return m_h != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_h;
};

// Reads the record the handle stands on (or the oid after a seek); the buffer is freed by LocalFree.
CEOID ReadCurrent(HANDLE db, BYTE** buffer, DWORD* size, WORD* count) {
  *buffer = nullptr;
  *size = 0;
  *count = 0;
  return CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, count, nullptr, buffer, size, nullptr);
}

bool TextIn(const BYTE* buffer, DWORD size, const wchar_t* text, std::wstring* out) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text);
  if (!p || p < buffer || p >= buffer + size || (p - buffer) % sizeof(wchar_t)) return false;
  size_t room = (buffer + size - p) / sizeof(wchar_t);
  size_t n = 0;
  while (n < room && text[n]) ++n;
  if (n == room) return false;
  out->assign(text, n);
  return true;
}

// Reads the listed properties (none: all) of every record from the first; fn gets each
// record whose values came back, with the buffer they point into and their count.
template <class Fn>
void ForEachRecord(HANDLE db, WORD count, const CEPROPID* ids, Fn fn) {
  DWORD index = 0;
  CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, &index);
  for (;;) {
    BYTE* buffer = nullptr;
    DWORD size = 0;
    WORD got = count;
    CEOID oid = CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &got, const_cast<CEPROPID*>(ids), &buffer, &size, nullptr);
    if (oid && buffer && (count == 0 || (got == count && size / sizeof(CEPROPVAL) >= count)))
      fn(oid, reinterpret_cast<const CEPROPVAL*>(buffer), buffer, size, got);
    if (buffer) LocalFree(buffer);
    if (!oid) break;
  }
}

const CEPROPID kAssocProps[2] = {0x00010013, 0x00020003};

// An older store's task reminder: minutes before midnight of the reference day; a whole
// number of days fires at 08:00 of the day it names.
double TaskReminderTime(const PimValue* v) {
  double reference = v[kReminderReference].number ? v[kTaskDue].number : v[kTaskStart].number;
  if (!v[kReminderReference].present && !v[kReminderMinutes].present) reference = v[kTaskDue].number;
  double day = std::floor(reference);
  long minutes = static_cast<long>(v[kReminderMinutes].number);
  // A 16-bit negative number written by another program.
  if (minutes > 64096) minutes -= 65536;
  return minutes % 1440 ? day - minutes / 1440.0 : day + 1.0 / 3 - minutes / 1440.0;
}

// The offset and reference for a reminder time; false when it lies more than 45 days
// from its reference day (the stored ones then stay).
bool TaskReminderOffset(const PimValue* v, double reminder, long* minutes, bool* fromDue) {
  double nudged = reminder + 30.0 / 86400;
  bool hasStart = v[kTaskStart].number < 949990.0;
  *fromDue = !(hasStart && nudged <= v[kTaskStart].number);
  double reference = std::floor(*fromDue ? v[kTaskDue].number : v[kTaskStart].number);
  double offset = std::floor(reference * 1440 + 0.5) - std::floor(nudged * 1440);
  if (!(std::fabs(offset) <= 45 * 1440)) return false;
  *minutes = static_cast<long>(offset);
  return true;
}

}  // namespace

bool DateToFileTime(double date, FILETIME* time) {
  double ticks = (date - kFileTimeEpoch) * 864000000000.0;
  if (!(ticks >= 0) || ticks > 9.2e18) return false;
  ULONGLONG value = static_cast<ULONGLONG>(ticks + 0.5);
  // Whole seconds: dates made of minutes must come back as they went in.
  value = (value + 5000000) / 10000000 * 10000000;
  time->dwLowDateTime = static_cast<DWORD>(value);
  time->dwHighDateTime = static_cast<DWORD>(value >> 32);
  return true;
}

double FileTimeToDate(const FILETIME& time) {
  ULONGLONG value = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return kFileTimeEpoch + static_cast<double>(value / 10000000) / 86400.0;
}

CPimStore::CPimStore() {
  DWORD major = 0, minor = 0, build = 0;
  CDeviceIdentity::Version(major, minor, build);
  m_newer = CDeviceIdentity::PlatformType() == L"PocketPC" && major >= 5;
}

int CPimStore::FolderOf(PimKind kind) {
  switch (kind) {
    case PimKind::Appointment: return 9;
    case PimKind::Contact: return 10;
    default: return 13;
  }
}

bool CPimStore::KindOfFolder(int folder, PimKind* kind) {
  switch (folder) {
    case 9: *kind = PimKind::Appointment; return true;
    case 10: *kind = PimKind::Contact; return true;
    case 13: *kind = PimKind::Task; return true;
    default: return false;
  }
}

const wchar_t* CPimStore::DatabaseName(PimKind kind) {
  switch (kind) {
    case PimKind::Appointment: return L"Appointments Database";
    case PimKind::Contact: return L"Contacts Database";
    default: return L"Tasks Database";
  }
}

bool CPimStore::Volume(CEGUID* guid) {
  if (!m_newer) {
    CREATE_SYSTEMGUID(guid);
    return true;
  }
  CEGUID cursor;
  CREATE_INVALIDGUID(&cursor);
  WCHAR name[MAX_PATH];
  while (CeEnumDBVolumes(&cursor, name, MAX_PATH)) {
    if (_wcsicmp(name, L"pim.vol") == 0) {
      *guid = cursor;
      return true;
    }
  }
  return false;
}

HANDLE CPimStore::Open(const wchar_t* name, bool create) {
  CEGUID guid;
  if (!Volume(&guid)) return INVALID_HANDLE_VALUE;
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, CEDB_AUTOINCREMENT, nullptr);
  if (h != INVALID_HANDLE_VALUE || !create) return h;
  CEDBASEINFOEX info{};
  info.wVersion = CEDBASEINFOEX_VERSION;
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC;
  wcsncpy(info.szDbaseName, name, CEDB_MAXDBASENAMELEN - 1);
  std::vector<CEPROPID> sorts;
  for (int k = 1; k <= 3; ++k)
    if (wcscmp(name, DatabaseName(static_cast<PimKind>(k))) == 0) sorts = SortProps(static_cast<PimKind>(k), m_newer);
  if (wcscmp(name, L"CategoryAssocDB") == 0 || wcscmp(name, L"PIMNamedPropVals") == 0) sorts = {0x00010013};
  if (wcscmp(name, L"PIMNamedPropTags") == 0) sorts = {0x0001001F};
  info.wNumSortOrder = static_cast<WORD>(sorts.size());
  for (size_t i = 0; i < sorts.size(); ++i) {
    info.rgSortSpecs[i].wVersion = SORTORDERSPECEX_VERSION;
    info.rgSortSpecs[i].wNumProps = 1;
    info.rgSortSpecs[i].rgPropID[0] = sorts[i];
  }
  if (!CeCreateDatabaseEx2(&guid, &info)) return INVALID_HANDLE_VALUE;
  oid = 0;
  return CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, CEDB_AUTOINCREMENT, nullptr);
}

DWORD CPimStore::ItemOid(PimKind kind, const PimRecord& record) const {
  if (!m_newer) return record.recordOid;
  return (record.itemId & 0x0FFFFFFF) | KindBits(kind);
}

bool CPimStore::Parse(PimKind kind, const BYTE* buffer, DWORD size, WORD count, PimRecord* record) const {
  if (!buffer || size / sizeof(CEPROPVAL) < count) return false;
  const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
  for (WORD i = 0; i < count; ++i) {
    const CEPROPVAL& v = values[i];
    if (v.wFlags & CEDB_PROPNOTFOUND) continue;
    WORD type = TypeFromPropID(v.propid);
    if (m_newer && v.propid == kItemIdProp) record->itemId = v.val.ulVal;
    if (!m_newer && v.propid == kLegacyCategories) {
      const BYTE* p = v.val.blob.lpb;
      DWORD n = v.val.blob.dwCount;
      if (n && (!p || p < buffer || n > size || p > buffer + size - n)) return false;
      for (DWORD b = 0; b < n * 8 && b < 8192; ++b)
        if (p[b / 8] & (1u << (b % 8))) record->categoryIds.push_back(b);
      continue;
    }
    for (const FieldProps& f : kProps) {
      if (f.kind != kind || PropOf(f, m_newer) != v.propid || !v.propid) continue;
      PimValue& out = record->fields[f.field];
      switch (type) {
        case CEVT_LPWSTR:
          if (!TextIn(buffer, size, v.val.lpwstr, &out.text)) return false;
          break;
        case CEVT_BLOB:
        case CEVT_STREAM: {
          const BYTE* p = v.val.blob.lpb;
          DWORD n = v.val.blob.dwCount;
          if (n && (!p || p < buffer || n > size || p > buffer + size - n)) return false;
          out.blob.assign(p, p + n);
          break;
        }
        case CEVT_FILETIME: out.number = FileTimeToDate(v.val.filetime); break;
        case CEVT_I2: out.number = v.val.iVal; break;
        case CEVT_I4: out.number = v.val.lVal; break;
        case CEVT_BOOL: out.number = v.val.boolVal ? 1 : 0; break;
        default: out.number = v.val.ulVal; break;
      }
      out.present = true;
    }
  }
  // Stored forms that differ from the object model's.
  PimValue* v = record->fields;
  if (kind == PimKind::Task) {
    // Importance in the object model: 0 low, 1 normal, 2 high; older stores keep 3 - it
    // (the plug-in's level is 2 - value), newer ones keep it as it is (level value - 1).
    if (!v[kImportance].present) v[kImportance].number = 1;
    else if (!m_newer) v[kImportance].number = 3 - v[kImportance].number;
    if (!m_newer) {
      v[kReminderTime].present = v[kReminderSet].number != 0;
      v[kReminderTime].number = v[kReminderTime].present ? TaskReminderTime(v) : 949998.0;
    }
    if (m_newer) {
      if (!v[kReminderTime].present) v[kReminderTime].number = 949998.0;
      bool done = v[kComplete].present && v[kComplete].number < 949990.0;
      v[kComplete].number = done ? 1 : 0;

    }
    v[kComplete].present = true;
  }
  // Newer stores keep an all-day appointment's minutes up to 23:59 of its last day.
  if (kind == PimKind::Appointment && m_newer && v[kAllDay].number && v[kDuration].present)
    v[kDuration].number += 1;
  if (kind == PimKind::Appointment && !v[kBusyStatus].present) v[kBusyStatus].number = 2;
  return true;
}

bool CPimStore::Read(PimKind kind, CEOID recordOid, PimRecord* record) {
  CDbHandle db(Open(DatabaseName(kind), false));
  if (!db.Ok() || !recordOid) return false;
  DWORD index = 0;
  if (CeSeekDatabaseEx(db.Get(), CEDB_SEEK_CEOID, recordOid, 0, &index) != recordOid) return false;
  BYTE* buffer = nullptr;
  DWORD size = 0;
  WORD count = 0;
  CEOID oid = ReadCurrent(db.Get(), &buffer, &size, &count);
  *record = PimRecord();
  bool ok = oid == recordOid && Parse(kind, buffer, size, count, record);
  if (buffer) LocalFree(buffer);
  if (!ok || (m_newer && !record->itemId)) return false;
  record->recordOid = oid;
  ReadCategories(kind, record);
  return true;
}

bool CPimStore::ReadAll(PimKind kind, std::vector<PimRecord>* records) {
  records->clear();
  CDbHandle db(Open(DatabaseName(kind), false));
  if (!db.Ok()) return true;  // no database yet: no items
  ForEachRecord(db.Get(), 0, nullptr, [&](CEOID oid, const CEPROPVAL*, const BYTE* buffer, DWORD size, WORD count) {
    PimRecord record;
    // A record that cannot be read is left out of the collection, not the whole folder.
    if (!Parse(kind, buffer, size, count, &record) || (m_newer && !record.itemId)) return;
    record.recordOid = oid;
    records->push_back(std::move(record));
  });
  if (!m_newer || records->empty()) return true;
  // The associations once for all the items.
  std::multimap<DWORD, DWORD> categories = Associations();
  for (PimRecord& record : *records) {
    auto range = categories.equal_range(ItemOid(kind, record));
    for (auto it = range.first; it != range.second; ++it) record.categoryIds.push_back(it->second);
  }
  return true;
}

bool CPimStore::Locate(DWORD oid, PimKind* kind, CEOID* recordOid) {
  if (m_newer) {
    DWORD bits = oid & 0xC0000000;
    PimKind k = bits == 0x40000000 ? PimKind::Appointment : bits == 0x80000000 ? PimKind::Contact
                                                                                : PimKind::Task;
    if (!bits) return false;
    CDbHandle db(Open(DatabaseName(k), false));
    if (!db.Ok()) return false;
    // A walk over the identifiers alone: a database made elsewhere need not be sorted by them.
    CEOID found = 0;
    ForEachRecord(db.Get(), 1, &kItemIdProp, [&](CEOID record, const CEPROPVAL* v, const BYTE*, DWORD, WORD) {
      if (!found && !(v->wFlags & CEDB_PROPNOTFOUND) && v->val.ulVal &&
          (v->val.ulVal & 0x0FFFFFFF) == (oid & 0x0FFFFFFF))
        found = record;
    });
    if (!found) return false;
    *kind = k;
    *recordOid = found;
    return true;
  }
  for (int k = 1; k <= 3; ++k) {
    CDbHandle db(Open(DatabaseName(static_cast<PimKind>(k)), false));
    if (!db.Ok()) continue;
    DWORD index = 0;
    if (CeSeekDatabaseEx(db.Get(), CEDB_SEEK_CEOID, oid, 0, &index) == oid) {
      *kind = static_cast<PimKind>(k);
      *recordOid = oid;
      return true;
    }
  }
  return false;
}

DWORD CPimStore::NextItemId(HANDLE db) {
  DWORD highest = 0;
  ForEachRecord(db, 1, &kItemIdProp, [&](CEOID, const CEPROPVAL* v, const BYTE*, DWORD, WORD) {
    if (!(v->wFlags & CEDB_PROPNOTFOUND) && (v->val.ulVal & 0x0FFFFFFF) > highest) highest = v->val.ulVal & 0x0FFFFFFF;
  });
  return highest + 1;
}

bool CPimStore::Write(PimKind kind, PimRecord* record) {
  CDbHandle db(Open(DatabaseName(kind), true));
  if (!db.Ok()) return false;
  if (m_newer && !record->itemId) record->itemId = NextItemId(db.Get());
  PimValue* fields = record->fields;
  long offset = 0;
  bool fromDue = true;
  if (kind == PimKind::Task && !m_newer && fields[kReminderSet].number && fields[kReminderTime].present &&
      TaskReminderOffset(fields, fields[kReminderTime].number, &offset, &fromDue)) {
    fields[kReminderMinutes].present = fields[kReminderReference].present = true;
    fields[kReminderMinutes].number = offset;
    fields[kReminderReference].number = fromDue ? 1 : 0;
  }
  std::vector<CEPROPVAL> values;
  std::vector<std::vector<BYTE>> keep;  // converted blobs live until the write
  std::vector<BYTE> categories;
  if (m_newer) {
    CEPROPVAL v{};
    v.propid = kItemIdProp;
    v.val.ulVal = record->itemId;
    values.push_back(v);
  } else {
    for (DWORD id : record->categoryIds)
      if (id < 8192) {
        if (categories.size() <= id / 8) categories.resize(id / 8 + 1);
        categories[id / 8] |= static_cast<BYTE>(1u << (id % 8));
      }
    CEPROPVAL v{};
    v.propid = kLegacyCategories;
    v.val.blob.dwCount = static_cast<DWORD>(categories.size());
    v.val.blob.lpb = categories.empty() ? nullptr : categories.data();
    if (categories.empty()) v.wFlags = CEDB_PROPDELETE;
    values.push_back(v);
  }
  for (const FieldProps& f : kProps) {
    CEPROPID id = PropOf(f, m_newer);
    if (f.kind != kind || !id) continue;
    PimValue value = record->fields[f.field];
    // Stored forms that differ from the object model's.
    if (kind == PimKind::Task && f.field == kComplete && m_newer) {
      value.present = value.number != 0;
      SYSTEMTIME now;
      GetLocalTime(&now);
      double today = 0;
      SystemTimeToVariantTime(&now, &today);
      value.number = static_cast<double>(static_cast<long>(today));
    }
    if (kind == PimKind::Task && f.field == kImportance && !m_newer && value.present) value.number = 3 - value.number;
    if (kind == PimKind::Appointment && f.field == kDuration && m_newer && record->fields[kAllDay].number &&
        value.number >= 1)
      value.number -= 1;
    CEPROPVAL v{};
    v.propid = id;
    if (!value.present) {
      v.wFlags = CEDB_PROPDELETE;
      values.push_back(v);
      continue;
    }
    switch (TypeFromPropID(id)) {
      case CEVT_LPWSTR: {
        const wchar_t* text = value.text.c_str();
        keep.emplace_back(reinterpret_cast<const BYTE*>(text),
                          reinterpret_cast<const BYTE*>(text + value.text.size() + 1));
        v.val.lpwstr = reinterpret_cast<LPWSTR>(keep.back().data());
        break;
      }
      case CEVT_BLOB:
      case CEVT_STREAM:
        keep.push_back(value.blob);
        v.val.blob.dwCount = static_cast<DWORD>(keep.back().size());
        v.val.blob.lpb = keep.back().empty() ? nullptr : keep.back().data();
        break;
      case CEVT_FILETIME:
        if (!DateToFileTime(value.number, &v.val.filetime)) v.wFlags = CEDB_PROPDELETE;
        break;
      case CEVT_I2: v.val.iVal = static_cast<short>(value.number); break;
      case CEVT_BOOL: v.val.boolVal = value.number != 0; break;
      case CEVT_I4: v.val.lVal = static_cast<long>(value.number); break;
      default: v.val.ulVal = static_cast<ULONG>(static_cast<long long>(value.number)); break;
    }
    values.push_back(v);
  }
  CEOID oid = CeWriteRecordProps(db.Get(), record->recordOid, static_cast<WORD>(values.size()), values.data());
  if (!oid) return false;
  record->recordOid = oid;
  if (m_newer) WriteCategories(kind, *record);
  return true;
}

bool CPimStore::Delete(PimKind kind, CEOID recordOid) {
  PimRecord record;
  bool known = Read(kind, recordOid, &record);
  CDbHandle db(Open(DatabaseName(kind), false));
  if (!db.Ok() || !CeDeleteRecord(db.Get(), recordOid)) return false;
  if (m_newer && known) {
    record.categoryIds.clear();
    WriteCategories(kind, record);
  }
  return true;
}

// Categories: older layout "\Categories Database" (name 0x4001, identifier 0x4002 and
// four 16-bit values); newer layout "CategoryMainDB" (identifier 1, name 2, value 3)
// with "CategoryAssocDB" (item oid 1, category 2).
long CPimStore::CategoryId(const std::wstring& name, bool make) {
  long highest = 0;
  for (const auto& category : Categories()) {
    if (_wcsicmp(category.second.c_str(), name.c_str()) == 0) return static_cast<long>(category.first);
    if (static_cast<long>(category.first) > highest) highest = static_cast<long>(category.first);
  }
  if (!make) return -1;
  const wchar_t* dbName = m_newer ? L"CategoryMainDB" : L"\\Categories Database";
  const CEPROPID nameProp = m_newer ? 0x0002001F : 0x4001001F;
  const CEPROPID idProp = m_newer ? 0x00010067 : 0x40020002;
  CDbHandle db(Open(dbName, true));
  if (!db.Ok()) return -1;
  long id = highest + 1;
  std::vector<CEPROPVAL> values(m_newer ? 3 : 6);
  values[0].propid = nameProp;
  values[0].val.lpwstr = const_cast<LPWSTR>(name.c_str());
  values[1].propid = idProp;
  if (m_newer) {
    values[1].val.lVal = id;
    values[2].propid = 0x00030003;
  } else {
    values[1].val.iVal = static_cast<short>(id);
    for (int i = 2; i < 6; ++i) values[i].propid = MAKELONG(CEVT_I2, 0x4001 + i);
  }
  return CeWriteRecordProps(db.Get(), 0, static_cast<WORD>(values.size()), values.data()) ? id : -1;
}

std::vector<std::pair<DWORD, std::wstring>> CPimStore::Categories() {
  std::vector<std::pair<DWORD, std::wstring>> all;
  const wchar_t* dbName = m_newer ? L"CategoryMainDB" : L"\\Categories Database";
  const CEPROPID ids[2] = {m_newer ? 0x0002001Fu : 0x4001001Fu, m_newer ? 0x00010067u : 0x40020002u};
  CDbHandle db(Open(dbName, false));
  if (!db.Ok()) return all;
  ForEachRecord(db.Get(), 2, ids, [&](CEOID, const CEPROPVAL* v, const BYTE* buffer, DWORD size, WORD) {
    std::wstring text;
    if (!(v[1].wFlags & CEDB_PROPNOTFOUND) && v[1].propid == ids[1] && !(v[0].wFlags & CEDB_PROPNOTFOUND) &&
        v[0].propid == ids[0] && TextIn(buffer, size, v[0].val.lpwstr, &text) && !text.empty())
      all.emplace_back(static_cast<DWORD>(m_newer ? v[1].val.lVal : v[1].val.iVal), text);
  });
  return all;
}

std::wstring CPimStore::CategoryName(DWORD id) {
  for (const auto& category : Categories())
    if (category.first == id) return category.second;
  return std::wstring();
}

std::multimap<DWORD, DWORD> CPimStore::Associations() {
  std::multimap<DWORD, DWORD> categories;
  CDbHandle db(Open(L"CategoryAssocDB", false));
  if (db.Ok())
    ForEachRecord(db.Get(), 2, kAssocProps, [&](CEOID, const CEPROPVAL* v, const BYTE*, DWORD, WORD) {
      if (!(v[0].wFlags & CEDB_PROPNOTFOUND) && !(v[1].wFlags & CEDB_PROPNOTFOUND) && v[1].val.lVal >= 0)
        categories.emplace(v[0].val.ulVal, static_cast<DWORD>(v[1].val.lVal));
    });
  return categories;
}

void CPimStore::ReadCategories(PimKind kind, PimRecord* record) {
  if (!m_newer) return;
  std::multimap<DWORD, DWORD> categories = Associations();
  auto range = categories.equal_range(ItemOid(kind, *record));
  for (auto it = range.first; it != range.second; ++it) record->categoryIds.push_back(it->second);
}

void CPimStore::WriteCategories(PimKind kind, const PimRecord& record) {
  DWORD item = ItemOid(kind, record);
  CDbHandle db(Open(L"CategoryAssocDB", true));
  if (!db.Ok()) return;
  std::vector<CEOID> stale;
  ForEachRecord(db.Get(), 1, kAssocProps, [&](CEOID oid, const CEPROPVAL* v, const BYTE*, DWORD, WORD) {
    if (!(v->wFlags & CEDB_PROPNOTFOUND) && v->val.ulVal == item) stale.push_back(oid);
  });
  for (CEOID oid : stale) CeDeleteRecord(db.Get(), oid);
  for (DWORD category : record.categoryIds) {
    CEPROPVAL values[2] = {};
    values[0].propid = kAssocProps[0];
    values[0].val.ulVal = item;
    values[1].propid = kAssocProps[1];
    values[1].val.lVal = static_cast<long>(category);
    CeWriteRecordProps(db.Get(), 0, 2, values);
  }
}

bool CPimStore::EnsureNamedPropertyTables() {
  if (!m_newer) return true;
  bool ok = true;
  for (const wchar_t* name : {L"PIMNamedPropTags", L"PIMNamedPropVals"}) {
    CDbHandle db(Open(name, true));
    ok = ok && db.Ok();
  }
  return ok;
}
