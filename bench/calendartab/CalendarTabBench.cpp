// Cost of one full repaint of the Calendar tab showing 50 appointment rows in seven
// day groups (header, day headers with their time-span bars, rows with time, subject,
// icons and status box, into the host's back buffer), beside drawing the same texts
// and icons with plain GDI calls (DrawTextW, DrawIconEx for the fold signs and
// BitBlt for the row icons) into a bitmap of the same size
// in the same run. Exits with 1 when the repaint costs more than kLimit times that.
#include <cstdio>
#include <string>
#include <vector>

#include "base/AppointmentRecord.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "bench/BenchClock.h"
#include "bench/BenchMachine.h"
#include "bench/database/BenchVolume.h"
#include "controls/ContainerElement.h"
#include "controls/ControlArt.h"
#include "controls/VirtualRoot.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "platform/windowlib/WindowImpl.h"
#include "tabs/calendar/AppointmentItem.h"
#include "tabs/calendar/CalendarRowArt.h"
#include "tabs/calendar/CalendarTab.h"
#include "tabs/calendar/DayHeaderRow.h"

namespace {

const int kRows = 50;
const int kDays = 7;
const int kWidth = 240;
const double kLimit = 2.0;
const double kMonday = 46097.0;

class CHost : public CWindowImpl<CHost> {
 public:
  DECLARE_WND_CLASS_EX(L"CalendarTabBenchHost", 0, -1)
  BEGIN_MSG_MAP(CHost)
    CHAIN_MSG_MAP_MEMBER(root)
  END_MSG_MAP()
  CVirtualRoot root;
};

CAppointmentRecord* MakeRecord(int index) {
  auto* record = new CAppointmentRecord;
  const int day = index % kDays;
  const double start = kMonday + day + (8 + index % 10) / 24.0;
  record->m_subject = L"Meeting about the quarterly plan " + CString(std::to_wstring(index).c_str());
  record->m_location = index % 3 ? L"" : L"Room 4";
  record->m_start = start;
  record->m_end = start + 1.0 / 24;
  record->m_busyStatus = index % 4;
  record->m_yearCount = -1;
  record->m_hasNotes = index % 2;
  record->m_reminderSet = index % 3 == 0;
  record->m_isRecurring = index % 5 == 0;
  record->m_itemId = static_cast<DWORD>(index + 1);
  return record;
}

}  // namespace

int main(int argc, char** argv) {
  SetScreenDpi(96, 96);
  bench::BenchRoot root(L"calendartabbench");
  bench::MachineKey machine(L"calendartab");
  bench::ResourceLibrary resources;
  if (!resources.loaded()) return 2;
  const std::wstring folder = bench::ProgramFolder();
  GetViewSettings().Load();
  // The skin the device ships (its icons), from the source tree beside the build or
  // the folder given.
  std::wstring skin = folder + L"..\\..\\device\\skins\\NewStyle";
  if (argc > 1) {
    WCHAR given[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, given, MAX_PATH);
    skin = given;
  }
  CSkin::Instance().UseSkinPath(skin.c_str());
  if (!CSkin::Instance().Open()) {
    printf("no skin at %ls\n", skin.c_str());
    return 2;
  }
  int status = 2;
  {
    CHost host;
    RECT at = {0, 0, kWidth, 1700};
    if (!host.Create(nullptr, &at, L"", WS_POPUP)) return 2;
    RECT client;
    ::GetClientRect(host.m_hWnd, &client);
    CCalendarTab tab;
    host.root.AddChild(&tab);
    tab.LoadSettings();
    tab.SetRect(&client);

    // The content as the day list builds it: a day group per day, the rows inside.
    auto* content = new CContainerElement(&tab);
    std::vector<CAppointmentRecord*> records;
    for (int i = 0; i < kRows; ++i) records.push_back(MakeRecord(i));
    for (int day = 0; day < kDays; ++day) {
      auto* header = new CDayHeaderRow(content, kMonday + day, kMonday);
      for (int i = day; i < kRows; i += kDays) {
        auto* row = new CAppointmentItem(records[i], i % 6 == 0, header);
        row->SetDay(kMonday + day);
        header->AddChild(row);
      }
      content->AddChild(header);
    }
    for (CAppointmentRecord* r : records) r->Release();
    tab.SetContentList(content);
    tab.LayoutScrollBar();
    if (tab.GetContentHeight() > client.bottom) printf("(the rows do not all fit: %d)\n", tab.GetContentHeight());

    const double repaint = bench::SecondsPerRun([&] { host.root.RenderBackBuffer(client); });

    // The same texts and icons with plain GDI.
    struct Line {
      std::wstring text;
      RECT rect;
      HFONT font;
    };
    struct Icon {
      int id;
      POINT at;
    };
    std::vector<Line> lines;
    std::vector<Icon> icons;
    std::vector<POINT> signs;  // the day headers' fold signs
    int y = 60;
    for (int day = 0; day < kDays; ++day) {
      auto* header = static_cast<CDayHeaderRow*>(content->GetChild(day));
      CString title;
      header->GetTitle(title);
      lines.push_back({std::wstring(title), {20, y, kWidth, y + 16}, RowFont(1)});
      signs.push_back({5, y + 3});
      y += 18;
      for (int k = 0; k < header->GetChildCount(); ++k) {
        auto* row = static_cast<CAppointmentItem*>(header->GetChild(k));
        lines.push_back({std::wstring(row->GetTimeText()), {19, y, kWidth, y + 14}, RowFont(0)});
        lines.push_back({std::wstring(row->GetSubjectText()), {19, y + 14, kWidth, y + 28}, RowFont(1)});
        for (int i = 0; i < row->GetIconCount(); ++i)
          icons.push_back({row->GetIcon(i).icon, {row->GetIconRectAt(i).left, y + row->GetIconRectAt(i).top}});
        y += 30;
      }
    }
    CDib target, iconStrip;
    if (target.Create(client.right, client.bottom) && iconStrip.Create(16 * 50, 16)) {
      for (int id = 0; id < 50; ++id) CSkin::Instance().DrawIcon(id, &iconStrip, id * 16, 0, iconStrip.GetDC());
      HDC dc = target.GetDC();
      HDC strip = iconStrip.GetDC();
      const double plain = bench::SecondsPerRun([&] {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        for (const Line& line : lines) {
          HGDIOBJ old = SelectObject(dc, line.font);
          RECT r = line.rect;
          DrawTextW(dc, line.text.c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
          SelectObject(dc, old);
        }
        HICON sign = GetControlArt().GetSignIcon(FALSE);
        for (const POINT& at : signs)
          if (sign) DrawIconEx(dc, at.x, at.y, sign, ScaleX(9), ScaleY(9), 0, nullptr, DI_NORMAL);
        for (const Icon& icon : icons)
          if (icon.id >= 0) BitBlt(dc, icon.at.x, icon.at.y, 16, 16, strip, icon.id * 16, 0, SRCCOPY);
      });
      const double ratio = repaint / plain;
      printf("Calendar tab of %d rows in %d days, %d x %d pixels\n", kRows, kDays, static_cast<int>(client.right),
             static_cast<int>(client.bottom));
      printf("plain GDI texts and icons: %10.1f us\n", plain * 1e6);
      printf("full repaint:              %10.1f us  (ratio %.2f, limit %.0f)\n", repaint * 1e6, ratio, kLimit);
      status = ratio > kLimit ? 1 : 0;
    }
    host.root.RemoveChild(&tab);
    host.DestroyWindow();
  }
  return status;
}
