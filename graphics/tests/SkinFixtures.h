#pragma once
// Test skins built in code (a folder or a .zip), and the resource library loaded as
// the resource instance, for the skin and skin colour tests.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "base/tests/ResourceLibraryScope.h"
#include "graphics/Skin.h"
#include "graphics/tests/TestImages.h"
#include "platform/unzip/tests/ZipWriter.h"
#include "platform/windowlib/Module.h"

namespace skintest {

using ziptest::Bytes;

const COLORREF kIconColour = RGB(200, 40, 10);
const COLORREF kPartColour = RGB(10, 120, 220);

// A piece: picture (colour) on the left, full-opacity mask on the right.
inline Bytes Piece(int cellWidth, int height, COLORREF colour) {
  return testimg::MakeBmp(cellWidth * 2, height, false,
                          [=](int x, int) { return x < cellWidth ? colour : RGB(255, 255, 255); });
}

// Cells of the tab icon grid: red in column 0, blue in column 1, magenta corners.
inline Bytes TabIcons(int n, int rows) {
  return testimg::MakeBmp(2 * n, rows * n, false, [=](int x, int y) {
    if (x % n == 0 && y % n == 0) return RGB(255, 0, 255);
    return x < n ? RGB(255, 0, 0) : RGB(0, 0, 255);
  });
}

// Every member of a complete skin at 96 dpi.
inline std::vector<std::pair<std::wstring, Bytes>> CompleteSkin() {
  std::vector<std::pair<std::wstring, Bytes>> members;
  for (int id = 0; id < CSkin::kIconCount; id++)
    members.emplace_back(std::wstring(CSkin::GetIconName(id)) + L"_16.bmp", Piece(16, 16, kIconColour));
  const int heights[CSkin::kScrollPartCount] = {13, 13, 4, 8, 4, 12, 8};
  for (int i = 0; i < CSkin::kScrollPartCount; i++)
    members.emplace_back(std::wstring(CSkin::GetScrollPartName(i)) + L"_16.bmp",
                         Piece(i == CSkin::kPartHeaderButton ? 10 : 13, heights[i], kPartColour));
  members.emplace_back(L"tab_icons_16.bmp", TabIcons(16, 6));
  return members;
}

inline void Remove(std::vector<std::pair<std::wstring, Bytes>>& members, const std::wstring& name) {
  for (auto it = members.begin(); it != members.end(); ++it) {
    if (it->first == name) {
      members.erase(it);
      return;
    }
  }
}

inline void Put(std::vector<std::pair<std::wstring, Bytes>>& members, const std::wstring& name, Bytes bytes) {
  Remove(members, name);
  members.emplace_back(name, std::move(bytes));
}

// Writes the members as the folder path (made) or as the .zip file path.
inline void WriteSkin(const std::wstring& path, bool zip, const std::vector<std::pair<std::wstring, Bytes>>& members) {
  if (zip) {
    std::vector<ziptest::ZipEntry> entries;
    for (const auto& m : members) entries.emplace_back(std::string(m.first.begin(), m.first.end()), m.second);
    ziptest::WriteBytes(path, ziptest::BuildZip(entries));
    return;
  }
  CreateDirectoryW(path.c_str(), nullptr);
  for (const auto& m : members) ziptest::WriteBytes(path + L"\\" + m.first, m.second);
}

// TarvoRes.Dll beside the test program as the resource instance while this lives.
using ResourceLibrary = CResourceLibraryScope;

}  // namespace skintest
