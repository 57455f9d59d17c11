#include "graphics/Dib.h"
#include "graphics/tests/TestImages.h"
#include "platform/tests/ByteMutator.h"

#include <gtest/gtest.h>

#include <string>

using testimg::MakeBmp;
using testimg::Pattern;
using testimg::PixelOf;

namespace {

TEST(Dib, StrideIsThreeBytesPerPixelRoundedUpToFour) {
  struct Case {
    int width, stride;
  } const cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {8, 24}};
  for (const Case& c : cases) {
    CDib dib;
    ASSERT_TRUE(dib.Create(c.width, 2)) << c.width;
    EXPECT_EQ(dib.GetStride(), c.stride) << c.width;
    EXPECT_EQ(dib.Row(1) - dib.Row(0), c.stride);
  }
}

TEST(Dib, CreateCheckedRefusesSizesBelowOne) {
  CDib dib;
  EXPECT_FALSE(dib.CreateChecked(0, 10));
  EXPECT_FALSE(dib.CreateChecked(10, -1));
  EXPECT_FALSE(dib.CreateChecked(10, 0));
  EXPECT_TRUE(dib.IsEmpty());
  EXPECT_TRUE(dib.CreateChecked(1, 1));
  EXPECT_NE(dib.GetBitmap(), nullptr);
}

TEST(Dib, CreateFilledSetsEveryPixelAndBounds) {
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(3, 2, RGB(10, 20, 30)));
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++) EXPECT_EQ(PixelOf(dib, x, y), RGB(10, 20, 30));
  const RECT& b = dib.GetBounds();
  EXPECT_EQ(b.right, 3);
  EXPECT_EQ(b.bottom, 2);
  dib.Clear();
  EXPECT_TRUE(IsRectEmpty(&dib.GetBounds()));
  EXPECT_EQ(dib.GetWidth(), 0);
}

TEST(Dib, GdiDrawsIntoTheSectionThroughItsDc) {
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(4, 4, RGB(0, 0, 0)));
  HDC hdc = dib.GetDC();
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(dib.GetDC(), hdc);
  HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  RECT r = {1, 1, 3, 3};
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
  GdiFlush();
  EXPECT_EQ(PixelOf(dib, 1, 1), RGB(200, 100, 50));
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(0, 0, 0));
  dib.ReleaseDC();
}

TEST(Dib, ImageCopiesThroughBitmapsAndDcs) {
  CDib source;
  ASSERT_TRUE(testimg::MakeDib(source, 3, 2, Pattern));

  CDib fromBitmap;
  ASSERT_TRUE(fromBitmap.CreateFromBitmap(source.GetBitmap()));
  CDib target;
  ASSERT_TRUE(target.CreateFilled(5, 4, RGB(0, 0, 0)));
  ASSERT_TRUE(fromBitmap.Draw(target.GetDC(), 2, 1));
  target.ReleaseDC();
  CDib fromDc;
  RECT part = {2, 1, 5, 3};
  ASSERT_TRUE(fromDc.CopyFromDC(target.GetDC(), part));
  target.ReleaseDC();
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++) {
      EXPECT_EQ(PixelOf(fromBitmap, x, y), Pattern(x, y));
      EXPECT_EQ(PixelOf(fromDc, x, y), Pattern(x, y));
    }
  EXPECT_EQ(PixelOf(target, 0, 0), RGB(0, 0, 0));
}

TEST(Dib, RgbBytesBecomeBlueGreenRedPixels) {
  const BYTE rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2, no row padding
  CDib dib;
  ASSERT_TRUE(dib.CreateFromRgb(rgb, 2, 2));
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(PixelOf(dib, 1, 1), RGB(10, 11, 12));
  HBITMAP handed = CDib::HBitmapFromRgb(rgb, 2, 2);
  ASSERT_NE(handed, nullptr);
  CDib copy;
  ASSERT_TRUE(copy.CreateFromBitmap(handed));
  EXPECT_EQ(PixelOf(copy, 1, 0), RGB(4, 5, 6));
  EXPECT_TRUE(DeleteObject(handed));
}

