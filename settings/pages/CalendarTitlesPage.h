// The Calendar sheet's titles page: the day-title and subject choices, and the link
// that opens the long-date page of the General sheet over this sheet.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

// Notifications of the link control: its command is answered 1; its notify code
// opens the long-date page. A plain button sends BN_CLICKED for the same tap.
const WORD kLinkCommandCode = 10003;
const UINT kLinkNotifyCode = 10105;
const int kLongDateLink = 1048;
const int kSovelForecastBox = 1050;
const int kTodayMarkBox = 1045;
const int kSpanBarBox = 1047;
const int kDayOffsetCombo = 1049;

class CCalendarTitlesPage : public COptionsPage<CCalendarTitlesPage> {
 public:
  enum { IDD = FindPage(1, 3).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(1, 3).helpTopic; }
  // The General sheet at its long-date page, then the date formats read again.
  LRESULT OnLongDateLink();
  // toRecord: the controls into the view settings (the forecast only with Sovel
  // installed); else the record into the controls.
  void TakeControls(BOOL toRecord);
  int GetSovelState() const { return m_sovelState; }
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  // Today's header (three items) and the day after tomorrow's (five), folded; the
  // forecast column with Qel Sovel installed and chosen.
  void BuildPreview();
  CPagePreview& GetPreview() { return m_preview; }
  // After a turn of the screen (and when the page shows again): the link along the
  // client's bottom, on a page at least 240 logical pixels high.
  void UpdateLayout();

  BEGIN_MSG_MAP(CCalendarTitlesPage)
    COMMAND_HANDLER(kLongDateLink, kLinkCommandCode, OnLinkCommand)
    COMMAND_HANDLER(kLongDateLink, BN_CLICKED, OnLinkClicked)
    NOTIFY_HANDLER(kLongDateLink, kLinkNotifyCode, OnLinkNotify)
    COMMAND_ID_HANDLER(kSovelForecastBox, OnValueCommand)
    COMMAND_ID_HANDLER(kTodayMarkBox, OnValueCommand)
    COMMAND_ID_HANDLER(kSpanBarBox, OnValueCommand)
    COMMAND_ID_HANDLER(kDayOffsetCombo, OnValueCommand)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CCalendarTitlesPage>)
  END_MSG_MAP()

 private:
  LRESULT OnLinkCommand(WORD, WORD, HWND, BOOL&) { return 1; }
  LRESULT OnLinkClicked(WORD, WORD, HWND, BOOL&) { return OnLongDateLink(); }
  LRESULT OnLinkNotify(int, NMHDR*, BOOL&) { return OnLongDateLink(); }
  LRESULT OnValueCommand(WORD, WORD, HWND, BOOL&) {
    if (!m_initialising) {
      TakeControls(TRUE);
      BuildPreview();
    }
    return 0;
  }
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  // The link as a band 36 logical pixels high along the client's bottom, 5 in from
  // each side; unless always, only on a page at least 240 logical pixels high.
  void PlaceLink(BOOL always);

  int m_sovelState = 0;
  BOOL m_warned = FALSE;
  CPagePreview m_preview;
};
