// CLetterBar: the phone-keypad letter bar of the Contacts and Notes tabs. A row
// of cells, one per letter group of the active key layout, then a backspace cell
// "«" and a layout-switch cell "¤". Tapping cells types a sequence of groups; the
// tab shows only the items with a word whose first letters belong, in order, to
// the typed groups (FindMatch). Each tab keeps its own chosen layouts and active
// one (CKeyLayouts::LoadSelection under its prefix).
#pragma once
#include <windows.h>

#include <vector>

#include "controls/KeyLayouts.h"
#include "controls/VirtualWnd.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/String.h"

// What the bar tells its tab.
class ILetterBarListener {
 public:
  // code >= 0: a group was typed (the cell index from a tap or key, the command
  // value from OnLetterCommand); -1: the last typed group was removed; -2: the
  // typed groups were cleared or the layout changed.
  virtual void OnLetterBarChanged(int code) = 0;

 protected:
  ~ILetterBarListener() = default;
};

// Opens the key-layout settings (the context menu's settings entry).
class IKeyLayoutSettingsOpener {
 public:
  virtual void OpenKeyLayoutSettings() = 0;

 protected:
  ~IKeyLayoutSettingsOpener() = default;
};

// The shell's tap-and-hold recognition: 1000 (GN_CONTEXTMENU) for a hold.
using GestureRecognizer = DWORD (*)(SHRGINFO* info);
using TickSource = DWORD (*)();

class CLetterBar : public CVirtualWnd {
 public:
  // Context-menu commands; a layout i of the bar's list is kLayoutCommand + i.
  static constexpr int kClearCommand = 1;
  static constexpr int kSettingsCommand = 2;
  static constexpr int kLayoutCommand = 16;
  // A stylus held longer than this is a long press.
  static constexpr DWORD kLongPress = 500;
  // A pen that goes up this many logical pixels left of where it went down is a
  // backspace.
  static constexpr int kSwipe = 10;

  // Either may be null. layouts null: the process's set.
  CLetterBar(ILetterBarListener* listener, IKeyLayoutSettingsOpener* opener, CKeyLayouts* layouts = nullptr);
  ~CLetterBar() override;

  POINT* GetAnchorPoint(POINT* out) override;
  void SetFocus() override;
  void KillFocus() override;
  // The point is in screen coordinates; nothing, and not taken, outside the bar.
  BOOL OnContextMenu(POINT* screenPoint) override;
  void SetRect(const RECT* rect) override;
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnMouseMove(POINT* point) override;
  // Left and Right move the focus cell, wrapping; Enter activates it once per
  // press (at the key-down, or at the key-up when the key-down was a hold).
  BOOL OnKey(DWORD key) override;
  void Paint(CTextRunList* context) override;

  // Re-reads "PhoneKeyb_DisableBackspace" and "PhoneKeyb_DisableLangSwitch" from
  // the view settings, forgets the typed groups and lays the bar out again.
  void Reset();
  // Loads the tab's selection under prefix ("Contacts", "Notes"); TRUE when a
  // layout is active (the tab shows the bar only then). An empty list gets
  // "Latin"; an active index outside the list selects the first layout and
  // saves that.
  BOOL SetLayout(LPCWSTR prefix);
  // FALSE for an index outside the list. Forgets the typed groups and lays out.
  BOOL SelectLayout(int index, BOOL save);
  // By listed name; the list is not saved.
  BOOL AddLayout(LPCWSTR name);
  BOOL RemoveLayout(LPCWSTR name);
  int IndexOfLayout(LPCWSTR name) const;
  int GetLayoutCount() const { return m_layouts.GetSize(); }
  CKeyLayout* GetLayoutAt(int index) const { return m_layouts[index]; }
  int GetActiveIndex() const { return m_active; }
  // Null when none is active.
  CKeyLayout* GetActiveLayout() const;

  int GetTypedCount() const { return static_cast<int>(m_typed.size()); }
  int GetTyped(int index) const { return m_typed[size_t(index)]; }
  // Each TRUE when there was anything to remove.
  BOOL ClearTyped();
  BOOL RemoveLastTyped();
  // The keys of a phone keypad: 8 removes the last typed group; 50 + i (the
  // digit keys 2 to 9) types group i. FALSE for anything else.
  BOOL OnLetterCommand(int command);

  // Where the typed groups match text: -1 when no layout is active or nothing
  // matches; 0 when nothing is typed. The length of the match and the layout's
  // direction flag come back through the pointers.
  int FindMatch(LPCWSTR text, int* length, BOOL* direction) const;
  // Where letters typed on a hardware keyboard match text (accented letters
  // folded through the hardware-key layout); -1 for none, 0 for nothing typed.
  static int MatchItem(LPCWSTR text, LPCWSTR typed, int* length);

  // The cells: groups, then backspace, then layout switch; a width of 0 hides a
  // cell. Empty while no layout is laid out.
  int GetCellCount() const { return static_cast<int>(m_widths.size()); }
  int GetCellWidth(int cell) const { return m_widths[size_t(cell)]; }
  int GetTextIndent() const { return m_indent; }
  RECT GetCellRect(int cell) const;
  // The cell under a point of the host: -1 outside the bar, -2 right of all cells.
  int CellFromPoint(POINT point) const;
  int GetBackspaceCell() const { return GetCellCount() - 2; }
  int GetSwitchCell() const { return GetCellCount() - 1; }
  int GetFocusCell() const { return m_focus; }
  int GetInitialFocusCell() const { return m_initialFocus; }
  int GetPressedCell() const { return m_pressed; }
  BOOL IsPressedShown() const { return m_pressedShown; }

  // Seams: the tick count and the tap-and-hold recognition (aygshell ordinal 40
  // by default). Null puts the real one back.
  static void SetTickSource(TickSource source);
  static void SetGestureRecognizer(GestureRecognizer recognizer);

 protected:
  // A label's width in the bar's font, in pixels.
  virtual int MeasureLabel(LPCWSTR label);
  // The screen's width in pixels.
  virtual int GetScreenWidth();

 private:
  void LayOut();
  void ClearLayout();
  void Notify(int code);
  void Activate(int cell, BOOL longPress);
  DWORD RecognizeGesture(int cell, POINT at);
  void InvalidateCell(int cell);
  int NextVisible(int from, int step) const;
  int LastVisible() const;
  BOOL IsGroupCell(int cell) const { return cell >= 0 && cell < GetCellCount() - 2; }

  ILetterBarListener* m_pListener;
  IKeyLayoutSettingsOpener* m_pOpener;
  CKeyLayouts* m_pLayouts;
  std::vector<int> m_widths;
  int m_indent;
  int m_pressed;
  BOOL m_pressedShown;
  int m_focus;
  int m_initialFocus;
  DWORD m_downTick;
  POINT m_downPoint;
  // An Enter key-down that saw a hold leaves the activation to its key-up.
  BOOL m_enterPending;
  CKeyLayoutList m_layouts;
  int m_active;
  std::vector<int> m_typed;
  CString m_prefix;
  BOOL m_disableBackspace;
  BOOL m_disableLangSwitch;
};
