// The library's one client of the item-operations program "Ondrel": finds,
// starts and stops it and turns the tabs' requests into copied records or
// posted messages. Also the launchers of other programs and the PIM choice.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "controls/ListPickerWnd.h"
#include "pim/OndrelProtocol.h"
#include "platform/windowlib/String.h"

// Which PIM's data and programs are used ("CurrentPIM").
enum { PIM_POCKET_OUTLOOK = 0, PIM_AGENDA_FUSION = 1, PIM_POCKET_INFORMANT = 2, PIM_AGENDA_ONE = 3 };

// The shell New-menu handlers the settings scan finds, in field order.
enum { NEWMENU_NOTE = 0, NEWMENU_DOCUMENT = 1, NEWMENU_EMAIL = 2, NEWMENU_PHATPAD = 3, NEWMENU_COUNT = 4 };

class COndrelClient {
 public:
  // The process's client; made at first use.
  static COndrelClient& Instance();

  COndrelClient();
  virtual ~COndrelClient();
  COndrelClient(const COndrelClient&) = delete;
  COndrelClient& operator=(const COndrelClient&) = delete;

  // Waits between starts and while polling go through this, so tests need not wait.
  typedef void (*PFN_SLEEP)(DWORD milliseconds);
  static PFN_SLEEP SetSleep(PFN_SLEEP sleep);
  // The two error boxes go through this (null restores MessageBoxW).
  typedef int (*PFN_MESSAGE_BOX)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
  static PFN_MESSAGE_BOX SetMessageBoxHandler(PFN_MESSAGE_BOX handler);

  HWND FindOndrelWindow() const;
  BOOL StartOndrel();
  BOOL EnsureOndrel();
  void StopOndrel();
  void SetOwnerWindow(HWND owner) { m_owner = owner; }
  HWND GetOwnerWindow() const { return m_owner; }
  BOOL IsStarted() const { return m_started; }

  // Copied requests.
  BOOL DisplayItem(int folderKind, DWORD objectId, BOOL edit, double occurrenceStart);
  BOOL SendMessageItem(const BYTE* entryId, DWORD entryIdLength, int mode);
  BOOL NewItemEx(int type, LPCWSTR text1, const double* date1, const double* date2, LPCWSTR text2, DWORD option);
  BOOL NewItem(int type, LPCWSTR text1, LPCWSTR text2);
  BOOL OpenItemByPath(LPCWSTR path, int target, BOOL temporary);
  LRESULT RunMail2Command(LPCWSTR text);
  BOOL NewNote(BOOL skip, LPCWSTR folderName);
  BOOL OpenDocument(LPCWSTR path, int mode);

  // Posted commands.
  void OpenTasksView();
  void OpenCalendarView();
  void OpenContactsView();
  void OpenNotesProgram();
  void OpenPocketWord();
  void OpenPhatNotes();
  void OpenPocketExcel();
  void RequestMonth(int year, int month, HWND replyWindow);
  void RequestMonthRange(const SYSTEMTIME& date, HWND replyWindow);
  void UpdateCalendar();
  void CancelLoad();
  BOOL SendBeam(int kind, DWORD objectId);

  // Sent questions and changes; 0 when the program cannot be started.
  int GetPIStatus();
  LRESULT ChangeAppointment(DWORD objectId, DWORD occurrenceDay, double start, double end, DWORD copy,
                            DWORD further);
  LRESULT SetApptReminder(DWORD objectId, DWORD value);
  LRESULT DeleteItem(int kind, DWORD objectId);
  LRESULT CopyItem(int kind, DWORD objectId, DWORD occurrenceDay);
  // Sets (complete) or clears the task's completion.
  LRESULT CompleteTask(DWORD objectId, BOOL complete);
  LRESULT ChangeTaskDate(DWORD objectId, double start, double due, double reminder);
  LRESULT SetItemCategories(DWORD objectId, LPCWSTR categories);
  // Runs the category picker over the owner window at anchor (owner client
  // coordinates) with title, starting from set; when the user changed the ticks, sends
  // the ticked categories' names with SetItemCategories and returns its result. 0 when
  // the picker was cancelled or nothing changed.
  LRESULT EditItemCategories(POINT anchor, DWORD objectId, LPCWSTR title, const CBitSet& set);

