// Text size of three viewers (messages, ink notes, text notes) in per cent of
// normal, one of five levels per row, kept in the product key. Values are read
// once per object: a change made by the options program is seen by a new object.
#pragma once
#include <windows.h>

class CZoomSettings {
 public:
  enum { kMessages = 0, kInkNotes = 1, kTextNotes = 2, kRows = 3, kLevels = 5 };

  CZoomSettings();
  virtual ~CZoomSettings() = default;

  // Row -1 means the current row; any other valid row becomes the current one,
  // and a row outside 0..2 is taken as the current row too. On the first call
  // for a row its value is read (the default, level 4, written back when missing).
  int GetZoom(int row = -1);
  // The level 0..4 nearest the row's percentage, rounding towards the larger size.
  int GetZoomLevel(int row = -1);
  // Stores the level's percentage (level clamped to 0..4) and returns it.
  int SetZoomLevel(int row, int level);

  // The percentage of a row's level (row and level clamped).
  static int LevelPercent(int row, int level);

 private:
  int SelectRow(int row);

  int m_zoom[kRows];  // -1: not read yet
  int m_row;
};
