#include "graphics/IniFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A file of the test's own, removed afterwards.
class CTempIni {
 public:
  explicit CTempIni(const std::string& bytes) {
    WCHAR folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    m_path = std::wstring(folder) + L"IniFileTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++s_count) + L".ini";
    FILE* file = _wfopen(m_path.c_str(), L"wb");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }
  ~CTempIni() { DeleteFileW(m_path.c_str()); }
  LPCWSTR Path() const { return m_path.c_str(); }

 private:
  static int s_count;
  std::wstring m_path;
};
int CTempIni::s_count = 0;

std::wstring Ansi(const char* bytes) {
  WCHAR text[64] = L"";
  MultiByteToWideChar(CP_ACP, 0, bytes, -1, text, 64);
  return text;
}

const char kFile[] =
    "top=root value\n"
    "  ; comment=1\n"
    ";x=2\n"
    "a=1\n"
    "ab=1\n"
    "=nokey\n"
    "no equals here\n"
    "[Main]\n"
    "Name=Value\n"
    "Name = Spaced\n"
    "   Indented=yes   \n"
    "empty=\n"
    "twice=first\n"
    "twice=second\n"
    "Case=upper\n"
    "x==y\n"
    "[x]\n"
    "short=goes to Main\n"
    "[Other]\r\n"
    "Name=other\r\n"
    "utf=\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n"
    "ansi=\xE9t\xE9\n"
    "[main]\n"
    "Name=second main\n";

TEST(IniFile, ParsesLinesAndSkipsMalformedOnes) {
  CTempIni file(kFile);
  CIniFile ini(file.Path());
  ASSERT_TRUE(ini.HasFile());
  EXPECT_EQ(ini.GetName(), nullptr);
  ASSERT_EQ(ini.GetSectionCount(), 3);
  EXPECT_STREQ(ini.GetSection(0)->GetName(), L"Main");
  EXPECT_STREQ(ini.GetSectionAt(1)->GetName(), L"Other");
  EXPECT_STREQ(ini.GetSection(2)->GetName(), L"main");
  EXPECT_EQ(ini.GetSection(3), nullptr);
  EXPECT_EQ(ini.FindSection(L"MAIN"), ini.GetSection(0));
  EXPECT_EQ(ini.FindSection(L"missing"), nullptr);
  EXPECT_EQ(ini.GetSection(0)->GetParent(), &ini);

  struct Case {
    LPCWSTR section;  // null: the root
    LPCWSTR key;
    bool found;
    std::wstring value;
  } const cases[] = {
      {nullptr, L"top", true, L"root value"},
      {nullptr, L"a", false, L""},         // three characters: skipped
      {nullptr, L"ab", true, L"1"},
      {nullptr, L" ; comment", false, L""},
      {nullptr, L";x", false, L""},
      {nullptr, L"", false, L""},          // "=" at the start
      {L"Main", L"Name", true, L"Value"},
      {L"Main", L"Name ", true, L" Spaced"},
      {L"Main", L"Indented", true, L"yes"},
      {L"Main", L"empty", true, L""},
      {L"Main", L"twice", true, L"second"},
      {L"Main", L"case", false, L""},      // keys compare exactly
      {L"Main", L"x", true, L"=y"},
      {L"Main", L"short", true, L"goes to Main"},  // "[x]" is too short for a section
      {L"Other", L"Name", true, L"other"},
      {L"Other", L"utf", true, L"\x00E9t\x00E9"},
      {L"Other", L"ansi", true, Ansi("\xE9t\xE9")},
      {L"main", L"Name", true, L"Value"},  // the first section of the name answers
      {nullptr, L"Name", false, L""},
  };
  for (const Case& c : cases) {
    const CIniFile* node = c.section ? ini.FindSection(c.section) : &ini;
    ASSERT_NE(node, nullptr) << c.section;
    CString value = L"unchanged";
    EXPECT_EQ(!!node->GetValue(c.key, value), c.found) << (c.section ? c.section : L"root") << " " << c.key;
    EXPECT_EQ(std::wstring(value), c.found ? c.value : L"unchanged") << c.key;
  }
  CString value;
  EXPECT_TRUE(ini.GetSection(2)->GetString(L"Name", value));
  EXPECT_STREQ(value, L"second main");
}

