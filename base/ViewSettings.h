// The display options every tab consults while it lays out and draws its rows:
// the item patterns of tasks, appointments and contacts and some sixty switches
// and small enumerations. One record per process (GetViewSettings), kept in the
// product key and shared with the options program, which edits the same values.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CRegKey;

// An item pattern: field letters with one decimal digit, stored as one text
// ("p3nqrsc"). The letters before the digit are the first line's fields, the
// digit a count whose meaning the tab decides, the letters after it the rest.
struct CItemPattern {
  CString first;
  int count = 0;
  CString rest;
};

// Every number is named after its registry value under the product key.
class CViewSettings {
 public:
  CViewSettings();
  virtual ~CViewSettings() = default;

  CViewSettings(const CViewSettings&) = delete;
  CViewSettings& operator=(const CViewSettings&) = delete;

  // Reads every value from the product key, writing missing ones back with their
  // defaults; a value outside its range is reset to the default and written back.
  // A non-empty taskPattern replaces "CurTaskPattern", which is then neither read
  // nor written. Writes "STCCurrentTabs" from "HorizontalTabsMode" every time.
  void Load(LPCWSTR taskPattern = nullptr);
  // Writes the patterns and every value but the read-only "dbg..." switches and
  // "NewAutoAdjustVersion". FALSE when a write failed.
  BOOL Save();

  // Splits text at its digit into pattern (see CItemPattern). Both texts are
  // emptied first; without a digit the count is left alone and the whole text
  // is the rest; every further digit starts the split again.
  static void ParsePattern(LPCWSTR text, CItemPattern& pattern);
  static CString FormatPattern(const CItemPattern& pattern);

  CString GetTaskPattern() const { return FormatPattern(TaskPattern); }
  CString GetAppPattern() const { return FormatPattern(AppPattern); }
  CString GetContactPattern() const { return FormatPattern(ContactPattern); }

  // "STCCurrentTabs" of the Today container for a "HorizontalTabsMode".
  static DWORD CurrentTabsFor(int horizontalTabsMode) { return horizontalTabsMode ? 1 : 4; }

  CItemPattern TaskPattern;     // "CurTaskPattern"
  int Task_ShowCheckbox;
  int Task_MakeDateIndent;
  int Task_ShowUndatedLast;
  int App_TaskShowMultiday;
  int AppGroup_Sovel;
  int AppGroup_Today;
  int AppGroup_Offset;
  int AppGroup_Span;
  CItemPattern AppPattern;      // "CurAppPattern"
  int App_SubjectStyle;
  int App_MakeDateIndent;
  int App_Location;
  int App_StatusBar;
  int FoldingStripeDrawCounter;
  int FoldingStripeShowCollapseIcon;
  int FoldingStripeDontShowNull;
  int App_StartOnly;
  int App_MarkConflicting;
  int ContLeftIdent;
  int NoteMakeIndent;
  int ContDisplay;
  int ContSearchCompany;
  int ContactsOneTap;
  int ContactShowTextForPhotos;
  int ContactGroupCompanyNoCase;
  int ContactOpenFromPopup;
  CItemPattern ContactPattern;  // "CurContactPattern"
  int BirthdayDisplay;
  int NoteDrawSize;
  int NoteDrawTime;
  int EmailShowEmptyAccounts;
  int EmailsOnlyUnreaded;
  int EmailCounterStyle;
  int EmailShowSize;
  int EmailConfirmDeletion;
  int FoldingStripeStyle;
  int OneClick;
  int DoubleClick;
  int PhatNotesEnabled;
  int NotesTypeEnabled[7];      // "NotesType%dEnabled"
  int ShowTasksInAllCategories;
  int ShowContactsInAllCategories;
  int SpecialPeriod;
  int App_CollapseButToday;
  int ContPreview_ShowAddressMode;
  int PhoneKeyb_DisableLangSwitch;
  int PhoneKeyb_DisableBackspace;
  int EnableDoubleTapOnScrollButton;
  int HorizontalTabsMode;
  // Read only: never saved.
  int dbgTextOffset;
  int NewAutoAdjustVersion;
  int dbgNewHeaderSelection;
  int dbgNewStyleForAllAndMultiday;
  int dbgHorizontalNavigationMode;
  int dbgHorzTabsOccupyWholeWidth;

 private:
  struct Field;
  template <typename Visit>
  void ForEachField(Visit visit);
};

// The process-wide record, made and loaded on first use, destroyed at exit.
CViewSettings& GetViewSettings();

// Whether the device has the phone library ("phone.dll"); asked once per process.
BOOL HasPhoneLibrary();
