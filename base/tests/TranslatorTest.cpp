#include "base/Translator.h"

#include "TranslatorFixtureIds.h"
#include "base/tests/MenuReader.h"
#include "platform/tests/ByteMutator.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// A scratch folder of this test program's own, removed afterwards.
class TranslatorTest : public ::testing::Test {
protected:
  void SetUp() override {
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_folder = std::wstring(temp) + L"base_translator_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_folder.c_str(), nullptr);
    m_texts = LoadLibraryExW(L"BaseTestTexts.Dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_texts, nullptr);
  }
  void TearDown() override {
    for (const auto& file : m_files) DeleteFileW(file.c_str());
    RemoveDirectoryW(m_folder.c_str());
    if (m_texts) FreeLibrary(m_texts);
  }

  std::wstring Path(const wchar_t* name) {
    m_files.push_back(m_folder + L"\\" + name);
    return m_files.back();
  }

  std::wstring WriteBytes(const wchar_t* name, const std::string& bytes) {
    std::wstring path = Path(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

  std::wstring WriteUtf16(const wchar_t* name, const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return WriteBytes(name, bytes);
  }

  static std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
  }

  // The lines of a written template, without their "|" CR LF endings.
  static std::set<std::wstring> TemplateLines(const std::string& bytes, int* lineCount) {
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    std::set<std::wstring> lines;
    *lineCount = 0;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find(L"|\r\n", at);
      if (end == std::wstring::npos) break;
      lines.insert(text.substr(at, end - at));
      ++*lineCount;
      at = end + 3;
    }
    return lines;
  }

  std::wstring m_folder;
  std::vector<std::wstring> m_files;
  HINSTANCE m_texts = nullptr;
};

struct Pair {
  const wchar_t* source;
  const wchar_t* translation;
};

TEST_F(TranslatorTest, LanguageFileLineForms) {
  struct Case {
    const char* name;
    std::wstring content;
    std::vector<Pair> pairs;
  } cases[] = {
      {"CR LF", L"Open|\x00D6" L"ffnen\r\nSave|Sichern\r\n", {{L"Open", L"\x00D6" L"ffnen"}, {L"Save", L"Sichern"}}},
      {"LF, CR and blank lines", L"\n\nA|1\nB|2\r\r\rC|3", {{L"A", L"1"}, {L"B", L"2"}, {L"C", L"3"}}},
      {"escapes", L"A\\|B|C\\nD\\rE\\\\F\\x", {{L"A|B", L"C\nD\rE\\Fx"}}},
      {"empty sides and missing separators", L"X|\r\n|Y\r\nZ\r\nK|V", {{L"K", L"V"}}},
      {"second bar ends the translation", L"K|V|rest\nL|W", {{L"K", L"V"}, {L"L", L"W"}}},
      {"a later line wins", L"K|first\nK|second", {{L"K", L"second"}}},
      {"backslash last in the file", L"K|V\\", {{L"K", L"V"}}},
  };
  for (const Case& c : cases) {
    CTranslator translator;
    ASSERT_TRUE(translator.LoadTextFile(WriteUtf16(L"forms.txt", c.content).c_str())) << c.name;
    EXPECT_EQ(translator.GetMap().GetCount(), static_cast<int>(c.pairs.size())) << c.name;
    for (const Pair& p : c.pairs) EXPECT_STREQ(translator.Translate(p.source), p.translation) << c.name;
  }
}

TEST_F(TranslatorTest, AnsiFileLoadsTheSameTableAsItsUtf16Form) {
  std::wstring text = L"Caf\x00E9|Kaffee\r\nNa\x00EFve|Arglos\r\n";
  char ansi[64];
  BOOL lossy = FALSE;
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof(ansi), nullptr, &lossy);
  if (lossy) GTEST_SKIP() << "the system code page lacks these characters";
  CTranslator fromAnsi, fromUtf16;
  ASSERT_TRUE(fromAnsi.LoadTextFile(WriteBytes(L"ansi.txt", std::string(ansi, length - 1)).c_str()));
  ASSERT_TRUE(fromUtf16.LoadTextFile(WriteUtf16(L"utf16.txt", text).c_str()));
  EXPECT_EQ(fromAnsi.GetMap().GetCount(), 2);
  EXPECT_STREQ(fromAnsi.Translate(L"Caf\x00E9"), L"Kaffee");
  EXPECT_STREQ(fromAnsi.Translate(L"Na\x00EFve"), fromUtf16.Translate(L"Na\x00EFve"));
}

