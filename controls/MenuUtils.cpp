#include "controls/MenuUtils.h"

#include <commctrl.h>

#include "base/Translator.h"
#include "platform/aygshell/aygshell.h"

void TranslateMenu(CTranslator& translator, HMENU menu) {
  if (menu) translator.TranslateMenu(menu);
}

void TranslateMenuBar(CTranslator& translator, HWND window, UINT flag) {
  HWND bar = (flag & 0xFF) == 0 ? SHFindMenuBar(window) : window;
  if (!bar) return;
  const int count = static_cast<int>(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = count - 1; i >= 0; --i) {
    TBBUTTON button = {};
    if (!::SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
    WCHAR text[256] = L"";
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT | TBIF_LPARAM;
    info.pszText = text;
    info.cchText = 256;
    if (::SendMessageW(bar, TB_GETBUTTONINFOW, button.idCommand, reinterpret_cast<LPARAM>(&info)) < 0) continue;
    LPCWSTR translated = translator.Translate(text);
    // The translator hands back the text itself when it has nothing for it.
    if (text[0] && translated != text && translated[0]) {
      TBBUTTONINFOW set = {};
      set.cbSize = sizeof(set);
      set.dwMask = TBIF_TEXT;
      set.pszText = const_cast<LPWSTR>(translated);
      ::SendMessageW(bar, TB_SETBUTTONINFOW, button.idCommand, reinterpret_cast<LPARAM>(&set));
    }
    HMENU menu = reinterpret_cast<HMENU>(info.lParam);
    if (menu && IsMenu(menu)) TranslateMenu(translator, menu);
  }
}
