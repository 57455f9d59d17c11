#include "platform/coredll/tests/DatabaseTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace cedbtest {
namespace {

const wchar_t kChildSwitch[] = L"--cedb-child";

std::wstring& RootStorage() {
  static std::wstring root;
  return root;
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
      else DeleteFileW(full.c_str());
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }
  RemoveDirectoryW(dir.c_str());
}

class RootCleanup : public ::testing::Environment {
 public:
  void TearDown() override { RemoveTree(RootStorage()); }
};

// Before any test (and before gtest's main): a child runs its job and exits; the parent
// makes its own device root, which its children inherit through the environment.
struct Startup {
  Startup() {
    std::wstring cmd = GetCommandLineW();
    size_t at = cmd.find(kChildSwitch);
    if (at != std::wstring::npos) {
      // "--cedb-child JOB "ARG""
      size_t job = cmd.find_first_not_of(L' ', at + wcslen(kChildSwitch));
      size_t jobEnd = cmd.find(L' ', job);
      std::wstring name = cmd.substr(job, jobEnd == std::wstring::npos ? std::wstring::npos : jobEnd - job);
      std::wstring arg;
      size_t open = jobEnd == std::wstring::npos ? jobEnd : cmd.find(L'"', jobEnd);
      if (open != std::wstring::npos) arg = cmd.substr(open + 1, cmd.find(L'"', open + 1) - open - 1);
      wchar_t buf[MAX_PATH];
      GetEnvironmentVariableW(L"CEDEVICE_ROOT", buf, MAX_PATH);
      RootStorage() = buf;
      DWORD code = 250;
      if (!RunChildJob(name, arg, &code)) code = 251;
      ExitProcess(code);
    }
    // A test program re-run as a child of another test keeps the device its parent
    // gave it (CEDEVICE_ROOT as inherited); the parent made the root and removes it.
    wchar_t inherited[MAX_PATH];
    if (GetEnvironmentVariableW(L"CORETEST_ROOT", inherited, MAX_PATH) > 0) {
      RootStorage() = inherited;
      return;
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"cedbtest-" + std::to_wstring(GetCurrentProcessId()) +
                        L"-" + std::to_wstring(GetTickCount());
    CreateDirectoryW(root.c_str(), nullptr);
    SetEnvironmentVariableW(L"CEDEVICE_ROOT", root.c_str());
    SetEnvironmentVariableW(L"CORETEST_ROOT", root.c_str());
    RootStorage() = root;
    ::testing::AddGlobalTestEnvironment(new RootCleanup);
  }
} startup;

}  // namespace

std::wstring Root() { return RootStorage(); }
std::wstring HostFile(const std::wstring& name) { return Root() + L"\\" + name; }

HANDLE StartChild(const std::wstring& job, const std::wstring& arg) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" " + kChildSwitch + L" " + job + L" \"" + arg + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

DWORD RunChild(const std::wstring& job, const std::wstring& arg) {
  HANDLE p = StartChild(job, arg);
  if (!p) return 252;
  WaitForSingleObject(p, 60000);
  DWORD code = 253;
  GetExitCodeProcess(p, &code);
  CloseHandle(p);
  return code;
}

bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

NotificationSink::NotificationSink() {
  static ATOM cls = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CeDbTestSink";
    return RegisterClassW(&wc);
  }();
  (void)cls;
  hwnd_ = CreateWindowW(L"CeDbTestSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NotificationSink::~NotificationSink() { DestroyWindow(hwnd_); }

CENOTIFYREQUEST NotificationSink::Request(DWORD_PTR param) {
  CENOTIFYREQUEST r{};
  r.dwSize = sizeof r;
  r.hwnd = hwnd_;
  r.dwFlags = CEDB_EXNOTIFICATION;
  r.dwParam = param;
  return r;
}

bool NotificationSink::Has(UINT type, CEOID oid) const {
  for (const CENOTIFICATION& n : received)
    if (n.uType == type && n.oid == oid) return true;
  return false;
}

LRESULT CALLBACK NotificationSink::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DBNOTIFICATION) {
    auto* self = reinterpret_cast<NotificationSink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    auto* n = reinterpret_cast<CENOTIFICATION*>(lp);
    if (self) self->received.push_back(*n);
    CENOTIFYREQUEST req{};
    CeFreeNotification(&req, n);
    return 0;
  }
  if (msg >= DB_CEOID_CREATED && msg <= DB_NOTIFY_DATABASE_CHANGED) {
    auto* self = reinterpret_cast<NotificationSink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    CENOTIFICATION n{};
    n.uType = msg;
    n.oid = static_cast<CEOID>(wp);
    n.oidParent = static_cast<CEOID>(lp);
    if (self) self->received.push_back(n);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

CEPROPVAL Long(WORD id, long v) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_I4, id);
  p.val.lVal = v;
  return p;
}
CEPROPVAL ULong(WORD id, ULONG v) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_UI4, id);
  p.val.ulVal = v;
  return p;
}
CEPROPVAL Short(WORD id, short v) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_I2, id);
  p.val.iVal = v;
  return p;
}
CEPROPVAL Text(WORD id, const wchar_t* v) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_LPWSTR, id);
  p.val.lpwstr = const_cast<LPWSTR>(v);
  return p;
}
CEPROPVAL Blob(WORD id, const void* data, DWORD n) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_BLOB, id);
  p.val.blob.dwCount = n;
  p.val.blob.lpb = static_cast<LPBYTE>(const_cast<void*>(data));
  return p;
}
CEPROPVAL Double(WORD id, double v) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_R8, id);
  p.val.dblVal = v;
  return p;
}
CEPROPVAL Deleted(WORD id, WORD type) {
  CEPROPVAL p{};
  p.propid = MAKELONG(type, id);
  p.wFlags = CEDB_PROPDELETE;
  return p;
}

