#include "base/ViewSettings.h"

#include "base/RegKey.h"

namespace {

// A range with min > max takes any value. Only values whose readers give no
// meaning to anything outside the range are checked; switches are tested for
// non-zero and several enumerations define "any other value" themselves.
const int kAny = 1, kNone = 0;

}  // namespace

struct CViewSettings::Field {
  LPCWSTR name;
  int* number;            // null for a pattern
  CItemPattern* pattern;  // null for a number
  int defaultNumber;
  LPCWSTR defaultText;
  bool saved;
  int min;
  int max;

  bool InRange(int value) const { return min > max || (value >= min && value <= max); }
};

CViewSettings::CViewSettings() {
  ForEachField([](const Field& f) {
    if (f.number) *f.number = 0;
  });
}

template <typename Visit>
void CViewSettings::ForEachField(Visit visit) {
  const int phone = HasPhoneLibrary() ? 1 : 0;
  // In the order the values are read.
  const Field fields[] = {
      {L"CurTaskPattern", nullptr, &TaskPattern, 0, L"p3nqrsc", true, kAny, kNone},
      {L"Task_ShowCheckbox", &Task_ShowCheckbox, nullptr, 1, nullptr, true, kAny, kNone},
      {L"Task_MakeDateIndent", &Task_MakeDateIndent, nullptr, 1, nullptr, true, kAny, kNone},
      {L"Task_ShowUndatedLast", &Task_ShowUndatedLast, nullptr, 1, nullptr, true, kAny, kNone},
      // 0 start day, 1 due day, 2 both, 3 every day of the span.
      {L"App_TaskShowMultiday", &App_TaskShowMultiday, nullptr, 3, nullptr, true, 0, 3},
      {L"AppGroup_Sovel", &AppGroup_Sovel, nullptr, 1, nullptr, true, kAny, kNone},
      {L"AppGroup_Today", &AppGroup_Today, nullptr, 1, nullptr, true, kAny, kNone},
      {L"AppGroup_Offset", &AppGroup_Offset, nullptr, 1, nullptr, true, kAny, kNone},
      {L"AppGroup_Span", &AppGroup_Span, nullptr, 1, nullptr, true, kAny, kNone},
      {L"CurAppPattern", nullptr, &AppPattern, 0, L"n3rqsca", true, kAny, kNone},
      // 1 one line, 2 wrapped, 3 wrapped while selected.
      {L"App_SubjectStyle", &App_SubjectStyle, nullptr, 3, nullptr, true, 1, 3},
      {L"App_MakeDateIndent", &App_MakeDateIndent, nullptr, 1, nullptr, true, kAny, kNone},
      {L"App_Location", &App_Location, nullptr, 1, nullptr, true, kAny, kNone},
      {L"App_StatusBar", &App_StatusBar, nullptr, 1, nullptr, true, kAny, kNone},
      {L"FoldingStripeDrawCounter", &FoldingStripeDrawCounter, nullptr, 1, nullptr, true, kAny, kNone},
      {L"FoldingStripeShowCollapseIcon", &FoldingStripeShowCollapseIcon, nullptr, 1, nullptr, true, kAny, kNone},
      {L"FoldingStripeDontShowNull", &FoldingStripeDontShowNull, nullptr, 1, nullptr, true, kAny, kNone},
      {L"App_StartOnly", &App_StartOnly, nullptr, 0, nullptr, true, kAny, kNone},
      {L"App_MarkConflicting", &App_MarkConflicting, nullptr, 1, nullptr, true, kAny, kNone},
      {L"ContLeftIdent", &ContLeftIdent, nullptr, 1, nullptr, true, kAny, kNone},
      {L"NoteMakeIndent", &NoteMakeIndent, nullptr, 1, nullptr, true, kAny, kNone},
      {L"ContDisplay", &ContDisplay, nullptr, 1, nullptr, true, kAny, kNone},
      {L"ContSearchCompany", &ContSearchCompany, nullptr, 0, nullptr, true, kAny, kNone},
      // 0 the list's default, 1 open, 2 edit, 3 contact popup.
      {L"ContactsOneTap", &ContactsOneTap, nullptr, 3, nullptr, true, 0, 3},
      {L"ContactShowTextForPhotos", &ContactShowTextForPhotos, nullptr, 0, nullptr, true, kAny, kNone},
      {L"ContactGroupCompanyNoCase", &ContactGroupCompanyNoCase, nullptr, 1, nullptr, true, kAny, kNone},
      {L"ContactOpenFromPopup", &ContactOpenFromPopup, nullptr, 0, nullptr, true, kAny, kNone},
      {L"CurContactPattern", nullptr, &ContactPattern, 0, L"c1n", true, kAny, kNone},
      {L"BirthdayDisplay", &BirthdayDisplay, nullptr, 0, nullptr, true, kAny, kNone},
      {L"NoteDrawSize", &NoteDrawSize, nullptr, 0, nullptr, true, kAny, kNone},
      {L"NoteDrawTime", &NoteDrawTime, nullptr, 1, nullptr, true, kAny, kNone},
      {L"EmailShowEmptyAccounts", &EmailShowEmptyAccounts, nullptr, 0, nullptr, true, kAny, kNone},
      {L"EmailsOnlyUnreaded", &EmailsOnlyUnreaded, nullptr, 0, nullptr, true, kAny, kNone},
      {L"EmailCounterStyle", &EmailCounterStyle, nullptr, 0, nullptr, true, kAny, kNone},
      {L"EmailShowSize", &EmailShowSize, nullptr, 0, nullptr, true, kAny, kNone},
      {L"EmailConfirmDeletion", &EmailConfirmDeletion, nullptr, 1, nullptr, true, kAny, kNone},
      {L"FoldingStripeStyle", &FoldingStripeStyle, nullptr, 2, nullptr, true, kAny, kNone},
      {L"OneClick", &OneClick, nullptr, 0, nullptr, true, kAny, kNone},
      {L"DoubleClick", &DoubleClick, nullptr, 2, nullptr, true, kAny, kNone},
      {L"PhatNotesEnabled", &PhatNotesEnabled, nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType0Enabled", &NotesTypeEnabled[0], nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType1Enabled", &NotesTypeEnabled[1], nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType2Enabled", &NotesTypeEnabled[2], nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType3Enabled", &NotesTypeEnabled[3], nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType4Enabled", &NotesTypeEnabled[4], nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType5Enabled", &NotesTypeEnabled[5], nullptr, 1, nullptr, true, kAny, kNone},
      {L"NotesType6Enabled", &NotesTypeEnabled[6], nullptr, 1, nullptr, true, kAny, kNone},
      {L"ShowTasksInAllCategories", &ShowTasksInAllCategories, nullptr, 0, nullptr, true, kAny, kNone},
      {L"ShowContactsInAllCategories", &ShowContactsInAllCategories, nullptr, 0, nullptr, true, kAny, kNone},
      // Days from today; the period choices offer 0 to 6 only.
      {L"SpecialPeriod", &SpecialPeriod, nullptr, 0, nullptr, true, 0, 6},
      {L"App_CollapseButToday", &App_CollapseButToday, nullptr, 1, nullptr, true, kAny, kNone},
      {L"ContPreview_ShowAddressMode", &ContPreview_ShowAddressMode, nullptr, phone, nullptr, true, kAny, kNone},
      {L"PhoneKeyb_DisableLangSwitch", &PhoneKeyb_DisableLangSwitch, nullptr, 1, nullptr, true, kAny, kNone},
      {L"PhoneKeyb_DisableBackspace", &PhoneKeyb_DisableBackspace, nullptr, 0, nullptr, true, kAny, kNone},
      {L"EnableDoubleTapOnScrollButton", &EnableDoubleTapOnScrollButton, nullptr, 0, nullptr, true, kAny, kNone},
      {L"HorizontalTabsMode", &HorizontalTabsMode, nullptr, 0, nullptr, true, kAny, kNone},
      {L"dbgTextOffset", &dbgTextOffset, nullptr, 4, nullptr, false, kAny, kNone},
      {L"NewAutoAdjustVersion", &NewAutoAdjustVersion, nullptr, 0, nullptr, false, kAny, kNone},
      {L"dbgNewHeaderSelection", &dbgNewHeaderSelection, nullptr, 1, nullptr, false, kAny, kNone},
      {L"dbgNewStyleForAllAndMultiday", &dbgNewStyleForAllAndMultiday, nullptr, 1, nullptr, false, kAny, kNone},
      {L"dbgHorizontalNavigationMode", &dbgHorizontalNavigationMode, nullptr, 1, nullptr, false, kAny, kNone},
      {L"dbgHorzTabsOccupyWholeWidth", &dbgHorzTabsOccupyWholeWidth, nullptr, 1, nullptr, false, kAny, kNone},
  };
  for (const Field& f : fields) visit(f);
}

