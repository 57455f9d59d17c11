// Answers from a small text file beside the library, "QelPellamScheduled.txt", one
// transaction a line (UTF-8, or UTF-16 with its byte-order mark):
//
//   date;reminder;identifier;first text;second text;third text
//   2026-03-18;1;1001;Rent;-850.00;Checking account
//
// Lines starting with '#', empty lines and lines that are no transaction are skipped;
// an empty or missing text is a null text. The file is read again whenever its size or
// time changed, so a test or a person can change the schedule while programs run.
#include "platform/pellam/PellamScheduledApi.h"

#include <string>
#include <vector>

namespace {

struct Transaction {
  int year, month, day;
  DWORD reminder;
  DWORD id;
  std::wstring texts[3];
  bool hasText[3];
};

struct State {
  std::vector<Transaction> transactions;
  FILETIME stamp = {};
  ULONGLONG size = ~0ull;
  bool read = false;
  std::vector<int> asked;
  int runs = 0;
  PELLAM_SCHEDULED_RECORD record = {};
  std::wstring texts[3];
};

State& Get() {
  static State state;
  return state;
}

// The schedule is a short list; anything longer is not the program's file.
const DWORD kMaxFileBytes = 1 << 20;
const size_t kMaxText = 1024;

std::wstring FilePath() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&Get), &self);
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::wstring();
  std::wstring folder(path, n);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return folder + L"QelPellamScheduled.txt";
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsDate(int year, int month, int day) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  return day <= days[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
}

// A whole field of decimal digits up to max.
bool ParseNumber(const std::wstring& field, ULONGLONG max, ULONGLONG& out) {
  if (field.empty() || field.size() > 10) return false;
  ULONGLONG value = 0;
  for (wchar_t c : field) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<ULONGLONG>(c - L'0');
  }
  if (value > max) return false;
  out = value;
  return true;
}

bool ParseDate(const std::wstring& field, Transaction& t) {
  if (field.size() != 10 || field[4] != L'-' || field[7] != L'-') return false;
  ULONGLONG y, m, d;
  if (!ParseNumber(field.substr(0, 4), 9999, y) || !ParseNumber(field.substr(5, 2), 99, m) ||
      !ParseNumber(field.substr(8, 2), 99, d))
    return false;
  t.year = static_cast<int>(y);
  t.month = static_cast<int>(m);
  t.day = static_cast<int>(d);
  return IsDate(t.year, t.month, t.day);
}

std::wstring Trim(const std::wstring& s) {
  size_t first = 0, last = s.size();
  while (first < last && (s[first] == L' ' || s[first] == L'\t')) ++first;
  while (last > first && (s[last - 1] == L' ' || s[last - 1] == L'\t')) --last;
  return s.substr(first, last - first);
}

bool ParseLine(const std::wstring& raw, Transaction& t) {
  const std::wstring line = Trim(raw);
  if (line.empty() || line[0] == L'#') return false;
  std::vector<std::wstring> fields;
  size_t start = 0;
  while (fields.size() < 6) {
    const size_t end = fields.size() == 5 ? std::wstring::npos : line.find(L';', start);
    fields.push_back(Trim(line.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start)));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  if (fields.size() < 3 || !ParseDate(fields[0], t)) return false;
  ULONGLONG reminder, id;
  if (!ParseNumber(fields[1], 0xFFFFFFFFull, reminder) || !ParseNumber(fields[2], 0xFFFFFFFFull, id)) return false;
  t.reminder = static_cast<DWORD>(reminder);
  t.id = static_cast<DWORD>(id);
  for (int k = 0; k < 3; ++k) {
    const size_t index = static_cast<size_t>(k) + 3;
    t.hasText[k] = index < fields.size() && !fields[index].empty();
    t.texts[k] = t.hasText[k] ? fields[index].substr(0, kMaxText) : std::wstring();
    // A text ends at the first zero, as the record hands it on.
    const size_t zero = t.texts[k].find(L'\0');
    if (zero != std::wstring::npos) t.texts[k].resize(zero);
  }
  return true;
}

