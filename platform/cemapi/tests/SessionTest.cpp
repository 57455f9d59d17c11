// Reading stores as the device answers: the stores table, the parent walk up to a
// store, contents and hierarchy tables in the columns asked, missing properties as
// errors in the value, bodies through streams, recipients.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cemapi/tests/MapiTestSupport.h"

using namespace mapitest;

namespace {

std::wstring Text(const SPropValue& v) { return PROP_TYPE(v.ulPropTag) == PT_UNICODE ? v.Value.lpszW : L"<none>"; }
std::string Bytes(const SPropValue& v) {
  return PROP_TYPE(v.ulPropTag) == PT_BINARY ? std::string(reinterpret_cast<const char*>(v.Value.bin.lpb), v.Value.bin.cb)
                                             : std::string("<none>");
}

// Every row of a table, a batch of `batch` at a time, until an empty row set.
std::vector<std::vector<SPropValue>> AllRows(IMAPITable* table, LONG batch, std::vector<LPSRowSet>& keep) {
  std::vector<std::vector<SPropValue>> rows;
  for (int guard = 0; guard < 100; ++guard) {
    LPSRowSet set = nullptr;
    if (FAILED(table->QueryRows(batch, 0, &set)) || !set) break;
    keep.push_back(set);
    if (set->cRows == 0) break;
    for (ULONG i = 0; i < set->cRows; ++i)
      rows.emplace_back(set->aRow[i].lpProps, set->aRow[i].lpProps + set->aRow[i].cValues);
  }
  return rows;
}

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallFixture(); }
  void TearDown() override {
    for (LPSRowSet s : keep_) FreeProws(s);
  }
  std::vector<LPSRowSet> keep_;
};

TEST_F(SessionTest, StoresTableGivesEachStoreWithItsTransportUnderBothTags) {
  CSessionHolder session;
  ASSERT_TRUE(session.get());
  IMAPITable* table = nullptr;
  ASSERT_EQ(S_OK, session->GetMsgStoresTable(MAPI_UNICODE, &table));
  SizedSPropTagArray<4> columns = {4, {PR_ENTRYID, PR_DISPLAY_NAME_W, PR_CE_TRANSPORT_NAME_W, PR_CE_TRANSPORT_NAME_OLD_W}};
  ASSERT_EQ(S_OK, table->SetColumns(columns, 0));
  auto rows = AllRows(table, 1, keep_);
  table->Release();
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(Entry(MAPI_STORE, kMailStore), Bytes(rows[0][0]));
  EXPECT_EQ(L"Mail", Text(rows[0][1]));
  EXPECT_EQ(L"ActiveSync", Text(rows[0][2]));
  EXPECT_EQ(L"ActiveSync", Text(rows[0][3]));
  EXPECT_EQ(L"SMS", Text(rows[1][1]));
  EXPECT_EQ(L"SMS", Text(rows[1][2]));
}

