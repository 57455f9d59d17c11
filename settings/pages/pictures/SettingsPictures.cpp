// settingspictures.exe OUTDIR: the options program's main window and its Calendar
// sheet as the device's screen shows them, saved as OUTDIR\settings-main.png and
// OUTDIR\settings-sheet.png, and the calendar previews' headers at 96 and 192 dpi
// (OUTDIR\preview-headers-96.png, -192.png) and rows (preview-rows-96.png,
// -192.png; the 192-dpi pictures come from a second run of this program,
// "--dpi192 OUTDIR", as the controls' art keeps the size it was first made at).
// The pages' previews (group style, skins, tasks, notes, contacts) are drawn at both
// sizes as page-previews-96.png and page-previews-192.png.
// For people (the READMEs' pictures), never a test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "base/AppointmentRecord.h"
#include "base/DateTime.h"
#include "base/Translator.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "settings/pages/CalendarPreview.h"
#include "settings/pages/PagePreview.h"
#include "settings/pages/PreviewSamples.h"
#include "settings/pages/PreviewDateItem.h"
#include "settings/pages/PreviewGroupItem.h"
#include "settings/pages/SectionSheet.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/SettingsApp.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactListItem.h"
#include "tools/controlsgallery/PngWriter.h"

namespace {

std::wstring g_folder;

void Pump() {
  for (int round = 0; round < 20; ++round) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

BOOL CALLBACK CollectOurs(HWND window, LPARAM context) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window))
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

