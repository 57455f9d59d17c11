#include "platform/coredll/DatabaseStore.h"

#include "platform/coredll/Crc32.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

// A volume file is a header followed by an append-only log of checksummed entries
// (database created or deleted, record put whole, record deleted). Each change appends one
// entry and flushes it before the call returns. The change a writer had in flight when it
// died counts when its entry reached the file whole and sound, and not otherwise; every
// process comes to the same answer (see LoadLocked). A torn entry is dropped only when it
// can be nothing but that one unfinished append (see IsTornTail); any other bad entry means
// the file is damaged: the volume is refused and the file left as it is. When dead entries
// dominate, the live content is written to a new file that atomically replaces the old.
//
// Entries of format 2 carry a checksum of their own header (length and checksum), so a
// length can be trusted before its bytes are read. Files of format 1, whose entries lack
// it, are read and appended to as they are, and written anew in format 2 when compacted
// or loaded whole.
//
// Processes share a volume through a named mutex (held while catching up and appending)
// and a small named mapping: the length of the log that is committed, the file's
// generation (bumped by every replacement), a mark set while a change is being appended
// and a ring of recent changes that each process's notification relay reads.

namespace cedb {
namespace {

constexpr char kMagic[8] = {'C', 'E', 'D', 'B', 'V', 'O', 'L', '1'};
constexpr uint32_t kFormat = 2;  // written; format 1 is still read
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kMaxEntry = 64u << 20;
constexpr uint32_t kRing = 256;

enum EntryKind : uint8_t { kCreateDb = 1, kDeleteDb = 2, kPutRecord = 3, kDeleteRecord = 4 };

}  // namespace

struct SharedSlot {
  volatile LONG64 seq;
  UINT type;
  CEOID db;
  CEOID oid;
};

struct SharedState {
  volatile LONG ready;
  volatile LONG writer;  // set while a change is appended; still set under the mutex = its writer died
  volatile LONG generation;
  volatile LONG64 committed;
  volatile LONG64 seq;
  SharedSlot ring[kRing];
};

namespace {

CRITICAL_SECTION* Lock() {
  static CRITICAL_SECTION* cs = [] {
    auto* c = new CRITICAL_SECTION;
    InitializeCriticalSection(c);
    return c;
  }();
  return cs;
}

std::map<std::wstring, std::unique_ptr<Volume>>& Volumes() {
  static auto* v = new std::map<std::wstring, std::unique_ptr<Volume>>;
  return *v;
}
std::vector<Volume*>& MountOrder() {
  static auto* v = new std::vector<Volume*>;
  return *v;
}
std::unordered_map<HANDLE, std::unique_ptr<DbHandle>>& Handles() {
  static auto* h = new std::unordered_map<HANDLE, std::unique_ptr<DbHandle>>;
  return *h;
}

uint64_t Fnv(const std::wstring& s, uint64_t seed) {
  uint64_t h = 1469598103934665603ull ^ seed;
  for (wchar_t c : s) {
    h ^= static_cast<uint16_t>(c);
    h *= 1099511628211ull;
  }
  return h;
}

std::wstring Lower(std::wstring s) {
  if (!s.empty()) CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

std::wstring Hex(uint64_t v) {
  wchar_t buf[20];
  wsprintfW(buf, L"%08lX%08lX", static_cast<unsigned long>(v >> 32),
            static_cast<unsigned long>(v & 0xFFFFFFFFu));
  return buf;
}

// ---- encoding ----

struct Out {
  std::string b;
  void u8(uint8_t v) { b.push_back(static_cast<char>(v)); }
  void raw(const void* p, size_t n) { b.append(static_cast<const char*>(p), n); }
  void u16(uint16_t v) { raw(&v, 2); }
  void u32(uint32_t v) { raw(&v, 4); }
  void u64(uint64_t v) { raw(&v, 8); }
};

struct In {
  const BYTE* p;
  size_t n;
  size_t at = 0;
  bool ok = true;
  bool take(void* out, size_t k) {
    if (!ok || n - at < k) return ok = false;
    memcpy(out, p + at, k);
    at += k;
    return true;
  }
  const BYTE* span(size_t k) {
    if (!ok || n - at < k) {
      ok = false;
      return nullptr;
    }
    const BYTE* s = p + at;
    at += k;
    return s;
  }
  uint8_t u8() { uint8_t v = 0; take(&v, 1); return v; }
  uint16_t u16() { uint16_t v = 0; take(&v, 2); return v; }
  uint32_t u32() { uint32_t v = 0; take(&v, 4); return v; }
  uint64_t u64() { uint64_t v = 0; take(&v, 8); return v; }
};

size_t ValueSize(WORD type) {
  switch (type) {
    case CEVT_I2: case CEVT_UI2: return 2;
    case CEVT_I4: case CEVT_UI4: case CEVT_BOOL: case CEVT_RECID: case CEVT_AUTO_I4: return 4;
    case CEVT_I8: case CEVT_UI8: case CEVT_FILETIME: case CEVT_R8: case CEVT_AUTO_I8: return 8;
    default: return 0;
  }
}

bool IsVariable(WORD type) { return type == CEVT_LPWSTR || type == CEVT_BLOB || type == CEVT_STREAM; }

// A text's length, eight characters a step. The reads are 16-byte aligned, so none
// reaches past the 16 bytes that hold the terminator: never into a page the text does not
// touch. The lanes before the text are masked off.
size_t TextLength(const wchar_t* s) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(s);
  if (at & 1) {
    const wchar_t* e = s;
    while (*e) ++e;
    return static_cast<size_t>(e - s);
  }
  uintptr_t block = at & ~uintptr_t(15);
  const __m128i zero = _mm_setzero_si128();
  auto zeros = [&] {
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(block)), zero)));
  };
  unsigned found = zeros() & (~0u << (at & 15));
  while (!found) {
    block += 16;
    found = zeros();
  }
  return (block + static_cast<size_t>(__builtin_ctz(found)) - at) / sizeof(wchar_t);
}

// The values: their count, then each one's identifier and bytes (a text or blob as its
// length and then its characters or bytes). Measured first, then written in place: every
// record of a volume passes through here when the volume is written whole.
void EncodeProps(Out& o, const CEPROPVAL* vals, size_t count) {
  // Text lengths, measured once; kept from call to call (the store lock is held).
  static std::vector<uint32_t> lengths;
  lengths.clear();
  size_t size = 2;
  for (size_t i = 0; i < count; ++i) {
    const CEPROPVAL& v = vals[i];
    WORD type = TypeFromPropID(v.propid);
    if (type == CEVT_LPWSTR) {
      uint32_t len = v.val.lpwstr ? static_cast<uint32_t>(TextLength(v.val.lpwstr)) : 0xFFFFFFFFu;
      lengths.push_back(len);
      size += 8 + (v.val.lpwstr ? len * sizeof(wchar_t) : 0);
    } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
      size += 8 + v.val.blob.dwCount;
    } else {
      size += 4 + ValueSize(type);
    }
  }
  size_t at = o.b.size();
  o.b.resize(at + size);
  char* p = &o.b[at];
  auto put16 = [&p](uint16_t x) { memcpy(p, &x, 2); p += 2; };
  auto put32 = [&p](uint32_t x) { memcpy(p, &x, 4); p += 4; };
  put16(static_cast<uint16_t>(count));
  size_t text = 0;
  for (size_t i = 0; i < count; ++i) {
    const CEPROPVAL& v = vals[i];
    WORD type = TypeFromPropID(v.propid);
    put32(v.propid);
    if (type == CEVT_LPWSTR) {
      uint32_t len = lengths[text++];
      put32(len);
      if (v.val.lpwstr) {
        memcpy(p, v.val.lpwstr, len * sizeof(wchar_t));
        p += len * sizeof(wchar_t);
      }
    } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
      put32(v.val.blob.dwCount);
      if (v.val.blob.dwCount) memcpy(p, v.val.blob.lpb, v.val.blob.dwCount);
      p += v.val.blob.dwCount;
    } else {
      // Only the value's own bytes, the first of the union; a size the compiler knows.
      switch (ValueSize(type)) {
        case 2: memcpy(p, &v.val, 2); p += 2; break;
        case 4: memcpy(p, &v.val, 4); p += 4; break;
        default: memcpy(p, &v.val, 8); p += 8; break;
      }
    }
  }
}

