#include "graphics/BitmapResampler.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

const int kFull = 128;        // one whole target pixel in coverage units
const int kFractionBits = 14;  // 128 * 128
const int kFractionMask = (1 << kFractionBits) - 1;

int NormalTurns(int turns) { return ((turns % 4) + 4) % 4; }

}  // namespace

CBitmapResampler::CBitmapResampler() = default;
CBitmapResampler::~CBitmapResampler() = default;

BOOL CBitmapResampler::CreateTarget(int width, int height, int quarterTurns, CDib& target) {
  if (width < 1 || height < 1) {
    target.Clear();
    return FALSE;
  }
  if (NormalTurns(quarterTurns) & 1) std::swap(width, height);
  return target.CreateFilled(width, height, RGB(0, 0, 0));
}

BOOL CBitmapResampler::Prepare(int srcWidth, int srcHeight, int width, int height, int quarterTurns, CDib& target,
                               int topOffset, int bottomOffset) {
  m_target = nullptr;
  if (srcWidth < 1 || srcHeight < 1 || width < 1 || height < 1 || target.IsEmpty()) return FALSE;
  const int turns = NormalTurns(quarterTurns);
  const int targetWidth = (turns & 1) ? height : width, targetHeight = (turns & 1) ? width : height;
  if (target.GetWidth() != targetWidth || target.GetHeight() != targetHeight) return FALSE;

  m_srcWidth = srcWidth;
  m_srcHeight = srcHeight;
  m_width = width;
  m_height = height;
  m_turns = turns;
  m_top = topOffset;
  m_bottom = bottomOffset;
  m_row = 0;
  m_factor = 1;
  m_carry[0] = m_carry[1] = m_carry[2] = 0;
  const int stride = target.GetStride();
  static const int kSteps[4] = {3, 0, -3, 0};
  m_step = (turns == 1) ? stride : (turns == 3) ? -stride : kSteps[turns];

  if (topOffset || bottomOffset) {
    m_mode = kModeOffset;
  } else if (srcWidth == width && srcHeight == height) {
    m_mode = kModeCopy;
  } else if (srcWidth == 2 * width && srcHeight == 2 * height) {
    m_mode = kModeHalve;
    m_factor = 2;
  } else if (width == 2 * srcWidth && height == 2 * srcHeight) {
    m_mode = kModeDouble;
    m_factor = 2;
  } else if (width % srcWidth == 0 && height % srcHeight == 0 && width / srcWidth == height / srcHeight) {
    m_mode = kModeEnlarge;
    m_factor = width / srcWidth;
  } else if (srcWidth % width == 0 && srcHeight % height == 0 && srcWidth / width == srcHeight / height) {
    m_mode = kModeShrink;
    m_factor = srcWidth / width;
  } else {
    m_mode = kModeArea;
  }

  try {
    m_rows.clear();
    m_firstColumn.clear();
    m_lastColumn.clear();
    m_firstCover.clear();
    m_lastCover.clear();
    if (m_mode == kModeHalve || m_mode == kModeShrink) m_rows.resize(size_t(m_factor - 1) * srcWidth * 3);
    if (m_mode == kModeArea || m_mode == kModeOffset) {
      m_firstColumn.resize(srcWidth);
      m_lastColumn.resize(srcWidth);
      m_firstCover.resize(srcWidth);
      m_lastCover.resize(srcWidth);
      const long long ws = srcWidth, wt = width;
      for (int c = 0; c < srcWidth; c++) {
        const int first = int(c * wt / ws), last = int(((c + 1) * wt - 1) / ws);
        m_firstColumn[c] = first;
        m_lastColumn[c] = last;
        if (first == last) {
          m_firstCover[c] = m_lastCover[c] = int(wt * kFull / ws);
        } else {
          m_firstCover[c] = int((first + 1) * kFull - c * wt * kFull / ws);
          m_lastCover[c] = int((c + 1) * wt * kFull / ws - last * kFull);
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  m_target = &target;
  return TRUE;
}

// Position of the picture's pixel (x, y) in the turned target.
BYTE* CBitmapResampler::At(int x, int y) const {
  switch (m_turns) {
    case 1:
      return m_target->Pixel(m_height - y - 1, x);
    case 2:
      return m_target->Pixel(m_width - x - 1, m_height - y - 1);
    case 3:
      return m_target->Pixel(y, m_width - x - 1);
    default:
      return m_target->Pixel(x, y);
  }
}

// Adds colour * weight in 14 fractional bits; the fraction left over is carried
// into the next addition of the same channel rather than lost.
inline void CBitmapResampler::Accumulate(BYTE* t, const BYTE* s, int weight) {
  for (int c = 0; c < 3; c++) {
    const int v = s[c] * weight + m_carry[c];
    m_carry[c] = v & kFractionMask;
    const int sum = t[c] + (v >> kFractionBits);
    t[c] = BYTE(sum > 255 ? 255 : sum);
  }
}

void CBitmapResampler::AddRowArea(const BYTE* row, int targetRow, int rowWeight) {
  if (targetRow < 0 || targetRow >= m_height || rowWeight <= 0) return;
  BYTE* base = At(0, targetRow);
  const BYTE* s = row;
  for (int c = 0; c < m_srcWidth; c++, s += 3) {
    const int first = m_firstColumn[c], last = m_lastColumn[c];
    for (int t = first; t <= last; t++) {
      const int cover = (t == first) ? m_firstCover[c] : (t == last) ? m_lastCover[c] : kFull;
      Accumulate(base + t * m_step, s, cover * rowWeight);
    }
  }
}

void CBitmapResampler::ResampleArea(const BYTE* row) {
  const long long hs = m_srcHeight, ht = m_height, r = m_row;
  const int t0 = int(r * ht / hs), t1 = int(((r + 1) * ht - 1) / hs);
  if (t0 == t1) {
    AddRowArea(row, t0, int(ht * kFull / hs));
    return;
  }
  AddRowArea(row, t0, int((t0 + 1) * kFull - r * ht * kFull / hs));
  for (int t = t0 + 1; t < t1; t++) AddRowArea(row, t, kFull);
  AddRowArea(row, t1, int((r + 1) * ht * kFull / hs - t1 * kFull));
}

void CBitmapResampler::ResampleOffset(const BYTE* row) {
  const double top = m_top / 1000.0, spanHeight = m_height - (m_top + m_bottom) / 1000.0;
  const double start = spanHeight * m_row / m_srcHeight + top;
  const double next = spanHeight * (m_row + 1) / m_srcHeight + top;
  const double end = next - 1 / 1000.0;
  if (end < start) return;
  const int t0 = int(std::floor(start)), t1 = int(std::floor(end));
  if (t0 == t1) {
    AddRowArea(row, t0, int((next - start) * kFull));
    return;
  }
  AddRowArea(row, t0, int((t0 + 1 - start) * kFull));
  for (int t = t0 + 1; t < t1; t++) AddRowArea(row, t, kFull);
  AddRowArea(row, t1, int((next - t1) * kFull));
}

BOOL CBitmapResampler::Resample(const BYTE* row) {
  if (!m_target || !row || m_row >= m_srcHeight) return FALSE;
  const size_t rowBytes = size_t(m_srcWidth) * 3;
  switch (m_mode) {
    case kModeCopy: {
      BYTE* t = At(0, m_row);
      for (int x = 0; x < m_width; x++, t += m_step) memcpy(t, row + x * 3, 3);
      break;
    }
    case kModeDouble:
    case kModeEnlarge: {
      const int k = m_factor;
      for (int dy = 0; dy < k; dy++) {
        BYTE* t = At(0, m_row * k + dy);
        const BYTE* s = row;
        for (int x = 0; x < m_srcWidth; x++, s += 3)
          for (int dx = 0; dx < k; dx++, t += m_step) memcpy(t, s, 3);
      }
      break;
    }
    case kModeHalve:
    case kModeShrink: {
      const int k = m_factor, held = m_row % k;
      if (held < k - 1) {
        memcpy(&m_rows[held * rowBytes], row, rowBytes);
        break;
      }
      const int area = k * k;
      BYTE* t = At(0, m_row / k);
      for (int x = 0; x < m_width; x++, t += m_step) {
        int sum[3] = {0, 0, 0};
        for (int dy = 0; dy < k; dy++) {
          const BYTE* s = (dy < k - 1 ? &m_rows[dy * rowBytes] : row) + size_t(x) * k * 3;
          for (int dx = 0; dx < k; dx++, s += 3)
            for (int c = 0; c < 3; c++) sum[c] += s[c];
        }
        for (int c = 0; c < 3; c++) t[c] = BYTE(k == 2 ? sum[c] >> 2 : sum[c] / area);
      }
      break;
    }
    case kModeOffset:
      ResampleOffset(row);
      break;
    default:
      ResampleArea(row);
      break;
  }
  m_row++;
  return TRUE;
}
