#include "platform/pimstore/tests/PimTestSupport.h"

#include <gtest/gtest.h>

#include "platform/coredll/tests/DatabaseTestSupport.h"

namespace pimtest {

void UseLayout(bool newer) {
  SetEnvironmentVariableW(L"CEDEVICE_PLATFORMTYPE", L"PocketPC");
  SetEnvironmentVariableW(L"CEDEVICE_VERSION", newer ? L"5.1" : L"4.21");
}

CEGUID LayoutGuid(bool newer) { return newer ? cedbtest::PimGuid() : cedbtest::SystemGuid(); }

void ClearStores() {
  const wchar_t* names[] = {L"Appointments Database", L"Tasks Database", L"Contacts Database",
                            L"\\Categories Database", L"CategoryMainDB", L"CategoryAssocDB"};
  for (bool newer : {false, true}) {
    CEGUID guid = LayoutGuid(newer);
    for (const wchar_t* db : names) {
      CEOID oid = 0;
      HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(db), nullptr, 0, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      CloseHandle(h);
      CeDeleteDatabaseEx(&guid, oid);
    }
  }
}

HRESULT RegisterServer() {
  HMODULE module = LoadLibraryW(L"pimstore.dll");
  if (!module) return E_FAIL;
  auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  return reg ? reg() : E_FAIL;
}

IPOutlookApp* CreateApp() {
  IPOutlookApp* app = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Application, nullptr, 0x17, IID_IPOutlookApp, reinterpret_cast<void**>(&app));
  EXPECT_HRESULT_SUCCEEDED(hr);
  return SUCCEEDED(hr) ? app : nullptr;
}

std::vector<RawRecord> ReadRaw(const wchar_t* name, bool newer) {
  std::vector<RawRecord> out;
  CEGUID guid = LayoutGuid(newer);
  CEOID dbOid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &dbOid, const_cast<LPWSTR>(name), nullptr, CEDB_AUTOINCREMENT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  DWORD index = 0;
  CeSeekDatabaseEx(h, CEDB_SEEK_BEGINNING, 0, 0, &index);
  for (;;) {
    cedbtest::ReadResult read;
    if (!cedbtest::ReadAt(h, &read)) break;
    RawRecord r;
    r.oid = read.oid;
    for (const CEPROPVAL& v : read.props) {
      r.values[v.propid] = v;
      WORD type = TypeFromPropID(v.propid);
      if (type == CEVT_LPWSTR) r.texts[v.propid] = v.val.lpwstr;
      if (type == CEVT_BLOB || type == CEVT_STREAM)
        r.blobs[v.propid].assign(v.val.blob.lpb, v.val.blob.lpb + v.val.blob.dwCount);
    }
    out.push_back(r);
  }
  CloseHandle(h);
  return out;
}

}  // namespace pimtest
