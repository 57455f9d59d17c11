// CGroupElement: a titled, foldable group of list items. Its header shows the
// fold sign, the title, the count " (%d)" and optional header icons at the right,
// with a rule in one of three header styles; folding changes only the group's
// height and drawing, never its children.
#pragma once
#include "controls/ContainerElement.h"
#include "platform/windowlib/String.h"

class CGroupElement : public CContainerElement {
 public:
  CGroupElement(IListItemOwner* owner, LPCWSTR title);

  BOOL GetItemRect(CListItem* item, const POINT* origin, RECT* out) override;
  // The header; when expanded and not empty, the gap and the children below it.
  int GetHeight(int limit) override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  // A press on the fold sign folds or unfolds; other presses reach the children.
  BOOL OnPress(POINT* point) override;
  BOOL OnRelease(POINT* point) override;
  // Children first; when none takes it (or folded), folds or unfolds.
  BOOL OnDoubleTap(POINT* point) override;
  // The title's hash, so that FindItem(ITEM_KIND_GROUP, hash) finds a group.
  DWORD_PTR GetUserData() override;
  int GetKind() override { return ITEM_KIND_GROUP; }
  CListItem* GetItemAt(POINT* point) override;
  CListItem* FindItemBelow(int limit, int y, BOOL flag) override;
  CListItem* FindItemAbove(int limit, int y, BOOL flag) override;
  // Selects the header.
  BOOL SelectFirst() override;
  // The last child when expanded and not empty, else the header.
  BOOL SelectLast() override;
  BOOL CanSelectChildren() override { return !m_bFolded; }
  BOOL CanSelectSelf() override { return TRUE; }

  virtual void GetTitle(CString& out);
  // The widths of the icons at the right end of the header; their count (0: none).
  virtual int GetHeaderIcons(CSimpleValArray<int>& widths);
  // Draws header icon index in its column (the rule's offset in the header and
  // the middle of the title line given); nothing here.
  virtual void DrawHeaderIcon(int index, HDC dc, CTextRunList* context, const RECT& column, int ruleOffset,
                              int middleY, const POINT* origin);
  // " (%d)" of the display count; empty for 0 when empty counts are hidden.
  virtual void GetCountText(CString& out);

  // The options program's names.
  int GetColumns(CSimpleValArray<int>& widths) { return GetHeaderIcons(widths); }
  void DrawColumn(int index, HDC dc, CTextRunList* context, const RECT& column, int ruleOffset, int middleY,
                  const POINT* origin) {
    DrawHeaderIcon(index, dc, context, column, ruleOffset, middleY, origin);
  }

  // Lays the header out when it is not yet.
  int GetHeaderHeight();
  // With notify and an owner: the owner's OnItemChanged, then OnItemFolded.
  void SetState(BOOL folded, BOOL notify);
  BOOL IsExpanded() const { return !m_bFolded; }
  BOOL IsFolded() const { return m_bFolded; }
  // The explicit count when set (not negative), else the number of children.
  int GetDisplayCount() const;
  void SetDisplayCount(int count) { m_nExplicitCount = count; }
  const RECT& GetFoldIconRect() { GetHeaderHeight(); return m_rcIcon; }
  // Where the children start below the group's top.
  int GetChildrenTop();

 protected:
  void RelayoutHeader() override { m_nTitleHeight = 0; }
  void LayoutHeader();
  void DrawHeader(CTextRunList* context, const POINT* origin);
  BOOL HasFoldIcon() const { return m_rcIcon.right >= m_rcIcon.left; }

  int m_nTitleHeight;  // 0: the header is not laid out
  int m_nTopMargin;
  int m_nRuleOffset;
  int m_nGap;
  int m_nRulePos;  // -1: no rule
  BOOL m_bFolded;
  BOOL m_bShowCount;
  int m_nStyle;
  RECT m_rcIcon;
  CString m_title;
  int m_nExplicitCount;

 private:
  DWORD m_titleHash;
  BOOL m_bHashed;
};
