// CIconGrid: the icons of an icon database's groups as foldable sections: a header
// with the group's name, its icon count and a fold sign, then the icons in rows of
// equal cells. "Other Icons" comes first, the other groups by name. The grid
// scrolls vertically; a tap on a header folds or opens its section, a tap or drag
// over the icons selects one.
#pragma once
#include <windows.h>

#include <vector>

#include "graphics/Dib.h"
#include "graphics/IconDatabase.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

class CIconGrid : public CWindowImpl<CIconGrid> {
 public:
  DECLARE_WND_CLASS_EX(L"QelTarvoIconGrid", 0, COLOR_WINDOW)

  // The shell's tap-and-hold query, answered 1 so a hold selects like a tap.
  static const int kTapAndHoldNotify = -50;

  struct Section {
    BOOL collapsed = FALSE;
    int group = 0;
    int selected = -1;
    int columns = 0;
    int rowsHeight = 0;
    int width = 0;
    int cellWidth = 0;
    int cellHeight = 0;
  };

  CIconGrid();
  ~CIconGrid() override;

  // The options program draws the sections one logical pixel in from the left
  // and makes the section under a released finger current; set at start.
  static void SetOptionsProgramRules(BOOL options);
  static BOOL IsOptionsProgramRules();

  void SetDatabase(CIconDatabase* database) { m_database = database; }
  // Stretched over the grid under the sections; the caller keeps it alive.
  void SetBackground(CDib* background) { m_background = background; }
  // A child of parent (style 0: WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN).
  HWND Create(HWND parent, const RECT& rect, DWORD style = 0, UINT id = 0);

  // One section for each group holding icons, sorted; laid out and repainted.
  void Rebuild();
  // Every section open (TRUE) or folded, every selection cleared.
  void SetAllExpanded(BOOL expanded);
  // The selected icon's file of the current section; empty without one.
  CString GetSelectedPath() const;
  CString GetSelectedFileName() const { return GetSelectedPath(); }

  int GetSectionCount() const { return static_cast<int>(m_sections.size()); }
  const Section& GetSection(int i) const { return m_sections[size_t(i)]; }
  // In content coordinates (y from the top of the first section).
  const RECT& GetSectionRect(int i) const { return m_rects[size_t(i)]; }
  int GetCurrentSection() const { return m_current; }
  int GetTotalHeight() const { return m_totalHeight; }
  int GetScrollPosition() const { return m_scrollPosition; }
  BOOL HasScrollBar() const { return m_scrollBar; }

  // The icon of a section under a point relative to the section's top and the
  // grid's left; -1 for the header, the margins and past the last icon.
  static int HitIcon(const Section& section, int iconCount, int x, int y);
  // Columns, cells and icon rows of a section for a grid width.
  static void LayoutSection(Section& section, const CIconCategory& group, int width);
  // Its height: the header alone when folded.
  static int SectionHeight(const Section& section);

  BEGIN_MSG_MAP(CIconGrid)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonUp)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()

 private:
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnVScroll(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTARROWS | DLGC_WANTTAB; }
  LRESULT OnButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);

  const CIconCategory* GroupOf(const Section& section) const;
  void Sort();
  void Layout();
  void SetScrollPosition(int position);
  int SectionAt(int x, int y) const;
  void MakeCurrent(int section);
  void Tap(int x, int y, BOOL fold);
  void InvalidateSection(int section);
  void DrawSection(HDC dc, CDib& surface, int index, int x, int y, const RECT& clip);

  CIconDatabase* m_database;
  CDib* m_background;
  CDib m_surface;
  std::vector<Section> m_sections;
  std::vector<RECT> m_rects;
  BOOL m_scrollBar;
  int m_totalHeight;
  int m_scrollPosition;
  BOOL m_captured;
  int m_current;
  int m_currentTop;
};
