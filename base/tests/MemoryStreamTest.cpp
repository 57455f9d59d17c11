#include "base/MemoryStream.h"

#include <gtest/gtest.h>
#include <limits.h>

namespace {

IStream* MakeStream(const char* bytes, ULONG size) {
  BYTE* block = new BYTE[size];
  memcpy(block, bytes, size);
  IStream* stream = nullptr;
  EXPECT_EQ(CreateMemoryStream(&stream, block, size), S_OK);
  return stream;
}

LARGE_INTEGER Offset(LONGLONG value) {
  LARGE_INTEGER li;
  li.QuadPart = value;
  return li;
}

TEST(MemoryStream, ReadsWhatIsLeftAndThenNothing) {
  IStream* stream = MakeStream("abcd", 4);
  char buffer[10] = {};
  ULONG read = 99;
  EXPECT_EQ(stream->Read(buffer, 10, &read), S_OK);
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
  EXPECT_EQ(stream->Read(buffer, 10, &read), S_OK);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(stream->Read(nullptr, 1, &read), E_INVALIDARG);
  EXPECT_EQ(stream->Write("x", 1, nullptr), E_NOTIMPL);
  EXPECT_EQ(stream->Release(), 0u);
}

TEST(MemoryStream, SeekEdges) {
  IStream* stream = MakeStream("0123456789", 10);
  struct Case {
    LONGLONG move;
    DWORD origin;
    HRESULT result;
    ULONGLONG position;  // after the call
  } cases[] = {
      {4, STREAM_SEEK_SET, S_OK, 4},
      {2, STREAM_SEEK_CUR, S_OK, 6},
      {-1, STREAM_SEEK_END, S_OK, 9},
      {-10, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 9},  // before the start: refused, stays
      {-1, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 9},
      {-11, STREAM_SEEK_END, STG_E_INVALIDFUNCTION, 9},
      {-10, STREAM_SEEK_END, S_OK, 0},
      {5, STREAM_SEEK_END, S_OK, 15},  // beyond the end reads nothing
      {LLONG_MAX, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 15},
      {0, 7, E_INVALIDARG, 15},
  };
  for (const Case& c : cases) {
    ULARGE_INTEGER reported = {};
    EXPECT_EQ(stream->Seek(Offset(c.move), c.origin, &reported), c.result) << c.move << "/" << c.origin;
    ULARGE_INTEGER now;
    stream->Seek(Offset(0), STREAM_SEEK_CUR, &now);
    EXPECT_EQ(now.QuadPart, c.position) << c.move << "/" << c.origin;
  }
  char byte;
  ULONG read = 9;
  EXPECT_EQ(stream->Read(&byte, 1, &read), S_OK);
  EXPECT_EQ(read, 0u);
  stream->Seek(Offset(-1), STREAM_SEEK_END, nullptr);
  EXPECT_EQ(stream->Read(&byte, 1, &read), S_OK);
  EXPECT_EQ(byte, '9');
  stream->Release();
}

TEST(MemoryStream, AnswersItsThreeInterfaces) {
  IStream* stream = MakeStream("x", 1);
  for (REFIID iid : {IID_IUnknown, IID_IStream, IID_ISequentialStream}) {
    void* out = nullptr;
    EXPECT_EQ(stream->QueryInterface(iid, &out), S_OK);
    EXPECT_EQ(out, static_cast<void*>(stream));
    static_cast<IUnknown*>(out)->Release();
  }
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(stream->QueryInterface(IID_IPersist, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(stream->QueryInterface(IID_IStream, nullptr), E_INVALIDARG);
  EXPECT_EQ(stream->AddRef(), 2u);
  EXPECT_EQ(stream->Release(), 1u);
  EXPECT_EQ(stream->Release(), 0u);
}

TEST(MemoryStream, CreationFailuresAreReported) {
  EXPECT_EQ(CreateMemoryStream(nullptr, new BYTE[4], 4), E_INVALIDARG);
  IStream* stream = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(CreateMemoryStream(&stream, nullptr, 4), E_INVALIDARG);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(CreateMemoryStream(&stream, nullptr, 0), S_OK);
  char byte;
  ULONG read = 5;
  EXPECT_EQ(stream->Read(&byte, 1, &read), S_OK);
  EXPECT_EQ(read, 0u);
  stream->Release();
}

}  // namespace
