// How the Contacts and Notes tabs find an item from what was typed: letter groups
// tapped on the letter bar (or the digit keys of a phone keypad), or letters typed
// on a hardware keyboard. Both walk the text from word starts: a word starts at a
// character from U+0041 up that is the first or follows one below it; characters
// U+0001 to U+0040 (digits, blanks, punctuation) separate words and are skipped
// inside a match. Letter case is ignored.
#pragma once
#include <windows.h>

class CKeyLayout;

// Where the typed groups (indices into the layout's groups, in typing order)
// match text: the position of the first word start from which every group in
// turn takes the next letter, and the length up to after the last one. -1 when
// nothing matches (or a group index is out of range); 0 when nothing is typed.
int FindGroupMatch(LPCWSTR text, const CKeyLayout& layout, const int* typed, int typedCount, int* length);

// The same walk for letters typed on a hardware keyboard: a typed letter takes
// the same letter, or any letter of the hardware-key layout group whose label
// begins with it ("e" takes "é"). Separators among the typed letters are
// skipped like those of the text. -1 when nothing matches; 0 for nothing typed.
int MatchTypedLetters(LPCWSTR text, LPCWSTR typed, const CKeyLayout* hwKeys, int* length);