TEST(Dib, TakeOverMovesPixelsAndOwnershipAndEmptiesTheOther) {
  CDib a, b;
  ASSERT_TRUE(a.CreateFilled(2, 2, RGB(1, 2, 3)));
  a.GetDC();
  HBITMAP section = a.GetBitmap();
  b.TakeOver(a);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(b.GetBitmap(), section);
  EXPECT_EQ(PixelOf(b, 1, 1), RGB(1, 2, 3));
  ASSERT_NE(b.GetDC(), nullptr);
  b.Clear();
  BITMAP info;
  EXPECT_EQ(GetObjectW(section, sizeof(info), &info), 0) << "the new owner deletes the section";
}

TEST(Dib, AttachedSectionIsDeletedOnlyWhileOwned) {
  CDib maker;
  ASSERT_TRUE(maker.Create(2, 2));
  maker.SetOwnsBitmap(FALSE);
  HBITMAP section = maker.GetBitmap();
  BYTE* bits = maker.GetBits();
  maker.Clear();
  {
    CDib user;
    user.SetOwnsBitmap(FALSE);
    user.Attach(section, bits, 2, 2);
    EXPECT_EQ(user.GetStride(), 8);
  }
  BITMAP info;
  EXPECT_NE(GetObjectW(section, sizeof(info), &info), 0);
  {
    CDib owner;
    owner.Attach(section, bits, 2, 2);
    EXPECT_TRUE(owner.SetOwnsBitmap(TRUE));
  }
  EXPECT_EQ(GetObjectW(section, sizeof(info), &info), 0);
}

TEST(Dib, SharedCopyLeavesOwnershipToTheCaller) {
  CDib a, b;
  ASSERT_TRUE(a.CreateFilled(2, 1, RGB(9, 8, 7)));
  b.CopyConstruct(a);
  EXPECT_EQ(b.GetBits(), a.GetBits());
  b.SetOwnsBitmap(FALSE);
  b.Clear();
  EXPECT_EQ(PixelOf(a, 1, 0), RGB(9, 8, 7));
}

// Rows of a 2-pixel-wide, 3-row picture whose row y holds value y + 1.
void FillRows(CDib& dib) {
  for (int y = 0; y < dib.GetHeight(); y++)
    for (int x = 0; x < dib.GetWidth(); x++) testimg::SetPixel24(dib, x, y, RGB(y + 1, x + 1, 0));
}

