// The emulated device's sample stores read as the device's messaging would show them:
// an e-mail account with every special folder and folders of its own, a text-message
// store, and messages of every kind.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/cemapi/StoreText.h"
#include "platform/cemapi/cemapi.h"

namespace {

std::string Resource(int id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(nullptr, found);
  return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

TEST(SampleStoreTest, TheDevicesStoresHoldWhatTheMessagesTabShows) {
  StoreRecord mail, sms;
  std::string error;
  ASSERT_TRUE(CStoreText::Parse(Resource(101), mail, error)) << error;
  ASSERT_TRUE(CStoreText::Parse(Resource(102), sms, error)) << error;

  std::set<std::wstring> roles;
  bool nested = false;
  for (const FolderRecord& f : mail.folders) {
    roles.insert(f.role);
    for (const FolderRecord& g : mail.folders) nested = nested || (g.parent == f.id && f.parent && f.role.empty());
  }
  EXPECT_EQ((std::set<std::wstring>{L"", L"root", L"inbox", L"outbox", L"sent", L"deleted", L"drafts"}), roles);
  EXPECT_TRUE(nested);
  EXPECT_EQ(L"ActiveSync", mail.props[PR_CE_TRANSPORT_NAME_W].text);
  EXPECT_EQ(L"SMS", sms.props[PR_CE_TRANSPORT_NAME_W].text);

  int plain = 0, html = 0, mime = 0, attached = 0, read = 0, unread = 0;
  for (MessageRecord& m : mail.messages) {
    plain += m.props.count(PR_BODY_W) ? 1 : 0;
    html += m.props.count(CHANGE_PROP_TYPE(PR_BODY_HTML, PT_UNICODE)) ? 1 : 0;
    bool multipart = m.props[PR_CE_MIME_TEXT].bytes.find("multipart/mixed") != std::string::npos;
    mime += multipart ? 1 : 0;
    attached += m.props.count(PR_HASATTACH) && m.props[PR_HASATTACH].number ? 1 : 0;
    (m.props[PR_MESSAGE_FLAGS].number & MSGFLAG_READ ? read : unread)++;
  }
  EXPECT_GT(plain, 0);
  EXPECT_GT(html, 0);
  EXPECT_GT(mime, 0);
  EXPECT_GT(attached, 0);
  EXPECT_GT(read, 0);
  EXPECT_GT(unread, 0);
  // Phone messages only: text messages and picture messages.
  for (const MessageRecord& m : sms.messages) {
    const std::wstring& cls = m.props.at(PR_MESSAGE_CLASS_W).text;
    EXPECT_TRUE(cls.find(L"SMStext") != std::wstring::npos || cls == L"IPM.MMS") << cls.c_str();
  }

  // No id is used twice on the device.
  std::set<ULONGLONG> ids = {mail.id, sms.id};
  size_t count = 2;
  for (const StoreRecord* s : {&mail, &sms}) {
    for (const FolderRecord& f : s->folders) ids.insert(f.id), ++count;
    for (const MessageRecord& m : s->messages) ids.insert(m.id), ++count;
  }
  EXPECT_EQ(count, ids.size());
}

}  // namespace