CEOID CreateDb(CEGUID* guid, const wchar_t* name, std::vector<SORTORDERSPEC> sorts, DWORD type) {
  CEDBASEINFO info{};
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC;
  lstrcpynW(info.szDbaseName, name, CEDB_MAXDBASENAMELEN);
  info.dwDbaseType = type;
  info.wNumSortOrder = static_cast<WORD>(sorts.size());
  for (size_t i = 0; i < sorts.size(); ++i) info.rgSortSpecs[i] = sorts[i];
  return CeCreateDatabaseEx(guid, &info);
}

CEGUID PimGuid() {
  CEGUID g;
  CREATE_INVALIDGUID(&g);
  wchar_t name[MAX_PATH];
  while (CeEnumDBVolumes(&g, name, MAX_PATH))
    if (lstrcmpiW(name, L"pim.vol") == 0) return g;
  ADD_FAILURE() << "pim.vol is not mounted";
  return g;
}

CEGUID SystemGuid() {
  CEGUID g;
  CREATE_SYSTEMGUID(&g);
  return g;
}

ReadResult::~ReadResult() {
  if (buffer) LocalFree(buffer);
}

const CEPROPVAL* ReadResult::Find(CEPROPID id) const {
  for (const CEPROPVAL& p : props)
    if (p.propid == id) return &p;
  return nullptr;
}

bool ReadAt(HANDLE db, ReadResult* out) {
  WORD count = 0;
  DWORD size = 0;
  out->oid = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &out->buffer, &size);
  if (!out->oid) return false;
  auto* p = reinterpret_cast<CEPROPVAL*>(out->buffer);
  out->props.assign(p, p + count);
  return true;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string out;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  char buf[65536];
  DWORD got;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(f);
  return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
  CloseHandle(f);
  return ok;
}

uint32_t VolumeFormat(const std::string& volume) {
  uint32_t format = 0;
  if (volume.size() >= 12) memcpy(&format, volume.data() + 8, 4);
  return format;
}

size_t EntryHeaderSize(const std::string& volume) { return VolumeFormat(volume) >= 2 ? 12 : 8; }

std::vector<size_t> EntryOffsets(const std::string& volume) {
  std::vector<size_t> out;
  size_t h = EntryHeaderSize(volume);
  size_t at = 32;
  while (at + h <= volume.size()) {
    out.push_back(at);
    uint32_t len;
    memcpy(&len, volume.data() + at, 4);
    at += h + len;
  }
  out.push_back(at);
  return out;
}

std::string AsFormat1(const std::string& volume) {
  // The standard CRC-32, as the platform's own library computes it.
  using Crc = DWORD(WINAPI*)(DWORD, const BYTE*, INT);
  static Crc crc = reinterpret_cast<Crc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlComputeCrc32")));
  if (VolumeFormat(volume) != 2 || !crc) return std::string();
  std::string out = volume.substr(0, 32);
  uint32_t format = 1;
  memcpy(&out[8], &format, 4);
  DWORD sum = crc(0, reinterpret_cast<const BYTE*>(out.data()), 24);
  memcpy(&out[24], &sum, 4);
  std::vector<size_t> at = EntryOffsets(volume);
  for (size_t k = 0; k + 1 < at.size(); ++k)
    out += volume.substr(at[k], 8) + volume.substr(at[k] + 12, at[k + 1] - at[k] - 12);
  return out;
}

std::string DescribeVolume(CEGUID* guid) {
  HANDLE find = CeFindFirstDatabaseEx(guid, 0);
  if (find == INVALID_HANDLE_VALUE) return std::string();
  std::string out = "volume\n";
  char line[160];
  while (CEOID oid = CeFindNextDatabaseEx(find, guid)) {
    CEOIDINFOEX info{};
    info.wVersion = CEOIDINFOEX_VERSION;
    if (!CeOidGetInfoEx2(guid, oid, &info)) return std::string();
    const CEDBASEINFOEX& d = info.infDatabase;
    snprintf(line, sizeof line, "db %lu %ls type %lu sorts %u\n", oid, d.szDbaseName, d.dwDbaseType,
             d.wNumSortOrder);
    out += line;
    CEOID opened = oid;
    HANDLE db = CeOpenDatabaseEx2(guid, &opened, nullptr, nullptr, CEDB_AUTOINCREMENT, nullptr);
    if (db == INVALID_HANDLE_VALUE) return std::string();
    for (;;) {
      ReadResult r;
      if (!cedbtest::ReadAt(db, &r)) break;
      snprintf(line, sizeof line, " record %lu\n", r.oid);
      out += line;
      for (const CEPROPVAL& p : r.props) {
        snprintf(line, sizeof line, "  %08lX ", p.propid);
        out += line;
        WORD type = TypeFromPropID(p.propid);
        if (type == CEVT_LPWSTR) {
          for (const wchar_t* c = p.val.lpwstr; c && *c; ++c) out += std::to_string(*c) + ",";
        } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
          for (DWORD i = 0; i < p.val.blob.dwCount; ++i) out += std::to_string(p.val.blob.lpb[i]) + ",";
        } else {
          size_t size = type == CEVT_I2 || type == CEVT_UI2 ? 2
                        : type == CEVT_I4 || type == CEVT_UI4 || type == CEVT_BOOL ? 4 : 8;
          unsigned long long raw = 0;
          memcpy(&raw, &p.val, size);
          out += std::to_string(raw);
        }
        out += "\n";
      }
    }
    CloseHandle(db);
  }
  CloseHandle(find);
  return out;
}

}  // namespace cedbtest
