// Changing stores as the device does: SetProps is on disk and notified when it
// returns, a moved message keeps its entry id, sinks hear changes made in this and
// other processes, and a damaged store file is refused and left as it is.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/StoreText.h"
#include "platform/cemapi/tests/MapiTestSupport.h"

using namespace mapitest;

namespace {

struct Heard {
  ULONG event;
  ULONG objType;
  std::string id, parent, oldId, oldParent;
  DWORD thread;
};

// A sink like the message list's: AddRef and Release count nothing.
class CRecordingSink : public IMAPIAdviseSink {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  ULONG STDMETHODCALLTYPE OnNotify(ULONG count, LPNOTIFICATION n) override {
    std::lock_guard<std::mutex> lock(mutex_);
    for (ULONG i = 0; i < count; ++i) {
      auto bytes = [](ULONG cb, LPENTRYID id) {
        return id ? std::string(reinterpret_cast<const char*>(id), cb) : std::string();
      };
      Heard h{n[i].ulEventType, 0, {}, {}, {}, {}, GetCurrentThreadId()};
      if (n[i].ulEventType == fnevNewMail) {
        h.id = bytes(n[i].info.newmail.cbEntryID, n[i].info.newmail.lpEntryID);
        h.parent = bytes(n[i].info.newmail.cbParentID, n[i].info.newmail.lpParentID);
      } else {
        const OBJECT_NOTIFICATION& o = n[i].info.obj;
        h.objType = o.ulObjType;
        h.id = bytes(o.cbEntryID, o.lpEntryID);
        h.parent = bytes(o.cbParentID, o.lpParentID);
        h.oldId = bytes(o.cbOldID, o.lpOldID);
        h.oldParent = bytes(o.cbOldParentID, o.lpOldParentID);
      }
      heard_.push_back(h);
    }
    return 0;
  }
  std::vector<Heard> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Heard> out;
    out.swap(heard_);
    return out;
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return heard_.size();
  }

 private:
  std::mutex mutex_;
  std::vector<Heard> heard_;
};

LONG ReadFlags(IMAPISession* session, ULONGLONG message) {
  IMessage* m = Open<IMessage>(session, Entry(MAPI_MESSAGE, message));
  if (!m) return -1;
  SizedSPropTagArray<1> tags = {1, {PR_MESSAGE_FLAGS}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  LONG flags = -2;
  if (SUCCEEDED(m->GetProps(tags, MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == PR_MESSAGE_FLAGS)
    flags = values[0].Value.l;
  MAPIFreeBuffer(values);
  m->Release();
  return flags;
}

HRESULT SetFlags(IMAPISession* session, ULONGLONG message, LONG flags) {
  IMessage* m = Open<IMessage>(session, Entry(MAPI_MESSAGE, message));
  if (!m) return MAPI_E_NOT_FOUND;
  SPropValue v = {};
  v.ulPropTag = PR_MESSAGE_FLAGS;
  v.Value.l = flags;
  HRESULT hr = m->SetProps(1, &v, nullptr);
  m->Release();
  return hr;
}

}  // namespace

// Child jobs: what another program of the device does.
bool cedbtest::RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  const ULONGLONG message = wcstoull(arg.c_str(), nullptr, 16);
  if (job == L"read-flags") {
    CSessionHolder session;
    *exitCode = static_cast<DWORD>(ReadFlags(session.get(), message) + 100);
  } else if (job == L"count-up") {
    // Sets the message's priority to 1, 2, ... 20, one SetProps at a time.
    CSessionHolder session;
    IMessage* m = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, message));
    *exitCode = 1;
    if (m) {
      DWORD failures = 0;
      for (LONG i = 1; i <= 20; ++i) {
        SPropValue v = {};
        v.ulPropTag = PR_PRIORITY;
        v.Value.l = i;
        failures += FAILED(m->SetProps(1, &v, nullptr)) ? 1 : 0;
      }
      m->Release();
      *exitCode = failures;
    }
  } else if (job == L"mark-read") {
    CSessionHolder session;
    *exitCode = SUCCEEDED(SetFlags(session.get(), message, MSGFLAG_READ)) ? 0 : 1;
  } else {
    return false;
  }
  return true;
}

