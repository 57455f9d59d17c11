// Loading a store of 5,000 contacts (a third with a birthday, a tenth with an
// anniversary) into the contacts list, against a raw walk of the same records with
// CeReadRecordProps asking for the same properties (and, in the newer layout, the same
// probe of each record's picture stream); in each store layout. The store is written
// as the device's object model writes it. The walk and the load are measured in turns,
// several rounds each, and their medians compared, so that a burst of other work on the
// machine lands on both sides. Exit code 1 when a load costs more than twice the walk.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/CeDbApi.h"
#include "bench/BenchClock.h"
#include "bench/BenchStores.h"
#include "bench/database/BenchVolume.h"
#include "tabs/contacts/ContactsList.h"

namespace {

constexpr int kContacts = 5000;
constexpr double kLimit = 2.0;
constexpr int kRounds = 9;
constexpr double kRoundSeconds = 0.08;

bool FillStore(bool newer) {
  CPimStore store(newer);
  return bench::FillContacts(store, kContacts);
}

const CEPROPID kLegacy[] = {0x40030040, 0x40010040, 0x3A06001F, 0x4024001F, 0x3A11001F, 0x3A05001F,
                            0x4013001F, 0x3A16001F, 0x3A08001F, 0x4007001F, 0x3A09001F, 0x3A2F001F,
                            0x3A1C001F, 0x4009001F, 0x3A1E001F, 0x3A1D001F, 0x3A24001F, 0x4083001F,
                            0x00170041, 0x00160041, 0x00500003, 0x2A08001F, 0x4023001F, 0x16880013};
const CEPROPID kNewer[] = {0x00F10040, 0x00F00040, 0x0082001F, 0x0083001F, 0x0084001F, 0x0085001F,
                           0x0080001F, 0x008A001F, 0x0097001F, 0x0098001F, 0x0099001F, 0x009A001F,
                           0x0096001F, 0x009D001F, 0x009E001F, 0x009F001F, 0x009B001F, 0x0090001F,
                           0x001E0064, 0x200F0012, 0x10000066, 0x00F80013, 0x0081001F};

int RawWalk(bool newer) {
  CEGUID guid;
  CREATE_SYSTEMGUID(&guid);
  if (newer) GetCeDbApi()->FindPimVolume(&guid);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(L"Contacts Database"), nullptr,
                                CEDB_AUTOINCREMENT, nullptr);
  if (db == INVALID_HANDLE_VALUE) return -1;
  DWORD index = 0;
  CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, &index);
  CEPROPID ids[24];
  const WORD count = newer ? 23 : 24;
  for (int i = 0; i < count; ++i) ids[i] = newer ? kNewer[i] : kLegacy[i];
  BYTE* buffer = nullptr;
  DWORD size = 0;
  int read = 0;
  for (;;) {
    if (newer) {
      HANDLE stream = CeOpenStream(db, 0x00FF0064, GENERIC_READ);
      if (stream != INVALID_HANDLE_VALUE && stream) {
        BYTE head[8];
        DWORD got = 0;
        CeStreamRead(stream, head, sizeof head, &got);
        CloseHandle(stream);
      }
    }
    WORD props = count;
    if (!CeReadRecordProps(db, CEDB_ALLOWREALLOC, &props, ids, &buffer, &size)) break;
    ++read;
  }
  if (buffer) LocalFree(buffer);
  CloseHandle(db);
  return read;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Load(HWND window) {
  CContactsList list;
  list.SetNotifyWindow(window);
  list.Open();
  return list.GetCount();
}

}  // namespace

int main() {
  bench::BenchRoot root(L"contactbench");
  SetEnvironmentVariableW(L"CEDEVICE_PLATFORMTYPE", L"PocketPC");
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

  int status = 0;
  for (bool newer : {false, true}) {
    SetEnvironmentVariableW(L"CEDEVICE_VERSION", newer ? L"5.1" : L"4.21");
    SetNewerStore(newer);
    if (!FillStore(newer)) {
      std::printf("cannot write the store (%s layout)\n", newer ? "newer" : "legacy");
      return 2;
    }
    int walked = RawWalk(newer);
    int loaded = Load(window);
    std::vector<double> walks, loads;
    for (int round = 0; round < kRounds; ++round) {
      walks.push_back(bench::SecondsPerRun([&] { RawWalk(newer); }, kRoundSeconds));
      loads.push_back(bench::SecondsPerRun([&] { Load(window); }, kRoundSeconds));
    }
    const double walk = Median(walks), load = Median(loads);
    double ratio = load / walk;
    std::printf("%s layout: walk of %d records %.2f ms, load of %d contacts %.2f ms (medians of %d rounds), "
                "ratio %.2f (limit %.1f)\n",
                newer ? "newer" : "legacy", walked, walk * 1000, loaded, load * 1000, kRounds, ratio, kLimit);
    if (walked != kContacts || loaded != kContacts) status = 2;
    if (ratio > kLimit && status == 0) status = 1;
  }
  DestroyWindow(window);
  return status;
}