// Decoded values point into the input; BuildRecord copies them.
bool DecodeProps(In& in, std::vector<CEPROPVAL>& vals) {
  uint16_t count = in.u16();
  vals.clear();
  vals.reserve(count);
  for (uint16_t i = 0; i < count && in.ok; ++i) {
    CEPROPVAL v{};
    v.propid = in.u32();
    WORD type = TypeFromPropID(v.propid);
    if (!IsKnownType(type)) return false;
    if (type == CEVT_LPWSTR) {
      uint32_t len = in.u32();
      if (len != 0xFFFFFFFFu) {
        // Text in the file has no terminator: carried as a counted span to BuildRecord,
        // which copies it out with one.
        const BYTE* s = in.span(static_cast<size_t>(len) * sizeof(wchar_t));
        if (!s) return false;
        v.val.blob.dwCount = len;  // carried as a counted span until BuildRecord
        v.val.blob.lpb = const_cast<BYTE*>(s);
        v.wLenData = 1;  // marks "counted text" for BuildRecord
      }
    } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
      uint32_t len = in.u32();
      v.val.blob.dwCount = len;
      v.val.blob.lpb = len ? const_cast<BYTE*>(in.span(len)) : nullptr;
      if (len && !v.val.blob.lpb) return false;
    } else {
      // A size the compiler knows for each, rather than one copy of a size found at run time.
      const BYTE* s = in.span(ValueSize(type));
      if (!s) return false;
      switch (ValueSize(type)) {
        case 2: memcpy(&v.val, s, 2); break;
        case 4: memcpy(&v.val, s, 4); break;
        default: memcpy(&v.val, s, 8); break;
      }
    }
    vals.push_back(v);
  }
  return in.ok;
}

size_t Align8(size_t n) { return (n + 7) & ~size_t(7); }

// Builds a record's own copy of the values, in a block of its own or, given one, in room of
// the arena. Counted texts (wLenData 1, from the decoder) carry their length; callers'
// texts are terminated.
struct ValueList {
  const CEPROPVAL* first;
  size_t count;
  ValueList(const CEPROPVAL* p, size_t n) : first(p), count(n) {}
  ValueList(const std::vector<CEPROPVAL>& v) : first(v.data()), count(v.size()) {}
  const CEPROPVAL* begin() const { return first; }
  const CEPROPVAL* end() const { return first + count; }
  size_t size() const { return count; }
  bool empty() const { return !count; }
  const CEPROPVAL* data() const { return first; }
};

void BuildRecord(Record& r, ValueList vals, LoadArena* arena = nullptr) {
  // Callers' text lengths, measured once for the room and the copy; kept from call to
  // call (the store lock is held).
  static std::vector<size_t> lengths;
  lengths.clear();
  size_t total = 0;
  for (const CEPROPVAL& v : vals) {
    WORD type = TypeFromPropID(v.propid);
    if (type == CEVT_LPWSTR) {
      if (v.wLenData == 1) {
        total += Align8((v.val.blob.dwCount + 1) * sizeof(wchar_t));
      } else if (v.val.lpwstr) {
        lengths.push_back(TextLength(v.val.lpwstr));
        total += Align8((lengths.back() + 1) * sizeof(wchar_t));
      }
    } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
      total += Align8(v.val.blob.dwCount);
    }
  }
  // Entries first, then the data: entries are 16 bytes, so the data starts 8-aligned.
  static_assert(sizeof(CEPROPVAL) % 8 == 0, "record data follows the entries 8-aligned");
  const size_t size = vals.size() * sizeof(CEPROPVAL) + total;
  BYTE* block;
  if (arena) {
    r.block.reset();
    block = arena->Take(size);
  } else {
    r.block.reset(new BYTE[size]);
    block = r.block.get();
  }
  r.props = {reinterpret_cast<CEPROPVAL*>(block), vals.size()};
  r.data = {block + vals.size() * sizeof(CEPROPVAL), total};
  if (!vals.empty()) memcpy(r.props.data(), vals.data(), vals.size() * sizeof(CEPROPVAL));
  BYTE* const data = r.data.data();
  size_t at = 0;
  size_t measured = 0;
  for (CEPROPVAL& v : r.props) {
    WORD type = TypeFromPropID(v.propid);
    if (type == CEVT_LPWSTR) {
      size_t len;
      const void* src;
      if (v.wLenData == 1) {
        len = v.val.blob.dwCount;
        src = v.val.blob.lpb;
      } else if (v.val.lpwstr) {
        len = lengths[measured++];
        src = v.val.lpwstr;
      } else {
        v.wLenData = 0;
        v.wFlags = 0;
        continue;
      }
      auto* dst = reinterpret_cast<wchar_t*>(data + at);
      memcpy(dst, src, len * sizeof(wchar_t));
      dst[len] = 0;
      memset(&v.val, 0, sizeof(v.val));
      v.val.lpwstr = dst;
      at += Align8((len + 1) * sizeof(wchar_t));
    } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
      BYTE* dst = v.val.blob.dwCount ? data + at : nullptr;
      if (dst) memcpy(dst, v.val.blob.lpb, v.val.blob.dwCount);
      v.val.blob.lpb = dst;
      at += Align8(v.val.blob.dwCount);
    } else {
      // Only the value's own bytes, as a record read back from the file has them.
      CEVALUNION own{};
      memcpy(&own, &v.val, ValueSize(type));
      v.val = own;
    }
    v.wLenData = 0;
    v.wFlags = 0;
  }
}

// ---- indexes ----

struct OrderLess {
  const SORTORDERSPECEX* sortSpec;
  bool operator()(const Record* a, const Record* b) const {
    if (sortSpec) {
      int c = CompareInOrder(*sortSpec, *a, *b);
      if (c) return c < 0;
    }
    return a->oid < b->oid;
  }
};

void IndexInsert(std::vector<Record*>& index, const SORTORDERSPECEX* sortSpec, Record* r) {
  // Records mostly come in order (new ones by OID, a loaded text in its first order): one
  // comparison with the last tells that it goes at the end.
  if (index.empty() || !OrderLess{sortSpec}(r, index.back())) {
    index.push_back(r);
    return;
  }
  index.insert(std::upper_bound(index.begin(), index.end(), r, OrderLess{sortSpec}), r);
}

void IndexErase(std::vector<Record*>& index, const SORTORDERSPECEX* sortSpec, Record* r) {
  auto it = std::lower_bound(index.begin(), index.end(), r, OrderLess{sortSpec});
  if (it == index.end() || *it != r) it = std::find(index.begin(), index.end(), r);
  if (it != index.end()) index.erase(it);
}

size_t IndexFind(std::vector<Record*>& index, const SORTORDERSPECEX* sortSpec, Record* r) {
  auto it = std::lower_bound(index.begin(), index.end(), r, OrderLess{sortSpec});
  if (it == index.end() || *it != r) it = std::find(index.begin(), index.end(), r);
  return static_cast<size_t>(it - index.begin());
}

// In a load (deferred), a record out of an order's sequence goes to the end and the order is
// sorted once when next read: a text in one order would otherwise make each other order
// shift its records for every one. A unique order stays sorted, for its duplicate check.
void OrderInsert(SortOrder& s, Record* r, bool deferred) {
  const OrderLess less{&s.sortSpec};
  if (s.unsorted || s.index.empty() || !less(r, s.index.back())) {
    s.index.push_back(r);
    return;
  }
  if (deferred && !(s.sortSpec.wKeyFlags & CEDB_SORT_UNIQUE)) {
    s.index.push_back(r);
    s.unsorted = true;
    return;
  }
  s.index.insert(std::upper_bound(s.index.begin(), s.index.end(), r, less), r);
}

void Unindex(Database* db, Record* r) {
  IndexErase(db->byOid, nullptr, r);
  for (SortOrder& s : db->sorts) {
    if (!s.unsorted) {
      IndexErase(s.index, &s.sortSpec, r);
      continue;
    }
    auto it = std::find(s.index.begin(), s.index.end(), r);
    if (it != s.index.end()) s.index.erase(it);
  }
}

void Index(Database* db, Record* r, bool deferred) {
  IndexInsert(db->byOid, nullptr, r);
  for (SortOrder& s : db->sorts) OrderInsert(s, r, deferred);
}

// ---- applying entries (the same path for our own changes and for replay) ----

// Puts a record whole (built: its values and their data, taken over) into db.
void PutRecord(Volume* v, Database* db, CEOID oid, Record& built, std::vector<ChangeEvent>* events) {
  // One look-up finds the record or makes its place.
  auto placed = db->records.try_emplace(oid);
  Record* r = &placed.first->second;
  const bool existed = !placed.second;
  if (events)
    events->push_back({existed ? static_cast<UINT>(DB_CEOID_CHANGED) : static_cast<UINT>(DB_CEOID_CREATED),
                       db->oid, oid});
  if (existed) {
    Unindex(db, r);
  } else {
    r->oid = oid;
  }
  r->SwapValues(built);
  Index(db, r, v->batch);
  v->nextOid = std::max<CEOID>(v->nextOid, oid + 1);
  if (v->batch) db->modified = v->batchTime;  // one time for a whole batch
  else GetSystemTimeAsFileTime(&db->modified);
  ++v->structure;
}

