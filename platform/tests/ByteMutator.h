#pragma once
// The seeded mutator of every fuzz test: the same seed gives the same inputs on every
// run, so a failure names the case that made it. Any folder's tests may use it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace fixtures {

class ByteMutator {
 public:
  explicit ByteMutator(uint32_t seed) : m_random(seed) {}

  // A copy of a picture `base` with one to four damages: flipped bits, random bytes,
  // a size field set to an edge value (either byte order), bytes cut, removed or
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

  // A copy of `text` (bytes or characters in any sequence: std::string, std::wstring,
  // std::vector<BYTE>, ...) with one to `maxEdits` edits, each one of: a unit
  // replaced by a new piece, a new piece inserted, a run of up to four units removed,
  // up to `maxCopy` units repeated elsewhere, a run of up to 300 copies of one unit
  // inserted (a long line or field), or the tail cut off. A new piece is one unit of
  // any value or, three times in four when `pieces` are given, one of them (the
  // format's own tokens and special characters).
  template <class Text>
  Text Edit(Text text, int maxEdits, const std::vector<Text>& pieces = {}, size_t maxCopy = 16) {
    const int edits = 1 + int(Below(size_t(maxEdits)));
    for (int e = 0; e < edits; ++e) {
      const size_t at = Below(text.size() + 1);
      switch (Below(6)) {
        case 0:
          if (at < text.size()) {
            text.erase(text.begin() + at);
            const Text piece = NewPiece(pieces);
            text.insert(text.begin() + at, piece.begin(), piece.end());
          }
          break;
        case 1: {
          const Text piece = NewPiece(pieces);
          text.insert(text.begin() + at, piece.begin(), piece.end());
          break;
        }
        case 2:
          text.erase(text.begin() + at, text.begin() + std::min(text.size(), at + 1 + Below(4)));
          break;
        case 3:
          if (!text.empty()) {
            const size_t from = Below(text.size());
            const size_t n = std::min(text.size() - from, 1 + Below(maxCopy));
            const Text copy(text.begin() + from, text.begin() + from + n);
            text.insert(text.begin() + at, copy.begin(), copy.end());
          }
          break;
        case 4: {
          const Text piece = NewPiece(pieces);
          if (!piece.empty()) text.insert(text.begin() + at, Below(301), piece[0]);
          break;
        }
        default:
          text.resize(at);
          break;
      }
    }
    return text;
  }

  // Each unit of `units` as a piece of its own.
  template <class Text>
  static std::vector<Text> EachUnit(const Text& units) {
    std::vector<Text> pieces;
    for (auto unit : units) pieces.push_back(Text(1, unit));
    return pieces;
  }

  size_t Below(size_t n) { return n ? size_t(m_random() % n) : 0; }
  uint32_t Any() { return m_random(); }

 private:
  template <class Text>
  Text NewPiece(const std::vector<Text>& pieces) {
    if (!pieces.empty() && Below(4) != 0) return pieces[Below(pieces.size())];
    using Unit = typename Text::value_type;
    return Text(1, static_cast<Unit>(m_random()));
  }

  std::mt19937 m_random;
};

}  // namespace fixtures
