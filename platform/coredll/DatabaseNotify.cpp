// Change notifications. Every change lands in its volume's shared ring; one relay thread per
// process reads the rings and posts WM_DBNOTIFICATION to the windows given at open, with a
// CENOTIFICATION allocated here, in the receiving process, for CeFreeNotification to free.
#include "platform/coredll/DatabaseStore.h"

#include <algorithm>

namespace cedb {
namespace {

HANDLE g_wake = nullptr;
constexpr DWORD kPollMs = 20;  // other processes' changes are picked up within this

struct Post {
  HWND hwnd;
  bool ex;
  CENOTIFYREQUEST request;
  UINT type;
  CEGUID guid;
  CEOID oid;
  CEOID parent;
};

void Deliver(const Post& p) {
  if (!p.ex) {
    PostMessageW(p.hwnd, p.type, p.oid, p.parent);
    return;
  }
  DWORD size = sizeof(CENOTIFICATION);
  auto* n = static_cast<CENOTIFICATION*>(p.request.hHeap ? HeapAlloc(p.request.hHeap, HEAP_ZERO_MEMORY, size)
                                                         : LocalAlloc(LPTR, size));
  if (!n) return;
  n->dwSize = size;
  n->dwParam = p.request.dwParam;
  n->uType = p.type;
  n->guid = p.guid;
  n->oid = p.oid;
  n->oidParent = p.parent;
  if (!PostMessageW(p.hwnd, WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(n)))
    CeFreeNotification(const_cast<CENOTIFYREQUEST*>(&p.request), n);
}

void AddPost(std::vector<Post>& posts, DbHandle* h, UINT type, CEOID oid, CEOID parent) {
  posts.push_back({h->request.hwnd, h->exNotify, h->request, type,
                   h->vol->guid, oid, parent});
}

// Collects what the windows of this process have to hear, under the store lock.
std::vector<Post> Collect() {
  std::vector<Post> posts;
  StoreGuard lock;
  std::vector<DbHandle*> handles = AllDbHandles();
  // A handle the caller closed no longer names a kernel object: forget it.
  for (DbHandle* h : handles) {
    DWORD info;
    if (!GetHandleInformation(h->handle, &info)) DropDbHandle(h->handle);
  }
  handles = AllDbHandles();
  std::vector<Volume*> vols;
  for (DbHandle* h : handles)
    if (h->notify && std::find(vols.begin(), vols.end(), h->vol) == vols.end()) vols.push_back(h->vol);
  for (Volume* v : vols) {
    uint64_t end = CurrentChangeSeq(v);
    uint64_t seq = v->relaySeq;
    for (; seq < end; ++seq) {
      ChangeEvent e;
      if (!ReadChange(v, seq, &e)) {
        // Changes were overwritten before we read them: each opener reads its database again.
        for (DbHandle* h : handles)
          if (h->notify && h->vol == v) AddPost(posts, h, DB_NOTIFY_DATABASE_CHANGED, h->db, 0);
        seq = end;
        break;
      }
      for (DbHandle* h : handles) {
        if (!h->notify || h->vol != v || h->db != e.db || seq < h->notifyFrom) continue;
        if (e.type == DB_CEOID_DATABASE_DELETED) AddPost(posts, h, e.type, e.db, 0);
        else AddPost(posts, h, e.type, e.oid, e.db);
      }
    }
    v->relaySeq = seq;
  }
  return posts;
}

// Wine ends a process by killing its other threads wherever they are, without taking the
// heap's lock first: a thread killed inside an allocation leaves that lock held and the
// main thread's shutdown waits on it for ever. So an idle round touches no heap, and with
// no listener left the relay sleeps until a new one wakes it.
DWORD WINAPI Relay(void*) {
  DWORD wait = kPollMs;
  for (;;) {
    WaitForSingleObject(g_wake, wait);
    bool work, listening;
    {
      StoreGuard lock;
      work = RelayHasWork(&listening);
    }
    if (!work) {
      wait = listening ? kPollMs : INFINITE;
      continue;
    }
    wait = kPollMs;
    for (const Post& p : Collect()) Deliver(p);
  }
}

}  // namespace

void StartRelay(DbHandle* h) {
  uint64_t now = CurrentChangeSeq(h->vol);
  h->notifyFrom = now;
  bool others = false;
  for (DbHandle* o : AllDbHandles()) others = others || (o != h && o->notify && o->vol == h->vol);
  // Nobody here listened to this volume: what happened before is no one's news.
  if (!others || h->vol->relaySeq > now) h->vol->relaySeq = now;
  if (g_wake) {
    SetEvent(g_wake);  // a relay with no listener sleeps until now
    return;
  }
  g_wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, Relay, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void WakeRelay() {
  if (g_wake) SetEvent(g_wake);
}

}  // namespace cedb

CORE_API BOOL WINAPI CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotification) {
  if (!pNotification) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HANDLE heap = pRequest ? pRequest->hHeap : nullptr;
  if (heap) return HeapFree(heap, 0, pNotification);
  return LocalFree(pNotification) == nullptr;
}
