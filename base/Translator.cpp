#include "base/Translator.h"

#include "platform/windowlib/Module.h"

#include <new>

namespace {

INT_PTR CALLBACK HandleNothing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

const int kWindowTextChars = 4096;
const int kTemplateTextChars = 4000;
const UINT kDialogInitType = 240;

bool IsComboBox(HWND window) {
  WCHAR name[32];
  // Class names differ in case between platforms ("combobox", "ComboBox").
  return GetClassNameW(window, name, 32) > 0 && lstrcmpiW(name, L"combobox") == 0;
}

// At most size - 1 characters and a terminator; the number copied.
int CopyText(LPCWSTR text, LPWSTR buffer, int size) {
  if (!buffer || size < 1) return 0;
  int length = 0;
  for (; length < size - 1 && text[length]; ++length) buffer[length] = text[length];
  buffer[length] = 0;
  return length;
}

bool IsLineEnd(WCHAR c) { return c == L'\r' || c == L'\n' || c == 0; }

// Decodes one field from *read up to '|', a line end or end; the decoded text
// is written at *write and terminated there. Returns the character that ended
// the field (0 at the end of the text).
WCHAR DecodeField(WCHAR*& read, WCHAR*& write, WCHAR* end) {
  WCHAR stop = 0;
  while (read < end) {
    WCHAR c = *read;
    if (c == L'|' || IsLineEnd(c)) {
      stop = c == 0 ? L'\n' : c;
      break;
    }
    ++read;
    if (c == L'\\') {
      if (read >= end) break;  // a backslash last in the file ends the text
      c = *read++;
      if (c == L'n')
        c = L'\n';
      else if (c == L'r')
        c = L'\r';
    }
    *write++ = c;
  }
  // write <= read here: decoding only shortens, and the stop character has
  // been looked at before it is overwritten.
  *write++ = 0;
  if (read < end) ++read;
  return stop;
}

void AddText(CTextSet& set, LPCWSTR text, int length) {
  if (length > kTemplateTextChars) length = kTemplateTextChars;
  if (length > 0) set.Add(CString(text, length));
}

void AddWindowText(CTextSet& set, HWND window) {
  WCHAR text[kTemplateTextChars + 1];
  AddText(set, text, GetWindowTextW(window, text, kTemplateTextChars + 1));
}

// FALSE for an item whose length query fails.
bool ComboItemText(HWND combo, int index, CString& text) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR || length < 0) return false;
  LPWSTR buffer = text.GetBuffer(static_cast<int>(length) + 1);
  if (!buffer) return false;
  LRESULT got = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer(got == CB_ERR ? 0 : static_cast<int>(got));
  return true;
}

void AddComboItems(CTextSet& set, HWND combo) {
  // A drop-down list fills when it is first shown.
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    CString text;
    if (ComboItemText(combo, i, text)) AddText(set, text, text.GetLength());
  }
}

// Companion data of a dialog: records {word (0 ends), kind, 32-bit byte count,
// data}; the list-box and combo-box add-string kinds carry UTF-16 texts.
void AddDialogInitTexts(CTextSet& set, const BYTE* data, DWORD size) {
  DWORD at = 0;
  while (at + 2 <= size) {
    WORD control = static_cast<WORD>(data[at] | (data[at + 1] << 8));
    if (control == 0 || at + 8 > size) break;
    WORD kind = static_cast<WORD>(data[at + 2] | (data[at + 3] << 8));
    DWORD count = data[at + 4] | (data[at + 5] << 8) | (data[at + 6] << 16) |
                  (static_cast<DWORD>(data[at + 7]) << 24);
    at += 8;
    if (count > size - at) break;
    if (kind == 0x401 || kind == 0x403 || kind == 0x180 || kind == 0x143) {
      CString text;
      for (DWORD i = 0; i + 1 < count; i += 2) {
        WCHAR c = static_cast<WCHAR>(data[at + i] | (data[at + i + 1] << 8));
        if (!c) break;
        text += c;
      }
      AddText(set, text, text.GetLength());
    }
    at += count;
  }
}

void AddMenuTexts(CTextSet& set, HMENU menu, int depth) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count && i < 256; ++i) {
    WCHAR text[1001];
    AddText(set, text, GetMenuStringW(menu, i, text, 1001, MF_BYPOSITION));
    HMENU sub = GetSubMenu(menu, i);
    if (sub && depth < 16) AddMenuTexts(set, sub, depth + 1);
  }
}

bool ResourceExists(HINSTANCE module, UINT id, LPCWSTR type) {
  return FindResourceW(module, MAKEINTRESOURCEW(id), type) != nullptr;
}

void Escape(CString& out, const CString& text) {
  for (int i = 0; i < text.GetLength(); ++i) {
    WCHAR c = text[i];
    if (c == L'\n') {
      out += L"\\n";
    } else if (c == L'\r') {
      out += L"\\r";
    } else {
      if (c == L'\\' || c == L'|') out += L'\\';
      out += c;
    }
  }
}

}  // namespace