namespace {

class ChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallFixture();
    CeMapiTestSetSynchronousNotify(TRUE);
    ASSERT_TRUE(session_.get());
    ASSERT_EQ(S_OK, session_->Advise(0, nullptr, 0xFFFFFFFF, &sink_, &connection_));
  }
  void TearDown() override {
    session_->Unadvise(connection_);
    CeMapiTestSetSynchronousNotify(FALSE);
  }
  HRESULT Move(ULONGLONG message, ULONGLONG from, ULONGLONG to, ULONG flags) {
    IMAPIFolder* source = Open<IMAPIFolder>(session_.get(), Entry(MAPI_FOLDER, from));
    IMAPIFolder* target = Open<IMAPIFolder>(session_.get(), Entry(MAPI_FOLDER, to));
    if (!source || !target) return E_FAIL;
    std::string id = Entry(MAPI_MESSAGE, message);
    SBinary bin = Bin(id);
    ENTRYLIST list = {1, &bin};
    HRESULT hr = source->CopyMessages(&list, nullptr, target, 0, nullptr, flags);
    source->Release();
    target->Release();
    return hr;
  }
  std::string ParentOf(ULONGLONG message) {
    IMessage* m = Open<IMessage>(session_.get(), Entry(MAPI_MESSAGE, message));
    if (!m) return "<gone>";
    SizedSPropTagArray<1> tags = {1, {PR_PARENT_ENTRYID}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    m->GetProps(tags, 0, &count, &values);
    std::string parent(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb);
    MAPIFreeBuffer(values);
    m->Release();
    return parent;
  }

  CSessionHolder session_;
  CRecordingSink sink_;
  ULONG connection_ = 0;
};

TEST_F(ChangeTest, SetPropsIsOnDiskAndNotifiedWhenItReturns) {
  ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgPlain, MSGFLAG_READ));
  auto heard = sink_.Take();
  ASSERT_EQ(1u, heard.size());
  EXPECT_EQ(fnevObjectModified, heard[0].event);
  EXPECT_EQ(MAPI_MESSAGE, heard[0].objType);
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgPlain), heard[0].id);
  EXPECT_EQ(Entry(MAPI_FOLDER, kInbox), heard[0].parent);
  EXPECT_EQ(GetCurrentThreadId(), heard[0].thread);

  // Another process reads the file, and the file itself holds the change.
  EXPECT_EQ(100u + MSGFLAG_READ, RunChild(L"read-flags", L"B001"));
  StoreRecord record;
  std::string error;
  ASSERT_TRUE(CStoreText::ParseFile(ReadFileBytes(StorePath(L"mail.mst")), record, error)) << error;
  EXPECT_EQ(static_cast<LONGLONG>(MSGFLAG_READ), record.messages[0].props[PR_MESSAGE_FLAGS].number);
  EXPECT_TRUE(record.messages[0].props.count(PR_LAST_MODIFICATION_TIME));
}

TEST_F(ChangeTest, SetPropsRefusesWorkedOutPropertiesAndKeepsTheRest) {
  IMessage* m = Open<IMessage>(session_.get(), Entry(MAPI_MESSAGE, kMsgPlain));
  ASSERT_TRUE(m);
  std::string other = Entry(MAPI_MESSAGE, kMsgHtml);
  SPropValue values[2] = {};
  values[0].ulPropTag = PR_ENTRYID;
  values[0].Value.bin = Bin(other);
  values[1].ulPropTag = PR_SUBJECT_W;
  values[1].Value.lpszW = const_cast<LPWSTR>(L"Renamed");
  LPSPropProblemArray problems = nullptr;
  ASSERT_EQ(S_OK, m->SetProps(2, values, &problems));
  ASSERT_TRUE(problems);
  ASSERT_EQ(1u, problems->cProblem);
  EXPECT_EQ(0u, problems->aProblem[0].ulIndex);
  EXPECT_EQ(MAPI_E_COMPUTED, problems->aProblem[0].scode);
  MAPIFreeBuffer(problems);
  SizedSPropTagArray<2> tags = {2, {PR_ENTRYID, PR_SUBJECT_W}};
  ULONG count = 0;
  LPSPropValue got = nullptr;
  ASSERT_EQ(S_OK, m->GetProps(tags, MAPI_UNICODE, &count, &got));
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgPlain), std::string(reinterpret_cast<char*>(got[0].Value.bin.lpb), 32));
  EXPECT_STREQ(L"Renamed", got[1].Value.lpszW);
  MAPIFreeBuffer(got);
  m->Release();
}

