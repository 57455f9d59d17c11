// The row-dump request's path as it arrives by WM_COPYDATA: only a whole, printable
// UTF-16 path within the longest a file function takes is taken, from any bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "panel/RowTreeDump.h"
#include "platform/today/RowDumpRequest.h"

namespace {

COPYDATASTRUCT Request(const void* data, DWORD bytes, ULONG_PTR tag = kRowDumpRequestTag) {
  COPYDATASTRUCT copy = {};
  copy.dwData = tag;
  copy.cbData = bytes;
  copy.lpData = const_cast<void*>(data);
  return copy;
}

TEST(RowTreeDumpTest, OnlyAWholePrintablePathIsTaken) {
  const wchar_t terminated[] = L"C:\\tour\\rows.txt";
  const wchar_t inner[] = L"C:\\a\nb.txt";
  const std::vector<wchar_t> longest(kRowDumpMaxPathBytes / sizeof(wchar_t), L'a');
  const std::vector<wchar_t> tooLong(kRowDumpMaxPathBytes / sizeof(wchar_t) + 1, L'a');
  struct Case {
    const char* what;
    COPYDATASTRUCT copy;
    bool taken;
    size_t length;
  } cases[] = {
      {"with its terminator", Request(terminated, sizeof(terminated)), true, 16},
      {"without it", Request(terminated, sizeof(terminated) - sizeof(wchar_t)), true, 16},
      {"another tag", Request(terminated, sizeof(terminated), 2324), false, 0},
      {"an odd size", Request(terminated, 5), false, 0},
      {"no bytes", Request(terminated, 0), false, 0},
      {"no data", Request(nullptr, 8), false, 0},
      {"only a terminator", Request(L"", sizeof(wchar_t)), false, 0},
      {"a control character inside", Request(inner, sizeof(inner)), false, 0},
      {"the longest", Request(longest.data(), kRowDumpMaxPathBytes), true, longest.size()},
      {"longer", Request(tooLong.data(), kRowDumpMaxPathBytes + sizeof(wchar_t)), false, 0},
  };
  for (const Case& c : cases) {
    std::wstring path = L"unchanged";
    EXPECT_EQ(c.taken, ReadRowDumpPath(&c.copy, path) != FALSE) << c.what;
    EXPECT_EQ(c.taken ? c.length : 9u, path.size()) << c.what;
  }
  std::wstring path;
  EXPECT_FALSE(ReadRowDumpPath(nullptr, path));
}

TEST(RowTreeDumpTest, AnyBytesAreReadSafely) {
  std::mt19937 random(23);
  for (int i = 0; i < 5000; ++i) {
    std::vector<unsigned char> bytes(random() % 64);
    for (auto& b : bytes) b = static_cast<unsigned char>(random() % 4 ? 'a' + random() % 26 : random());
    // The stated size never exceeds what is there: the sender's copy is exactly that long.
    COPYDATASTRUCT copy = Request(bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()));
    std::wstring path;
    if (ReadRowDumpPath(&copy, path)) {
      ASSERT_FALSE(path.empty()) << i;
      ASSERT_LE(path.size() * sizeof(wchar_t), bytes.size()) << i;
      for (wchar_t c : path) ASSERT_GE(c, L' ') << i;
    }
  }
}

}  // namespace