// Language files written by another encoder (iconv): UTF-16 with its byte-order mark,
// and Windows-1252 without one.
TEST_F(TranslatorTest, ReadsLanguageFilesOfAnotherEncoder) {
  const unsigned char utf16[] = {
      0xff, 0xfe, 0x4f, 0x00, 0x70, 0x00, 0x65, 0x00, 0x6e, 0x00, 0x7c, 0x00, 0xd6, 0x00, 0x66, 0x00, 0x66, 0x00,
      0x6e, 0x00, 0x65, 0x00, 0x6e, 0x00, 0x0d, 0x00, 0x0a, 0x00, 0x41, 0x00, 0x5c, 0x00, 0x7c, 0x00, 0x42, 0x00,
      0x7c, 0x00, 0x43, 0x00, 0x5c, 0x00, 0x6e, 0x00, 0x44, 0x00, 0x0d, 0x00, 0x0a, 0x00, 0x0d, 0x00, 0x0a, 0x00,
      0x53, 0x00, 0x61, 0x00, 0x76, 0x00, 0x65, 0x00, 0x7c, 0x00, 0x53, 0x00, 0x69, 0x00, 0x63, 0x00, 0x68, 0x00,
      0x65, 0x00, 0x72, 0x00, 0x6e, 0x00};
  CTranslator translator;
  ASSERT_TRUE(translator.LoadTextFile(
      WriteBytes(L"iconv16.txt", std::string(reinterpret_cast<const char*>(utf16), sizeof utf16)).c_str()));
  EXPECT_EQ(translator.GetMap().GetCount(), 3);
  EXPECT_STREQ(translator.Translate(L"Open"), L"\x00D6" L"ffnen");
  EXPECT_STREQ(translator.Translate(L"A|B"), L"C\nD");
  EXPECT_STREQ(translator.Translate(L"Save"), L"Sichern");

  const unsigned char cp1252[] = {0x43, 0x61, 0x66, 0xe9, 0x7c, 0x4b, 0x61, 0x66, 0x66, 0x65, 0x65, 0x0d, 0x0a, 0x4e,
                                  0x61, 0xef, 0x76, 0x65, 0x7c, 0x41, 0x72, 0x67, 0x6c, 0x6f, 0x73, 0x0d, 0x0a};
  if (GetACP() != 1252) GTEST_SKIP() << "the system code page is not Windows-1252";
  CTranslator ansi;
  ASSERT_TRUE(ansi.LoadTextFile(
      WriteBytes(L"iconv1252.txt", std::string(reinterpret_cast<const char*>(cp1252), sizeof cp1252)).c_str()));
  EXPECT_EQ(ansi.GetMap().GetCount(), 2);
  EXPECT_STREQ(ansi.Translate(L"Caf\x00E9"), L"Kaffee");
  EXPECT_STREQ(ansi.Translate(L"Na\x00EFve"), L"Arglos");
}