TEST_F(ChangeTest, AMoveKeepsTheEntryIdWithinAndAcrossStores) {
  struct Case {
    ULONGLONG from, to;
  } cases[] = {{kInbox, kDeleted}, {kDeleted, kArchive}, {kArchive, kSmsInbox}};
  for (const Case& c : cases) {
    ASSERT_EQ(S_OK, Move(kMsgPlain, c.from, c.to, MESSAGE_MOVE));
    EXPECT_EQ(Entry(MAPI_FOLDER, c.to), ParentOf(kMsgPlain));
    auto heard = sink_.Take();
    ASSERT_EQ(1u, heard.size());
    EXPECT_EQ(fnevObjectMoved, heard[0].event);
    EXPECT_EQ(MAPI_MESSAGE, heard[0].objType);
    EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgPlain), heard[0].id);
    EXPECT_EQ(heard[0].id, heard[0].oldId);
    EXPECT_EQ(Entry(MAPI_FOLDER, c.to), heard[0].parent);
    EXPECT_EQ(Entry(MAPI_FOLDER, c.from), heard[0].oldParent);
  }
  // The recipients and bodies travelled with it.
  IMessage* m = Open<IMessage>(session_.get(), Entry(MAPI_MESSAGE, kMsgPlain));
  ASSERT_TRUE(m);
  IMAPITable* table = nullptr;
  ASSERT_EQ(S_OK, m->GetRecipientTable(MAPI_UNICODE, &table));
  ULONG rows = 0;
  table->GetRowCount(0, &rows);
  EXPECT_EQ(2u, rows);
  table->Release();
  m->Release();
  // A message that is not in the source folder is not moved.
  EXPECT_EQ(MAPI_W_PARTIAL_COMPLETION, Move(kMsgHtml, kDeleted, kArchive, MESSAGE_MOVE));
  EXPECT_EQ(Entry(MAPI_FOLDER, kInbox), ParentOf(kMsgHtml));
}

TEST_F(ChangeTest, CopyMakesANewMessageAndDeleteRemovesOne) {
  ASSERT_EQ(S_OK, Move(kMsgHtml, kInbox, kDrafts, 0));
  auto heard = sink_.Take();
  ASSERT_EQ(1u, heard.size());
  EXPECT_EQ(fnevObjectCopied, heard[0].event);
  EXPECT_NE(heard[0].id, heard[0].oldId);
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgHtml), heard[0].oldId);
  EXPECT_EQ(Entry(MAPI_FOLDER, kDrafts), heard[0].parent);
  std::string copy = heard[0].id;
  EXPECT_EQ(Entry(MAPI_FOLDER, kInbox), ParentOf(kMsgHtml));

  IMAPIFolder* drafts = Open<IMAPIFolder>(session_.get(), Entry(MAPI_FOLDER, kDrafts));
  ASSERT_TRUE(drafts);
  SBinary bin = Bin(copy);
  ENTRYLIST list = {1, &bin};
  ASSERT_EQ(S_OK, drafts->DeleteMessages(&list, 0, nullptr, 0));
  drafts->Release();
  heard = sink_.Take();
  ASSERT_EQ(1u, heard.size());
  EXPECT_EQ(fnevObjectDeleted, heard[0].event);
  EXPECT_EQ(copy, heard[0].id);
  EXPECT_EQ(Entry(MAPI_FOLDER, kDrafts), heard[0].parent);
  IUnknown* gone = nullptr;
  ULONG type = 0;
  EXPECT_EQ(MAPI_E_NOT_FOUND, session_->OpenEntry(32, reinterpret_cast<LPENTRYID>(&copy[0]), nullptr, 0, &type, &gone));
}