// events, when given, gets the change as openers hear it (for a change no writer told them of).
bool ApplyEntry(Volume* v, const BYTE* p, size_t n, std::vector<ChangeEvent>* events = nullptr) {
  In in{p, n};
  uint8_t kind = in.u8();
  switch (kind) {
    case kCreateDb: {
      auto db = std::make_unique<Database>();
      db->oid = in.u32();
      db->type = in.u32();
      db->flags = in.u32();
      uint64_t ft = in.u64();
      db->modified.dwLowDateTime = static_cast<DWORD>(ft);
      db->modified.dwHighDateTime = static_cast<DWORD>(ft >> 32);
      uint16_t len = in.u16();
      const BYTE* name = in.span(len * sizeof(wchar_t));
      uint8_t nsort = in.u8();
      if (!in.ok || nsort > CEDB_MAXSORTORDER || !db->oid) return false;
      db->name.assign(reinterpret_cast<const wchar_t*>(name), len);
      for (uint8_t i = 0; i < nsort; ++i) {
        SortOrder s;
        s.sortSpec.wVersion = SORTORDERSPECEX_VERSION;
        s.sortSpec.wNumProps = in.u16();
        s.sortSpec.wKeyFlags = in.u16();
        for (auto& id : s.sortSpec.rgPropID) id = in.u32();
        for (auto& f : s.sortSpec.rgdwFlags) f = in.u32();
        if (s.sortSpec.wNumProps < 1 || s.sortSpec.wNumProps > CEDB_MAXSORTPROP) return false;
        db->sorts.push_back(std::move(s));
      }
      if (!in.ok || v->dbs.count(db->oid)) return false;
      v->nextOid = std::max<CEOID>(v->nextOid, db->oid + 1);
      v->dbs[db->oid] = std::move(db);
      ++v->structure;
      return true;
    }
    case kDeleteDb: {
      CEOID oid = in.u32();
      auto it = v->dbs.find(oid);
      if (!in.ok || it == v->dbs.end()) return false;
      v->dbs.erase(it);
      ++v->structure;
      if (events) events->push_back({DB_CEOID_DATABASE_DELETED, oid, oid});
      return true;
    }
    case kPutRecord: {
      CEOID dbOid = in.u32();
      CEOID oid = in.u32();
      std::vector<CEPROPVAL> vals;
      if (!DecodeProps(in, vals) || !oid) return false;
      Database* db = v->FindDb(dbOid);
      if (!db) return false;
      Database* owner = v->RecordOwner(oid);
      if (owner && owner != db) return false;
      Record built;
      BuildRecord(built, vals);
      PutRecord(v, db, oid, built, events);
      return true;
    }
    case kDeleteRecord: {
      CEOID dbOid = in.u32();
      CEOID oid = in.u32();
      Database* db = v->FindDb(dbOid);
      if (!in.ok || !db) return false;
      auto it = db->records.find(oid);
      if (it == db->records.end()) return false;
      Record* r = &it->second;
      // A handle positioned on the record moves on to the one after it, in its own order.
      for (DbHandle* h : HandlesOn(v, dbOid)) {
        if (h->cur != oid || h->sort >= static_cast<int>(db->sorts.size())) continue;
        auto& order = db->Order(h->sort);
        size_t i = Locate(h, db);
        h->cur = i + 1 < order.size() ? order[i + 1]->oid : 0;
        h->curStructure = ~0ull;
      }
      Unindex(db, r);
      db->records.erase(it);
      if (events) events->push_back({DB_CEOID_RECORD_DELETED, dbOid, oid});
      v->nextOid = std::max<CEOID>(v->nextOid, oid + 1);
      GetSystemTimeAsFileTime(&db->modified);
      ++v->structure;
      return true;
    }
    default:
      return false;
  }
}

// ---- the file ----

struct FileHandle {
  HANDLE h;
  explicit FileHandle(HANDLE handle) : h(handle) {}
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return h != INVALID_HANDLE_VALUE; }
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// An entry's header: its length, the checksum of length and bytes, and in format 2 a
// checksum of those two.
size_t EntryHeaderSize(uint32_t format) { return format >= 2 ? 12 : 8; }

void AppendEntryHeader(std::string& out, uint32_t len, uint32_t crc, uint32_t format) {
  out.append(reinterpret_cast<const char*>(&len), 4);
  out.append(reinterpret_cast<const char*>(&crc), 4);
  if (format >= 2) {
    uint32_t sum = Crc32(out.data() + out.size() - 8, 8);
    out.append(reinterpret_cast<const char*>(&sum), 4);
  }
}

std::string Header(uint32_t generation, CEOID nextOid) {
  Out o;
  o.raw(kMagic, 8);
  o.u32(kFormat);
  o.u32(generation);
  o.u32(nextOid);
  o.u32(0);
  o.u32(Crc32(o.b.data(), o.b.size()));
  o.u32(0);
  return o.b;
}

bool ParseHeader(const BYTE* p, uint32_t* format, uint32_t* generation, CEOID* nextOid) {
  uint32_t crc;
  memcpy(format, p + 8, 4);
  memcpy(generation, p + 12, 4);
  memcpy(nextOid, p + 16, 4);
  memcpy(&crc, p + 24, 4);
  return memcmp(p, kMagic, 8) == 0 && (*format == 1 || *format == 2) && crc == Crc32(p, 24);
}

bool WriteAll(HANDLE f, const void* p, size_t n) {
  DWORD done = 0;
  return WriteFile(f, p, static_cast<DWORD>(n), &done, nullptr) && done == n;
}

bool ReadAt(HANDLE f, uint64_t offset, void* p, size_t n) {
  LARGE_INTEGER li;
  li.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(f, li, nullptr, FILE_BEGIN)) return false;
  auto* b = static_cast<BYTE*>(p);
  while (n) {
    DWORD got = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
    if (!ReadFile(f, b, chunk, &got, nullptr) || !got) return false;
    b += got;
    n -= got;
  }
  return true;
}

// Writes a fresh file at path with just a header.
bool WriteEmptyVolume(const std::wstring& path, uint32_t generation, CEOID nextOid,
                      DWORD disposition) {
  FileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.ok()) return false;
  std::string h = Header(generation, nextOid);
  if (!SetEndOfFile(f.h) || !WriteAll(f.h, h.data(), h.size())) return false;
  return FlushFileBuffers(f.h) != 0;
}

void Forget(Volume* v) {
  v->dbs.clear();
  v->loaded = 0;
  v->entries = 0;
  v->nextOid = 0x100;
  ++v->structure;
}

DWORD Damaged(Volume* v) {
  Forget(v);
  v->damaged = true;
  return ERROR_INTERNAL_DB_CORRUPTION;
}

// Whether the header of a format-2 entry at p (12 bytes there) is as written.
bool HeaderSound(const BYTE* p) {
  uint32_t sum;
  memcpy(&sum, p + 8, 4);
  return Crc32(p, 8) == sum;
}

// Whether a whole entry with matching checksums starts at p (n bytes to the end).
bool SoundEntryAt(const BYTE* p, size_t n, uint32_t format) {
  size_t h = EntryHeaderSize(format);
  if (n < h || (format >= 2 && !HeaderSound(p))) return false;
  uint32_t len, crc;
  memcpy(&len, p, 4);
  memcpy(&crc, p + 4, 4);
  return len >= 1 && len <= kMaxEntry && len <= n - h && Crc32(p + h, len, Crc32(&len, 4)) == crc;
}

