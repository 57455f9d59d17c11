#include "platform/imaging/ImageHeader.h"

#include "platform/imaging/ImageRules.h"

#include <climits>
#include <cstring>

namespace {

DWORD Be32(const BYTE* p) { return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | p[3]; }
WORD Be16(const BYTE* p) { return WORD((p[0] << 8) | p[1]); }
WORD Le16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD Le32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

HRESULT Fits(ULONGLONG width, ULONGLONG height) {
  if (width == 0 || height == 0) return E_FAIL;
  return ImageSideFits(width) && ImageSideFits(height) ? S_OK : E_OUTOFMEMORY;
}

// The first chunk of a PNG is its header; nothing else names the size.
HRESULT CheckPng(const BYTE* d, size_t n) {
  if (n < 8 + 8 + 13) return E_FAIL;
  if (Be32(d + 8) != 13 || memcmp(d + 12, "IHDR", 4) != 0) return E_FAIL;
  return Fits(Be32(d + 16), Be32(d + 20));
}

bool IsJpegFrameMarker(BYTE m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// The decoder takes its size from the first frame header, which comes before
// the first scan. A height of 0 (given later by a DNL marker) is refused.
HRESULT CheckJpeg(const BYTE* d, size_t n) {
  size_t at = 2;
  for (;;) {
    while (at < n && d[at] == 0xFF && at + 1 < n && d[at + 1] == 0xFF) at++;  // fill bytes
    if (at + 4 > n || d[at] != 0xFF) return E_FAIL;
    const BYTE marker = d[at + 1];
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return E_FAIL;  // a scan or the end before any frame
    const size_t length = Be16(d + at + 2);
    if (length < 2) return E_FAIL;
    if (IsJpegFrameMarker(marker)) {
      if (length < 8 || at + 2 + 7 > n) return E_FAIL;
      return Fits(Be16(d + at + 7), Be16(d + at + 5));
    }
    at += 2 + length;
  }
}

// Wine reads every frame of a GIF when it opens one, each at its own size, so
// every image descriptor is checked, not only the screen.
HRESULT CheckGif(const BYTE* d, size_t n) {
  if (n < 13) return E_FAIL;
  HRESULT hr = Fits(Le16(d + 6), Le16(d + 8));
  if (FAILED(hr)) return hr;
  size_t at = 13;
  const bool globalColours = (d[10] & 0x80) != 0;
  if (globalColours) at += 3u << ((d[10] & 7) + 1);
  auto skipSubBlocks = [&]() {
    while (at < n && d[at] != 0) at += size_t(d[at]) + 1;
    at++;
  };
  while (at < n) {
    const BYTE block = d[at];
    if (block == 0x3B) break;  // trailer
    if (block == 0x21) {
      at += 2;
      skipSubBlocks();
    } else if (block == 0x2C) {
      if (at + 10 > n) break;  // cut short: the decoder stops there too
      hr = Fits(Le16(d + at + 5), Le16(d + at + 7));
      if (FAILED(hr)) return hr;
      const BYTE flags = d[at + 9];
      // A frame with neither table has no colours (Wine's decoder faults on it).
      if (!globalColours && !(flags & 0x80)) return E_FAIL;
      at += 10;
      if (flags & 0x80) at += 3u << ((flags & 7) + 1);
      at++;  // code size
      skipSubBlocks();
    } else {
      return E_FAIL;
    }
  }
  return S_OK;
}

HRESULT CheckBmp(const BYTE* d, size_t n) {
  if (n < 14 + 12) return E_FAIL;
  const DWORD offBits = Le32(d + 10);
  const DWORD headerSize = Le32(d + 14);
  if (14 + ULONGLONG(headerSize) > n) return E_FAIL;
  LONGLONG width = 0, height = 0;
  WORD bitCount = 0;
  DWORD compression = BI_RGB;
  if (headerSize == 12) {
    width = Le16(d + 18);
    height = Le16(d + 20);
    bitCount = Le16(d + 24);
  } else {
    if (headerSize < 40 || n < 14 + 40) return E_FAIL;
    width = LONG(Le32(d + 18));
    height = LONG(Le32(d + 22));
    bitCount = Le16(d + 28);
    compression = Le32(d + 30);
  }
  if (width <= 0 || height == 0 || height == LONG_MIN) return E_FAIL;
  const ULONGLONG rows = ULONGLONG(height < 0 ? -height : height);
  const HRESULT hr = Fits(ULONGLONG(width), rows);
  if (FAILED(hr)) return hr;
  if (bitCount == 0 || bitCount > 32) return E_FAIL;
  // Uncompressed rows have a fixed size: a file shorter than they are is damaged.
  if (compression == BI_RGB || compression == BI_BITFIELDS) {
    const ULONGLONG stride = ((ULONGLONG(bitCount) * ULONGLONG(width) + 31) / 32) * 4;
    if (offBits < 14 + ULONGLONG(headerSize) || offBits > n || stride * rows > n - offBits) return E_FAIL;
  }
  return S_OK;
}

}  // namespace

HRESULT CheckImageHeader(const BYTE* data, size_t size) {
  if (!data) return E_POINTER;
  static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size >= 8 && memcmp(data, kPng, 8) == 0) return CheckPng(data, size);
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return CheckJpeg(data, size);
  if (size >= 6 && (memcmp(data, "GIF87a", 6) == 0 || memcmp(data, "GIF89a", 6) == 0)) return CheckGif(data, size);
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return CheckBmp(data, size);
  return E_FAIL;
}
