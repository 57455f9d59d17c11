#include "platform/aygshell/aygshell.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Main memory's documents folder is "\My Documents"; a storage card's lies on the card.
TEST(DocumentsFolder, OfMainMemoryAndOfACard) {
  WCHAR docs[MAX_PATH];
  for (const wchar_t* volume : {L"\\", L"", static_cast<const wchar_t*>(nullptr)}) {
    ASSERT_TRUE(SHGetDocumentsFolder(volume, docs));
    EXPECT_STREQ(docs, L"\\My Documents");
  }

  const std::wstring card = L"\\AygCard" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(card.c_str(), nullptr));
  EXPECT_TRUE(SHGetDocumentsFolder((card + L"\\").c_str(), docs));
  EXPECT_EQ(std::wstring(docs), card + L"\\My Documents");
  RemoveDirectoryW(card.c_str());
}

// A card that is not inserted has no documents folder.
TEST(DocumentsFolder, AbsentVolumeFails) {
  WCHAR docs[MAX_PATH] = L"x";
  EXPECT_FALSE(SHGetDocumentsFolder(L"\\No Such Card 7f3a", docs));
  EXPECT_STREQ(docs, L"");
  EXPECT_FALSE(SHGetDocumentsFolder(L"\\", nullptr));
}

}  // namespace
