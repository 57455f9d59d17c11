#include "tabs/messages/MailFoldersFilters.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "platform/cemapi/cemapi.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/WebISMailSettings.h"
#include "tabs/messages/tests/WebISTestSupport.h"

namespace {

using Bytes = std::vector<BYTE>;

// One entry as another program writes it: kind byte, blob, name.
Bytes Entry(BYTE kind, const Bytes& blob, const std::wstring& name) {
  Bytes bytes = {kind, static_cast<BYTE>(blob.size())};
  bytes.insert(bytes.end(), blob.begin(), blob.end());
  bytes.push_back(static_cast<BYTE>(name.size()));
  for (wchar_t c : name) {
    bytes.push_back(BYTE(c & 0xFF));
    bytes.push_back(BYTE(c >> 8));
  }
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<std::wstring> Names(const EMAIL_ACCOUNT& filter) {
  std::vector<std::wstring> names;
  for (int i = 0; i < filter.folders.GetCount(); ++i) names.push_back(std::wstring(filter.folders[i].GetName()));
  return names;
}

// A folder record: kind 0 'M', 1 'F', 2 'P'.
CTaggedBlob Folder(int kind, const Bytes& id, const std::wstring& name) {
  CTaggedBlob folder;
  EXPECT_TRUE(MakeMailFolder(kind, id.data(), static_cast<DWORD>(id.size()), name.c_str(), folder));
  return folder;
}

CTaggedBlob WebISFolder(DWORD id, const wchar_t* key, const wchar_t* name) {
  CTaggedBlob folder;
  EXPECT_TRUE(MakeWebISFolder(id, key, name, folder));
  return folder;
}

bool Same(const CTaggedBlob& a, const CTaggedBlob& b) { return EMAIL_ACCOUNT::SameFolder(a, b) != FALSE; }

TEST(MailFoldersFiltersCodec, DecodesWhatOtherProgramsWriteAndRefusesDamagedValues) {
  const Bytes inbox = Entry('M', {1, 2, 3}, L"Outlook - Inbox");
  const Bytes webis = Entry('F', {4, 0, 0, 0, 'k', 0}, L"Home");
  const Bytes other = Entry('P', {}, L"Other");
  struct Case {
    const char* what;
    Bytes data;
    bool decodes;
    std::vector<std::wstring> names;
  } const cases[] = {
      {"three kinds", Join({inbox, webis, other}), true, {L"Outlook - Inbox", L"Home", L"Other"}},
      {"no entries", {}, true, {}},
      {"equal entries after the first are dropped", Join({inbox, Entry('M', {1, 2, 3}, L"Again"), webis}), true,
       {L"Outlook - Inbox", L"Home"}},
      {"same blob, other kind, is kept", Join({inbox, Entry('F', {1, 2, 3}, L"F")}), true,
       {L"Outlook - Inbox", L"F"}},
      {"unknown kind byte", Join({inbox, Entry('X', {1}, L"x")}), false, {}},
      {"lower-case kind byte", Entry('m', {1}, L"x"), false, {}},
      {"only a kind byte", {'M'}, false, {}},
      {"blob longer than the rest", {'M', 5, 1, 2}, false, {}},
      {"no name length", {'M', 1, 9}, false, {}},
      {"empty name", {'M', 1, 9, 0}, false, {}},
      {"name cut short", {'M', 1, 9, 2, 'a', 0, 'b'}, false, {}},
      {"trailing byte", Join({inbox, Bytes{'M'}}), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EMAIL_ACCOUNT filter;
    ASSERT_EQ(CMailFoldersFilters::Decode(c.data.data(), c.data.size(), filter) != FALSE, c.decodes);
    if (c.decodes) {
      EXPECT_EQ(Names(filter), c.names);
    }
  }
}

TEST(MailFoldersFiltersCodec, EncodesByteForByteAndCutsLongNamesInsteadOfLosingTheFilter) {
  EMAIL_ACCOUNT filter;
  filter.AddFolder(Folder(FOLDER_KIND_MAPI, {1, 2, 3}, L"Inbox"));
  filter.AddFolder(WebISFolder(4, L"k", L"Home"));
  // Adding a folder that is there renames it; the same bytes of another kind are another folder.
  EXPECT_EQ(filter.AddFolder(Folder(FOLDER_KIND_MAPI, {1, 2, 3}, L"Outlook - Inbox")), 0);
  EXPECT_EQ(filter.FindFolder(Folder(FOLDER_KIND_OTHER, {1, 2, 3}, L"x")), -1);
  Bytes data;
  ASSERT_TRUE(CMailFoldersFilters::Encode(filter, data));
  EXPECT_EQ(data, Join({Entry('M', {1, 2, 3}, L"Outlook - Inbox"), Entry('F', {4, 0, 0, 0, 'k', 0}, L"Home")}));

  // A nested folder's path of 300 characters.
  const std::wstring longPath(300, L'x');
  EMAIL_ACCOUNT nested;
  nested.AddFolder(Folder(FOLDER_KIND_MAPI, {7}, longPath));
  ASSERT_TRUE(CMailFoldersFilters::Encode(nested, data));
  EMAIL_ACCOUNT read;
  ASSERT_TRUE(CMailFoldersFilters::Decode(data.data(), data.size(), read));
  EXPECT_EQ(Names(read), std::vector<std::wstring>{longPath.substr(0, 255)});

  EMAIL_ACCOUNT unnamed;
  unnamed.AddFolder(Folder(FOLDER_KIND_MAPI, {1}, L""));
  EXPECT_FALSE(CMailFoldersFilters::Encode(unnamed, data));
  EMAIL_ACCOUNT bigBlob;
  bigBlob.AddFolder(Folder(FOLDER_KIND_MAPI, Bytes(256, 1), L"x"));
  EXPECT_FALSE(CMailFoldersFilters::Encode(bigBlob, data));
}

// Any bytes decode or fail without reading past the value, and whatever decodes
// encodes back to bytes that decode to the same filter.
TEST(MailFoldersFiltersCodec, FuzzedValuesDecodeSafely) {
  const Bytes seed = Join({Entry('M', {1, 2, 3}, L"Inbox"), Entry('F', {4, 0, 0, 0, 'k', 0}, L"Home"),
                           Entry('P', {9}, L"Other")});
  std::mt19937 random(56);
  for (int round = 0; round < 4000; ++round) {
    Bytes data = seed;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      switch (random() % 3) {
        case 0:
          if (!data.empty()) data[random() % data.size()] = static_cast<BYTE>(random());
          break;
        case 1:
          if (!data.empty()) data.resize(random() % data.size());
          break;
        default:
          data.insert(data.begin() + static_cast<long>(random() % (data.size() + 1)), static_cast<BYTE>(random()));
          break;
      }
    }
    // A copy of exactly the value's size, so that reading past it is caught by
    // the heap checks of a debug run.
    std::unique_ptr<BYTE[]> exact(new BYTE[data.size() + 1]);
    std::copy(data.begin(), data.end(), exact.get());
    EMAIL_ACCOUNT filter;
    if (!CMailFoldersFilters::Decode(exact.get(), data.size(), filter)) continue;
    Bytes again;
    ASSERT_TRUE(CMailFoldersFilters::Encode(filter, again));
    EMAIL_ACCOUNT reread;
    ASSERT_TRUE(CMailFoldersFilters::Decode(again.data(), again.size(), reread));
    EXPECT_EQ(Names(reread), Names(filter));
    ASSERT_EQ(reread.folders.GetCount(), filter.folders.GetCount());
    for (int i = 0; i < filter.folders.GetCount(); ++i) EXPECT_TRUE(Same(reread.folders[i], filter.folders[i]));
  }
}

class MailFoldersFiltersStore : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(machine.Redirected()); }
  CRegistryView Filters() const { return machine.Key(TARVO_MAIL_FILTERS_KEY); }
  CLocalMachineSandbox machine{L"MailFoldersFilters"};
};

