// The document list is found only on a device that has it; its list window records what
// it is asked to send, and its "All Folders" text is there for data-file loads.
#include "platform/coredll/DeviceSwitch.h"
#include "platform/doclist/doclist.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <typename T>
T Export(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(DocListLibrary, OnlyADeviceWithItFindsItAndItsText) {
  EXPECT_EQ(LoadLibraryExW(L"doclist.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"doclist"));
  HMODULE data = LoadLibraryExW(L"doclist.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  wchar_t text[64] = {};
  EXPECT_GT(LoadStringW(data, IDS_DOCLIST_ALL_FOLDERS, text, 64), 0);
  EXPECT_STREQ(text, L"All Folders");
  FreeLibrary(data);
}

TEST(DocListLibrary, ListsRecordWhatTheyAreAskedAndRefuseMalformedRequests) {
  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"doclist"));
  HMODULE library = LoadLibraryW(L"doclist.dll");
  ASSERT_NE(library, nullptr);
  auto create = Export<PFN_DOCLIST_CREATE>(library, "DocList_Create");
  auto sendCount = Export<int(WINAPI*)()>(library, "DocListTestGetSendCount");
  auto getSend = Export<BOOL(WINAPI*)(int, UINT*, LPWSTR, int)>(library, "DocListTestGetSend");
  auto createCount = Export<int(WINAPI*)()>(library, "DocListTestGetCreateCount");
  auto getCreate = Export<BOOL(WINAPI*)(int, LPWSTR, int, LPWSTR, int)>(library, "DocListTestGetCreate");
  ASSERT_TRUE(create && sendCount && getSend && createCount && getCreate);

  // The device's 24-byte description is not ours; none at all is refused too.
  DOCLISTCREATE small = {24, GetDesktopWindow(), L"\\Program Files\\", L"All Files", 0, 0, 0};
  EXPECT_EQ(create(&small), nullptr);
  EXPECT_EQ(create(nullptr), nullptr);
  EXPECT_EQ(createCount(), 0);

  DOCLISTCREATE description = {sizeof(DOCLISTCREATE), GetDesktopWindow(), L"\\Program Files\\", L"All Files", 0, 0, 0};
  HWND list = create(&description);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(SendMessageW(list, DLM_SENDIR, 0, reinterpret_cast<LPARAM>(L"\\My Documents\\a.pwi")));
  EXPECT_TRUE(SendMessageW(list, DLM_SENDEMAIL, 0, reinterpret_cast<LPARAM>(L"\\My Documents\\b.pwi")));
  EXPECT_FALSE(SendMessageW(list, DLM_SENDIR, 0, 0));
  EXPECT_FALSE(SendMessageW(list, DLM_SENDEMAIL, 0, reinterpret_cast<LPARAM>(L"")));
  // A path longer than any path is cut, never read past.
  const std::wstring longPath(MAX_PATH + 40, L'x');
  EXPECT_TRUE(SendMessageW(list, DLM_SENDIR, 0, reinterpret_cast<LPARAM>(longPath.c_str())));
  DestroyWindow(list);

  ASSERT_EQ(createCount(), 1);
  wchar_t folder[MAX_PATH + 1] = {}, filter[64] = {};
  ASSERT_TRUE(getCreate(0, folder, MAX_PATH + 1, filter, 64));
  EXPECT_STREQ(folder, L"\\Program Files\\");
  EXPECT_STREQ(filter, L"All Files");
  ASSERT_EQ(sendCount(), 3);
  const struct {
    UINT message;
    std::wstring path;
  } expected[] = {{DLM_SENDIR, L"\\My Documents\\a.pwi"},
                  {DLM_SENDEMAIL, L"\\My Documents\\b.pwi"},
                  {DLM_SENDIR, std::wstring(MAX_PATH, L'x')}};
  for (int i = 0; i < 3; ++i) {
    UINT message = 0;
    wchar_t path[MAX_PATH + 50] = {};
    ASSERT_TRUE(getSend(i, &message, path, MAX_PATH + 50));
    EXPECT_EQ(message, expected[i].message);
    EXPECT_EQ(path, expected[i].path);
  }
  EXPECT_FALSE(getSend(3, nullptr, nullptr, 0));
  FreeLibrary(library);
}

}  // namespace
