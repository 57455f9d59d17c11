// The month summaries the program has made, the months asked for by a window and
// those computed ahead for nobody in particular. Up to nine months are kept; the
// first three made (the shown month and its neighbours, as the calendar asks) stay
// while later ones come and go.
#pragma once
#include <windows.h>

#include <vector>

#include "ondrel/MonthItem.h"

// What the cache needs of the frame: its window (the reply's wParam) and the
// computation of a month.
class IMonthOwner {
 public:
  virtual ~IMonthOwner() = default;
  virtual HWND GetOwnerWindow() = 0;
  virtual BOOL LoadMonth(DWORD key) = 0;
};

class CMonthCache {
 public:
  enum { kCapacity = 10, kMostHeld = 9, kKeptFirst = 3 };
  // How long a reply window may take to read a reply before the program goes on.
  enum { kReplyTimeout = 5000 };

  explicit CMonthCache(IMonthOwner* owner);
  ~CMonthCache();
  CMonthCache(const CMonthCache&) = delete;
  CMonthCache& operator=(const CMonthCache&) = delete;

  // A loaded month is answered at once; otherwise a reply window queues the request
  // and a null one a computation ahead. A key that names no month is ignored.
  void Request(DWORD key, HWND replyWindow);
  BOOL IsLoaded(DWORD key);
  // Every queued request (its month computed and sent, or dropped when its window is
  // gone), then one month ahead at a lowered thread priority.
  void ProcessQueue();
  void Clear();
  void CancelRequests() { m_requests.clear(); }
  // The month's record, made (not loaded) when missing; null for no month.
  CMonthItem* GetMonth(DWORD key);
  // Sends the month's reply (loaded or not) when the window exists.
  BOOL SendMonth(DWORD key, HWND window);

  int GetCount() const { return static_cast<int>(m_keys.size()); }
  DWORD GetKeyAt(int index) const { return m_keys[index]; }
  size_t GetRequestCount() const { return m_requests.size(); }
  size_t GetPrefetchCount() const { return m_prefetch.size(); }

 private:
  struct Pending {
    DWORD key;
    HWND window;
  };
  void RemoveAt(size_t index);

  IMonthOwner* m_owner;
  std::vector<DWORD> m_keys;
  std::vector<CMonthItem*> m_months;
  std::vector<Pending> m_requests;
  std::vector<Pending> m_prefetch;
};

// Fills the month's record from the appointments store (a list of its own, read with
// notifications suspended) and marks it loaded.
void ComputeMonth(CMonthItem* month, BOOL markConflicting);
