// A contact's row in the Contacts tab: pattern icons, the name (split around a typed
// search match) and the default field with its icon; or, as a photo row, the
// contact's photo tile.
//
// The options program draws the same row as its contacts preview with its own rules
// (SetOptionsProgramRules): no photos; until first drawn the row is one line of the
// list font; the leading icon ends 14 px in, the icons after the digit follow the
// name, a category letter is the category mark (skin icon 6) with the pictures after
// the letters, the field's icon shows only beside a field text, and the row is as
// high as its name line.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

class CONTACT_ITEM;

class CContactListItem : public CPimListItem {
 public:
  enum { kMaxIcons = 20 };
  // What the owner hears (OnItemNotify).
  enum { kNotifyShowNote = 1024, kNotifyChooseField = 1025, kNotifyCategories = 1552 };
  enum { kCommandShowNote = 1305, kCommandPhotoApplet = 1306, kCommandCategories = 1008 };
  enum IconKind { kIconSkin, kIconCategory, kIconNote, kIconField, kIconCustom };
  struct IconEntry {
    int kind;
    int id;  // skin icon, or category record number
    RECT rect;
  };

  CContactListItem(CONTACT_ITEM* contact, IListItemOwner* owner, BOOL photo);
  ~CContactListItem() override;

  void Draw(CTextRunList* context, const POINT* origin) override;
  // A tap on the note icon or the default field's icon tells the owner; elsewhere the
  // row is selected.
  BOOL OnPress(POINT* point) override;
  DWORD_PTR GetUserData() override;
  int GetKind() override { return ITEM_KIND_CONTACT; }
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

  // The default-field menu at point (screen); the row is laid out again after a choice.
  int ChooseDefaultField(HWND owner, POINT point);

  CONTACT_ITEM* GetContact() const { return m_contact; }
  BOOL IsPhotoRow() const { return m_photo; }
  const CString& GetName() const { return m_name; }
  const CString& GetFieldText() const { return m_fieldText; }
  // Parts 0-2: before the match, the match, after it (a whole name is part 0).
  const CString& GetNamePart(int part) const { return m_parts[part]; }
  const RECT& GetNamePartRect(int part) const { return m_partRects[part]; }
  const RECT& GetFieldRect() const { return m_fieldRect; }
  int GetIconCount() const { return m_iconCount; }
  const IconEntry& GetIcon(int index) const { return m_icons[index]; }
  const CString& GetPhotoCaption() const { return m_photoCaption; }

  // The options program's rules; set once at its start.
  static void SetOptionsProgramRules(BOOL options);
  static BOOL GetOptionsProgramRules();
  BOOL IsMeasuredByDevice() const { return m_drawn; }

 private:
  int AddIcon(int kind, int id, int width, int height);
  void PlaceIcons(LPCWSTR pattern, BOOL fromLeft, int lineHeight, int* edge, BOOL* categoriesDone);
  int LayoutPreview(int width);
  void AddPreviewLetterIcon(WCHAR letter);

  CONTACT_ITEM* m_contact;
  CString m_name;
  CString m_fieldText;
  CString m_parts[3];
  RECT m_partRects[3];
  RECT m_fieldRect;
  int m_iconCount;
  IconEntry m_icons[kMaxIcons];
  BOOL m_photo;
  CString m_photoCaption;
  // Drawn once: from then on the options program's layouts measure through the device.
  BOOL m_drawn = FALSE;
};
