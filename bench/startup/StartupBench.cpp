// A user with years of data opens the Today screen and expects the plug-in at once.
// With full stores (10,000 appointments of which 200 recur, 5,000 contacts, 20,000
// messages, 500 tasks, 300 notes, written through the stand-ins as the device's
// programs write them) the Today screen stand-in loads the plug-in; measured from its
// ordinal 240 (the library already loaded) to the first complete paint of the Calendar
// tab, and then each switch to another tab to its complete paint. Each against the
// Today screen's poll period of two seconds: a start or switch that takes a good part of
// it holds the whole screen. Exits with 1 when a ratio is over kLimit.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/FolderTree.h"
#include "base/InstallPath.h"
#include "bench/BenchClock.h"
#include "bench/BenchMachine.h"
#include "bench/BenchStores.h"
#include "panel/Registration.h"
#include "platform/today/TodayHost.h"

namespace {

constexpr int kAppointments = 10000;
constexpr int kSeries = 200;
constexpr int kContacts = 5000;
constexpr int kMessages = 20000;
constexpr int kTasks = 500;
constexpr int kNoteFiles = 300;
constexpr double kPollSeconds = 2.0;
constexpr double kLimit = 0.5;
constexpr double kQuietSeconds = 1.0;

double Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
  double day = 0;
  SystemTimeToVariantTime(&now, &day);
  return day;
}

// The plug-in opens note files by their device paths ("\My Documents\..."), which
// name the current drive's root, as on the device: the benchmark's device is the prefix's
// drive C:, its "\" the drive's root. Stores found there (database volumes, message
// stores, left by programs that kept no root of their own) are moved aside for the run
// and put back after it; what the run adds at the top of the drive goes when it ends.
class DeviceDrive {
 public:
  DeviceDrive() {
    for (const std::wstring& name : TopEntries()) {
      if (!IsStore(name)) continue;
      const std::wstring aside = name + L".startupbench-" + std::to_wstring(GetCurrentProcessId());
      if (MoveFileW((root_ + name).c_str(), (root_ + aside).c_str())) aside_.push_back({name, aside});
    }
    before_ = TopEntries();
    GetCurrentDirectoryW(MAX_PATH, previousFolder_);
    SetEnvironmentVariableW(L"CEDEVICE_ROOT", root_.c_str());
    SetCurrentDirectoryW(root_.c_str());
  }
  ~DeviceDrive() {
    SetCurrentDirectoryW(previousFolder_);
    if (!notes_.empty()) DeleteFolderTree(notes_);
    for (const std::wstring& name : TopEntries()) {
      bool old = false;
      for (const std::wstring& was : before_) old = old || was == name;
      if (old) continue;
      const std::wstring path = root_ + name;
      if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
        DeleteFolderTree(path);
      else
        DeleteFileW(path.c_str());
    }
    for (const auto& moved : aside_) MoveFileW((root_ + moved.second).c_str(), (root_ + moved.first).c_str());
  }
  DeviceDrive(const DeviceDrive&) = delete;
  DeviceDrive& operator=(const DeviceDrive&) = delete;

  // Whether stores stayed where the run would write its own (one could not be moved).
  bool HoldsStores() const {
    for (const std::wstring& name : before_)
      if (IsStore(name)) return true;
    return false;
  }

  // count text notes in a notes folder of the run's own inside the documents folder.
  bool FillNotes(int count) {
    const std::wstring documents = root_ + L"My Documents";
    CreateDirectoryW(documents.c_str(), nullptr);
    notes_ = documents + L"\\Bench " + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(notes_.c_str(), nullptr)) return false;
    for (int i = 0; i < count; ++i) {
      const std::wstring path = notes_ + L"\\Note " + std::to_wstring(i) + L".txt";
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (file == INVALID_HANDLE_VALUE) return false;
      const std::string body = "Note number " + std::to_string(i) + ": things to remember.\r\n";
      DWORD written = 0;
      WriteFile(file, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
      CloseHandle(file);
    }
    return true;
  }

 private:
  const std::wstring root_ = L"C:\\";
  static bool IsStore(const std::wstring& name) {
    return _wcsicmp(name.c_str(), L"MessageStores") == 0 ||
           (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".vol") == 0);
  }
  static std::vector<std::wstring> TopEntries() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(L"C:\\*", &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
  }

  std::vector<std::pair<std::wstring, std::wstring>> aside_;  // name, name while aside
  std::vector<std::wstring> before_;
  std::wstring notes_;
  WCHAR previousFolder_[MAX_PATH] = {};
};

// Whether a message only makes the plug-in lay out and paint again what it already has:
// the screen's poll, and the panel's own timers (negative identifiers: layout, clock),
// as opposed to a tab's timers (an element's address), which fill in a list.
bool RepaintsOnly(const MSG& msg, HWND panel) {
  if (msg.message != WM_TIMER) return false;
  return msg.hwnd != panel || static_cast<INT_PTR>(msg.wParam) < 0;
}

