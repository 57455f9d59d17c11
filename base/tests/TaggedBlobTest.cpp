#include "base/TaggedBlob.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

CTaggedBlob Make(const wchar_t* name, int kind, std::vector<BYTE> data) {
  CTaggedBlob blob;
  EXPECT_TRUE(blob.SetName(name));
  EXPECT_TRUE(blob.SetKind(kind));
  EXPECT_TRUE(blob.SetData(data.data(), static_cast<DWORD>(data.size())));
  return blob;
}

std::vector<BYTE> DataOf(const CTaggedBlob& blob) {
  return std::vector<BYTE>(blob.GetData(), blob.GetData() + blob.GetSize());
}

TEST(TaggedBlob, TextForms) {
  struct Case {
    const wchar_t* name;
    int kind;
    std::vector<BYTE> data;
    const wchar_t* text;
  } cases[] = {
      {L"ab", CTaggedBlob::KindF, {0x01, 0xFF}, L"ACabFAE01FF"},
      {L"", CTaggedBlob::KindM, {}, L"AAMAA"},
      {L"a|b", CTaggedBlob::KindP, {0xAB}, L"ADa|bPACAB"},
  };
  for (const auto& c : cases) {
    CTaggedBlob blob = Make(c.name, c.kind, c.data);
    EXPECT_EQ(std::wstring(blob.ToText()), c.text);
    CTaggedBlob back;
    int used = 0;
    ASSERT_TRUE(back.FromText(c.text, &used)) << c.text;
    EXPECT_EQ(used, static_cast<int>(wcslen(c.text)));
    EXPECT_EQ(back.GetName(), c.name);
    EXPECT_EQ(back.GetKind(), c.kind);
    EXPECT_EQ(DataOf(back), c.data);
  }
}

TEST(TaggedBlob, RoundTripsAcrossTheLengthBoundaries) {
  for (DWORD size : {0u, 1u, 12u, 13u, 255u, 256u, 336u, 337u}) {
    std::vector<BYTE> data(size);
    for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 7 + 1);
    for (int nameLength : {0, 25, 26, 675}) {
      std::wstring name(nameLength, L'n');
      CTaggedBlob blob = Make(name.c_str(), CTaggedBlob::KindF, data);
      CString text = blob.ToText();
      CTaggedBlob back;
      ASSERT_TRUE(back.FromText(text)) << size << " bytes, name " << nameLength;
      EXPECT_EQ(DataOf(back), data);
      EXPECT_EQ(back.GetName().GetLength(), nameLength);
    }
  }
}

TEST(TaggedBlob, RefusesWhatItsTextFormCannotHold) {
  CTaggedBlob blob = Make(L"keep", CTaggedBlob::KindM, {1, 2});
  std::vector<BYTE> big(338);
  EXPECT_FALSE(blob.SetData(big.data(), 338));
  EXPECT_FALSE(blob.SetName(std::wstring(676, L'x').c_str()));
  EXPECT_FALSE(blob.SetKind(3));
  EXPECT_EQ(std::wstring(blob.ToText()), L"AEkeepMAE0102");
}

TEST(TaggedBlob, MalformedTextsEmptyTheRecord) {
  const wchar_t* cases[] = {
      L"ACabFAD01F",   // odd hex-digit count
      L"ACabFAE01",    // shorter than its prefix says
      L"AZab",         // name shorter than its prefix
      L"ACabXAE01FF",  // unknown kind letter
      L"ACabFAE0G11",  // not hex
      L"a@abFAE01FF",  // prefix letters outside A..Z
      L"AcabFAE01FF",
      L"A",
      L"",
  };
  for (const wchar_t* text : cases) {
    CTaggedBlob blob = Make(L"old", CTaggedBlob::KindP, {9});
    EXPECT_FALSE(blob.FromText(text)) << text;
    EXPECT_TRUE(blob.GetName().IsEmpty()) << text;
    EXPECT_EQ(blob.GetSize(), 0u) << text;
  }
  CTaggedBlob blob;
  EXPECT_FALSE(blob.FromText(nullptr));
}

TEST(TaggedBlob, ByteForm) {
  std::vector<BYTE> data(255, 0x5A);
  CTaggedBlob blob = Make(L"n", CTaggedBlob::KindP, data);
  DWORD needed = 3;
  EXPECT_TRUE(blob.WriteBinary(nullptr, needed));
  EXPECT_EQ(needed, 3u + 257u);

  std::vector<BYTE> buffer(257);
  DWORD room = 256;
  EXPECT_FALSE(blob.WriteBinary(buffer.data(), room));
  room = 257;
  BYTE* next = nullptr;
  ASSERT_TRUE(blob.WriteBinary(buffer.data(), room, &next));
  EXPECT_EQ(room, 0u);
  EXPECT_EQ(next, buffer.data() + 257);
  EXPECT_EQ(buffer[0], 'P');
  EXPECT_EQ(buffer[1], 255);

  CTaggedBlob back;
  DWORD left = 257;
  EXPECT_EQ(back.ReadBinary(buffer.data(), left), buffer.data() + 257);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(back.GetKind(), CTaggedBlob::KindP);
  EXPECT_EQ(DataOf(back), data);

  std::vector<BYTE> more(256, 1);
  CTaggedBlob large = Make(L"", CTaggedBlob::KindM, more);
  DWORD counter = 0;
  EXPECT_FALSE(large.WriteBinary(nullptr, counter));

  struct Bad {
    std::vector<BYTE> bytes;
  } bad[] = {{{'M'}}, {{'Q', 0}}, {{'F', 2, 1}}};  // too short, bad kind, size beyond the rest
  for (const Bad& b : bad) {
    DWORD size = static_cast<DWORD>(b.bytes.size());
    EXPECT_EQ(back.ReadBinary(b.bytes.data(), size), nullptr);
  }
  const BYTE exact[] = {'F', 1, 7};
  DWORD size = 3;
  EXPECT_EQ(back.ReadBinary(exact, size), exact + 3);
}

TEST(TaggedBlob, ArrayCopiesItsRecords) {
  CTaggedBlobArray array;
  {
    CTaggedBlob blob = Make(L"a", CTaggedBlob::KindF, {1});
    array.Add(blob);
    array.Add(Make(L"b", CTaggedBlob::KindM, {2, 3}));
  }
  ASSERT_EQ(array.GetCount(), 2);
  EXPECT_EQ(array[0].GetName(), L"a");
  EXPECT_TRUE(array.RemoveAt(0));
  EXPECT_EQ(DataOf(array[0]), (std::vector<BYTE>{2, 3}));
  array.RemoveAll();
  EXPECT_EQ(array.GetCount(), 0);
}

TEST(TaggedBlob, KindAndTextBuffer) {
  CBlobObj blob;
  ASSERT_TRUE(PackKindText(0x01020304, L"Inbox", blob));
  ASSERT_EQ(blob.GetSize(), 4u + 10u);
  EXPECT_EQ(blob.GetData()[0], 0x04);
  DWORD kind = 0;
  CString text;
  ASSERT_TRUE(UnpackKindText(blob, kind, text));
  EXPECT_EQ(kind, 0x01020304u);
  EXPECT_EQ(text, L"Inbox");

  CBlobObj shortBlob;
  shortBlob.Assign("abc", 3);
  EXPECT_FALSE(UnpackKindText(shortBlob, kind, text));
}

}  // namespace