  // Settings.
  void ReadSettings();
  int ReadCurrentPIM();
  int GetCurrentPIM();
  BOOL GetNotUsePINotes() const { return m_notUsePINotes; }
  const CLSID& GetNewMenuClass(int which) const { return m_newMenu[which]; }

  // Launchers of Pocket Word and Pocket Excel.
  BOOL LaunchPocketWord();
  BOOL LaunchPocketExcel();
  // PhatPad (else its viewer) from its install folder, as it is or with a new drawing.
  BOOL OpenPhatPad();
  BOOL NewPhatPad();
  // PhatNotes' window, asking Ondrel to start it when missing (20 looks, 250 ms apart).
  HWND GetNotesWindow();
  BOOL ShowNotesWindow();

  // Where notes of that folder lie, ending in "\": the documents folder's own
  // sub-folder of that name, else the note files' folder of that name, else the
  // sub-folder made.
  CString GetNoteFolderPath(LPCWSTR folderName);
  // The note files know folders of a name that lie elsewhere (on a storage card);
  // the Notes tab answers for them. Returns the previous lookup; null: none.
  typedef BOOL (*PFN_NOTE_FOLDER_LOOKUP)(CString& path, LPCWSTR folderName);
  static PFN_NOTE_FOLDER_LOOKUP SetNoteFolderLookup(PFN_NOTE_FOLDER_LOOKUP lookup);
  // The shell's localised name of the "All Folders" view; empty (after a box) when unknown.
  CString GetAllFoldersName();

 private:
  LRESULT SendRequest(ULONG_PTR code, const ONDREL_REQUEST& request);
  LRESULT SendChange(const ONDREL_CHANGE_MESSAGE& change);
  LRESULT Change(DWORD objectId, DWORD kind, DWORD operation, ONDREL_CHANGE_MESSAGE& change);
  void PostToOndrel(UINT message, WPARAM wParam, LPARAM lParam);
  void ReadNewMenuClasses();
  BOOL UsePINotes(int mode);

  HWND m_owner = nullptr;
  UINT m_msgUpdateSettings;
  UINT m_msgOpenApp;
  UINT m_msgCloseWindow;
  UINT m_msgGetMonth;
  UINT m_msgUpdateCalendar;
  UINT m_msgCancelLoad;
  UINT m_msgGetPIStatus;
  UINT m_msgChangeItem;
  CLSID m_newMenu[NEWMENU_COUNT] = {};
  BOOL m_notUsePINotes = FALSE;
  BOOL m_started = FALSE;
  CListPickerWnd m_picker;
  CBitSet m_categories;
  CString m_categoriesText;
  int m_currentPIM = -1;
};

// Launchers without Ondrel: a running program gets WM_COMMAND 10, else it is
// started with "-n" through the program launcher.
BOOL LaunchNotes();
BOOL LaunchPocketWord();
BOOL LaunchPocketExcel();
// "\Windows\tmail.exe" with that command line, through the program launcher.
BOOL RunMailProgram(LPCWSTR arguments);
// "version" of Pocket Informant's key, 0 without it.
DWORD GetPocketInformantVersion();
// Whether Pocket Informant's tools library offers notes ("D_Note").
BOOL HasPocketInformantNotes();

// The "States" value of the Notes program keeps the open folder at byte 84 and the
// notes' volume at byte 1128. Writes name at 84, bounded by the value's own size
// and by the next field; FALSE (value unchanged) when it does not fit.
BOOL PatchNotesStatesFolder(BYTE* states, DWORD size, LPCWSTR name);
// The volume at byte 1128, empty when the value is too short or it is unterminated.
CString ReadNotesStatesVolume(const BYTE* states, DWORD size);
