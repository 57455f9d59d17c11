// CSkin: the current skin, the one process-wide set of item icons, scroll-bar
// parts, tab icons and small resource icons the panel draws with. The skin is
// "Skins\<SkinName>.zip" in the install folder, else "Skins\<SkinName>" (a folder,
// or a file tried as a .zip). Every piece loads on first use and stays until
// Release; a piece that failed is tried again on the next call.
#pragma once
#include <windows.h>

#include <vector>

#include "graphics/Bitmap.h"
#include "graphics/Dib.h"
#include "graphics/SkinImage.h"
#include "platform/windowlib/String.h"

// The category icons belong to the PIM layer; the skin owns the object, loads it
// on first request and clears it on Release.
class ISkinCategoryIcons {
 public:
  virtual ~ISkinCategoryIcons() = default;
  virtual BOOL IsLoaded() const = 0;
  virtual int LoadIcons() = 0;
  virtual void Clear() = 0;
};

// Which resource bitmaps a file of the same name in the skin may replace.
class CSkinBitmapNames {
 public:
  static CSkinBitmapNames& Instance();
  // The file name of a resource id, or the empty text.
  CString Lookup(UINT id) const;
  // Replaces the name of an id already present, else appends the pair.
  void Add(UINT id, LPCWSTR name);

 private:
  CSkinBitmapNames();
  std::vector<UINT> m_ids;
  std::vector<CString> m_names;
};

class CSkin {
 public:
  // Results of the loading operations.
  enum { kFailed = 0, kFromResources = 1, kLoaded = 2 };
  static constexpr int kIconCount = 49;
  static constexpr int kScrollPartCount = 7;
  enum ScrollPart { kPartUp, kPartDown, kPartThumbTop, kPartThumbMiddle, kPartThumbBottom, kPartHeaderButton,
                    kPartVertical };
  // Resource ids of the fallback scroll-bar strips and the small icons.
  static constexpr UINT kScrollBarBitmap = 129;
  static constexpr UINT kScrollBarBitmapLarge = 142;

  CSkin();
  ~CSkin();
  CSkin(const CSkin&) = delete;
  CSkin& operator=(const CSkin&) = delete;

  static CSkin& Instance();

  // "SkinName" of the product key (default "NewStyle", also when empty).
  CString GetSkinName();
  // The install folder's "Skins\" and the name; kept until Release.
  const CString& GetSkinPath();
  // Makes the skin path this one instead of the one "SkinName" gives (".zip" is
  // still tried first), Release included; null goes back to "SkinName". For
  // tools that show a skin by its path.
  void UseSkinPath(LPCWSTR path);
  // Opens the skin's archive (".zip" first, then the folder). A skin that did not open
  // is not looked for again until Release (an archive opened meanwhile still counts).
  BOOL Open();

  // The name of icon id (0 to 48) and of scroll-bar part index (0 to 6); null outside.
  static LPCWSTR GetIconName(int id);
  static LPCWSTR GetScrollPartName(int index);
  // 16 or 32: the size suffix of the icon and part members at the screen's dpi.
  static int GetSizeSuffix();
  // n of "tab_icons_<n>.bmp" and of its n x n cells.
  static int GetTabIconSize();

  // id -1 only opens the skin (kLoaded when open); ids outside 0..48 give kFailed.
  int LoadIcon(int id);
  // 49 when the skin opens, else 0.
  int GetIconCount();
  // Half the icon's width and its height; 0 x 0 when it does not load.
  SIZE GetIconSize(int id);
  // Into target at (x, y) when given, else into hdc through the colour table's
  // scratch image; with neither only the icon. The icon, or null when it does not load.
  CDib* DrawIcon(int id, CDib* target, int x, int y, HDC hdc);
  // The same with the icon's magenta pixels painted in colour.
  CDib* DrawIconRecoloured(int id, CDib* target, int x, int y, HDC hdc, COLORREF colour);
  // While set, the ids of the icons this thread asks to draw are added to it (the row
  // dump tells which icons a row shows); null stops.
  static void RecordIconsInto(std::vector<int>* ids);
  // The options program's name for it.
  CDib* DrawIcon(int id, CDib* target, int x, int y, HDC hdc, COLORREF colour) {
    return DrawIconRecoloured(id, target, x, y, hdc, colour);
  }

