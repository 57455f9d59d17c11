#include "tabs/messages/tests/MimeTestHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/MemoryStream.h"
#include "tabs/messages/TextStream.h"

IStream* MakeTestStream(const std::string& bytes) {
  BYTE* block = new BYTE[bytes.size() + 1];
  memcpy(block, bytes.data(), bytes.size());
  IStream* stream = nullptr;
  EXPECT_EQ(CreateMemoryStream(&stream, block, static_cast<ULONG>(bytes.size())), S_OK);
  return stream;
}

std::string RunCodec(CMimeCodec& codec, const std::string& input, bool encode) {
  codec.SetInput(input.data(), static_cast<int>(input.size()), encode);
  const int estimate = codec.GetOutputLength();
  // A guard zone behind the announced room shows any write past it.
  std::string out(static_cast<size_t>(estimate) + 16, '\x5A');
  const int n = codec.Process(&out[0], estimate);
  EXPECT_GE(n, 0);
  EXPECT_LE(n, estimate);
  EXPECT_EQ(out.substr(estimate), std::string(16, '\x5A')) << "wrote past the room";
  out.resize(n < 0 ? 0 : n);
  return out;
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void LoadBothWays(const std::string& bytes, LoadedMessage& loaded) {
  loaded.bufferResult = loaded.fromBuffer.Load(bytes.data(), bytes.data() + bytes.size());
  IStream* stream = MakeTestStream(bytes);
  {
    CTextStream text(stream, true);
    loaded.streamResult = loaded.fromStream.Load(text);
  }
  stream->Release();
}