TEST(Dib, ScrollingRowsMovesContentAndClearsTheVacatedRows) {
  CDib dib;
  ASSERT_TRUE(dib.Create(2, 3));
  FillRows(dib);
  dib.ScrollRowsUp(1);
  EXPECT_EQ(GetRValue(PixelOf(dib, 0, 0)), 2);
  EXPECT_EQ(GetRValue(PixelOf(dib, 1, 1)), 3);
  EXPECT_EQ(PixelOf(dib, 0, 2), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(dib, 1, 2), RGB(0, 0, 0));

  FillRows(dib);
  dib.ScrollRowsDown(2);
  EXPECT_EQ(PixelOf(dib, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(dib, 1, 1), RGB(0, 0, 0));
  EXPECT_EQ(GetRValue(PixelOf(dib, 0, 2)), 1);

  FillRows(dib);
  dib.ScrollRowsDown(7);
  for (int y = 0; y < 3; y++) EXPECT_EQ(PixelOf(dib, 0, y), RGB(0, 0, 0));
}

TEST(Dib, ScrollingColumnsMovesEveryRowAndClearsTheVacatedPixels) {
  CDib dib;
  ASSERT_TRUE(dib.Create(3, 2));  // stride 12: three bytes of padding per row
  auto fill = [&] {
    for (int y = 0; y < 2; y++)
      for (int x = 0; x < 3; x++) testimg::SetPixel24(dib, x, y, RGB(10 * y + x + 1, 0, 0));
  };
  fill();
  dib.ScrollColumnsRight(1);
  for (int y = 0; y < 2; y++) {
    EXPECT_EQ(PixelOf(dib, 0, y), RGB(0, 0, 0));
    EXPECT_EQ(GetRValue(PixelOf(dib, 1, y)), 10 * y + 1);
    EXPECT_EQ(GetRValue(PixelOf(dib, 2, y)), 10 * y + 2);
  }
  fill();
  dib.ScrollColumnsLeft(2);
  for (int y = 0; y < 2; y++) {
    EXPECT_EQ(GetRValue(PixelOf(dib, 0, y)), 10 * y + 3);
    EXPECT_EQ(PixelOf(dib, 1, y), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(dib, 2, y), RGB(0, 0, 0));
  }
}

TEST(Dib, BottomUpAndTopDownBmpDecodeToTheSameBuffer) {
  for (int width : {1, 4, 5}) {
    CDib up, down;
    const auto upBytes = MakeBmp(width, 3, false, Pattern);
    const auto downBytes = MakeBmp(width, 3, true, Pattern);
    ASSERT_TRUE(up.LoadBmpFromMemory(upBytes.data(), DWORD(upBytes.size())));
    ASSERT_TRUE(down.LoadBmpFromMemory(downBytes.data(), DWORD(downBytes.size())));
    EXPECT_EQ(up.GetBitmap(), nullptr) << "decoded images live in plain memory";
    ASSERT_EQ(up.GetHeight(), 3);
    EXPECT_EQ(memcmp(up.GetBits(), down.GetBits(), size_t(up.GetStride()) * 3), 0);
    for (int x = 0; x < width; x++) EXPECT_EQ(PixelOf(up, x, 0), Pattern(x, 0));
  }
}

TEST(Dib, CorruptBmpIsRefusedAndLeavesTheImageAsItWas) {
  struct Case {
    const char* name;
    std::function<void(std::vector<BYTE>&)> spoil;
  } const cases[] = {
      {"not BM", [](std::vector<BYTE>& b) { b[0] = 'X'; }},
      {"size one byte short", [](std::vector<BYTE>& b) { testimg::Put32(b, 2, DWORD(b.size() - 1)); }},
      {"size one byte long", [](std::vector<BYTE>& b) { testimg::Put32(b, 2, DWORD(b.size() + 1)); }},
      {"8-bit", [](std::vector<BYTE>& b) { testimg::Put16(b, 28, 8); }},
      {"run-length compressed", [](std::vector<BYTE>& b) { testimg::Put32(b, 30, BI_RLE8); }},
      {"zero width", [](std::vector<BYTE>& b) { testimg::Put32(b, 18, 0); }},
      {"zero height", [](std::vector<BYTE>& b) { testimg::Put32(b, 22, 0); }},
      {"negative width", [](std::vector<BYTE>& b) { testimg::Put32(b, 18, DWORD(-4)); }},
      {"height without magnitude", [](std::vector<BYTE>& b) { testimg::Put32(b, 22, 0x80000000u); }},
      {"rows beyond the end",
       [](std::vector<BYTE>& b) {
         b.resize(b.size() - 5);
         testimg::Put32(b, 2, DWORD(b.size()));
       }},
      {"pixel offset beyond the end", [](std::vector<BYTE>& b) { testimg::Put32(b, 10, 0xFFFFFF00u); }},
      {"huge width", [](std::vector<BYTE>& b) { testimg::Put32(b, 18, 0x7FFFFFFFu); }},
      {"huge height", [](std::vector<BYTE>& b) { testimg::Put32(b, 22, 0x7FFFFFFFu); }},
      {"header only",
       [](std::vector<BYTE>& b) {
         b.resize(20);
         testimg::Put32(b, 2, 20);
       }},
  };
  for (const Case& c : cases) {
    auto bytes = MakeBmp(4, 3, false, Pattern);
    c.spoil(bytes);
    // Copied to an exact-size heap block so that a read past its end would be caught.
    std::vector<BYTE> exact(bytes);
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(1, 1, RGB(5, 6, 7)));
    EXPECT_FALSE(dib.LoadBmpFromMemory(exact.data(), DWORD(exact.size()))) << c.name;
    EXPECT_EQ(PixelOf(dib, 0, 0), RGB(5, 6, 7)) << c.name;
  }
  CDib dib;
  EXPECT_FALSE(dib.LoadBmpFromMemory(nullptr, 100));
}