// The walk the message list makes from a folder up to its store: each parent opens
// until the one above the store, which does not; the last object opened is the store.
TEST_F(SessionTest, ParentWalkFromANestedFolderEndsOnTheStore) {
  CSessionHolder session;
  IMAPIProp* current = Open<IMAPIProp>(session.get(), Entry(MAPI_FOLDER, kArchive));
  ASSERT_TRUE(current);
  std::string currentId, storeId;
  std::wstring service, name;
  for (int step = 0; step < 10 && storeId.empty(); ++step) {
    SizedSPropTagArray<3> tags = {3, {PR_PARENT_ENTRYID, PR_CE_TRANSPORT_NAME_W, PR_DISPLAY_NAME_W}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    ASSERT_TRUE(SUCCEEDED(current->GetProps(tags, MAPI_UNICODE, &count, &values)));
    ASSERT_EQ(PR_PARENT_ENTRYID, values[0].ulPropTag);
    std::string parent = Bytes(values[0]);
    ASSERT_NE(parent, currentId);
    IMAPIProp* above = Open<IMAPIProp>(session.get(), parent);
    if (above) {
      current->Release();
      current = above;
      currentId = parent;
    } else {
      storeId = currentId;
      if (PROP_TYPE(values[1].ulPropTag) == PT_UNICODE) service = values[1].Value.lpszW;
      if (PROP_TYPE(values[2].ulPropTag) == PT_UNICODE) name = values[2].Value.lpszW;
    }
    MAPIFreeBuffer(values);
  }
  current->Release();
  EXPECT_EQ(Entry(MAPI_STORE, kMailStore), storeId);
  EXPECT_EQ(L"ActiveSync", service);
  EXPECT_EQ(L"Mail", name);

  IMsgStore* store = nullptr;
  ASSERT_EQ(S_OK, session->OpenMsgStore(0, static_cast<ULONG>(storeId.size()),
                                        reinterpret_cast<LPENTRYID>(&storeId[0]), nullptr, 0, &store));
  SizedSPropTagArray<7> special = {7,
                                   {PR_DISPLAY_NAME_W, PR_IPM_WASTEBASKET_ENTRYID, PR_CE_IPM_INBOX_ENTRYID,
                                    PR_IPM_OUTBOX_ENTRYID, PR_IPM_SENTMAIL_ENTRYID, PR_CE_IPM_DRAFTS_ENTRYID,
                                    PR_IPM_SUBTREE_ENTRYID}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  ASSERT_EQ(S_OK, store->GetProps(special, MAPI_UNICODE, &count, &values));
  ASSERT_EQ(7u, count);
  EXPECT_EQ(L"Mail", Text(values[0]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kDeleted), Bytes(values[1]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kInbox), Bytes(values[2]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kOutbox), Bytes(values[3]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kSent), Bytes(values[4]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kDrafts), Bytes(values[5]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kMailRoot), Bytes(values[6]));
  MAPIFreeBuffer(values);
  store->Release();
}

const ULONG kSixteen[] = {PR_ENTRYID,        PR_PARENT_ENTRYID,      PR_SUBJECT_W,
                          PR_SENDER_EMAIL_ADDRESS_W, PR_MESSAGE_CLASS_W, PR_MESSAGE_FLAGS,
                          PR_HASATTACH,      PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_SIZE,
                          PR_LAST_MODIFICATION_TIME, PR_MSG_STATUS,  PR_DISPLAY_TO_W,
                          PR_DISPLAY_TO_W,   PR_PRIORITY,            PR_SENDER_NAME_W,
                          PR_BODY_W};

TEST_F(SessionTest, ContentsTableGivesTheSixteenColumnsInTheOrderAsked) {
  CSessionHolder session;
  IMAPIFolder* inbox = Open<IMAPIFolder>(session.get(), Entry(MAPI_FOLDER, kInbox));
  ASSERT_TRUE(inbox);
  IMAPITable* table = nullptr;
  ASSERT_EQ(S_OK, inbox->GetContentsTable(0, &table));
  SizedSPropTagArray<16> columns = {16, {}};
  for (int i = 0; i < 16; ++i) columns.aulPropTag[i] = kSixteen[i];
  ASSERT_EQ(S_OK, table->SetColumns(columns, 0));
  auto rows = AllRows(table, 8, keep_);
  table->Release();
  inbox->Release();
  ASSERT_EQ(3u, rows.size());
  for (const auto& row : rows) {
    ASSERT_EQ(16u, row.size());
    for (int i = 0; i < 16; ++i)
      EXPECT_TRUE(row[i].ulPropTag == kSixteen[i] || row[i].ulPropTag == CHANGE_PROP_TYPE(kSixteen[i], PT_ERROR))
          << "column " << i;
  }
  const auto& plain = rows[0];
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgPlain), Bytes(plain[0]));
  EXPECT_EQ(Entry(MAPI_FOLDER, kInbox), Bytes(plain[1]));
  EXPECT_EQ(L"Plain hello", Text(plain[2]));
  EXPECT_EQ(L"ann@example.com", Text(plain[3]));
  EXPECT_EQ(L"IPM.Note", Text(plain[4]));
  EXPECT_EQ(0, plain[5].Value.l);
  EXPECT_EQ(0, plain[6].Value.b);
  SYSTEMTIME st;
  FileTimeToSystemTime(&plain[7].Value.ft, &st);
  EXPECT_EQ(2026, st.wYear);
  EXPECT_EQ(9, st.wHour);
  EXPECT_EQ(30, st.wMinute);
  EXPECT_EQ(1200, plain[8].Value.l);
  EXPECT_EQ(CHANGE_PROP_TYPE(PR_LAST_MODIFICATION_TIME, PT_ERROR), plain[9].ulPropTag);
  EXPECT_EQ(MAPI_E_NOT_FOUND, plain[9].Value.err);
  EXPECT_EQ(L"Bob", Text(plain[11]));  // the primary recipients only
  EXPECT_EQ(L"Bob", Text(plain[12]));
  EXPECT_EQ(1, plain[13].Value.l);
  EXPECT_EQ(L"Ann", Text(plain[14]));
  EXPECT_EQ(L"Hello \u00e9\r\nSecond line", Text(plain[15]));

  const auto& html = rows[1];
  EXPECT_EQ(1, html[5].Value.l);
  EXPECT_EQ(CHANGE_PROP_TYPE(PR_MESSAGE_DELIVERY_TIME, PT_ERROR), html[7].ulPropTag);
  EXPECT_EQ(PR_LAST_MODIFICATION_TIME, html[9].ulPropTag);
  EXPECT_EQ(CHANGE_PROP_TYPE(PR_BODY_W, PT_ERROR), html[15].ulPropTag);

  const auto& mime = rows[2];
  EXPECT_EQ(1, mime[6].Value.b);
  EXPECT_EQ(static_cast<LONG>(MSGSTATUS_HEADERONLY), mime[10].Value.l);
}

