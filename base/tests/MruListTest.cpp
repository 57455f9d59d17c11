#include "base/MruList.h"
#include "base/SortedStringList.h"
#include "RegistrySandbox.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

class ListsInRegistry : public ::testing::Test {
protected:
  void SetValue(const wchar_t* name, const wchar_t* text) { m_sandbox.WriteString(name, text); }

  std::vector<std::wstring> ValueNames() {
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(m_sandbox.Root(), m_sandbox.Path(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    WCHAR name[64];
    for (DWORD i = 0;; ++i) {
      DWORD length = 64;
      if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.push_back(name);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::wstring Entries(const CMruList& mru) {
    std::wstring out;
    for (int i = 0; i < mru.GetCount(); ++i) out += std::wstring(mru.GetAt(i)) + L",";
    return out;
  }

  CRegistrySandbox m_sandbox{L"BaseLists"};
  const std::wstring m_path = m_sandbox.DevicePath();
};

TEST_F(ListsInRegistry, MruOrderAndCapacity) {
  CMruList mru(m_path.c_str(), 5);
  for (const wchar_t* text : {L"a", L"b", L"c", L"d", L"e"}) mru.Add(text);
  EXPECT_EQ(Entries(mru), L"e,d,c,b,a,");
  mru.Add(L"c");  // present: moved to the front, nothing dropped
  EXPECT_EQ(Entries(mru), L"c,e,d,b,a,");
  mru.Add(L"f");  // new: the oldest goes
  EXPECT_EQ(Entries(mru), L"f,c,e,d,b,");
  EXPECT_EQ(mru.Find(L"e"), 2);
  EXPECT_EQ(mru.Find(L"E"), -1);
  EXPECT_EQ(mru.GetAt(9), L"");
}

TEST_F(ListsInRegistry, MruPersistsAndSavingLeavesNothingStale) {
  CMruList mru(m_path.c_str(), 5);
  for (const wchar_t* text : {L"1st", L"2nd", L"3rd", L"4th"}) mru.Add(text);
  ASSERT_TRUE(mru.Save());
  EXPECT_EQ(ValueNames(), (std::vector<std::wstring>{L"1", L"2", L"3", L"4"}));

  CMruList shorter(m_path.c_str(), 2);
  EXPECT_EQ(shorter.Load(), 4);
  shorter.Add(L"new");  // down to the limit of two
  ASSERT_TRUE(shorter.Save());
  EXPECT_EQ(ValueNames(), (std::vector<std::wstring>{L"1", L"2"}));

  CMruList again(m_path.c_str(), 5);
  EXPECT_EQ(again.Load(), 2);
  EXPECT_EQ(Entries(again), L"new,4th,");
}

TEST_F(ListsInRegistry, MruLoadTakesSlotsUpToTheNumberOfValues) {
  SetValue(L"1", L"one");
  SetValue(L"2", L"two");
  SetValue(L"4", L"four");  // beyond the three numbered values
  SetValue(L"name", L"not numbered");
  CMruList mru(m_path.c_str(), 5);
  EXPECT_EQ(mru.Load(), 2);
  EXPECT_EQ(Entries(mru), L"one,two,");

  SetValue(L"3", L"");  // an empty text is skipped
  EXPECT_EQ(mru.Load(), 3);
  EXPECT_EQ(Entries(mru), L"one,two,four,");
}

CTaggedBlob Blob(const wchar_t* name, BYTE byte) {
  CTaggedBlob blob;
  blob.SetName(name);
  blob.SetKind(CTaggedBlob::KindF);
  blob.SetData(&byte, 1);
  return blob;
}

TEST_F(ListsInRegistry, SortedListsHandOutNamesAlphabeticallyAndSaveAsText) {
  CSortedStringList table;
  table.SetRegistryPath(m_path.c_str());
  CTaggedBlobList* list = table.GetList(L"Folders");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(table.GetList(L"Folders"), list);
  for (auto [name, byte] : {std::pair<const wchar_t*, BYTE>{L"cherry", 1}, {L"Banana", 2}, {L"apple|pie", 3}})
    list->Add(Blob(name, byte));

  CSimpleArray<CNameIndex> sorted;
  ASSERT_EQ(table.GetSorted(L"Folders", sorted), 3);
  EXPECT_EQ(sorted[0].name, L"apple|pie");
  EXPECT_EQ(sorted[0].index, 2);
  EXPECT_EQ(sorted[1].name, L"Banana");
  EXPECT_EQ(sorted[2].name, L"cherry");
  EXPECT_EQ(table.GetSorted(L"Empty", sorted), 0);

  table.SaveAll();
  CTaggedBlobList back(L"Folders", m_path.c_str());
  ASSERT_TRUE(back.Load());
  ASSERT_EQ(back.GetCount(), 3);
  EXPECT_EQ(back[2].GetName(), L"apple|pie");
  EXPECT_EQ(back[2].GetData()[0], 3);
  CTaggedBlobList empty(L"Empty", m_path.c_str());
  EXPECT_TRUE(empty.Load());
  EXPECT_EQ(empty.GetCount(), 0);

  SetValue(L"Broken", L"ACabFAE01FF|garbage");
  CTaggedBlobList broken(L"Broken", m_path.c_str());
  EXPECT_FALSE(broken.Load());
  EXPECT_EQ(broken.GetCount(), 0);
}

}  // namespace
