#pragma once
// Change notifications for advise sinks of every process of the device. A change is
// written into the device's shared ring (under the store lock); in each process that
// has sinks a relay thread reads the ring every 20 ms or so and calls the sinks. With
// synchronous delivery (a test switch) a process's own changes reach its own sinks
// before the changing call returns. Sinks are held by pointer from Advise to Unadvise
// without counting on their AddRef and Release, and no call reaches a sink after its
// Unadvise returns, nor any of a change made before its Advise.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/cemapi.h"

struct NotifyEvent {
  LONGLONG seq = 0;  // its place in the device's ring; 0 for a change given at once
  ULONG event = 0;
  ULONG objType = 0;
  std::string id, parent, oldId, oldParent;
};

class CNotifyCenter {
 public:
  static CNotifyCenter& Instance();

  HRESULT Advise(const void* owner, const std::string& filter, ULONG mask, IMAPIAdviseSink* sink, ULONG* connection);
  HRESULT Unadvise(const void* owner, ULONG connection);
  void UnadviseAll(const void* owner);

  // Under a store guard: into the device's ring.
  void Publish(CStoreSet& set, const std::vector<NotifyEvent>& events);
  // After the guard: to this process's sinks, when delivery is synchronous.
  void DeliverHere(const std::vector<NotifyEvent>& events);

  void SetSynchronous(bool synchronous) { synchronous_ = synchronous; }

 private:
  struct Connection {
    ULONG number;
    const void* owner;
    std::string filter;
    ULONG mask;
    IMAPIAdviseSink* sink;
    LONGLONG since;  // the ring's last record when advised: a sink hears later changes only
  };

  CNotifyCenter();
  void Deliver(const NotifyEvent& e);
  static DWORD WINAPI RelayMain(void* self);
  void Relay();

  CRITICAL_SECTION lock_;
  std::vector<Connection> connections_;
  ULONG nextConnection_ = 1;
  bool relayRunning_ = false;
  LONGLONG lastSeq_ = 0;
  SharedBlock* ringSeen_ = nullptr;
  volatile bool synchronous_ = false;
};
