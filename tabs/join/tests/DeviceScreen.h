// What the tests of the whole plug-in on the emulated device share: the folder of the
// built programs, the plug-in registered as the one Today item, the screen as the
// Today host drew it (rows of pixels, with the lookups the tests read it by), the
// Today script runner and a generous wait.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Registration.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"

namespace devicetest {

inline std::wstring BinFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

// The plug-in of this build as the one Today item, its install folder beside the tests.
inline void RegisterPluginItem(CLocalMachineSandbox& machine) {
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", BinFolder().c_str());
  CRegistryView item =
      machine.Key((std::wstring(L"Software\\Microsoft\\Today\\Items\\") + TARVO_TODAY_ITEM_NAME).c_str());
  item.WriteString(L"DLL", (BinFolder() + L"\\QelTarvo.dll").c_str());
  item.WriteDWORD(L"Type", 4);
  item.WriteDWORD(L"Enabled", 1);
  item.WriteDWORD(L"Options", 1);
  item.WriteDWORD(L"Selectability", 2);
}

// The host's log, and its screen saved under that name beside the temporary files for
// a look.
inline std::string HostLog(const CTodayHost& host, const wchar_t* pictureName) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring png = std::wstring(temp) + pictureName;
  host.SaveScreenshot(png);
  std::string out = "screen: " + std::string(png.begin(), png.end()) + "\n";
  for (const std::wstring& line : host.LogLines()) out += std::string(line.begin(), line.end()) + "\n";
  return out;
}

// The screen as drawn, as rows of pixels (0x00RRGGBB).
struct Screen {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;
  COLORREF At(int x, int y) const {
    const DWORD p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // The first box framed in that colour, from the left: a column of the colour whose
  // top and bottom rows run on in the colour as far as it is high.
  bool FindBox(COLORREF colour, RECT* box) const {
    for (int x = 0; x < width; ++x)
      for (int y = 0; y < height; ++y) {
        if (At(x, y) != colour) continue;
        int bottom = y;
        while (bottom + 1 < height && At(x, bottom + 1) == colour) ++bottom;
        const int side = bottom - y + 1;
        if (side < 5 || x + side > width) continue;
        bool framed = true;
        for (int k = 0; k < side && framed; ++k) framed = At(x + k, y) == colour && At(x + k, bottom) == colour;
        if (!framed) continue;
        *box = {x, y, x + side, bottom + 1};
        return true;
      }
    return false;
  }
  bool Has(COLORREF colour) const {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) == colour) return true;
    return false;
  }
  // The lines of dark text between top and bottom in the columns left to right: each
  // run of pixel rows holding a dark pixel is one (a selected row, light on dark, is
  // not counted).
  int TextLines(int top, int bottom, int left, int right) const {
    if (bottom > height || right > width) return -1;
    int lines = 0;
    bool inLine = false;
    for (int y = top; y < bottom; ++y) {
      bool dark = false;
      for (int x = left; x < right && !dark; ++x) {
        const COLORREF c = At(x, y);
        dark = GetRValue(c) < 0x70 && GetGValue(c) < 0x70 && GetBValue(c) < 0x70;
      }
      if (dark && !inLine) ++lines;
      inLine = dark;
    }
    return lines;
  }
  // A tick inside the box's frame, drawn in the frame's colour.
  bool Ticked(const RECT& box) const {
    const COLORREF frame = At(box.left, box.top);
    for (int y = box.top + 1; y < box.bottom - 1; ++y)
      for (int x = box.left + 1; x < box.right - 1; ++x)
        if (At(x, y) == frame) return true;
    return false;
  }
};

inline Screen Shoot(const CTodayHost& host) {
  Screen screen;
  HBITMAP bitmap = host.Capture();
  DIBSECTION dib = {};
  if (bitmap && GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
    screen.width = dib.dsBm.bmWidth;
    screen.height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
    const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    screen.pixels.assign(bits, bits + static_cast<size_t>(screen.width) * screen.height);
  }
  if (bitmap) DeleteObject(bitmap);
  return screen;
}

inline bool RunSteps(CTodayHost& host, const std::wstring& steps) {
  CTodayScript script;
  std::wstring error;
  EXPECT_TRUE(script.Parse(steps, error)) << std::string(error.begin(), error.end());
  const bool ran = script.Run(host, error);
  EXPECT_TRUE(ran) << std::string(error.begin(), error.end());
  return ran;
}

// Generous: the machine may be busy with other builds; a condition ends the wait early.
inline bool WaitFor(const std::function<bool()>& done) { return cedbtest::PumpUntil(done, 60000); }

}  // namespace devicetest
