#include "pim/DialogLayout.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// A bounds-checked cursor over template bytes.
class CTemplateReader {
 public:
  CTemplateReader(const void* data, DWORD size) : m_data(static_cast<const BYTE*>(data)), m_size(data ? size : 0) {}
  bool Ok() const { return m_ok; }
  template <typename T>
  T Read() {
    T value = {};
    if (!m_ok || m_size - m_pos < sizeof(T)) {
      m_ok = false;
      return value;
    }
    memcpy(&value, m_data + m_pos, sizeof(T));
    m_pos += sizeof(T);
    return value;
  }
  void Skip(DWORD bytes) {
    if (!m_ok || m_size - m_pos < bytes) m_ok = false;
    else m_pos += bytes;
  }
  void AlignDword() { Skip((4 - (m_pos & 3)) & 3); }
  // A name or ordinal: ordinal set (text empty) or text set.
  void ReadNameOrOrdinal(WORD& ordinal, std::wstring& text) {
    ordinal = 0;
    text.clear();
    const WORD first = Read<WORD>();
    if (first == 0xFFFF) {
      ordinal = Read<WORD>();
      return;
    }
    for (WORD ch = first; m_ok && ch; ch = Read<WORD>()) text.push_back(static_cast<wchar_t>(ch));
  }

 private:
  const BYTE* m_data;
  DWORD m_size;
  DWORD m_pos = 0;
  bool m_ok = true;
};

struct TemplateItem {
  DWORD style;
  RECT rect;
  DWORD id;
  WORD classOrdinal;
  std::wstring className;
  WORD titleOrdinal;
  std::wstring title;
};

bool ParseTemplate(const void* data, DWORD size, std::vector<TemplateItem>& items) {
  CTemplateReader reader(data, size);
  const WORD version = reader.Read<WORD>();
  const WORD signature = reader.Read<WORD>();
  const bool extended = version == 1 && signature == 0xFFFF;
  DWORD style = 0;
  WORD count = 0;
  if (extended) {
    reader.Skip(8);  // help id, extended style
    style = reader.Read<DWORD>();
  } else {
    style = static_cast<DWORD>(version) | static_cast<DWORD>(signature) << 16;
    reader.Skip(4);  // extended style
  }
  count = reader.Read<WORD>();
  reader.Skip(8);  // x, y, cx, cy
  WORD ordinal;
  std::wstring text;
  for (int i = 0; i < 3; ++i) reader.ReadNameOrOrdinal(ordinal, text);  // menu, class, title
  if (style & DS_SETFONT) {
    reader.Skip(extended ? 6 : 2);  // size (weight, italic, charset)
    reader.ReadNameOrOrdinal(ordinal, text);
  }
  for (WORD i = 0; i < count && reader.Ok(); ++i) {
    reader.AlignDword();
    TemplateItem item = {};
    if (extended) {
      reader.Skip(8);  // help id, extended style
      item.style = reader.Read<DWORD>();
    } else {
      item.style = reader.Read<DWORD>();
      reader.Skip(4);
    }
    const short x = reader.Read<short>(), y = reader.Read<short>();
    const short cx = reader.Read<short>(), cy = reader.Read<short>();
    item.rect = {x, y, x + cx, y + cy};
    item.id = extended ? reader.Read<DWORD>() : reader.Read<WORD>();
    if (extended && item.id == 0xFFFFFFFF) item.id = 0xFFFF;
    reader.ReadNameOrOrdinal(item.classOrdinal, item.className);
    reader.ReadNameOrOrdinal(item.titleOrdinal, item.title);
    reader.Skip(reader.Read<WORD>());  // creation data
    if (reader.Ok()) items.push_back(item);
  }
  return reader.Ok();
}

bool IsClass(const TemplateItem& item, WORD ordinal, const wchar_t* name) {
  return item.classOrdinal == ordinal || (!item.className.empty() && !lstrcmpiW(item.className.c_str(), name));
}

void ApplyTemplateItemData(HMODULE module, HWND control, const TemplateItem& item) {
  const bool isStatic = IsClass(item, 0x82, L"static");
  if ((isStatic || IsClass(item, 0x80, L"button")) && !item.titleOrdinal) {
    SetWindowTextW(control, item.title.c_str());
  } else if (isStatic && item.titleOrdinal) {
    const DWORD type = item.style & SS_TYPEMASK;
    if (type == SS_ICON) {
      HICON icon = LoadIconW(module, MAKEINTRESOURCEW(item.titleOrdinal));
      HICON old = reinterpret_cast<HICON>(SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
      if (old && old != icon) DestroyIcon(old);
    } else if (type == SS_BITMAP) {
      HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(item.titleOrdinal), IMAGE_BITMAP, 0, 0, 0));
      HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
          SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
      if (old && old != bitmap) DeleteObject(old);
    }
  } else if (IsClass(item, 0x83, L"listbox")) {
    SendMessageW(control, LB_SETCURSEL, SendMessageW(control, LB_GETCURSEL, 0, 0), 0);
  } else if (IsClass(item, 0x85, L"combobox")) {
    SendMessageW(control, CB_SETCURSEL, SendMessageW(control, CB_GETCURSEL, 0, 0), 0);
  }
}

}  // namespace

BOOL LayoutDialogFromTemplateData(HMODULE module, HWND dialog, const void* data, DWORD size) {
  std::vector<TemplateItem> items;
  if (!IsWindow(dialog) || !ParseTemplate(data, size, items)) return FALSE;
  int unnamed = 0;
  for (const TemplateItem& item : items)
    if (item.id == 0xFFFF) ++unnamed;
  HDWP batch = BeginDeferWindowPos(static_cast<int>(items.size()));
  std::vector<std::pair<HWND, const TemplateItem*>> placed;
  for (const TemplateItem& item : items) {
    if (item.id == 0xFFFF && unnamed > 1) continue;
    HWND control = GetDlgItem(dialog, static_cast<int>(item.id));
    if (!control) continue;
    RECT rect = item.rect;
    MapDialogRect(dialog, &rect);
    if (batch)
      batch = DeferWindowPos(batch, control, nullptr, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    placed.emplace_back(control, &item);
  }
  if (batch) EndDeferWindowPos(batch);
  for (const auto& p : placed) ApplyTemplateItemData(module, p.first, *p.second);
  return unnamed > 1 ? FALSE : TRUE;
}

BOOL LayoutDialogFromTemplate(HMODULE module, HWND dialog, LPCWSTR templateName) {
  HRSRC resource = module ? FindResourceW(module, templateName, RT_DIALOG) : nullptr;
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return FALSE;
  return LayoutDialogFromTemplateData(module, dialog, data, SizeofResource(module, resource));
}
