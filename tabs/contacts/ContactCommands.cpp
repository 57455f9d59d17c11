#include "tabs/contacts/ContactCommands.h"

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/IconSets.h"
#include "controls/PopupMenuTracker.h"
#include "graphics/FontCache.h"
#include "graphics/TextFit.h"
#include "panel/PanelPrompt.h"
#include "pim/IconProviderRef.h"
#include "pim/PimAddins.h"
#include "res/TarvoResIds.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactRequests.h"
#include "tabs/contacts/ContactsList.h"

namespace {

HWND g_commandWindow = nullptr;
// The item kind contacts are linked to their icons with.
const int kContactItemKind = 10;

// The value cut with an ellipsis to the screen's width less 100 logical pixels.
CString FitToScreen(const CString& value) {
  HFONT font = nullptr;
  if (CFontCache* fonts = GetFontCache())
    if (CFontInfo* info = fonts->GetStyleFont(0, FALSE)) font = info->GetFont();
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int width = GetSystemMetrics(SM_CXSCREEN) - ScaleX(100);
  if (width < 0) width = 0;
  HDC screen = GetDC(nullptr);
  CString fitted = FitTextGdi(screen, font, value, width);
  ReleaseDC(nullptr, screen);
  return fitted;
}

}  // namespace

void SetContactCommandWindow(HWND window) { g_commandWindow = window; }

BOOL CONTACT_ITEM::DoCommand(int command) {
  IContactRequests& requests = CContactsList::GetGlobal().GetRequests();
  switch (command) {
    case kContactOpen:
    case kContactEdit:
      requests.DisplayContact(m_itemOid, command == kContactEdit);
      return TRUE;
    case kContactDelete: {
      CString question, name;
      LoadTranslatedString(question, 22);
      GetDisplayName(name, FALSE, FALSE);
      if (ShowPanelMessage(g_commandWindow, question, name, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES)
        CContactsList::GetGlobal().DeleteContact(m_itemOid);
      return TRUE;
    }
    case kContactCopy:
      requests.CopyContact(m_itemOid);
      return TRUE;
    case kContactChooseIcon:
      ChooseIcon(g_commandWindow);
      return TRUE;
    case kContactShowNote:
      return FALSE;
    default: {
      CString name;
      GetDisplayName(name, FALSE, FALSE);
      PIM_CONTACT_FIELDS fields = {name, m_fields[9], m_fields[4], m_fields[0], m_fields[2]};
      OnPimItemActionCommand(PIM_GROUP_CONTACTS, static_cast<UINT>(command), m_itemOid, &fields);
      return FALSE;
    }
  }
}

void CONTACT_ITEM::ChooseIcon(HWND owner) {
  CIconSets sets;
  sets.SetSelectedName(m_iconName.IsEmpty() ? nullptr : m_iconName.GetString());
  CString title;
  LoadTranslatedString(title, IDS_CONTACT_ICON_TITLE);
  sets.SetTitle(title);
  if (sets.DoModal(owner) != IDOK) return;
  LPCWSTR chosen = sets.GetSelectedName();
  if (!chosen || !*chosen) {
    if (CIconProviderRef::SetLink(m_itemOid, kContactItemKind, nullptr, nullptr, nullptr)) m_iconName.Empty();
  } else if (wcslen(chosen) > 1) {
    CString stored;
    if (CIconProviderRef::SetLink(m_itemOid, kContactItemKind, chosen, &stored, nullptr))
      m_iconName = stored.IsEmpty() ? CString(chosen) : stored;
  }
}

int ChooseContactDefaultField(CONTACT_ITEM* contact, HWND owner, POINT point) {
  if (!contact) return -1;
  HMENU menu = CreatePopupMenu();
  if (!menu) return -1;
  int entries = 0;
  for (int field = 0; field < kContactFieldCount; ++field) {
    if (contact->m_fields[field].IsEmpty()) continue;
    CString label, entry;
    LoadTranslatedString(label, ContactFieldLabelId(field));
    entry.Format(L"%s:\t%s", static_cast<LPCWSTR>(label), static_cast<LPCWSTR>(FitToScreen(contact->m_fields[field].ToString())));
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(field + 1), entry);
    ++entries;
  }
  int chosen = -1;
  if (entries > 0) {
    contact->GetDefaultFieldText();  // settles an empty default on the first field with text
    if (contact->m_defaultField >= 0)
      CheckMenuRadioItem(menu, 1, kContactFieldCount, static_cast<UINT>(contact->m_defaultField + 1), MF_BYCOMMAND);
    int command = CPopupMenuTracker::Track(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, point.x, point.y, owner);
    if (command >= 1 && command <= kContactFieldCount && !contact->m_fields[command - 1].IsEmpty()) {
      chosen = command - 1;
      if (chosen != contact->m_defaultField) {
        contact->m_defaultField = chosen;
        CContactsList::GetGlobal().SetDefaultField(contact->m_itemOid, chosen);
      }
    }
  }
  DestroyMenu(menu);
  return chosen;
}
