#include "base/MD5.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Digest(const std::string& text, size_t chunk) {
  MD5_CTX context;
  MD5Init(&context);
  for (size_t i = 0; i < text.size(); i += chunk)
    MD5Update(&context, text.data() + i, static_cast<UINT>(std::min(chunk, text.size() - i)));
  BYTE digest[16];
  MD5Final(&context, digest);
  char hex[33];
  for (int i = 0; i < 16; ++i) sprintf(hex + i * 2, "%02x", digest[i]);
  return hex;
}

TEST(MD5, RfcTestSuiteWholeAndInPieces) {
  struct Case {
    const char* input;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t(1000), size_t(1), size_t(7), size_t(64)})
      EXPECT_EQ(Digest(c.input, chunk), c.digest) << '"' << c.input << "\" in pieces of " << chunk;
  }
}

}  // namespace
