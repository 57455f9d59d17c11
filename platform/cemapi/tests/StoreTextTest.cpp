// The text form of message stores and the store file around it: what other programs
// write reads back, every malformed line is refused with its line number, and no
// bytes at all can upset the reader.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/cemapi/StoreText.h"
#include "platform/cemapi/cemapi.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "platform/tests/ByteMutator.h"

using namespace mapitest;

namespace {

TEST(StoreTextTest, TheFixtureReadsAndWritesBackTheSame) {
  StoreRecord store;
  std::string error;
  ASSERT_TRUE(CStoreText::Parse(kFixtureMail, store, error)) << error;
  EXPECT_EQ(kMailStore, store.id);
  ASSERT_EQ(8u, store.folders.size());
  EXPECT_EQ(L"root", store.folders[0].role);
  EXPECT_EQ(kProjects, store.folders[7].parent);
  ASSERT_EQ(4u, store.messages.size());
  EXPECT_EQ(2u, store.messages[0].recipients.size());
  EXPECT_EQ(L"Hello \u00e9\r\nSecond line", store.messages[0].props[PR_BODY_W].text);
  // 8-bit text is kept under its Unicode tag.
  EXPECT_EQ(L"<p>News</p>", store.messages[1].props[CHANGE_PROP_TYPE(PR_BODY_HTML, PT_UNICODE)].text);
  const std::string& mime = store.messages[2].props[PR_CE_MIME_TEXT].bytes;
  EXPECT_EQ(0u, mime.find("From: Ann <ann@example.com>\r\nSubject:"));
  EXPECT_EQ("--b1--\r\n", mime.substr(mime.size() - 8));

  std::string text = CStoreText::Format(store);
  StoreRecord again;
  ASSERT_TRUE(CStoreText::Parse(text, again, error)) << error << "\n" << text;
  EXPECT_EQ(text, CStoreText::Format(again));
  EXPECT_NE(std::string::npos, text.find("PR_CE_MIME_TEXT = <<END\nFrom: Ann"));
}

// What an editor or a script on another system writes: CR LF line ends, tabs, lower
// case hex, no line end at the end, comments, blank lines.
TEST(StoreTextTest, TextWrittenElsewhereReads) {
  const char text[] =
      "# written on another machine\r\n"
      "store 00000000000000ff\r\n"
      "\tPR_DISPLAY_NAME_W = \"Caf\\u00e9 \\\"mail\\\"\"  \r\n"
      "\r\n"
      "folder 1\r\n"
      "\t0x3001001f = \"Top\"\r\n"
      "folder 2 role inbox parent 1\r\n"
      "message 3 folder 2\r\n"
      "\t0x0e070003 = 0x1\r\n"
      "\tPR_BODY = <<EOT\r\n"
      "line one\r\n"
      "EOT\r\n"
      "\t0x0FFF0102 = hex:00ff\r\n"
      "\tPR_MESSAGE_DELIVERY_TIME = 2024-02-29 23:59:59";
  StoreRecord store;
  std::string error;
  ASSERT_TRUE(CStoreText::Parse(text, store, error)) << error;
  EXPECT_EQ(0xFFu, store.id);
  EXPECT_EQ(L"Caf\u00e9 \"mail\"", store.props[PR_DISPLAY_NAME_W].text);
  EXPECT_EQ(L"inbox", store.folders[1].role);
  EXPECT_EQ(1, store.messages[0].props[PR_MESSAGE_FLAGS].number);
  EXPECT_EQ(L"line one\r\n", store.messages[0].props[PR_BODY_W].text);
  EXPECT_EQ(std::string("\0\xFF", 2), store.messages[0].props[PR_ENTRYID].bytes);
  FILETIME ft;
  LONGLONG t = store.messages[0].props[PR_MESSAGE_DELIVERY_TIME].number;
  ft.dwLowDateTime = static_cast<DWORD>(t);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  SYSTEMTIME st;
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(29, st.wDay);
  EXPECT_EQ(59, st.wSecond);
}

TEST(StoreTextTest, MalformedTextIsRefusedWithItsLine) {
  const std::string head = "store 1\nfolder 2\n";
  struct Case {
    std::string text;
    const char* expected;  // part of the error
  } cases[] = {
      {"", "no store"},
      {"store 1\n", "no root folder"},
      {"folder 2\n", "line 1: folder before the store"},
      {head + "store 3\n", "line 3: a second store"},
      {head + "folder 3\n", "line 3: the root folder"},
      {head + "folder 3 parent 9\n", "line 3: parent not defined above"},
      {head + "folder 2 parent 2\n", "line 3: id used twice"},
      {head + "folder 0 parent 2\n", "line 3: bad id"},
      {head + "folder 12345678901234567 parent 2\n", "line 3: bad id"},
      {head + "folder 3 parent 2 role inbox\nfolder 4 parent 2 role inbox\n", "line 4: role used twice"},
      {head + "folder 3 parent 2 role attic\n", "line 3: bad role"},
      {head + "folder 3 parent 2 role root\n", "line 3: role root"},
      {head + "message 3 folder 7\n", "line 3: folder not defined above"},
      {head + "recipient\n", "line 3: recipient outside a message"},
      {head + "PR_NOTHING = 1\n", "line 3: unknown property"},
      {head + "0x00370005 = 1\n", "line 3: property type not kept"},
      {head + "PR_FOLDER_TYPE = twelve\n", "line 3: bad number"},
      {head + "PR_FOLDER_TYPE = 0x100000000\n", "line 3: number out of range"},
      {head + "PR_FOLDER_TYPE = 99999999999999999999999\n", "line 3: bad number"},
      {head + "message 3 folder 2\nPR_MESSAGE_DELIVERY_TIME = 2026-02-30 00:00:00\n", "line 4: bad time"},
      {head + "message 3 folder 2\nPR_HASATTACH = maybe\n", "line 4: bad truth value"},
      {head + "PR_DISPLAY_NAME_W = <<END\nopen\n", "block not closed"},
      {head + "PR_DISPLAY_NAME_W = \"a\\q\"\n", "line 3: bad quoted value"},
      {head + "PR_DISPLAY_NAME_W = \"open\n", "line 3: bad quoted value"},
      {head + "PR_DISPLAY_NAME_W = \"\\xC3\"\n", "line 3: text is not UTF-8"},
      {head + "PR_DISPLAY_NAME_W = \"a\"\nPR_DISPLAY_NAME_W = \"b\"\n", "line 4: property given twice"},
      {head + "PR_BODY = \"a\"\nPR_BODY_W = \"b\"\n", "line 4: property given twice"},
      {head + "0x0FFF0102 = hex:0g\n", "line 3: bad hex"},
      {head + "just words\n", "line 3: not an item or a property"},
      {"PR_DISPLAY_NAME_W = \"a\"\n", "line 1: property outside an item"},
  };
  for (const Case& c : cases) {
    StoreRecord store;
    std::string error;
    EXPECT_FALSE(CStoreText::Parse(c.text, store, error)) << c.text;
    EXPECT_NE(std::string::npos, error.find(c.expected)) << c.text << " gave: " << error;
  }
}

TEST(StoreTextTest, AFileWhoseHeaderOrChecksumDisagreesIsDamaged) {
  StoreRecord store;
  std::string error;
  ASSERT_TRUE(CStoreText::Parse(kFixtureSms, store, error));
  const std::string good = CStoreText::FormatFile(store);
  StoreRecord back;
  ASSERT_TRUE(CStoreText::ParseFile(good, back, error)) << error;
  EXPECT_EQ(CStoreText::Format(store), CStoreText::Format(back));

  size_t eol = good.find('\n');
  struct Case {
    std::string bytes;
    const char* expected;
  } cases[] = {
      {"", "not a message store file"},
      {good.substr(0, eol), "not a message store file"},
      {"CEMAPISTORE 2" + good.substr(13), "not a message store file"},
      {good + "x", "length"},
      {good.substr(0, good.size() - 1), "length"},
      {good.substr(0, eol + 1) + std::string(good.size() - eol - 1, ' '), "checksum"},
      {std::string(good).replace(eol + 3, 1, "Z"), "checksum"},
      {"CEMAPISTORE 1 -5 00000000\n", "length"},
      {"CEMAPISTORE 1 " + std::string(100, '9') + "\n", "not a message store file"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(CStoreText::ParseFile(c.bytes, back, error));
    EXPECT_NE(std::string::npos, error.find(c.expected)) << error;
  }
}

// Values the formatter must write so that they read back the same: control characters,
// quotes, backslashes, a line that is the block's own end word, bytes of any value.
TEST(StoreTextTest, AnyValueWritesAndReadsBackTheSame) {
  std::mt19937 random(20261209);
  const wchar_t alphabet[] = L"ab \t\r\n\"\\#=<>END\u00e9\u4e2d\x01\x7f";
  for (int round = 0; round < 300; ++round) {
    StoreRecord store;
    store.id = 1;
    FolderRecord root;
    root.id = 2;
    root.role = L"root";
    store.folders.push_back(root);
    MessageRecord m;
    m.id = 3;
    m.folder = 2;
    std::wstring text;
    std::string bytes;
    size_t n = random() % 40;
    for (size_t i = 0; i < n; ++i) text += alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)];
    for (size_t i = 0; i < n; ++i) bytes += static_cast<char>(random() % 256);
    if (round % 3 == 0) text = L"END\r\nx\r\nEND\r\n";
    if (round % 5 == 0) bytes = "line\r\nEND\r\n";
    m.props[PR_SUBJECT_W].text = text;
    m.props[PR_CE_MIME_TEXT].bytes = bytes;
    m.props[PR_MESSAGE_FLAGS].number = static_cast<LONG>(random());
    m.props[PR_PRIORITY].number = -1;
    store.messages.push_back(m);
    std::string formatted = CStoreText::FormatFile(store);
    StoreRecord back;
    std::string error;
    ASSERT_TRUE(CStoreText::ParseFile(formatted, back, error)) << error << "\n" << formatted;
    ASSERT_EQ(1u, back.messages.size());
    EXPECT_EQ(text, back.messages[0].props[PR_SUBJECT_W].text);
    EXPECT_EQ(bytes, back.messages[0].props[PR_CE_MIME_TEXT].bytes);
    EXPECT_EQ(m.props[PR_MESSAGE_FLAGS].number, back.messages[0].props[PR_MESSAGE_FLAGS].number);
  }
}

