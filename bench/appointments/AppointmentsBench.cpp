// Loading one week of a store of 10,000 appointments (200 of them recurring) into the
// appointments list, against a raw walk of the same records with CeReadRecordProps
// asking for the same properties; in each store layout. The store is written as the device's object model writes it.
// Exit code 1 when a load costs more than twice the walk.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/CeDbApi.h"
#include "bench/BenchClock.h"
#include "bench/BenchStores.h"
#include "bench/database/BenchVolume.h"
#include "tabs/calendar/AppointmentsList.h"

namespace {

constexpr int kAppointments = 10000;
constexpr int kSeries = 200;
constexpr double kMonday = 46083.0;
constexpr double kLimit = 2.0;

bool FillStore(bool newer) {
  CPimStore store(newer);
  return bench::FillAppointments(store, kMonday, kAppointments, kSeries);
}

int RawWalk(bool newer) {
  CEGUID guid;
  CREATE_SYSTEMGUID(&guid);
  if (newer) GetCeDbApi()->FindPimVolume(&guid);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(L"Appointments Database"), nullptr,
                                CEDB_AUTOINCREMENT, nullptr);
  if (db == INVALID_HANDLE_VALUE) return -1;
  DWORD index = 0;
  CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, &index);
  // The properties the list reads, asked of every record.
  static const CEPROPID kLegacy[] = {0x420D0040, 0x42130003, 0x42150003, 0x42230002, 0x0037001F, 0x4208001F,
                                     0x000F0002, 0x00040002, 0x45030002, 0x45010003, 0x40150041, 0x00010041,
                                     0x00300041, 0x00170041, 0x00160041};
  static const CEPROPID kNewer[] = {0x10420040, 0x10400013, 0x0044000B, 0x0022000B, 0x10000066, 0x0020001F,
                                    0x0041001F, 0x00450013, 0x00210013, 0x0028000B, 0x00460013, 0x203F0064,
                                    0x00480041, 0x205F0064, 0x001E0064};
  CEPROPID ids[15];
  memcpy(ids, newer ? kNewer : kLegacy, sizeof ids);
  BYTE* buffer = nullptr;
  DWORD size = 0;
  int count = 0;
  for (;;) {
    WORD props = 15;
    if (!CeReadRecordProps(db, CEDB_ALLOWREALLOC, &props, ids, &buffer, &size)) break;
    ++count;
  }
  if (buffer) LocalFree(buffer);
  CloseHandle(db);
  return count;
}

int LoadWeek() {
  CAppointmentsList list;
  list.SetRange(kMonday, kMonday + 7);
  CAppointmentRecord* record = nullptr;
  list.GetFirst(&record);
  return list.GetCount();
}

}  // namespace

int main() {
  bench::BenchRoot root(L"apptbench");
  SetEnvironmentVariableW(L"CEDEVICE_PLATFORMTYPE", L"PocketPC");

  int status = 0;
  for (bool newer : {false, true}) {
    SetEnvironmentVariableW(L"CEDEVICE_VERSION", newer ? L"5.1" : L"4.21");
    SetNewerStore(newer);
    if (!FillStore(newer)) {
      std::printf("cannot write the store (%s layout)\n", newer ? "newer" : "legacy");
      return 2;
    }
    int walked = RawWalk(newer);
    int loaded = LoadWeek();
    double walk = bench::SecondsPerRun([&] { RawWalk(newer); });
    double load = bench::SecondsPerRun([] { LoadWeek(); });
    double ratio = load / walk;
    std::printf("%s layout: walk of %d records %.2f ms, week of %d appointments %.2f ms, ratio %.2f (limit %.1f)\n",
                newer ? "newer" : "legacy", walked, walk * 1000, loaded, load * 1000, ratio, kLimit);
    if (ratio > kLimit) status = 1;
  }
  return status;
}
