// CListGroupHeader: the common base of the list tabs' group header rows (kinds 551
// to 560). Each keeps the value it was made with; the list-tab commands read the
// value, the day or the second text of the row the menu was opened on without
// knowing which tab made it, and the folding state stores the row under its key.
#pragma once
#include "controls/GroupElement.h"
#include "platform/windowlib/String.h"

class CListGroupHeader : public CGroupElement {
 public:
  CListGroupHeader(IListItemOwner* owner, LPCWSTR title, int kind, int value)
      : CGroupElement(owner, title), m_nKind(kind), m_nValue(value) {}

  int GetKind() override { return m_nKind; }
  // The category number, group code or flag the header was made with.
  int GetValue() const { return m_nValue; }
  // Where the folding state keeps this group: the title unless a header says else.
  virtual void GetKey(CString& out) { GetTitle(out); }
  // A day header's day (variant date); 0 for every other header.
  virtual double GetDay() { return 0.0; }
  // A header's second text (the Messages tab's account name); empty for others.
  virtual void GetSecondText(CString& out) { out.Empty(); }

 protected:
  int m_nKind;
  int m_nValue;
};

// The header behind a row of a group kind, or null.
inline CListGroupHeader* AsListGroupHeader(CListItem* row) {
  if (!row) return nullptr;
  int kind = row->GetKind();
  if (kind < ITEM_KIND_FIRST_HEADER_ROW || kind > ITEM_KIND_LAST_HEADER_ROW) return nullptr;
  return static_cast<CListGroupHeader*>(row);
}
