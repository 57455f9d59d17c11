// CContactPopup: the small window that shows one contact beside the place it was
// tapped: photo, full name, job title and company, and a list of its numbers, e-mail
// addresses, web page and postal addresses. Tapping an entry calls, writes a text
// message or an e-mail, or opens the page; the two title buttons open (or edit) and
// delete the contact.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/PopupWindow.h"
#include "platform/windowlib/String.h"
#include "tabs/contacts/ContactDetails.h"

class CContactsList;

// One row of the popup's list.
struct CONTACT_POPUP_ENTRY {
  enum Kind { kCall = 0, kSms = 1, kEmail = 2, kWeb = 3, kAddressFirst = 4, kAddressMore = 5 };
  int kind;
  CString value;
  CString label;
  int icon;  // of the skin's item icons; -1 for none
};

// What activating an entry starts: the phone and the other programs. Tests put in a
// recorder; the default goes to the device.
class IContactPopupActions {
 public:
  virtual BOOL IsPhonePresent() = 0;
  virtual void Dial(LPCWSTR number) = 0;
  virtual void ComposeSms(LPCWSTR number, LPCWSTR name) = 0;
  virtual void ComposeEmail(LPCWSTR address, LPCWSTR name) = 0;
  virtual void OpenInBrowser(LPCWSTR address) = 0;

 protected:
  ~IContactPopupActions() = default;
};
// Null puts the device's actions back; returns the previous ones.
IContactPopupActions* SetContactPopupActions(IContactPopupActions* actions);

// Splits one line into lines no wider than the entry text; null: keep it whole.
typedef std::vector<CString> (*PopupLineWrapper)(const CString& line, void* context);

// An address's lines: part 1; part 2, part 3 after ", " and part 4 (after ", " when
// only part 2 precedes it, after " " when part 3 does); part 5. Empty lines left out.
std::vector<CString> BuildAddressLines(const CString parts[CONTACT_DETAILS::kAddressParts]);
// The popup's entries in their fixed order; addressMode 0 puts the three addresses
// first, any other value last. iconCount is the skin's number of item icons.
std::vector<CONTACT_POPUP_ENTRY> BuildContactPopupEntries(CONTACT_DETAILS& contact, int addressMode, int iconCount,
                                                          PopupLineWrapper wrap = nullptr,
                                                          void* wrapContext = nullptr);

class CContactPopup : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"QelTarvoContactPopupWindow_1.0")
  enum { kWidth = 200, kHeight = 180, kMargin = 2, kListId = 100 };
  enum { kCommandOpen = 1001, kCommandEdit = 1002, kCommandDelete = 1003 };

  // contacts null: the process's list.
  explicit CContactPopup(CContactsList* contacts = nullptr);
  ~CContactPopup() override;

  // Shows the popup for the contact with its top-left corner at the rectangle's
  // (owner client coordinates; the other corner is not used). TRUE when created.
  BOOL Show(HWND owner, const RECT& rect, CONTACT_ITEM* contact);
  CONTACT_DETAILS* GetContact() const { return m_contact; }

  const std::vector<CONTACT_POPUP_ENTRY>& GetEntries() const { return m_entries; }
  HWND GetList() const { return m_list; }
  HWND GetNameWindow() const { return m_name; }
  const RECT& GetPhotoRect() const { return m_photoRect; }
  // Carries an entry out as a tap would: TRUE when the popup closes for it.
  BOOL ActivateEntry(int index);
  // The first and last list row of the entry block that holds row (an address is one
  // block).
  void GetBlock(int row, int* first, int* last) const;

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  BOOL OnCommand(UINT command) override;
  void OnPopupDestroy() override;
  void PaintContent(CTextRunList* context) override;

 private:
  CContactsList& Contacts() const;
  void Forget();
  void LayOut();
  void FillList(int width);
  void DrawEntry(const DRAWITEMSTRUCT* draw);
  LRESULT OnNotify(NMHDR* header);
  void SelectBlock(int row);
  // Up and Down by whole entries, Left closes; TRUE when the key was taken.
  BOOL OnListKey(UINT key);
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  CContactsList* m_contacts;
  CONTACT_DETAILS* m_contact;
  SIZE m_size;
  BOOL m_phone;
  int m_nameHeight;
  HWND m_name;
  HWND m_title;
  HWND m_company;
  RECT m_photoRect;
  HWND m_list;
  WNDPROC m_listProc;
  std::vector<CONTACT_POPUP_ENTRY> m_entries;
  BOOL m_selecting;
  int m_textWidth;
};
