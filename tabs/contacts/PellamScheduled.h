// CPellamScheduled: the process's one source of the finance program's scheduled
// transactions. It binds the program's library only for the length of one operation,
// reads the transactions of a range of days in day order, and tells its listeners when
// the program announces a change.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/pellam/PellamScheduledApi.h"
#include "platform/windowlib/String.h"
#include "tabs/contacts/PellamListener.h"
#include "tabs/contacts/PellamTransactionItem.h"

class CPellamScheduled {
 public:
  CPellamScheduled();
  ~CPellamScheduled();
  CPellamScheduled(const CPellamScheduled&) = delete;
  CPellamScheduled& operator=(const CPellamScheduled&) = delete;
  static CPellamScheduled& GetGlobal();

  // Added unless present; removal takes every occurrence.
  void AddListener(IPellamListener* listener);
  void RemoveListener(IPellamListener* listener);

  // Whole variant days, from included, to excluded. The same valid range keeps what is
  // loaded; anything else drops it, and a range with a negative end is unset (-1, -1).
  void SetRange(double from, double to);
  double GetFrom() const { return m_from; }
  double GetTo() const { return m_to; }
  // Loads on first use and rewinds; FALSE when there is none or loading failed. The
  // item is borrowed from the list.
  BOOL GetFirst(CPellamTransactionItem** item);
  BOOL GetNext(CPellamTransactionItem** item);
  // The index of the item with the identifier; -1 when none.
  int FindById(DWORD id) const;
  int GetCount() const { return static_cast<int>(m_items.size()); }
  BOOL IsLoaded() const { return m_loaded; }
  // Releases every item and clears the loaded flag.
  void Clear();
  // Reads the range's days; FALSE (nothing loaded, tried again next time) when the
  // library cannot be bound or the range is unset.
  BOOL Load();

  // Binds and unbinds the library: TRUE when all three entry points are there.
  static BOOL IsApiPresent();
  // Starts the finance program; FALSE when its library cannot be bound.
  static BOOL RunPellam();
  // The program's change message: everything is dropped, then every listener hears.
  void OnScheduledChanged();

  // Where the library lies on this device: its device path under the device's root.
  static CString GetLibraryPath();

 private:
  BOOL LoadApi();
  void UnloadApi();

  std::vector<CPellamTransactionItem*> m_items;
  size_t m_cursor;
  double m_from;
  double m_to;
  BOOL m_loaded;
  HMODULE m_library;
  PFN_GET_DAY_SCHEDULED_COUNT m_getDayCount;
  PFN_GET_SCHEDULED m_getScheduled;
  PFN_RUN_QEL_PELLAM m_run;
  std::vector<IPellamListener*> m_listeners;
};
