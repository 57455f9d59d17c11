// The item operations of the program: opening items in the chosen PIM (Pocket
// Outlook's cards, Agenda Fusion, Agenda One or Pocket Informant), watching Pocket
// Outlook's cards to answer their questions, and starting other programs and views.
#pragma once
#include <windows.h>

#include "pim/PocketInformantTools.h"
#include "platform/windowlib/String.h"

// Item kinds (PIM folder numbers) and display modes.
enum { ITEM_APPOINTMENT = 9, ITEM_CONTACT = 10, ITEM_TASK = 13 };
enum { DISPLAY_OPEN = 0, DISPLAY_EDIT = 1, DISPLAY_NEW = 2 };

class CPoomHelper {
 public:
  CPoomHelper();
  ~CPoomHelper();
  CPoomHelper(const CPoomHelper&) = delete;
  CPoomHelper& operator=(const CPoomHelper&) = delete;

  // The frame: brought to the foreground, owner of timer 1, told to close on restart.
  void SetFrame(HWND frame) { m_frame = frame; }
  // "CurrentPIM" and "NotUsePINotes", the choice kept only when that PIM is there.
  void ReadPimChoice();
  int GetPimChoice() const { return m_pim; }
  const CString& GetProgramPath() const { return m_programPath; }

  // 1 when the display ran, 0 when the occurrence question was cancelled.
  int DisplayItem(int kind, DWORD oid, int mode, double date);
  void OnDialogActivated(HWND dialog);
  void WatchDialogs();
  BOOL IsWatching() const { return m_watching == 0; }

  int GetPIStatus() { return m_tools.GetStatus(); }
  // After a card that could not be shown: the program is started again 2 seconds
  // from now (CeRunAppAtTime) and its frame asked to close; the subject is "No Subject".
  void RestartSelf(CString& subject);

  // Changes through the object model, whatever PIM shows items: 1 done, 0 when a
  // step failed (nothing is said to the user).
  // occurrenceDay: the day number of one occurrence, or the no-date value for the
  // series. Without dates flag 0 deletes and 1 copies; with dates it is the busy status.
  int ChangeAppointment(DWORD oid, DWORD occurrenceDay, double start, double end, DWORD flag, DWORD allDay);
  // Minutes before the start; negative clears the reminder.
  int SetApptReminder(DWORD oid, LONG minutes);
  // A task (kind 13) or a contact (any other kind).
  int DeleteItem(int kind, DWORD oid);
  int CopyItem(int kind, DWORD oid);
  // complete 1 or 0: the state asked for (already so: nothing changes); -1 the other
  // state than the store's (a sender that names none). Completing a task with a repeat
  // marker in its subject and a due date first makes its next copy.
  int CompleteTask(DWORD oid, int complete);
  int ChangeTaskDate(DWORD oid, double start, double due, double reminder);
  // kind: the item's folder type (1 appointment, 2 contact, 3 task).
  int BeamItem(DWORD oid, int kind);
  int SetCategories(DWORD oid, LPCWSTR text);

  // New items, stored at once and then shown for editing (the other PIMs' programs
  // make their own). text: the categories; absent dates are the no-date value; a
  // source names an item to duplicate. 1 when created (and shown), 0 when not.
  int NewItem(int kind, LPCWSTR text, double date1, double date2, LPCWSTR text2, DWORD source);
  int NewItemWithText2(int kind, LPCWSTR text, LPCWSTR text2);
  // The note file's bytes become the new item's ink; a temporary file is deleted.
  int NewItemFromNote(int kind, LPCWSTR path, BOOL temporary);
  // The pause after a new item is stored (milliseconds), for tests.
  static void SetNewItemPause(DWORD milliseconds) { s_newItemPause = milliseconds; }

  void OpenContactsView();
  void OpenTasksView();
  void OpenCalendarView();
  void OpenNotes();
  void OpenPocketWord();
  void OpenPocketExcel();
  void OpenPhatNotes();
  void OpenPhatPad();
  void OpenMail2(LPCWSTR commandLine);
  BOOL OpenMessage(const BYTE* entryId, DWORD length, int mode);
  void DisplayNote(LPCWSTR text);

  // The command line for Agenda Fusion (1) or Agenda One (3); empty for other choices.
  struct OtherPimRequest {
    int kind;
    DWORD oid;
    int mode;
    double date;        // display date, no-date value when none
    BOOL stored;        // a new item already stored
    double newDate1;    // for mode 2
    double newDate2;
    LPCWSTR newText;
    BOOL dontClose;     // "AgendaFusion_DontClose"
  };
  static CString OtherPimCommandLine(int pim, const OtherPimRequest& request);
  // Local variant date in minutes since 1601; 0 for 0.0 and the no-date value.
  static DWORD DateMinutes(double date);
  // Pocket Outlook's default title of a new item ("pimres.dll", else "outres.dll");
  // empty, after an error box, when neither library loads.
  static CString LoadPocketOutlookString(BOOL contact);
  // The two libraries it tries, for tests (null restores "pimres.dll" and "outres.dll").
  static void SetResourceLibraries(LPCWSTR first, LPCWSTR second);
  // "PITab.exe" in Pocket Informant's "InstallDir", else in "\Windows".
  static CString GetPocketInformantTabPath();
  // The device's shell names of its own programs, as the file to start.
  static CString MapShellAlias(LPCWSTR file);

  // Seams for the boxes and for the platform's version questions.
  typedef int (*PFN_MESSAGE_BOX)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
  static PFN_MESSAGE_BOX SetMessageBoxHandler(PFN_MESSAGE_BOX handler);
  // The shield window while it is up (null otherwise).
  HWND GetShieldWindow() const { return m_shield; }

 private:
  DWORD CreateNewItem(int kind, LPCWSTR text, double date1, double date2, LPCWSTR text2, DWORD source);
  void ShowShieldWindow();
  void HideShieldWindow(BOOL always);
  void StopWatching();
  void Launch(LPCWSTR file, LPCWSTR parameters);
  CString DisplayApp(DWORD& oid);
  CString DisplayTask(DWORD& oid);
  CString DisplayContact(DWORD& oid);
  CString DisplayOther(DWORD oid);

  int m_pim;
  int m_occurrenceAnswer;
  BOOL m_notUsePINotes;
  int m_watching;
  BOOL m_pocketPC2002;
  BOOL m_editRequested;
  HWND m_frame;
  HWND m_shield;
  DWORD m_shieldTick;
  DWORD m_dontClose;
  BOOL m_mailPending;
  int m_mailMode;
  double m_newDate1;
  double m_newDate2;
  CString m_newText;
  BOOL m_newStored = FALSE;
  static DWORD s_newItemPause;
  double m_date;
  int m_mode;
  int m_kind;
  CString m_programPath;
  CPocketInformantTools m_tools;
};

// Whether the device is the newer Pocket PC (system 5 or later), and Pocket PC 2002.
BOOL OndrelIsNewerPlatform();
BOOL OndrelIsPocketPC2002();
