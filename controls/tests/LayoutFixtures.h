// Leaf rows of a chosen height and an owner that records what reaches the top of
// an element tree, for the layout element tests.
#pragma once
#include <windows.h>

#include <vector>

#include "base/ScreenDpi.h"
#include "controls/ListItem.h"

namespace ctltest {

// A row whose height is given, or a quarter of its content width when 0.
class CLeaf : public CListItem {
 public:
  CLeaf(IListItemOwner* owner, int height = 20, DWORD_PTR data = 0) : CListItem(owner), height(height) {
    SetUserData(data);
  }
  int GetHeight(int) override { return height > 0 ? height : (m_nContentWidth > 0 ? m_nContentWidth / 4 : 0); }
  void Draw(CTextRunList*, const POINT* origin) override { drawnAt.push_back(*origin); }
  BOOL OnPress(POINT* point) override {
    presses.push_back(*point);
    SetSelected(TRUE, FALSE);
    return TRUE;
  }
  BOOL OnRelease(POINT*) override { return TRUE; }
  BOOL OnDoubleTap(POINT*) override {
    ++doubleTaps;
    return TRUE;
  }
  int GetKind() override { return ITEM_KIND_TASK; }
  // Changes its height and tells its owner, as a row does after a new layout.
  void Grow(int newHeight) {
    height = newHeight;
    if (m_pOwner) m_pOwner->OnItemChanged(this);
  }

  int height;
  int doubleTaps = 0;
  std::vector<POINT> presses;
  std::vector<POINT> drawnAt;
};

struct CTopOwner : IListItemOwner {
  void OnItemChanged(CListItem* item) override { changed.push_back(item); }
  void OnItemClicked(CListItem* item) override { clicked.push_back(item); }
  void OnItemSelected(CListItem* item) override { selected.push_back(item); }
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem* item) override { removed.push_back(item); }
  void OnItemNotify(CListItem*, LPARAM) override {}
  BOOL IsFirstItem(CListItem*) override { return first; }
  void OnItemFolded(CListItem* item, BOOL folded) override { folds.push_back({item, folded}); }

  BOOL first = TRUE;
  std::vector<CListItem*> changed, clicked, selected, removed;
  std::vector<std::pair<CListItem*, BOOL>> folds;
};

// Sets the screen dpi for a test and puts the screen's back afterwards.
class CDpiScope {
 public:
  explicit CDpiScope(int dpi) { SetScreenDpi(dpi, dpi); }
  ~CDpiScope() { SetScreenDpi(0, 0); }
};

}  // namespace ctltest
