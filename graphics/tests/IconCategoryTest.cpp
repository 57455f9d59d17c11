#include "graphics/IconCategory.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Translator.h"
#include "graphics/tests/TestImages.h"

namespace {

// A picture of three columns: green (the library's key), magenta, a colour.
BOOL LoadIcon(CKeyedBitmap& icon) {
  CDib picture;
  testimg::MakeDib(picture, 3, 2, [](int x, int) {
    return x == 0 ? RGB(0, 255, 0) : x == 1 ? RGB(255, 0, 255) : RGB(10, 20, 30);
  });
  picture.SetOwnsBitmap(FALSE);
  picture.ReleaseDC();
  return icon.LoadFromBitmap(picture.GetBitmap());
}

TEST(IconCategory, TitleIsShownTranslated) {
  WCHAR folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"IconCategoryTest-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  const std::wstring text = L"\xFEFFOther Icons|Andere Symbole\r\n";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), DWORD(text.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(GetTranslator().LoadTextFile(path.c_str()));
  DeleteFileW(path.c_str());

  EXPECT_STREQ(CIconCategory(L"Other Icons").GetTitle(), L"Andere Symbole");
  EXPECT_STREQ(CIconCategory(L"Weather").GetTitle(), L"Weather");
  EXPECT_STREQ(CIconCategory(nullptr).GetTitle(), L"");
  GetTranslator().Clear();
}

// An added icon takes the picture over and is keyed green, whatever its key was; the
// icon given is left empty, so nothing is freed twice.
TEST(IconCategory, AddedIconsTakeThePictureAndAreKeyedGreen) {
  CIconCategory category(L"Weather");
  CKeyedBitmap icon;
  ASSERT_TRUE(LoadIcon(icon));
  icon.SetKeyColor(RGB(255, 0, 255));
  category.Add(icon, L"\\Icons\\sun.bmp");
  EXPECT_FALSE(icon.IsLoaded());
  EXPECT_EQ(icon.GetSize().cx, 0);

  ASSERT_EQ(category.GetIconCount(), 1);
  CKeyedBitmap* added = category.GetIcon(0);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->GetKeyColor(), RGB(0, 255, 0));
  EXPECT_EQ(added->GetSize().cx, 3);
  EXPECT_STREQ(category.GetName(0), L"\\Icons\\sun.bmp");
  EXPECT_EQ(category.GetIcon(1), nullptr);
  EXPECT_EQ(category.GetIcon(-1), nullptr);
  EXPECT_STREQ(category.GetName(1), L"");

  // Green is left out, magenta is drawn.
  CDib target;
  ASSERT_TRUE(target.CreateFilled(3, 2, RGB(1, 1, 1)));
  ASSERT_TRUE(added->DrawTransparent(&target, 0, 0));
  EXPECT_EQ(testimg::PixelOf(target, 0, 0), RGB(1, 1, 1));
  EXPECT_EQ(testimg::PixelOf(target, 1, 0), RGB(255, 0, 255));
  EXPECT_EQ(testimg::PixelOf(target, 2, 1), RGB(10, 20, 30));

  CKeyedBitmap second;
  ASSERT_TRUE(LoadIcon(second));
  category.Add(second, L"\\Icons\\rain.bmp");
  EXPECT_EQ(category.GetIconCount(), 2);
  category.Clear();
  EXPECT_EQ(category.GetIconCount(), 0);
  EXPECT_EQ(category.GetIcon(0), nullptr);
}

}  // namespace
