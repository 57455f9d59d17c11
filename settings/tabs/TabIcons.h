// The pictures of custom tabs as the options program shows them: an icon of the
// tab icon archive laid on white through its mask, or the picture a hosted item's
// library draws for its tab. Bitmaps handed out belong to the caller.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "panel/TodayItemInfo.h"
#include "platform/windowlib/String.h"

class CSkinArchive;

// The side of a tab icon at the screen's dpi.
int GetTabIconSide();

// The archive's "<name><side>.bmp" (picture and mask side by side) on white. A
// previous bitmap in *bitmap is deleted first; FALSE (and null) when the member is
// missing, of another size, or the name reaches outside the archive.
BOOL LoadTabIconBitmap(LPCWSTR name, HBITMAP* bitmap);
// The icon the item's library draws for its tab (the Today item entry and the
// tab-plug-in export, both needed). The item's window is made with parent and
// destroyed again, the library always freed. A previous bitmap is deleted first.
BOOL RenderPluginIcon(const TodayItemInfo& item, HBITMAP* bitmap, HWND parent);
// A white picture of the icon's size: the stand-in for a tab with no picture.
HBITMAP MakeBlankTabIcon();
// The image's section as a bitmap the caller owns (the image ends empty).
class CDib;
HBITMAP TakeDibBitmap(CDib& image);
// The image list's picture at index on white, icon-sized, as a bitmap the caller owns.
HBITMAP DrawImageListIcon(HIMAGELIST images, int index);
// Whether every pixel of the bitmap is white (an item that drew nothing).
BOOL IsAllWhite(HBITMAP bitmap);
// The icon names the archive offers: members "<base>16.bmp" (lower case), in the
// archive's order.
void ListTabIconNames(CSkinArchive* archive, std::vector<CString>& names);
