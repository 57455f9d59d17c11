#pragma once
// CBitmapResampler: scales (and turns by quarter turns) a picture into a target
// CDib one source row at a time, so that a large picture never has to be held
// whole. Use:
//   CDib target;
//   CBitmapResampler::CreateTarget(w, h, turns, target);
//   resampler.Prepare(srcW, srcH, w, h, turns, target);
//   for each source row, top to bottom: resampler.Resample(row);
// Rows are 24-bit blue-green-red pixels, as in a CDib.
#include "graphics/Dib.h"

#include <vector>

class CBitmapResampler {
 public:
  enum Mode {
    kModeArea = 0,     // area weighting in 1/128 of a target pixel
    kModeCopy = 1,     // same size
    kModeHalve = 2,    // 2x2 average
    kModeDouble = 3,   // each pixel to a 2x2 block
    kModeShrink = 4,   // kxk average
    kModeEnlarge = 5,  // each pixel to a kxk block
    kModeOffset = 6,   // area weighting with the rows moved by top and bottom offsets
  };

  CBitmapResampler();
  ~CBitmapResampler();
  CBitmapResampler(const CBitmapResampler&) = delete;
  CBitmapResampler& operator=(const CBitmapResampler&) = delete;

  // A black target of width x height, turned: width and height swap for an odd number of turns.
  static BOOL CreateTarget(int width, int height, int quarterTurns, CDib& target);

  // width and height are the picture's size before turning; target must be the
  // CDib CreateTarget made for the same size and turns, black (the area modes
  // add into it). Offsets are in thousandths of a target pixel and move the
  // picture's top edge down and its bottom edge up. False for a size below 1, a
  // target of another size, or no memory.
  BOOL Prepare(int srcWidth, int srcHeight, int width, int height, int quarterTurns, CDib& target,
               int topOffset = 0, int bottomOffset = 0);

  // The next source row (srcWidth pixels); false once every row was given or before Prepare.
  BOOL Resample(const BYTE* row);

  int GetMode() const { return m_mode; }
  int GetFactor() const { return m_factor; }

 private:
  BYTE* At(int x, int y) const;
  void Accumulate(BYTE* t, const BYTE* s, int weight);
  void AddRowArea(const BYTE* row, int targetRow, int rowWeight);
  void ResampleArea(const BYTE* row);
  void ResampleOffset(const BYTE* row);

  int m_mode = kModeCopy;
  int m_factor = 1;
  int m_srcWidth = 0, m_srcHeight = 0;
  int m_width = 0, m_height = 0;
  int m_turns = 0;
  int m_row = 0;
  int m_top = 0, m_bottom = 0;
  CDib* m_target = nullptr;
  int m_step = 3;
  int m_carry[3] = {0, 0, 0};
  std::vector<int> m_firstColumn, m_lastColumn, m_firstCover, m_lastCover;
  std::vector<BYTE> m_rows;
};
