// Translation of menu bars and menus through the user-interface texts.
#pragma once
#include <windows.h>

class CTranslator;

// The low byte of flag 0: window owns a menu bar, which is looked up; otherwise
// window is the menu bar. Every button text with a translation is replaced, and a
// button's menu (carried in its data) is translated too.
void TranslateMenuBar(CTranslator& translator, HWND window, UINT flag);
// Item texts with a non-empty translation are replaced; sub-menus too.
void TranslateMenu(CTranslator& translator, HMENU menu);
