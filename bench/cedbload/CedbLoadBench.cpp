// Loading a 10,000-record volume from text, as `cedbtool load` does, against writing the
// volume's bytes to a plain file and flushing it once. Exit code 1 when the load costs more
// than five times the plain write.
#include "bench/BenchClock.h"
#include "bench/database/BenchVolume.h"
#include "platform/cedbtool/VolumeText.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kRecords = 10000;

// orders: the sort lines after the database line; the records come in the first one's order.
std::string Text(const char* orders = "sort 0x00010003:0x00000000\n") {
  std::string text = std::string("database \"Bench\" type=0x00000007\n") + orders;
  char line[512];
  for (int i = 0; i < kRecords; ++i) {
    text += "record\n";
    std::snprintf(line, sizeof line,
                  "  0x00010003 %d\n  0x0002001F \"Subject of record %d\"\n"
                  "  0x0003001F \"Somewhere %d\"\n  0x00040040 0x01D0%012X\n"
                  "  0x00050013 %u\n  0x00060041 hex:0102030405060708\nend\n",
                  i, i, i * 3, i, static_cast<unsigned>(i) * 31u);
    text += line;
  }
  return text;
}

std::string FileBytes(const std::wstring& path) {
  std::string out;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  char buf[65536];
  DWORD got;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(f);
  return out;
}

}  // namespace

int main() {
  bench::BenchVolume volume(L"cedbloadbench", L"bench.vol");
  if (!volume.mounted()) {
    std::printf("cannot create the volume (%lu)\n", GetLastError());
    return 2;
  }
  CEGUID& vol = volume.guid();
  const std::string text = Text();
  std::string error;
  bool ok = true;
  double load = bench::SecondsPerRun([&] { ok = ok && VolumeText::Load(vol, text, &error); }, 1.0);
  if (!ok) {
    std::printf("load failed: %s\n", error.c_str());
    return 2;
  }
  // Where the time goes: reading the text, and writing the volume whole once it is built.
  double parse = bench::SecondsPerRun([&] { VolumeText::Check(text, &error); }, 1.0);
  double rewrite = bench::SecondsPerRun([&] {
    CedbBeginVolumeLoad(&vol);
    CedbEndVolumeLoad(&vol, TRUE);
  }, 1.0);
  // The same records with two more orders, whose sequence they do not come in (texts
  // descending without case, counts descending): each is filed out of its order.
  const std::string sorted3 = Text("sort 0x00010003:0x00000000\nsort 0x0002001F:0x00000003\n"
                                   "sort 0x00050013:0x00000001\n");
  double load3 = bench::SecondsPerRun([&] { ok = ok && VolumeText::Load(vol, sorted3, &error); }, 1.0);
  if (!ok) {
    std::printf("load with three orders failed: %s\n", error.c_str());
    return 2;
  }
  VolumeText::Load(vol, text, &error);  // the plain write below copies the one-order volume
  const std::string bytes = FileBytes(volume.File(L"bench.vol"));
  const std::wstring plain = volume.File(L"plain.bin");
  double write = bench::SecondsPerRun([&] {
    HANDLE f = CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    FlushFileBuffers(f);
    CloseHandle(f);
  }, 1.0);

  double ratio = load / write;
  std::printf("load %d records from text (%zu bytes, volume %zu bytes): %.1f ms\n", kRecords, text.size(),
              bytes.size(), load * 1000);
  std::printf("  of which reading the text:                        %.1f ms\n", parse * 1000);
  std::printf("  of which writing the volume whole (one flush):     %.1f ms\n", rewrite * 1000);
  std::printf("the same records in three sort orders:              %.1f ms\n", load3 * 1000);
  std::printf("write and flush the same bytes to a plain file:     %.1f ms\n", write * 1000);
  std::printf("ratio: %.2f (limit 5)\n", ratio);
  return ratio > 5.0 ? 1 : 0;
}
