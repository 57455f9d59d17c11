// Stands in for the person at the popup menu seam: answers every menu with a set
// command and keeps what it was shown, read back entry by entry; whileShown, when set,
// runs while the menu is up (to note what the caller holds at that moment).
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "base/tests/MenuReader.h"
#include "controls/PopupMenuTracker.h"

struct CMenuAnswer {
  explicit CMenuAnswer(int command = 0) : answer(command) { CPopupMenuTracker::SetHook(&Answer, this); }
  ~CMenuAnswer() { CPopupMenuTracker::SetHook(nullptr, nullptr); }
  CMenuAnswer(const CMenuAnswer&) = delete;
  CMenuAnswer& operator=(const CMenuAnswer&) = delete;

  static int Answer(HMENU menu, UINT flags, int x, int y, HWND owner, void* context) {
    auto* self = static_cast<CMenuAnswer*>(context);
    ++self->shown;
    self->flags = flags;
    self->at = {x, y};
    self->owner = owner;
    self->items = ReadMenu(menu);
    if (self->whileShown) self->whileShown();
    return self->answer;
  }

  int answer;
  int shown = 0;
  UINT flags = 0;
  POINT at = {0, 0};
  HWND owner = nullptr;
  std::vector<MenuEntry> items;
  std::function<void()> whileShown;
};
