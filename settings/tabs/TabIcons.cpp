#include "settings/tabs/TabIcons.h"

#include "base/ScreenDpi.h"
#include "graphics/Dib.h"
#include "graphics/RasterOps.h"
#include "graphics/SkinArchive.h"
#include "panel/FaultGuard.h"
#include "panel/MemoryDib.h"
#include "panel/TabIconArchive.h"
#include "panel/TabPlugin.h"
#include "platform/today/todaycmn.h"

namespace {

// A name that stays inside the archive: no folder part, no drive.
BOOL IsPlainName(LPCWSTR name) { return name && *name && !wcspbrk(name, L"\\/:"); }

typedef HWND(WINAPI* PFN_INITIALIZE_ITEM)(TODAYLISTITEM* item, HWND parent);

// Another vendor's code: whatever it throws ends only this call.
template <typename F>
bool Guarded(F&& call) noexcept {
  return GuardedCall(false, [&] {
    call();
    return true;
  });
}

void Forget(HBITMAP* bitmap) {
  if (*bitmap) DeleteObject(*bitmap);
  *bitmap = nullptr;
}

}  // namespace

HBITMAP TakeDibBitmap(CDib& image) {
  HBITMAP bitmap = image.GetBitmap();
  if (!bitmap) return nullptr;
  image.ReleaseDC();
  image.SetOwnsBitmap(FALSE);
  image.Clear();
  return bitmap;
}

HBITMAP DrawImageListIcon(HIMAGELIST images, int index) {
  const int side = GetTabIconSide();
  CDib icon;
  if (!icon.CreateFilled(side, side, RGB(255, 255, 255))) return nullptr;
  HDC dc = icon.GetDC();
  if (dc && images) ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
  return TakeDibBitmap(icon);
}

int GetTabIconSide() { return (16 * GetScreenDpiX() + 48) / 96; }

BOOL LoadTabIconBitmap(LPCWSTR name, HBITMAP* bitmap) {
  if (!bitmap) return FALSE;
  Forget(bitmap);
  CSkinArchive* archive = IsPlainName(name) ? GetTabIconArchive() : nullptr;
  if (!archive) return FALSE;
  const int side = GetTabIconSide();
  CString member;
  member.Format(L"%s%d.bmp", name, side);
  DWORD length = 0;
  BYTE* bytes = archive->ReadMember(member, &length);
  CDib picture, mask;
  const BOOL split = SplitTabIconCells(bytes, length, side, side, picture, mask);
  if (bytes) LocalFree(bytes);
  if (!split) return FALSE;
  CDib icon;
  if (!icon.CreateFilled(side, side, RGB(255, 255, 255))) return FALSE;
  ColorizeMasked(icon, 0, 0, side, side, picture, 0, 0, mask, 0, 0, 30, 90);
  *bitmap = TakeDibBitmap(icon);
  return *bitmap != nullptr;
}

HBITMAP MakeBlankTabIcon() {
  const int side = GetTabIconSide();
  CDib icon;
  if (!icon.CreateFilled(side, side, RGB(255, 255, 255))) return nullptr;
  return TakeDibBitmap(icon);
}

BOOL RenderPluginIcon(const TodayItemInfo& item, HBITMAP* bitmap, HWND parent) {
  if (!bitmap) return FALSE;
  Forget(bitmap);
  if (item.version == 0 || item.version == static_cast<DWORD>(-1) || item.dllPath.IsEmpty()) return FALSE;
  HMODULE module = LoadLibraryW(item.dllPath);
  if (!module) return FALSE;
  auto initialize = reinterpret_cast<PFN_INITIALIZE_ITEM>(
      reinterpret_cast<void*>(GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(240)))));
  auto getInterface = reinterpret_cast<PFN_GET_SMART_PLUGIN_INTERFACE>(
      reinterpret_cast<void*>(GetProcAddress(module, TAB_PLUGIN_EXPORT)));
  if (!initialize || !getInterface) {
    FreeLibrary(module);
    return FALSE;
  }
  TODAYLISTITEM record = {};
  lstrcpynW(record.szName, item.keyName, ARRAYSIZE(record.szName));
  record.tlit = tlitCustom;
  record.dwOrder = item.order;
  record.fEnabled = TRUE;
  record.grfFlags = item.flags;
  lstrcpynW(record.szDLLPath, item.dllPath, ARRAYSIZE(record.szDLLPath));
  record.hinstDLL = module;
  HWND window = nullptr;
  if (!Guarded([&] { window = initialize(&record, parent); }) || !window || !IsWindow(window)) {
    FreeLibrary(module);
    return FALSE;
  }
  record.hwndCustom = window;
  ShowWindow(window, SW_HIDE);
  const int side = GetTabIconSide();
  ITabPlugin* plugin = nullptr;
  HRESULT result = E_FAIL;
  if (!Guarded([&] { result = getInterface(item.keyName, &plugin); })) plugin = nullptr;
  if (SUCCEEDED(result) && plugin) {
    bool drawing = false;
    if (Guarded([&] { drawing = plugin->Init(parent, side, side, 0); }) && drawing &&
        Guarded([&] { plugin->Refresh(); })) {
      CMemoryDib surface;
      HDC dc = surface.Create(side, side, CMemoryDib::kRgb565) ? surface.GetDC() : nullptr;
      if (dc) {
        RECT all = {0, 0, side, side};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const bool drawn = Guarded([&] { plugin->DrawIcon(dc, surface.GetBitmap(), &all, TRUE); });
        GdiFlush();
        surface.ReleaseDC();
        if (drawn) {
          // The surface keeps its bitmap; a copy goes out.
          *bitmap = static_cast<HBITMAP>(CopyImage(surface.GetBitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        }
      }
    }
  }
  if (plugin) Guarded([&] { plugin->Release(); });
  if (IsWindow(window)) DestroyWindow(window);
  FreeLibrary(module);
  return *bitmap != nullptr;
}

BOOL IsAllWhite(HBITMAP bitmap) {
  CDib image;
  if (!bitmap || !image.CreateFromBitmap(bitmap)) return FALSE;
  for (int y = 0; y < image.GetHeight(); ++y) {
    const BYTE* row = image.Row(y);
    for (int x = 0; x < image.GetWidth() * 3; ++x)
      if (row[x] != 255) return FALSE;
  }
  return TRUE;
}

void ListTabIconNames(CSkinArchive* archive, std::vector<CString>& names) {
  if (!archive) return;
  const int count = archive->GetFileCount();
  for (int i = 0; i < count; ++i) {
    WCHAR buffer[128];
    if (!archive->GetFileName(i, buffer, ARRAYSIZE(buffer))) continue;
    CString name(buffer);
    name.MakeLower();
    const int length = name.GetLength();
    if (length <= 6 || name.Right(6).Compare(L"16.bmp") != 0) continue;
    names.push_back(name.Left(length - 6));
  }
}
