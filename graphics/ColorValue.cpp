#include "graphics/ColorValue.h"

void CColorValue::SetColor(COLORREF color) {
  if (color == kNoColor) {
    SetNone();
    return;
  }
  m_color = color;
  m_flags &= BYTE(~kNoneFlag);
}

BYTE CColorValue::SetBlend(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  m_flags = BYTE((m_flags & kNoneFlag) | percent);
  return m_flags;
}

COLORREF CColorValue::Blend(COLORREF base) const {
  if (IsNone()) return base;
  const int percent = GetBlend();
  int channels[3];
  for (int i = 0; i < 3; i++) {
    const int a = int((base >> (8 * i)) & 0xFF);
    const int b = int((m_color >> (8 * i)) & 0xFF);
    int c = a + (b - a) * percent / 100;
    // A stored percentage above 100 (bits 0-6 reach 127) must not carry into the next channel.
    if (c < 0) c = 0;
    if (c > 255) c = 255;
    channels[i] = c;
  }
  return RGB(channels[0], channels[1], channels[2]);
}
