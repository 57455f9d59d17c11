// Messages shaped as common mail programs write them, each with what the
// preview must get out of it: the display text, the attachments, header values.
#include <gtest/gtest.h>

#include <windows.h>

#include "tabs/messages/DisplayPart.h"
#include "tabs/messages/MimeCharset.h"
#include "tabs/messages/tests/MimeFixtures.h"
#include "tabs/messages/tests/MimeTestHelpers.h"

namespace {

std::string TrimLineEnds(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

struct Attachment {
  std::string name;
  std::string content;
};

struct HeaderValue {
  const char* field;
  std::string value;
  const char* charset;
};

struct Expected {
  const char* title;
  std::string message;
  std::string displaySubtype;  // empty: nothing to display
  std::string displayText;
  std::vector<Attachment> attachments;
  std::vector<HeaderValue> headers;
};

void Check(const Expected& e, const CMimeMessage& message, const char* way) {
  SCOPED_TRACE(std::string(e.title) + " from a " + way);
  const CMimePart* display = FindDisplayPart(message);
  if (e.displaySubtype.empty()) {
    EXPECT_EQ(display, nullptr);
  } else {
    ASSERT_NE(display, nullptr);
    std::string subtype;
    display->GetSubType(subtype);
    EXPECT_EQ(subtype, e.displaySubtype);
    EXPECT_EQ(TrimLineEnds(display->GetContentData()), e.displayText);
  }
  std::vector<const CMimePart*> attachments;
  message.GetAttachments(attachments);
  ASSERT_EQ(attachments.size(), e.attachments.size());
  for (size_t i = 0; i < attachments.size(); i++) {
    EXPECT_EQ(attachments[i]->GetFieldParameter("Content-Type", "name"), e.attachments[i].name);
    std::string content;
    attachments[i]->GetContent(content);
    EXPECT_EQ(TrimLineEnds(content), e.attachments[i].content);
  }
  for (const HeaderValue& h : e.headers) {
    const CMimeHeaderField* field = message.FindField(h.field);
    ASSERT_NE(field, nullptr) << h.field;
    EXPECT_EQ(field->GetValue(), h.value) << h.field;
    EXPECT_EQ(field->GetCharset(), h.charset) << h.field;
  }
}

TEST(Messages, WhatThePreviewGetsFromEachShape) {
  const Expected cases[] = {
      {"plain text", fixtures::PlainText(), "plain", "Hi Anna,\r\nsee you at noon.\r\n-- \r\nJ\xC3\xBCrgen",
       {},
       {{"From", "J\xC3\xBCrgen M\xC3\xBCller <jm@example.de>", "UTF-8"},
        {"Subject", "Re: Lunch", ""},
        {"Date", "Tue, 8 Dec 2026 09:15:00 +0100", ""}}},
      {"alternative", fixtures::Alternative(), "plain", "Prices \x96 see the attached list.",
       {},
       {{"Subject", "Price list \x96 2027", "windows-1252"},
        {"To", "\"Anna\" <anna@example.org>,\r\n\tbob@example.org", ""}}},
      {"html only", fixtures::HtmlOnly(), "html", "<html><body><p>Only HTML here</p></body></html>", {}, {}},
      {"mixed with attachments", fixtures::MixedWithAttachments(), "plain", "Two files attached.",
       {{"report.pdf", "%PDF-1.4 test"}, {"photo.jpg", "\xFF\xD8\xFF\xE0JFIF"}},
       {{"Subject", "Files", ""}}},
      {"nested", fixtures::Nested(), "plain", "The plain side.",
       {{"diagram.gif", "GIF89a"}},
       {{"Subject", "Nested", ""}}},
      {"headers in several charsets", fixtures::ManyCharsets(), "plain", "\xF0\xD2\xC9\xD7\xC5\xD4",
       {},
       {{"Subject", "\x1B$B$3$s$K$A$O\x1B(B", "ISO-2022-JP"},
        {"From", "\xE9\xD7\xC1\xCE <ivan@example.ru>", "koi8-r"},
        {"Cc", "Fran\xE7ois <f@example.fr>", "iso-8859-1"},
        {"Comments", "=?x-made-up?X?text?= stays", ""}}},
      {"missing boundary", fixtures::MissingBoundary(), "", "", {}, {{"Subject", "No boundary", ""}}},
      {"missing close delimiter", fixtures::MissingCloseDelimiter(), "plain", "Body before the cut.",
       {{"cut.bin", "abc"}}, {}},
      {"header line without colon", fixtures::HeaderWithoutColon(), "plain", "Still readable.",
       {}, {{"Subject", "Colon lost above", ""}, {"", "This line has no colon", ""}}},
      {"base64 with garbage", fixtures::Base64Garbage(), "plain", "Good start", {}, {}},
      {"upper-case subtype", fixtures::UpperCaseSubtype(), "", "", {}, {}},
      {"written by Python's email package", fixtures::WrittenByPythonEmail(), "plain",
       "Hallo,\r\nanbei die Rechnung f\xC3\xBCr M\xC3\xA4rz.\r\nGr\xC3\xBC\xC3\x9F" "e",
       {{"Rechnung M\xC3\xA4rz.pdf", "%PDF-1.4 rechnung"}},
       {{"From", "Zo\xC3\xAB Quinn <zoe@example.org>", "utf-8"},
        {"To", "\xC3\x98" "deg\xC3\xA5rd <ode@example.no>, plain@example.org", "utf-8"},
        {"Subject",
         "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln \xE2\x80\x93 Rechnung f\xC3\xBCr M\xC3\xA4rz,\r\n"
         " bitte bis Freitag pr\xC3\xBC" "fen und zur\xC3\xBC" "cksenden",
         "utf-8"}}},
  };
  for (const Expected& e : cases) {
    LoadedMessage loaded;
    LoadBothWays(e.message, loaded);
    EXPECT_GT(loaded.bufferResult, 0) << e.title;
    EXPECT_GT(loaded.streamResult, 0) << e.title;
    Check(e, loaded.fromBuffer, "buffer");
    Check(e, loaded.fromStream, "stream");
  }
}

TEST(Messages, APreambleAndTheCloseDelimiterEndTheWalk) {
  const std::string bytes = Crlf(
      "Content-Type: multipart/mixed; boundary=b\n\n"
      "--b\nContent-Type: text/plain\n\none\n--b--\n"
      "--b\nContent-Type: text/plain\n\nafter the close\n");
  LoadedMessage loaded;
  LoadBothWays(bytes, loaded);
  for (const CMimeMessage* message : {&loaded.fromBuffer, &loaded.fromStream}) {
    EXPECT_EQ(message->GetContentLength(), 0);  // the first line is the delimiter
    ASSERT_EQ(message->GetChildren().size(), 1u);
    EXPECT_EQ(TrimLineEnds(message->GetChildren()[0]->GetContentData()), "one");
  }
}

TEST(Messages, ATruncatedHeaderFailsTheBufferLoad) {
  const std::string bytes = "From: a@example.org\r\nSubject: cut here";
  CMimeMessage message;
  EXPECT_EQ(message.Load(bytes.data(), bytes.data() + bytes.size()), 0);
}

TEST(Messages, HostileShapesEndInTimeWithABestEffort) {
  struct Case {
    const char* title;
    std::string bytes;
    size_t children;
  };
  const Case cases[] = {
      {"a 1 MB header line", fixtures::HugeHeaderLine(1 << 20), 0},
      {"a 1 MB boundary that the body almost repeats", fixtures::HugeBoundary(1 << 20), 1},
      {"nesting 1,000 deep", fixtures::DeepNesting(1000), 1},
      {"20,000 empty parts", fixtures::ManyParts(20000), 20000},
  };
  for (const Case& c : cases) {
    LoadedMessage loaded;
    LoadBothWays(c.bytes, loaded);
    EXPECT_GT(loaded.bufferResult, 0) << c.title;
    EXPECT_GT(loaded.streamResult, 0) << c.title;
    EXPECT_EQ(loaded.fromBuffer.GetChildren().size(), c.children) << c.title;
    EXPECT_EQ(loaded.fromStream.GetChildren().size(), c.children) << c.title;
  }
}

TEST(Messages, DeepNestingStopsAtTwentyLevelsBothWays) {
  LoadedMessage loaded;
  LoadBothWays(fixtures::DeepNesting(30), loaded);
  for (const CMimePart* part : {static_cast<const CMimePart*>(&loaded.fromBuffer),
                                static_cast<const CMimePart*>(&loaded.fromStream)}) {
    int depth = 0;
    while (!part->GetChildren().empty()) {
      part = part->GetChildren()[0].get();
      depth++;
    }
    EXPECT_EQ(depth, CMimePart::kMaxDepth);
    // The deepest multipart keeps what it could not walk as its content.
    EXPECT_NE(std::string(part->GetContentData()).find("--b"), std::string::npos);
  }
}

TEST(Messages, HeaderValuesConvertFromTheirCharsets) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  struct Case {
    const char* charset;
    std::string bytes;
    std::wstring text;
  } const cases[] = {
      {"UTF-8", "J\xC3\xBCrgen", L"J\u00FCrgen"},
      {"iso-8859-1", "Fran\xE7ois", L"Fran\u00E7ois"},
      {"windows-1252", "\x96 \x80", L"\u2013 \u20AC"},
      {"koi8-r", "\xE9\xD7\xC1\xCE", L"\u0418\u0432\u0430\u043D"},
      {"windows-1251", "\xC8\xE2\xE0\xED", L"\u0418\u0432\u0430\u043D"},
      {"ISO-2022-JP", "\x1B$B$3$s$K$A$O\x1B(B", L"\u3053\u3093\u306B\u3061\u306F"},
      {"", "caf\xE9", L"caf\u00E9"},
      {"x-made-up", "caf\xE9", L"caf\u00E9"},
  };
  for (const Case& c : cases) {
    std::wstring text;
    EXPECT_TRUE(ConvertMimeText(c.charset, c.bytes.data(), static_cast<int>(c.bytes.size()), text)) << c.charset;
    EXPECT_EQ(text, c.text) << c.charset;
  }
  CoUninitialize();
}

}  // namespace
