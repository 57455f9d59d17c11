#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include <gtest/gtest.h>

#include <string>

namespace {

class RegKey : public ::testing::Test {
 protected:
  CRegistrySandbox sandbox{L"RegKey"};
  std::wstring path = sandbox.DevicePath();
};

// Reading a number writes its default back when the value cannot be read as 4 bytes,
// except for the marker default; whatever 4 (or fewer) bytes are stored come back.
TEST_F(RegKey, GetDWORDReturnsStoredBytesOrWritesTheDefaultBack) {
  enum Stored { kMissing, kNumber, kLongText, kFourByteText, kTwoBytes };
  struct Case {
    const char* what;
    Stored stored;
    DWORD defaultValue;
    DWORD expected;
    bool storedAfter;  // a REG_DWORD equal to expected is in the registry afterwards
  };
  const Case cases[] = {
      {"missing, default 5", kMissing, 5, 5, true},
      {"missing, default 0", kMissing, 0, 0, true},
      {"missing, marker default", kMissing, CRegKey::kNoWriteBack, 0xDEF0, false},
      {"number", kNumber, 5, 77, true},
      {"number, marker default", kNumber, CRegKey::kNoWriteBack, 77, true},
      // A text read as a number is replaced by the default: the user's text is lost.
      {"long text", kLongText, 9, 9, true},
      {"4-byte text", kFourByteText, 9, MAKELONG(L'a', 0), false},
      // Two stored bytes fill the low half of a zeroed number.
      {"2-byte binary", kTwoBytes, 9, 0xBEEF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegDeleteTreeW(sandbox.Root(), sandbox.Path());
    switch (c.stored) {
      case kMissing: sandbox.WriteDWORD(L"Other", 1); break;
      case kNumber: sandbox.WriteDWORD(L"Value", 77); break;
      case kLongText: sandbox.WriteString(L"Value", L"forty-two"); break;
      case kFourByteText: sandbox.WriteString(L"Value", L"a"); break;
      case kTwoBytes: {
        // Garbage in the bytes the value does not cover would show in the result.
        const BYTE bytes[] = {0xEF, 0xBE};
        sandbox.Write(L"Value", REG_BINARY, bytes, sizeof bytes);
        break;
      }
    }
    {
      CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
      EXPECT_EQ(key.GetDWORD(L"Value", c.defaultValue), c.expected);
      EXPECT_FALSE(key.WillFlushOnClose()) << "a default written back is not a write";
    }
    DWORD stored = 0;
    EXPECT_EQ(sandbox.ReadDWORD(L"Value", stored), c.storedAfter);
    if (c.storedAfter) {
      EXPECT_EQ(stored, c.expected);
    }
    if (c.stored == kMissing && !c.storedAfter) {
      EXPECT_FALSE(sandbox.Has(L"Value"));
    }
  }
}

TEST_F(RegKey, GetStringWritesAValidDefaultBackAndCountsItAsAWrite) {
  sandbox.WriteString(L"Present", L"kept");
  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());

  EXPECT_EQ(key.GetString(L"Present", L"default"), L"kept");
  EXPECT_EQ(key.GetString(nullptr, L"default"), L"");
  EXPECT_FALSE(key.WillFlushOnClose());

  EXPECT_EQ(key.GetString(L"NullDefault", nullptr), L"");
  EXPECT_FALSE(sandbox.Has(L"NullDefault"));
  EXPECT_FALSE(key.WillFlushOnClose());

  EXPECT_EQ(key.GetString(L"EmptyDefault", L""), L"");
  DWORD type = 0;
  std::wstring bytes;
  ASSERT_TRUE(sandbox.Read(L"EmptyDefault", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, std::wstring(1, L'\0'));
  EXPECT_TRUE(key.WillFlushOnClose());

  EXPECT_EQ(key.GetString(L"Pattern", L"p3nqrsc"), L"p3nqrsc");
  EXPECT_EQ(key.QueryString(L"Pattern"), L"p3nqrsc");
}

// A text stored without its terminator still reads as exactly its characters.
TEST_F(RegKey, StringWithoutTerminatorReadsWhole) {
  sandbox.Write(L"Bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));
  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  EXPECT_EQ(key.GetString(L"Bare", L"x"), L"abc");
  EXPECT_EQ(key.QueryString(L"Bare"), L"abc");
}

// A number or blob under a text's name is not text: the query answers empty
// and the default is answered without overwriting the stored value.
TEST_F(RegKey, NonTextValuesAreNotReadAsText) {
  const DWORD number = 0x00410042;
  sandbox.Write(L"Number", REG_DWORD, &number, sizeof(number));
  const BYTE blob[] = {'h', 0, 'i', 0};
  sandbox.Write(L"Blob", REG_BINARY, blob, sizeof(blob));
  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  for (LPCWSTR name : {L"Number", L"Blob"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(key.QueryString(name), L"");
    EXPECT_EQ(key.GetString(name, L"fallback"), L"fallback");
  }
  DWORD type = 0;
  std::wstring bytes;
  ASSERT_TRUE(sandbox.Read(L"Number", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(key.QueryDWORD(L"Number"), number);
}

TEST_F(RegKey, QueriesNeverWrite) {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
    EXPECT_EQ(key.QueryDWORD(L"Number"), 0u);
    EXPECT_EQ(key.QueryString(L"Text"), L"");
    EXPECT_FALSE(key.ValueExists(L"Number"));
    EXPECT_FALSE(key.WillFlushOnClose());
  }
  EXPECT_FALSE(sandbox.Has(L"Number"));
  EXPECT_FALSE(sandbox.Has(L"Text"));

  sandbox.WriteDWORD(L"Number", 12);
  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  EXPECT_EQ(key.QueryDWORD(L"Number"), 12u);
  EXPECT_TRUE(key.ValueExists(L"Number"));
  EXPECT_FALSE(key.ValueExists(nullptr));
}

TEST_F(RegKey, SettersWriteTheirTypeAndMarkTheKeyWritten) {
  const BYTE blob[] = {1, 2, 3, 0, 5};
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
    EXPECT_TRUE(key.SetDWORD(L"Number", 0x12345678));
    EXPECT_TRUE(key.WillFlushOnClose());
  }
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
    EXPECT_TRUE(key.SetString(L"Text", L"hello"));
    EXPECT_TRUE(key.WillFlushOnClose());
  }
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
    EXPECT_TRUE(key.SetBinary(L"Blob", blob, sizeof blob));
    EXPECT_TRUE(key.WillFlushOnClose());
  }
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path.c_str(), TRUE, FALSE);
    EXPECT_TRUE(key.SetDWORD(L"Unflushed", 1));
    EXPECT_FALSE(key.WillFlushOnClose()) << "flush on close was not asked for";
  }