// Whether the bad entry at p, with left bytes to the end of the file, can only be the start
// of one append that never finished. An append writes one entry front to back, so such a
// tail is shorter than the entry its length promises, and nothing can follow it.
//
// In format 2 the entry's header proves its length: the tail is torn when it is shorter
// than a header, or its header is sound and its length runs past the end of the file.
// Format 1 has no such proof, so the tail must also not be one whole entry whose length
// was damaged, and nothing whole may follow it (a damaged length in the middle of the log
// runs over the entries after it).
bool IsTornTail(const BYTE* p, size_t left, uint32_t format) {
  size_t h = EntryHeaderSize(format);
  if (left < h) return true;
  uint32_t len, crc;
  memcpy(&len, p, 4);
  memcpy(&crc, p + 4, 4);
  if (format >= 2) return HeaderSound(p) && len <= kMaxEntry && len > left - h;
  if (len <= left - h) return false;  // whole, so written to its end: its checksum failed
  uint32_t rest = static_cast<uint32_t>(std::min<size_t>(left - h, kMaxEntry));
  if (rest == left - h && Crc32(p + h, rest, Crc32(&rest, 4)) == crc) return false;
  for (size_t k = 1; k + h < left; ++k) {
    BYTE kind = p[k + h];
    if (kind >= kCreateDb && kind <= kDeleteRecord && SoundEntryAt(p + k, left - k, format)) return false;
  }
  return true;
}

void Publish(Volume* v, const std::vector<ChangeEvent>& events);

// Brings the in-process view up to the committed state. Runs with the volume's mutex held.
//
// Live processes vouch for the log up to the committed length: a bad entry there is
// damage. Past it lies only what a writer that died left of its change (its mark is still
// set): the change counts when its entry is whole and sound, and a torn one is dropped,
// exactly as a process opening the file after every other has closed it decides from the
// file alone. Whoever takes the mutex first after the death settles it for all: the
// committed length moves past the change and the openers hear of it.
DWORD LoadLocked(Volume* v) {
  SharedState* s = v->shared;
  if (v->damaged) return ERROR_INTERNAL_DB_CORRUPTION;
  bool writerDied = s->ready && s->writer;
  if (!writerDied && v->loaded && s->ready &&
      static_cast<uint32_t>(s->generation) == v->generation &&
      static_cast<uint64_t>(s->committed) == v->loaded)
    return 0;
  FileHandle f(CreateFileW(v->path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.ok()) return GetLastError() == ERROR_FILE_NOT_FOUND ? ERROR_FILE_NOT_FOUND : GetLastError();
  LARGE_INTEGER li;
  if (!GetFileSizeEx(f.h, &li)) return GetLastError();
  uint64_t size = static_cast<uint64_t>(li.QuadPart);
  BYTE header[kHeaderSize];
  uint32_t format, generation;
  CEOID nextOid;
  if (size < kHeaderSize || !ReadAt(f.h, 0, header, kHeaderSize) ||
      !ParseHeader(header, &format, &generation, &nextOid))
    return Damaged(v);
  const size_t h = EntryHeaderSize(format);
  bool ready = s->ready && static_cast<uint32_t>(s->generation) == generation;
  uint64_t vouched = ready ? static_cast<uint64_t>(s->committed) : kHeaderSize;
  if (vouched > size || vouched < kHeaderSize) return Damaged(v);
  uint64_t end = ready && !writerDied ? vouched : size;
  uint64_t start;
  if (!v->loaded || v->generation != generation || v->loaded > end) {
    Forget(v);
    v->nextOid = std::max<CEOID>(nextOid, 0x100);
    start = kHeaderSize;
  } else {
    start = v->loaded;
  }
  std::vector<BYTE> buf(static_cast<size_t>(end - start));
  if (!buf.empty() && !ReadAt(f.h, start, buf.data(), buf.size())) return GetLastError();
  std::vector<ChangeEvent> unheard;
  size_t at = 0;
  while (at < buf.size()) {
    const BYTE* p = &buf[at];
    size_t left = buf.size() - at;
    bool pastVouched = start + at >= vouched;
    if (!SoundEntryAt(p, left, format)) {
      if (pastVouched && IsTornTail(p, left, format)) break;
      return Damaged(v);
    }
    uint32_t len;
    memcpy(&len, p, 4);
    if (!ApplyEntry(v, p + h, len, ready && pastVouched ? &unheard : nullptr)) return Damaged(v);
    ++v->entries;
    at += h + len;
  }
  v->loaded = start + at;
  v->generation = generation;
  v->format = format;
  if (!ready || writerDied) {
    s->generation = static_cast<LONG>(generation);
    s->committed = static_cast<LONG64>(v->loaded);
    s->ready = 1;
    s->writer = 0;
  }
  Publish(v, unheard);
  return 0;
}

struct MutexHold {
  HANDLE m;
  explicit MutexHold(HANDLE mutex) : m(mutex) { WaitForSingleObject(m, INFINITE); }
  ~MutexHold() { ReleaseMutex(m); }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;
};

void Publish(Volume* v, const std::vector<ChangeEvent>& events) {
  SharedState* s = v->shared;
  // Of more changes than the ring holds only the last fill it; the earlier ones are counted
  // as they would have been overwritten, and a reader still behind them hears that it fell
  // behind, as it would have.
  size_t skip = events.size() > kRing ? events.size() - kRing : 0;
  if (skip) InterlockedExchange64(&s->seq, s->seq + static_cast<LONG64>(skip));
  for (size_t i = skip; i < events.size(); ++i) {
    const ChangeEvent& e = events[i];
    LONG64 seq = s->seq;
    SharedSlot& slot = s->ring[static_cast<uint64_t>(seq) % kRing];
    slot.seq = -1;
    MemoryBarrier();
    slot.type = e.type;
    slot.db = e.db;
    slot.oid = e.oid;
    MemoryBarrier();
    slot.seq = seq;
    InterlockedExchange64(&s->seq, seq + 1);
  }
  if (!events.empty()) WakeRelay();
}

// Gives the open file the name path, replacing whatever had it, in one step.
bool RenameOver(HANDLE f, const std::wstring& path) {
  const size_t nameBytes = path.size() * sizeof(wchar_t);
  std::vector<BYTE> buf(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buf.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  memcpy(info->FileName, path.data(), nameBytes);
  return SetFileInformationByHandle(f, FileRenameInfo, info, static_cast<DWORD>(buf.size())) != 0;
}

// Writes the live content into a new file, flushed once, that atomically replaces the
// volume's file; other processes read it again whole. 0 or the error.
DWORD WriteImageLocked(Volume* v) {
  uint32_t generation = v->generation + 1;
  std::wstring temp = v->path + L".new";
  // DELETE access: the new file is renamed over the old through this handle.
  FileHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.ok()) return GetLastError();
  // Entries are encoded in place, their length and checksum filled in behind them, and
  // written out a piece at a time: the buffer stays small enough for the heap to give the
  // same memory back every time, and the image is never held whole beside the volume.
  constexpr size_t kPiece = 128 << 10;
  Out o;
  o.b.reserve(kPiece + (16 << 10));
  o.b += Header(generation, v->nextOid);
  uint64_t size = 0;
  bool written = true;
  uint32_t entries = 0;
  size_t start = 0;
  const size_t h = EntryHeaderSize(kFormat);
  auto begin = [&] {
    start = o.b.size();
    o.b.append(h, '\0');
  };
  auto end = [&] {
    uint32_t len = static_cast<uint32_t>(o.b.size() - start - h);
    uint32_t crc = Crc32(&o.b[start + h], len, Crc32(&len, 4));
    memcpy(&o.b[start], &len, 4);
    memcpy(&o.b[start + 4], &crc, 4);
    uint32_t sum = Crc32(&o.b[start], 8);
    memcpy(&o.b[start + 8], &sum, 4);
    ++entries;
    if (o.b.size() >= kPiece) {
      written = written && WriteAll(f.h, o.b.data(), o.b.size());
      size += o.b.size();
      o.b.clear();
    }
  };
  static_assert(kFormat >= 2, "image entries carry a header checksum");
  for (auto& d : v->dbs) {
    Database* db = d.second.get();
    begin();
    o.u8(kCreateDb);
    o.u32(db->oid);
    o.u32(db->type);
    o.u32(db->flags);
    o.u64((uint64_t(db->modified.dwHighDateTime) << 32) | db->modified.dwLowDateTime);
    o.u16(static_cast<uint16_t>(db->name.size()));
    o.raw(db->name.data(), db->name.size() * sizeof(wchar_t));
    o.u8(static_cast<uint8_t>(db->sorts.size()));
    for (SortOrder& s : db->sorts) {
      o.u16(s.sortSpec.wNumProps);
      o.u16(s.sortSpec.wKeyFlags);
      for (auto id : s.sortSpec.rgPropID) o.u32(id);
      for (auto f : s.sortSpec.rgdwFlags) o.u32(f);
    }
    end();
    for (Record* r : db->byOid) {
      begin();
      o.u8(kPutRecord);
      o.u32(db->oid);
      o.u32(r->oid);
      EncodeProps(o, r->props.data(), r->props.size());
      end();
    }
  }
  written = written && WriteAll(f.h, o.b.data(), o.b.size());
  size += o.b.size();
  if (!written || !FlushFileBuffers(f.h)) {
    DWORD err = GetLastError();
    CloseHandle(f.h);
    f.h = INVALID_HANDLE_VALUE;
    DeleteFileW(temp.c_str());
    return err ? err : ERROR_DISK_FULL;
  }
  // Marked like an append: a process that dies between the replacement and the shared
  // state leaves the next one to read the new file whole.
  v->shared->writer = 1;
  // Renamed through the open handle (no second open and path walk of the new file), or,
  // where the platform refuses that, by name once it is closed.
  bool renamed = RenameOver(f.h, v->path);
  CloseHandle(f.h);
  f.h = INVALID_HANDLE_VALUE;
  if (!renamed && !MoveFileExW(temp.c_str(), v->path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD err = GetLastError();
    v->shared->writer = 0;
    DeleteFileW(temp.c_str());
    return err;
  }
  v->generation = generation;
  v->format = kFormat;
  v->loaded = size;
  v->entries = entries;
  v->shared->generation = static_cast<LONG>(generation);
  v->shared->committed = static_cast<LONG64>(v->loaded);
  MemoryBarrier();
  v->shared->writer = 0;
  return 0;
}

// Rewrites the volume once dead entries make up most of its log.
void MaybeCompactLocked(Volume* v) {
  size_t live = v->dbs.size() + v->RecordCount();
  if (v->entries < 1024 || v->entries < 3 * live) return;
  WriteImageLocked(v);
}

// The one way a volume changes: under the volume's mutex, catch up, let build check the
// request against the current state and describe the change, append it durably, apply it.
template <class Build>
DWORD Mutate(Volume* v, Build build) {
  if (v->damaged) return ERROR_INTERNAL_DB_CORRUPTION;
  if (v->batch) {
    // This thread holds the volume since the batch began; the file is written whole at its end.
    Out payload;
    std::vector<ChangeEvent> events;
    if (DWORD err = build(payload, events)) return err;
    if (!payload.b.empty() &&
        !ApplyEntry(v, reinterpret_cast<const BYTE*>(payload.b.data()), payload.b.size()))
      return ERROR_INVALID_PARAMETER;
    ++v->entries;
    v->batchEvents.insert(v->batchEvents.end(), events.begin(), events.end());
    return 0;
  }
  MutexHold hold(v->mutex);
  if (DWORD err = LoadLocked(v)) return err;
  Out payload;
  std::vector<ChangeEvent> events;
  if (DWORD err = build(payload, events)) return err;
  uint32_t len = static_cast<uint32_t>(payload.b.size());
  uint32_t crc = Crc32(payload.b.data(), len, Crc32(&len, 4));
  // In the format of the file it goes to: an old file stays old until it is written anew.
  std::string entry;
  AppendEntryHeader(entry, len, crc, v->format);
  entry += payload.b;
  {
    FileHandle f(CreateFileW(v->path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.ok()) return GetLastError();
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(v->loaded);
    // Cutting at the committed length drops whatever a killed writer left half-written.
    if (!SetFilePointerEx(f.h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(f.h)) return GetLastError();
    v->shared->writer = 1;
    if (!WriteAll(f.h, entry.data(), entry.size()) || !FlushFileBuffers(f.h)) {
      DWORD err = GetLastError();
      SetFilePointerEx(f.h, at, nullptr, FILE_BEGIN);
      SetEndOfFile(f.h);
      v->shared->writer = 0;
      return err ? err : ERROR_DISK_FULL;
    }
  }
  if (!ApplyEntry(v, reinterpret_cast<const BYTE*>(payload.b.data()), len)) {
    return Damaged(v);  // cannot happen for an entry build accepted
  }
  ++v->entries;
  v->loaded += entry.size();
  v->shared->committed = static_cast<LONG64>(v->loaded);
  MemoryBarrier();
  v->shared->writer = 0;
  Publish(v, events);
  MaybeCompactLocked(v);
  return 0;
}

bool OpenShared(Volume* v) {
  std::wstring key = Hex(Fnv(Lower(v->path), 0));
  std::wstring mutexName = L"Local\\CeDbVolume." + key + L".lock";
  std::wstring mapName = L"Local\\CeDbVolume." + key + L".state";
  v->mutex = CreateMutexW(nullptr, FALSE, mutexName.c_str());
  if (!v->mutex) return false;
  v->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(SharedState), mapName.c_str());
  if (!v->mapping) return false;
  v->shared = static_cast<SharedState*>(
      MapViewOfFile(v->mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedState)));
  return v->shared != nullptr;
}

std::wstring HostPath(const std::wstring& name) {
  size_t i = 0;
  while (i < name.size() && (name[i] == L'\\' || name[i] == L'/')) ++i;
  std::wstring root = DeviceRoot();
  if (!root.empty() && root.back() != L'\\' && root.back() != L'/') root += L'\\';
  return root + name.substr(i);
}

// Finds or creates this process's object for a volume file, creating the file as the
// disposition says; loads it and refuses a damaged one.
Volume* OpenVolume(const std::wstring& name, DWORD disposition, bool permanent) {
  if (name.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::wstring path = HostPath(name);
  std::wstring key = Lower(path);
  auto& vols = Volumes();
  auto found = vols.find(key);
  Volume* v;
  if (found == vols.end()) {
    auto fresh = std::make_unique<Volume>();
    fresh->name = name;
    fresh->path = path;
    uint64_t a = Fnv(key, 1), b = Fnv(key, 2);
    fresh->guid = {static_cast<DWORD>(a >> 32) & 0x7FFFFFFFu, static_cast<DWORD>(a),
                   static_cast<DWORD>(b >> 32), static_cast<DWORD>(b) | 1u};
    if (!OpenShared(fresh.get())) return nullptr;
    v = fresh.get();
    vols[key] = std::move(fresh);
  } else {
    v = found->second.get();
  }
  bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  DWORD error = 0;
  switch (disposition) {
    case CREATE_NEW:
      if (exists) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
      }
      break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      if (!exists) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
      }
      break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      if (exists) error = ERROR_ALREADY_EXISTS;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
  bool truncate = exists && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING);
  {
    MutexHold hold(v->mutex);
    if (!exists || truncate) {
      if (truncate && v->mounts) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
      }
      uint32_t generation = static_cast<uint32_t>(v->shared->generation) + 1;
      // Object identifiers stay unique across an emptying: old handles cannot mistake new objects.
      v->shared->writer = 1;  // a death before the shared state is reset leaves the file to be read whole
      if (!WriteEmptyVolume(path, generation, v->nextOid, exists ? TRUNCATE_EXISTING : CREATE_NEW)) {
        v->shared->writer = 0;
        // Another process may have created it first; that is as good.
        if (exists || GetLastError() != ERROR_FILE_EXISTS) return nullptr;
      } else {
        v->shared->ready = 0;
        v->shared->writer = 0;
        v->damaged = false;
      }
      Forget(v);
    }
    if (DWORD err = LoadLocked(v)) {
      SetLastError(err);
      return nullptr;
    }
  }
  if (permanent) v->permanent = true;
  SetLastError(error);
  return v;
}

}  // namespace

