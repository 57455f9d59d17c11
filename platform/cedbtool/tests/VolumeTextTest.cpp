#include "platform/cedbtool/VolumeText.h"
#include "platform/tests/ByteMutator.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    for (const wchar_t* f : {L"pim.vol", L"ObjectStore.vol", L"a.vol", L"b.vol", L"c.vol", L"d.vol", L"e.vol", L"f.vol", L"g.vol", L"h.vol", L"i.vol"}) DeleteFileW((dir + L"\\" + f).c_str());
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

// Texts and bytes are kept as read and widened or decoded as each record is written, in
// room the next record uses again: every record comes back with its own values, whatever
// mix of plain and escaped texts, none, empty ones, letters beyond ASCII anywhere and blobs
// of any length it holds.
TEST(VolumeText, EveryRecordKeepsItsOwnTextsAndBytes) {
  CEGUID a = Mount(L"g.vol");
  const std::string text =
      "database \"Mix\" type=0x00000001\n"
      "record\n"
      "  0x0001001F \"plain\"\n"
      "  0x0002001F \"tab\\there\"\n"
      "  0x0003001F \"\"\n"
      "  0x00040041 hex:\n"
      "  0x00050041 hex:00FF10\n"
      "  0x0006001F \"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\"\n"
      "end\n"
      "record\n"
      "  0x0002001F \"\\\"first\\\" escaped\"\n"
      "  0x0001001F \"then plain, longer than the texts before it\"\n"
      "  0x00050041 hex:ABCDEF0123456789\n"
      "  0x00070040 0x0000000100000002\n"
      "end\n"
      // Letters beyond ASCII just before, at and after each sixteen-byte step of widening.
      "record\n"
      "  0x0001001F \"fifteen ascii a\xC3\xA9\"\n"
      "  0x0002001F \"sixteen ascii ab\xC3\xA9 then more\"\n"
      "  0x0003001F \"thirty-two plain bytes to start!\xF0\x9F\x98\x80 and after\"\n"
      "  0x0004001F \"\xC3\xA9 first, then thirty more plain bytes\"\n"
      "end\n"
      "record\n"
      "  0x0001001F \"last\"\n"
      "end\n";
  std::string error;
  ASSERT_TRUE(VolumeText::Load(a, text, &error)) << error;
  std::string dumped;
  ASSERT_TRUE(VolumeText::Dump(a, &dumped, &error)) << error;
  EXPECT_EQ(dumped, text);
  CeUnmountDBVol(&a);
}

// Numbers up to the edge of 64 bits in every base, with as many leading zeros as may be:
// each is read exactly or refused, never wrapped.
TEST(VolumeText, NumbersAtTheEdgesAreReadExactlyOrRefused) {
  struct Case { const char* type; const char* written; const char* read; };  // read null: refused
  const Case cases[] = {
      {"0015", "0xFFFFFFFFFFFFFFFF", "18446744073709551615"},
      {"0015", "0x0000000000000000FFFFFFFFFFFFFFFF", "18446744073709551615"},
      {"0015", "0x10000000000000000", nullptr},
      {"0015", "0x00000000000000010000000000000000", nullptr},
      {"0015", "18446744073709551615", "18446744073709551615"},
      {"0015", "18446744073709551616", nullptr},
      {"0015", "99999999999999999999", nullptr},
      {"0015", "01777777777777777777777", "18446744073709551615"},
      {"0015", "02000000000000000000000", nullptr},
      {"0015", "08", nullptr},
      {"0015", "0x", nullptr},
      {"0015", "-1", nullptr},
      {"0014", "-9223372036854775808", "-9223372036854775808"},
      {"0014", "-9223372036854775809", nullptr},
      {"0014", "9223372036854775807", "9223372036854775807"},
      {"0014", "+9223372036854775808", nullptr},
      {"0014", "-0x8000000000000000", "-9223372036854775808"},
      {"0013", "0xFFFFFFFF", "4294967295"},
      {"0003", "-0x10", "-16"},
  };
  CEGUID a = Mount(L"h.vol");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    std::string text = std::string("database \"N\"\nrecord\n  0x0001") + c.type + " " + c.written + "\nend\n";
    std::string error;
    if (!c.read) {
      EXPECT_FALSE(VolumeText::Check(text, &error));
      EXPECT_EQ(error, std::string("line 3: bad number ") + c.written);
      continue;
    }
    ASSERT_TRUE(VolumeText::Load(a, text, &error)) << error;
    std::string dumped;
    ASSERT_TRUE(VolumeText::Dump(a, &dumped, &error));
    EXPECT_NE(dumped.find(std::string("  0x0001") + c.type + " " + c.read + "\n"), std::string::npos) << dumped;
  }
  CeUnmountDBVol(&a);
}

