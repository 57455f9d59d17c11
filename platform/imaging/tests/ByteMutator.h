#pragma once
// A seeded mutator for the fuzz tests of every reader of pictures: the same seed
// gives the same inputs on every run, so a failure names the case that made it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace fixtures {

class ByteMutator {
 public:
  explicit ByteMutator(uint32_t seed) : m_random(seed) {}

  // A copy of `base` with one to four damages: flipped bits, random bytes, a
  // size field set to an edge value (either byte order), bytes cut, removed or
  // repeated.
  std::vector<BYTE> Mutate(const std::vector<BYTE>& base) {
    std::vector<BYTE> bytes = base;
    const int damages = 1 + int(Below(4));
    for (int i = 0; i < damages && !bytes.empty(); i++) {
      const size_t at = Below(bytes.size());
      switch (Below(7)) {
        case 0:
          bytes[at] ^= BYTE(1u << Below(8));
          break;
        case 1:
          bytes[at] = BYTE(Below(256));
          break;
        case 2:
        case 3: {
          static const uint32_t kEdges[] = {0, 1, 2, 13, 14, 0x7F, 0x80, 0xFF, 0x4000, 0x4001, 0x7FFF, 0xFFFF,
                                            0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE};
          const uint32_t v = kEdges[Below(sizeof(kEdges) / sizeof(kEdges[0]))];
          const bool bigEndian = Below(2) == 0;
          const size_t width = Below(2) ? 4 : 2;
          for (size_t k = 0; k < width && at + k < bytes.size(); k++)
            bytes[at + k] = BYTE(v >> (8 * (bigEndian ? width - 1 - k : k)));
          break;
        }
        case 4:
          bytes.resize(at);
          break;
        case 5:
          bytes.erase(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + 1 + Below(16)));
          break;
        default: {
          const size_t n = std::min(bytes.size() - at, size_t(1 + Below(32)));
          std::vector<BYTE> copy(bytes.begin() + at, bytes.begin() + at + n);
          bytes.insert(bytes.begin() + Below(bytes.size() + 1), copy.begin(), copy.end());
          break;
        }
      }
    }
    return bytes;
  }

  size_t Below(size_t n) { return n ? size_t(m_random() % n) : 0; }

 private:
  std::mt19937 m_random;
};

}  // namespace fixtures