void CViewSettings::Load(LPCWSTR taskPattern) {
  const bool overridden = taskPattern && *taskPattern;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  ForEachField([&](const Field& f) {
    if (f.pattern) {
      if (f.pattern == &TaskPattern && overridden)
        ParsePattern(taskPattern, TaskPattern);
      else
        ParsePattern(key.GetString(f.name, f.defaultText), *f.pattern);
      return;
    }
    int value = static_cast<int>(key.GetDWORD(f.name, static_cast<DWORD>(f.defaultNumber)));
    if (!f.InRange(value)) {
      value = f.defaultNumber;
      key.SetDWORD(f.name, static_cast<DWORD>(value));
    }
    *f.number = value;
    if (f.number == &HorizontalTabsMode) key.SetDWORD(L"STCCurrentTabs", CurrentTabsFor(value));
  });
}

BOOL CViewSettings::Save() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  BOOL ok = key.SetString(L"CurTaskPattern", GetTaskPattern());
  ok &= key.SetString(L"CurAppPattern", GetAppPattern());
  ok &= key.SetString(L"CurContactPattern", GetContactPattern());
  ok &= key.SetDWORD(L"HorizontalTabsMode", static_cast<DWORD>(HorizontalTabsMode));
  ok &= key.SetDWORD(L"STCCurrentTabs", CurrentTabsFor(HorizontalTabsMode));
  ForEachField([&](const Field& f) {
    if (f.number && f.saved && f.number != &HorizontalTabsMode)
      ok &= key.SetDWORD(f.name, static_cast<DWORD>(*f.number));
  });
  return ok;
}

void CViewSettings::ParsePattern(LPCWSTR text, CItemPattern& pattern) {
  pattern.first.Empty();
  pattern.rest.Empty();
  CString part;
  for (LPCWSTR c = text; c && *c; ++c) {
    if (*c >= L'0' && *c <= L'9') {
      pattern.first = part;
      pattern.count = *c - L'0';
      part.Empty();
    } else {
      part += *c;
    }
  }
  pattern.rest = part;
}

CString CViewSettings::FormatPattern(const CItemPattern& pattern) {
  CString text;
  text.Format(L"%s%d%s", pattern.first.GetString(), pattern.count, pattern.rest.GetString());
  return text;
}

CViewSettings& GetViewSettings() {
  static CViewSettings* settings = [] {
    static CViewSettings record;
    record.Load();
    return &record;
  }();
  return *settings;
}

BOOL HasPhoneLibrary() {
  static int present = -1;
  if (present < 0) {
    HMODULE phone = LoadLibraryW(L"phone.dll");
    present = phone ? 1 : 0;
    if (phone) FreeLibrary(phone);
  }
  return present;
}
