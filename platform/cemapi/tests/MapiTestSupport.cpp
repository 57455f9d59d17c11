#include "platform/cemapi/tests/MapiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/StoreText.h"

namespace mapitest {

const char kFixtureMail[] = R"(# An e-mail account, as another program might write it
store 000000000000A100
  PR_DISPLAY_NAME_W = "Mail"
  PR_CE_TRANSPORT_NAME_W = "ActiveSync"
folder 000000000000A101
  PR_DISPLAY_NAME_W = "Mail"
folder 000000000000A102 parent 000000000000A101 role inbox
  PR_DISPLAY_NAME_W = "Inbox"
folder 000000000000A103 parent 000000000000A101 role outbox
  PR_DISPLAY_NAME_W = "Outbox"
folder 000000000000A104 parent 000000000000A101 role sent
  PR_DISPLAY_NAME_W = "Sent Items"
folder 000000000000A105 parent 000000000000A101 role deleted
  PR_DISPLAY_NAME_W = "Deleted Items"
folder 000000000000A106 parent 000000000000A101 role drafts
  PR_DISPLAY_NAME_W = "Drafts"
folder 000000000000A107 parent 000000000000A101
  PR_DISPLAY_NAME_W = "Projects"
folder 000000000000A108 parent 000000000000A107
  PR_DISPLAY_NAME_W = "Archive"
message 000000000000B001 folder 000000000000A102
  PR_SUBJECT_W = "Plain hello"
  PR_SENDER_EMAIL_ADDRESS_W = "ann@example.com"
  PR_SENDER_NAME_W = "Ann"
  PR_MESSAGE_CLASS_W = "IPM.Note"
  PR_MESSAGE_FLAGS = 0
  PR_HASATTACH = false
  PR_MESSAGE_DELIVERY_TIME = 2026-12-01 09:30:00
  PR_MESSAGE_SIZE = 1200
  PR_MSG_STATUS = 0
  PR_PRIORITY = 1
  PR_BODY_W = "Hello \u00e9\r\nSecond line"
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = "Bob"
  PR_ADDRTYPE_W = "SMTP"
  PR_EMAIL_ADDRESS_W = "bob@example.com"
recipient
  PR_RECIPIENT_TYPE = 2
  PR_DISPLAY_NAME_W = "Cid"
  PR_ADDRTYPE_W = "SMTP"
  PR_EMAIL_ADDRESS_W = "cid@example.com"
message 000000000000B002 folder 000000000000A102
  PR_SUBJECT_W = "Html news"
  PR_MESSAGE_CLASS_W = "IPM.Note"
  PR_MESSAGE_FLAGS = 1
  PR_LAST_MODIFICATION_TIME = 2026-12-02 10:00:00
  PR_BODY_HTML = "<p>News</p>"
message 000000000000B003 folder 000000000000A102
  PR_SUBJECT_W = "Mime with attachment"
  PR_MESSAGE_CLASS_W = "IPM.Note"
  PR_HASATTACH = true
  PR_MSG_STATUS = 0x100000
  PR_CE_MIME_TEXT = <<END
From: Ann <ann@example.com>
Subject: Mime with attachment
Content-Type: multipart/mixed; boundary="b1"

--b1
Content-Type: text/plain

See attached.
--b1
Content-Type: application/octet-stream; name="a.bin"
Content-Transfer-Encoding: base64

AAECAw==
--b1--
END
message 000000000000B004 folder 000000000000A107
  PR_SUBJECT_W = "Bare"
)";

const char kFixtureSms[] = R"(store 000000000000C100
  PR_DISPLAY_NAME_W = "SMS"
  PR_CE_TRANSPORT_NAME_W = "SMS"
folder 000000000000C101
  PR_DISPLAY_NAME_W = "SMS"
folder 000000000000C102 parent 000000000000C101 role inbox
  PR_DISPLAY_NAME_W = "Inbox"
message 000000000000D001 folder 000000000000C102
  PR_SUBJECT_W = "Call me"
  PR_MESSAGE_CLASS_W = "IPM.SMStext"
  PR_SENDER_EMAIL_ADDRESS_W = "+15550100"
  PR_BODY_W = "Call me"
)";

std::wstring BinFile(const wchar_t* name) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir = exe;
  return dir.substr(0, dir.rfind(L'\\') + 1) + name;
}

std::wstring StorePath(const std::wstring& name) { return Root() + L"\\MessageStores\\" + name; }

void RemoveStores() {
  CStoreSet& set = CStoreSet::Instance();
  CStoreSet::Guard guard(set);
  WIN32_FIND_DATAW fd;
  std::wstring dir = Root() + L"\\MessageStores";
  HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((dir + L"\\" + fd.cFileName).c_str());
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }
  InterlockedIncrement(&set.Shared()->generation);
}

bool InstallStore(const std::wstring& name, const std::string& text) {
  StoreRecord record;
  std::string error;
  if (!CStoreText::Parse(text, record, error)) {
    ADD_FAILURE() << error;
    return false;
  }
  CStoreSet& set = CStoreSet::Instance();
  CStoreSet::Guard guard(set);
  HRESULT hr = set.Install(name, record, error);
  if (FAILED(hr)) ADD_FAILURE() << error << " " << std::hex << hr;
  return SUCCEEDED(hr);
}

void InstallFixture() {
  RemoveStores();
  ASSERT_TRUE(InstallStore(L"mail.mst", kFixtureMail));
  ASSERT_TRUE(InstallStore(L"sms.mst", kFixtureSms));
}

std::string Entry(ULONG kind, ULONGLONG id) { return CEntryId::Make(kind, id); }

SBinary Bin(const std::string& bytes) {
  SBinary b;
  b.cb = static_cast<ULONG>(bytes.size());
  b.lpb = reinterpret_cast<LPBYTE>(const_cast<char*>(bytes.data()));
  return b;
}

CSessionHolder::CSessionHolder() {
  MAPIInitialize(nullptr);
  MAPILogonEx(0, nullptr, nullptr, 0, &session_);
}

CSessionHolder::~CSessionHolder() {
  if (session_) {
    session_->Logoff(0, 0, 0);
    session_->Release();
  }
  MAPIUninitialize();
}

}  // namespace mapitest
