// The device keeps scheduled notifications across restarts of programs and of the
// device itself. CNotificationStore keeps them in one file in the device's root
// folder, read and rewritten whole under a machine-wide lock, so that every process
// of the emulated device (and a test looking at what was scheduled) sees the same
// list. The one kind delivered is a program start asked for with CeRunAppAtTime: a
// waiter process (rundll32 running CeRunScheduledStartW of this library) starts the
// program at its time, unless the start was removed or replaced meanwhile, and takes
// it out of the store. Reminders are kept, never shown.
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/Notify.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

CORE_API void WINAPI CeGetLocalTime(LPSYSTEMTIME time);

namespace {

const DWORD kMagic = 0x464E4543;  // "CENF"
const DWORD kFormat = 1;
const DWORD kNoText = 0xFFFFFFFF;

// A text that may be absent (a null pointer on the device).
struct Text {
  bool present = false;
  std::wstring value;

  static Text From(const WCHAR* text) {
    Text t;
    if (text) {
      t.present = true;
      t.value = text;
    }
    return t;
  }
};

struct Entry {
  DWORD handle = 0;
  DWORD type = 0;
  DWORD event = 0;
  Text application;
  Text arguments;
  SYSTEMTIME start = {};
  SYSTEMTIME end = {};
  bool hasUser = false;
  DWORD actionFlags = 0;
  Text title;
  Text text;
  Text sound;
  DWORD maxSound = 0;
  DWORD reserved = 0;
};

class CWriter {
 public:
  void Dword(DWORD v) { Bytes(&v, sizeof v); }
  void Time(const SYSTEMTIME& t) { Bytes(&t, sizeof t); }
  void String(const Text& t) {
    if (!t.present) return Dword(kNoText);
    Dword(static_cast<DWORD>(t.value.size()));
    Bytes(t.value.data(), t.value.size() * sizeof(wchar_t));
  }
  const std::vector<BYTE>& Data() const { return data_; }

 private:
  void Bytes(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  std::vector<BYTE> data_;
};

class CReader {
 public:
  explicit CReader(const std::vector<BYTE>& data) : data_(data) {}
  bool Dword(DWORD& v) { return Bytes(&v, sizeof v); }
  bool Time(SYSTEMTIME& t) { return Bytes(&t, sizeof t); }
  bool String(Text& t) {
    DWORD n = 0;
    if (!Dword(n)) return false;
    t = Text();
    if (n == kNoText) return true;
    if (n > (data_.size() - pos_) / sizeof(wchar_t)) return false;
    t.present = true;
    t.value.resize(n);
    return Bytes(&t.value[0], n * sizeof(wchar_t));
  }
  bool AtEnd() const { return pos_ == data_.size(); }

 private:
  bool Bytes(void* p, size_t n) {
    if (n > data_.size() - pos_) return false;
    if (n) memcpy(p, &data_[pos_], n);
    pos_ += n;
    return true;
  }
  const std::vector<BYTE>& data_;
  size_t pos_ = 0;
};

// Holds the machine-wide lock of the store for one read-modify-write.
class CStoreLock {
 public:
  CStoreLock() : mutex_(CreateMutexW(nullptr, FALSE, L"CeDeviceUserNotificationStore")) {
    if (mutex_) {
      DWORD r = WaitForSingleObject(mutex_, 10000);
      held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
  }
  ~CStoreLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  bool Held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_ = false;
};

class CNotificationStore {
 public:
  // Takes the store's lock and reads it; a missing file is an empty store. False
  // (with the error set) when the lock cannot be had or the file cannot be read or
  // is damaged: it is then left as it is.
  bool Load() {
    if (!lock_.Held()) {
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    entries_.clear();
    nextHandle_ = 1;
    path_ = CDeviceIdentity::Root();
    if (path_.back() != L'\\') path_ += L'\\';
    path_ += L"CeUserNotifications.dat";

    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND) return true;
      SetLastError(error);
      return false;
    }
    std::vector<BYTE> data;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20);
    if (ok) {
      data.resize(static_cast<size_t>(size.QuadPart));
      DWORD read = 0;
      ok = data.empty() || (ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &read, nullptr) &&
                            read == data.size());
    }
    CloseHandle(file);
    if (!ok || !Parse(data)) {
      entries_.clear();
      SetLastError(ERROR_FILE_CORRUPT);
      return false;
    }
    return true;
  }