// Runs the screen from `start` until the plug-in has painted its content and nothing of
// a tab's own has painted for kQuietSeconds (a list that fills in after a short timer
// paints again meanwhile); the seconds from `start` to the end of that last paint: the
// first complete paint. Repaints of what was already there do not count.
double SecondsToCompletePaint(HWND frame, HWND panel, double start) {
  // What the caller ran already painted (the screen paints as it takes its items).
  double lastPaint = bench::NowSeconds();
  RECT dirty;
  for (;;) {
    if (GetUpdateRect(panel, &dirty, FALSE)) {
      RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      lastPaint = bench::NowSeconds();
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (RepaintsOnly(msg, panel)) {
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      } else if (GetUpdateRect(panel, &dirty, FALSE)) {
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        lastPaint = bench::NowSeconds();
      }
    }
    if (bench::NowSeconds() - lastPaint > kQuietSeconds) return lastPaint - start;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

struct Figure {
  const char* what;
  double seconds;
};


}  // namespace

int main() {
  DeviceDrive device;
  if (device.HoldsStores()) {
    std::printf("drive C: holds stores that could not be moved aside\n");
    return 2;
  }
  SetEnvironmentVariableW(L"CEDEVICE_PLATFORMTYPE", L"PocketPC");
  SetEnvironmentVariableW(L"CEDEVICE_VERSION", L"5.1");
  // The item, the install folder and every setting in a key of the benchmark's own, seen
  // as HKEY_LOCAL_MACHINE by this process only.
  bench::MachineKey machine(L"startup");
  if (!machine.get()) return 2;
  std::wstring bin = bench::ProgramFolder();
  bin.pop_back();
  bench::RegisterTodayItem(machine.get(), bin);
  // The transport the messages arrive by.
  machine.Create(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\BenchMail");

  int status = 0;
  const double today = Today();
  CPimStore store(true);
  const double fillStart = bench::NowSeconds();
  if (!bench::FillAppointments(store, today, kAppointments, kSeries) || !bench::FillContacts(store, kContacts) ||
      !bench::FillTasks(store, today, kTasks) || !bench::FillMessages(kMessages) || !device.FillNotes(kNoteFiles)) {
    std::printf("cannot fill the stores\n");
    status = 2;
  }
  std::printf("stores filled in %.1f s: %d appointments (%d recurring), %d contacts, %d messages, %d tasks, %d notes\n",
              bench::NowSeconds() - fillStart, kAppointments, kSeries, kContacts, kMessages, kTasks, kNoteFiles);

  // Loaded beforehand, so that the library's own loading is not counted: the screen's
  // load finds it there and goes straight to ordinal 240.
  HMODULE plugin = status ? nullptr : LoadLibraryW((bin + L"\\QelTarvo.dll").c_str());
  if (!status && !plugin) {
    std::printf("cannot load QelTarvo.dll\n");
    status = 2;
  }
  if (plugin) {
    const UINT activateTab = RegisterWindowMessageW(L"QelTarvoActivateTab");
    TodayHostOptions options;
    options.pollMs = 2000;  // the Today screen's own period: its polls land where they would
    CTodayHost host;
    std::vector<Figure> figures;
    const double start = bench::NowSeconds();
    if (!host.Create(options) || host.ItemCount() != 1) {
      std::printf("the Today screen did not take the plug-in\n");
      status = 2;
    } else {
      HWND panel = host.ItemAt(0).record->hwndCustom;
      figures.push_back({"start to the Calendar tab", SecondsToCompletePaint(host.Frame(), panel, start)});
      const struct {
        wchar_t id;
        const char* what;
      } tabs[] = {{L'2', "switch to Tasks"},    {L'3', "switch to Contacts"}, {L'4', "switch to Notes"},
                  {L'5', "switch to Messages"}, {L'6', "switch to Special"},  {L'1', "back to Calendar"}};
      for (const auto& tab : tabs) {
        const double switched = bench::NowSeconds();
        SendMessageW(panel, activateTab, tab.id, 0);
        figures.push_back({tab.what, SecondsToCompletePaint(host.Frame(), panel, switched)});
      }
    }
    std::printf("against the Today screen's poll period of %.0f s (limit %.2f):\n", kPollSeconds, kLimit);
    for (const Figure& f : figures) {
      const double ratio = f.seconds / kPollSeconds;
      std::printf("  %-28s %9.1f ms  ratio %.3f%s\n", f.what, f.seconds * 1000, ratio,
                  ratio > kLimit ? "  OVER" : "");
      if (ratio > kLimit && status == 0) status = 1;
    }
    host.Destroy();
    FreeLibrary(plugin);
  }
  return status;
}
