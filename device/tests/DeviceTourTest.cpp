// The scripted tour of device/tour on the emulated device, headless, as `scripts/run
// --tour` runs it: the plug-in as the one Today item over the device's sample store, the
// same steps in the same order, and after each step the store (as `cedbtool dump` writes
// it) and the rows the panel shows (its row dump) are checked, not pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "platform/today/RowDumpRequest.h"
#include "platform/today/RowSteps.h"
#include "tabs/join/tests/DeviceTestSupport.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

namespace cedbtest {
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest

namespace {

using devicetest::BinFolder;
using devicetest::RunSteps;
using devicetest::WaitFor;

const std::wstring kDevice = TARVO_DEVICE_FOLDER;
const double kHour = 1.0 / 24;
// The e-mail account's sample store: its inbox and recent folder, the newest message
// and the one after it.
const ULONGLONG kAsInbox = 0x10002, kAsProjects = 0x10007;
const ULONGLONG kLunch = 0x11001, kQuarterly = 0x11004;

std::wstring Widen(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  return text;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
  return bytes;
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"devicetour";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// The store as the device's database tool dumps it: the real cedbtool.exe, started
// over this program's device root.
std::string DumpStore() {
  const std::wstring out = TempFolder() + L"\\store.txt";
  DeleteFileW(out.c_str());
  std::wstring command = L"\"" + BinFolder() + L"\\cedbtool.exe\" dump pim.vol \"" + out + L"\"";
  STARTUPINFOW start = {};
  start.cb = sizeof(start);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
    return std::string();
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0 ? cedbtest::ReadFileBytes(out) : std::string();
}

// The dumped record of that database holding that quoted text; empty when none.
std::string StoredRecord(const std::string& store, const char* database, const std::string& text) {
  const size_t db = store.find(std::string("database \"") + database + "\"");
  if (db == std::string::npos) return std::string();
  const size_t next = store.find("\ndatabase ", db + 1);
  const size_t at = store.find("\"" + text + "\"", db);
  if (at == std::string::npos || at > next) return std::string();
  const size_t begin = store.rfind("\nrecord", at);
  const size_t end = store.find("\nend", at);
  if (begin == std::string::npos || end == std::string::npos || begin < db) return std::string();
  return store.substr(begin + 1, end - begin);
}

// A property's value in a dumped record: the rest of its line; empty when absent.
std::string Value(const std::string& record, const char* property) {
  std::istringstream lines(record);
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find_first_not_of(' ');
    if (at != std::string::npos && line.compare(at, strlen(property), property) == 0)
      return line.substr(std::min(line.size(), at + strlen(property) + 1));
  }
  return std::string();
}

// A hexadecimal file time of the dump as a date (UTC), or 0.
double FileTimeValue(const std::string& value) {
  FILETIME time;
  const unsigned long long n = strtoull(value.c_str(), nullptr, 16);
  time.dwLowDateTime = static_cast<DWORD>(n);
  time.dwHighDateTime = static_cast<DWORD>(n >> 32);
  double date = 0;
  return n && FileTimeToVariantDate(time, &date) ? date : 0;
}

// One row of a row dump: what kind of line and its whole text.
struct DumpedRow {
  std::wstring line;
  bool Is(const wchar_t* text) const { return line.find(std::wstring(L"\"") + text) != std::wstring::npos; }
};

struct RowDump {
  std::wstring tab;
  std::vector<DumpedRow> rows;
  // The first row whose texts begin with or hold that text; null when none.
  const DumpedRow* Find(const wchar_t* text) const {
    for (const DumpedRow& row : rows)
      if (row.line.find(text) != std::wstring::npos) return &row;
    return nullptr;
  }
  std::string Text() const {
    std::wstring all = tab + L"\n";
    for (const DumpedRow& row : rows) all += row.line + L"\n";
    return Narrow(all);
  }
};

RowDump ParseDump(const std::wstring& text) {
  RowDump dump;
  std::wistringstream lines(text);
  for (std::wstring line; std::getline(lines, line);) {
    if (line.compare(0, 4, L"tab ") == 0)
      dump.tab = line;
    else if (!line.empty())
      dump.rows.push_back({line});
  }
  return dump;
}

// A value of a .reg file of the device: the quoted text after "NAME"=; empty when absent.
std::wstring RegValue(const std::string& file, const std::string& name) {
  const size_t at = file.find("\"" + name + "\"=\"");
  if (at == std::string::npos) return std::wstring();
  const size_t begin = at + name.size() + 4;
  const size_t end = file.find('"', begin);
  return end == std::string::npos ? std::wstring() : Widen(file.substr(begin, end - begin));
}

// The texts (quoted) of a dumped row, without its place: what the row shows.
std::wstring TextsOf(const DumpedRow* row) {
  if (!row) return std::wstring();
  const size_t quote = row->line.find(L'"');
  return quote == std::wstring::npos ? std::wstring() : row->line.substr(quote);
}

// A window of this thread, other than the screen, that shows that text in a child.
bool PopupShows(HWND screen, const wchar_t* text) {
  struct Search {
    HWND screen;
    const wchar_t* text;
    bool found;
  } search = {screen, text, false};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (window == s->screen || !IsWindowVisible(window)) return TRUE;
        EnumChildWindows(
            window,
            [](HWND child, LPARAM param) -> BOOL {
              auto* s = reinterpret_cast<Search*>(param);
              wchar_t text[256] = {};
              GetWindowTextW(child, text, 256);
              if (wcsstr(text, s->text)) s->found = true;
              return !s->found;
            },
            param);
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class DeviceTour : public devicetest::DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicetour", (kDevice + L"\\pim\\calendar.txt").c_str()));
    // The rest of the device's samples, as device/load puts every one into the volume.
    CEGUID volume;
    std::wstring name = L"pim.vol";
    ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
    for (const wchar_t* file : {L"\\pim\\tasks.txt", L"\\pim\\contacts.txt"}) {
      std::string error;
      EXPECT_TRUE(VolumeText::Load(volume, cedbtest::ReadFileBytes(kDevice + file), &error)) << error;
    }
    CeUnmountDBVol(&volume);
    // Its message stores and inbox services, and the e-mail account's recent folder as
    // the device's messaging registry gives it.
    sampletest::RegisterSampleServices(*m_sandbox);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    const std::wstring recent = RegValue(cedbtest::ReadFileBytes(kDevice + L"\\mail.reg"), "ActiveSync");
    ASSERT_EQ(Narrow(recent), Narrow(std::wstring(sampletest::Folder(kAsProjects, L"Projects").ToText())));
    m_sandbox->Key(TARVO_PRODUCT_KEY L"\\Filters").WriteString(L"ActiveSync", recent.c_str());
    ASSERT_NO_FATAL_FAILURE(Start());
    m_out = TempFolder();
  }
  std::string Log() const { return DeviceToday::Log(L"DeviceTour"); }