TEST(IniFile, TypedLookups) {
  CTempIni file(
      "[Typed]\nb1=true\nb2=FALSE\nb3=TrUe\nb4=yes\nb5=1\nn1=42\nn2=-7x\nn3=abc\nn4=\nd1=2.5\nd2=1e3\n");
  CIniFile ini(file.Path());
  const CIniFile* t = ini.FindSection(L"typed");
  ASSERT_NE(t, nullptr);
  struct BoolCase {
    LPCWSTR key;
    bool ok;
    BYTE value;
  } const bools[] = {{L"b1", true, 1}, {L"b2", true, 0}, {L"b3", true, 1},
                     {L"b4", false, 9}, {L"b5", false, 9}, {L"none", false, 9}};
  for (const BoolCase& c : bools) {
    BYTE value = 9;
    EXPECT_EQ(!!t->GetBool(c.key, value), c.ok) << c.key;
    EXPECT_EQ(value, c.value) << c.key;
  }
  struct IntCase {
    LPCWSTR key;
    bool ok;
    int value;
  } const ints[] = {{L"n1", true, 42}, {L"n2", true, -7}, {L"n3", false, 5}, {L"n4", false, 5}, {L"none", false, 5}};
  for (const IntCase& c : ints) {
    int value = 5;
    EXPECT_EQ(!!t->GetInt(c.key, value), c.ok) << c.key;
    EXPECT_EQ(value, c.value) << c.key;
  }
  double value = 0;
  EXPECT_TRUE(t->GetDouble(L"d1", value));
  EXPECT_DOUBLE_EQ(value, 2.5);
  EXPECT_TRUE(t->GetDouble(L"d2", value));
  EXPECT_DOUBLE_EQ(value, 1000.0);
  EXPECT_FALSE(t->GetDouble(L"n3", value));
  EXPECT_DOUBLE_EQ(value, 1000.0);
}

TEST(IniFile, MissingFileLeavesAnEmptyTree) {
  CIniFile ini;
  EXPECT_FALSE(ini.Load(L"C:\\no\\such\\folder\\settings.ini"));
  EXPECT_FALSE(ini.HasFile());
  EXPECT_EQ(ini.GetSectionCount(), 0);
  CString value;
  EXPECT_FALSE(ini.GetValue(L"a", value));
  EXPECT_FALSE(ini.Load(nullptr));
}

TEST(IniFile, ALongLineStaysOneLine) {
  // Longer than any line buffer: its tail must not come back as a key of its own.
  const std::string tail(1500, 'x');
  CTempIni file("[Long]\nlong=" + tail + "=tail\nnext=1\n");
  CIniFile ini(file.Path());
  const CIniFile* s = ini.FindSection(L"Long");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->GetValueCount(), 2);
  CString value;
  ASSERT_TRUE(s->GetValue(L"long", value));
  EXPECT_EQ(value.GetLength(), 1505);
  EXPECT_TRUE(s->GetValue(L"next", value));
}

TEST(IniFile, ReloadReplacesTheTree) {
  CTempIni first("[First]\nkey=1\n");
  CTempIni second("[Second]\nkey=2\n");
  CIniFile ini(first.Path());
  ASSERT_TRUE(ini.Load(second.Path()));
  ASSERT_EQ(ini.GetSectionCount(), 1);
  EXPECT_STREQ(ini.GetSection(0)->GetName(), L"Second");
  EXPECT_STREQ(ini.GetFileName(), second.Path());
}

}  // namespace

namespace {

// A file written by the system's own profile writer: sections, keys and values as
// another program leaves them.
TEST(IniFile, ReadsWhatTheSystemsProfileWriterWrote) {
  CTempIni ini("");  // an existing empty file: the writer keeps to 8-bit text
  ASSERT_TRUE(WritePrivateProfileStringW(L"Account", L"Server", L"mail.example.org", ini.Path()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"Account", L"UseSsl", L"True", ini.Path()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"Folders", L"Inbox", L"\\Mail\\Inbox", ini.Path()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"Account", L"Server", L"imap.example.org", ini.Path()));
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.Path());  // flushes the writer's cache

