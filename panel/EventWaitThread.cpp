#include "panel/EventWaitThread.h"

namespace {

// How long a change waits for the thread to take it.
const DWORD kHandOverMs = 2500;

CString EventName(LPCWSTR name) {
  CString full(ACTIVATE_EVENT_PREFIX);
  full += name;
  return full;
}

class CLock {
 public:
  explicit CLock(CRITICAL_SECTION& section) : m_section(section) { EnterCriticalSection(&m_section); }
  ~CLock() { LeaveCriticalSection(&m_section); }
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;

 private:
  CRITICAL_SECTION& m_section;
};

}  // namespace

CEventWaitThread::CEventWaitThread()
    : m_count(0), m_generation(0), m_acknowledged(0), m_thread(nullptr), m_ack(nullptr) {
  InitializeCriticalSection(&m_lock);
}

CEventWaitThread::~CEventWaitThread() {
  Stop();
  DeleteCriticalSection(&m_lock);
}

void CEventWaitThread::AddRef() {
  if (++m_count != 1 || m_thread) return;
  HANDLE stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE rebuild = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  m_ack = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!stop || !rebuild || !m_ack) {
    if (stop) CloseHandle(stop);
    if (rebuild) CloseHandle(rebuild);
    if (m_ack) CloseHandle(m_ack);
    m_ack = nullptr;
    return;
  }
  {
    CLock lock(m_lock);
    m_handles.assign({stop, rebuild});
    m_names.clear();
  }
  // The thread holds the module that holds its code: the library cannot be
  // unloaded under a running thread, and the thread frees it as it ends.
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ThreadProc), &self);
  m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
  if (!m_thread) {
    if (self) FreeLibrary(self);
    Stop();
  }
}

void CEventWaitThread::Release() {
  if (m_count <= 0) return;
  if (--m_count == 0) Stop();
}

void CEventWaitThread::Stop() {
  if (m_thread) {
    // An auto-reset event stays signalled until the thread takes it, so the stop
    // is not lost while the thread is between two waits.
    SetEvent(m_handles[0]);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
  }
  CLock lock(m_lock);
  for (HANDLE handle : m_handles) CloseHandle(handle);
  for (HANDLE handle : m_retired) CloseHandle(handle);
  m_handles.clear();
  m_names.clear();
  m_retired.clear();
  if (m_ack) CloseHandle(m_ack);
  m_ack = nullptr;
}

BOOL CEventWaitThread::IsWatching(LPCWSTR name) {
  CLock lock(m_lock);
  for (const CString& watched : m_names)
    if (lstrcmpW(watched, name) == 0) return TRUE;
  return FALSE;
}

void CEventWaitThread::AddNamedEvent(LPCWSTR name) {
  if (!m_thread || !name || IsWatching(name)) return;
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, EventName(name));
  if (!event) return;
  {
    CLock lock(m_lock);
    // The wait takes at most MAXIMUM_WAIT_OBJECTS handles, two of them ours.
    if (m_handles.size() >= MAXIMUM_WAIT_OBJECTS) {
      CloseHandle(event);
      return;
    }
    m_handles.push_back(event);
    m_names.push_back(name);
    ++m_generation;
  }
  HandOver();
}

void CEventWaitThread::RemoveNamedEvent(LPCWSTR name) {
  if (!name) return;
  {
    CLock lock(m_lock);
    size_t i = 0;
    while (i < m_names.size() && lstrcmpW(m_names[i], name) != 0) ++i;
    if (i == m_names.size()) return;
    m_retired.push_back(m_handles[i + 2]);
    m_handles.erase(m_handles.begin() + static_cast<std::ptrdiff_t>(i + 2));
    m_names.erase(m_names.begin() + static_cast<std::ptrdiff_t>(i));
    ++m_generation;
  }
  if (HandOver()) CloseRetired();
}

BOOL CEventWaitThread::HandOver() {
  DWORD generation;
  {
    CLock lock(m_lock);
    generation = m_generation;
    if (m_acknowledged == generation) return TRUE;
    ResetEvent(m_ack);
  }
  SetEvent(m_handles[1]);
  // The thread sets the event only after copying under the lock; an older copy's
  // acknowledgement cannot be taken for this one because the generation is checked.
  for (DWORD waited = 0; waited < kHandOverMs; waited += 100) {
    if (WaitForSingleObject(m_ack, 100) == WAIT_OBJECT_0) {
      CLock lock(m_lock);
      if (static_cast<LONG>(m_acknowledged - generation) >= 0) return TRUE;
      ResetEvent(m_ack);
    }
  }
  return FALSE;
}

void CEventWaitThread::CloseRetired() {
  CLock lock(m_lock);
  for (HANDLE handle : m_retired) CloseHandle(handle);
  m_retired.clear();
}

DWORD WINAPI CEventWaitThread::ThreadProc(void* parameter) {
  static_cast<CEventWaitThread*>(parameter)->Run();
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThreadProc), &self);
  if (self) FreeLibraryAndExitThread(self, 0);
  return 0;
}

void CEventWaitThread::Run() {
  std::vector<HANDLE> copy;
  for (;;) {
    {
      CLock lock(m_lock);
      copy = m_handles;
      m_acknowledged = m_generation;
      SetEvent(m_ack);
    }
    const DWORD result =
        WaitForMultipleObjects(static_cast<DWORD>(copy.size()), copy.data(), FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) return;
    if (result == WAIT_OBJECT_0 + 1) continue;
    if (result >= WAIT_OBJECT_0 + 2 && result < WAIT_OBJECT_0 + copy.size()) {
      CString name;
      {
        // A list changed since the copy may have moved or dropped the name; the
        // handle itself stays open (retired) until a newer copy is acknowledged,
        // so its value still names the same event.
        CLock lock(m_lock);
        const HANDLE signalled = copy[result - WAIT_OBJECT_0];
        for (size_t i = 2; i < m_handles.size() && i - 2 < m_names.size(); ++i)
          if (m_handles[i] == signalled) name = m_names[i - 2];
      }
      if (!name.IsEmpty()) OnEvent(name);
      continue;
    }
    // A failed wait must not spin: wait for a stop or a change alone.
    if (WaitForMultipleObjects(2, copy.data(), FALSE, INFINITE) == WAIT_OBJECT_0) return;
  }
}

BOOL ActivateHostedItemByName(LPCWSTR name) {
  if (!name) return FALSE;
  HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, EventName(name));
  if (!event) return FALSE;
  // Set, not pulsed: an auto-reset event stays signalled until the watcher takes
  // it, so a signal arriving while the watcher is between two waits is not lost.
  SetEvent(event);
  CloseHandle(event);
  return TRUE;
}