TEST_F(MailFoldersFiltersStore, SaveRewritesEveryValueAndLoadReadsThemBack) {
  CMailFoldersFilters filters;
  EXPECT_FALSE(filters.Load(TRUE));  // no key yet
  EXPECT_EQ(filters.GetCount(), 0);

  const std::wstring longPath(300, L'n');
  EMAIL_ACCOUNT work;
  work.name = L"Work";
  work.AddFolder(Folder(FOLDER_KIND_MAPI, {1, 2}, longPath));
  work.AddFolder(Folder(FOLDER_KIND_OTHER, {}, L"Kept"));
  EMAIL_ACCOUNT empty;
  empty.name = L"Empty";
  filters.Add(work);
  filters.Add(empty);
  // A value of another name that the filters no longer hold goes at the save.
  const Bytes gone = Entry('M', {5}, L"x");
  Filters().Write(L"Gone", REG_BINARY, gone.data(), static_cast<DWORD>(gone.size()));
  ASSERT_TRUE(filters.Save());
  EXPECT_FALSE(Filters().Has(L"Gone"));
  EXPECT_FALSE(Filters().Has(L"Empty"));
  EXPECT_TRUE(Filters().Has(L"Work"));

  // A damaged value of another program is dropped at the load.
  const Bytes damaged = {'Z', 0};
  Filters().Write(L"Damaged", REG_BINARY, damaged.data(), static_cast<DWORD>(damaged.size()));
  CMailFoldersFilters read;
  ASSERT_TRUE(read.Load(FALSE));
  ASSERT_EQ(read.GetCount(), 1);
  EXPECT_EQ(std::wstring(read.GetAt(0).name), L"Work");
  EXPECT_EQ(Names(read.GetAt(0)), (std::vector<std::wstring>{longPath.substr(0, 255), L"Kept"}));
  EXPECT_EQ(read.GetAt(0).folders[1].GetKind(), FOLDER_KIND_OTHER);
  // Loaded once: a second load without force keeps the list.
  read.RemoveAt(0);
  EXPECT_TRUE(read.Load(FALSE));
  EXPECT_EQ(read.GetCount(), 0);
}