TEST_F(ChangeTest, ASinkHearsAChangeMadeByAnotherProcessOnTheRelayThread) {
  CeMapiTestSetSynchronousNotify(FALSE);
  ASSERT_EQ(0u, RunChild(L"mark-read", L"B002"));
  ASSERT_TRUE(PumpUntil([&] { return sink_.Count() >= 1; }));
  auto heard = sink_.Take();
  ASSERT_EQ(1u, heard.size());
  EXPECT_EQ(fnevObjectModified, heard[0].event);
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgHtml), heard[0].id);
  EXPECT_NE(GetCurrentThreadId(), heard[0].thread);
  EXPECT_EQ(MSGFLAG_READ, static_cast<ULONG>(ReadFlags(session_.get(), kMsgHtml)));
}

// The relay may still hold a change when a new sink is advised; the new sink hears
// only what comes after.
TEST_F(ChangeTest, ASinkHearsNothingOfChangesMadeBeforeItsAdvise) {
  CeMapiTestSetSynchronousNotify(FALSE);
  CRecordingSink late;
  ULONG lateConnection = 0;
  {
    // Holding the device's store lock keeps the relay from reading the change before
    // the new sink is in place.
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgHtml, 0));
    ASSERT_EQ(S_OK, session_->Advise(0, nullptr, 0xFFFFFFFF, &late, &lateConnection));
  }
  ASSERT_TRUE(PumpUntil([&] { return sink_.Count() >= 1; }));
  ASSERT_EQ(0u, RunChild(L"mark-read", L"B001"));
  ASSERT_TRUE(PumpUntil([&] { return late.Count() >= 1 && sink_.Count() >= 2; }));
  auto heard = late.Take();
  ASSERT_EQ(1u, heard.size());
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgPlain), heard[0].id);
  session_->Unadvise(lateConnection);
}

// More changes than the ring holds while the relay cannot read: the sink hears that
// the store as a whole changed, once, and reads again.
TEST_F(ChangeTest, ASinkThatFellTooFarBehindHearsTheStoreChanged) {
  CeMapiTestSetSynchronousNotify(FALSE);
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    for (int i = 0; i < SharedBlock::kRing + 10; ++i) ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgPlain, i & 1));
  }
  // One change more, heard in its turn, shows that nothing else was on its way.
  ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgHtml, 0));
  ASSERT_TRUE(PumpUntil([&] { return sink_.Count() >= 2; }));
  auto heard = sink_.Take();
  ASSERT_EQ(2u, heard.size());
  EXPECT_EQ(fnevObjectModified, heard[0].event);
  EXPECT_EQ(MAPI_STORE, heard[0].objType);
  EXPECT_EQ(Entry(MAPI_MESSAGE, kMsgHtml), heard[1].id);
}

TEST_F(ChangeTest, NoCallReachesASinkAfterItsUnadvise) {
  CeMapiTestSetSynchronousNotify(FALSE);
  ASSERT_EQ(S_OK, session_->Unadvise(connection_));
  ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgPlain, MSGFLAG_READ));
  // A second sink, advised after the change, tells when the relay has passed it.
  CRecordingSink later;
  ULONG laterConnection = 0;
  ASSERT_EQ(S_OK, session_->Advise(0, nullptr, 0xFFFFFFFF, &later, &laterConnection));
  ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgPlain, 0));
  ASSERT_TRUE(PumpUntil([&] { return later.Count() >= 1; }));
  EXPECT_EQ(0u, sink_.Count());
  session_->Unadvise(laterConnection);
  EXPECT_EQ(MAPI_E_NOT_FOUND, session_->Unadvise(connection_));
  ASSERT_EQ(S_OK, session_->Advise(0, nullptr, 0xFFFFFFFF, &sink_, &connection_));  // for TearDown
}

