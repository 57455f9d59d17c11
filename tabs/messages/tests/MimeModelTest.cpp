#include <gtest/gtest.h>

#include "tabs/messages/FieldCodec.h"
#include "tabs/messages/MimeMessage.h"
#include "tabs/messages/MimeRegistry.h"
#include "tabs/messages/tests/MimeTestHelpers.h"

namespace {

CMimeHeaderField Field(const char* name, const char* value) { return CMimeHeaderField(name, value, ""); }

TEST(HeaderField, ParametersTable) {
  struct Case {
    const char* value;
    const char* parameter;
    bool present;
    const char* expected;
  } const cases[] = {
      {"text/plain; charset=us-ascii", "charset", true, "us-ascii"},
      {"text/plain; CHARSET = \"utf-8\"", "charset", true, ""},  // a blank after '=' leaves no value
      {"text/plain;charset=\"utf-8\"", "Charset", true, "utf-8"},
      {"application/pdf; name=report.pdf", "name", true, "report"},   // an unquoted value stops at '.'
      {"application/pdf; name=\"report.pdf\"", "name", true, "report.pdf"},
      {"application/pdf; name=\"unclosed.pdf", "name", true, ""},
      {"application/pdf; names=a; name=b", "name", true, "b"},
      {"application/pdf; names=a", "name", false, ""},
      {"text/plain", "charset", false, ""},
      {"text/plain; format", "format", false, ""},
      {"multipart/mixed;\r\n\tboundary=\"----=_Part_1\"", "boundary", true, "----=_Part_1"},
      {"text/plain; a=\"x;y\"; b=2", "b", true, "2"},
      {"text/plain; a=1;;; b=2", "b", true, "2"},
  };
  for (const Case& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(Field("Content-Type", c.value).GetParameter(c.parameter, out), c.present) << c.value;
    EXPECT_EQ(out, c.expected) << c.value;
  }
}

TEST(HeaderField, ParametersWrittenInRfc2231Form) {
  struct Case {
    const char* value;
    bool present;
    std::string expected;
    const char* charset;
  } const cases[] = {
      {"application/pdf; name*=utf-8''caf%C3%A9%20menu.pdf", true, "caf\xC3\xA9 menu.pdf", "utf-8"},
      {"application/pdf; name*=iso-8859-1'fr'r%e9sum%E9.doc", true, "r\xE9sum\xE9.doc", "iso-8859-1"},
      {"application/pdf;\r\n name*0=\"a long \";\r\n name*1=\"name.txt\"", true, "a long name.txt", ""},
      {"application/pdf; name*0*=utf-8''%C3%A9; name*1=\"%41.txt\"", true, "\xC3\xA9%41.txt", "utf-8"},
      {"application/pdf; name*1=b; name*0=a", true, "ab", ""},
      {"application/pdf; name*0=a; name*2=c", true, "a", ""},     // a gap ends the value
      {"application/pdf; name*1=b", false, "", ""},               // no first piece
      {"application/pdf; name=plain; name*=utf-8''other", true, "plain", ""},
      {"application/pdf; names*=utf-8''x; name*x=y; name*00001=z", false, "", ""},
      {"application/pdf; name*=utf-8''bad%zz%4", true, "bad%zz%4", "utf-8"},
      {"application/pdf; name*=no-quotes%41", true, "no-quotesA", ""},
  };
  for (const Case& c : cases) {
    std::string out, charset = "stale";
    EXPECT_EQ(Field("Content-Type", c.value).GetParameter("name", out, &charset), c.present) << c.value;
    EXPECT_EQ(out, c.expected) << c.value;
    EXPECT_EQ(charset, c.charset) << c.value;
  }
}

TEST(HeaderField, SetParameterQuotesAndReplacesInPlace) {
  struct Case {
    const char* value;
    const char* name;
    const char* set;
    const char* expected;
  } const cases[] = {
      {"text/plain", "charset", "utf-8", "text/plain; charset=\"utf-8\""},
      {"text/plain; charset=us-ascii; format=flowed", "charset", "utf-8",
       "text/plain; charset=\"utf-8\"; format=flowed"},
      {"text/plain; charset=\"x\"", "charset", "\"y\"", "text/plain; charset=\"y\""},
  };
  for (const Case& c : cases) {
    CMimeHeaderField field = Field("Content-Type", c.value);
    field.SetParameter(c.name, c.set);
    EXPECT_EQ(field.GetValue(), c.expected);
  }
  std::string main;
  Field("Content-Type", "text/html \t; charset=x").GetMainValue(main);
  EXPECT_EQ(main, "text/html");
}

TEST(Header, TypesComeFromContentTypeWithTheirDefaults) {
  struct Case {
    const char* contentType;  // null: no Content-Type field
    int media;
    const char* main;
    const char* sub;
  } const cases[] = {
      {nullptr, CMimeHeader::kText, "text", "plain"},
      {"TEXT/HTML; charset=utf-8", CMimeHeader::kText, "TEXT", "HTML"},
      {"multipart/related; boundary=x", CMimeHeader::kMultipart, "multipart", "related"},
      {"message/rfc822", CMimeHeader::kMessage, "message", "rfc822"},
      {"application/pdf", CMimeHeader::kApplication, "application", "pdf"},
      {"textual", CMimeHeader::kText, "textual", ""},
      {"model/vrml", CMimeHeader::kOther, "model", "vrml"},
  };
  for (const Case& c : cases) {
    CMimeHeader header;
    if (c.contentType) header.SetField("content-type", c.contentType);
    std::string main, sub;
    header.GetMainType(main);
    header.GetSubType(sub);
    EXPECT_EQ(header.GetMediaType(), c.media) << (c.contentType ? c.contentType : "none");
    EXPECT_EQ(main, c.main);
    EXPECT_EQ(sub, c.sub);
  }
}

TEST(Header, SetNameCharsetAndBoundaryAddContentTypeWhenMissing) {
  struct Case {
    const char* name;
    const char* type;
  } const cases[] = {
      {"Report.PDF", "application/pdf; name=\"Report.PDF\""},
      {"photo.jpeg", "image/jpeg; name=\"photo.jpeg\""},
      {"song.mp3", "audio/basic; name=\"song.mp3\""},
      {"archive.tar.gz", "application/octet-stream; name=\"archive.tar.gz\""},
      {"README", "application/octet-stream; name=\"README\""},
  };
  for (const Case& c : cases) {
    CMimeHeader header;
    header.SetName(c.name);
    EXPECT_EQ(*header.GetContentType(), c.type);
  }
  CMimeHeader text;
  text.SetCharset("koi8-r");
  EXPECT_EQ(*text.GetContentType(), "text/plain; charset=\"koi8-r\"");

  CMimeHeader multipart;
  multipart.SetField("Content-Type", "text/plain; charset=x");
  multipart.SetBoundary("abc");
  EXPECT_EQ(*multipart.GetContentType(), "multipart/mixed; boundary=\"abc\"");
  multipart.SetField("Content-Type", "multipart/alternative");
  multipart.SetBoundary("def");
  EXPECT_EQ(*multipart.GetContentType(), "multipart/alternative; boundary=\"def\"");
}

TEST(Header, GeneratedBoundariesCountOneToNineAndAgain) {
  std::vector<int> counters;
  for (int i = 0; i < 12; i++) {
    CMimeHeader header;
    header.SetBoundary(nullptr);
    const std::string boundary = header.GetFieldParameter("Content-Type", "boundary");
    ASSERT_EQ(boundary.compare(0, 18, "__=_Part_Boundary_"), 0) << boundary;
    EXPECT_EQ(boundary.size(), 35u) << boundary;  // counter, then two numbers of six digits
    counters.push_back(std::stoi(boundary.substr(18, 3)));
  }
  // The run starts wherever earlier tests left the counter.
  for (size_t i = 1; i < counters.size(); i++) {
    EXPECT_EQ(counters[i], counters[i - 1] % 9 + 1);
  }
}

TEST(Header, BufferLoadEndsAtTheBlankLineAndSkipsStrayLines) {
  struct Case {
    std::string bytes;
    int result;
    std::vector<std::string> names;
  } const cases[] = {
      {Crlf("A: 1\nB: 2\n\nbody"), 14, {"A", "B"}},
      {Crlf("A: 1\n folded\nB: 2\n\n"), 23, {"A", "B"}},
      {Crlf("  stray\nA: 1\n\n"), 17, {"A"}},
      {Crlf("no colon here\nA: 1\n\n"), 23, {"", "A"}},
      {Crlf("A: 1\n"), 6, {"A"}},       // runs to the end of the message
      {std::string("A: 1\r\n\0rest", 11), 8, {"A"}},
      {"A: no line end", 0, {"A"}},     // a truncated field fails the header
      {"", 2, {}},
  };
  for (const Case& c : cases) {
    CMimeHeader header;
    EXPECT_EQ(header.Load(c.bytes.data(), c.bytes.data() + c.bytes.size()), c.result) << c.bytes;
    std::vector<std::string> names;
    for (const CMimeHeaderField& field : header.GetFields()) names.push_back(field.GetName());
    if (c.result > 0) {
      EXPECT_EQ(names, c.names) << c.bytes;
    }
  }
}

TEST(Header, FoldedValuesKeepTheirLineBreaks) {
  const std::string bytes = Crlf("Subject: =?utf-8?q?one?=\n =?utf-8?q?_two?=\nTo: a@x,\n\tb@x\n\n");
  CMimeHeader header;
  ASSERT_GT(header.Load(bytes.data(), bytes.data() + bytes.size()), 0);
  EXPECT_EQ(*header.GetFieldValue("subject"), "one two");
  EXPECT_EQ(header.FindField("SUBJECT")->GetCharset(), "utf-8");
  EXPECT_EQ(*header.GetFieldValue("To"), "a@x,\r\n\tb@x");
}

TEST(Part, StoreThenLoadGivesTheSameTree) {
  CMimeMessage message;
  message.SetField("From", "Ren\xE9 <rene@example.org>", "iso-8859-1");
  message.SetField("Subject", "Caf\xE9 menu", "iso-8859-1");
  message.SetBoundary("outer-boundary");
  message.SetContent("This is a multi-part message.\r\n", 0);
  CMimePart* text = message.CreateChild(CMimeHeader::kText, nullptr);
  text->SetField("Content-Type", "text/plain; charset=iso-8859-1");
  text->SetField("Content-Transfer-Encoding", "quoted-printable");
  text->SetContent("Soup du jour: velout\xE9 \r\n.\r\nBye", 0);
  CMimePart* file = message.CreateChild(CMimeHeader::kApplication, nullptr);
  file->SetName("menu.pdf");
  file->SetField("Content-Transfer-Encoding", "base64");
  const std::string pdf("%PDF-1.4\0\x01\x02\xFF", 12);
  file->SetContent(pdf.data(), static_cast<int>(pdf.size()));
  // Inserted before the text part.
  CMimePart* first = message.CreateChild(CMimeHeader::kText, text);
  first->SetContent("first", 0);

  const int length = message.GetLength();
  std::string stored(length, '\0');
  const int written = message.Store(&stored[0], length);
  ASSERT_GT(written, 0);
  ASSERT_LE(written, length);
  stored.resize(written);

  LoadedMessage loaded;
  LoadBothWays(stored, loaded);
  for (CMimeMessage* reloaded : {&loaded.fromBuffer, &loaded.fromStream}) {
    EXPECT_EQ(*reloaded->GetFieldValue("From"), "Ren\xE9 <rene@example.org>");
    EXPECT_EQ(reloaded->FindField("From")->GetCharset(), "iso-8859-1");
    EXPECT_EQ(*reloaded->GetFieldValue("Subject"), "Caf\xE9 menu");
    ASSERT_EQ(reloaded->GetChildren().size(), 3u);
    std::string content;
    reloaded->GetChildren()[0]->GetContent(content);
    EXPECT_EQ(content.substr(0, 5), "first");
    reloaded->GetChildren()[1]->GetContent(content);
    EXPECT_EQ(content.substr(0, 30), "Soup du jour: velout\xE9 \r\n.\r\nBye");
    reloaded->GetChildren()[2]->GetContent(content);
    EXPECT_EQ(content, pdf);
    std::vector<const CMimePart*> attachments;
    EXPECT_EQ(reloaded->GetAttachments(attachments), 1);
  }

  message.RemoveChild(first);
  EXPECT_EQ(message.GetChildren().size(), 2u);
  char small[8];
  EXPECT_LE(message.Store(small, sizeof small), 8);
  CMimePart noBoundary;
  noBoundary.CreateChild(CMimeHeader::kText, nullptr);
  EXPECT_EQ(noBoundary.Store(&stored[0], length), -1);
}

TEST(Part, SetMessageWrapsAPartThatParsesBack) {
  CMimePart inner;
  inner.SetField("Subject", "inner");
  inner.SetContent("inner body", 0);
  CMimePart outer;
  outer.SetMessage(inner);
  EXPECT_EQ(*outer.GetContentType(), "message/rfc822");
  CMimePart parsed;
  EXPECT_GT(outer.ParseContentAs(parsed), 0);
  EXPECT_EQ(*parsed.GetFieldValue("Subject"), "inner");
  std::string content;
  parsed.GetContent(content);
  EXPECT_EQ(content, "inner body");

  CMimePart kept;
  kept.SetField("Content-Type", "Message/partial");
  kept.SetMessage(inner);
  EXPECT_EQ(*kept.GetContentType(), "Message/partial");

  EXPECT_TRUE(kept.AllocContent(4));
  EXPECT_EQ(kept.GetContentLength(), 4);
  char four[2];
  EXPECT_EQ(kept.ReadContent(four, 2), 2);
  kept.Clear();
  EXPECT_EQ(kept.GetContentLength(), 0);
  EXPECT_TRUE(kept.GetFields().empty());
}

CMimeCodec* NewShoutingCodec() {
  struct Shouting : CMimeCodec {
    int Decode(char* out, int room) override {
      const int n = CMimeCodec::Decode(out, room);
      for (int i = 0; i < n; i++) out[i] = static_cast<char>(toupper(out[i]));
      return n;
    }
  };
  return new Shouting;
}

TEST(Registry, RegisteringReplacesAndNullRemoves) {
  CMimeRegistry& registry = GetMimeRegistry();
  const std::string bytes = Crlf("Content-Transfer-Encoding: X-Shout\n\nquiet");
  registry.RegisterCodec("x-shout", NewShoutingCodec);
  CMimePart shouted;
  shouted.Load(bytes.data(), bytes.data() + bytes.size());
  registry.RegisterCodec("X-SHOUT", nullptr);
  CMimePart copied;
  copied.Load(bytes.data(), bytes.data() + bytes.size());
  EXPECT_STREQ(shouted.GetContentData(), "QUIET");
  EXPECT_STREQ(copied.GetContentData(), "quiet");

  // "Content-Type" decodes through the parameter codec, "X-Other" through the plain one.
  EXPECT_TRUE(registry.CreateFieldCodec("content-type")->IsListDelimiter(';'));
  EXPECT_FALSE(registry.CreateFieldCodec("X-Other")->IsListDelimiter(';'));
  EXPECT_TRUE(registry.CreateFieldCodec("RESENT-cc")->IsListDelimiter(','));
}

}  // namespace