TEST_F(MailFoldersFiltersStore, ActiveFilterAndSortedNames) {
  CMailFoldersFilters filters;
  for (LPCWSTR name : {L"beta", L"Alpha", L"", L"gamma", L"ALPHA2"}) {
    EMAIL_ACCOUNT filter;
    filter.name = name;
    filters.Add(filter);
  }
  std::vector<int> sorted;
  filters.GetSortedIndexes(sorted);
  EXPECT_EQ(sorted, (std::vector<int>{1, 4, 0, 3}));
  EXPECT_EQ(filters.Find(L"gamma"), 3);
  EXPECT_EQ(filters.Find(L"Gamma"), -1);

  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  EXPECT_EQ(filters.GetActiveFilter(), -1) << "no value";
  ASSERT_TRUE(filters.SetActiveFilter(0));
  std::wstring active;
  EXPECT_TRUE(product.ReadString(L"EmailFilter", active));
  EXPECT_EQ(active, L"beta");
  EXPECT_EQ(filters.GetActiveFilter(), 0);
  // Written by hand or by another program: only an exact name counts.
  for (const auto& c : std::vector<std::pair<const wchar_t*, int>>{{L"gamma", 3}, {L"Gamma", -1}, {L"", -1}}) {
    product.WriteString(L"EmailFilter", c.first);
    EXPECT_EQ(filters.GetActiveFilter(), c.second) << c.first;
  }
  EXPECT_TRUE(filters.SetActiveFilter(-1));
  EXPECT_FALSE(product.ReadString(L"EmailFilter", active));
  EXPECT_EQ(filters.GetActiveFilter(), -1);
}

}  // namespace

