// The PIM resource library as programs use it: loaded by name, its loader bound by
// ordinal, its texts read by number, and as a data file by LoadStringW.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/pimres/pimres.h"

namespace {

class PimResTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryW(L"pimres.dll");
    ASSERT_NE(module, nullptr);
    load = reinterpret_cast<PFN_PIM_LOAD_STRING>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(kPimLoadStringOrdinal))));
    ASSERT_NE(load, nullptr);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  std::wstring Text(UINT id) {
    wchar_t buffer[256];
    int n = load(id, buffer, 256);
    EXPECT_EQ(n, static_cast<int>(wcslen(buffer))) << id;
    return buffer;
  }
  HMODULE module = nullptr;
  PFN_PIM_LOAD_STRING load = nullptr;
};

// The reminder texts are message templates with the subject and a date.
TEST_F(PimResTest, ReminderTextsFormatWithSubjectAndDate) {
  EXPECT_FALSE(Text(2507).empty());
  for (UINT id : {2510u, 2511u}) {
    std::wstring templ = Text(id);
    ASSERT_NE(templ.find(L"%1"), std::wstring::npos) << id;
    ASSERT_NE(templ.find(L"%2"), std::wstring::npos) << id;
    DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(L"Pay rent"), reinterpret_cast<DWORD_PTR>(L"Friday, 6 March 2026")};
    wchar_t* out = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             templ.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&out), 0,
                             reinterpret_cast<va_list*>(args));
    ASSERT_GT(n, 0u) << id;
    std::wstring text(out);
    LocalFree(out);
    EXPECT_NE(text.find(L"Pay rent"), std::wstring::npos);
    EXPECT_NE(text.find(L"Friday, 6 March 2026"), std::wstring::npos);
  }
  EXPECT_NE(Text(2510), Text(2511));
}

// The default titles of new items are in the same table, read with LoadStringW.
TEST_F(PimResTest, DefaultTitlesAreThereForLoadString) {
  HMODULE data = LoadLibraryExW(L"pimres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  for (UINT id : {4209u, 4210u, 8006u}) {
    wchar_t buffer[256] = L"";
    EXPECT_GT(LoadStringW(data, id, buffer, 256), 0) << id;
    EXPECT_EQ(std::wstring(buffer), Text(id));
  }
  FreeLibrary(data);
}

TEST_F(PimResTest, MissingTextsAndBadBuffersGiveNothing) {
  EXPECT_EQ(Text(1), L"");
  wchar_t buffer[4] = L"xyz";
  EXPECT_EQ(load(2507, buffer, 0), 0);
  EXPECT_EQ(buffer[0], L'x') << "a size of 0 writes nothing";
  EXPECT_EQ(load(2507, nullptr, 10), 0);
  EXPECT_EQ(load(2507, buffer, 1), 0);
  EXPECT_EQ(buffer[0], 0);
  // A short buffer holds the start of the text, terminated.
  EXPECT_EQ(load(2507, buffer, 4), 3);
  EXPECT_EQ(std::wstring(buffer), Text(2507).substr(0, 3));
}

}  // namespace