// Any bytes load without harm: seeded mutations of a UTF-16 and an ANSI file. A file
// reads whole unless it is only the byte-order mark, no pair has an empty side, and
// there are never more pairs than separators.
TEST_F(TranslatorTest, MutatedLanguageFilesLoadSafely) {
  std::string utf16 = "\xFF\xFE";
  const std::wstring text = L"Open|\x00D6" L"ffnen\r\nA\\|B|C\\nD\\\\\r\n\nSave|Sichern|x\rK|V\\";
  utf16.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  const std::string seeds[] = {utf16, "Open|Auf\r\nA\\|B|C\\nD\nSave|\r|Y\nK|V\\"};
  const std::vector<std::string> alphabet =
      fixtures::ByteMutator::EachUnit(std::string("|\\\r\nnA\0\xFF\xFE\xE9", 10));
  fixtures::ByteMutator mutator(20261210u);
  const std::wstring path = Path(L"mutated.txt");
  for (int round = 0; round < 2000; ++round) {
    const std::string bytes = mutator.Edit(seeds[round % 2], 4, alphabet);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);

    CTranslator translator;
    const BOOL loaded = translator.LoadTextFile(path.c_str());
    ASSERT_EQ(loaded, bytes != "\xFF\xFE") << "round " << round;
    const bool wide = bytes.size() >= 3 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    int bars = 0;
    if (wide) {
      for (size_t i = 2; i + 1 < bytes.size(); i += 2) bars += bytes[i] == '|' && bytes[i + 1] == 0;
    } else {
      for (char c : bytes) bars += c == '|';
    }
    EXPECT_LE(translator.GetMap().GetCount(), bars) << "round " << round;
    for (LPCWSTR source : {L"Open", L"Save", L"K", L"A|B", L""}) {
      LPCWSTR shown = translator.Translate(source);
      ASSERT_NE(shown, nullptr);
      if (*source) {
        EXPECT_NE(*shown, L'\0') << "round " << round;
      }
    }
  }
}

TEST_F(TranslatorTest, MalformedOrEmptyFilesLeaveTheTextsUntranslated) {
  struct Case {
    const char* name;
    std::string bytes;
    BOOL result;
  } cases[] = {
      {"empty file", "", TRUE},
      {"one byte", "x", TRUE},
      {"only the byte-order mark", "\xFF\xFE", FALSE},
      {"mark and an odd byte", "\xFF\xFEO", TRUE},
      {"zeros", std::string(9, '\0'), TRUE},
      {"UTF-16 zeros and bars", std::string("\xFF\xFE|\0|\0\0\0|\0\\\0", 12), TRUE},
      {"bars only", "||||\r\n|", TRUE},
      {"a lone backslash", "\\", TRUE},
      {"binary noise", std::string("\x01\x80\xFE\x7F\x00\x0D\x5C", 7), TRUE},
  };
  for (const Case& c : cases) {
    CTranslator translator;
    translator.LoadTextFile(WriteUtf16(L"good.txt", L"Open|Auf").c_str());
    EXPECT_EQ(translator.LoadTextFile(WriteBytes(L"bad.txt", c.bytes).c_str()), c.result) << c.name;
    EXPECT_EQ(translator.GetMap().GetCount(), 0) << c.name;
    EXPECT_STREQ(translator.Translate(L"Open"), L"Open") << c.name;
    WCHAR buffer[32];
    EXPECT_EQ(translator.LoadString(m_texts, IDS_FX_OPEN, buffer, 32), 4) << c.name;
    EXPECT_STREQ(buffer, L"Open") << c.name;
  }
}

TEST_F(TranslatorTest, TranslatesByTextWhateverTheIdentifier) {
  CTranslator translator;
  ASSERT_TRUE(translator.LoadTextFile(WriteUtf16(L"lang.txt", L"Open|Offen\nOffen|Zu\nSave|Bewahren").c_str()));
  WCHAR buffer[64];
  EXPECT_EQ(translator.LoadString(m_texts, IDS_FX_OPEN, buffer, 64), 5);
  EXPECT_STREQ(buffer, L"Offen");
  EXPECT_EQ(translator.LoadString(m_texts, IDS_FX_OPEN_SPACE, buffer, 64), 5);
  EXPECT_STREQ(buffer, L"Open ");
  EXPECT_EQ(translator.LoadString(m_texts, 4242, buffer, 64), 0);
  EXPECT_STREQ(buffer, L"");
  // Cut to the buffer, the whole source looked up: the length is what the buffer holds.
  EXPECT_EQ(translator.LoadString(m_texts, IDS_FX_SAVE, buffer, 4), 3);
  EXPECT_STREQ(buffer, L"Bew");

  EXPECT_STREQ(translator.Translate(nullptr), L"");
  EXPECT_STREQ(translator.Translate(L""), L"");
  EXPECT_STREQ(translator.Translate(L"Other"), L"Other");
  EXPECT_EQ(translator.Translate(L"Open", nullptr, 5), 0);
  EXPECT_EQ(translator.Translate(L"Open", buffer, 0), 0);
  EXPECT_EQ(translator.Translate(L"Open", buffer, 1), 0);
  EXPECT_STREQ(buffer, L"");
  EXPECT_EQ(translator.Translate(nullptr, buffer, 10), 0);
}