TEST_F(SessionTest, MissingPropertiesComeBackAsErrorsInTheirPlace) {
  CSessionHolder session;
  IMessage* bare = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, kMsgBare));
  ASSERT_TRUE(bare);
  SizedSPropTagArray<4> tags = {4, {PR_SUBJECT_W, PR_MESSAGE_CLASS_W, PR_BODY_W, PR_PRIORITY}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  EXPECT_EQ(MAPI_W_ERRORS_RETURNED, bare->GetProps(tags, MAPI_UNICODE, &count, &values));
  ASSERT_EQ(4u, count);
  EXPECT_EQ(L"Bare", Text(values[0]));
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(CHANGE_PROP_TYPE(tags.aulPropTag[i], PT_ERROR), values[i].ulPropTag);
    EXPECT_EQ(MAPI_E_NOT_FOUND, values[i].Value.err);
  }
  MAPIFreeBuffer(values);
  bare->Release();
}

std::string ReadStream(IStream* stream, ULONG chunk) {
  std::string out;
  std::vector<char> buf(chunk);
  for (;;) {
    ULONG got = 0;
    if (FAILED(stream->Read(buf.data(), chunk, &got))) break;
    out.append(buf.data(), got);
    if (got < chunk) break;
  }
  return out;
}

TEST_F(SessionTest, BodiesOpenAsStreams) {
  std::wstring plainBody = L"Hello \u00e9\r\nSecond line";
  struct Case {
    ULONGLONG message;
    ULONG tag;
    std::string expected;  // empty: the property is missing
  } cases[] = {
      {kMsgPlain, PR_BODY_W, std::string(reinterpret_cast<const char*>(plainBody.data()), plainBody.size() * 2)},
      {kMsgPlain, PR_BODY, "Hello \xC3\xA9\r\nSecond line"},
      {kMsgHtml, PR_BODY_HTML, "<p>News</p>"},
      {kMsgMime, PR_CE_MIME_TEXT, ""},
      {kMsgHtml, PR_BODY_W, ""},
      {kMsgPlain, PR_CE_MIME_TEXT, ""},
  };
  CSessionHolder session;
  for (const Case& c : cases) {
    IMessage* message = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, c.message));
    ASSERT_TRUE(message);
    IUnknown* unknown = nullptr;
    HRESULT hr = message->OpenProperty(c.tag, &IID_IStream, 0, 0, &unknown);
    if (c.tag == PR_CE_MIME_TEXT && c.message == kMsgMime) {
      ASSERT_EQ(S_OK, hr);
      std::string mime = ReadStream(static_cast<IStream*>(unknown), 255);
      EXPECT_EQ(0u, mime.find("From: Ann <ann@example.com>\r\n"));
      EXPECT_NE(std::string::npos, mime.find("\r\n--b1--\r\n"));
      unknown->Release();
    } else if (c.expected.empty()) {
      EXPECT_EQ(MAPI_E_NOT_FOUND, hr) << std::hex << c.tag;
      EXPECT_EQ(nullptr, unknown);
    } else {
      ASSERT_EQ(S_OK, hr) << std::hex << c.tag;
      EXPECT_EQ(c.expected, ReadStream(static_cast<IStream*>(unknown), 510));
      unknown->Release();
    }
    message->Release();
  }
}

