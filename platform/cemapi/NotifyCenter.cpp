#include "platform/cemapi/NotifyCenter.h"

#include <cstring>

namespace {

void PutId(NotifyRecord& r, int slot, const std::string& id) {
  size_t n = id.size() <= sizeof r.ids[slot] ? id.size() : 0;
  r.cb[slot] = static_cast<ULONG>(n);
  if (n) memcpy(r.ids[slot], id.data(), n);
}

std::string GetId(const NotifyRecord& r, int slot) {
  ULONG n = r.cb[slot] <= sizeof r.ids[slot] ? r.cb[slot] : 0;
  return std::string(reinterpret_cast<const char*>(r.ids[slot]), n);
}

}  // namespace

CNotifyCenter& CNotifyCenter::Instance() {
  static CNotifyCenter* center = new CNotifyCenter;  // the relay may run to the process's end
  return *center;
}

CNotifyCenter::CNotifyCenter() { InitializeCriticalSection(&lock_); }

HRESULT CNotifyCenter::Advise(const void* owner, const std::string& filter, ULONG mask, IMAPIAdviseSink* sink,
                              ULONG* connection) {
  if (!sink || !connection) return MAPI_E_INVALID_PARAMETER;
  CStoreSet& set = CStoreSet::Instance();
  LONGLONG seq = 0;
  SharedBlock* ring = nullptr;
  {
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    ring = set.Shared();
    seq = ring->notifySeq;
  }
  EnterCriticalSection(&lock_);
  Connection c{nextConnection_++, owner, filter, mask, sink, seq};
  connections_.push_back(c);
  *connection = c.number;
  HRESULT hr = S_OK;
  if (!relayRunning_) {
    lastSeq_ = seq;
    ringSeen_ = ring;
    // The relay pins this library while it runs, so an unload cannot pull its code away.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&RelayMain), &self);
    HANDLE thread = CreateThread(nullptr, 0, RelayMain, this, 0, nullptr);
    if (thread) {
      relayRunning_ = true;
      CloseHandle(thread);
    } else {
      if (self) FreeLibrary(self);
      connections_.pop_back();
      hr = MAPI_E_CALL_FAILED;
    }
  }
  LeaveCriticalSection(&lock_);
  return hr;
}

HRESULT CNotifyCenter::Unadvise(const void* owner, ULONG connection) {
  EnterCriticalSection(&lock_);
  HRESULT hr = MAPI_E_NOT_FOUND;
  for (auto it = connections_.begin(); it != connections_.end(); ++it)
    if (it->number == connection && it->owner == owner) {
      connections_.erase(it);
      hr = S_OK;
      break;
    }
  LeaveCriticalSection(&lock_);
  return hr;
}

void CNotifyCenter::UnadviseAll(const void* owner) {
  EnterCriticalSection(&lock_);
  for (auto it = connections_.begin(); it != connections_.end();)
    it = it->owner == owner ? connections_.erase(it) : std::next(it);
  LeaveCriticalSection(&lock_);
}

void CNotifyCenter::Publish(CStoreSet& set, const std::vector<NotifyEvent>& events) {
  SharedBlock* shared = set.Shared();
  for (const NotifyEvent& e : events) {
    LONGLONG seq = shared->notifySeq + 1;
    NotifyRecord& r = shared->ring[seq % SharedBlock::kRing];
    memset(&r, 0, sizeof r);
    r.seq = seq;
    r.pid = GetCurrentProcessId();
    r.deliveredHere = synchronous_ ? 1 : 0;
    r.event = e.event;
    r.objType = e.objType;
    PutId(r, 0, e.id);
    PutId(r, 1, e.parent);
    PutId(r, 2, e.oldId);
    PutId(r, 3, e.oldParent);
    shared->notifySeq = seq;
  }
}

void CNotifyCenter::DeliverHere(const std::vector<NotifyEvent>& events) {
  if (!synchronous_) return;
  for (const NotifyEvent& e : events) Deliver(e);
}

