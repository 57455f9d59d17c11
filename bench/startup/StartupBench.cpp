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
#include <vector>

#include "base/InstallPath.h"
#include "bench/BenchClock.h"
#include "bench/database/BenchVolume.h"
#include "panel/Registration.h"
#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/StoreText.h"
#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/Recurrence.h"
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

bool FillAppointments(CPimStore& store, double today) {
  for (int i = 0; i < kAppointments; ++i) {
    PimRecord record;
    PimValue* f = record.fields;
    const bool recurring = i % (kAppointments / kSeries) == 0;
    // Spread over two years around today, a few of them in the shown week.
    const double start = today - 365 + (i * 7919) % 730 + (8 + i % 10) / 24.0;
    f[kSubject].present = true;
    f[kSubject].text = L"Appointment " + std::to_wstring(i);
    f[kLocation].present = true;
    f[kLocation].text = L"Room " + std::to_wstring(i % 40);
    f[kStart].present = true;
    f[kStart].number = start;
    f[kDuration].present = true;
    f[kDuration].number = 30 + 15 * (i % 5);
    f[kBusyStatus].present = true;
    f[kBusyStatus].number = i % 4;
    f[kAllDay].present = true;
    f[kAllDay].number = 0;
    f[kRecurring].present = true;
    f[kRecurring].number = recurring ? 1 : 0;
    if (recurring) {
      CRecurrence pattern;
      pattern.type = (i / 50) % 2;  // daily or weekly
      pattern.interval = 1;
      pattern.dayOfWeekMask = 1 << (i % 7);
      const DWORD minutes = CRecurrence::DateToMinutes(start);
      pattern.startDay = minutes - minutes % 1440;
      pattern.startOffset = minutes % 1440;
      pattern.duration = static_cast<DWORD>(f[kDuration].number);
      f[kRecurrence].present = true;
      f[kRecurrence].blob = pattern.Encode();
    }
    if (!store.Write(PimKind::Appointment, &record)) return false;
  }
  return true;
}

bool FillContacts(CPimStore& store) {
  const wchar_t* firsts[] = {L"Ann", L"Bob", L"Cy", L"Di", L"Eve", L"Fay", L"Gus", L"Hal"};
  for (int i = 0; i < kContacts; ++i) {
    PimRecord record;
    PimValue* f = record.fields;
    f[kFirstName].present = true;
    f[kFirstName].text = firsts[i % 8];
    f[kLastName].present = true;
    f[kLastName].text = L"Person " + std::to_wstring(i);
    f[kFileAs].present = true;
    f[kFileAs].text = f[kLastName].text + L", " + f[kFirstName].text;
    f[kCompany].present = i % 4 == 0;
    f[kCompany].text = L"Company " + std::to_wstring(i % 50);
    f[kMobile].present = true;
    f[kMobile].text = L"555-" + std::to_wstring(1000 + i);
    if (i % 3 == 0) {
      f[kBirthday].present = true;
      f[kBirthday].number = 20000 + (i * 7919) % 20000;
    }
    if (!store.Write(PimKind::Contact, &record)) return false;
  }
  return true;
}

bool FillTasks(CPimStore& store, double today) {
  for (int i = 0; i < kTasks; ++i) {
    PimRecord record;
    PimValue* f = record.fields;
    f[kSubject].present = true;
    f[kSubject].text = L"Task " + std::to_wstring(i);
    f[kImportance].present = true;
    f[kImportance].number = i % 3;
    f[kComplete].present = true;
    f[kComplete].number = i % 5 == 0;
    if (i % 2 == 0) {
      f[kTaskStart].present = true;
      f[kTaskStart].number = today - 30 + i % 40;
      f[kTaskDue].present = true;
      f[kTaskDue].number = today - 20 + i % 60;
    }
    if (!store.Write(PimKind::Task, &record)) return false;
  }
  return true;
}

