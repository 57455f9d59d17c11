// The message record: rows of the 16 columns as a store gives them (missing
// properties in place with the error type, short rows, texts from other mail
// programs), the classification of message classes, and the size and time texts.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/tests/ResourceLibraryScope.h"
#include "tabs/messages/EmailItem.h"

namespace {

// A row built in code: every column present by default, any of them replaced by an
// error value or dropped from the end.
class CRow {
 public:
  CRow() : values_(kEmailColumnCount) {
    LPSPropTagArray columns = GetEmailColumns();
    for (int i = 0; i < kEmailColumnCount; ++i) values_[i].ulPropTag = columns->aulPropTag[i];
    Bin(kColEntryId, "\x01\x02\x03\x04");
    Bin(kColParentId, "\x09\x09");
    Text(kColSubject, L"Quarterly figures");
    Text(kColSenderAddress, L"ann@example.com");
    Text(kColClass, L"IPM.Note");
    values_[kColFlags].Value.ul = MSGFLAG_READ;
    values_[kColHasAttach].Value.b = 1;
    Time(kColDeliveryTime, 2026, 3, 16, 9, 5);
    values_[kColSize].Value.ul = 10000;
    Time(kColModifiedTime, 2026, 3, 17, 10, 0);
    values_[kColStatus].Value.ul = MSGSTATUS_HEADERONLY;
    Text(kColDisplayTo1, L"Bob");
    Text(kColDisplayTo2, L"Bob");
    values_[kColPriority].Value.l = 2;
    Text(kColSenderName, L"Ann");
    Text(kColBody, L"See the attachment.");
  }
  CRow& Missing(int column) {
    values_[column].ulPropTag = CHANGE_PROP_TYPE(values_[column].ulPropTag, PT_ERROR);
    values_[column].Value.err = MAPI_E_NOT_FOUND;
    return *this;
  }
  CRow& Text(int column, const wchar_t* text) {
    texts_.push_back(text);
    values_[column].Value.lpszW = const_cast<LPWSTR>(texts_.back().c_str());
    return *this;
  }
  CRow& Bin(int column, const std::string& bytes) {
    blobs_.push_back(bytes);
    values_[column].Value.bin.cb = static_cast<ULONG>(blobs_.back().size());
    values_[column].Value.bin.lpb = reinterpret_cast<LPBYTE>(const_cast<char*>(blobs_.back().data()));
    return *this;
  }
  CRow& Time(int column, WORD y, WORD m, WORD d, WORD h, WORD min) {
    SYSTEMTIME t = {y, m, 0, d, h, min, 0, 0};
    SystemTimeToFileTime(&t, &values_[column].Value.ft);
    return *this;
  }
  const SPropValue* data() const { return values_.data(); }
  ULONG size() const { return static_cast<ULONG>(values_.size()); }
  void Resize(ULONG n) { values_.resize(n); }

