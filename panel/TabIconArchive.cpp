#include "panel/TabIconArchive.h"

#include <memory>

#include "base/InstallPath.h"
#include "graphics/RasterOps.h"
#include "graphics/SkinArchive.h"

namespace {

std::unique_ptr<CSkinArchive>& Archive() {
  static std::unique_ptr<CSkinArchive> archive;
  return archive;
}

}  // namespace

CSkinArchive* GetTabIconArchive() {
  std::unique_ptr<CSkinArchive>& archive = Archive();
  if (archive && archive->IsOpen()) return archive.get();
  if (!archive) archive = std::make_unique<CSkinArchive>();
  CString zip, folder;
  GetInstallPath(zip, L"TabIcons.zip");
  GetInstallPath(folder, L"TabIcons");
  if (archive->Open(zip) || archive->Open(folder, TRUE)) return archive.get();
  return nullptr;
}

void CloseTabIconArchive() { Archive().reset(); }

BOOL SplitTabIconCells(const BYTE* bytes, DWORD length, int width, int height, CDib& picture, CDib& mask) {
  picture.Clear();
  mask.Clear();
  if (!bytes || length == 0 || width < 1 || height < 1) return FALSE;
  CDib whole;
  if (!whole.LoadBmpFromMemory(bytes, length)) return FALSE;
  if (whole.GetWidth() != 2 * width || whole.GetHeight() != height) return FALSE;
  // Sections, so the cells can be drawn with GDI as well as blended.
  if (!picture.Create(width, height) || !mask.Create(width, height)) {
    picture.Clear();
    mask.Clear();
    return FALSE;
  }
  CopyRect24(picture, 0, 0, width, height, whole, 0, 0);
  CopyRect24(mask, 0, 0, width, height, whole, width, 0);
  return TRUE;
}
