#include "platform/cedbtool/VolumeText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every test program here has its own device root.
struct Root {
  Root() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir = std::wstring(temp) + L"cedbtooltest-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    SetEnvironmentVariableW(L"CEDEVICE_ROOT", dir.c_str());
  }
  ~Root() {
    for (const wchar_t* f : {L"pim.vol", L"ObjectStore.vol", L"a.vol", L"b.vol", L"c.vol"}) DeleteFileW((dir + L"\\" + f).c_str());
    RemoveDirectoryW(dir.c_str());
  }
  std::wstring dir;
} root;

CEGUID Mount(const wchar_t* name) {
  CEGUID g{};
  EXPECT_TRUE(CeMountDBVol(&g, const_cast<LPWSTR>(name), CREATE_ALWAYS));
  return g;
}

const char kSample[] =
    "# sample\n"
    "database \"Categories\" type=0x20010002\n"
    "sort unique 0x0001001F:0x00000002\n"
    "sort 0x00020003:0x00000001 0x0001001F:0x00000000\n"
    "record\n"
    "  0x0001001F \"Caf\xC3\xA9 \\\"quoted\\\"\\n\"\n"
    "  0x00020003 -5\n"
    "  0x00030013 4000000000\n"
    "  0x00040041 hex:0102AB\n"
    "  0x00050005 2.5\n"
    "  0x00060040 0x01D0000011223344\n"
    "  0x00070002 -3\n"
    "end\n"
    "record\n"
    "  0x0001001F \"Business\"\n"
    "end\n"
    "database \"Empty\" type=0x00000000\n";

// The text loads into a volume and dumps back the same, so sample contents round-trip.
TEST(VolumeText, LoadThenDumpGivesTheSameText) {
  CEGUID a = Mount(L"a.vol");
  std::string error;
  ASSERT_TRUE(VolumeText::Load(a, kSample, &error)) << error;
  std::string dumped;
  ASSERT_TRUE(VolumeText::Dump(a, &dumped, &error)) << error;
  // Records come out in the first sort order ("Business" before "Café").
  EXPECT_NE(dumped.find("database \"Categories\" type=0x20010002\nsort unique 0x0001001F:0x00000002\n"
                        "sort 0x00020003:0x00000001 0x0001001F:0x00000000\nrecord\n  0x0001001F \"Business\"\nend\n"),
            std::string::npos) << dumped;
  EXPECT_NE(dumped.find("  0x0001001F \"Caf\xC3\xA9 \\\"quoted\\\"\\n\"\n"), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("  0x00030013 4000000000\n  0x00040041 hex:0102AB\n  0x00050005 2.5\n"
                        "  0x00060040 0x01D0000011223344\n  0x00070002 -3\n"), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("database \"Empty\" type=0x00000000\n"), std::string::npos);

  CEGUID b = Mount(L"b.vol");
  ASSERT_TRUE(VolumeText::Load(b, dumped, &error)) << error;
  std::string again;
  ASSERT_TRUE(VolumeText::Dump(b, &again, &error));
  EXPECT_EQ(again, dumped);
  // Loading again replaces, not duplicates.
  ASSERT_TRUE(VolumeText::Load(b, dumped, &error)) << error;
  again.clear();
  ASSERT_TRUE(VolumeText::Dump(b, &again, &error));
  EXPECT_EQ(again, dumped);
  CeUnmountDBVol(&a);
  CeUnmountDBVol(&b);
}

// Bad text is refused with the line that is wrong.
TEST(VolumeText, BadTextNamesTheLine) {
  CEGUID a = Mount(L"c.vol");
  struct Case { const char* text; const char* error; };
  const Case cases[] = {
      {"record\n  0x00020003 1\nend\n", "line 1: record outside a database"},
      {"database \"D\"\nrecord\n  0x00020003 x1\nend\n", "line 3: bad number x1"},
      {"database \"D\"\nrecord\n  0x0002001F \"open\nend\n", "line 3: unterminated text"},
      {"database \"D\"\nrecord\n  0x00020003 1\n", "line 3: record without end"},
      {"bogus\n", "line 1: unknown line bogus"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(VolumeText::Load(a, c.text, &error)) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
