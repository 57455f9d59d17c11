// CCategoryIcons: one keyed bitmap per PIM category, loaded from "<folder><escaped
// name>.bmp" in the icon folder of the PIM the user works with ("CurrentPIM"), and
// the categories' colours (CCategoryColors). The categories come from the current
// categories list, in record order. The skin owns the process-wide object
// (GetCategoryIcons) and clears it when it is released; the categories list loads it
// again whenever a category comes or goes.
#pragma once
#include <windows.h>

#include <vector>

#include "base/BitSet.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/Skin.h"
#include "pim/CategoryColors.h"
#include "platform/windowlib/String.h"

class CCategoryIcons : public ISkinCategoryIcons {
 public:
  static constexpr COLORREF kKeyColor = RGB(0, 255, 0);

  CCategoryIcons();
  ~CCategoryIcons() override;
  CCategoryIcons(const CCategoryIcons&) = delete;
  CCategoryIcons& operator=(const CCategoryIcons&) = delete;

  // Frees the icons, finds the folder again ("CurrentPIM" may have changed) and loads
  // the icon of every category whose file exists and loads, then the colours; sets
  // the loaded flag. Returns 1.
  int LoadIcons() override;
  void Clear() override;
  BOOL IsLoaded() const override { return m_loaded; }

  // The icon of a category record number, or null (also outside the list).
  CKeyedBitmap* GetIcon(int index) const;
  // The icon of the lowest set category that has one, or null.
  CKeyedBitmap* GetFirstIcon(const CBitSet& set) const;
  // The largest width and height of the loaded icons.
  SIZE GetIconSize() const { return m_largest; }
  // The icon folder with its trailing "\" (empty when the PIM names none); cached until Clear.
  const CString& GetIconFolder();
  // The file of a category's icon; empty without a folder or a name.
  CString GetIconPath(int index);

  // Copies source over the category's icon file (the folder made when missing, a
  // read-only target cleared first). FALSE without a folder or a name, or when the
  // copy fails. The loaded icons are not touched; the caller loads again.
  BOOL SetIconFile(int index, LPCWSTR source);
  BOOL SetIcon(int index, LPCWSTR source) { return SetIconFile(index, source); }
  // Deletes the icon file (read-only cleared first) and frees the loaded icon.
  void DeleteIcon(int index);

  CCategoryColors& GetColors() { return m_colors; }
  const CCategoryColors& GetColors() const { return m_colors; }

 private:
  CString m_folder;
  BOOL m_folderKnown;
  std::vector<CKeyedBitmap*> m_icons;
  std::vector<CString> m_names;
  CCategoryColors m_colors;
  BOOL m_loaded;
  SIZE m_largest;
};

// The file name form of a category name: % \ / : * ? " < > | become %A to %J.
CString EscapeFileName(LPCWSTR name);
// The reverse: %A to %J back to their characters, any other "%" kept.
CString UnescapeFileName(LPCWSTR name);

// Icon folders, each with a trailing "\" when not empty. Other vendors' keys are only
// read: never created, and nothing written back into them.
// Agenda Fusion's category icons ("Core.Categories").
CString GetAgendaFusionCategoryFolder();
// Pocket Informant's category icons ("IconPath").
CString GetPocketInformantIconFolder();
// Agenda Fusion's item icons ("SourceIconLocation").
CString GetAgendaFusionIconFolder();
// Pocket Informant's last chosen icon folder (the icon chooser's, else the picture
// chooser's most recent entry).
CString GetPocketInformantIconMru();
// "Icons\" and "IconSet\" in the install folder.
CString GetIconsFolder();
CString GetIconSetFolder();
// The category icon folder of "CurrentPIM": 1 Agenda Fusion, 2 Pocket Informant,
// else our own.
CString GetCurrentPimIconFolder();

// Whether the folder holds a "*.bmp" (names beginning with "." and folders skipped)
// that loads and fits a list row: both sides at most 30 logical pixels.
BOOL HasListSizeIcon(LPCWSTR folder);

// The skin's category icons, made and handed to the skin on first use, loaded on
// first request.
CCategoryIcons* GetCategoryIcons();
