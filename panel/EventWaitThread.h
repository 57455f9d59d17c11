// One thread that waits on named events ("STACTIVATE/" + a name) for as long as
// someone holds a reference, and tells the derived class which name was signalled.
// The list of events changes on the user-interface thread while the thread waits:
// a change bumps a generation under the lock and wakes the thread, which copies
// the list again and acknowledges that generation. A handle taken out of the list
// is closed only once the thread has acknowledged a list without it; the thread is
// stopped by its stop event alone, never terminated.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"

#define ACTIVATE_EVENT_PREFIX L"STACTIVATE/"

class CEventWaitThread {
 public:
  CEventWaitThread();
  virtual ~CEventWaitThread();
  CEventWaitThread(const CEventWaitThread&) = delete;
  CEventWaitThread& operator=(const CEventWaitThread&) = delete;

  // The first reference starts the thread; the last stops it and closes every handle.
  void AddRef();
  void Release();
  // Watches "STACTIVATE/" + name (shared with any process that made it); nothing
  // when the name is watched already or the event cannot be made.
  void AddNamedEvent(LPCWSTR name);
  void RemoveNamedEvent(LPCWSTR name);

  BOOL IsRunning() const { return m_thread != nullptr; }
  BOOL IsWatching(LPCWSTR name);

 protected:
  // On the watcher thread, outside the lock.
  virtual void OnEvent(LPCWSTR name) = 0;
  // Stops the thread when it still runs (for the owner's destructor).
  void Stop();

 private:
  static DWORD WINAPI ThreadProc(void* parameter);
  void Run();
  // Wakes the thread and waits until it has copied the list of this generation.
  BOOL HandOver();
  void CloseRetired();

  CRITICAL_SECTION m_lock;
  LONG m_count;
  std::vector<HANDLE> m_handles;  // 0 stop, 1 rebuild, then one per name
  std::vector<CString> m_names;   // name i belongs to handle i + 2
  std::vector<HANDLE> m_retired;  // out of the list, maybe still waited on
  DWORD m_generation;
  DWORD m_acknowledged;
  HANDLE m_thread;
  HANDLE m_ack;
};

// Signals the event of an item's name; FALSE when no one watches it.
BOOL ActivateHostedItemByName(LPCWSTR name);
