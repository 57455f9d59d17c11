// cedbtool dump VOLUME [FILE]   writes the volume's databases as text (to the console
//                                without FILE)
// cedbtool load VOLUME FILE     replaces the databases named in FILE by its content
// VOLUME is a volume file name under the device root ("pim.vol") or "objectstore".
#include "platform/cedbtool/VolumeText.h"

#include <cstdio>
#include <string>

namespace {

bool ReadAll(const wchar_t* path, std::string* out) {
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char buf[65536];
  DWORD got;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out->append(buf, got);
  CloseHandle(f);
  return true;
}

bool WriteAll(const wchar_t* path, const std::string& text) {
  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD done;
  bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) && done == text.size();
  CloseHandle(f);
  return ok;
}

int Usage() {
  std::fprintf(stderr, "usage: cedbtool dump VOLUME [FILE] | cedbtool load VOLUME FILE\n"
                       "VOLUME: a volume file under the device root (pim.vol) or objectstore\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  std::wstring verb = argv[1], vol = argv[2];
  CEGUID guid;
  CREATE_SYSTEMGUID(&guid);
  bool mounted = false;
  if (lstrcmpiW(vol.c_str(), L"objectstore") != 0) {
    DWORD how = verb == L"load" ? OPEN_ALWAYS : OPEN_EXISTING;
    if (!CeMountDBVol(&guid, &vol[0], how)) {
      std::fprintf(stderr, "cannot open volume %ls (error %lu)\n", vol.c_str(), GetLastError());
      return 1;
    }
    mounted = true;
  }
  std::string text, error;
  int rc = 0;
  if (verb == L"dump" && argc <= 4) {
    if (!VolumeText::Dump(guid, &text, &error)) rc = 1;
    else if (argc == 4 ? !WriteAll(argv[3], text) : std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) rc = 1;
  } else if (verb == L"load" && argc == 4) {
    if (!ReadAll(argv[3], &text)) {
      std::fprintf(stderr, "cannot read %ls\n", argv[3]);
      rc = 1;
    } else if (!VolumeText::Load(guid, text, &error)) {
      rc = 1;
    }
  } else {
    rc = Usage();
  }
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  if (mounted) CeUnmountDBVol(&guid);
  return rc;
}
