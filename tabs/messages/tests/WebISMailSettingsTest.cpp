#include "tabs/messages/WebISMailSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/coredll/cedb.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "tabs/messages/tests/WebISTestSupport.h"

namespace {

using webistest::Folder;
using webistest::WriteVolume;

class WebISMailSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data = cedbtest::Root() + L"\\WebISData";
    CreateDirectoryW(data.c_str(), nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WebIS");
  }
  void TearDown() override {
    webistest::Uninstall(data);
    for (const wchar_t* file : {L"\\Work.vol", L"\\Home.vol", L"\\Empty.vol", L"\\Broken.vol"})
      DeleteFileW((cedbtest::Root() + file).c_str());
  }
  void Install(const std::string& ini, DWORD build = 1234) { ASSERT_TRUE(webistest::Install(data, ini, build)); }

  std::wstring data;
};

const char kTwoAccounts[] =
    "[Settings]\r\nEmailIntegration=TRUE\r\nSMSIntegration=false\r\nMarkReadOnDeletion=FALSE\r\n"
    "DeletePermanently=TRUE\r\n"
    "[SERVICE.1]\r\nStorage=work\r\nStorageName=Work mail\r\nStorageDBFileName=\\Work.vol\r\nServiceName=IMAP\r\n"
    "[service.2]\r\nStorage=work\r\nStorageName=Work mail\r\nStorageDBFileName=\\Work.vol\r\nServiceName=SMTP\r\n"
    "[SERVICE]\r\nStorage=plain\r\nStorageName=Not a service\r\nStorageDBFileName=\\Home.vol\r\nServiceName=POP\r\n"
    "[SERVICE.3]\r\nStorage=half\r\nStorageName=Missing a key\r\nStorageDBFileName=\\Home.vol\r\n"
    "[SERVICE.4]\r\nStorage=home\r\nStorageName=Home\r\nStorageDBFileName=Home.vol\r\nServiceName=POP\r\n"
    "[SERVICE.5]\r\nStorage=empty\r\nStorageName=Empty\r\nStorageDBFileName=\\Empty.vol\r\nServiceName=POP\r\n"
    "[SERVICE.6]\r\nStorage=broken\r\nStorageName=Broken\r\nStorageDBFileName=\\Broken.vol\r\nServiceName=POP\r\n"
    "[SERVICE.7]\r\nStorage=gone\r\nStorageName=Gone\r\nStorageDBFileName=\\Gone.vol\r\nServiceName=POP\r\n";

TEST_F(WebISMailSettingsTest, AccountsOfTheServiceSectionsWithTheirFolders) {
  const std::vector<CEOID> work = WriteVolume(L"\\Work.vol", {{0, 1, L"Inbox"}, {0, 4, L"Trash"}, {0, 9, L"Lists"}});
  WriteVolume(L"\\Home.vol", {{0, 1, L"Inbox"}});
  WriteVolume(L"\\Empty.vol", {});
  WriteVolume(L"\\Broken.vol", {{0, 1, L"Inbox"}}, false);
  Install(kTwoAccounts);
  const std::string volumeBefore = cedbtest::ReadFileBytes(cedbtest::Root() + L"\\Work.vol");
  const std::string iniBefore = cedbtest::ReadFileBytes(data + L"\\settings.ini");
  ASSERT_FALSE(volumeBefore.empty());
  CWebISMailSettings settings;
  ASSERT_TRUE(settings.IsInstalled());
  EXPECT_EQ(settings.GetBuild(), 1234u);
  EXPECT_TRUE(settings.IsEmailIntegration());
  EXPECT_FALSE(settings.IsSmsIntegration());
  EXPECT_EQ(settings.GetDeleteFlags(), 3u);  // until the accounts are read
  ASSERT_TRUE(settings.LoadAccounts());
  EXPECT_EQ(settings.GetDeleteFlags(), 0u);  // not marked read, deleted for good

  std::vector<std::wstring> accounts;
  CString key, name;
  for (BOOL more = settings.GetFirstAccount(key, name); more; more = settings.GetNextAccount(key, name))
    accounts.push_back(std::wstring(key) + L"=" + std::wstring(name));
  EXPECT_EQ(accounts, (std::vector<std::wstring>{L"work=Work mail", L"home=Home"}));

  CCeMailStore* store = settings.FindAccount(L"work");
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->GetServices(), (std::vector<CString>{L"IMAP", L"SMTP"}));
  EXPECT_EQ(std::wstring(store->GetShortName()), L"WORK");
  EXPECT_EQ(std::wstring(settings.FindAccount(L"home")->GetShortName()), CWebISMailSettings::kNoShortName);
  ASSERT_EQ(work.size(), 3u);
  EXPECT_EQ(store->GetDeletedFolderId(), work[1]);

  std::vector<std::wstring> folders;
  WEBIS_FOLDER folder;
  for (BOOL more = settings.GetFirstFolder(L"work", folder); more; more = settings.GetNextFolder(folder))
    folders.push_back(std::to_wstring(folder.type) + L":" + std::wstring(folder.name));
  EXPECT_EQ(folders, (std::vector<std::wstring>{L"1:Inbox", L"4:Trash", L"9:Lists"}));
  EXPECT_FALSE(settings.GetFirstFolder(L"nobody", folder));

  settings.ReleaseAccounts();
  EXPECT_FALSE(settings.GetFirstAccount(key, name));
  // Released volumes mount again.
  ASSERT_TRUE(settings.LoadAccounts());
  EXPECT_NE(settings.FindAccount(L"work"), nullptr);
  settings.ReleaseAccounts();
  // WebIS Mail's files are only read.
  EXPECT_EQ(cedbtest::ReadFileBytes(cedbtest::Root() + L"\\Work.vol"), volumeBefore);
  EXPECT_EQ(cedbtest::ReadFileBytes(data + L"\\settings.ini"), iniBefore);
}

TEST_F(WebISMailSettingsTest, NotInstalledReadsNothing) {
  CWebISMailSettings settings;
  EXPECT_FALSE(settings.IsInstalled());
  EXPECT_EQ(settings.GetBuild(), 0u);
  EXPECT_FALSE(settings.LoadAccounts());
  CString key, name;
  EXPECT_FALSE(settings.GetFirstAccount(key, name));
}

// settings.ini as other programs may leave it: damaged, cut or random bytes. The
// reader must never fail in a way that ends the program.
TEST_F(WebISMailSettingsTest, FuzzedSettingsFilesAreReadSafely) {
  WriteVolume(L"\\Work.vol", {{0, 1, L"Inbox"}});
  const std::string seed = kTwoAccounts;
  unsigned state = 118;
  auto next = [&state]() { return state = state * 1103515245u + 12345u; };
  for (int round = 0; round < 300; ++round) {
    std::string text = seed;
    for (int e = 0; e < 4; ++e) {
      const size_t at = next() % text.size();
      switch (next() % 3) {
        case 0: text[at] = static_cast<char>(next() >> 8); break;
        case 1: text.erase(at, next() % 16); break;
        default: text.insert(at, 1, "[]=.\\\r\n"[next() % 7]); break;
      }
    }
    Install(text);
    CWebISMailSettings settings;
    settings.LoadAccounts();
    CString key, name;
    for (BOOL more = settings.GetFirstAccount(key, name); more; more = settings.GetNextAccount(key, name)) {
      WEBIS_FOLDER folder;
      EXPECT_TRUE(settings.GetFirstFolder(key, folder));
    }
  }
}

}  // namespace