TEST_F(TranslatorTest, ProcessTranslatorUsesTheResourceInstance) {
  CTranslator& translator = GetTranslator();
  ASSERT_TRUE(translator.LoadTextFile(WriteUtf16(L"process.txt", L"Save|Keep").c_str()));
  HINSTANCE previous = GetModule().SetResourceInstance(m_texts);
  CString text;
  EXPECT_EQ(LoadTranslatedString(text, IDS_FX_SAVE), 4);
  EXPECT_EQ(text, L"Keep");
  EXPECT_EQ(LoadUIString(text, IDS_FX_OPEN), 4);
  EXPECT_EQ(text, L"Open");
  GetModule().SetResourceInstance(previous);
  TranslateText(L"Save", text);
  EXPECT_EQ(text, L"Keep");
  WCHAR buffer[8];
  EXPECT_EQ(TranslateTextTo(L"Save", buffer, 8), 4);
  translator.Clear();
  TranslateText(translator, text, L"Save");
  EXPECT_EQ(text, L"Save");
}

TEST_F(TranslatorTest, DialogTextsAndComboItemsKeepData) {
  CTranslator translator;
  ASSERT_TRUE(translator.LoadTextFile(
      WriteUtf16(L"dialog.txt", L"Fixture dialog|Probe\nLabel|Etikett\nOpen|Auf\nRed|Rot\nGreen|Gr\x00FCn")
          .c_str()));
  HWND dialog = translator.CreateDialogFromResource(m_texts, IDD_FX_DIALOG, nullptr);
  ASSERT_NE(dialog, nullptr);
  HWND combo = GetDlgItem(dialog, IDC_FX_COMBO);
  const std::pair<const wchar_t*, LPARAM> items[] = {{L"Red", 11}, {L"Green", 22}, {L"Blue", 33}};
  for (const auto& item : items) {
    LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.first));
    SendMessageW(combo, CB_SETITEMDATA, at, item.second);
  }
  SendMessageW(combo, CB_SETCURSEL, 1, 0);

  translator.TranslateDialog(dialog);

  WCHAR text[64];
  GetWindowTextW(dialog, text, 64);
  EXPECT_STREQ(text, L"Probe");
  GetDlgItemTextW(dialog, IDC_FX_LABEL, text, 64);
  EXPECT_STREQ(text, L"Etikett");
  GetDlgItemTextW(dialog, IDC_FX_BUTTON, text, 64);
  EXPECT_STREQ(text, L"Auf");
  const std::pair<const wchar_t*, LPARAM> expected[] = {{L"Rot", 11}, {L"Gr\x00FCn", 22}, {L"Blue", 33}};
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i) {
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i].first);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, i, 0), expected[i].second) << i;
  }
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  DestroyWindow(dialog);
  translator.TranslateDialog(dialog);  // gone: nothing happens
}

TEST_F(TranslatorTest, MenusTranslateWithTheirSubmenus) {
  CTranslator translator;
  ASSERT_TRUE(translator.LoadTextFile(WriteUtf16(L"menu.txt", L"File|Datei\nExit|Ende").c_str()));
  HMENU menu = LoadMenuW(m_texts, MAKEINTRESOURCEW(IDM_FX_MENU));
  ASSERT_NE(menu, nullptr);
  translator.TranslateMenu(menu);
  const std::vector<MenuEntry> entries = ReadMenu(menu);
  ASSERT_GE(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, L"Datei");
  EXPECT_EQ(entries[1].text, L"Help");
  ASSERT_GE(entries[0].sub.size(), 3u);
  EXPECT_EQ(entries[0].sub[2].text, L"Ende");
  DestroyMenu(menu);
}

