// CRC-32 with the zip polynomial, as every volume entry carries it. Every byte of a volume
// is summed when it is written and when it is read, so this is on the path of every load.
//
// Two ways to the same sum: eight bytes a step through tables, and, where the processor
// multiplies without carries, sixteen bytes a step by folding: the running remainder,
// 128 bits, is carried over the next 128 bits of input by two carry-less products with
// x^191 and x^127 modulo the polynomial (the exponents are one short because a carry-less
// product of bit-reversed operands comes out one place high). The last 128 bits and any
// tail go through the tables.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#include <wmmintrin.h>

namespace cedb {
namespace crc32detail {

struct Tables {
  uint32_t t[8][256];
  Tables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
      for (int k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
};

inline const Tables& TablesOnce() {
  static const Tables tables;
  return tables;
}

// The remainder carried on from `state` over n bytes, without the inversions at either end.
inline uint32_t TableRun(uint32_t state, const BYTE* p, size_t n) {
  const auto& t = TablesOnce().t;
  for (; n >= 8; n -= 8, p += 8) {
    uint32_t lo, hi;
    memcpy(&lo, p, 4);
    memcpy(&hi, p + 4, 4);
    lo ^= state;
    state = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
  }
  for (; n; --n, ++p) state = t[0][(state ^ *p) & 0xFF] ^ (state >> 8);
  return state;
}

// x^n modulo the polynomial, bit-reversed into the high half of a 64-bit operand as the
// carry-less multiply wants it.
inline uint64_t FoldConstant(int n) {
  uint64_t r = 1;
  for (int i = 0; i < n; ++i) {
    r <<= 1;
    if (r & (1ull << 32)) r ^= 0x104C11DB7ull;
  }
  uint64_t reflected = 0;
  for (int d = 0; d < 32; ++d)
    if (r & (1ull << d)) reflected |= 1ull << (63 - d);
  return reflected;
}

inline bool CanFold() {
  static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  return can;
}

__attribute__((target("pclmul,sse2"))) inline uint32_t FoldRun(uint32_t state, const BYTE* p, size_t n) {
  static const __m128i k = _mm_set_epi64x(static_cast<long long>(FoldConstant(127)),
                                          static_cast<long long>(FoldConstant(191)));
  __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                            _mm_cvtsi32_si128(static_cast<int>(state)));
  p += 16;
  n -= 16;
  for (; n >= 16; n -= 16, p += 16) {
    __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    x = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
  }
  BYTE last[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(last), x);
  return TableRun(TableRun(0, last, 16), p, n);
}

}  // namespace crc32detail

// The sum of n bytes, carried on from crc (the sum of the bytes before them, 0 for none).
inline uint32_t Crc32(const void* data, size_t n, uint32_t crc = 0) {
  auto* p = static_cast<const BYTE*>(data);
  if (n >= 32 && crc32detail::CanFold()) return ~crc32detail::FoldRun(~crc, p, n);
  return ~crc32detail::TableRun(~crc, p, n);
}

// The same by the tables alone, for comparing the two ways.
inline uint32_t Crc32ByTables(const void* data, size_t n, uint32_t crc = 0) {
  return ~crc32detail::TableRun(~crc, static_cast<const BYTE*>(data), n);
}

}  // namespace cedb