// Bad text is refused with the line that is wrong, and the volume keeps what it held: a
// text that fails anywhere, in its reading or in its writing, changes nothing.
TEST(VolumeText, BadTextNamesTheLineAndChangesNothing) {
  CEGUID a = Mount(L"c.vol");
  std::string error;
  ASSERT_TRUE(VolumeText::Load(a, kSample, &error)) << error;
  std::string before;
  ASSERT_TRUE(VolumeText::Dump(a, &before, &error));
  // Each text first replaces "Categories" with a database of its own.
  const std::string replace = "database \"Categories\"\nrecord\n  0x0001001F \"new\"\nend\n";
  struct Case { std::string text; const char* error; };
  const Case cases[] = {
      {"record\n  0x00020003 1\nend\n", "line 1: record outside a database"},
      {"database \"D\"\nrecord\n  0x00020003 x1\nend\n", "line 3: bad number x1"},
      {"database \"D\"\nrecord\n  0x0002001F \"open\nend\n", "line 3: unterminated text"},
      {"database \"D\"\nrecord\n  0x00020003 1\n", "line 3: record without end"},
      {"bogus\n", "line 1: unknown line bogus"},
      {replace + "database \"D\"\nrecord\n  0x0002001F \"ends inside", "line 7: unterminated text"},
      {replace + "database \"D\"\nrecord\n  0x0002001F \"ends after \\", "line 7: unterminated text"},
      {replace + std::string("database \"D\0\"\n", 14), "line 5: NUL byte in the text"},
      {replace + std::string("record\n  0x00020003 1\0 2\nend\n", 29), "line 6: NUL byte in the text"},
      {replace + std::string("\0", 1), "line 5: NUL byte in the text"},
      {replace + "record\n  0x0002001F \"a\\x00b\"\nend\n", "line 6: NUL byte in the text"},
      {replace + "record\n  0x0002001F \"a\\xZZ\"\nend\n", "line 6: bad escape"},
      {replace + "record\n  0x00020041 hex:-1\nend\n", "line 6: bad hex -1"},
      // Read whole, refused by the volume while it is written: two records with one key
      // in a unique order.
      {"database \"Categories\"\nsort unique 0x0001001F:0x00000000\nrecord\n  0x0001001F \"x\"\nend\n"
       "record\n  0x0001001F \"x\"\nend\n",
       "line 6: cannot write record (error 183)"},
      // Refused by the volume early, wrong as text later: the text's fault is the one told,
      // as the whole text is read before anything is written.
      {"database \"Categories\"\nsort unique 0x0001001F:0x00000000\nrecord\n  0x0001001F \"x\"\nend\n"
       "record\n  0x0001001F \"x\"\nend\ndatabase \"D\"\nbogus\n",
       "line 10: unknown line bogus"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    error.clear();
    EXPECT_FALSE(VolumeText::Load(a, c.text, &error));
    EXPECT_EQ(error, c.error);
    std::string after;
    ASSERT_TRUE(VolumeText::Dump(a, &after, &error));
    EXPECT_EQ(after, before) << "the volume changed";
  }
}

std::string FileBytes(const std::wstring& path) {
  std::string out;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  char buf[4096];
  DWORD got;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(f);
  return out;
}

// Many databases, with no records, one and some hundreds, all come back as written; a
// fault at the very end of a long text leaves the volume file byte for byte as it was.
TEST(VolumeText, LongTextsLoadWholeOrNotAtAll) {
  CEGUID a = Mount(L"i.vol");
  std::string text;
  int next = 0;
  const int sizes[] = {0, 1, 255, 256, 257, 0, 700, 3};
  for (size_t d = 0; d < sizeof sizes / sizeof sizes[0]; ++d) {
    text += "database \"D" + std::to_string(d) + "\" type=0x00000000\n";
    for (int i = 0; i < sizes[d]; ++i, ++next)
      text += "record\n  0x00010003 " + std::to_string(next) + "\n  0x0002001F \"r\\t" + std::to_string(next) +
              "\"\nend\n";
  }
  std::string error;
  ASSERT_TRUE(VolumeText::Load(a, text, &error)) << error;
  std::string dumped;
  ASSERT_TRUE(VolumeText::Dump(a, &dumped, &error)) << error;
  EXPECT_EQ(dumped, text);

  const std::wstring file = root.dir + L"\\i.vol";
  const std::string before = FileBytes(file);
  ASSERT_FALSE(before.empty());
  struct Case { std::string tail; std::string error; };
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  const Case cases[] = {
      {"record\n  0x00010003 x\nend\n", "line " + std::to_string(lines + 2) + ": bad number x"},
      {"database \"Late\"\nrecord\n", "line " + std::to_string(lines + 2) + ": record without end"},
      {std::string("\0", 1), "line " + std::to_string(lines + 1) + ": NUL byte in the text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    error.clear();
    EXPECT_FALSE(VolumeText::Load(a, text + c.tail, &error));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(FileBytes(file), before) << "the volume file changed";
    std::string after;
    ASSERT_TRUE(VolumeText::Dump(a, &after, &error));
    EXPECT_EQ(after, text);
  }
  CeUnmountDBVol(&a);
}

// The reader looks for the end of a word or of a run of plain text sixteen bytes at a
// time: whatever ends it (a blank, a quote, an escape, a line break, a NUL) is found at
// every place within and across those steps.
TEST(VolumeText, WordsAndTextsEndWhereverTheyFallInTheScan) {
  CEGUID a = Mount(L"g.vol");
  for (size_t k = 0; k <= 40; ++k) {
    SCOPED_TRACE(k);
    const std::string run(k, 'a');
    // Line 3: a text with an escape k bytes in, and a number of k + 1 digits after k blanks.
    const std::string head = "database \"D\"\nrecord\n  0x0001001F ";
    const std::string good = head + "\"" + run + "\\\"" + run + "\"\n" + std::string(k, ' ') + "0x00020003 " +
                             std::string(k, '0') + "7\nend\n";
    std::string error;
    ASSERT_TRUE(VolumeText::Load(a, good, &error)) << error;
    std::string dumped;
    ASSERT_TRUE(VolumeText::Dump(a, &dumped, &error)) << error;
    EXPECT_EQ(dumped, "database \"D\" type=0x00000000\nrecord\n  0x0001001F \"" + run + "\\\"" + run +
                          "\"\n  0x00020003 7\nend\n");
    struct Case { std::string text; const char* error; };
    const Case cases[] = {
        {head + "\"" + run + std::string("\0", 1) + "\"\nend\n", "line 3: NUL byte in the text"},
        {head + "\"" + run + "\nend\n", "line 3: unterminated text"},
        {head + "\"" + run, "line 3: unterminated text"},
        {head + run + "x\nend\n", "line 3: text expected"},
        {head + "\"" + run + "\" " + run + "z\nend\n", "line 3: property value expected"},
        {head + "\"b\"\n  0x00020003 " + run + std::string("\0", 1) + "\nend\n", "line 4: NUL byte in the text"},
    };
    for (const Case& c : cases) {
      error.clear();
      EXPECT_FALSE(VolumeText::Check(c.text, &error)) << c.text;
      EXPECT_EQ(error, c.error) << c.text;
    }
  }
  CeUnmountDBVol(&a);
}

// Empty text, or only comments and blank lines, loads nothing and changes nothing.
TEST(VolumeText, EmptyTextLoadsNothing) {
  CEGUID a = Mount(L"d.vol");
  std::string error;
  ASSERT_TRUE(VolumeText::Load(a, kSample, &error)) << error;
  std::string before;
  ASSERT_TRUE(VolumeText::Dump(a, &before, &error));
  for (const char* text : {"", "\n\n", "# nothing\n", "   \t\r\n# x"}) {
    EXPECT_TRUE(VolumeText::Load(a, text, &error)) << error;
    std::string after;
    ASSERT_TRUE(VolumeText::Dump(a, &after, &error));
    EXPECT_EQ(after, before);
  }
  CeUnmountDBVol(&a);
}

// A loaded volume is one new file: its log holds the content once, not a write per record
// over the volume's history.
TEST(VolumeText, LoadWritesTheVolumeWhole) {
  CEGUID a = Mount(L"e.vol");
  std::string error;
  std::string text = "database \"Many\"\n";
  for (int i = 0; i < 200; ++i) text += "record\n  0x00010003 " + std::to_string(i) + "\nend\n";
  for (int pass = 0; pass < 3; ++pass) ASSERT_TRUE(VolumeText::Load(a, text, &error)) << error;
  HANDLE f = CreateFileW((root.dir + L"\\e.vol").c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  GetFileSizeEx(f, &size);
  CloseHandle(f);
  // 200 records of 19 bytes plus their entry headers, about 5.5 KB; three loads record
  // by record left three times that, and the deleted databases.
  EXPECT_LT(size.QuadPart, 9000);
  std::string dumped;
  ASSERT_TRUE(VolumeText::Dump(a, &dumped, &error));
  size_t records = 0;
  for (size_t at = dumped.find("record\n"); at != std::string::npos; at = dumped.find("record\n", at + 1)) ++records;
  EXPECT_EQ(records, 200u);
  CeUnmountDBVol(&a);
}

// The reader against any bytes: seeded changes of a good text end, as a text or an error,
// never in a hang or a crash; loading one that is refused changes nothing.
TEST(VolumeText, FuzzedTextIsReadOrRefused) {
  const std::string seed = std::string(kSample) + "record\n  0x00080013 \"\\x41\\t\\\\\"\nend\n";
  const std::vector<std::string> specials = fixtures::ByteMutator::EachUnit(std::string("\0\"\\\n x#:-0", 10));
  fixtures::ByteMutator mutator(77);
  auto mutate = [&](const std::string& text) { return mutator.Edit(text, 4, specials); };
  for (int round = 0; round < 5000; ++round) {
    std::string text = mutate(seed);
    std::string error;
    if (!VolumeText::Check(text, &error)) {
      EXPECT_FALSE(error.empty()) << text;
    }
  }
  CEGUID a = Mount(L"f.vol");
  std::string error;
  ASSERT_TRUE(VolumeText::Load(a, kSample, &error));
  std::string before;
  ASSERT_TRUE(VolumeText::Dump(a, &before, &error));
  for (int round = 0; round < 300; ++round) {
    std::string text = mutate(seed);
    error.clear();
    if (VolumeText::Load(a, text, &error)) {
      before.clear();
      ASSERT_TRUE(VolumeText::Dump(a, &before, &error));
      continue;
    }
    EXPECT_FALSE(error.empty());
    std::string after;
    ASSERT_TRUE(VolumeText::Dump(a, &after, &error));
    ASSERT_EQ(after, before) << "a refused text changed the volume: " << text;
  }
  CeUnmountDBVol(&a);
}

}  // namespace