// ---- public ----

void StoreLock() { EnterCriticalSection(Lock()); }
void StoreUnlock() { LeaveCriticalSection(Lock()); }

const CEPROPVAL* Record::Find(CEPROPID propid) const {
  for (const CEPROPVAL& p : props)
    if (p.propid == propid) return &p;
  return nullptr;
}

Database* Volume::FindDb(CEOID oid) {
  auto it = dbs.find(oid);
  return it == dbs.end() ? nullptr : it->second.get();
}

Database* Volume::RecordOwner(CEOID oid) {
  for (auto& d : dbs)
    if (d.second->records.count(oid)) return d.second.get();
  return nullptr;
}

size_t Volume::RecordCount() const {
  size_t n = 0;
  for (auto& d : dbs) n += d.second->records.size();
  return n;
}

Database* Volume::FindDb(const std::wstring& n) {
  for (auto& d : dbs)
    if (CompareStringOrdinal(d.second->name.c_str(), -1, n.c_str(), -1, TRUE) == CSTR_EQUAL)
      return d.second.get();
  return nullptr;
}

std::wstring DeviceRoot() {
  static std::wstring root = [] {
    wchar_t buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"CEDEVICE_ROOT", buf, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return std::wstring(buf, n);
    DWORD type = 0, size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\CeDevice", L"Root", RRF_RT_REG_SZ, &type, buf,
                     &size) == ERROR_SUCCESS && buf[0])
      return std::wstring(buf);
    return std::wstring(L"C:\\");
  }();
  return root;
}

