#include "settings/shell/ChoiceTable.h"

#include "base/Translator.h"

namespace {

void AddItem(HWND combo, LPCWSTR text, int value) {
  LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index >= 0) ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), value);
}

}  // namespace

void FillComboFromTable(const IdChoice* table, HWND combo) {
  for (const IdChoice* at = table; at && at->textId != -1; ++at) {
    CString text;
    LoadTranslatedString(text, static_cast<UINT>(at->textId));
    AddItem(combo, text, at->value);
  }
}

int FindTableIndex(const IdChoice* table, int value) {
  for (int i = 0; table && table[i].textId != -1; ++i)
    if (table[i].value == value) return i;
  return 0;
}

void FillComboFromStrings(const TextChoice* table, HWND combo) {
  for (const TextChoice* at = table; at && at->text && at->text[0]; ++at) {
    CString text;
    TranslateText(at->text, text);
    AddItem(combo, text, at->value);
  }
}

int SelectComboByData(const TextChoice* table, int value) {
  for (int i = 0; table && table[i].text && table[i].text[0]; ++i)
    if (table[i].value == value) return i;
  return 0;
}