// Seeded mutations of good text and good files: the reader never fails other than by
// saying so, and what it accepts writes back to text it accepts the same way.
TEST(StoreTextTest, FuzzedInputIsReadSafely) {
  fixtures::ByteMutator mutator(36);
  StoreRecord fixture;
  std::string error;
  ASSERT_TRUE(CStoreText::Parse(kFixtureMail, fixture, error));
  const std::string seeds[] = {kFixtureMail, kFixtureSms, CStoreText::FormatFile(fixture)};
  const std::vector<std::string> tokens = {"\n", "\r", "\"", "\\", "<<END\n", "END\n", "=", " ", "store 9\n",
                                           "folder 5 parent 5\n", "recipient\n", "0x", "hex:", "\\u", "\xC3",
                                           std::string(1, '\0')};
  int accepted = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string input = mutator.Edit(seeds[i % 3], 4, tokens, 64);
    StoreRecord store;
    bool ok = i % 3 == 2 ? CStoreText::ParseFile(input, store, error) : CStoreText::Parse(input, store, error);
    if (!ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    ++accepted;
    std::string text = CStoreText::Format(store);
    StoreRecord again;
    ASSERT_TRUE(CStoreText::Parse(text, again, error)) << error << "\n" << text;
    EXPECT_EQ(text, CStoreText::Format(again));
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