namespace {

// The messaging fixture's stores: "Mail" over ActiveSync, whose Inbox service is
// installed as "Outlook E-mail", and "SMS", whose service is not.
class KnownAccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    ASSERT_NE(resources.Module(), nullptr);
    mapitest::InstallFixture();
    machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync").WriteString(L"FriendlyName", L"Outlook E-mail");
  }
  void TearDown() override { mapitest::RemoveStores(); }

  std::wstring Known() const {
    std::wstring text;
    machine.Key(TARVO_PRODUCT_KEY).ReadString(L"KnownEmailAccounts", text);
    return text;
  }
  static CTaggedBlob Folder(ULONGLONG id) {
    const std::string bytes = mapitest::Entry(MAPI_FOLDER, id);
    return ::Folder(FOLDER_KIND_MAPI, Bytes(bytes.begin(), bytes.end()), L"-");
  }
  static std::wstring LoadedText(UINT id) {
    wchar_t text[128] = L"";
    LoadStringW(GetModule().GetResourceInstance(), id, text, 128);
    return text;
  }
  // The folders of a filter read from the registry, as the plug-in reads them.
  static std::vector<CTaggedBlob> Stored(const std::wstring& name) {
    CMailFoldersFilters filters;
    filters.Load(TRUE);
    const int index = filters.Find(name.c_str());
    std::vector<CTaggedBlob> folders;
    for (int i = 0; index >= 0 && i < filters.GetAt(index).folders.GetCount(); ++i)
      folders.push_back(filters.GetAt(index).folders[i]);
    return folders;
  }

  CLocalMachineSandbox machine{L"KnownAccounts"};
  CResourceLibraryScope resources;
  mapitest::CSessionHolder session;
};

TEST_F(KnownAccountsTest, NewAccountsFillTheStandardFiltersOnce) {
  CMailFoldersFilters filters;
  ASSERT_TRUE(filters.UpdateKnownAccounts(session.get(), TRUE));
  EXPECT_EQ(Known(), L"Mail");
  const struct {
    UINT text;
    ULONGLONG folder;
  } standard[] = {{IDS_MAIL_FILTER_DELETED, mapitest::kDeleted}, {IDS_MAIL_FILTER_DRAFTS, mapitest::kDrafts},
                  {IDS_MAIL_FILTER_INBOX, mapitest::kInbox},     {IDS_MAIL_FILTER_OUTBOX, mapitest::kOutbox},
                  {IDS_MAIL_FILTER_SENT, mapitest::kSent}};
  for (const auto& s : standard) {
    SCOPED_TRACE(s.text);
    const std::vector<CTaggedBlob> entries = Stored(LoadedText(s.text));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(Same(entries[0], Folder(s.folder)));
  }
  // The account's own filter, named as its service is, holds its inbox.
  const std::vector<CTaggedBlob> own = Stored(L"Outlook E-mail");
  ASSERT_EQ(own.size(), 1u);
  EXPECT_TRUE(Same(own[0], Folder(mapitest::kInbox)));
  // Done once unless forced.
  machine.Key(TARVO_PRODUCT_KEY).WriteString(L"KnownEmailAccounts", L"x");
  EXPECT_TRUE(filters.UpdateKnownAccounts(session.get(), FALSE));
  EXPECT_EQ(Known(), L"x");
}

TEST_F(KnownAccountsTest, AnEmptiedInboxFilterNeitherDuplicatesTheAccountNorUndoesLaterRemovals) {
  CMailFoldersFilters filters;
  ASSERT_TRUE(filters.UpdateKnownAccounts(session.get(), TRUE));
  const std::wstring inbox = LoadedText(IDS_MAIL_FILTER_INBOX);
  const std::wstring outbox = LoadedText(IDS_MAIL_FILTER_OUTBOX);
  // The user empties the inbox filter: the account counts as new once more.
  filters.GetAt(filters.Find(inbox.c_str())).Clear();
  ASSERT_TRUE(filters.Save());
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    ASSERT_TRUE(filters.Load(TRUE));
    ASSERT_TRUE(filters.UpdateKnownAccounts(session.get(), TRUE));
    EXPECT_EQ(Known(), L"Mail");
    if (run == 0) {
      // Then puts another folder in place of the account's outbox.
      EMAIL_ACCOUNT& filter = filters.GetAt(filters.Find(outbox.c_str()));
      filter.Clear();
      filter.AddFolder(Folder(mapitest::kProjects));
      ASSERT_TRUE(filters.Save());
    }
  }
  const std::vector<CTaggedBlob> entries = Stored(outbox);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(Same(entries[0], Folder(mapitest::kProjects)));
  EXPECT_EQ(Stored(inbox).size(), 1u);
}

