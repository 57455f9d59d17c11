// Shared helpers of the database conformance tests: a private device root, child processes,
// a notification sink window and small record builders.
#pragma once
#include "platform/coredll/cedb.h"

#include <functional>
#include <string>
#include <vector>

namespace cedbtest {

// The private device root this test program (and its children) use.
std::wstring Root();
std::wstring HostFile(const std::wstring& name);

// Runs this test program again as a child doing one named job; returns its exit code.
DWORD RunChild(const std::wstring& job, const std::wstring& arg = L"");
// Starts one without waiting; the caller closes the process handle.
HANDLE StartChild(const std::wstring& job, const std::wstring& arg = L"");
// Implemented by the child jobs: returns false when the job is unknown.
bool RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode);

// Pumps this thread's messages until done() or the deadline (a guard, not a measure).
bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs = 10000);

// A hidden window that keeps a copy of every database notification it receives; one in
// the older layout (the type as the message) is kept as the same fields.
class NotificationSink {
 public:
  NotificationSink();
  ~NotificationSink();
  HWND hwnd() const { return hwnd_; }
  CENOTIFYREQUEST Request(DWORD_PTR param);
  std::vector<CENOTIFICATION> received;
  bool Has(UINT type, CEOID oid) const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
};

// Property value builders.
CEPROPVAL Long(WORD id, long v);
CEPROPVAL ULong(WORD id, ULONG v);
CEPROPVAL Short(WORD id, short v);
CEPROPVAL Text(WORD id, const wchar_t* v);
CEPROPVAL Blob(WORD id, const void* p, DWORD n);
CEPROPVAL Double(WORD id, double v);
CEPROPVAL Deleted(WORD id, WORD type);

// A database description with the given sort orders (one property each).
CEOID CreateDb(CEGUID* guid, const wchar_t* name, std::vector<SORTORDERSPEC> sorts, DWORD type = 0);
CEGUID PimGuid();
CEGUID SystemGuid();

// Reads the record at the handle's position: all its properties, or null.
struct ReadResult {
  CEOID oid = 0;
  std::vector<CEPROPVAL> props;
  BYTE* buffer = nullptr;
  ~ReadResult();
  const CEPROPVAL* Find(CEPROPID id) const;
};
bool ReadAt(HANDLE db, ReadResult* out);

// Whole files, as bytes.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A volume file: a 32-byte header (its format at offset 8), then entries of a length, a
// checksum of length and bytes, in format 2 a checksum of those two, and the bytes.
uint32_t VolumeFormat(const std::string& volume);
size_t EntryHeaderSize(const std::string& volume);
// Where each entry of the log starts, and where the last one ends.
std::vector<size_t> EntryOffsets(const std::string& volume);
// The same volume as the first format wrote it (entries without their header's checksum).
std::string AsFormat1(const std::string& volume);

// Everything a mounted volume holds, as text: databases with their types and sort orders,
// records with their identifiers and values, in creation order. Empty when unreadable.
std::string DescribeVolume(CEGUID* guid);

}  // namespace cedbtest