void CNotifyCenter::Deliver(const NotifyEvent& e) {
  NOTIFICATION n;
  memset(&n, 0, sizeof n);
  n.ulEventType = e.event;
  auto ptr = [](const std::string& s) {
    return s.empty() ? nullptr : reinterpret_cast<LPENTRYID>(const_cast<char*>(s.data()));
  };
  if (e.event == fnevNewMail) {
    n.info.newmail.cbEntryID = static_cast<ULONG>(e.id.size());
    n.info.newmail.lpEntryID = ptr(e.id);
    n.info.newmail.cbParentID = static_cast<ULONG>(e.parent.size());
    n.info.newmail.lpParentID = ptr(e.parent);
  } else {
    n.info.obj.cbEntryID = static_cast<ULONG>(e.id.size());
    n.info.obj.lpEntryID = ptr(e.id);
    n.info.obj.ulObjType = e.objType;
    n.info.obj.cbParentID = static_cast<ULONG>(e.parent.size());
    n.info.obj.lpParentID = ptr(e.parent);
    n.info.obj.cbOldID = static_cast<ULONG>(e.oldId.size());
    n.info.obj.lpOldID = ptr(e.oldId);
    n.info.obj.cbOldParentID = static_cast<ULONG>(e.oldParent.size());
    n.info.obj.lpOldParentID = ptr(e.oldParent);
  }
  // Held while sinks are called, so that Unadvise on another thread waits for a call in
  // progress; a sink may unadvise itself (or others) from its own call.
  EnterCriticalSection(&lock_);
  std::vector<ULONG> numbers;
  for (const Connection& c : connections_) {
    if (!(c.mask & e.event) || (e.seq && e.seq <= c.since)) continue;
    if (!c.filter.empty() && c.filter != e.id && c.filter != e.parent && c.filter != e.oldParent) continue;
    numbers.push_back(c.number);
  }
  for (ULONG number : numbers) {
    IMAPIAdviseSink* sink = nullptr;
    for (const Connection& c : connections_)
      if (c.number == number) sink = c.sink;
    if (sink) sink->OnNotify(1, &n);
  }
  LeaveCriticalSection(&lock_);
}

DWORD WINAPI CNotifyCenter::RelayMain(void* self) {
  static_cast<CNotifyCenter*>(self)->Relay();
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&RelayMain), &module);
  FreeLibraryAndExitThread(module, 0);
  return 0;
}

void CNotifyCenter::Relay() {
  CStoreSet& set = CStoreSet::Instance();
  DWORD me = GetCurrentProcessId();
  for (;;) {
    Sleep(20);
    EnterCriticalSection(&lock_);
    if (connections_.empty()) {
      relayRunning_ = false;
      LeaveCriticalSection(&lock_);
      return;
    }
    LONGLONG last = lastSeq_;
    SharedBlock* seen = ringSeen_;
    LeaveCriticalSection(&lock_);

    std::vector<NotifyEvent> events;
    {
      CStoreSet::Guard guard(set);
      if (!guard.Ok()) continue;
      SharedBlock* shared = set.Shared();
      LONGLONG now = shared->notifySeq;
      if (shared != seen) {
        last = now;  // another device (a test switched the root): start afresh
      } else if (now - last > SharedBlock::kRing) {
        // Fallen too far behind: the store as a whole changed, read everything again.
        NotifyEvent lost;
        lost.seq = now;
        lost.event = fnevObjectModified;
        lost.objType = MAPI_STORE;
        events.push_back(lost);
        last = now;
      }
      for (LONGLONG s = last + 1; s <= now; ++s) {
        const NotifyRecord& r = shared->ring[s % SharedBlock::kRing];
        if (r.seq != s || (r.pid == me && r.deliveredHere)) continue;
        NotifyEvent e;
        e.seq = s;
        e.event = r.event;
        e.objType = r.objType;
        e.id = GetId(r, 0);
        e.parent = GetId(r, 1);
        e.oldId = GetId(r, 2);
        e.oldParent = GetId(r, 3);
        events.push_back(e);
      }
      last = now;
      seen = shared;
    }
    EnterCriticalSection(&lock_);
    lastSeq_ = last;
    ringSeen_ = seen;
    LeaveCriticalSection(&lock_);
    for (const NotifyEvent& e : events) Deliver(e);
  }
}