  // Runs a step of the tour as scripts/run does (its pictures and rows written to the
  // temporary folder) and reads the rows it wrote.
  RowDump RunTourStep(const wchar_t* name) {
    std::wstring steps = Widen(cedbtest::ReadFileBytes(kDevice + L"\\tour\\" + name + L".txt"));
    EXPECT_FALSE(steps.empty()) << Narrow(name);
    for (size_t at; (at = steps.find(L"@OUT@")) != std::wstring::npos;) steps.replace(at, 5, m_out);
    const std::wstring rows = m_out + L"\\" + name + L".txt";
    // Its rows of an earlier run, under its own name and the others it writes, go first.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((m_out + L"\\" + name + L"*.txt").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
      DeleteFileW((m_out + L"\\" + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    EXPECT_TRUE(RunSteps(m_host, steps)) << Log();
    return ParseDump(ReadRowDump(rows));
  }

  // Rows a step wrote besides its own (under another name).
  RowDump StepRows(const wchar_t* name) { return ParseDump(ReadRowDump(m_out + L"\\" + name + L".txt")); }

  // The rows as they are now.
  RowDump Rows() {
    const std::wstring rows = m_out + L"\\now.txt";
    EXPECT_TRUE(WriteItemRows(m_host, rows));
    return ParseDump(ReadRowDump(rows));
  }

  std::wstring m_out;
};

TEST_F(DeviceTour, EachTabAndItsOperationReachTheStoreAndTheRows) {
  ASSERT_EQ(m_host.ItemCount(), 1u) << Log();
  // The row dump is the Today screen's own request: asked from another thread (as any
  // other program would ask), the plug-in writes nothing.
  const std::wstring foreign = m_out + L"\\foreign.txt";
  DeleteFileW(foreign.c_str());
  struct Ask {
    HWND item;
    std::wstring path;
    LRESULT answer;
  } ask = {m_host.ItemAt(0).record->hwndCustom, foreign, -1};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* param) -> DWORD {
        auto* a = static_cast<Ask*>(param);
        COPYDATASTRUCT data = {kRowDumpRequestTag, static_cast<DWORD>((a->path.size() + 1) * sizeof(wchar_t)),
                               &a->path[0]};
        a->answer = SendMessageW(a->item, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        return 0;
      },
      &ask, 0, nullptr);
  ASSERT_TRUE(thread);
  EXPECT_TRUE(WaitFor([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }));
  CloseHandle(thread);
  EXPECT_EQ(ask.answer, 0);
  EXPECT_EQ(GetFileAttributesW(foreign.c_str()), INVALID_FILE_ATTRIBUTES);
  // From the screen's own thread it is written.
  EXPECT_FALSE(Rows().tab.empty());

  const std::string original = DumpStore();
  ASSERT_FALSE(original.empty()) << "cedbtool could not dump the store";

  // Calendar: the week, Monday's meetings among its rows.
  RowDump calendar = RunTourStep(L"01-calendar");
  EXPECT_NE(calendar.tab.find(L"tab 1 Calendar"), std::wstring::npos) << calendar.Text();
  const DumpedRow* call = calendar.Find(L"\"Budget call");
  const DumpedRow* review = calendar.Find(L"\"Design review");
  ASSERT_TRUE(call && review) << calendar.Text();
  // Times as the device's clock and locale give them: 11 to 12, overlapping 10 to 11:30.
  EXPECT_NE(TextsOf(call).find(L"\"11:00a-12:00p\""), std::wstring::npos) << calendar.Text();
  EXPECT_NE(TextsOf(review).find(L"\"10:00a-11:30a\""), std::wstring::npos) << calendar.Text();

  // The meeting moved an hour later through its row's menu and the date and time
  // dialog: Ondrel writes the store, its length kept.
  const std::string meeting = StoredRecord(original, "Appointments Database", "Budget call");
  const double startUtc = FileTimeValue(Value(meeting, "0x10420040"));
  ASSERT_TRUE(startUtc > 0) << meeting;
  RowDump moving = RunTourStep(L"02-calendar-move");
  std::string moved;
  EXPECT_TRUE(WaitFor([&] {
    moved = StoredRecord(DumpStore(), "Appointments Database", "Budget call");
    return std::fabs(FileTimeValue(Value(moved, "0x10420040")) - (startUtc + kHour)) < 1.0 / 86400;
  })) << "the store never had the meeting an hour later\n" << moved << Log();
  EXPECT_EQ(Value(moved, "0x10400013"), Value(meeting, "0x10400013"));
  // The store's notice reaches the panel: the moved row reads otherwise, the other stays.
  RowDump after = moving;
  EXPECT_TRUE(WaitFor([&] {
    if (TextsOf(after.Find(L"\"Budget call")).find(L"\"12:00p-1:00p\"") != std::wstring::npos) return true;
    after = Rows();
    return TextsOf(after.Find(L"\"Budget call")).find(L"\"12:00p-1:00p\"") != std::wstring::npos;
  })) << "the moved meeting's row never showed its new time\n" << after.Text();
  EXPECT_NE(TextsOf(after.Find(L"\"Design review")).find(L"\"10:00a-11:30a\""), std::wstring::npos) << after.Text();

  // Tasks: the overdue task's check box, answered Yes, completes it through Ondrel.
  const std::string beforeTasks = DumpStore();
  EXPECT_EQ(Value(StoredRecord(beforeTasks, "Tasks Database", "Renew the car insurance"), "0x00640040"), "");
  RowDump tasks = RunTourStep(L"03-tasks");
  EXPECT_NE(tasks.tab.find(L"tab 2 Tasks"), std::wstring::npos) << tasks.Text();
  std::string afterTasks;
  EXPECT_TRUE(WaitFor([&] {
    afterTasks = DumpStore();
    return !Value(StoredRecord(afterTasks, "Tasks Database", "Renew the car insurance"), "0x00640040").empty();
  })) << "the task was never completed in the store\n" << Log();
  for (const char* open : {"Call the dentist about Thursday", "Buy a birthday card for Anna"})
    EXPECT_EQ(StoredRecord(afterTasks, "Tasks Database", open), StoredRecord(beforeTasks, "Tasks Database", open))
        << open;
  // Completed tasks are not listed: the row goes with the store's notice.
  RowDump done;
  EXPECT_TRUE(WaitFor([&] {
    done = Rows();
    return done.Find(L"\"Call the dentist") && !done.Find(L"Renew the car insurance");
  })) << "the completed task is still listed\n" << done.Text();
  bool answeredYes = false;
  for (const std::wstring& line : m_host.LogLines()) answeredYes = answeredYes || line.find(L"answered 6:") != std::wstring::npos;
  EXPECT_TRUE(answeredYes) << Log();

  // Contacts: a tap on a contact opens its popup; the store is left as it was.
  const std::string beforeContacts = DumpStore();
  RowDump contacts = RunTourStep(L"04-contacts");
  EXPECT_NE(contacts.tab.find(L"tab 3 Contacts"), std::wstring::npos) << contacts.Text();
  EXPECT_TRUE(contacts.Find(L"\"Berg, Anna")) << contacts.Text();
  EXPECT_TRUE(WaitFor([&] { return PopupShows(m_host.Frame(), L"Anna Berg"); })) << "no popup shows the contact\n"
                                                                                  << Log();
  EXPECT_EQ(DumpStore(), beforeContacts);

  // Special events: the week's birthdays by day; a tap on one shows its contact.
  RowDump special = RunTourStep(L"05-special");
  EXPECT_NE(special.tab.find(L"tab 6 Special"), std::wstring::npos) << special.Text();
  EXPECT_TRUE(special.Find(L"Birthday: Tomas Lind")) << special.Text();
  EXPECT_TRUE(WaitFor([&] { return PopupShows(m_host.Frame(), L"Tomas Lind"); }))
      << "no popup shows the birthday's contact\n" << Log();
  EXPECT_FALSE(PopupShows(m_host.Frame(), L"Anna Berg")) << "the contact's popup of the step before is still open";
  EXPECT_EQ(DumpStore(), beforeContacts);

  // Messages: the newest message marked read from its row's menu, the next one moved to
  // the account's recent folder; the store keeps both, the rows follow. The account's
  // group header counts its unread and all of its inbox messages.
  ASSERT_EQ(sampletest::StoredLong(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ, 0);
  ASSERT_TRUE(sampletest::StoredIn(kQuarterly, kAsInbox));
  RowDump messages = RunTourStep(L"06-messages");
  // The tap on the tab's cell brought the Today screen to the front, which closes the
  // birthday's popup: the Messages tab is not left under it.
  EXPECT_FALSE(PopupShows(m_host.Frame(), L"Tomas Lind")) << "the birthday's contact popup is still open\n" << Log();
  const RowDump inbox = StepRows(L"06-messages-inbox");
  EXPECT_NE(inbox.tab.find(L" Messages"), std::wstring::npos) << inbox.Text();
  EXPECT_TRUE(inbox.Find(L"\"Lunch on Friday?") && inbox.Find(L"\"Quarterly report")) << inbox.Text();
  EXPECT_EQ(TextsOf(inbox.Find(L"\"Outlook E-mail")), L"\"Outlook E-mail\" \" (3/4)\"") << inbox.Text();
  EXPECT_TRUE(WaitFor([] { return (sampletest::StoredLong(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ) != 0; }))
      << "the message was never marked read in the store\n" << Log();
  // Read, it is no longer counted unread; it stays in the inbox.
  const RowDump read = StepRows(L"06-messages-read");
  EXPECT_TRUE(read.Find(L"\"Lunch on Friday?")) << read.Text();
  EXPECT_EQ(TextsOf(read.Find(L"\"Outlook E-mail")), L"\"Outlook E-mail\" \" (2/4)\"") << read.Text();
  EXPECT_TRUE(WaitFor([] { return sampletest::StoredIn(kQuarterly, kAsProjects); }))
      << "the message was never moved in the store\n" << Log();
  EXPECT_FALSE(sampletest::StoredIn(kQuarterly, kAsInbox));
  EXPECT_TRUE(sampletest::StoredIn(kLunch, kAsInbox));
  // The moved (unread) message's row leaves the inbox's group; the read one stays.
  const auto messageMoved = [](const RowDump& rows) {
    return !rows.Find(L"Quarterly report") && rows.Find(L"\"Lunch on Friday?") &&
           TextsOf(rows.Find(L"\"Outlook E-mail")) == L"\"Outlook E-mail\" \" (1/3)\"";
  };
  EXPECT_TRUE(WaitFor([&] { return messageMoved(messages) || messageMoved(messages = Rows()); }))
      << "the moved message's row is still shown\n" << messages.Text();
}

}  // namespace