  // Writes the whole store beside the old file, then puts it in its place.
  bool Save() {
    CWriter w;
    w.Dword(kMagic);
    w.Dword(kFormat);
    w.Dword(nextHandle_);
    w.Dword(static_cast<DWORD>(entries_.size()));
    for (const Entry& e : entries_) {
      w.Dword(e.handle);
      w.Dword(e.type);
      w.Dword(e.event);
      w.String(e.application);
      w.String(e.arguments);
      w.Time(e.start);
      w.Time(e.end);
      w.Dword(e.hasUser);
      w.Dword(e.actionFlags);
      w.String(e.title);
      w.String(e.text);
      w.String(e.sound);
      w.Dword(e.maxSound);
      w.Dword(e.reserved);
    }
    std::wstring temp = path_ + L".new";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, w.Data().data(), static_cast<DWORD>(w.Data().size()), &written, nullptr) &&
              written == w.Data().size();
    DWORD error = GetLastError();
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    if (ok && MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    if (ok) error = GetLastError();
    DeleteFileW(temp.c_str());
    SetLastError(error ? error : ERROR_WRITE_FAULT);
    return false;
  }

  Entry* Find(DWORD handle) {
    for (Entry& e : entries_)
      if (e.handle == handle) return &e;
    return nullptr;
  }

  DWORD Add(Entry entry) {
    // Handles are small numbers: the system keeps them in 32-bit record fields.
    while (Find(nextHandle_)) nextHandle_ = nextHandle_ >= 0x7FFFFFFF ? 1 : nextHandle_ + 1;
    entry.handle = nextHandle_;
    nextHandle_ = nextHandle_ >= 0x7FFFFFFF ? 1 : nextHandle_ + 1;
    entries_.push_back(entry);
    return entry.handle;
  }

  bool Remove(DWORD handle) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->handle == handle) {
        entries_.erase(it);
        return true;
      }
    }
    return false;
  }

  template <class Pred>
  void RemoveIf(Pred pred) {
    for (auto it = entries_.begin(); it != entries_.end();) it = pred(*it) ? entries_.erase(it) : it + 1;
  }

  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  bool Parse(const std::vector<BYTE>& data) {
    CReader r(data);
    DWORD magic = 0, format = 0, count = 0;
    if (!r.Dword(magic) || magic != kMagic || !r.Dword(format) || format != kFormat || !r.Dword(nextHandle_) ||
        !r.Dword(count))
      return false;
    for (DWORD i = 0; i < count; i++) {
      Entry e;
      DWORD hasUser = 0;
      if (!r.Dword(e.handle) || !r.Dword(e.type) || !r.Dword(e.event) || !r.String(e.application) ||
          !r.String(e.arguments) || !r.Time(e.start) || !r.Time(e.end) || !r.Dword(hasUser) ||
          !r.Dword(e.actionFlags) || !r.String(e.title) || !r.String(e.text) || !r.String(e.sound) ||
          !r.Dword(e.maxSound) || !r.Dword(e.reserved))
        return false;
      e.hasUser = hasUser != 0;
      entries_.push_back(e);
    }
    return r.AtEnd();
  }

  CStoreLock lock_;
  std::wstring path_;
  DWORD nextHandle_ = 1;
  std::vector<Entry> entries_;
};

DWORD HandleNumber(HANDLE h) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(h)); }
HANDLE NumberHandle(DWORD n) { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(n)); }

bool ValidTime(const SYSTEMTIME& t) {
  FILETIME ft;
  return SystemTimeToFileTime(&t, &ft) != FALSE;
}

