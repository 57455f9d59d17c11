#include "graphics/FileStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/CeDbApi.h"

namespace {

// A database stream in memory, through the functions the store binds.
std::string g_bytes;
DWORD g_position = 0;
bool g_failReads = false;

BOOL WINAPI FakeRead(HANDLE, LPBYTE buffer, DWORD size, LPDWORD read) {
  if (g_failReads) return FALSE;
  const DWORD n = std::min<DWORD>(size, DWORD(g_bytes.size()) - std::min<DWORD>(g_position, DWORD(g_bytes.size())));
  memcpy(buffer, g_bytes.data() + g_position, n);
  g_position += n;
  *read = n;
  return TRUE;
}

BOOL WINAPI FakeSeek(HANDLE, DWORD move, DWORD origin, LPDWORD now) {
  long long base = origin == 0 ? 0 : origin == 1 ? g_position : static_cast<long long>(g_bytes.size());
  long long target = base + (origin == 0 ? static_cast<long long>(move) : static_cast<LONG>(move));
  if (target < 0) return FALSE;
  g_position = static_cast<DWORD>(target);
  *now = g_position;
  return TRUE;
}

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CCeDbApi* api = GetCeDbApi();
    m_read = api->m_pfnStreamRead;
    m_seek = api->m_pfnStreamSeek;
    api->m_pfnStreamRead = FakeRead;
    api->m_pfnStreamSeek = FakeSeek;
    g_bytes = "0123456789";
    g_position = 0;
    g_failReads = false;
  }
  void TearDown() override {
    GetCeDbApi()->m_pfnStreamRead = m_read;
    GetCeDbApi()->m_pfnStreamSeek = m_seek;
  }
  static LARGE_INTEGER Move(long long n) {
    LARGE_INTEGER li;
    li.QuadPart = n;
    return li;
  }

  CCeDbApi::StreamReadFn m_read = nullptr;
  CCeDbApi::StreamSeekFn m_seek = nullptr;
};

TEST_F(FileStreamTest, ReadsAndSeeksThroughTheStore) {
  CFileStream stream(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  char buffer[8] = {};
  ULONG read = 0;
  EXPECT_EQ(stream.Read(buffer, 4, &read), S_OK);
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");

  struct Case {
    long long move;
    DWORD origin;
    HRESULT result;
    ULONGLONG position;
  };
  const Case cases[] = {
      {2, STREAM_SEEK_CUR, S_OK, 6},           {-3, STREAM_SEEK_END, S_OK, 7},
      {1, STREAM_SEEK_SET, S_OK, 1},           {-5, STREAM_SEEK_CUR, STG_E_SEEKERROR, 1},
      {0x100000000ll, STREAM_SEEK_SET, STG_E_SEEKERROR, 1}, {-1, STREAM_SEEK_SET, STG_E_SEEKERROR, 1},
      {0, 7, STG_E_INVALIDFUNCTION, 1},
  };
  for (const Case& c : cases) {
    ULARGE_INTEGER now;
    now.QuadPart = 99;
    EXPECT_EQ(stream.Seek(Move(c.move), c.origin, &now), c.result) << c.move << " from " << c.origin;
    EXPECT_EQ(g_position, c.position);
    if (c.result == S_OK) {
      EXPECT_EQ(now.QuadPart, c.position);
    }
  }
  EXPECT_EQ(stream.Read(buffer, 8, &read), S_OK);
  EXPECT_EQ(read, 8u);
  EXPECT_EQ(stream.Read(buffer, 8, &read), S_OK) << "the end: fewer bytes";
  EXPECT_EQ(read, 1u);

  g_failReads = true;
  read = 5;
  EXPECT_EQ(stream.Read(buffer, 2, &read), STG_E_READFAULT) << "a failed read is no success";
  EXPECT_EQ(read, 0u);
}

TEST_F(FileStreamTest, WithoutBoundFunctionsNothingSucceeds) {
  GetCeDbApi()->m_pfnStreamRead = nullptr;
  GetCeDbApi()->m_pfnStreamSeek = nullptr;
  CFileStream stream(nullptr);
  char buffer[2];
  ULONG read = 3;
  EXPECT_EQ(stream.Read(buffer, 2, &read), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(read, 0u);
  ULARGE_INTEGER now;
  EXPECT_EQ(stream.Seek(Move(0), STREAM_SEEK_SET, &now), STG_E_INVALIDFUNCTION);
}

TEST_F(FileStreamTest, InterfacesAndLifetime) {
  HANDLE handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  {
    CFileStream stream(handle);
    void* out = nullptr;
    EXPECT_EQ(stream.QueryInterface(IID_IStream, &out), S_OK);
    EXPECT_EQ(out, static_cast<IStream*>(&stream));
    EXPECT_EQ(stream.QueryInterface(IID_ISequentialStream, &out), S_OK);
    // COM requires every object to answer IUnknown.
    EXPECT_EQ(stream.QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(stream.QueryInterface(IID_IPersist, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(stream.QueryInterface(IID_IStream, nullptr), E_INVALIDARG);
    EXPECT_EQ(stream.AddRef(), 1u);
    EXPECT_EQ(stream.Release(), 0u);
    EXPECT_EQ(stream.Write("x", 1, nullptr), E_NOTIMPL);
    EXPECT_EQ(stream.Stat(nullptr, 0), E_NOTIMPL);
  }
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(handle, &flags)) << "closed with the stream";
}

}  // namespace
