// The in-process view of the device's database volumes, kept in step with the volume files
// that every process shares. Everything here runs under StoreLock.
#pragma once
#include "platform/coredll/cedb.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace cedb {

// Slots of one size, taken from and given back to a free list, in blocks kept for good.
// Runs under the store lock, like every user of the maps below.
template <size_t Size, size_t Align>
class SlotList {
 public:
  static void* Take() {
    Link*& head = Head();
    if (!head) Grow();
    Link* slot = head;
    head = slot->next;
    return slot;
  }
  static void Give(void* p) {
    auto* slot = static_cast<Link*>(p);
    slot->next = Head();
    Head() = slot;
  }

 private:
  struct Link {
    Link* next;
  };
  static constexpr size_t kAlign = Align > alignof(Link) ? Align : alignof(Link);
  static constexpr size_t kSlot = ((Size > sizeof(Link) ? Size : sizeof(Link)) + kAlign - 1) / kAlign * kAlign;
  static constexpr size_t kPerBlock = (32u << 10) / kSlot ? (32u << 10) / kSlot : 1;
  static Link*& Head() {
    static Link* head = nullptr;
    return head;
  }
  static void Grow() {
    static_assert(kAlign <= alignof(std::max_align_t), "operator new aligns this far");
    char* block = static_cast<char*>(::operator new(kSlot * kPerBlock));
    for (size_t i = kPerBlock; i-- > 0;) Give(block + i * kSlot);
  }
};

// The allocator of the record maps: a volume load makes and drops a map node per record by
// the ten thousand, and the heap's bookkeeping for each costs more than the node. Arrays
// (the maps' buckets) come from the heap.
template <class T>
struct NodeAllocator {
  using value_type = T;
  NodeAllocator() = default;
  template <class U>
  NodeAllocator(const NodeAllocator<U>&) {}
  T* allocate(size_t n) {
    if (n != 1) return static_cast<T*>(::operator new(n * sizeof(T)));
    return static_cast<T*>(SlotList<sizeof(T), alignof(T)>::Take());
  }
  void deallocate(T* p, size_t n) {
    if (n != 1) ::operator delete(p);
    else SlotList<sizeof(T), alignof(T)>::Give(p);
  }
  template <class U>
  bool operator==(const NodeAllocator<U>&) const { return true; }
  template <class U>
  bool operator!=(const NodeAllocator<U>&) const { return false; }
};

template <class Key, class Value>
using NodeMap = std::unordered_map<Key, Value, std::hash<Key>, std::equal_to<Key>,
                                   NodeAllocator<std::pair<const Key, Value>>>;

// Part of a record's block.
template <class T>
struct BlockPart {
  T* first = nullptr;
  size_t count = 0;
  T* data() const { return first; }
  size_t size() const { return count; }
  bool empty() const { return !count; }
  T* begin() const { return first; }
  T* end() const { return first + count; }
};

// Room for the records of a bulk load, taken in large pieces and kept with their database:
// ten thousand records then cost a handful of allocations, not one each, and dropping the
// database frees them at once. Pieces of standard size are kept for the next load (up to a
// bound), as the heap keeps small blocks: a volume loaded again reuses memory already
// mapped instead of faulting in fresh pages. A record rewritten later gets a block of its own; its old
// room stays until the database goes.
class LoadArena {
 public:
  LoadArena() = default;
  ~LoadArena();
  LoadArena(const LoadArena&) = delete;
  LoadArena& operator=(const LoadArena&) = delete;
  BYTE* Take(size_t n);  // n a multiple of 8; 8-aligned
 private:
  std::vector<std::unique_ptr<BYTE[]>> pieces_;
  std::vector<size_t> sizes_;
  BYTE* at_ = nullptr;
  size_t left_ = 0;
};

// One record: its properties, with text and blob pointers into its own data, so a read is
// one copy of the entries, one copy of the data and a pointer fix-up. Both live in one
// block, the data behind the entries: one allocation a record, or room in its database's
// load arena (block then stays empty).
struct Record {
  CEOID oid = 0;
  std::unique_ptr<BYTE[]> block;
  BlockPart<CEPROPVAL> props;
  BlockPart<BYTE> data;
  const CEPROPVAL* Find(CEPROPID propid) const;
  // Takes the other's values, leaving it this one's.
  void SwapValues(Record& other) {
    block.swap(other.block);
    std::swap(props, other.props);
    std::swap(data, other.data);
  }
};

struct SortOrder {
  SORTORDERSPECEX sortSpec{};
  std::vector<Record*> index;  // records in this order; ties broken by OID
  bool unsorted = false;  // a load filed records out of sequence at the end: sort before use
};

// Sorts an order's index that a load left unsorted.
void SettleOrder(SortOrder& s);

struct Database {
  CEOID oid = 0;
  std::wstring name;
  DWORD type = 0;
  DWORD flags = 0;
  FILETIME modified{};
  std::vector<SortOrder> sorts;
  std::vector<Record*> byOid;  // creation order, for handles opened without an order
  NodeMap<CEOID, Record> records;  // a node map: a record stays where it is
  LoadArena arena;  // the values of records a bulk load filed
  std::vector<Record*>& Order(int sort) {
    if (sort < 0) return byOid;
    if (sorts[sort].unsorted) SettleOrder(sorts[sort]);
    return sorts[sort].index;
  }
};

struct SharedState;

// An event in the volume's shared change ring, as other processes' relays read it.
struct ChangeEvent {
  UINT type;
  CEOID db;
  CEOID oid;
};