std::wstring Decode(const std::vector<char>& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    if (!text.empty()) memcpy(&text[0], bytes.data() + 2, text.size() * sizeof(wchar_t));
    return text;
  }
  size_t skip = 0;
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF && static_cast<unsigned char>(bytes[1]) == 0xBB &&
      static_cast<unsigned char>(bytes[2]) == 0xBF)
    skip = 3;
  const int length = static_cast<int>(bytes.size() - skip);
  if (length <= 0) return std::wstring();
  const int wide = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, length, nullptr, 0);
  if (wide <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, length, &text[0], wide);
  return text;
}

std::vector<Transaction> ParseFile(const std::wstring& text) {
  std::vector<Transaction> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    Transaction t = {};
    if (ParseLine(line, t)) out.push_back(std::move(t));
    start = end + 1;
  }
  return out;
}

// Reads the file again when it changed; a missing or unreadable file is no schedule.
void Refresh(State& state) {
  const std::wstring path = FilePath();
  WIN32_FILE_ATTRIBUTE_DATA info = {};
  if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) {
    state.transactions.clear();
    state.read = false;
    return;
  }
  const ULONGLONG size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (state.read && size == state.size && CompareFileTime(&info.ftLastWriteTime, &state.stamp) == 0) return;
  state.transactions.clear();
  state.read = true;
  state.size = size;
  state.stamp = info.ftLastWriteTime;
  if (size > kMaxFileBytes) return;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    state.read = false;
    return;
  }
  std::vector<char> bytes(static_cast<size_t>(size));
  DWORD got = 0;
  const BOOL ok = bytes.empty() || ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  if (!ok) {
    state.read = false;
    return;
  }
  bytes.resize(got);
  state.transactions = ParseFile(Decode(bytes));
}

const Transaction* Find(State& state, int index, int year, int month, int day) {
  if (index < 0) return nullptr;
  for (const Transaction& t : state.transactions)
    if (t.year == year && t.month == month && t.day == day && index-- == 0) return &t;
  return nullptr;
}

}  // namespace

PELLAM_API int WINAPI GetDayScheduledCount(int year, int month, int day) {
  try {
    State& state = Get();
    if (year >= 0 && year <= 9999 && month >= 0 && month <= 99 && day >= 0 && day <= 99)
      state.asked.push_back(year * 10000 + month * 100 + day);
    Refresh(state);
    int count = 0;
    for (const Transaction& t : state.transactions)
      if (t.year == year && t.month == month && t.day == day) ++count;
    return count;
  } catch (...) {
    return 0;
  }
}

PELLAM_API BOOL WINAPI GetScheduled(int index, int year, int month, int day, PELLAM_SCHEDULED_RECORD** record) {
  if (!record) return FALSE;
  *record = nullptr;
  try {
    State& state = Get();
    Refresh(state);
    const Transaction* t = Find(state, index, year, month, day);
    if (!t) return FALSE;
    PELLAM_SCHEDULED_RECORD& r = state.record;
    r = PELLAM_SCHEDULED_RECORD{};
    LPCWSTR* slots[3] = {&r.pszFirst, &r.pszSecond, &r.pszThird};
    for (int k = 0; k < 3; ++k) {
      state.texts[k] = t->texts[k];
      *slots[k] = t->hasText[k] ? state.texts[k].c_str() : nullptr;
    }
    r.wYear = static_cast<WORD>(t->year);
    r.wMonth = static_cast<WORD>(t->month);
    r.wDay = static_cast<WORD>(t->day);
    r.dwReminder = t->reminder;
    r.dwId = t->id;
    *record = &r;
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

PELLAM_API void WINAPI RunQelPellam() {
  // The program starts, settles its schedule and tells whoever shows it.
  ++Get().runs;
  static const UINT changed = RegisterWindowMessageW(PELLAM_SCHEDULED_CHANGED_MESSAGE);
  if (changed) PostMessageW(HWND_BROADCAST, changed, 0, 0);
}

PELLAM_API int WINAPI PellamTestGetAskedCount() { return static_cast<int>(Get().asked.size()); }

PELLAM_API int WINAPI PellamTestGetAskedDay(int index) {
  const State& state = Get();
  return index >= 0 && index < static_cast<int>(state.asked.size()) ? state.asked[static_cast<size_t>(index)] : -1;
}

PELLAM_API int WINAPI PellamTestGetRunCount() { return Get().runs; }

PELLAM_API void WINAPI PellamTestReset() {
  Get().asked.clear();
  Get().runs = 0;
}
