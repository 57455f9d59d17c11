// Stands in for the person at a message box seam: the panel's prompt hook, or any seam
// of the same shape (the appointments list's handler). Answers with a set button and
// keeps every question asked. A seam takes a bare function, so the answerer made last
// (and still alive) is the one asked. Any folder's tests may use it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "panel/PanelPrompt.h"

class CMessageBoxAnswer {
 public:
  struct Asked {
    std::wstring text;
    std::wstring caption;
    UINT type;
  };

  // With panelHook, it is the panel's prompt hook while it lives (the previous one
  // put back after); without, the test hands Answer to its own seam.
  explicit CMessageBoxAnswer(int button = IDOK, bool panelHook = true) : answer(button), m_outer(s_current) {
    s_current = this;
    if (panelHook) {
      m_previous = SetPanelMessageHook(&Answer);
      m_hooked = true;
    }
  }
  ~CMessageBoxAnswer() {
    if (m_hooked) SetPanelMessageHook(m_previous);
    if (s_current == this) s_current = m_outer;
  }
  CMessageBoxAnswer(const CMessageBoxAnswer&) = delete;
  CMessageBoxAnswer& operator=(const CMessageBoxAnswer&) = delete;

  static int Answer(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    CMessageBoxAnswer* self = s_current;
    if (!self) return IDCANCEL;
    self->asked.push_back({text ? text : L"", caption ? caption : L"", type});
    return self->answer;
  }

  // The last question; an empty one when none was asked.
  Asked Last() const { return asked.empty() ? Asked{L"", L"", 0} : asked.back(); }

  int answer;
  std::vector<Asked> asked;

 private:
  static inline CMessageBoxAnswer* s_current = nullptr;
  CMessageBoxAnswer* m_outer;
  PFN_PANEL_MESSAGE_HOOK m_previous = nullptr;
  bool m_hooked = false;
};
