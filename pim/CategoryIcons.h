// CCategoryIcons: one keyed bitmap per PIM category, loaded from "<folder><escaped
// name>.bmp" in the icon folder of the PIM the user works with ("CurrentPIM").
// The skin owns the process-wide object (GetCategoryIcons) and clears it when it
// is released. For now only the icons: the colours, the icon file edits and the
// other PIMs' chooser folders come with their users.
#pragma once
#include <windows.h>

#include <vector>

#include "graphics/KeyedBitmap.h"
#include "graphics/Skin.h"
#include "platform/windowlib/String.h"

class CCategoryIcons : public ISkinCategoryIcons {
 public:
  static constexpr COLORREF kKeyColor = RGB(0, 255, 0);

  CCategoryIcons();
  ~CCategoryIcons() override;
  CCategoryIcons(const CCategoryIcons&) = delete;
  CCategoryIcons& operator=(const CCategoryIcons&) = delete;

  // The category names in record order, as the categories list gives them; taken
  // by the next LoadIcons.
  void SetCategoryNames(const std::vector<CString>& names);

  // Frees the icons, finds the folder and loads the icon of every category whose
  // file exists and loads; then sets the loaded flag. Returns 1.
  int LoadIcons() override;
  void Clear() override;
  BOOL IsLoaded() const override { return m_loaded; }

  // The icon of a category record number, or null (also outside the list).
  CKeyedBitmap* GetIcon(int index) const;
  // The largest width and height of the loaded icons.
  SIZE GetIconSize() const { return m_largest; }
  // The icon folder with its trailing "\" (empty when the PIM names none); cached until Clear.
  const CString& GetIconFolder();

 private:
  CString m_folder;
  BOOL m_folderKnown;
  std::vector<CString> m_names;
  std::vector<CKeyedBitmap*> m_icons;
  BOOL m_loaded;
  SIZE m_largest;
};

// The file name form of a category name: % \ / : * ? " < > | become %A to %J.
CString EscapeFileName(LPCWSTR name);
// The reverse: %A to %J back to their characters, any other "%" kept.
CString UnescapeFileName(LPCWSTR name);

// The skin's category icons, made and handed to the skin on first use, loaded on
// first request.
CCategoryIcons* GetCategoryIcons();