// Two programs changing messages of one store at once: neither change is lost.
TEST_F(ChangeTest, ProgramsWritingOneStoreAtOnceLoseNothing) {
  HANDLE a = StartChild(L"count-up", L"B001");
  HANDLE b = StartChild(L"count-up", L"B002");
  ASSERT_TRUE(a && b);
  HANDLE both[] = {a, b};
  WaitForMultipleObjects(2, both, TRUE, 60000);
  for (HANDLE h : both) {
    DWORD code = 99;
    GetExitCodeProcess(h, &code);
    EXPECT_EQ(0u, code);
    CloseHandle(h);
  }
  StoreRecord record;
  std::string error;
  ASSERT_TRUE(CStoreText::ParseFile(ReadFileBytes(StorePath(L"mail.mst")), record, error)) << error;
  EXPECT_EQ(20, record.messages[0].props[PR_PRIORITY].number);
  EXPECT_EQ(20, record.messages[1].props[PR_PRIORITY].number);
}

TEST_F(ChangeTest, LogoffDropsTheSessionsSinksAndLogonNeedsNoInitialize) {
  IMAPISession* other = nullptr;
  ASSERT_EQ(S_OK, MAPILogonEx(0, nullptr, nullptr, 0, &other));  // without a MAPIInitialize of its own
  CRecordingSink sink;
  ULONG connection = 0;
  ASSERT_EQ(S_OK, other->Advise(0, nullptr, 0xFFFFFFFF, &sink, &connection));
  ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgPlain, MSGFLAG_READ));
  EXPECT_EQ(1u, sink.Count());
  ASSERT_EQ(S_OK, other->Logoff(0, 0, 0));
  ASSERT_EQ(S_OK, SetFlags(session_.get(), kMsgPlain, 0));
  EXPECT_EQ(1u, sink.Count());
  EXPECT_EQ(2u, sink_.Take().size());  // the first session's sink still hears every change
  other->Release();
}

// A store file damaged behind the library's back: no change is written over it, the
// change is refused with an error, and the stores table leaves the store out.
TEST_F(ChangeTest, ADamagedStoreFileIsRefusedAndLeftUntouched) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
  } cases[] = {
      {"a flipped byte", [](std::string& b) { b[b.size() / 2] ^= 0x20; }},
      {"cut short", [](std::string& b) { b.resize(b.size() - 40); }},
      {"another header", [](std::string& b) { b[0] = 'X'; }},
      {"empty", [](std::string& b) { b.clear(); }},
  };
  for (const Case& c : cases) {
    InstallFixture();
    std::string bytes = ReadFileBytes(StorePath(L"mail.mst"));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(0, ReadFlags(session_.get(), kMsgPlain)) << c.what;  // the good file is read
    c.damage(bytes);
    ASSERT_TRUE(WriteFileBytes(StorePath(L"mail.mst"), bytes));
    EXPECT_EQ(MAPI_E_CORRUPT_STORE, SetFlags(session_.get(), kMsgPlain, MSGFLAG_READ)) << c.what;
    EXPECT_EQ(bytes, ReadFileBytes(StorePath(L"mail.mst"))) << c.what;
    IMAPITable* table = nullptr;
    ASSERT_EQ(S_OK, session_->GetMsgStoresTable(MAPI_UNICODE, &table));
    ULONG rows = 0;
    table->GetRowCount(0, &rows);
    table->Release();
    EXPECT_EQ(1u, rows) << c.what;
    EXPECT_EQ(0u, RunChild(L"mark-read", L"D001")) << c.what;  // the other store still works
    EXPECT_EQ(bytes, ReadFileBytes(StorePath(L"mail.mst"))) << c.what;
  }
  sink_.Take();
}

}  // namespace
