#include "controls/LetterMatch.h"

#include <vector>

#include "controls/KeyLayouts.h"
#include "platform/windowlib/String.h"

namespace {

const WCHAR kFirstLetter = 0x0041;

bool IsSeparator(WCHAR c) { return c != 0 && c < kFirstLetter; }

CString Lowered(LPCWSTR text) {
  CString lower(text);
  lower.MakeLower();
  return lower;
}

// Each typed unit as the letters it takes; the first word start of text from
// which every unit in turn takes the next letter (separators skipped).
int Walk(LPCWSTR text, const std::vector<CString>& units, int* length) {
  const CString lower = Lowered(text);
  const int n = lower.GetLength();
  const int count = static_cast<int>(units.size());
  for (int start = 0; start + count <= n; ++start) {
    if (lower[start] < kFirstLetter || (start > 0 && lower[start - 1] >= kFirstLetter)) continue;
    int at = start;
    bool all = true;
    for (int i = 0; i < count && all; ++i) {
      while (at < n && IsSeparator(lower[at])) ++at;
      if (at < n && units[size_t(i)].Find(lower[at]) >= 0)
        ++at;
      else
        all = false;
    }
    if (all) {
      if (length) *length = at - start;
      return start;
    }
  }
  return -1;
}

}  // namespace

int FindGroupMatch(LPCWSTR text, const CKeyLayout& layout, const int* typed, int typedCount, int* length) {
  if (length) *length = 0;
  if (typedCount <= 0 || !typed) return 0;
  std::vector<CString> units;
  for (int i = 0; i < typedCount; ++i) {
    if (typed[i] < 0 || typed[i] >= layout.GetGroupCount()) return -1;
    units.push_back(Lowered(layout.GetLetters(typed[i])));
  }
  return Walk(text, units, length);
}

int MatchTypedLetters(LPCWSTR text, LPCWSTR typed, const CKeyLayout* hwKeys, int* length) {
  if (length) *length = 0;
  const CString letters = Lowered(typed);
  std::vector<CString> units;
  for (int i = 0; i < letters.GetLength(); ++i) {
    const WCHAR letter = letters[i];
    if (IsSeparator(letter)) continue;
    CString takes(letter);
    for (int g = 0; hwKeys && g < hwKeys->GetGroupCount(); ++g) {
      const CString label = Lowered(hwKeys->GetLabel(g));
      if (!label.IsEmpty() && label[0] == letter) takes += Lowered(hwKeys->GetLetters(g));
    }
    units.push_back(takes);
  }
  if (units.empty()) return 0;
  return Walk(text, units, length);
}
