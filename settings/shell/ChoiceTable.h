// The fixed choices of the options pages' combo boxes: (value, text id) pairs ending
// with text id -1, or (value, English text) pairs ending with an empty text. The
// position of a pair is the item index, its value the item data; a stored value that
// is not in the table selects item 0.
#pragma once
#include <windows.h>

struct IdChoice {
  int value;
  int textId;  // -1 ends the table
};
struct TextChoice {
  int value;
  LPCWSTR text;  // null or empty ends the table
};

void FillComboFromTable(const IdChoice* table, HWND combo);
int FindTableIndex(const IdChoice* table, int value);
// The texts pass through the translator.
void FillComboFromStrings(const TextChoice* table, HWND combo);
inline void FillListFromStrings(const TextChoice* table, HWND combo) { FillComboFromStrings(table, combo); }
int SelectComboByData(const TextChoice* table, int value);
