// The emulated device with or without the finance program's library in its "\Windows":
// the stand-in as built, another library under its name (one without the entry points),
// or bytes that are no library; and the schedule file beside it. The test keeps its own
// reference to a loaded stand-in, so the days it was asked outlive the reader's loads.
#pragma once
#include <windows.h>

#include <string>

#include "platform/pellam/PellamScheduledApi.h"
#include "tabs/contacts/PellamScheduled.h"

class CPellamDevice {
 public:
  enum Library { kNone, kStandIn, kWithoutEntryPoints, kNoLibrary };

  explicit CPellamDevice(Library library);
  ~CPellamDevice();
  CPellamDevice(const CPellamDevice&) = delete;
  CPellamDevice& operator=(const CPellamDevice&) = delete;

  // Replaces the schedule file (UTF-8 lines as the stand-in reads them).
  void WriteSchedule(const std::string& bytes);
  // The days the stand-in was asked (yyyymmdd), since the last reset.
  int AskedCount() const;
  int AskedDay(int index) const;
  int RunCount() const;
  void ResetRecord() const;

 private:
  std::wstring m_windows;
  std::wstring m_library;
  HMODULE m_held = nullptr;
  int m_writes = 0;
};
