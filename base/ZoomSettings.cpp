#include "base/ZoomSettings.h"

#include "base/RegKey.h"

namespace {

const LPCWSTR kValueNames[CZoomSettings::kRows] = {L"Zoom_Messages", L"Zoom_InkNotes", L"Zoom_TextNotes"};

const int kLevelPercent[CZoomSettings::kRows][CZoomSettings::kLevels] = {
    {150, 135, 120, 100, 90},
    {150, 135, 120, 100, 95},
    {150, 135, 120, 100, 95},
};

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

CZoomSettings::CZoomSettings() : m_row(0) {
  for (int& zoom : m_zoom) zoom = -1;
}

int CZoomSettings::LevelPercent(int row, int level) {
  return kLevelPercent[Clamp(row, 0, kRows - 1)][Clamp(level, 0, kLevels - 1)];
}

int CZoomSettings::SelectRow(int row) {
  if (row >= 0 && row < kRows) m_row = row;
  return m_row;
}

int CZoomSettings::GetZoom(int row) {
  row = SelectRow(row);
  if (m_zoom[row] < 0) {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_zoom[row] = static_cast<int>(key.GetDWORD(kValueNames[row], static_cast<DWORD>(LevelPercent(row, 4))));
  }
  return m_zoom[row];
}

int CZoomSettings::GetZoomLevel(int row) {
  row = SelectRow(row);
  const int percent = GetZoom(row);
  const int* levels = kLevelPercent[row];
  for (int i = 0; i < kLevels - 1; i++) {
    if (percent >= levels[i + 1] + (levels[i] - levels[i + 1]) / 2) return i;
  }
  return kLevels - 1;
}

int CZoomSettings::SetZoomLevel(int row, int level) {
  row = SelectRow(row);
  const int percent = LevelPercent(row, level);
  m_zoom[row] = percent;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(kValueNames[row], static_cast<DWORD>(percent));
  return percent;
}