  CIniFile file(ini.Path());
  ASSERT_TRUE(file.HasFile());
  ASSERT_EQ(file.GetSectionCount(), 2);
  CIniFile* account = file.FindSection(L"account");
  ASSERT_NE(account, nullptr);
  CString value;
  ASSERT_TRUE(account->GetString(L"Server", value));
  EXPECT_STREQ(value, L"imap.example.org");
  BYTE ssl = 7;
  EXPECT_TRUE(account->GetBool(L"UseSsl", ssl));
  EXPECT_EQ(ssl, 1);
  CIniFile* folders = file.FindSection(L"Folders");
  ASSERT_NE(folders, nullptr);
  ASSERT_TRUE(folders->GetString(L"Inbox", value));
  EXPECT_STREQ(value, L"\\Mail\\Inbox");
}

// Seeded mutations of a file with every kind of line: the reader takes any bytes, and
// what it keeps is consistent: named sections, keys that are found again, no key
// without characters before its "=".
TEST(IniFile, MutatedFilesReadSafely) {
  const std::string seed = std::string(kFile) + std::string(1500, 'L') + "=long\n[" + std::string(40, 'S') + "]\n";
  const char alphabet[] = {'[', ']', '=', ';', ' ', '\n', '\r', '\0', '\xEF', '\xBB', '\xBF', '\xC3', 'a'};
  unsigned state = 4242u;
  auto next = [&]() { return (state = state * 1103515245u + 12345u) >> 8; };
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = seed;
    for (int e = 1 + next() % 6; e > 0; --e) {
      const unsigned r = next();
      const size_t at = bytes.empty() ? 0 : r % bytes.size();
      switch ((r >> 14) % 4) {
        case 0: if (!bytes.empty()) bytes[at] = alphabet[(r >> 18) % sizeof alphabet]; break;
        case 1: bytes.insert(at, 1 + (r >> 18) % 3, alphabet[(r >> 20) % sizeof alphabet]); break;
        case 2: bytes.erase(at, 1 + (r >> 18) % 8); break;
        default: bytes.resize(at); break;
      }
    }
    CTempIni ini(bytes);
    CIniFile file(ini.Path());
    ASSERT_TRUE(file.HasFile()) << "round " << round;
    std::vector<CIniFile*> nodes = {&file};
    for (int i = 0; i < file.GetSectionCount(); ++i) {
      CIniFile* section = file.GetSection(i);
      ASSERT_NE(section, nullptr);
      ASSERT_NE(section->GetName(), nullptr);
      EXPECT_EQ(section->GetSectionCount(), 0);
      nodes.push_back(section);
    }
    EXPECT_EQ(file.GetSection(file.GetSectionCount()), nullptr);
    for (CIniFile* node : nodes) {
      CString value;
      BYTE flag = 9;
      node->GetBool(L"Name", flag);
      EXPECT_TRUE(flag == 0 || flag == 1 || flag == 9);
      node->GetString(L"utf", value);
    }
    EXPECT_EQ(file.FindSection(L"no such section"), nullptr);
  }
}

}  // namespace

namespace {

// A value is UTF-8 only when a whole byte-order mark opens it and something follows
// the mark; otherwise it stays as the system code page reads it.
TEST(IniFile, OnlyAMarkFollowedByTextMakesAValueUtf8) {
  struct Case {
    const char* line;
    std::wstring value;
  };
  const Case cases[] = {
      {"key=\xEF\xBB\xBF\xC3\xA9t\xC3\xA9", L"\x00E9t\x00E9"},
      {"key=\xEF\xBB\xBF", Ansi("\xEF\xBB\xBF")},
      {"key=\xEF\xBBx", Ansi("\xEF\xBBx")},
      {"key= \xEF\xBB\xBFx", Ansi(" \xEF\xBB\xBFx")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CTempIni ini(std::string(c.line) + "\n");
    CIniFile file(ini.Path());
    CString value;
    ASSERT_TRUE(file.GetString(L"key", value));
    EXPECT_EQ(std::wstring(value.GetString()), c.value);
  }
}

}  // namespace
