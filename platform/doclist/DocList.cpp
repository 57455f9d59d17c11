// Shows no documents: the list window only records what it is made over and the
// documents it is asked to send.
#include "platform/doclist/doclist.h"

#include <string>
#include <vector>

namespace {

const wchar_t kClassName[] = L"DocList";

struct Created {
  std::wstring folder, filter;
};
struct Sent {
  UINT message;
  std::wstring path;
};

std::vector<Created>& CreatedLists() {
  static std::vector<Created> lists;
  return lists;
}
std::vector<Sent>& SentDocuments() {
  static std::vector<Sent> sent;
  return sent;
}

HINSTANCE g_instance = nullptr;

// A text of the caller's, read no further than a path may be long.
std::wstring Bounded(LPCWSTR text) { return text ? std::wstring(text, wcsnlen(text, MAX_PATH)) : std::wstring(); }

LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == DLM_SENDIR || message == DLM_SENDEMAIL) {
    LPCWSTR path = reinterpret_cast<LPCWSTR>(lParam);
    if (!path || !*path) return FALSE;
    try {
      SentDocuments().push_back(Sent{message, Bounded(path)});
    } catch (...) {
      return FALSE;
    }
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterListClass() {
  WNDCLASSW wc = {};
  if (GetClassInfoW(g_instance, kClassName, &wc)) return true;
  wc.lpfnWndProc = ListProc;
  wc.hInstance = g_instance;
  wc.lpszClassName = kClassName;
  return RegisterClassW(&wc) != 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  if (reason == DLL_PROCESS_DETACH) UnregisterClassW(kClassName, instance);
  return TRUE;
}

DOCLIST_API HWND WINAPI DocList_Create(DOCLISTCREATE* create) {
  if (!create || create->dwStructSize != sizeof(DOCLISTCREATE) || !RegisterListClass()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // The parent may be the desktop: the list is then a window of its own.
  HWND parent = create->hwndParent == GetDesktopWindow() ? nullptr : create->hwndParent;
  HWND list = CreateWindowExW(0, kClassName, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 0, 0, parent,
                              parent ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(create->wId)) : nullptr,
                              g_instance, nullptr);
  if (!list) return nullptr;
  try {
    CreatedLists().push_back(Created{Bounded(create->pszFolder), Bounded(create->pstrFilter)});
  } catch (...) {
  }
  return list;
}

DOCLIST_API int WINAPI DocListTestGetCreateCount() { return static_cast<int>(CreatedLists().size()); }

DOCLIST_API BOOL WINAPI DocListTestGetCreate(int index, LPWSTR folder, int folderSize, LPWSTR filter,
                                             int filterSize) {
  if (index < 0 || index >= DocListTestGetCreateCount()) return FALSE;
  const Created& c = CreatedLists()[index];
  if (folder && folderSize > 0) lstrcpynW(folder, c.folder.c_str(), folderSize);
  if (filter && filterSize > 0) lstrcpynW(filter, c.filter.c_str(), filterSize);
  return TRUE;
}

DOCLIST_API int WINAPI DocListTestGetSendCount() { return static_cast<int>(SentDocuments().size()); }

DOCLIST_API BOOL WINAPI DocListTestGetSend(int index, UINT* message, LPWSTR path, int size) {
  if (index < 0 || index >= DocListTestGetSendCount()) return FALSE;
  const Sent& s = SentDocuments()[index];
  if (message) *message = s.message;
  if (path && size > 0) lstrcpynW(path, s.path.c_str(), size);
  return TRUE;
}

DOCLIST_API void WINAPI DocListTestReset() {
  CreatedLists().clear();
  SentDocuments().clear();
}