// A volume file and what this process has read of it.
struct Volume {
  std::wstring name;  // as mounted ("pim.vol", or the caller's path)
  std::wstring path;  // host file
  CEGUID guid{};
  int mounts = 0;
  bool permanent = false;
  bool objectStore = false;
  HANDLE mutex = nullptr;
  HANDLE mapping = nullptr;
  SharedState* shared = nullptr;
  uint32_t generation = 0;
  uint32_t format = 0;  // of the file's entries, as its header says
  uint64_t loaded = 0;  // bytes of the file applied here; 0 = nothing read yet
  uint32_t entries = 0;
  CEOID nextOid = 0x100;
  bool damaged = false;
  bool batch = false;  // between BeginBatch and EndBatch: changes wait in memory
  std::vector<ChangeEvent> batchEvents;
  FILETIME batchTime{};
  uint64_t relaySeq = ~0ull;  // next change this process's relay has to deliver
  uint64_t structure = 0;  // bumps when records move, so cached positions are checked again
  std::map<CEOID, std::unique_ptr<Database>> dbs;
  Database* FindDb(CEOID oid);
  Database* FindDb(const std::wstring& name);
  // The database holding record oid, or null. A volume has a handful of databases: asking
  // each costs less than keeping a second map of every record beside theirs.
  Database* RecordOwner(CEOID oid);
  size_t RecordCount() const;
};

// An open database handle: its order and position.
struct DbHandle {
  HANDLE handle = nullptr;
  Volume* vol = nullptr;
  CEOID db = 0;
  int sort = -1;
  CEOID cur = 0;  // 0 = past the end
  bool atStart = false;  // before the first record, whichever that is by then
  size_t curIndex = 0;
  uint64_t curStructure = ~0ull;
  DWORD flags = 0;
  bool notify = false;
  bool exNotify = false;
  CENOTIFYREQUEST request{};
  uint64_t notifyFrom = 0;
  Database* cachedDb = nullptr;  // valid while the volume's structure counter is unchanged
  uint64_t cachedStructure = ~0ull;
};

// The process-wide lock over every structure above.
void StoreLock();
void StoreUnlock();
struct StoreGuard {
  StoreGuard() { StoreLock(); }
  ~StoreGuard() { StoreUnlock(); }
  StoreGuard(const StoreGuard&) = delete;
  StoreGuard& operator=(const StoreGuard&) = delete;
};

// Volumes. A null result has set the last error.
Volume* ObjectStore();
Volume* PimVolume();
Volume* VolumeByGuid(const CEGUID& guid);
bool IsSystemGuid(const CEGUID& guid);
bool IsInvalidGuid(const CEGUID& guid);
std::vector<Volume*> MountedVolumes();
Volume* MountVolume(const std::wstring& name, DWORD disposition);
bool UnmountVolume(Volume* vol);
std::wstring DeviceRoot();

// Reads what other processes have written since this process last looked.
bool Refresh(Volume* vol);

// Many changes in one durable step: from BeginBatch on, this process holds the volume's
// cross-process lock and its changes are applied here only; EndBatch(keep) writes the whole
// volume to a new file, flushed once, that replaces the old (or, not keeping, reads the file
// back as it was). Other processes see the old content until then, the new after.
bool BeginBatch(Volume* vol);
bool EndBatch(Volume* vol, bool keep);

// Changes. Each takes the volume's cross-process lock, catches up, checks, appends
// one durable entry to the file, applies it here and tells every opener (in a batch: checks
// and applies it here only).
CEOID CreateDatabase(Volume* vol, const std::wstring& name, DWORD type, DWORD flags,
                     const std::vector<SORTORDERSPECEX>& sorts);
bool DeleteDatabase(Volume* vol, CEOID db);
CEOID WriteRecord(Volume* vol, CEOID db, CEOID oid, const CEPROPVAL* vals, WORD count);
bool DeleteRecord(Volume* vol, CEOID db, CEOID oid);
// Inside a batch: count new records into db, each checked and filed as WriteRecord files a
// new one, their values handed out one record at a time by next. Returns how many were
// filed; fewer than count with the refused record's error in *error.
DWORD LoadRecords(Volume* vol, CEOID db, DWORD count, CEDBLOADRECORD next, void* context, DWORD* error);
// Whether values may be written at all: known types, and bytes behind every blob.
bool ValuesWritable(const CEPROPVAL* vals, WORD count);

// Comparison in a sort order; a missing property sorts last unless asked otherwise.
int CompareInOrder(const SORTORDERSPECEX& sortSpec, const Record& a, const Record& b);
int CompareWithValues(const SORTORDERSPECEX& sortSpec, const Record& r, const CEPROPVAL* vals,
                      WORD count);
bool IsSortable(CEPROPID propid);
bool IsKnownType(WORD type);

// Handles: real kernel handles (unnamed events) mapped to our objects, so CloseHandle works.
HANDLE NewKernelHandle();
DbHandle* FindDbHandle(HANDLE h);
DbHandle* AddDbHandle(std::unique_ptr<DbHandle> h);
std::vector<DbHandle*> HandlesOn(Volume* vol, CEOID db);
std::vector<DbHandle*> AllDbHandles();
// Under the store lock: whether the relay has anything to collect, and (in listening)
// whether any open handle of this process still wants notices. Allocates nothing.
bool RelayHasWork(bool* listening);
void DropDbHandle(HANDLE h);
size_t Locate(DbHandle* h, Database* db);

// Notifications.
void StartRelay(DbHandle* h);
uint64_t CurrentChangeSeq(Volume* vol);
// Reads the change with sequence number seq from the volume's ring; false when overwritten.
bool ReadChange(Volume* vol, uint64_t seq, ChangeEvent* out);
void WakeRelay();

}  // namespace cedb