HWND CTranslator::CreateDialogFromResource(HINSTANCE instance, UINT id, HWND parent) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  auto* dialog = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (!dialog) return nullptr;
  return CreateDialogIndirectParamW(instance, dialog, parent, HandleNothing, 0);
}

void CTranslator::Clear() {
  m_map.RemoveAll();
  delete[] m_text;
  m_text = nullptr;
}

LPCWSTR CTranslator::Translate(LPCWSTR text) const {
  if (!text || !*text) return L"";
  LPCWSTR found = m_map.Lookup(text);
  return found && *found ? found : text;
}

int CTranslator::Translate(LPCWSTR text, LPWSTR buffer, int size) const {
  return CopyText(Translate(text), buffer, size);
}

int CTranslator::LoadString(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
  if (!buffer || size < 1) return 0;
  // The whole text is looked up, not what fits the caller's buffer: a source
  // cut to the buffer would never match its line in the language file.
  LPCWSTR resource = nullptr;
  int length = ::LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&resource), 0);
  if (length <= 0 || !resource) {
    buffer[0] = 0;
    return 0;
  }
  CString source(resource, length);
  LPCWSTR found = m_map.Lookup(source);
  return CopyText(found && *found ? found : source.GetString(), buffer, size);
}

BOOL CTranslator::TranslateWindowText(HWND window) {
  WCHAR text[kWindowTextChars];
  if (GetWindowTextW(window, text, kWindowTextChars) <= 0) return FALSE;
  LPCWSTR found = m_map.Lookup(text);
  return found && *found && SetWindowTextW(window, found);
}

void CTranslator::TranslateDialog(HWND dialog) {
  if (!IsWindow(dialog)) return;
  TranslateWindowText(dialog);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    TranslateWindowText(child);
    if (IsComboBox(child)) TranslateComboBox(child);
  }
}

void CTranslator::TranslateComboBox(HWND combo) {
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    CString text;
    if (!ComboItemText(combo, i, text)) continue;
    LPCWSTR found = text.IsEmpty() ? nullptr : m_map.Lookup(text);
    if (!found || !*found) continue;
    // The item goes and comes back: its data and the selection would not.
    LRESULT data = SendMessageW(combo, CB_GETITEMDATA, i, 0);
    LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    SendMessageW(combo, CB_DELETESTRING, i, 0);
    LRESULT at = SendMessageW(combo, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(found));
    if (at == CB_ERR || at == CB_ERRSPACE) continue;
    SendMessageW(combo, CB_SETITEMDATA, at, data);
    if (selected != CB_ERR && SendMessageW(combo, CB_GETCURSEL, 0, 0) != selected)
      SendMessageW(combo, CB_SETCURSEL, selected, 0);
  }
}

void CTranslator::TranslateMenu(HMENU menu) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    WCHAR text[kWindowTextChars];
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = kWindowTextChars;
    if (!GetMenuItemInfoW(menu, i, TRUE, &info)) break;
    if (info.dwTypeData && info.cch > 0) {
      LPCWSTR found = m_map.Lookup(text);
      if (found && *found) {
        MENUITEMINFOW set = {};
        set.cbSize = sizeof(set);
        set.fMask = MIIM_STRING;
        set.dwTypeData = const_cast<LPWSTR>(found);
        SetMenuItemInfoW(menu, i, TRUE, &set);
      }
    }
    if (info.hSubMenu) TranslateMenu(info.hSubMenu);
  }
}

void CTranslator::Parse(WCHAR* text, int length) {
  WCHAR* read = text;
  WCHAR* write = text;
  WCHAR* end = text + length;
  while (read < end) {
    if (IsLineEnd(*read)) {
      ++read;
      continue;
    }
    WCHAR* source = write;
    WCHAR stop = DecodeField(read, write, end);
    if (stop != L'|') continue;  // no separator: the line is ignored
    WCHAR* translation = write;
    stop = DecodeField(read, write, end);
    // A second '|' ends the translation; the rest of its line is ignored.
    if (stop == L'|')
      while (read < end && !IsLineEnd(*read)) ++read;
    if (*source && *translation) m_map.SetAt(source, translation);
  }
}

