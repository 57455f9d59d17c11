#include "platform/windowlib/Module.h"

// The linker's symbol for the start of the binary this code was linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

CModule::CModule()
    : m_instance(reinterpret_cast<HINSTANCE>(&__ImageBase)), m_resourceInstance(m_instance) {}

CModule& GetModule() {
  static CModule module;
  return module;
}

BOOL CModule::Init(HINSTANCE instance) {
  if (!instance) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  CCriticalSectionLock lock(m_lock);
  m_instance = instance;
  m_resourceInstance = instance;
  return TRUE;
}

void CModule::Term() {
  {
    CCriticalSectionLock lock(m_creationLock);
    for (int i = 0; i < m_classes.GetSize(); ++i) {
      UnregisterClassW(MAKEINTATOM(m_classes[i].atom), m_classes[i].instance);
      *m_classes[i].cache = 0;
    }
    m_classes.RemoveAll();
    m_pending.RemoveAll();
  }
  CCriticalSectionLock lock(m_lock);
  m_loops.RemoveAll();
  m_resourceInstance = m_instance;
}

HINSTANCE CModule::SetResourceInstance(HINSTANCE instance) {
  CCriticalSectionLock lock(m_lock);
  HINSTANCE previous = m_resourceInstance;
  m_resourceInstance = instance ? instance : m_instance;
  return previous;
}

BOOL CModule::AddCreateWndData(void* object, int kind) {
  if (!object) return FALSE;
  CCriticalSectionLock lock(m_creationLock);
  return m_pending.Add(Pending{GetCurrentThreadId(), kind, object});
}

void* CModule::ExtractCreateWndData(int kind) {
  DWORD thread = GetCurrentThreadId();
  CCriticalSectionLock lock(m_creationLock);
  for (int i = m_pending.GetSize() - 1; i >= 0; --i) {
    if (m_pending[i].thread == thread && m_pending[i].kind == kind) {
      void* object = m_pending[i].object;
      m_pending.RemoveAt(i);
      return object;
    }
  }
  return nullptr;
}

BOOL CModule::RemoveCreateWndData(void* object, int kind) {
  CCriticalSectionLock lock(m_creationLock);
  return m_pending.Remove(Pending{GetCurrentThreadId(), kind, object});
}

ATOM CModule::RegisterWndClass(const WNDCLASSEXW& wc, ATOM* atom) {
  CCriticalSectionLock lock(m_creationLock);
  if (*atom) return *atom;
  ATOM registered = RegisterClassExW(&wc);
  if (!registered) return 0;
  if (!m_classes.Add(Registration{registered, wc.hInstance, atom})) {
    UnregisterClassW(MAKEINTATOM(registered), wc.hInstance);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  *atom = registered;
  return registered;
}

BOOL CModule::UnregisterWndClass(LPCWSTR className, HINSTANCE instance, ATOM* atom) {
  CCriticalSectionLock lock(m_creationLock);
  if (!className || !UnregisterClassW(className, instance)) return FALSE;
  for (int i = m_classes.GetSize() - 1; i >= 0; --i)
    if (m_classes[i].cache == atom) m_classes.RemoveAt(i);
  if (atom) *atom = 0;
  return TRUE;
}

BOOL CModule::AddMessageLoop(CMessageLoop* loop) {
  if (!loop) return FALSE;
  CCriticalSectionLock lock(m_lock);
  Loop entry{GetCurrentThreadId(), loop};
  if (m_loops.Find(entry) >= 0) return FALSE;  // one loop per thread
  return m_loops.Add(entry);
}

BOOL CModule::RemoveMessageLoop() {
  CCriticalSectionLock lock(m_lock);
  return m_loops.Remove(Loop{GetCurrentThreadId(), nullptr});
}

CMessageLoop* CModule::GetMessageLoop(DWORD threadId) {
  CCriticalSectionLock lock(m_lock);
  int index = m_loops.Find(Loop{threadId, nullptr});
  return index >= 0 ? m_loops[index].loop : nullptr;
}
