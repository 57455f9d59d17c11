// The copy-data requests waiting for their turn: each request is kept as its own copy
// until the frame serves it, so one that arrives while another is being served (the
// frame keeps receiving sent messages during a modal card) cannot overwrite it.
#pragma once
#include <windows.h>

#include <deque>

#include "pim/OndrelProtocol.h"

class CRequestQueue {
 public:
  struct Entry {
    ULONG_PTR code;
    ONDREL_REQUEST request;
  };
  // Checks the copy (ReadOndrelRequest) and keeps it: TRUE, with the code to post, or
  // FALSE and nothing kept when it is no request or lies about its size.
  BOOL Accept(const COPYDATASTRUCT* copy);
  // The oldest request kept for this code (the posted message carries only the code).
  BOOL Take(ULONG_PTR code, Entry* out);
  size_t Size() const { return m_entries.size(); }

 private:
  std::deque<Entry> m_entries;
};
