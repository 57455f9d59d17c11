// The volume reader against damaged files: a small volume built here, then thousands of
// seeded single-byte changes and cuts of it. Every one opens with the corruption error and
// leaves the file as it was, or opens with every change that is whole in the file.
#include "platform/coredll/tests/DatabaseTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace cedbtest;

namespace {

const CEPROPID kKey = MAKELONG(CEVT_I4, 1);

// A volume with two databases, records of every kind of value, one changed and one deleted.
std::string BuildVolume() {
  CEGUID g;
  if (!CeMountDBVol(&g, const_cast<LPWSTR>(L"\\FuzzSource.vol"), CREATE_ALWAYS)) return std::string();
  CreateDb(&g, L"People", {{kKey, 0}, {MAKELONG(CEVT_LPWSTR, 2), CEDB_SORT_CASEINSENSITIVE}}, 7);
  CreateDb(&g, L"Notes", {});
  CEOID oid = 0;
  HANDLE people = CeOpenDatabaseEx2(&g, &oid, const_cast<LPWSTR>(L"People"), nullptr, 0, nullptr);
  oid = 0;
  HANDLE notes = CeOpenDatabaseEx2(&g, &oid, const_cast<LPWSTR>(L"Notes"), nullptr, 0, nullptr);
  const BYTE bytes[] = {0, 1, 2, 0xFE, 0xFF};
  CEOID first = 0;
  for (long i = 1; i <= 4; ++i) {
    std::wstring name = L"Person " + std::to_wstring(i);
    CEPROPVAL v[] = {Long(1, i), Text(2, name.c_str()), Short(3, static_cast<short>(-i)),
                     Blob(4, bytes, i), Double(5, i / 4.0)};
    CEOID written = CeWriteRecordProps(people, 0, 5, v);
    if (!first) first = written;
  }
  CEPROPVAL changed[] = {Text(2, L"Renamed"), Deleted(3, CEVT_I2)};
  CeWriteRecordProps(people, first, 2, changed);
  CEPROPVAL note = Text(9, L"a note");
  CEOID gone = CeWriteRecordProps(notes, 0, 1, &note);
  CeWriteRecordProps(notes, 0, 1, &note);
  CeDeleteRecord(notes, gone);
  CloseHandle(people);
  CloseHandle(notes);
  CeUnmountDBVol(&g);
  return ReadFileBytes(HostFile(L"FuzzSource.vol"));
}

// Opens the bytes as a volume of its own; what it holds, or empty with the error.
std::string Open(const std::string& bytes, DWORD* error) {
  static int serial = 0;
  std::wstring vol = L"\\Fuzz" + std::to_wstring(++serial) + L".vol";
  std::wstring file = HostFile(vol.substr(1));
  WriteFileBytes(file, bytes);
  CEGUID g;
  std::string seen;
  *error = 0;
  if (CeMountDBVol(&g, const_cast<LPWSTR>(vol.c_str()), OPEN_EXISTING)) {
    seen = DescribeVolume(&g);
    if (seen.empty()) *error = GetLastError();
    CeUnmountDBVol(&g);
  } else {
    *error = GetLastError();
  }
  if (*error) {
    EXPECT_EQ(ReadFileBytes(file), bytes) << "a refused file is left as it was";
  }
  DeleteFileW(file.c_str());
  return seen;
}

// Seeded single-byte changes and cuts of one volume file.
void FuzzVolume(const std::string& source, unsigned seed, int rounds) {
  std::vector<size_t> at = EntryOffsets(source);
  ASSERT_EQ(at.size(), 11u) << "ten changes";
  ASSERT_EQ(at.back(), source.size());
  // What the volume holds after each whole entry: a cut file may hold no more and no less.
  std::vector<std::string> after(at.size());
  for (size_t k = 0; k < at.size(); ++k) {
    DWORD error;
    after[k] = Open(source.substr(0, at[k]), &error);
    ASSERT_EQ(error, 0u) << "a log cut between entries is whole";
  }
  const std::string& full = after.back();
  ASSERT_NE(full.find(" record "), std::string::npos);

  std::mt19937 random(seed);
  for (int round = 0; round < rounds; ++round) {
    std::string bytes = source;
    bool cut = random() % 3 == 0;
    size_t where = random() % source.size();
    if (cut) {
      bytes.resize(where);
    } else {
      bytes[where] = static_cast<char>(bytes[where] ^ (1 + random() % 255));
    }
    SCOPED_TRACE((cut ? "cut at " : "byte changed at ") + std::to_string(where));
    DWORD error;
    std::string seen = Open(bytes, &error);
    if (error) {
      ASSERT_EQ(error, static_cast<DWORD>(ERROR_INTERNAL_DB_CORRUPTION));
      continue;
    }
    if (!cut) {
      ASSERT_EQ(seen, full) << "a changed byte lost or changed what was written";
      continue;
    }
    size_t k = 0;
    while (k + 1 < at.size() && at[k + 1] <= where) ++k;
    ASSERT_EQ(seen, after[k]) << "a cut file holds every entry whole in it";
  }
}

TEST(DatabaseDamage, DamagedOrCutVolumesOpenWholeOrNotAtAll) {
  const std::string source = BuildVolume();
  ASSERT_EQ(VolumeFormat(source), 2u);
  {
    SCOPED_TRACE("format 2");
    FuzzVolume(source, 20261209, 1200);
  }
  {
    SCOPED_TRACE("format 1");
    FuzzVolume(AsFormat1(source), 1209, 1200);
  }
}

}  // namespace
