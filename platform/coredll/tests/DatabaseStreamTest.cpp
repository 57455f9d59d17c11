// How the device's record streams behave.
#include "platform/coredll/tests/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using namespace cedbtest;

namespace {

const CEPROPID kBody = MAKELONG(CEVT_STREAM, 9);

// On the device, a stream on a record's property is written, sized, sought and read, and
// reaches the record only through CeStreamSaveChanges.
TEST(DatabaseStreams, WriteSeekSizeReadAndSave) {
  CEGUID pim = PimGuid();
  ASSERT_NE(CreateDb(&pim, L"Streams", {}), 0u);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"Streams"), nullptr, 0, nullptr);
  CEPROPVAL v = Long(1, 1);
  CEOID rec = CeWriteRecordProps(db, 0, 1, &v);
  ASSERT_EQ(CeSeekDatabase(db, CEDB_SEEK_CEOID, rec, nullptr), rec);

  EXPECT_EQ(CeOpenStream(db, kBody, GENERIC_READ), INVALID_HANDLE_VALUE) << "nothing to read yet";
  HANDLE s = CeOpenStream(db, kBody, GENERIC_READ | GENERIC_WRITE);
  ASSERT_NE(s, INVALID_HANDLE_VALUE);
  BYTE text[] = "hello stream";
  DWORD done = 0, pos = 0;
  ASSERT_TRUE(CeStreamWrite(s, text, 12, &done));
  EXPECT_EQ(done, 12u);
  ASSERT_TRUE(CeStreamSeek(s, static_cast<DWORD>(-6), CEDB_STREAM_SEEK_END, &pos));
  EXPECT_EQ(pos, 6u);
  ASSERT_TRUE(CeStreamSetSize(s, 8));
  BYTE got[32] = {};
  ASSERT_TRUE(CeStreamRead(s, got, sizeof got, &done));
  EXPECT_EQ(done, 2u);
  EXPECT_EQ(memcmp(got, "st", 2), 0);
  EXPECT_FALSE(CeStreamSeek(s, static_cast<DWORD>(-20), CEDB_STREAM_SEEK_CUR, &pos));
  ASSERT_TRUE(CeStreamSaveChanges(s));
  ASSERT_TRUE(CeStreamWrite(s, text, 4, &done));  // not saved
  CloseHandle(s);

  HANDLE r = CeOpenStream(db, kBody, GENERIC_READ);
  ASSERT_NE(r, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(CeStreamRead(r, got, sizeof got, &done));
  EXPECT_EQ(done, 8u);
  EXPECT_EQ(memcmp(got, "hello st", 8), 0);
  EXPECT_FALSE(CeStreamWrite(r, text, 1, &done));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(r);
  EXPECT_FALSE(CeStreamRead(reinterpret_cast<HANDLE>(0x4321), got, 1, &done));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(db);
}

}  // namespace
