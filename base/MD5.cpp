#include "base/MD5.h"

#include <string.h>

namespace {

inline UINT32 Rotl(UINT32 x, int n) { return (x << n) | (x >> (32 - n)); }
inline UINT32 F(UINT32 x, UINT32 y, UINT32 z) { return (x & y) | (~x & z); }
inline UINT32 G(UINT32 x, UINT32 y, UINT32 z) { return (x & z) | (y & ~z); }
inline UINT32 H(UINT32 x, UINT32 y, UINT32 z) { return x ^ y ^ z; }
inline UINT32 I(UINT32 x, UINT32 y, UINT32 z) { return y ^ (x | ~z); }

// Per-step shift amounts and sine-derived constants of the four rounds.
const int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
const UINT32 kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

void Encode(BYTE* out, const UINT32* in, int words) {
  for (int i = 0; i < words; ++i)
    for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<BYTE>(in[i] >> (8 * b));
}

}  // namespace

void MD5Init(MD5_CTX* context) {
  context->count[0] = context->count[1] = 0;
  context->state[0] = 0x67452301;
  context->state[1] = 0xefcdab89;
  context->state[2] = 0x98badcfe;
  context->state[3] = 0x10325476;
}

void MD5Transform(UINT32 state[4], const BYTE block[64]) {
  UINT32 x[16];
  for (int i = 0; i < 16; ++i)
    x[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
           (static_cast<UINT32>(block[i * 4 + 3]) << 24);
  UINT32 a = state[0], b = state[1], c = state[2], d = state[3];
  for (int step = 0; step < 64; ++step) {
    int round = step / 16;
    UINT32 f;
    int k;
    switch (round) {
      case 0: f = F(b, c, d); k = step; break;
      case 1: f = G(b, c, d); k = (5 * step + 1) % 16; break;
      case 2: f = H(b, c, d); k = (3 * step + 5) % 16; break;
      default: f = I(b, c, d); k = (7 * step) % 16; break;
    }
    UINT32 next = b + Rotl(a + f + x[k] + kSine[step], kShift[round][step % 4]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

void MD5Update(MD5_CTX* context, const void* data, UINT length) {
  const BYTE* input = static_cast<const BYTE*>(data);
  UINT index = (context->count[0] >> 3) & 0x3F;
  UINT32 bits = static_cast<UINT32>(length) << 3;
  if ((context->count[0] += bits) < bits) context->count[1]++;
  context->count[1] += static_cast<UINT32>(length) >> 29;
  UINT fill = 64 - index;
  UINT i = 0;
  if (length >= fill) {
    memcpy(&context->buffer[index], input, fill);
    MD5Transform(context->state, context->buffer);
    for (i = fill; i + 63 < length; i += 64) MD5Transform(context->state, &input[i]);
    index = 0;
  }
  memcpy(&context->buffer[index], &input[i], length - i);
}

void MD5Final(MD5_CTX* context, BYTE digest[16]) {
  static const BYTE padding[64] = {0x80};
  BYTE bits[8];
  Encode(bits, context->count, 2);
  UINT index = (context->count[0] >> 3) & 0x3F;
  UINT padLength = index < 56 ? 56 - index : 120 - index;
  MD5Update(context, padding, padLength);
  MD5Update(context, bits, 8);
  Encode(digest, context->state, 4);
  memset(context, 0, sizeof(*context));
}
