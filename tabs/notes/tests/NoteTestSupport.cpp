#include "tabs/notes/tests/NoteTestSupport.h"

namespace notetest {

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

void MakeInstallFolder(const std::wstring& folder, bool padExe, bool viewerExe, bool libraries) {
  CreateDirectoryW(folder.c_str(), nullptr);
  if (padExe) WriteBytes(folder + L"PhatPad.exe", "");
  if (viewerExe) WriteBytes(folder + L"PhatPadViewer.exe", "");
  if (!libraries) return;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring from = self;
  from = from.substr(0, from.rfind(L'\\') + 1) + L"optional\\phatpad\\";
  for (const wchar_t* name : {L"PhatPadCtl.dll", L"PhatPadViewCtl.dll"})
    CopyFileW((from + name).c_str(), (folder + name).c_str(), FALSE);
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data = {};
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

COwnerWindow::COwnerWindow() {
  static const ATOM atom = [] {
    WNDCLASSW info = {};
    info.lpfnWndProc = DefWindowProcW;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = L"NoteTestOwner";
    return RegisterClassW(&info);
  }();
  m_hwnd = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

COwnerWindow::~COwnerWindow() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

std::vector<std::pair<UINT, WPARAM>> COwnerWindow::TakeKeys() {
  std::vector<std::pair<UINT, WPARAM>> keys;
  MSG msg;
  while (PeekMessageW(&msg, m_hwnd, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) keys.emplace_back(msg.message, msg.wParam);
  return keys;
}

}  // namespace notetest
