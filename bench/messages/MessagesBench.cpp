// Loading a folder of 20,000 messages into the e-mail list (the account found by the
// parent walk, every row of the contents table made a message record), against
// reading the same rows straight from the messaging library's contents table with
// the same 16 columns. Exit code 1 when the load costs more than twice the read.
#include <cstdio>
#include <string>

#include "base/TaggedBlob.h"
#include "bench/BenchClock.h"
#include "bench/database/BenchVolume.h"
#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/StoreText.h"
#include "tabs/messages/EmailsList.h"

namespace {

constexpr int kMessages = 20000;
constexpr double kLimit = 2.0;
constexpr ULONGLONG kInbox = 0xE002;

bool FillStore() {
  std::string text =
      "store 000000000000E000\n  PR_DISPLAY_NAME_W = \"Bench\"\n  PR_CE_TRANSPORT_NAME_W = \"BenchMail\"\n"
      "folder 000000000000E001\n  PR_DISPLAY_NAME_W = \"Bench\"\n"
      "folder 000000000000E002 parent 000000000000E001 role inbox\n  PR_DISPLAY_NAME_W = \"Inbox\"\n";
  char line[512];
  for (int i = 0; i < kMessages; ++i) {
    std::snprintf(line, sizeof line,
                  "message %016llX folder 000000000000E002\n"
                  "  PR_SUBJECT_W = \"Message number %d about the weekly plan\"\n"
                  "  PR_SENDER_NAME_W = \"Sender %d\"\n"
                  "  PR_SENDER_EMAIL_ADDRESS_W = \"sender%d@example.com\"\n"
                  "  PR_MESSAGE_CLASS_W = \"%s\"\n"
                  "  PR_MESSAGE_FLAGS = %d\n"
                  "  PR_MESSAGE_DELIVERY_TIME = 2026-%02d-%02d %02d:%02d:00\n"
                  "  PR_MESSAGE_SIZE = %d\n"
                  "  PR_BODY_W = \"Short body of message %d.\"\n",
                  0x100000ULL + i, i, i % 300, i % 300, i % 10 == 0 ? "IPM.SMStext" : "IPM.Note", i % 3 == 0,
                  1 + i % 12, 1 + i % 28, i % 24, i % 60, 500 + i % 50000, i);
    text += line;
  }
  StoreRecord record;
  std::string error;
  if (!CStoreText::Parse(text, record, error)) {
    std::printf("store text: %s\n", error.c_str());
    return false;
  }
  CStoreSet& set = CStoreSet::Instance();
  CStoreSet::Guard guard(set);
  return SUCCEEDED(set.Install(L"Bench.mst", record, error));
}

int ReadRows(IMAPISession* session) {
  const std::string id = CEntryId::Make(MAPI_FOLDER, kInbox);
  IUnknown* unknown = nullptr;
  ULONG type = 0;
  if (FAILED(session->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())),
                                nullptr, 0, &type, &unknown)))
    return -1;
  IMAPIFolder* folder = static_cast<IMAPIFolder*>(unknown);
  IMAPITable* table = nullptr;
  int rows = 0;
  if (SUCCEEDED(folder->GetContentsTable(0, &table)) && SUCCEEDED(table->SetColumns(GetEmailColumns(), 0))) {
    for (;;) {
      LPSRowSet set = nullptr;
      if (FAILED(table->QueryRows(8, 0, &set)) || !set || set->cRows == 0) {
        FreeProws(set);
        break;
      }
      rows += static_cast<int>(set->cRows);
      FreeProws(set);
    }
  }
  if (table) table->Release();
  folder->Release();
  return rows;
}

int Load() {
  CEmailsList list;
  CTaggedBlob folder;
  const std::string id = CEntryId::Make(MAPI_FOLDER, kInbox);
  folder.SetData(id.data(), static_cast<DWORD>(id.size()));
  const int index = list.FindOrAddStore(folder);
  const int count = list.GetItemCount(index);
  list.Done();
  return count;
}

}  // namespace

int main() {
  bench::BenchRoot root(L"messagesbench");
  // The transport's registry key lives in a key of the benchmark's own, seen as
  // HKEY_LOCAL_MACHINE by this process only.
  HKEY machine = nullptr;
  const wchar_t kMachine[] = L"Software\\MessagesBenchMachine";
  RegCreateKeyExW(HKEY_CURRENT_USER, kMachine, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine, nullptr);
  HKEY service = nullptr;
  RegCreateKeyExW(machine, L"SOFTWARE\\Microsoft\\Inbox\\Svc\\BenchMail", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &service, nullptr);
  if (service) RegCloseKey(service);
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine);

  int status = 0;
  if (!FillStore()) {
    std::printf("cannot write the store\n");
    status = 2;
  } else {
    MAPIInitialize(nullptr);
    IMAPISession* session = nullptr;
    MAPILogonEx(0, nullptr, nullptr, 0, &session);
    const int read = session ? ReadRows(session) : -1;
    const int loaded = Load();
    const double walk = bench::SecondsPerRun([&] { ReadRows(session); }, 1.0);
    const double load = bench::SecondsPerRun([&] { Load(); }, 1.0);
    const double ratio = load / walk;
    std::printf("read of %d rows %.2f ms, load of %d messages %.2f ms, ratio %.2f (limit %.1f)\n", read,
                walk * 1000, loaded, load * 1000, ratio, kLimit);
    if (read != kMessages || loaded != kMessages) status = 2;
    if (ratio > kLimit && status == 0) status = 1;
    if (session) {
      session->Logoff(0, 0, 0);
      session->Release();
    }
    MAPIUninitialize();
  }
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  RegCloseKey(machine);
  RegDeleteTreeW(HKEY_CURRENT_USER, kMachine);
  return status;
}
