#include "platform/phatpad/phatpad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::wstring OptionalFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file = path;
  return file.substr(0, file.rfind(L'\\') + 1) + L"optional\\phatpad\\";
}

class PhatPadView : public ::testing::Test {
 protected:
  void SetUp() override {
    m_library = LoadLibraryW((OptionalFolder() + L"PhatPadViewCtl.dll").c_str());
    ASSERT_NE(m_library, nullptr);
    m_create = reinterpret_cast<PFN_PHATPAD_CREATEVIEW>(reinterpret_cast<void*>(GetProcAddress(m_library, "PhatPad_CreateView")));
    ASSERT_NE(m_create, nullptr);
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m_parent, nullptr);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_folder = std::wstring(temp) + L"phatpad-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_folder.c_str(), nullptr);
  }
  void TearDown() override {
    DeleteFileW((m_folder + L"\\drawing.pwd").c_str());
    DeleteFileW((m_folder + L"\\empty.pwd").c_str());
    RemoveDirectoryW(m_folder.c_str());
    if (m_parent) DestroyWindow(m_parent);
    if (m_library) FreeLibrary(m_library);
  }
  PHATPAD_VIEW_RECORD Record() const {
    PHATPAD_VIEW_RECORD record = {};
    record.cbSize = sizeof(record);
    record.version = 100;
    record.style = 0x50000800;
    record.exStyle = 0x10000000;
    record.rect = {0, 20, 100, 120};
    record.parent = m_parent;
    record.pageMode = 4;
    record.scale = 100;
    return record;
  }
  void Write(const wchar_t* name, const char* bytes) {
    HANDLE file = CreateFileW((m_folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
    CloseHandle(file);
  }

  HMODULE m_library = nullptr;
  PFN_PHATPAD_CREATEVIEW m_create = nullptr;
  HWND m_parent = nullptr;
  std::wstring m_folder;
};

TEST_F(PhatPadView, RecordsOfAnotherLayoutOrWithoutParentAreRefused) {
  EXPECT_EQ(m_create(nullptr), nullptr);
  PHATPAD_VIEW_RECORD record = Record();
  record.cbSize = 52;  // the device's 32-bit layout
  EXPECT_EQ(m_create(&record), nullptr);
  record = Record();
  record.parent = nullptr;
  EXPECT_EQ(m_create(&record), nullptr);

  record = Record();
  HWND view = m_create(&record);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(GetParent(view), m_parent);
  wchar_t name[64] = {};
  GetClassNameW(view, name, 64);
  EXPECT_STREQ(name, PHATPAD_FILE_VIEW_CLASS);
  RECT at = {};
  GetWindowRect(view, &at);
  MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&at), 2);
  EXPECT_EQ(at.top, 20);
  EXPECT_EQ(at.right, 100);
  WNDCLASSW info = {};
  EXPECT_TRUE(GetClassInfoW(m_library, PHATPAD_PAGE_BROWSER_CLASS, &info));
  DestroyWindow(view);
}

TEST_F(PhatPadView, OpenAndShowAnswerByWhatIsAtThePath) {
  Write(L"drawing.pwd", "pages");
  Write(L"empty.pwd", "");
  struct Case {
    std::wstring path;
    LRESULT open;
    LRESULT show;
  };
  const Case cases[] = {
      {m_folder + L"\\drawing.pwd", 0, 0},
      {m_folder + L"\\missing.pwd", -1, 1},
      {m_folder, PHATPAD_OPEN_REFUSED, 1},
      {m_folder + L"\\empty.pwd", 0, 1},
  };
  for (const Case& c : cases) {
    PHATPAD_VIEW_RECORD record = Record();
    HWND view = m_create(&record);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(SendMessageW(view, PHATPAD_MSG_OPEN, 0, reinterpret_cast<LPARAM>(c.path.c_str())), c.open) << c.path;
    EXPECT_EQ(SendMessageW(view, PHATPAD_MSG_SHOW, 0, 0), c.show) << c.path;
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(view, text, MAX_PATH);
    EXPECT_EQ(std::wstring(text), c.show == 0 ? c.path : L"") << c.path;
    DestroyWindow(view);
  }
}

}  // namespace