// The screen: every visible top-level window of this process, bottom-most first.
bool SaveScreen(const wchar_t* name) {
  RECT screen = {};
  GetWindowRect(GetDesktopWindow(), &screen);
  const int width = screen.right - screen.left, height = screen.bottom - screen.top;
  std::vector<HWND> windows;
  EnumWindows(CollectOurs, reinterpret_cast<LPARAM>(&windows));
  HDC desktop = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(desktop);
  HBITMAP shot = CreateCompatibleBitmap(desktop, width, height);
  HGDIOBJ old = SelectObject(memory, shot);
  RECT all = {0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    RedrawWindow(*it, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    RECT rect = {};
    GetWindowRect(*it, &rect);
    HDC source = GetDCEx(*it, nullptr, DCX_WINDOW | DCX_CACHE);
    BitBlt(memory, rect.left - screen.left, rect.top - screen.top, rect.right - rect.left, rect.bottom - rect.top,
           source, 0, 0, SRCCOPY);
    ReleaseDC(*it, source);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, desktop);
  GdiFlush();
  CDib picture;
  const bool saved = picture.CreateFromBitmap(shot) && SavePng(picture, (g_folder + L"\\" + name).c_str());
  DeleteObject(shot);
  return saved;
}

// A group header and two day headers (today; in two days, with the forecast and
// span columns) as the previews draw them, a 240-logical-pixel strip.
bool SavePreviewHeaders(int dpi, const wchar_t* name) {
  SetScreenDpi(dpi, dpi);
  bool saved = false;
  {
    CFontCache fonts;
    CViewSettings& view = GetViewSettings();
    view.AppGroup_Span = 1;
    view.AppGroup_Offset = 2;
    CPreviewGroupItem group(nullptr, 0);
    CPreviewDateItem today(nullptr, GetTodayDate());
    CPreviewDateItem later(nullptr, GetTodayDate() + 2);
    later.ShowForecast(TRUE);
    CListItem* headers[] = {&group, &today, &later};
    const int width = ScaleX(240);
    int height = ScaleY(4);
    for (CListItem* header : headers) {
      header->SetSize(width, width, -1, FALSE);
      height += header->GetHeight(-1);
    }
    CDib dib;
    if (dib.CreateFilled(width, height, RGB(255, 255, 255))) {
      const RECT clip = {0, 0, width, height};
      CTextRunList context(&dib, clip);
      POINT origin = {0, ScaleY(2)};
      for (CListItem* header : headers) {
        header->Draw(&context, &origin);
        origin.y += header->GetHeight(-1);
      }
      context.Draw(dib.GetDC(), 0, 0);
      dib.ReleaseDC();
      saved = SavePng(dib, (g_folder + L"\\" + name).c_str());
    }
  }
  SetScreenDpi(0, 0);
  return saved;
}

// The shipped skin of the source tree, as Wine's Z: drive shows it.
void UseSourceSkin() {
  std::wstring skin = L"Z:";
  for (const char* c = TARVO_SKINS_DIR "/NewStyle"; *c; ++c) skin += *c == '/' ? L'\\' : wchar_t(*c);
  CSkin::Instance().UseSkinPath(skin.c_str());
}

// The calendar pages' sample appointment: today 11:00 to 12:00, tentative, with
// every mark.
CAppointmentRecord* SampleAppointment(BOOL allDay) {
  CAppointmentRecord* record = new CAppointmentRecord;
  LoadTranslatedString(record->m_subject, IDS_PREVIEW_SUBJECT);
  LoadTranslatedString(record->m_location, IDS_PREVIEW_LOCATION);
  record->m_start = GetTodayDate() + (allDay ? 0.0 : 11.0 / 24);
  record->m_end = GetTodayDate() + (allDay ? 0.0 : 12.0 / 24);
  record->m_allDay = allDay;
  record->m_busyStatus = 1;
  record->m_hasNotes = record->m_reminderSet = record->m_isRecurring = record->m_isMeeting = TRUE;
  record->m_isPrivate = 1;
  record->m_categories.Set(0);
  return record;
}

// Preview rows, one a band: appointments with the default pattern, with the time
// line first, drawn as conflicting and all day; contacts with the field beside the
// name, at the right end and as its icon alone.
bool SavePreviewRows(int dpi, const wchar_t* name) {
  SetScreenDpi(dpi, dpi);
  UseSourceSkin();
  bool saved = false;
  {
    CFontCache fonts;
    CViewSettings& view = GetViewSettings();
    const int width = ScaleX(240), band = ScaleY(34);
    struct Row {
      const wchar_t* pattern;
      BOOL contact, conflict, allDay, selected;
    };
    const Row rows[] = {
        {L"n3rqsca", FALSE, FALSE, FALSE, FALSE}, {L"a1nrq", FALSE, FALSE, FALSE, TRUE},
        {L"n2rqsca", FALSE, TRUE, FALSE, FALSE},  {L"n3rqsca", FALSE, FALSE, TRUE, FALSE},
        {L"c1n", TRUE, FALSE, FALSE, FALSE},      {L"c2n", TRUE, FALSE, FALSE, FALSE},
        {L"c3n", TRUE, FALSE, FALSE, FALSE},
    };
    const int count = static_cast<int>(sizeof(rows) / sizeof(rows[0]));
    CDib dib;
    if (dib.CreateFilled(width, band * count, RGB(255, 255, 255))) {
      const RECT clip = {0, 0, width, band * count};
      CTextRunList context(&dib, clip);
      for (int i = 0; i < count; ++i) {
        const Row& row = rows[i];
        POINT origin = {0, band * i + ScaleY(2)};
        if (row.contact) {
          CViewSettings::ParsePattern(row.pattern, view.ContactPattern);
          CONTACT_ITEM* contact = CONTACT_ITEM::Create(1, 1);
          contact->m_firstName = L"Ada";
          contact->m_lastName = L"Lindqvist";
          contact->m_fields[0] = L"555 0101";
          contact->m_defaultField = 0;
          contact->m_hasNotes = TRUE;
          CContactListItem item(contact, nullptr, FALSE);
          contact->Release();
          item.SetSize(width, width, -1, FALSE);
          item.Draw(&context, &origin);
        } else {
          CViewSettings::ParsePattern(row.pattern, view.AppPattern);
          view.App_MarkConflicting = 1;
          CAppointmentRecord* record = SampleAppointment(row.allDay);
          CCalendarPreview item(record, row.conflict, nullptr);
          record->Release();
          item.SetSelected(row.selected, TRUE);
          item.SetSize(width, width, -1, FALSE);
          item.Draw(&context, &origin);
        }
      }
      context.Draw(dib.GetDC(), 0, 0);
      dib.ReleaseDC();
      saved = SavePng(dib, (g_folder + L"\\" + name).c_str());
    }
  }
  SetScreenDpi(0, 0);
  return saved;
}

// The previews of five pages one under another, each over the Today background as its
// page draws it, in a 240-logical-pixel wide page.
bool SavePagePreviews(int dpi, const wchar_t* name) {
  SetScreenDpi(dpi, dpi);
  UseSourceSkin();
  bool saved = false;
  {
    CFontCache fonts;
    GetViewSettings().Load();
    const int kPreviews = 5;
    const int width = ScaleX(240), band = ScaleY(80);
    CDib strip;
    if (strip.CreateFilled(width, band * kPreviews, GetSysColor(COLOR_WINDOW))) {
      saved = true;
      for (int i = 0; i < kPreviews; ++i) {
        CPagePreview preview;
        const RECT client = {0, 0, width, band};
        preview.PlaceAt(CPagePreview::PlaceIn(client, 4, 72));
        preview.TakeBackground();
        switch (i) {
          case 0: SetGroupStyleSample(preview); break;
          case 1: preview.SetRows(NewSampleAppointmentRow(FALSE), NewSampleTaskRow()); break;
          case 2: preview.SetRows(NewSampleTaskRow()); break;
          case 3: preview.SetRows(NewSampleNoteRow(0), NewSampleNoteRow(1)); break;
          default: preview.SetRows(NewSampleContactRow()); break;
        }
        CDib image;
        if (!preview.Compose(client, image)) {
          saved = false;
          continue;
        }
        BitBlt(strip.GetDC(), 0, band * i, width, band, image.GetDC(), 0, 0, SRCCOPY);
        image.ReleaseDC();
        strip.ReleaseDC();
      }
      saved = saved && SavePng(strip, (g_folder + L"\\" + name).c_str());
    }
  }
  SetScreenDpi(0, 0);
  return saved;
}

void ShowSheet(COptionsSheetBase& sheet, void*) {
  Pump();
  SaveScreen(L"settings-sheet.png");
  PostMessageW(sheet.m_hWnd, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

// This program again for the 192-dpi headers; its exit code.
DWORD RunHeaders192() {
  WCHAR self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" --dpi192 " + g_folder;
  STARTUPINFOW start = {};
  start.cb = sizeof(start);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) return 1;
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  const std::wstring kHeaders192 = L"--dpi192 ";
  std::wstring arguments = commandLine ? commandLine : L"";
  const bool headers192 = arguments.compare(0, kHeaders192.size(), kHeaders192) == 0;
  if (headers192) arguments = arguments.substr(kHeaders192.size());
  g_folder = arguments.empty() ? L"." : arguments;
  if (headers192) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    GetModule().Init(instance);
    HINSTANCE resources = CSettingsApp::LoadResourceLibrary();
    CSettingsApp::SetProgramSwitches();
    const bool saved = SavePreviewHeaders(192, L"preview-headers-192.png") &&
                       SavePreviewRows(192, L"preview-rows-192.png") &&
                       SavePagePreviews(192, L"page-previews-192.png");
    GetModule().SetResourceInstance(nullptr);
    if (resources) FreeLibrary(resources);
    GetModule().Term();
    CoUninitialize();
    return saved ? 0 : 1;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  GetModule().Init(instance);
  HINSTANCE resources = CSettingsApp::LoadResourceLibrary();
  CSettingsApp::SetProgramSwitches();
  InitScreenDpi();
  AygInitialize();
  RegisterSectionSheets();

  int result = 1;
  CMainWnd window;
  SetMainWindow(&window);
  RECT screen = {};
  GetWindowRect(GetDesktopWindow(), &screen);
  if (window.CreateMainWindow(nullptr, screen)) {
    SIPINFO panel = {};
    panel.cbSize = sizeof(panel);
    if (SipGetInfo(&panel)) {
      const RECT& free = panel.rcVisibleDesktop;
      MoveWindow(window, free.left, free.top, free.right - free.left, free.bottom - free.top, FALSE);
    }
    ShowWindow(window, SW_SHOW);
    Pump();
    result = SaveScreen(L"settings-main.png") ? 0 : 1;
    COptionsSheetBase::SetRunHook(ShowSheet, nullptr);
    window.OpenSection(1, 0);
    COptionsSheetBase::SetRunHook(nullptr, nullptr);
    window.DestroyWindow();
  }
  if (!SavePreviewHeaders(96, L"preview-headers-96.png") || !SavePreviewRows(96, L"preview-rows-96.png") ||
      !SavePagePreviews(96, L"page-previews-96.png") ||
      RunHeaders192() != 0)
    result = 1;
  SetMainWindow(nullptr);
  GetModule().SetResourceInstance(nullptr);
  if (resources) FreeLibrary(resources);
  GetModule().Term();
  CoUninitialize();
  return result;
}