bool IsSystemGuid(const CEGUID& g) { return !g.Data1 && !g.Data2 && !g.Data3 && !g.Data4; }
bool IsInvalidGuid(const CEGUID& g) { return g.Data1 == 0xFFFFFFFFu; }

Volume* ObjectStore() {
  static Volume* store = nullptr;
  if (store && !store->damaged) return store;
  Volume* v = OpenVolume(L"ObjectStore.vol", OPEN_ALWAYS, true);
  if (!v) return nullptr;
  v->objectStore = true;
  v->guid = CEGUID{};
  store = v;
  return v;
}

Volume* PimVolume() {
  static Volume* pim = nullptr;
  if (pim && !pim->damaged) return pim;
  Volume* v = OpenVolume(L"pim.vol", OPEN_ALWAYS, true);
  if (!v) return nullptr;
  if (std::find(MountOrder().begin(), MountOrder().end(), v) == MountOrder().end())
    MountOrder().insert(MountOrder().begin(), v);
  pim = v;
  return v;
}

std::vector<Volume*> MountedVolumes() {
  PimVolume();
  std::vector<Volume*> out;
  for (Volume* v : MountOrder())
    if ((v->permanent || v->mounts > 0) && !v->damaged) out.push_back(v);
  return out;
}

Volume* VolumeByGuid(const CEGUID& guid) {
  if (IsSystemGuid(guid)) return ObjectStore();
  for (Volume* v : MountedVolumes())
    if (!memcmp(&v->guid, &guid, sizeof guid)) return v;
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

Volume* MountVolume(const std::wstring& name, DWORD disposition) {
  Volume* v = OpenVolume(name, disposition, false);
  if (!v) return nullptr;
  DWORD err = GetLastError();
  if (v->objectStore) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ++v->mounts;
  if (std::find(MountOrder().begin(), MountOrder().end(), v) == MountOrder().end())
    MountOrder().push_back(v);
  SetLastError(err);
  return v;
}

bool UnmountVolume(Volume* v) {
  if (v->mounts > 0) {
    --v->mounts;
    return true;
  }
  if (v->permanent) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

bool Refresh(Volume* v) {
  if (v->damaged) {
    SetLastError(ERROR_INTERNAL_DB_CORRUPTION);
    return false;
  }
  SharedState* s = v->shared;
  if (v->loaded && s->ready && static_cast<uint32_t>(s->generation) == v->generation &&
      static_cast<uint64_t>(s->committed) == v->loaded) {
    if (!s->writer) return true;
    // A change is being appended, or its writer died at it. A live writer holds the lock
    // and its change is not committed yet; a dead one's lock is ours to settle its change.
    DWORD got = WaitForSingleObject(v->mutex, 0);
    if (got == WAIT_TIMEOUT) return true;
    if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED) return true;
    DWORD err = LoadLocked(v);
    ReleaseMutex(v->mutex);
    if (err) SetLastError(err);
    return !err;
  }
  MutexHold hold(v->mutex);
  if (DWORD err = LoadLocked(v)) {
    SetLastError(err);
    return false;
  }
  return true;
}

bool BeginBatch(Volume* v) {
  if (v->batch) {
    SetLastError(ERROR_BUSY);
    return false;
  }
  WaitForSingleObject(v->mutex, INFINITE);
  if (DWORD err = LoadLocked(v)) {
    ReleaseMutex(v->mutex);
    SetLastError(err);
    return false;
  }
  v->batch = true;
  v->batchEvents.clear();
  GetSystemTimeAsFileTime(&v->batchTime);
  return true;
}

bool EndBatch(Volume* v, bool keep) {
  if (!v->batch) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  v->batch = false;
  DWORD err = keep ? WriteImageLocked(v) : 0;
  if (!keep || err) {
    // Back to what the file holds.
    Forget(v);
    if (DWORD reload = LoadLocked(v)) err = err ? err : reload;
  } else {
    // The orders a load filed out of sequence are made whole now, as part of the load.
    for (auto& d : v->dbs)
      for (SortOrder& s : d.second->sorts) SettleOrder(s);
    Publish(v, v->batchEvents);
  }
  v->batchEvents.clear();
  ReleaseMutex(v->mutex);
  if (err) SetLastError(err);
  return !err;
}

CEOID CreateDatabase(Volume* v, const std::wstring& name, DWORD type, DWORD flags,
                     const std::vector<SORTORDERSPECEX>& sorts) {
  CEOID oid = 0;
  DWORD err = Mutate(v, [&](Out& o, std::vector<ChangeEvent>&) -> DWORD {
    if (v->FindDb(name)) return ERROR_DUP_NAME;
    oid = v->nextOid;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    o.u8(kCreateDb);
    o.u32(oid);
    o.u32(type);
    o.u32(flags);
    o.u64((uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    o.u16(static_cast<uint16_t>(name.size()));
    o.raw(name.data(), name.size() * sizeof(wchar_t));
    o.u8(static_cast<uint8_t>(sorts.size()));
    for (const SORTORDERSPECEX& s : sorts) {
      o.u16(s.wNumProps);
      o.u16(s.wKeyFlags);
      for (int i = 0; i < CEDB_MAXSORTPROP; ++i) o.u32(i < s.wNumProps ? s.rgPropID[i] : 0);
      for (int i = 0; i < CEDB_MAXSORTPROP; ++i) o.u32(i < s.wNumProps ? s.rgdwFlags[i] : 0);
    }
    return 0;
  });
  if (err) {
    SetLastError(err);
    return 0;
  }
  return oid;
}

bool DeleteDatabase(Volume* v, CEOID db) {
  DWORD err = Mutate(v, [&](Out& o, std::vector<ChangeEvent>& events) -> DWORD {
    if (!v->FindDb(db)) return ERROR_INVALID_PARAMETER;
    o.u8(kDeleteDb);
    o.u32(db);
    events.push_back({DB_CEOID_DATABASE_DELETED, db, db});
    return 0;
  });
  if (err) SetLastError(err);
  return !err;
}

namespace {

// The values a write leaves: the old record's, each written value in place of the one of
// its whole identifier, a deletion dropping it. Kept from call to call (the store lock is held):
// most writes then allocate nothing here.
std::vector<CEPROPVAL>& MergedValues(const Record* old, const CEPROPVAL* vals, WORD count) {
  static std::vector<CEPROPVAL> merged;
  merged.clear();
  if (old) merged.assign(old->props.begin(), old->props.end());
  for (WORD i = 0; i < count; ++i) {
    const CEPROPVAL& in = vals[i];
    // A property is its whole identifier, type included: one identifier word may name
    // two properties of different types in one record.
    auto same = [&](const CEPROPVAL& p) { return p.propid == in.propid; };
    merged.erase(std::remove_if(merged.begin(), merged.end(), same), merged.end());
    if (in.wFlags & CEDB_PROPDELETE) continue;
    // Built in place, field by field (this runs for every value of every record written).
    CEPROPVAL& copy = merged.emplace_back();
    copy.propid = in.propid;
    // Only the value's own bytes, as a record read back from the file has them.
    switch (ValueSize(TypeFromPropID(in.propid))) {
      case 0: copy.val = in.val; break;
      case 2: memcpy(&copy.val, &in.val, 2); break;
      case 4: memcpy(&copy.val, &in.val, 4); break;
      default: memcpy(&copy.val, &in.val, 8); break;
    }
  }
  return merged;
}

// Whether a new record's values can be taken as they are, with nothing to merge: no
// deletion, no identifier twice, no text marked as counted.
bool PlainValues(const CEPROPVAL* vals, WORD count) {
  for (WORD i = 0; i < count; ++i) {
    if (vals[i].wFlags & CEDB_PROPDELETE) return false;
    if (vals[i].wLenData && TypeFromPropID(vals[i].propid) == CEVT_LPWSTR) return false;
    for (WORD j = 0; j < i; ++j)
      if (vals[j].propid == vals[i].propid) return false;
  }
  return true;
}

// A unique order admits no second record with the same key: 0, or the error refusing probe.
DWORD UniqueClash(Database* db, const Record& probe) {
  for (SortOrder& s : db->sorts) {
    if (!(s.sortSpec.wKeyFlags & CEDB_SORT_UNIQUE)) continue;
    for (int i = 0; i < s.sortSpec.wNumProps; ++i)
      if (!probe.Find(s.sortSpec.rgPropID[i])) return ERROR_INVALID_PARAMETER;
    // Past the last key there is nothing to meet (the usual case when records come in order).
    if (s.index.empty() || CompareInOrder(s.sortSpec, *s.index.back(), probe) < 0) continue;
    auto it = std::lower_bound(s.index.begin(), s.index.end(), &probe, [&](const Record* a, const Record* b) {
      return CompareInOrder(s.sortSpec, *a, *b) < 0;
    });
    for (; it != s.index.end() && CompareInOrder(s.sortSpec, **it, probe) == 0; ++it)
      if ((*it)->oid != probe.oid) return ERROR_ALREADY_EXISTS;
  }
  return 0;
}

}  // namespace

bool ValuesWritable(const CEPROPVAL* vals, WORD count) {
  if (count && !vals) return false;
  for (WORD i = 0; i < count; ++i) {
    const CEPROPVAL& v = vals[i];
    WORD type = TypeFromPropID(v.propid);
    if (!IsKnownType(type)) return false;
    if ((type == CEVT_BLOB || type == CEVT_STREAM) && !(v.wFlags & CEDB_PROPDELETE) &&
        v.val.blob.dwCount && !v.val.blob.lpb)
      return false;
  }
  return true;
}

CEOID WriteRecord(Volume* v, CEOID dbOid, CEOID oid, const CEPROPVAL* vals, WORD count) {
  CEOID written = 0;
  DWORD err = Mutate(v, [&](Out& o, std::vector<ChangeEvent>& events) -> DWORD {
    Database* db = v->FindDb(dbOid);
    if (!db) return ERROR_INVALID_HANDLE;
    const Record* old = nullptr;
    if (oid) {
      auto it = db->records.find(oid);
      if (it == db->records.end()) return ERROR_INVALID_PARAMETER;
      old = &it->second;
    }
    Record probe;
    probe.oid = oid ? oid : v->nextOid;
    BuildRecord(probe, MergedValues(old, vals, count));
    if (DWORD clash = UniqueClash(db, probe)) return clash;
    written = probe.oid;
    if (v->batch) {
      // Nothing goes to the file until the batch ends: no entry to encode.
      PutRecord(v, db, written, probe, &v->batchEvents);
      return 0;
    }
    o.u8(kPutRecord);
    o.u32(dbOid);
    o.u32(written);
    EncodeProps(o, probe.props.data(), probe.props.size());
    events.push_back({old ? static_cast<UINT>(DB_CEOID_CHANGED) : static_cast<UINT>(DB_CEOID_CREATED),
                      dbOid, written});
    return 0;
  });
  if (err) {
    SetLastError(err);
    return 0;
  }
  return written;
}

DWORD LoadRecords(Volume* v, CEOID dbOid, DWORD count, CEDBLOADRECORD next, void* context, DWORD* error) {
  *error = 0;
  Database* db = v->batch && !v->damaged ? v->FindDb(dbOid) : nullptr;
  if (!db) {
    *error = v->batch ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER;
    return 0;
  }
  // Room for all of them at once: no map or order grows record by record.
  db->records.reserve(db->records.size() + count);
  db->byOid.reserve(db->byOid.size() + count);
  for (SortOrder& s : db->sorts) s.index.reserve(s.index.size() + count);
  v->batchEvents.reserve(v->batchEvents.size() + count);
  for (DWORD k = 0; k < count; ++k) {
    WORD n = 0;
    const CEPROPVAL* vals = next(context, k, &n);
    if (!ValuesWritable(vals, n)) {
      *error = ERROR_INVALID_PARAMETER;
      return k;
    }
    Record probe;
    probe.oid = v->nextOid;
    BuildRecord(probe, PlainValues(vals, n) ? ValueList{vals, n} : ValueList(MergedValues(nullptr, vals, n)),
                &db->arena);
    if (DWORD clash = UniqueClash(db, probe)) {
      *error = clash;
      return k;
    }
    ++v->entries;
    PutRecord(v, db, probe.oid, probe, &v->batchEvents);
  }
  return count;
}

namespace {

constexpr size_t kArenaPiece = 256 << 10;
constexpr size_t kSparePieces = 64;  // 16 MB

// Pieces of standard size that dropped databases gave back.
std::vector<std::unique_ptr<BYTE[]>>& SparePieces() {
  static auto* spare = new std::vector<std::unique_ptr<BYTE[]>>;
  return *spare;
}

}  // namespace

LoadArena::~LoadArena() {
  // Only the standard pieces have that size: a larger one (a single huge record) is freed.
  // The last piece taken may be larger; every other standard one was filled from its start.
  auto& spare = SparePieces();
  for (size_t i = 0; i < pieces_.size(); ++i)
    if (sizes_[i] == kArenaPiece && spare.size() < kSparePieces) spare.push_back(std::move(pieces_[i]));
}

BYTE* LoadArena::Take(size_t n) {
  if (n > left_) {
    size_t size = std::max(n, kArenaPiece);
    auto& spare = SparePieces();
    if (size == kArenaPiece && !spare.empty()) {
      pieces_.push_back(std::move(spare.back()));
      spare.pop_back();
    } else {
      pieces_.emplace_back(new BYTE[size]);
    }
    sizes_.push_back(size);
    at_ = pieces_.back().get();
    left_ = size;
  }
  BYTE* p = at_;
  at_ += n;
  left_ -= n;
  return p;
}

bool DeleteRecord(Volume* v, CEOID dbOid, CEOID oid) {
  DWORD err = Mutate(v, [&](Out& o, std::vector<ChangeEvent>& events) -> DWORD {
    Database* db = v->FindDb(dbOid);
    if (!db) return ERROR_INVALID_HANDLE;
    if (!db->records.count(oid)) return ERROR_INVALID_PARAMETER;
    o.u8(kDeleteRecord);
    o.u32(dbOid);
    o.u32(oid);
    events.push_back({DB_CEOID_RECORD_DELETED, dbOid, oid});
    return 0;
  });
  if (err) SetLastError(err);
  return !err;
}

uint64_t CurrentChangeSeq(Volume* v) { return static_cast<uint64_t>(v->shared->seq); }

bool ReadChange(Volume* v, uint64_t seq, ChangeEvent* out) {
  const SharedSlot& slot = v->shared->ring[seq % kRing];
  LONG64 before = slot.seq;
  MemoryBarrier();
  out->type = slot.type;
  out->db = slot.db;
  out->oid = slot.oid;
  MemoryBarrier();
  return before == static_cast<LONG64>(seq) && slot.seq == before;
}

// ---- sort orders ----

bool IsKnownType(WORD type) {
  return ValueSize(type) != 0 || IsVariable(type);
}

bool IsSortable(CEPROPID propid) {
  WORD type = TypeFromPropID(propid);
  return IsKnownType(type) && type != CEVT_BLOB && type != CEVT_STREAM;
}

namespace {

template <class T>
int Cmp(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

DWORD TextCompareFlags(DWORD flags) {
  return SORT_STRINGSORT | ((flags & CEDB_SORT_CASEINSENSITIVE) ? NORM_IGNORECASE : 0);
}

int CompareValue(WORD type, DWORD flags, const CEVALUNION& a, const CEVALUNION& b) {
  switch (type) {
    case CEVT_I2: return Cmp(a.iVal, b.iVal);
    case CEVT_UI2: return Cmp(a.uiVal, b.uiVal);
    case CEVT_I4: case CEVT_AUTO_I4: return Cmp(a.lVal, b.lVal);
    case CEVT_UI4: case CEVT_RECID: return Cmp(a.ulVal, b.ulVal);
    case CEVT_BOOL: return Cmp(a.boolVal != 0, b.boolVal != 0);
    case CEVT_I8: case CEVT_AUTO_I8: return Cmp(a.llVal.QuadPart, b.llVal.QuadPart);
    case CEVT_UI8: return Cmp(a.ullVal.QuadPart, b.ullVal.QuadPart);
    case CEVT_FILETIME:
      return Cmp((uint64_t(a.filetime.dwHighDateTime) << 32) | a.filetime.dwLowDateTime,
                 (uint64_t(b.filetime.dwHighDateTime) << 32) | b.filetime.dwLowDateTime);
    case CEVT_R8: return Cmp(a.dblVal, b.dblVal);
    case CEVT_LPWSTR: {
      const wchar_t* x = a.lpwstr ? a.lpwstr : L"";
      const wchar_t* y = b.lpwstr ? b.lpwstr : L"";
      int c = CompareStringW(LOCALE_INVARIANT, TextCompareFlags(flags), x, -1, y, -1);
      if (c == CSTR_EQUAL && !(flags & CEDB_SORT_CASEINSENSITIVE)) c = CompareStringOrdinal(x, -1, y, -1, FALSE);
      return c - CSTR_EQUAL;
    }
    default: return 0;
  }
}

int CompareOne(CEPROPID propid, DWORD flags, const CEPROPVAL* a, const CEPROPVAL* b) {
  if (!a || !b) {
    if (!a && !b) return 0;
    int missingLast = a ? -1 : 1;
    return (flags & CEDB_SORT_UNKNOWNFIRST) ? -missingLast : missingLast;
  }
  int c = CompareValue(TypeFromPropID(propid), flags, a->val, b->val);
  return (flags & CEDB_SORT_DESCENDING) ? -c : c;
}

}  // namespace

int CompareInOrder(const SORTORDERSPECEX& sortSpec, const Record& a, const Record& b) {
  for (int i = 0; i < sortSpec.wNumProps; ++i) {
    int c = CompareOne(sortSpec.rgPropID[i], sortSpec.rgdwFlags[i], a.Find(sortSpec.rgPropID[i]),
                       b.Find(sortSpec.rgPropID[i]));
    if (c) return c;
  }
  return 0;
}

namespace {

// A record with its keys found, and the texts among them turned into sort keys once, so
// sorting compares bytes rather than texts through the locale at every step.
struct Keyed {
  Record* r;
  const CEPROPVAL* vals[CEDB_MAXSORTPROP];
  uint32_t keyAt[CEDB_MAXSORTPROP];
  uint32_t keyLen[CEDB_MAXSORTPROP];
};

// Appends the sort key of text under the order's flags; false when there is none.
bool AppendSortKey(const wchar_t* text, DWORD flags, std::vector<BYTE>& keys, uint32_t* at, uint32_t* len) {
  const DWORD how = LCMAP_SORTKEY | TextCompareFlags(flags);
  BYTE first[512];
  int n = LCMapStringW(LOCALE_INVARIANT, how, text, -1, reinterpret_cast<LPWSTR>(first), sizeof first);
  *at = static_cast<uint32_t>(keys.size());
  if (n > 0) {
    keys.insert(keys.end(), first, first + n);
  } else {
    n = LCMapStringW(LOCALE_INVARIANT, how, text, -1, nullptr, 0);
    if (n <= 0) return false;
    keys.resize(keys.size() + n);
    if (LCMapStringW(LOCALE_INVARIANT, how, text, -1, reinterpret_cast<LPWSTR>(keys.data() + *at), n) != n)
      return false;
  }
  *len = static_cast<uint32_t>(n);
  return true;
}

}  // namespace

// The index must come out exactly as inserting one record at a time builds it: by key,
// then OID. Sorted by the texts' sort keys, then checked pair by pair with the comparison
// every other path uses; should the two ever disagree, sorted again with that comparison.
void SettleOrder(SortOrder& s) {
  if (!s.unsorted) return;
  s.unsorted = false;
  const SORTORDERSPECEX& sortOrder = s.sortSpec;
  const int props = std::min<int>(sortOrder.wNumProps, CEDB_MAXSORTPROP);
  std::vector<Keyed> keyed(s.index.size());
  std::vector<BYTE> keys;
  bool keysOk = true;
  for (size_t i = 0; i < s.index.size() && keysOk; ++i) {
    Keyed& k = keyed[i];
    k.r = s.index[i];
    for (int p = 0; p < props; ++p) {
      k.vals[p] = k.r->Find(sortOrder.rgPropID[p]);
      k.keyAt[p] = k.keyLen[p] = 0;
      if (k.vals[p] && TypeFromPropID(sortOrder.rgPropID[p]) == CEVT_LPWSTR) {
        const wchar_t* text = k.vals[p]->val.lpwstr ? k.vals[p]->val.lpwstr : L"";
        keysOk = keysOk && AppendSortKey(text, sortOrder.rgdwFlags[p], keys, &k.keyAt[p], &k.keyLen[p]);
      }
    }
  }
  if (keysOk) {
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
      for (int p = 0; p < props; ++p) {
        const DWORD flags = sortOrder.rgdwFlags[p];
        int c;
        if (!a.vals[p] || !b.vals[p] || TypeFromPropID(sortOrder.rgPropID[p]) != CEVT_LPWSTR) {
          c = CompareOne(sortOrder.rgPropID[p], flags, a.vals[p], b.vals[p]);
        } else {
          c = memcmp(keys.data() + a.keyAt[p], keys.data() + b.keyAt[p], std::min(a.keyLen[p], b.keyLen[p]));
          c = c ? c : Cmp(a.keyLen[p], b.keyLen[p]);
          if (!c && !(flags & CEDB_SORT_CASEINSENSITIVE)) {
            const wchar_t* x = a.vals[p]->val.lpwstr ? a.vals[p]->val.lpwstr : L"";
            const wchar_t* y = b.vals[p]->val.lpwstr ? b.vals[p]->val.lpwstr : L"";
            c = CompareStringOrdinal(x, -1, y, -1, FALSE) - CSTR_EQUAL;
          }
          if (flags & CEDB_SORT_DESCENDING) c = -c;
        }
        if (c) return c < 0;
      }
      return a.r->oid < b.r->oid;
    });
    for (size_t i = 0; i < keyed.size(); ++i) s.index[i] = keyed[i].r;
  }
  const OrderLess less{&sortOrder};
  for (size_t i = 1; keysOk && i < s.index.size(); ++i)
    keysOk = less(s.index[i - 1], s.index[i]);
  if (!keysOk) std::sort(s.index.begin(), s.index.end(), less);
}

int CompareWithValues(const SORTORDERSPECEX& sortSpec, const Record& r, const CEPROPVAL* vals,
                      WORD count) {
  for (int i = 0; i < sortSpec.wNumProps && i < count; ++i) {
    const CEPROPVAL* want = (vals[i].wFlags & CEDB_PROPNOTFOUND) ? nullptr : &vals[i];
    int c = CompareOne(sortSpec.rgPropID[i], sortSpec.rgdwFlags[i], r.Find(sortSpec.rgPropID[i]), want);
    if (c) return c;
  }
  return 0;
}

// ---- handles ----

HANDLE NewKernelHandle() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

DbHandle* FindDbHandle(HANDLE h) {
  auto it = Handles().find(h);
  return it == Handles().end() ? nullptr : it->second.get();
}

DbHandle* AddDbHandle(std::unique_ptr<DbHandle> h) {
  DbHandle* raw = h.get();
  // Handles the caller closed no longer name a kernel object: forget them now and then,
  // here, where it costs nothing on the read path.
  for (auto it = Handles().begin(); it != Handles().end();) {
    DWORD info;
    if (!GetHandleInformation(it->first, &info)) it = Handles().erase(it);
    else ++it;
  }
  // A value still listed belonged to a handle the caller has closed: the system reused it.
  Handles()[raw->handle] = std::move(h);
  return raw;
}

void DropDbHandle(HANDLE h) { Handles().erase(h); }

std::vector<DbHandle*> HandlesOn(Volume* v, CEOID db) {
  std::vector<DbHandle*> out;
  for (auto& h : Handles())
    if (h.second->vol == v && h.second->db == db) out.push_back(h.second.get());
  return out;
}

bool RelayHasWork(bool* listening) {
  *listening = false;
  for (auto& entry : Handles()) {
    const DbHandle& h = *entry.second;
    if (!h.notify) continue;
    DWORD info;
    // A listener the caller closed is dropped by the next collection.
    if (!GetHandleInformation(h.handle, &info)) return true;
    *listening = true;
    if (h.vol->relaySeq < CurrentChangeSeq(h.vol)) return true;
  }
  return false;
}

std::vector<DbHandle*> AllDbHandles() {
  std::vector<DbHandle*> out;
  for (auto& h : Handles()) out.push_back(h.second.get());
  return out;
}

size_t Locate(DbHandle* h, Database* db) {
  auto& order = db->Order(h->sort);
  if (h->atStart) {
    h->atStart = false;
    h->cur = order.empty() ? 0 : order[0]->oid;
    h->curStructure = ~0ull;
  }
  if (!h->cur) return order.size();
  Volume* v = h->vol;
  if (h->curStructure == v->structure && h->curIndex < order.size() &&
      order[h->curIndex]->oid == h->cur)
    return h->curIndex;
  auto it = db->records.find(h->cur);
  if (it == db->records.end()) {
    h->cur = 0;
    return order.size();
  }
  size_t i = IndexFind(order, h->sort < 0 ? nullptr : &db->sorts[h->sort].sortSpec, &it->second);
  h->curIndex = i;
  h->curStructure = v->structure;
  return i;
}

}  // namespace cedb
