// CLiveElements: the process's table of elements that exist. Timers and virtual
// messages carry raw element addresses through a window's queue; the host follows
// one only when the table still holds that element, so a timer or message that
// outlived its element (or one forged by another program) is dropped.
#pragma once
#include <windows.h>

#include <unordered_map>
#include <vector>

#include "platform/windowlib/Module.h"

class CVirtualWnd;
class CVirtualRoot;

class CLiveElements {
 public:
  static CLiveElements& Get();

  void Add(CVirtualWnd* element);
  // Also makes every root forget the element as focused or captured.
  void Remove(CVirtualWnd* element);
  BOOL IsLive(const CVirtualWnd* element);

  void AddRoot(CVirtualRoot* root);
  void RemoveRoot(CVirtualRoot* root);

  // A virtual message the element sent or posted itself is on its way.
  void AddPending(CVirtualWnd* element);
  // Takes one such message back on arrival; FALSE for an element that is gone or
  // that sent nothing (a late message for an address now reused, or a forgery).
  BOOL TakePending(const CVirtualWnd* element);

 private:
  CCriticalSection m_lock;
  // Element -> virtual messages it has on their way.
  std::unordered_map<const CVirtualWnd*, LONG> m_elements;
  std::vector<CVirtualRoot*> m_roots;
};
