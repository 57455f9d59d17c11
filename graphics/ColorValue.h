// CColorValue: a colour with a "none" flag and a blend percentage, kept in the
// registry as one DWORD: red, green, blue in the low three bytes and the flags
// byte (bit 7 none, bits 0-6 the percentage) in the high one.
#pragma once
#include <windows.h>

class CColorValue {
 public:
  static constexpr BYTE kNoneFlag = 0x80;
  static constexpr BYTE kBlendMask = 0x7F;
  // The colour of a none value (the common controls call it CLR_NONE).
  static constexpr COLORREF kNoColor = 0xFFFFFFFF;

  // None, blend 100; the colour is black until set.
  CColorValue() : m_color(0), m_flags(kNoneFlag | 100) {}
  // The colour, not none, blend 100.
  explicit CColorValue(COLORREF color) : m_color(color), m_flags(100) {}
  virtual ~CColorValue() {}

  BOOL IsNone() const { return (m_flags & kNoneFlag) != 0; }
  // kNoColor when none.
  COLORREF GetColor() const { return IsNone() ? kNoColor : m_color; }
  // kNoColor only sets the none flag and keeps the stored colour.
  void SetColor(COLORREF color);
  void SetNone() { m_flags |= kNoneFlag; }
  int GetBlend() const { return m_flags & kBlendMask; }
  // The percentage, held to 0-100; the none flag stays. Returns the new flags byte.
  BYTE SetBlend(int percent);

  DWORD Pack() const { return (m_color & 0x00FFFFFF) | (DWORD(m_flags) << 24); }
  void Unpack(DWORD packed) {
    m_color = packed & 0x00FFFFFF;
    m_flags = BYTE(packed >> 24);
  }

  // base moved toward this colour by the blend percentage, channel by channel
  // (truncating); base itself when none.
  COLORREF Blend(COLORREF base) const;

 private:
  COLORREF m_color;
  BYTE m_flags;
};