TEST_F(SessionTest, RecipientTableGivesEachRecipient) {
  CSessionHolder session;
  IMessage* message = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, kMsgPlain));
  ASSERT_TRUE(message);
  IMAPITable* table = nullptr;
  ASSERT_EQ(S_OK, message->GetRecipientTable(MAPI_UNICODE, &table));
  SizedSPropTagArray<4> columns = {4, {PR_RECIPIENT_TYPE, PR_DISPLAY_NAME_W, PR_ADDRTYPE_W, PR_EMAIL_ADDRESS_W}};
  ASSERT_EQ(S_OK, table->SetColumns(columns, 0));
  auto rows = AllRows(table, 1, keep_);
  table->Release();
  message->Release();
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(1, rows[0][0].Value.l);
  EXPECT_EQ(L"Bob", Text(rows[0][1]));
  EXPECT_EQ(L"SMTP", Text(rows[0][2]));
  EXPECT_EQ(L"bob@example.com", Text(rows[0][3]));
  EXPECT_EQ(2, rows[1][0].Value.l);
  EXPECT_EQ(L"cid@example.com", Text(rows[1][3]));
}

TEST_F(SessionTest, HierarchyTableGivesFoldersWithTheirKindAndSubfolders) {
  CSessionHolder session;
  IMAPIFolder* root = Open<IMAPIFolder>(session.get(), Entry(MAPI_FOLDER, kMailRoot));
  ASSERT_TRUE(root);
  IMAPITable* table = nullptr;
  ASSERT_EQ(S_OK, root->GetHierarchyTable(0, &table));
  SizedSPropTagArray<4> columns = {4, {PR_ENTRYID, PR_DISPLAY_NAME_W, PR_SUBFOLDERS, PR_FOLDER_TYPE}};
  ASSERT_EQ(S_OK, table->SetColumns(columns, 0));
  auto rows = AllRows(table, 8, keep_);
  table->Release();
  root->Release();
  struct Expected {
    const wchar_t* name;
    bool subfolders;
    ULONG kind;  // 0: none
  } expected[] = {{L"Inbox", false, FOLDER_INBOX},          {L"Outbox", false, FOLDER_OUTBOX},
                  {L"Sent Items", false, FOLDER_SENT},      {L"Deleted Items", false, FOLDER_DELETED},
                  {L"Drafts", false, FOLDER_DRAFTS},        {L"Projects", true, 0}};
  ASSERT_EQ(6u, rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(expected[i].name, Text(rows[i][1]));
    EXPECT_EQ(expected[i].subfolders, rows[i][2].Value.b != 0) << i;
    if (expected[i].kind) EXPECT_EQ(expected[i].kind, static_cast<ULONG>(rows[i][3].Value.l));
    else EXPECT_EQ(CHANGE_PROP_TYPE(PR_FOLDER_TYPE, PT_ERROR), rows[i][3].ulPropTag);
  }
}

TEST_F(SessionTest, EntryIdsCompareAndOpenByKind) {
  CSessionHolder session;
  std::string a = Entry(MAPI_MESSAGE, kMsgPlain), b = Entry(MAPI_MESSAGE, kMsgHtml);
  ULONG equal = 7;
  ASSERT_EQ(S_OK, session->CompareEntryIDs(32, reinterpret_cast<LPENTRYID>(&a[0]), 32,
                                           reinterpret_cast<LPENTRYID>(&a[0]), 0, &equal));
  EXPECT_EQ(1u, equal);
  ASSERT_EQ(S_OK, session->CompareEntryIDs(32, reinterpret_cast<LPENTRYID>(&a[0]), 32,
                                           reinterpret_cast<LPENTRYID>(&b[0]), 0, &equal));
  EXPECT_EQ(0u, equal);

  struct Case {
    std::string entry;
    HRESULT result;
    ULONG type;
  } cases[] = {
      {Entry(MAPI_STORE, kMailStore), S_OK, MAPI_STORE},
      {Entry(MAPI_FOLDER, kInbox), S_OK, MAPI_FOLDER},
      {Entry(MAPI_MESSAGE, kSmsText), S_OK, MAPI_MESSAGE},
      {Entry(MAPI_MESSAGE, 0x999), MAPI_E_NOT_FOUND, 0},
      {Entry(0x100, kMailStore), MAPI_E_NOT_FOUND, 0},  // above the store
      {std::string("\0\0\0\0junk", 8), MAPI_E_INVALID_ENTRYID, 0},
  };
  for (const Case& c : cases) {
    IUnknown* unknown = nullptr;
    ULONG type = 0;
    EXPECT_EQ(c.result, session->OpenEntry(static_cast<ULONG>(c.entry.size()),
                                           reinterpret_cast<LPENTRYID>(const_cast<char*>(c.entry.data())), nullptr,
                                           0, &type, &unknown));
    EXPECT_EQ(c.type, type);
    if (unknown) unknown->Release();
  }
}

}  // namespace