bool FillMessages() {
  std::string text =
      "store 000000000000E000\n  PR_DISPLAY_NAME_W = \"Bench\"\n  PR_CE_TRANSPORT_NAME_W = \"BenchMail\"\n"
      "folder 000000000000E001\n  PR_DISPLAY_NAME_W = \"Bench\"\n"
      "folder 000000000000E002 parent 000000000000E001 role inbox\n  PR_DISPLAY_NAME_W = \"Inbox\"\n";
  char line[512];
  for (int i = 0; i < kMessages; ++i) {
    std::snprintf(line, sizeof line,
                  "message %016llX folder 000000000000E002\n"
                  "  PR_SUBJECT_W = \"Message number %d about the weekly plan\"\n"
                  "  PR_SENDER_NAME_W = \"Sender %d\"\n"
                  "  PR_MESSAGE_CLASS_W = \"%s\"\n"
                  "  PR_MESSAGE_FLAGS = %d\n"
                  "  PR_MESSAGE_DELIVERY_TIME = 2026-%02d-%02d %02d:%02d:00\n"
                  "  PR_MESSAGE_SIZE = %d\n",
                  0x100000ULL + i, i, i % 300, i % 10 == 0 ? "IPM.SMStext" : "IPM.Note", i % 3 == 0, 1 + i % 12,
                  1 + i % 28, i % 24, i % 60, 500 + i % 50000);
    text += line;
  }
  StoreRecord record;
  std::string error;
  if (!CStoreText::Parse(text, record, error)) {
    std::printf("store text: %s\n", error.c_str());
    return false;
  }
  CStoreSet& set = CStoreSet::Instance();
  CStoreSet::Guard guard(set);
  return SUCCEEDED(set.Install(L"Bench.mst", record, error));
}

bool FillNotes(const bench::BenchRoot& root) {
  const std::wstring folder = root.File(L"My Documents");
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < kNoteFiles; ++i) {
    const std::wstring path = folder + L"\\Note " + std::to_wstring(i) + L".txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::string body = "Note number " + std::to_string(i) + ": things to remember.\r\n";
    DWORD written = 0;
    WriteFile(file, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
    CloseHandle(file);
  }
  return true;
}

// Files under the device root (notes are a folder's worth) go with their folder.
void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(folder + L"\\" + name);
      else
        DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

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

void RegisterItem(HKEY machine, const std::wstring& bin) {
  HKEY key = nullptr;
  const std::wstring itemKey = std::wstring(L"Software\\Microsoft\\Today\\Items\\") + TARVO_TODAY_ITEM_NAME;
  RegCreateKeyExW(machine, itemKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const std::wstring dll = bin + L"\\QelTarvo.dll";
  RegSetValueExW(key, L"DLL", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                 static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
  const struct {
    const wchar_t* name;
    DWORD value;
  } numbers[] = {{L"Type", 4}, {L"Enabled", 1}, {L"Options", 1}, {L"Selectability", 2}};
  for (const auto& n : numbers)
    RegSetValueExW(key, n.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n.value), sizeof n.value);
  RegCloseKey(key);
  RegCreateKeyExW(machine, TARVO_INSTALL_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(bin.c_str()),
                 static_cast<DWORD>((bin.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  // The transport the messages arrive by.
  RegCreateKeyExW(machine, L"SOFTWARE\\Microsoft\\Inbox\\Svc\\BenchMail", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  RegCloseKey(key);
}

}  // namespace

int main() {
  bench::BenchRoot root(L"startupbench");
  SetEnvironmentVariableW(L"CEDEVICE_PLATFORMTYPE", L"PocketPC");
  SetEnvironmentVariableW(L"CEDEVICE_VERSION", L"5.1");
  // Device paths ("\\My Documents") resolve against the current folder, as on the
  // Today screen stand-in.
  WCHAR previousFolder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previousFolder);
  SetCurrentDirectoryW(root.File(L"").c_str());
  // The item, the install folder and every setting in a key of the benchmark's own, seen
  // as HKEY_LOCAL_MACHINE by this process only.
  const wchar_t kMachine[] = L"Software\\TarvoBench\\startup";
  HKEY machine = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kMachine, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine, nullptr);
  if (!machine) return 2;
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine);
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring bin(path);
  bin.resize(bin.find_last_of(L'\\'));
  RegisterItem(machine, bin);

  int status = 0;
  const double today = Today();
  CPimStore store(true);
  const double fillStart = bench::NowSeconds();
  if (!FillAppointments(store, today) || !FillContacts(store) || !FillTasks(store, today) || !FillMessages() ||
      !FillNotes(root)) {
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
  SetCurrentDirectoryW(previousFolder);
  RemoveFolder(root.File(L"My Documents"));
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  RegCloseKey(machine);
  RegDeleteTreeW(HKEY_CURRENT_USER, kMachine);
  return status;
}
