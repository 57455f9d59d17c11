// WebIS Mail as the tests install it: its registry values under HKEY_CURRENT_USER,
// its "settings.ini", and account volumes under the test program's device root.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/coredll/cedb.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"

namespace webistest {

// A parent given as ParentAt(i) is the folder written i-th (its record identifier).
constexpr ULONG ParentAt(ULONG index) { return 0x80000000u | index; }

struct Folder {
  ULONG parent;
  ULONG type;
  const wchar_t* name;
};

// An account's volume as WebIS Mail writes it: "Folders" with the folder records,
// and the message and body databases (empty, the options program never reads them).
// withBodies false leaves out "Bodies". The folders' record identifiers.
inline std::vector<CEOID> WriteVolume(const std::wstring& device, const std::vector<Folder>& folders,
                                      bool withBodies = true) {
  std::vector<CEOID> ids;
  CEGUID guid{};
  std::wstring path = device;
  if (!CeMountDBVol(&guid, &path[0], OPEN_ALWAYS)) {
    ADD_FAILURE() << "volume";
    return ids;
  }
  EXPECT_NE(cedbtest::CreateDb(&guid, L"Folders", {}), 0u);
  EXPECT_NE(cedbtest::CreateDb(&guid, L"Messages", {}), 0u);
  if (withBodies) {
    EXPECT_NE(cedbtest::CreateDb(&guid, L"Bodies", {}), 0u);
  }
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(L"Folders"), nullptr, 0, nullptr);
  EXPECT_NE(db, INVALID_HANDLE_VALUE);
  for (const Folder& folder : folders) {
    ULONG parent = folder.parent;
    if ((parent & 0x80000000u) && (parent & 0x7FFFFFFFu) < ids.size()) parent = ids[parent & 0x7FFFFFFFu];
    CEPROPVAL values[3] = {cedbtest::ULong(0, parent), cedbtest::ULong(1, folder.type),
                           cedbtest::Text(2, folder.name)};
    ids.push_back(CeWriteRecordProps(db, 0, 3, values));
  }
  CloseHandle(db);
  CeUnmountDBVol(&guid);
  return ids;
}

// The registry values (install folder, data folder, build) and settings.ini in data.
inline bool Install(const std::wstring& data, const std::string& ini, DWORD build = 1234) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\WebIS\\Mail2", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring install = L"\\Program Files\\WebIS";
  RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                 static_cast<DWORD>((install.size() + 1) * 2));
  RegSetValueExW(key, L"DataDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * 2));
  RegSetValueExW(key, L"Build", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&build), sizeof build);
  RegCloseKey(key);
  CreateDirectoryW(data.c_str(), nullptr);
  return cedbtest::WriteFileBytes(data + L"\\settings.ini", ini);
}

inline void Uninstall(const std::wstring& data) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WebIS");
  DeleteFileW((data + L"\\settings.ini").c_str());
  RemoveDirectoryW(data.c_str());
}

// WebIS Mail's main window, as the program makes it: while it exists changes go to it.
class CWebISMainWindow {
 public:
  CWebISMainWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CeWnd:WebISMailMainWnd";
    RegisterClassW(&wc);
    m_window = CreateWindowW(wc.lpszClassName, L"WebIS Mail", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                             nullptr);
  }
  ~CWebISMainWindow() { DestroyWindow(m_window); }
  HWND hwnd() const { return m_window; }

 private:
  HWND m_window;
};

}  // namespace webistest
