// Reading a 10,000-record database of 20 properties in sort order, against a plain
// in-memory walk of the same records built here; and the cost of a value seek.
// Exit code 1 when the read costs more than three times the walk.
#include "bench/BenchClock.h"
#include "bench/database/BenchVolume.h"
#include "platform/coredll/cedb.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRecords = 10000;
constexpr int kProps = 20;
constexpr int kRounds = 15;

struct MemRecord {
  long key;
  std::wstring first, second;
  std::vector<CEPROPVAL> props;  // texts point into first/second
};

long KeyOf(int i) { return static_cast<long>((i * 7919L) % kRecords); }

void Fill(int i, MemRecord& r) {
  r.key = KeyOf(i);
  r.first = L"Subject of record " + std::to_wstring(i);
  r.second = L"Somewhere " + std::to_wstring(i * 3);
  r.props.assign(kProps, CEPROPVAL{});
  r.props[0].propid = MAKELONG(CEVT_I4, 1);
  r.props[0].val.lVal = r.key;
  r.props[1].propid = MAKELONG(CEVT_LPWSTR, 2);
  r.props[1].val.lpwstr = &r.first[0];
  r.props[2].propid = MAKELONG(CEVT_LPWSTR, 3);
  r.props[2].val.lpwstr = &r.second[0];
  for (int k = 3; k < kProps; ++k) {
    r.props[k].propid = MAKELONG(CEVT_I4, k + 1);
    r.props[k].val.lVal = i * 31 + k;
  }
}

// What an in-memory store does to hand one record out: the entries and their texts
// copied into the caller's buffer.
size_t CopyOut(const MemRecord& r, std::vector<BYTE>& buf) {
  size_t need = kProps * sizeof(CEPROPVAL) + (r.first.size() + r.second.size() + 2) * sizeof(wchar_t);
  if (buf.size() < need) buf.resize(need);
  auto* out = reinterpret_cast<CEPROPVAL*>(buf.data());
  memcpy(out, r.props.data(), kProps * sizeof(CEPROPVAL));
  auto* text = reinterpret_cast<wchar_t*>(buf.data() + kProps * sizeof(CEPROPVAL));
  memcpy(text, r.first.c_str(), (r.first.size() + 1) * sizeof(wchar_t));
  out[1].val.lpwstr = text;
  text += r.first.size() + 1;
  memcpy(text, r.second.c_str(), (r.second.size() + 1) * sizeof(wchar_t));
  out[2].val.lpwstr = text;
  return need;
}

}  // namespace

int main() {
  bench::BenchVolume volume(L"cedbbench", L"bench.vol");
  if (!volume.mounted()) {
    std::printf("cannot create the volume (%lu)\n", GetLastError());
    return 2;
  }
  CEGUID& vol = volume.guid();
  CEDBASEINFO info{};
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
  lstrcpyW(info.szDbaseName, L"Bench");
  info.wNumSortOrder = 1;
  info.rgSortSpecs[0] = {MAKELONG(CEVT_I4, 1), 0};
  CeCreateDatabaseEx(&vol, &info);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx(&vol, &oid, info.szDbaseName, MAKELONG(CEVT_I4, 1), CEDB_AUTOINCREMENT, nullptr);

  std::vector<MemRecord> mem(kRecords);
  double fillStart = bench::NowMilliseconds();
  for (int i = 0; i < kRecords; ++i) {
    Fill(i, mem[i]);
    if (!CeWriteRecordProps(db, 0, kProps, mem[i].props.data())) {
      std::printf("write failed (%lu)\n", GetLastError());
      return 2;
    }
  }
  double fillMs = bench::NowMilliseconds() - fillStart;
  std::sort(mem.begin(), mem.end(), [](const MemRecord& a, const MemRecord& b) { return a.key < b.key; });

  double walkBest = 1e30, readBest = 1e30;
  unsigned long long walkSum = 0, readSum = 0;
  std::vector<BYTE> walkBuf;
  LPBYTE buf = nullptr;
  DWORD size = 0;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = bench::NowMilliseconds();
    unsigned long long sum = 0;
    for (const MemRecord& r : mem) {
      CopyOut(r, walkBuf);
      auto* p = reinterpret_cast<CEPROPVAL*>(walkBuf.data());
      sum += static_cast<unsigned long>(p[0].val.lVal) + p[1].val.lpwstr[0] + p[kProps - 1].val.ulVal;
    }
    walkBest = std::min(walkBest, bench::NowMilliseconds() - t0);
    walkSum = sum;

    t0 = bench::NowMilliseconds();
    sum = 0;
    int n = 0;
    CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr);
    WORD count;
    while (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size)) {
      auto* p = reinterpret_cast<CEPROPVAL*>(buf);
      sum += static_cast<unsigned long>(p[0].val.lVal) + p[1].val.lpwstr[0] + p[kProps - 1].val.ulVal;
      ++n;
    }
    readBest = std::min(readBest, bench::NowMilliseconds() - t0);
    readSum = sum;
    if (n != kRecords) {
      std::printf("read %d records, expected %d\n", n, kRecords);
      return 2;
    }
  }
  if (walkSum != readSum) {
    std::printf("the store and the walk disagree\n");
    return 2;
  }

  // Value seeks: binary searches over the order, so their cost does not grow with the
  // position of the value in the database.
  double seekStart = bench::NowMilliseconds();
  int found = 0;
  for (int i = 0; i < kRecords; ++i) {
    CEPROPVAL want{};
    want.propid = MAKELONG(CEVT_I4, 1);
    want.val.lVal = i;
    found += CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&want), 1, nullptr) != 0;
  }
  double seekMs = bench::NowMilliseconds() - seekStart;

  double ratio = readBest / walkBest;
  std::printf("records: %d of %d properties (written in %.0f ms)\n", kRecords, kProps, fillMs);
  std::printf("in-memory walk:     %8.3f ms\n", walkBest);
  std::printf("CeReadRecordProps:  %8.3f ms\n", readBest);
  std::printf("ratio:              %8.2f (limit 3)\n", ratio);
  std::printf("value seek:         %8.3f us each (%d of %d found)\n", seekMs * 1000.0 / kRecords, found,
              kRecords);

  LocalFree(buf);
  CloseHandle(db);
  return ratio <= 3.0 ? 0 : 1;
}