ULONGLONG TimeValue(const SYSTEMTIME& t) {
  FILETIME ft = {};
  SystemTimeToFileTime(&t, &ft);
  return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool SameName(const Text& a, const WCHAR* b) { return a.present && b && lstrcmpiW(a.value.c_str(), b) == 0; }

// Checks a request the way the device does and turns it into a stored entry.
bool MakeEntry(const CE_NOTIFICATION_TRIGGER* trigger, const CE_USER_NOTIFICATION* user, Entry& e) {
  if (!trigger || trigger->dwSize != sizeof(CE_NOTIFICATION_TRIGGER)) return false;
  switch (trigger->dwType) {
    case CNT_EVENT:
    case CNT_TIME:
      if (!trigger->lpszApplication || !*trigger->lpszApplication) return false;
      break;
    case CNT_PERIOD:
    case CNT_CLASSICTIME:
      if (!user) return false;
      break;
    default:
      return false;
  }
  if (trigger->dwType != CNT_EVENT && !ValidTime(trigger->stStartTime)) return false;
  if (trigger->dwType == CNT_PERIOD &&
      (!ValidTime(trigger->stEndTime) || TimeValue(trigger->stEndTime) < TimeValue(trigger->stStartTime)))
    return false;

  e.type = trigger->dwType;
  e.event = trigger->dwEvent;
  e.application = Text::From(trigger->lpszApplication);
  e.arguments = Text::From(trigger->lpszArguments);
  if (trigger->dwType != CNT_EVENT) e.start = trigger->stStartTime;
  if (trigger->dwType == CNT_PERIOD) e.end = trigger->stEndTime;
  if (user) {
    e.hasUser = true;
    e.actionFlags = user->ActionFlags;
    e.title = Text::From(user->pwszDialogTitle);
    e.text = Text::From(user->pwszDialogText);
    e.sound = Text::From(user->pwszSound);
    e.maxSound = user->nMaxSound;
    e.reserved = user->dwReserved;
  }
  return true;
}

size_t TextBytes(const Text& t) { return t.present ? (t.value.size() + 1) * sizeof(wchar_t) : 0; }

WCHAR* PutText(const Text& t, BYTE*& at) {
  if (!t.present) return nullptr;
  size_t n = TextBytes(t);
  memcpy(at, t.value.c_str(), n);
  WCHAR* p = reinterpret_cast<WCHAR*>(at);
  at += n;
  return p;
}

// Real milliseconds from the device's clock now to a local time; 0 when it has passed.
DWORD DelayUntil(const SYSTEMTIME& time) {
  SYSTEMTIME now = {};
  CeGetLocalTime(&now);
  const ULONGLONG at = TimeValue(time), from = TimeValue(now);
  if (at <= from) return 0;
  const ULONGLONG ms = (at - from) / 10000;
  return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(ms);
}

// The waiter of one scheduled start, a process of its own so that the start happens
// after the program that asked for it has ended.
void StartWaiter(DWORD handle, DWORD delay) {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&DelayUntil), &self))
    return;
  wchar_t library[MAX_PATH] = {}, system[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(self, library, MAX_PATH);
  if (!n || n >= MAX_PATH || !GetSystemDirectoryW(system, MAX_PATH)) return;
  std::wstring program = std::wstring(system) + L"\\rundll32.exe";
  wchar_t tail[64];
  swprintf(tail, 64, L",CeRunScheduledStart %lu %lu", handle, delay);
  std::wstring path = library;
  if (path.find(L' ') != std::wstring::npos) path = L"\"" + path + L"\"";
  std::wstring command = L"rundll32.exe " + path + tail;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW | DETACHED_PROCESS,
                     nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

CORE_API HANDLE WINAPI CeSetUserNotificationEx(HANDLE existing, CE_NOTIFICATION_TRIGGER* trigger,
                                               CE_USER_NOTIFICATION* user) {
  Entry entry;
  if (!MakeEntry(trigger, user, entry)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  CNotificationStore store;
  if (!store.Load()) return nullptr;

  DWORD handle = 0;
  if (existing) {
    Entry* old = store.Find(HandleNumber(existing));
    if (!old) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    handle = old->handle;
    entry.handle = handle;
    *old = entry;
  } else {
    handle = store.Add(entry);
  }
  if (!store.Save()) return nullptr;
  return NumberHandle(handle);
}

CORE_API HANDLE WINAPI CeSetUserNotification(HANDLE existing, WCHAR* application, SYSTEMTIME* time,
                                             PCE_USER_NOTIFICATION user) {
  if (!time) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  CE_NOTIFICATION_TRIGGER trigger = {};
  trigger.dwSize = sizeof trigger;
  trigger.dwType = CNT_CLASSICTIME;
  trigger.lpszApplication = application;
  trigger.stStartTime = *time;
  return CeSetUserNotificationEx(existing, &trigger, user);
}

CORE_API BOOL WINAPI CeClearUserNotification(HANDLE notification) {
  CNotificationStore store;
  if (!store.Load()) return FALSE;
  if (!store.Remove(HandleNumber(notification))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return store.Save();
}

CORE_API BOOL WINAPI CeGetUserNotificationHandles(HANDLE* handles, DWORD count, LPDWORD needed) {
  if (!needed || (count && !handles)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  CNotificationStore store;
  if (!store.Load()) return FALSE;
  const std::vector<Entry>& entries = store.Entries();
  *needed = static_cast<DWORD>(entries.size());
  if (count < entries.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  for (size_t i = 0; i < entries.size(); i++) handles[i] = NumberHandle(entries[i].handle);
  return TRUE;
}

CORE_API BOOL WINAPI CeGetUserNotification(HANDLE notification, DWORD size, LPDWORD needed, LPBYTE buffer) {
  if (!needed || (size && !buffer)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  CNotificationStore store;
  if (!store.Load()) return FALSE;
  const Entry* e = store.Find(HandleNumber(notification));
  if (!e) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }

  size_t bytes = sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER) +
                 (e->hasUser ? sizeof(CE_USER_NOTIFICATION) : 0) + TextBytes(e->application) +
                 TextBytes(e->arguments) + TextBytes(e->title) + TextBytes(e->text) + TextBytes(e->sound);
  *needed = static_cast<DWORD>(bytes);
  if (size < bytes) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  memset(buffer, 0, bytes);
  auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer);
  auto* trigger = reinterpret_cast<CE_NOTIFICATION_TRIGGER*>(header + 1);
  auto* user = e->hasUser ? reinterpret_cast<CE_USER_NOTIFICATION*>(trigger + 1) : nullptr;
  BYTE* at = reinterpret_cast<BYTE*>(trigger + 1) + (user ? sizeof(CE_USER_NOTIFICATION) : 0);

  header->hNotification = NumberHandle(e->handle);
  header->dwStatus = 0;
  header->pcent = trigger;
  header->pceun = user;
  trigger->dwSize = sizeof(CE_NOTIFICATION_TRIGGER);
  trigger->dwType = e->type;
  trigger->dwEvent = e->event;
  trigger->lpszApplication = PutText(e->application, at);
  trigger->lpszArguments = PutText(e->arguments, at);
  trigger->stStartTime = e->start;
  trigger->stEndTime = e->end;
  if (user) {
    user->ActionFlags = e->actionFlags;
    user->pwszDialogTitle = PutText(e->title, at);
    user->pwszDialogText = PutText(e->text, at);
    user->pwszSound = PutText(e->sound, at);
    user->nMaxSound = e->maxSound;
    user->dwReserved = e->reserved;
  }
  return TRUE;
}

CORE_API BOOL WINAPI CeRunAppAtTime(WCHAR* application, SYSTEMTIME* time) {
  if (!application || !*application || (time && !ValidTime(*time))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  CNotificationStore store;
  if (!store.Load()) return FALSE;
  // A new request replaces the application's earlier one, and only a request made here.
  store.RemoveIf([&](const Entry& e) {
    return e.type == CNT_TIME && SameName(e.application, application) && e.arguments.present &&
           e.arguments.value == APP_RUN_AT_TIME;
  });
  DWORD handle = 0;
  if (time) {
    Entry e;
    e.type = CNT_TIME;
    e.application = Text::From(application);
    e.arguments = Text::From(APP_RUN_AT_TIME);
    e.start = *time;
    handle = store.Add(e);
  }
  if (!store.Save()) return FALSE;
  if (handle) StartWaiter(handle, DelayUntil(*time));
  return TRUE;
}

// rundll32's entry: "handle delay-in-ms". Waits, checking a few times a second that the
// start is still the one scheduled, then takes it out of the store and starts it.
CORE_API void CALLBACK CeRunScheduledStartW(HWND, HINSTANCE, LPWSTR arguments, int) {
  if (!arguments) return;
  wchar_t* end = nullptr;
  const DWORD handle = wcstoul(arguments, &end, 10);
  const DWORD delay = end ? wcstoul(end, nullptr, 10) : 0;
  if (!handle) return;
  const ULONGLONG due = GetTickCount64() + delay;
  for (;;) {
    std::wstring application;
    {
      CNotificationStore store;
      if (!store.Load()) return;
      const Entry* e = store.Find(handle);
      if (!e || e->type != CNT_TIME || !e->application.present || !e->arguments.present ||
          e->arguments.value != APP_RUN_AT_TIME)
        return;
      if (GetTickCount64() >= due) {
        application = e->application.value;
        store.Remove(handle);
        if (!store.Save()) return;
      }
    }
    if (!application.empty()) {
      // The device starts the program with the text of the request as its command line.
      std::wstring command = L"\"" + application + L"\" " APP_RUN_AT_TIME;
      STARTUPINFOW startup = {};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process = {};
      if (CreateProcessW(application.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
      }
      return;
    }
    const ULONGLONG now = GetTickCount64();
    Sleep(static_cast<DWORD>(due - now < 200 ? due - now : 200));
  }
}
