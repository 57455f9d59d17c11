// The contact commands every place showing a contact sends (CONTACT_ITEM::DoCommand is
// declared with the record) and the default-field chooser.
#pragma once
#include <windows.h>

class CONTACT_ITEM;

enum ContactCommand {
  kContactOpen = 1001,
  kContactEdit = 1002,
  kContactDelete = 1003,
  kContactCopy = 1006,
  kContactChooseIcon = 1304,
  kContactShowNote = 1305,
};

// The menu of the contact's non-empty fields ("label:\tvalue", identifiers field + 1,
// the current default checked) at point; a chosen field becomes the default in the
// contact and the store. The chosen field, or -1 (no field to choose, or dismissed).
int ChooseContactDefaultField(CONTACT_ITEM* contact, HWND owner, POINT point);
// The window the delete question is asked on (the panel's); null: none.
void SetContactCommandWindow(HWND window);