TEST_F(TranslatorTest, MissingFileGetsATemplateOfEveryTextOnce) {
  CTranslator translator;
  translator.SetModule(m_texts);
  std::wstring path = Path(L"QelTarvo.txt");
  ASSERT_TRUE(translator.LoadTextFile(path.c_str()));
  EXPECT_EQ(translator.GetMap().GetCount(), 0);

  std::string bytes = ReadBytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  int lineCount = 0;
  std::set<std::wstring> lines = TemplateLines(bytes, &lineCount);
  const std::set<std::wstring> expected = {
      L"Open",  L"Open ",  L"Save",  L"Two\\nlines\\|and\\\\slash", L"A rather long text",
      L"High text", L"Fixture dialog", L"Label", L"Red", L"Green", L"Blu", L"Plain", L"File",
      L"Exit",  L"Help"};
  EXPECT_EQ(lines, expected);  // framework strings and skipped companion records stay out
  EXPECT_EQ(lineCount, static_cast<int>(expected.size()));

  // The template itself loads to an empty table.
  EXPECT_TRUE(translator.LoadTextFile(path.c_str()));
  EXPECT_EQ(translator.GetMap().GetCount(), 0);
}

// Fills the fixture dialog's combo box the way a dialog's own code would.
class FillingTranslator : public CTranslator {
public:
  HWND CreateDialogFromResource(HINSTANCE instance, UINT id, HWND parent) override {
    HWND dialog = CTranslator::CreateDialogFromResource(instance, id, parent);
    for (const wchar_t* item : {L"Magenta", L"Cyan"})
      SendDlgItemMessageW(dialog, IDC_FX_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    return dialog;
  }
};

TEST_F(TranslatorTest, TemplateTakesComboItemsWhateverTheClassNameCase) {
  FillingTranslator translator;
  translator.SetModule(m_texts);
  std::wstring path = Path(L"combo.txt");
  ASSERT_TRUE(translator.WriteTemplate(path.c_str()));
  int lineCount = 0;
  std::set<std::wstring> lines = TemplateLines(ReadBytes(path), &lineCount);
  EXPECT_EQ(lines.count(L"Magenta"), 1u);
  EXPECT_EQ(lines.count(L"Cyan"), 1u);
}

TEST_F(TranslatorTest, TemplateListsTheResourceLibraryByDefault) {
  HINSTANCE library = LoadLibraryExW(L"TarvoRes.Dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(library, nullptr);
  HINSTANCE previous = GetModule().SetResourceInstance(library);
  CTranslator translator;
  std::wstring path = Path(L"res.txt");
  EXPECT_TRUE(translator.WriteTemplate(path.c_str()));
  GetModule().SetResourceInstance(previous);
  FreeLibrary(library);

  int lineCount = 0;
  std::set<std::wstring> lines = TemplateLines(ReadBytes(path), &lineCount);
  EXPECT_EQ(lines.count(L"No date"), 1u);
  EXPECT_EQ(lines.size(), static_cast<size_t>(lineCount));
  EXPECT_TRUE(translator.LoadTextFile(path.c_str()));
  EXPECT_EQ(translator.GetMap().GetCount(), 0);
}

TEST_F(TranslatorTest, UnwritableTemplateFails) {
  CTranslator translator;
  std::wstring path = m_folder + L"\\missing\\QelTarvo.txt";
  EXPECT_FALSE(translator.LoadTextFile(path.c_str()));
}

TEST_F(TranslatorTest, DialogTemplateTitles) {
  for (auto [id, title] : {std::pair<UINT, const wchar_t*>{IDD_FX_DIALOG, L"Fixture dialog"},
                           {IDD_FX_PLAIN, L"Plain"}}) {
    HRSRC found = FindResourceW(m_texts, MAKEINTRESOURCEW(id), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(GetDialogTemplateTitle(LockResource(LoadResource(m_texts, found))), title);
  }
}

}  // namespace