// A decoded image's rows lie within the bytes after the pixel offset.
void ExpectRowsWithin(const CDib& dib, const std::vector<BYTE>& bytes) {
  if (dib.IsEmpty()) return;
  ASSERT_GE(bytes.size(), 54u);
  const DWORD offBits = DWORD(bytes[10]) | DWORD(bytes[11]) << 8 | DWORD(bytes[12]) << 16 | DWORD(bytes[13]) << 24;
  ASSERT_LE(offBits, bytes.size());
  EXPECT_LE(ULONGLONG(dib.GetStride()) * ULONGLONG(dib.GetHeight()), bytes.size() - offBits);
}

// Every header byte, word and double word set to the values that break
// unchecked arithmetic (the file size kept true, so the other fields are read).
TEST(Dib, EveryBmpHeaderFieldAtItsEdgeValuesDecodesSoundlyOrNotAtAll) {
  const std::vector<BYTE> base = MakeBmp(3, 2, false, Pattern);
  for (size_t at = 0; at < 58; at++) {
    for (DWORD value : {0u, 1u, 13u, 14u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
      for (size_t width : {1, 2, 4}) {
        std::vector<BYTE> bytes = base;
        for (size_t k = 0; k < width; k++) bytes[at + k] = BYTE(value >> (8 * k));
        if (at + width <= 2 || at >= 6) testimg::Put32(bytes, 2, DWORD(bytes.size()));
        CDib dib;
        dib.LoadBmpFromMemory(bytes.data(), DWORD(bytes.size()));
        SCOPED_TRACE(::testing::Message() << "offset " << at << " value " << value << " width " << width);
        ExpectRowsWithin(dib, bytes);
      }
    }
  }
}

TEST(Dib, MutatedBmpDecodesSoundlyOrNotAtAll) {
  const std::vector<BYTE> bases[] = {MakeBmp(3, 2, false, Pattern), MakeBmp(5, 4, true, Pattern)};
  fixtures::ByteMutator mutator(77);
  for (const auto& base : bases) {
    for (int i = 0; i < 2000; i++) {
      std::vector<BYTE> bytes = mutator.Mutate(base);
      // Mostly with a true size, so that the damage reaches the fields behind it.
      if (bytes.size() >= 6 && i % 4) testimg::Put32(bytes, 2, DWORD(bytes.size()));
      CDib dib;
      dib.LoadBmpFromMemory(bytes.data(), DWORD(bytes.size()));
      ExpectRowsWithin(dib, bytes);
    }
  }
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + name;
}

std::vector<BYTE> ReadFileBytes(const std::wstring& path) {
  std::vector<BYTE> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

TEST(Dib, SavedBmpHasTheFixedHeaderAndReadsBackTheSame) {
  CDib dib;
  ASSERT_TRUE(testimg::MakeDib(dib, 5, 2, Pattern));
  const std::wstring path = TempPath(L"tarvo-graphics-save.bmp");
  ASSERT_TRUE(dib.SaveBmp(path.c_str()));
  const auto bytes = ReadFileBytes(path);
  DeleteFileW(path.c_str());
  ASSERT_EQ(bytes.size(), 86u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(bytes[10], 54);
  EXPECT_EQ(bytes[14], 40);
  EXPECT_EQ(bytes[22], 2) << "positive height: rows bottom-up";
  EXPECT_EQ(bytes[28], 24);
  EXPECT_EQ(bytes[34], 32);
  EXPECT_EQ(bytes[38] | (bytes[39] << 8), 3780);
  CDib back;
  ASSERT_TRUE(back.LoadBmpFromMemory(bytes.data(), DWORD(bytes.size())));
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 5; x++) EXPECT_EQ(PixelOf(back, x, y), Pattern(x, y));
}

TEST(Dib, SavingAnEmptyImageOrToAnUnwritablePathFails) {
  CDib empty;
  EXPECT_FALSE(empty.SaveBmp(TempPath(L"tarvo-graphics-empty.bmp").c_str()));
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(1, 1, 0));
  EXPECT_FALSE(dib.SaveBmp(L"Z:\\no-such-folder-tarvo\\x.bmp"));
}

}  // namespace
