// Messages shaped as other mail programs write them (Thunderbird, Outlook,
// Gmail, Apple Mail), broken ones, and hostile ones built to size.
#pragma once

#include <string>
#include <vector>

namespace fixtures {

std::string PlainText();
std::string Alternative();
std::string HtmlOnly();
std::string MixedWithAttachments();
std::string Nested();
std::string ManyCharsets();
std::string MissingBoundary();
std::string MissingCloseDelimiter();
std::string HeaderWithoutColon();
std::string Base64Garbage();
std::string UpperCaseSubtype();
// As Python's email package writes it: words mixed with text, RFC 2231 names.
std::string WrittenByPythonEmail();

// Every message above: the fuzzer's seeds.
std::vector<std::string> All();

std::string HugeHeaderLine(size_t length);
std::string HugeBoundary(size_t length);
// Multipart entities nested this deep, each with a boundary of its own.
std::string DeepNesting(int levels);
std::string ManyParts(int parts);

}  // namespace fixtures
