// The module object: one per binary (program or library) that links the window
// library. It knows the binary's instance, the instance resources are loaded
// from (switchable to a loaded resource library), the window classes it
// registered, the objects whose windows are being created on each thread, and
// each thread's message loop.
#pragma once

#include "platform/windowlib/SimpleArray.h"

#include <windows.h>

class CMessageLoop;

class CCriticalSection {
public:
  CCriticalSection() { InitializeCriticalSection(&m_section); }
  ~CCriticalSection() { DeleteCriticalSection(&m_section); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  void Lock() { EnterCriticalSection(&m_section); }
  void Unlock() { LeaveCriticalSection(&m_section); }

private:
  CRITICAL_SECTION m_section;
};

class CCriticalSectionLock {
public:
  explicit CCriticalSectionLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
  ~CCriticalSectionLock() { m_section.Unlock(); }
  CCriticalSectionLock(const CCriticalSectionLock&) = delete;
  CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
  CCriticalSection& m_section;
};

class CModule {
public:
  CModule();
  CModule(const CModule&) = delete;
  CModule& operator=(const CModule&) = delete;

  // The module instance starts as the binary holding this code; Init names it
  // (and makes it the resource instance again).
  BOOL Init(HINSTANCE instance);
  // Unregisters every window class registered through the module and forgets
  // pending creations and message loops. Init may follow again.
  void Term();

  HINSTANCE GetModuleInstance() const { return m_instance; }
  HINSTANCE GetResourceInstance() const { return m_resourceInstance; }
  // Returns the previous resource instance; null goes back to the module instance.
  HINSTANCE SetResourceInstance(HINSTANCE instance);

  // The general lock of the module's shared data, and the one that guards
  // window creation (pending objects, class registrations).
  CCriticalSection& GetLock() { return m_lock; }
  CCriticalSection& GetWindowCreationLock() { return m_creationLock; }

  // Pending creation: an object registers itself on its thread just before
  // its window is created; the window's first message takes it back out. The
  // most recently registered object of the calling thread and kind comes out
  // first. Kinds keep a window of our classes created inside a dialog
  // template from taking the dialog's object; other users take kind 0.
  enum CreationKind { kObjectCreation = 0, kWindowCreation = 1, kDialogCreation = 2 };
  BOOL AddCreateWndData(void* object, int kind = kObjectCreation);
  void* ExtractCreateWndData(int kind = kObjectCreation);
  // Takes an object off the list when its window never received a message.
  BOOL RemoveCreateWndData(void* object, int kind = kObjectCreation);

  // Registers a class once; *atom caches the result and is cleared again by Term.
  ATOM RegisterWndClass(const WNDCLASSEXW& wc, ATOM* atom);
  // Unregisters one class (a name, or an atom through MAKEINTATOM) of instance,
  // whoever registered it. When that succeeds, *atom is cleared and the module
  // forgets its own registration of that cache; otherwise (not registered, or
  // windows of it still exist) nothing changes and the answer is FALSE.
  BOOL UnregisterWndClass(LPCWSTR className, HINSTANCE instance, ATOM* atom);

  BOOL AddMessageLoop(CMessageLoop* loop);
  BOOL RemoveMessageLoop();
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

private:
  struct Pending {
    DWORD thread;
    int kind;
    void* object;
    bool operator==(const Pending& o) const { return thread == o.thread && kind == o.kind && object == o.object; }
  };
  struct Registration {
    ATOM atom;
    HINSTANCE instance;
    ATOM* cache;
    bool operator==(const Registration& o) const { return atom == o.atom; }
  };
  struct Loop {
    DWORD thread;
    CMessageLoop* loop;
    bool operator==(const Loop& o) const { return thread == o.thread; }
  };

  HINSTANCE m_instance;
  HINSTANCE m_resourceInstance;
  CCriticalSection m_lock;
  CCriticalSection m_creationLock;
  CSimpleArray<Pending> m_pending;
  CSimpleArray<Registration> m_classes;
  CSimpleArray<Loop> m_loops;
};

// This binary's module object.
CModule& GetModule();