BOOL CTranslator::LoadTextFile(LPCWSTR path) {
  Clear();
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WriteTemplate(path);

  BOOL loaded = FALSE;
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  BYTE mark[2] = {};
  DWORD got = 0;
  // Files past a gigabyte are no language file; refusing them keeps the
  // arithmetic below in range.
  if (size != INVALID_FILE_SIZE && high == 0 && size < 0x40000000 &&
      ReadFile(file, mark, 2, &got, nullptr)) {
    if (got == 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
      if (size >= 3) {
        int chars = static_cast<int>((size - 2) / 2);
        m_text = new (std::nothrow) WCHAR[chars + 1];
        DWORD read = 0;
        if (m_text && ReadFile(file, m_text, size - 2, &read, nullptr) && read == size - 2) {
          m_text[chars] = 0;
          Parse(m_text, chars);
          loaded = TRUE;
        }
      }
    } else {
      BYTE* bytes = new (std::nothrow) BYTE[size + 1];
      DWORD read = 0;
      if (bytes && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
          ReadFile(file, bytes, size, &read, nullptr) && read == size) {
        int chars = size ? MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, reinterpret_cast<LPCSTR>(bytes),
                                               static_cast<int>(size), nullptr, 0)
                         : 0;
        m_text = new (std::nothrow) WCHAR[chars + 1];
        if (m_text && (size == 0 || chars > 0)) {
          if (chars)
            MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, reinterpret_cast<LPCSTR>(bytes),
                                static_cast<int>(size), m_text, chars);
          m_text[chars] = 0;
          Parse(m_text, chars);
          loaded = TRUE;
        }
      }
      delete[] bytes;
    }
  }
  CloseHandle(file);
  if (!loaded) Clear();
  return loaded;
}

BOOL CTranslator::WriteTemplate(LPCWSTR path) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;

  HINSTANCE module = m_module ? m_module : ::GetModule().GetResourceInstance();
  if (!module) module = GetModuleHandleW(nullptr);
  CTextSet texts;

  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_CAPTION, 0, 0, 16, 16, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  for (UINT id = 1; id <= 30720; ++id) {
    if (!ResourceExists(module, id, RT_DIALOG)) continue;
    HWND dialog = CreateDialogFromResource(module, id, parent);
    if (dialog) {
      AddWindowText(texts, dialog);
      for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        AddWindowText(texts, child);
        if (IsComboBox(child)) AddComboItems(texts, child);
      }
      DestroyWindow(dialog);
    }
    HRSRC init = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kDialogInitType));
    HGLOBAL loaded = init ? LoadResource(module, init) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) AddDialogInitTexts(texts, static_cast<const BYTE*>(data), SizeofResource(module, init));
  }
  if (parent) DestroyWindow(parent);

  for (UINT id = 1; id <= 65534; ++id) {
    if (!ResourceExists(module, id, RT_MENU)) continue;
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id));
    if (!menu) continue;
    AddMenuTexts(texts, menu, 0);
    DestroyMenu(menu);
  }

  // Strings come in blocks of 16; ids 57344-64999 are the framework's own.
  for (UINT block = 0; block < 4096; ++block) {
    if (!ResourceExists(module, block + 1, RT_STRING)) continue;
    for (UINT id = block * 16; id < block * 16 + 16 && id <= 65534; ++id) {
      if (id >= 57344 && id < 65000) continue;
      WCHAR text[kTemplateTextChars + 1];
      AddText(texts, text, ::LoadStringW(module, id, text, kTemplateTextChars + 1));
    }
  }

  CString out;
  out += static_cast<WCHAR>(0xFEFF);
  for (int position = texts.GetStartPosition(); position;) {
    Escape(out, texts.GetNext(position));
    out += L"|\r\n";
  }
  DWORD bytes = static_cast<DWORD>(out.GetLength()) * sizeof(WCHAR);
  DWORD written = 0;
  BOOL done = WriteFile(file, out.GetString(), bytes, &written, nullptr) && written == bytes;
  CloseHandle(file);
  return done;
}

CTranslator& GetTranslator() {
  static CTranslator translator;
  return translator;
}

int LoadResString(CTranslator& translator, CString& out, UINT id) {
  WCHAR buffer[1024];
  int length = translator.LoadString(::GetModule().GetResourceInstance(), id, buffer, 1024);
  out = CString(buffer, length);
  return length;
}

int LoadTranslatedString(CString& out, UINT id) { return LoadResString(GetTranslator(), out, id); }

void TranslateText(CTranslator& translator, CString& out, LPCWSTR text) {
  WCHAR buffer[1024];
  int length = translator.Translate(text, buffer, 1024);
  out = CString(buffer, length);
}

void TranslateText(LPCWSTR text, CString& out) { TranslateText(GetTranslator(), out, text); }

int TranslateTextTo(LPCWSTR text, LPWSTR buffer, int size) {
  return GetTranslator().Translate(text, buffer, size);
}

namespace {

// Skips a menu or class field: 0, 0xFFFF and an ordinal, or a text.
const WORD* SkipSzOrOrd(const WORD* p) {
  if (*p == 0) return p + 1;
  if (*p == 0xFFFF) return p + 2;
  while (*p) ++p;
  return p + 1;
}

}  // namespace

LPCWSTR GetDialogTemplateTitle(const void* dialogTemplate) {
  if (!dialogTemplate) return nullptr;
  const WORD* p = static_cast<const WORD*>(dialogTemplate);
  // An extended template starts with version 1 and the signature 0xFFFF and
  // has a 26-byte fixed part; the classic one has 18 bytes.
  bool extended = p[0] == 1 && p[1] == 0xFFFF;
  p += extended ? 13 : 9;
  p = SkipSzOrOrd(p);
  p = SkipSzOrOrd(p);
  return reinterpret_cast<LPCWSTR>(p);
}
