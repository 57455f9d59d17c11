#include "platform/today/RowSteps.h"

#include <cwchar>
#include <sstream>

#include "platform/today/RowDumpRequest.h"
#include "platform/today/TodayHost.h"

namespace {

// The quoted texts of a dump line, unescaped; stops at a text left open.
void QuotedTexts(const std::wstring& line, size_t from, std::wstring& joined) {
  for (size_t i = line.find(L'"', from); i != std::wstring::npos && i < line.size();) {
    std::wstring text;
    size_t j = i + 1;
    bool closed = false;
    for (; j < line.size(); ++j) {
      if (line[j] == L'\\' && j + 1 < line.size()) {
        ++j;
        text += line[j] == L'n' ? L'\n' : line[j] == L't' ? L'\t' : line[j] == L'r' ? L'\r' : line[j];
      } else if (line[j] == L'"') {
        closed = true;
        break;
      } else {
        text += line[j];
      }
    }
    if (!closed) return;
    // A separator no text holds keeps a search from matching across two texts.
    joined += text;
    joined += L'\x1F';
    i = line.find(L'"', j + 1);
  }
}

bool ReadLong(std::wistringstream& words, LONG& value) {
  std::wstring word;
  if (!(words >> word) || word.empty() || word.size() > 11) return false;
  wchar_t* end = nullptr;
  const long long n = wcstoll(word.c_str(), &end, 10);
  if (!end || *end || n < -1000000 || n > 1000000) return false;
  value = static_cast<LONG>(n);
  return true;
}

}  // namespace

bool WriteItemRows(CTodayHost& host, const std::wstring& path) {
  std::wstring copy = path;
  COPYDATASTRUCT data = {kRowDumpRequestTag, static_cast<DWORD>((copy.size() + 1) * sizeof(WCHAR)), &copy[0]};
  for (size_t i = 0; i < host.ItemCount(); ++i) {
    HWND item = host.ItemAt(i).record->hwndCustom;
    if (IsWindow(item) && SendMessageW(item, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) == 1) return true;
  }
  return false;
}

bool FindShownRow(const std::wstring& dump, const std::wstring& text, RECT& place) {
  if (text.empty()) return false;
  std::wistringstream lines(dump);
  std::wstring line;
  while (std::getline(lines, line)) {
    const size_t quote = line.find(L'"');
    const std::wstring head = line.substr(0, quote);
    std::wistringstream words(head);
    std::wstring kind, word;
    if (!(words >> kind) || (kind != L"row" && kind != L"group")) continue;
    bool placed = false, shown = true;
    RECT r = {};
    while (words >> word) {
      if (word == L"at") placed = ReadLong(words, r.left) && ReadLong(words, r.top) && ReadLong(words, r.right) &&
                                  ReadLong(words, r.bottom);
      if (word == L"hidden" || word == L"offscreen") shown = false;
    }
    if (!placed || !shown || r.right <= r.left || r.bottom <= r.top || quote == std::wstring::npos) continue;
    std::wstring texts;
    QuotedTexts(line, quote, texts);
    if (texts.find(text) == std::wstring::npos) continue;
    place = r;
    return true;
  }
  return false;
}

bool ResolveRowStep(CTodayHost& host, CTodayScript::Step& step, std::wstring& why) {
  const bool hold = step.kind == CTodayScript::Kind::HoldRow;
  if (step.kind != CTodayScript::Kind::TapRow && !hold) return true;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"todayhost-rows-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  RECT row = {};
  const bool found = WriteItemRows(host, path) && FindShownRow(ReadRowDump(path), step.text, row);
  DeleteFileW(path.c_str());
  if (!found) {
    why = L"no row shows " + step.text;
    return false;
  }
  RECT frame;
  GetWindowRect(host.Frame(), &frame);
  const LONG x = step.a >= 0 ? row.left + step.a : row.right + step.a;
  host.Note(std::wstring(hold ? L"holdrow " : L"taprow ") + step.text + L": at " + std::to_wstring(x - frame.left) +
            L" " + std::to_wstring((row.top + row.bottom) / 2 - frame.top));
  step.kind = hold ? CTodayScript::Kind::Hold : CTodayScript::Kind::Tap;
  step.text = L"1000";
  step.a = x - frame.left;
  step.b = (row.top + row.bottom) / 2 - frame.top;
  return true;
}

std::wstring ReadRowDump(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::wstring();
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  // A dump is a screenful of rows; anything far larger is not one.
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0 && bytes.size() < (16u << 20))
    bytes.append(buffer, got);
  CloseHandle(file);
  if (bytes.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
  return text;
}
