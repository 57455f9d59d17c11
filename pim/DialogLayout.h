// One dialog takes the layout of another dialog template (the other screen
// orientation's): every control found by its id is moved and sized as that
// template places it, and its text or picture taken from there.
#pragma once
#include <windows.h>

// The template (resource type 5) of module by name. FALSE when it is missing or
// damaged, or when two items share the id 0xFFFF (those are left where they are).
BOOL LayoutDialogFromTemplate(HMODULE module, HWND dialog, LPCWSTR templateName);
// The same from template bytes (plain or extended templates); every length and
// offset is checked against size.
BOOL LayoutDialogFromTemplateData(HMODULE module, HWND dialog, const void* data, DWORD size);
