#include "panel/RowTreeDump.h"

#include <vector>

#include "controls/ContainerElement.h"
#include "controls/GroupElement.h"
#include "controls/TextRunList.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "panel/ListPanelView.h"
#include "panel/TabMakers.h"
#include "panel/TodayPanel.h"
#include "platform/today/RowDumpRequest.h"

namespace {

// A row taller or wider than this is not drawn for its texts: no screen is that big,
// and a broken height must not make the dump allocate without bound.
constexpr int kMaxRowSide = 4096;

void AppendQuoted(std::wstring& out, const wchar_t* text) {
  out += L" \"";
  for (const wchar_t* p = text; p && *p; ++p) {
    switch (*p) {
      case L'"': out += L"\\\""; break;
      case L'\\': out += L"\\\\"; break;
      case L'\n': out += L"\\n"; break;
      case L'\r': out += L"\\r"; break;
      case L'\t': out += L"\\t"; break;
      default: out += *p;
    }
  }
  out += L'"';
}

void AppendRect(std::wstring& out, const RECT& r) {
  out += L" at " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
         std::to_wstring(r.bottom);
}

class CRowWalk {
 public:
  CRowWalk(CListPanelView& tab, std::wstring& out) : m_tab(tab), m_out(out) {
    m_root = tab.GetContentList();
    const RECT& bounds = tab.GetContentBounds();
    m_bounds = bounds;
    m_origin = {bounds.left, bounds.top - tab.GetScrollOffset()};
    // Places go out in screen coordinates, as a tap on the screen is given.
    POINT corner = {0, 0};
    if (HWND window = tab.GetHwnd()) ClientToScreen(window, &corner);
    m_screen = corner;
  }

  void Walk(CContainerElement& container, int depth, BOOL hidden) {
    for (int i = 0; i < container.GetChildCount(); ++i) {
      CListItem* item = container.GetChild(i);
      if (!item) continue;
      m_out.append(static_cast<size_t>(depth) * 2, L' ');
      CContainerElement* inner = CContainerElement::AsContainer(item);
      CGroupElement* group = inner ? dynamic_cast<CGroupElement*>(inner) : nullptr;
      if (group) {
        m_out += L"group " + std::to_wstring(item->GetKind()) + (group->IsFolded() ? L" folded" : L" open");
        AppendPlace(item, hidden, group->GetHeaderHeight());
        CString title, count;
        group->GetTitle(title);
        group->GetCountText(count);
        AppendQuoted(m_out, title);
        AppendQuoted(m_out, count);
      } else if (inner) {
        m_out += L"list " + std::to_wstring(item->GetKind());
        AppendPlace(item, hidden, -1);
      } else {
        m_out += L"row " + std::to_wstring(item->GetKind());
        AppendRow(*item, hidden);
      }
      m_out += L"\n";
      if (inner) Walk(*inner, depth + 1, hidden || (group && group->IsFolded()));
    }
  }

  CContainerElement* Root() const { return m_root; }

 private:
  // The item's place from the list's own layout: a group's header only (headerHeight),
  // any other item whole (-1).
  void AppendPlace(CListItem* item, BOOL hidden, int headerHeight) {
    RECT r = {};
    if (hidden || !m_root->GetItemRect(item, &m_origin, &r)) {
      m_out += L" hidden";
      return;
    }
    if (headerHeight >= 0) r.bottom = r.top + headerHeight;
    RECT seen;
    const BOOL shown = IntersectRect(&seen, &r, &m_bounds);
    OffsetRect(&r, m_screen.x, m_screen.y);
    AppendRect(m_out, r);
    if (!shown) m_out += L" offscreen";
  }

  // A row's icons and texts, as it draws them into a surface of its own size.
  void AppendRow(CListItem& item, BOOL hidden) {
    std::vector<int> icons;
    std::vector<std::wstring> texts;
    const int width = item.GetContentWidth() > 0 ? item.GetContentWidth() : item.GetWidth();
    const int height = item.GetHeight(-1);
    CDib surface;
    if (width > 0 && height > 0 && width <= kMaxRowSide && height <= kMaxRowSide && surface.Create(width, height)) {
      const RECT all = {0, 0, width, height};
      CTextRunList context(&surface, all);
      const POINT origin = {0, 0};
      CSkin::RecordIconsInto(&icons);
      item.Draw(&context, &origin);
      CSkin::RecordIconsInto(nullptr);
      for (int i = 0; i < context.GetRunCount(); ++i) {
        const CString& text = context.GetRun(i).text;
        if (!text.IsEmpty()) texts.emplace_back(static_cast<LPCWSTR>(text));
      }
    }
    if (!icons.empty()) {
      m_out += L" icons ";
      for (size_t i = 0; i < icons.size(); ++i) m_out += (i ? L"," : L"") + std::to_wstring(icons[i]);
    }
    AppendPlace(&item, hidden, -1);
    for (const std::wstring& text : texts) AppendQuoted(m_out, text.c_str());
  }

  CListPanelView& m_tab;
  std::wstring& m_out;
  CContainerElement* m_root = nullptr;
  RECT m_bounds = {};
  POINT m_origin = {};
  POINT m_screen = {};
};

// The tab by what it shows (the tab host's names are one name for every tab while
// the Today screen hosts them all).
const wchar_t* TabName(int id) {
  switch (id) {
    case TAB_CALENDAR: return L"Calendar";
    case TAB_TASKS: return L"Tasks";
    case TAB_CONTACTS: return L"Contacts";
    case TAB_NOTES: return L"Notes";
    case TAB_MESSAGES: return L"Messages";
    case TAB_SPECIAL: return L"Special";
    case TAB_CUSTOM: return L"Custom";
    default: return L"-";
  }
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
  std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring DumpPanelRows(CTodayPanel& panel) {
  std::wstring out;
  CScrollPanel* tab = panel.GetCurrentTab();
  if (!tab) return L"tab none\n";
  const int id = tab->GetTabId();
  out += L"tab " + std::to_wstring(id) + L" " + TabName(id) + L"\n";
  auto* list = dynamic_cast<CListPanelView*>(tab);
  if (!list || !list->GetContentList()) return out;
  CRowWalk walk(*list, out);
  walk.Walk(*walk.Root(), 0, FALSE);
  return out;
}

BOOL ReadRowDumpPath(const COPYDATASTRUCT* data, std::wstring& path) {
  if (!data || data->dwData != kRowDumpRequestTag || !data->lpData) return FALSE;
  const DWORD bytes = data->cbData;
  if (bytes == 0 || bytes % sizeof(WCHAR) != 0 || bytes > kRowDumpMaxPathBytes) return FALSE;
  const wchar_t* text = static_cast<const wchar_t*>(data->lpData);
  size_t length = bytes / sizeof(WCHAR);
  if (text[length - 1] == 0) --length;
  if (length == 0) return FALSE;
  for (size_t i = 0; i < length; ++i)
    if (text[i] < L' ') return FALSE;
  path.assign(text, length);
  return TRUE;
}

BOOL HandleRowDumpRequest(CTodayPanel& panel, LPARAM lParam, LRESULT& result) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!data || data->dwData != kRowDumpRequestTag) return FALSE;
  result = 0;
  std::wstring path;
  // Sent from another thread or program: the shell writes no file for it.
  if (InSendMessage() || !ReadRowDumpPath(data, path)) return TRUE;
  const std::string bytes = ToUtf8(DumpPanelRows(panel));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  result = ok && written == bytes.size() ? 1 : 0;
  return TRUE;
}
