// CFoldingState: which groups of a tab the user folded, per tab and filter choice: a
// string value "FoldingState<tab>v<choice>" under the product key, the folded group
// keys in ascending wcscmp order joined by ",". Loaded for each fold or unfold and saved
// at once; the destructor saves too.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"

class CFoldingState {
 public:
  CFoldingState() = default;
  ~CFoldingState();
  CFoldingState(const CFoldingState&) = delete;
  CFoldingState& operator=(const CFoldingState&) = delete;

  // filterChoice is the filter selector's selected command (0 without one); it is taken
  // modulo 65536 with its sign.
  void Load(int tabId, int filterChoice);
  BOOL Query(LPCWSTR key) const;
  BOOL QueryNumber(int number) const;
  void Set(LPCWSTR key, BOOL folded);
  void SetNumber(int number, BOOL folded);
  // Writes only when the joined keys differ from the text last read or written.
  void Save();

  const CString& GetValueName() const { return m_valueName; }

 private:
  static CString NumberKey(int number);
  // The first key not below key (wcscmp).
  size_t LowerBound(LPCWSTR key) const;

  CString m_valueName;
  CString m_text;
  std::vector<CString> m_keys;
};