 private:
  std::vector<SPropValue> values_;
  std::deque<std::wstring> texts_;  // a deque keeps the values' pointers valid as it grows
  std::deque<std::string> blobs_;
};

double LocalOf(WORD y, WORD m, WORD d, WORD h, WORD min) {
  SYSTEMTIME utc = {y, m, 0, d, h, min, 0, 0}, local;
  double date = 0;
  EXPECT_TRUE(UtcToLocalSystemTime(nullptr, utc, &local));
  SystemTimeToVariantDate(local, &date);
  return date;
}

class EmailItemTest : public ::testing::Test {
 protected:
  CResourceLibraryScope resources_;
  CBlobObj store_;
  void SetUp() override {
    ASSERT_TRUE(resources_.Loaded());
    store_.Assign("STORE", 5);
  }
};

TEST_F(EmailItemTest, AFullRowFillsEveryKeptField) {
  CRow row;
  EMAIL_ITEM item;
  ASSERT_TRUE(item.FillFromRow(row.data(), row.size(), nullptr, store_, nullptr));
  EXPECT_EQ(4u, item.entryId.GetSize());
  EXPECT_EQ(0, memcmp(item.entryId.GetData(), "\x01\x02\x03\x04", 4));
  EXPECT_EQ(2u, item.parentId.GetSize());
  EXPECT_EQ(5u, item.storeId.GetSize());
  EXPECT_STREQ(L"Quarterly figures", item.subject);
  EXPECT_STREQ(L"ann@example.com", item.senderAddress);
  EXPECT_STREQ(L"Ann", item.senderName);
  EXPECT_STREQ(L"IPM.Note", item.messageClass);
  EXPECT_STREQ(L"See the attachment.", item.body);
  EXPECT_EQ(10000u, item.size);
  EXPECT_TRUE(item.IsRead());
  EXPECT_TRUE(item.hasAttachments);
  EXPECT_EQ(MSGSTATUS_HEADERONLY, item.status);
  EXPECT_EQ(2, item.priority);
  EXPECT_DOUBLE_EQ(LocalOf(2026, 3, 16, 9, 5), item.time);
  // The recipient comes from the message: without one or a session it waits.
  EXPECT_TRUE(item.recipientText.IsEmpty());
  EXPECT_TRUE(item.recipientPending);
}

TEST_F(EmailItemTest, MissingPropertiesGiveWhatIsThere) {
  struct Case {
    const char* name;
    std::vector<int> missing;
    ULONG keep;  // columns kept from the start, 0 = all
    bool filled;
  };
  const Case cases[] = {
      {"no entry id", {kColEntryId}, 0, false},
      {"empty row", {}, 1000, false},  // resized to 0 below
      {"nothing but the entry id", {}, 1, true},
      {"every optional column an error",
       {kColParentId, kColSubject, kColSenderAddress, kColClass, kColFlags, kColHasAttach, kColDeliveryTime,
        kColSize, kColModifiedTime, kColStatus, kColDisplayTo1, kColDisplayTo2, kColPriority, kColSenderName,
        kColBody},
       0, true},
      {"no delivery time", {kColDeliveryTime}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRow row;
    for (int column : c.missing) row.Missing(column);
    if (c.keep == 1000)
      row.Resize(0);
    else if (c.keep)
      row.Resize(c.keep);
    EMAIL_ITEM item;
    item.subject = L"old";
    ASSERT_EQ(c.filled, !!item.FillFromRow(row.data(), row.size(), nullptr, store_, nullptr));
    if (!c.filled) continue;
    const bool all = c.keep == 0;
    auto present = [&](int column) {
      if (!all) return false;
      for (int m : c.missing)
        if (m == column) return false;
      return true;
    };
    EXPECT_STREQ(present(kColSubject) ? L"Quarterly figures" : L"[no subject]", item.subject);
    EXPECT_STREQ(present(kColClass) ? L"IPM.Note" : L"#Error reading", item.messageClass);
    EXPECT_STREQ(present(kColBody) ? L"See the attachment." : L"#Error reading", item.body);
    EXPECT_EQ(present(kColSenderName), !item.senderName.IsEmpty());
    EXPECT_EQ(present(kColSenderAddress), !item.senderAddress.IsEmpty());
    EXPECT_EQ(present(kColPriority) ? 2 : -1, item.priority);
    EXPECT_EQ(present(kColSize) ? 10000u : 0u, item.size);
    EXPECT_EQ(present(kColFlags) ? MSGFLAG_READ : 0u, item.flags);
    EXPECT_EQ(present(kColStatus) ? MSGSTATUS_HEADERONLY : 0u, item.status);
    EXPECT_EQ(present(kColHasAttach), !!item.hasAttachments);
    EXPECT_EQ(present(kColParentId) ? 2u : 0u, item.parentId.GetSize());
    const double expected = present(kColDeliveryTime)   ? LocalOf(2026, 3, 16, 9, 5)
                            : present(kColModifiedTime) ? LocalOf(2026, 3, 17, 10, 0)
                                                        : kNoDate;
    EXPECT_DOUBLE_EQ(expected, item.time);
  }
}

TEST_F(EmailItemTest, AValueOfAnotherTypeUnderTheColumnsIdCountsAsMissing) {
  // A store that answers the subject as 8-bit text, the flags as a short: neither is
  // the column asked for.
  CRow row;
  SPropValue* values = const_cast<SPropValue*>(row.data());
  values[kColSubject].ulPropTag = CHANGE_PROP_TYPE(PR_SUBJECT_W, PT_STRING8);
  values[kColFlags].ulPropTag = CHANGE_PROP_TYPE(PR_MESSAGE_FLAGS, PT_I2);
  EMAIL_ITEM item;
  ASSERT_TRUE(item.FillFromRow(row.data(), row.size(), nullptr, store_, nullptr));
  EXPECT_STREQ(L"[no subject]", item.subject);
  EXPECT_EQ(0u, item.flags);
}

TEST_F(EmailItemTest, SizeTexts) {
  struct Case {
    DWORD size;
    const wchar_t* pattern;
  };
  const Case cases[] = {
      {0, L"0B"},           {1023, L"1023B"},        {1024, L"1#00K"},     {2048, L"2#00K"},
      {10000, L"9#76K"},    {1048575, L"1023K"},     {1048576, L"1#00M"},  {10 * 1048576 + 5, L"10#0M"},
      {1073741823, L"1023M"}, {1073741824, L"1#00G"}, {0xFFFFFFFF, L"3#99G"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    EMAIL_ITEM item;
    item.size = c.size;
    CString expected(c.pattern);
    WCHAR separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    expected.Replace(L"#", separator[0] ? separator : L",");
    EXPECT_STREQ(expected, item.GetSizeText(FALSE));
    // Kept until forced.
    item.size = 1;
    EXPECT_STREQ(expected, item.GetSizeText(FALSE));
    EXPECT_STREQ(L"1B", item.GetSizeText(TRUE));
  }
}

TEST_F(EmailItemTest, MessageClasses) {
  struct Case {
    const wchar_t* cls;
    const wchar_t* transport;
    bool mms, phone;
  };
  const Case cases[] = {
      {L"IPM.Note", L"Note", false, false},
      {L"IPM.SMStext", L"SMStext", false, true},
      {L"IPM.SMSText.Receipt", L"SMSText", false, true},
      {L"IPM.MMS", L"MMS", true, true},
      {L"IPM.MMS1.Delivery", L"MMS1", true, false},
      {L"IPM.MMSX", L"MMSX", false, false},
      {L"IPM.smstext", L"smstext", false, false},
      {L"Palm.class.MMS", L"class", false, false},
      {L"NoPoint", L"", false, false},
      {L"Trailing.", L"", false, false},
      {L"", L"", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.cls)));
    EMAIL_ITEM item;
    item.messageClass = c.cls;
    EXPECT_STREQ(c.transport, item.GetTransport());
    EXPECT_EQ(c.mms, !!item.IsMms());
    EXPECT_EQ(c.phone, !!item.IsPhoneMessage());
    EXPECT_EQ(c.phone ? 1 : 0, item.phoneMessage);
  }
}

TEST_F(EmailItemTest, AddressParts) {
  struct Case {
    const wchar_t* sender;
    const wchar_t* recipient;
    const wchar_t* part;
  };
  const Case cases[] = {
      {L"ann@example.com", L"Bob <bob@example.com>", L"ann@example.com"},
      {L"", L"Bob <bob@example.com>", L"bob@example.com"},
      {L"Ann <ann@example.com", L"", L"ann@example.com"},
      {L"<>", L"", L""},
      {L"", L"+46701234567", L"+46701234567"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    EMAIL_ITEM item;
    item.senderAddress = c.sender;
    item.recipientText = c.recipient;
    EXPECT_STREQ(c.part, item.GetAddressPart());
  }
}

TEST_F(EmailItemTest, FillFromText) {
  struct Case {
    const wchar_t *idText, *subject, *body, *wantSubject, *wantBody;
  };
  const Case cases[] = {
      {nullptr, L"Hi", L"Body", L"Hi", L"Body"},
      {L"ab", L"", L"Only a body", L"Only a body", L"Only a body"},
      {nullptr, L"Only a subject", L"", L"Only a subject", L"Only a subject"},
      {nullptr, L"", L"", L"[no subject]", L""},
  };
  for (const Case& c : cases) {
    EMAIL_ITEM item;
    item.flags = MSGFLAG_READ;
    item.phoneMessage = 1;
    item.sizeText = L"x";
    ASSERT_TRUE(item.FillFromText(L"IPM.SMStext", 0x01020304, c.idText, L"+4670", L"+4671", c.subject, c.body,
                                  46000.5));
    EXPECT_STREQ(c.wantSubject, item.subject);
    EXPECT_STREQ(c.wantBody, item.body);
    EXPECT_EQ(static_cast<DWORD>(lstrlenW(c.wantBody) * 2), item.size);
    EXPECT_EQ(4u, item.entryId.GetSize());
    if (c.idText) {
      EXPECT_EQ(0, memcmp(item.entryId.GetData(), L"ab", 4));
    } else {
      EXPECT_EQ(0x01020304u, *reinterpret_cast<DWORD*>(item.entryId.GetData()));
    }
    EXPECT_STREQ(L"+4670", item.recipientName);
    EXPECT_STREQ(L"+4670", item.recipientText);
    EXPECT_STREQ(L"+4671", item.senderName);
    EXPECT_EQ(0u, item.flags);
    EXPECT_EQ(-1, item.priority);
    EXPECT_EQ(-1, item.phoneMessage);
    EXPECT_TRUE(item.sizeText.IsEmpty());
    EXPECT_DOUBLE_EQ(46000.5, item.time);
  }
}

TEST_F(EmailItemTest, TimeTexts) {
  struct Case {
    const wchar_t *picture, *shortened;
  };
  const Case cases[] = {
      {L"h:mm:ss tt", L"h:mm:sst"}, {L"HH:mm:ss", L"HH:mm:ss"}, {L"tt h:mm", L"th:mm"}, {L"", L""}};
  for (const Case& c : cases) EXPECT_STREQ(c.shortened, ShortenTimePicture(c.picture));

  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wHour = 15;
  now.wMinute = 45;
  now.wSecond = 0;
  now.wMilliseconds = 0;
  EMAIL_ITEM today;
  SystemTimeToVariantDate(now, &today.time);
  const CString text = today.GetTimeText(FALSE);
  EXPECT_FALSE(text.IsEmpty());
  EXPECT_LT(text.Find(L' '), 0);
  EXPECT_GE(text.Find(L"45"), 0);
  CString lower(text);
  lower.MakeLower();
  EXPECT_STREQ(lower, text);

  EMAIL_ITEM earlier;
  earlier.time = std::floor(today.time) - 3 + 0.5;
  CString date;
  FormatVariantDate(date, earlier.time);
  EXPECT_FALSE(date.IsEmpty());
  EXPECT_STREQ(date, earlier.GetTimeText(FALSE));
}

// Rows as any store might answer: random types under the columns' ids, random
// lengths, empty and long texts, binaries of any size. Filling never reads outside
// what the row gives and either fails for want of an entry id or fills.
TEST_F(EmailItemTest, FuzzedRowsNeverFault) {
  std::mt19937 random(0x454D4149);
  const ULONG types[] = {PT_ERROR, PT_LONG, PT_I2, PT_BOOLEAN, PT_UNICODE, PT_STRING8, PT_SYSTIME, PT_BINARY,
                         PT_NULL, PT_I8};
  std::vector<std::wstring> texts = {L"", L"x", std::wstring(5000, L'\x00E9'), L"IPM.MMS.", L".", L"<a@b"};
  std::vector<std::string> blobs = {"", "\x01", std::string(300, '\xFF')};
  LPSPropTagArray columns = GetEmailColumns();
  for (int round = 0; round < 4000; ++round) {
    SCOPED_TRACE(round);
    std::vector<SPropValue> row(random() % (kEmailColumnCount + 3));
    for (size_t i = 0; i < row.size(); ++i) {
      const ULONG id = i < kEmailColumnCount && random() % 4 ? PROP_ID(columns->aulPropTag[i]) : random() % 0x10000;
      const ULONG type = random() % 3 == 0 ? types[random() % ARRAYSIZE(types)]
                                           : (i < kEmailColumnCount ? PROP_TYPE(columns->aulPropTag[i]) : PT_LONG);
      row[i].ulPropTag = PROP_TAG(type, id);
      switch (type) {
        case PT_UNICODE:
          row[i].Value.lpszW = const_cast<LPWSTR>(texts[random() % texts.size()].c_str());
          break;
        case PT_BINARY: {
          const std::string& blob = blobs[random() % blobs.size()];
          row[i].Value.bin.cb = static_cast<ULONG>(blob.size());
          row[i].Value.bin.lpb = blob.empty() && random() % 2 ? nullptr
                                                              : reinterpret_cast<LPBYTE>(const_cast<char*>(blob.data()));
          break;
        }
        case PT_SYSTIME:
          row[i].Value.ft.dwLowDateTime = random();
          row[i].Value.ft.dwHighDateTime = random() % 3 ? random() % 0x01E00000 : random();
          break;
        default:
          row[i].Value.li.QuadPart = (static_cast<LONGLONG>(random()) << 32) | random();
          break;
      }
    }
    EMAIL_ITEM item;
    const BOOL filled = item.FillFromRow(row.empty() ? nullptr : row.data(), static_cast<ULONG>(row.size()), nullptr,
                                         store_, nullptr);
    const bool hasId = !row.empty() && row[0].ulPropTag == PR_ENTRYID;
    EXPECT_EQ(hasId, !!filled);
    if (!filled) continue;
    EXPECT_FALSE(item.subject.IsEmpty());
    item.GetSizeText(TRUE);
    item.GetTimeText(TRUE);
    item.IsPhoneMessage();
    item.GetAddressPart();
  }
}

}  // namespace