  DWORD type = 0;
  std::wstring bytes;
  ASSERT_TRUE(sandbox.Read(L"Number", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  ASSERT_TRUE(sandbox.Read(L"Text", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, std::wstring(L"hello", 6)) << "the terminator is stored";
  ASSERT_TRUE(sandbox.Read(L"Blob", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  BYTE read[8] = {};
  DWORD size = sizeof read;
  EXPECT_TRUE(key.QueryValue(L"Blob", read, &size));
  EXPECT_EQ(size, sizeof blob);
  EXPECT_EQ(memcmp(read, blob, sizeof blob), 0);
  size = 0;
  EXPECT_TRUE(key.QueryValue(L"Blob", nullptr, &size)) << "a size query";
  EXPECT_EQ(size, sizeof blob);
  EXPECT_EQ(key.QueryDWORD(L"Number"), 0x12345678u);
}

TEST_F(RegKey, InvalidArgumentsWriteNothingAndLeaveTheKeyUnwritten) {
  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  EXPECT_FALSE(key.SetString(L"Text", nullptr));
  EXPECT_FALSE(key.SetString(nullptr, L"text"));
  EXPECT_FALSE(key.SetDWORD(nullptr, 1));
  EXPECT_FALSE(key.SetBinary(L"Blob", nullptr, 4));
  EXPECT_FALSE(key.WillFlushOnClose());
  EXPECT_FALSE(sandbox.Has(L"Text"));
  EXPECT_FALSE(sandbox.Has(L"Blob"));

  // A buffer that cannot be written for the size given is refused before reading.
  sandbox.WriteDWORD(L"Number", 1);
  DWORD size = 4;
  EXPECT_FALSE(key.QueryValue(L"Number", reinterpret_cast<void*>(static_cast<ULONG_PTR>(16)), &size));
}

TEST_F(RegKey, KeyOpenedWithoutCreateOnAMissingPathReadsDefaultsAndRefusesWrites) {
  std::wstring missing = sandbox.DevicePath() + L"\\Missing";
  {
    CRegKey key(HKEY_LOCAL_MACHINE, missing.c_str(), FALSE);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.GetDWORD(L"Number", 5), 5u);
    EXPECT_EQ(key.GetString(L"Text", L"default"), L"default");
    EXPECT_EQ(key.QueryDWORD(L"Number"), 0u);
    EXPECT_FALSE(key.SetDWORD(L"Number", 1));
    EXPECT_FALSE(key.SetString(L"Text", L"x"));
    EXPECT_FALSE(key.SubKeyExists(L"Any"));
    CString name = L"x";
    EXPECT_FALSE(key.EnumFirstSubKey(name));
    EXPECT_EQ(name, L"");
  }
  CRegKey check(HKEY_LOCAL_MACHINE, missing.c_str(), FALSE);
  EXPECT_FALSE(check.IsOpen()) << "nothing was created";
}

// The device's paths begin with "\"; the product key must really be stored, not
// silently fall back to defaults.
TEST_F(RegKey, RootedPathIsCreatedAndReportsItsDisposition) {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(key.GetDisposition(), static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(key.GetDWORD(L"Number", 3), 3u);
  }
  EXPECT_TRUE(sandbox.Exists());
  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  EXPECT_EQ(key.GetDisposition(), static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(key.QueryDWORD(L"Number"), 3u);
}

TEST_F(RegKey, EnumeratesSubKeysAndValuesToTheEnd) {
  sandbox.CreateSubKey(L"One");
  sandbox.CreateSubKey(L"Two");
  sandbox.WriteDWORD(L"A", 1);
  sandbox.WriteString(L"B", L"b");
  sandbox.WriteDWORD(L"C", 3);

  CRegKey key(HKEY_LOCAL_MACHINE, path.c_str());
  std::wstring keys;
  CString name;
  for (BOOL more = key.EnumFirstSubKey(name); more; more = key.EnumNextSubKey(name)) keys += name + L";";
  EXPECT_EQ(name, L"") << "the end empties the name";
  EXPECT_EQ(keys, L"One;Two;");
  EXPECT_FALSE(key.EnumNextSubKey(name)) << "past the end stays at the end";

  std::wstring values;
  for (BOOL more = key.EnumFirstValue(name); more; more = key.EnumNextValue(name)) values += name + L";";
  EXPECT_EQ(values, L"A;B;C;");

  // Next continues from the stored index: after First it reads index 1.
  ASSERT_TRUE(key.EnumFirstSubKey(name));
  ASSERT_TRUE(key.EnumNextSubKey(name));
  EXPECT_EQ(name, L"Two");

  EXPECT_TRUE(key.SubKeyExists(L"One"));
  EXPECT_FALSE(key.SubKeyExists(L"Three"));
}

// The options program flushes a key whose creation failed; the libraries do not.
TEST(RegKeyFailedCreate, FlushesOnlyWhereTheProgramAsksForIt) {
  struct Case {
    BOOL optionsProgram;
    BOOL expectFlush;
  };
  const Case cases[] = {{FALSE, FALSE}, {TRUE, TRUE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.optionsProgram);
    CRegKey::SetFlushAfterFailedCreate(c.optionsProgram);
    CRegKey failed(nullptr, L"\\Software\\TarvoTests\\NoRoot");
    EXPECT_FALSE(failed.IsOpen());
    EXPECT_EQ(failed.WillFlushOnClose(), c.expectFlush);
    EXPECT_EQ(failed.GetDWORD(L"Number", 5), 5u);
  }
  CRegKey::SetFlushAfterFailedCreate(FALSE);
}

TEST(RegKeyValidStringPtr, ChecksTheFirstAndTheTerminatingCharacter) {
  // The last readable character of a page, with an unreadable page after it.
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  BYTE* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * info.dwPageSize, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(pages, nullptr);
  ASSERT_NE(VirtualAlloc(pages, info.dwPageSize, MEM_COMMIT, PAGE_READWRITE), nullptr);
  wchar_t* edge = reinterpret_cast<wchar_t*>(pages + info.dwPageSize) - 3;
  edge[0] = L'a';
  edge[1] = L'b';
  edge[2] = L'c';  // no terminator before the unreadable page

  struct Case {
    const char* what;
    LPCWSTR text;
    int maxLength;
    BOOL expected;
  };
  const Case cases[] = {
      {"null", nullptr, -1, FALSE},
      {"text", L"abc", -1, TRUE},
      {"empty", L"", -1, TRUE},
      {"limit inside the text", L"abcdef", 2, TRUE},
      {"unterminated before an unreadable page", edge, -1, FALSE},
      {"limit short of the unreadable page", edge, 2, TRUE},
      {"unreadable", reinterpret_cast<LPCWSTR>(pages + info.dwPageSize), -1, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsValidStringPtr(c.text, c.maxLength), c.expected);
  }
  VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
