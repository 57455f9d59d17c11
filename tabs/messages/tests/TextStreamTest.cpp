#include <gtest/gtest.h>

#include <vector>

#include "tabs/messages/HtmlToText.h"
#include "tabs/messages/TextStream.h"
#include "tabs/messages/tests/MimeTestHelpers.h"

namespace {

// The lines of a text as ReadString gives them, up to the end.
std::vector<std::string> ReadAll(const std::string& bytes, bool keepBlanks) {
  IStream* stream = MakeTestStream(bytes);
  CTextStream text(stream, keepBlanks);
  stream->Release();
  std::vector<std::string> lines;
  std::string line;
  for (;;) {
    text.ReadString(line);
    if (line.empty() && text.IsEnd()) break;
    lines.push_back(line);
  }
  return lines;
}

TEST(TextStream, LinesEndAtCrAndTheEmptyLineReadsAsZero) {
  IStream* stream = MakeTestStream("first\r\nsecond\r\n\r\nthird");
  CTextStream text(stream, false);
  stream->Release();
  std::string line;
  EXPECT_EQ(text.ReadString(line), 5);
  EXPECT_EQ(line, "first");
  EXPECT_EQ(text.ReadString(line), 6);
  EXPECT_EQ(text.ReadString(line), 0);
  EXPECT_FALSE(text.IsEnd());
  EXPECT_EQ(text.ReadString(line), 5);
  EXPECT_EQ(line, "third");
  EXPECT_EQ(text.ReadString(line), 0);
  EXPECT_TRUE(text.IsEnd());
}

TEST(TextStream, LeadingBlanksAreKeptOnlyWhenAsked) {
  const std::string bytes = "Subject: a\r\n  folded\r\n\tmore\nlone LF\r\n";
  EXPECT_EQ(ReadAll(bytes, false), (std::vector<std::string>{"Subject: a", "folded", "more\nlone LF"}));
  EXPECT_EQ(ReadAll(bytes, true), (std::vector<std::string>{"Subject: a", "  folded", "\tmore\nlone LF"}));
}

TEST(TextStream, SkippingTheLfGoesOnIntoTheNextBlock) {
  struct Case {
    size_t crAt;  // the CR as this byte of the stream (from 1)
  } const cases[] = {{511}, {512}, {513}, {1024}};
  for (const Case& c : cases) {
    const std::string first(c.crAt - 1, 'x');
    const std::vector<std::string> lines = ReadAll(first + "\r\nnext\r\n", false);
    ASSERT_EQ(lines.size(), 2u) << c.crAt;
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], "next") << c.crAt;
  }
}

TEST(TextStream, PushbackGivesTheLastLineAgainButNotAnEmptyOne) {
  IStream* stream = MakeTestStream("one\r\n\r\ntwo\r\n");
  CTextStream text(stream, false);
  stream->Release();
  std::string line;
  text.ReadString(line);
  text.UnreadLine();
  EXPECT_EQ(text.ReadString(line), 3);
  EXPECT_EQ(line, "one");
  EXPECT_EQ(text.ReadString(line), 0);
  text.UnreadLine();
  EXPECT_EQ(text.ReadString(line), 0);  // the empty line again, and the flag is cleared
  EXPECT_EQ(text.ReadString(line), 3);
  EXPECT_EQ(line, "two");
}

TEST(TextStream, RestoreReturnsToTheSavedLineEvenAfterTheEndWasSeen) {
  std::string bytes;
  for (int i = 0; i < 300; i++) bytes += "line " + std::to_string(i) + "\r\n";
  IStream* stream = MakeTestStream(bytes);
  CTextStream text(stream, false);
  stream->Release();
  std::string line;
  text.ReadString(line);
  ASSERT_TRUE(text.SaveState());
  while (!(text.ReadString(line) == 0 && text.IsEnd())) {
  }
  ASSERT_TRUE(text.RestoreState());
  EXPECT_FALSE(text.RestoreState());
  int count = 0;
  while (text.ReadString(line) != 0) count++;
  EXPECT_EQ(count, 299);
  EXPECT_EQ(line, "");

  for (int i = 0; i < CTextStream::kMaxStates; i++) EXPECT_TRUE(text.SaveState());
  EXPECT_FALSE(text.SaveState());
}

TEST(HtmlToText, KeepsTheTextRunsOnly) {
  struct Case {
    const wchar_t* html;
    const wchar_t* text;
  } const cases[] = {
      {L"<html><head><title>Hidden</title></head><body><p>Fish &amp; chips</p><!-- note --></body></html>",
       L"Fish &amp; chips\r\n"},
      {L"<p>one</p>\r\n<p>two <b>bold</b> end</p>", L"one\r\ntwo \r\nbold\r\nend\r\n"},
      {L"<ul><li>first</li><li>second</li></ul>", L"first\r\nsecond\r\n"},
      {L"a<br>b<BR/>c", L"a\r\nb\r\nc\r\n"},
      {L"<STYLE type=\"text/css\">p {}</Style>shown", L"shown\r\n"},
      {L"<script>if (a < b) x();</SCRIPT>after", L"after\r\n"},
      {L"before<script>never closed <p>lost</p>", L"before\r\n"},
      {L"<!-- unclosed comment <p>lost</p>", L""},
      {L"<p unclosed tag", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlToText(c.html), c.text) << c.html;
}

}  // namespace
