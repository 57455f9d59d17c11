// The Notes sheet's filter page: the note folders of main memory and the storage
// cards, one check box each; a folder left unchecked is hidden from the Notes tab.
// The hidden folders are kept as lower-case names joined by "|" ("HiddenFolders" of
// the product key's "Filters"); the page keeps its list in memory until apply and
// lists the folders again whenever the shell reports a file change.
#pragma once
#include <windows.h>

#include "base/StringList.h"
#include "platform/aygshell/aygshell.h"
#include "platform/note_prj/note_prj.h"
#include "settings/pages/PageTable.h"

const int kNoteFolderList = 1055;

class CNotesFilterPage : public COptionsPage<CNotesFilterPage> {
 public:
  enum { IDD = FindPage(4, 3).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(4, 3).helpTopic; }

  // The folder a note project record names: its path, or the name of the object
  // store folder it gives. FALSE for an empty or unknown one.
  static BOOL ReadFolderRecord(const PAstruct* record, CString& folder);
  // Whether a folder (a path, "\" at the end or not) holds a note file without the
  // hidden attribute.
  static BOOL HoldsShownNote(LPCWSTR folder);
  // The hidden list as the page holds it.
  const CStringList& GetHiddenFolders() const { return m_hidden; }
  // The list's check marks into the hidden list.
  void TakeCheckStates();
  // Lists the folders again.
  void FillFolderList();

  BEGIN_MSG_MAP(CNotesFilterPage)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_HANDLER(WM_FILECHANGEINFO, OnFolderChanged)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP(COptionsPage<CNotesFilterPage>)
    // The device's list gesture query, whoever asks: handled.
    NOTIFY_CODE_HANDLER(static_cast<UINT>(-50), OnGestureQuery)
  END_MSG_MAP()

 private:
  LRESULT OnGestureQuery(int, NMHDR*, BOOL&) { return 1; }
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnFolderChanged(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  void ResizeList(int width, int height);

  CStringList m_hidden;
  BOOL m_registered = FALSE;
};