  // kLoaded (the skin's parts or its single strip; when the skin did not open, the
  // resource strip and kFromResources), or kFailed.
  int LoadScrollBar();
  // The skin's seven parts are in use (no single strip).
  BOOL HasScrollBar();
  // A part's cell size: the skin's part, else the single strip's part of that
  // index; 0 x 0 when neither has it (the optional track, a strip's missing part).
  SIZE GetScrollPartSize(int index);
  // As DrawIcon, from the skin's parts or else the single strip (which it returns).
  CDib* DrawScrollPart(int index, CDib* target, int x, int y, HDC hdc);
  // The single strip when that is what loaded (loading the scroll bar first), else null.
  CBitmap* GetScrollBitmap();
  // Whether the single strip came from the skin (not from the resource library).
  BOOL IsScrollBitmapFromSkin() const { return m_scrollBitmap && m_scrollBitmapFromSkin; }

  int LoadTabIcons();
  BOOL DrawTabIcon(int row, HDC hdc, int x, int y, BOOL selected);
  // The tab icon grid, loaded on first request; null when the skin has none.
  CSkinImage* GetTabIcons() {
    LoadTabIcons();
    return m_tabIcons;
  }

  // Takes ownership (null: none). GetCategoryIcons loads it on the first request.
  void SetCategoryIcons(ISkinCategoryIcons* icons);
  ISkinCategoryIcons* GetCategoryIcons();

  // Small icons of the resource library, loaded once at their scaled size:
  // 111 / 112 (8 x 8), 121 collapsed / 122 open (9 x 9), 120 (13 x 9).
  HICON GetSmallIcon(int which);
  HICON GetSignIcon(BOOL collapsed);
  HICON GetDropDownIcon();
  // The options program's names.
  HICON GetArrowIcon(int which) { return GetSmallIcon(which ? 1 : 0); }
  HICON GetCollapsedIcon() { return GetSignIcon(TRUE); }
  HICON GetExpandedIcon() { return GetSignIcon(FALSE); }

  void Release();
  // A skin usable as a whole: it opens, every one of the 49 icons loads, the
  // scroll bar comes from the skin (its parts, or its own strip with at least 4
  // parts) and the tab icons load with at least 6 rows. Releases first.
  BOOL IsComplete();

 private:
  enum { kSmallIcon0, kSmallIcon1, kSignCollapsed, kSignOpen, kDropDown, kSmallIconSlots };

  int LoadPiece(std::vector<CDib*>& slots, int index, LPCWSTR name, BOOL* missing);
  CDib* DrawPiece(CDib* piece, CDib* target, int x, int y, HDC hdc, const COLORREF* recolour);
  void DeleteParts();
  HICON LoadSmallIcon(int slot, UINT id, int width, int height);

  std::vector<CDib*> m_icons;
  // The icons that did not load since the last Release.
  std::vector<bool> m_iconFailed;
  HICON m_smallIcons[kSmallIconSlots];
  CSkinImage* m_tabIcons;
  CString m_skinPath;
  CString m_fixedPath;
  CBitmap* m_scrollBitmap;
  BOOL m_scrollBitmapFromSkin;
  std::vector<CDib*> m_parts;
  ISkinCategoryIcons* m_categoryIcons;
  BOOL m_openFailed;
};

inline CSkin& GetSkin() { return CSkin::Instance(); }

// The options program's names for the item icons of the current skin.
struct CSkinStrip {
  static SIZE GetPartSize(int id) { return CSkin::Instance().GetIconSize(id); }
  static CDib* Draw(int id, CDib* target, int x, int y, HDC hdc) {
    return CSkin::Instance().DrawIcon(id, target, x, y, hdc);
  }
};