TEST_F(KnownAccountsTest, AccountsThatAreGoneLeaveTheListAndEmptyStandardFiltersGo) {
  CMailFoldersFilters filters;
  ASSERT_TRUE(filters.UpdateKnownAccounts(session.get(), TRUE));
  machine.Key(TARVO_PRODUCT_KEY).WriteString(L"KnownEmailAccounts", L"Old;Mail;Old");
  // The user took every folder out of the drafts filter.
  filters.GetAt(filters.Find(LoadedText(IDS_MAIL_FILTER_DRAFTS).c_str())).Clear();
  ASSERT_TRUE(filters.UpdateKnownAccounts(session.get(), TRUE));
  EXPECT_EQ(Known(), L"Mail");
  EXPECT_EQ(filters.Find(LoadedText(IDS_MAIL_FILTER_DRAFTS).c_str()), -1);

  // Without a session only the lists are tidied.
  CMailFoldersFilters none;
  machine.Key(TARVO_PRODUCT_KEY).WriteString(L"KnownEmailAccounts", L"Mail");
  ASSERT_TRUE(none.UpdateKnownAccounts(nullptr, TRUE));
  EXPECT_EQ(none.GetCount(), 0);
}

}  // namespace

namespace {

TEST_F(KnownAccountsTest, WebISAccountsGiveTheirSpecialFoldersByType) {
  const std::wstring data = cedbtest::Root() + L"\\WebISKnown";
  const std::vector<CEOID> ids =
      webistest::WriteVolume(L"\\KnownHome.vol", {{0, 1, L"Inbox"}, {0, 4, L"Trash"}, {0, 9, L"Lists"}});
  ASSERT_EQ(ids.size(), 3u);
  ASSERT_TRUE(webistest::Install(data,
                                 "[SERVICE.1]\r\nStorage=home\r\nStorageName=Home\r\n"
                                 "StorageDBFileName=\\KnownHome.vol\r\nServiceName=POP\r\n"));
  {
    CWebISMailSettings webIS;
    ASSERT_TRUE(webIS.LoadAccounts());
    CMailFoldersFilters filters;
    for (int run = 0; run < 2; ++run) {
      SCOPED_TRACE(run);
      ASSERT_TRUE(filters.UpdateKnownAccounts(session.get(), TRUE, &webIS));
      EXPECT_EQ(Known(), L"Mail;Home");
    }
    const std::vector<CTaggedBlob> inbox = Stored(LoadedText(IDS_MAIL_FILTER_INBOX));
    ASSERT_EQ(inbox.size(), 2u);
    EXPECT_TRUE(Same(inbox[1], WebISFolder(ids[0], L"home", L"-")));
    const std::vector<CTaggedBlob> deleted = Stored(LoadedText(IDS_MAIL_FILTER_DELETED));
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_TRUE(Same(deleted[1], WebISFolder(ids[1], L"home", L"-")));
    const std::vector<CTaggedBlob> own = Stored(L"Home");
    ASSERT_EQ(own.size(), 1u);
    EXPECT_TRUE(Same(own[0], WebISFolder(ids[0], L"home", L"-")));
    // The blob: the folder identifier, then the key in UTF-16.
    const Bytes blob(own[0].GetData(), own[0].GetData() + own[0].GetSize());
    ASSERT_EQ(blob.size(), 4u + 8u);
    EXPECT_EQ(blob[0] | (blob[1] << 8) | (blob[2] << 16) | (static_cast<DWORD>(blob[3]) << 24), ids[0]);
    EXPECT_EQ(blob[4], 'h');
  }
  webistest::Uninstall(data);
  DeleteFileW((cedbtest::Root() + L"\\KnownHome.vol").c_str());
}

}  // namespace
