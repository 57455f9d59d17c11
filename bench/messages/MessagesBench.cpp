// Loading a folder of 20,000 messages into the e-mail list (the account found by the
// parent walk, every row of the contents table made a message record), against
// reading the same rows straight from the messaging library's contents table with
// the same 16 columns. Exit code 1 when the load costs more than twice the read.
#include <cstdio>
#include <string>

#include "base/TaggedBlob.h"
#include "bench/BenchClock.h"
#include "bench/BenchMachine.h"
#include "bench/BenchStores.h"
#include "bench/database/BenchVolume.h"
#include "platform/cemapi/EntryId.h"
#include "tabs/messages/EmailsList.h"

namespace {

constexpr int kMessages = 20000;
constexpr double kLimit = 2.0;
constexpr ULONGLONG kInbox = bench::kBenchInbox;

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
  bench::MachineKey machine(L"messages");
  machine.Create(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\BenchMail");

  int status = 0;
  if (!bench::FillMessages(kMessages)) {
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
  return status;
}
