#include "settings/base/TodayWatermark.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

namespace {

// A folder of this test program standing for "\windows\", with images written in code
// (bitmaps under the names the device gives its pictures: the decoder reads content).
class CImageFolder {
 public:
  CImageFolder() {
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"watermark_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~CImageFolder() {
    for (const std::wstring& file : m_files) DeleteFileW((m_path + file).c_str());
    RemoveDirectoryW(m_path.c_str());
  }
  void Add(const wchar_t* name, int width, int height, COLORREF colour) {
    CDib image;
    ASSERT_TRUE(image.CreateFilled(width, height, colour));
    ASSERT_TRUE(image.SaveBmp((m_path + name).c_str()));
    m_files.push_back(name);
  }
  const wchar_t* Path() const { return m_path.c_str(); }

 private:
  std::wstring m_path;
  std::vector<std::wstring> m_files;
};

COLORREF PixelAt(CDib& dib, int x, int y) { return GetPixel(dib.GetDC(), x, y) & 0xFFFFFF; }

class TodayWatermarkTest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(TodayWatermarkTest, StartImageIsDoubledOnAVgaScreen) {
  CImageFolder folder;
  folder.Add(L"stwater.gif", 240, 320, RGB(0, 0, 200));
  CDib out;
  int used = -1;
  ASSERT_TRUE(DrawTodayWatermarkFrom(folder.Path(), L"", FALSE, 480, 640, out, &used));
  EXPECT_EQ(used, 0);
  EXPECT_EQ(out.GetWidth(), 640);
  EXPECT_EQ(out.GetHeight(), 640);
  EXPECT_EQ(PixelAt(out, 479, 639), RGB(0, 0, 200));
  EXPECT_EQ(PixelAt(out, 500, 10), RGB(0, 0, 0));
}

TEST_F(TodayWatermarkTest, CandidatesInTheDevicesOrder) {
  struct Case {
    const char* name;
    std::vector<const wchar_t*> files;
    BOOL useStartImage;
    COLORREF expected;  // of the pixel at 0, 0; black: the empty fallback
    int width;
  };
  const Case cases[] = {
      {"the Today image first", {L"tdywater.gif", L"stwater.gif"}, FALSE, RGB(10, 0, 0), 320},
      {"the start image when asked for", {L"tdywater.gif", L"stwater.gif"}, TRUE, RGB(0, 20, 0), 320},
      {"a sized start image, height first", {L"stwater_320_240.gif"}, FALSE, RGB(0, 20, 0), 320},
      {"the default start image last", {L"default_stwater_240_240.gif"}, FALSE, RGB(0, 0, 30), 320},
      {"nothing at all", {}, FALSE, RGB(0, 0, 0), 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CImageFolder folder;
    for (const wchar_t* file : c.files) {
      COLORREF colour = wcsstr(file, L"tdy") ? RGB(10, 0, 0) : wcsstr(file, L"default") ? RGB(0, 0, 30) : RGB(0, 20, 0);
      folder.Add(file, 100, 100, colour);
    }
    CDib out;
    ASSERT_TRUE(DrawTodayWatermarkFrom(folder.Path(), nullptr, c.useStartImage, 240, 320, out));
    EXPECT_EQ(out.GetWidth(), c.width);
    EXPECT_EQ(PixelAt(out, 0, 0), c.expected);
  }
}

TEST_F(TodayWatermarkTest, ThemeWatermarkIsLightenedAtItsOwnSize) {
  CImageFolder folder;
  folder.Add(L"theme.bmp", 30, 40, RGB(0, 0, 0));
  folder.Add(L"stwater.gif", 100, 100, RGB(0, 20, 0));
  CDib out;
  int used = 0;
  ASSERT_TRUE(DrawTodayWatermarkFrom(folder.Path(), L"theme.bmp", FALSE, 240, 320, out, &used));
  EXPECT_EQ(used, 1);
  EXPECT_EQ(out.GetWidth(), 30);
  EXPECT_EQ(out.GetHeight(), 40);
  // Every channel c becomes c + (255 - c) * 60 / 100.
  EXPECT_EQ(PixelAt(out, 5, 5), RGB(153, 153, 153));
  // A watermark that does not load falls back to the start images.
  ASSERT_TRUE(DrawTodayWatermarkFrom(folder.Path(), L"missing.bmp", FALSE, 240, 320, out, &used));
  EXPECT_EQ(used, 0);
  EXPECT_EQ(PixelAt(out, 0, 0), RGB(0, 20, 0));
}

}  // namespace
