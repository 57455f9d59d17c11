#include "settings/shell/SettingsFile.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/RegKey.h"

namespace {

enum : DWORD { kTagFile = 0, kTagEnd = 1, kTagKey = 2, kTagEndKey = 3, kTagValue = 4 };

// HKEY_LOCAL_MACHINE as the file stores it: the handle value cut to 32 bits.
const DWORD kLocalMachine = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(HKEY_LOCAL_MACHINE));
// A settings file is a few kilobytes; anything near this is not one of ours.
const size_t kMaxFileSize = 16 * 1024 * 1024;
// The product key is a few levels deep; a file nesting deeper is refused rather than
// followed down the stack.
const int kMaxDepth = 64;

// ---------------------------------------------------------------------------
// Writing

class CFileWriter {
 public:
  void U32(DWORD value) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
  }
  void Block(const void* data, DWORD size) {
    U32(size);
    const BYTE* bytes = static_cast<const BYTE*>(data);
    if (size) m_bytes.insert(m_bytes.end(), bytes, bytes + size);
  }
  void String(LPCWSTR text, int length) {
    // Little-endian UTF-16 whatever the host, without terminator.
    U32(static_cast<DWORD>(length) * 2);
    for (int i = 0; i < length; ++i) {
      m_bytes.push_back(static_cast<BYTE>(text[i] & 0xFF));
      m_bytes.push_back(static_cast<BYTE>(text[i] >> 8));
    }
  }
  void String(const CString& text) { String(text, text.GetLength()); }
  const std::vector<BYTE>& Bytes() const { return m_bytes; }

 private:
  std::vector<BYTE> m_bytes;
};

BOOL ExportValue(const CExportExclusions& exclusions, CFileWriter& out, CRegKey& key, const CString& name) {
  if (!exclusions.IsExportAllowed(name)) return TRUE;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.GetHandle(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) type = 0;
  out.U32(kTagValue);
  out.String(name);
  out.U32(type);
  switch (type) {
    case REG_SZ:
      out.String(key.GetString(name, nullptr));
      return TRUE;
    case REG_DWORD: {
      // A number of another size has no faithful u32; it is refused, not made up.
      DWORD value = 0, read = sizeof(value);
      if (size != sizeof(value) || !key.QueryValue(name, &value, &read) || read != sizeof(value)) return FALSE;
      out.U32(value);
      return TRUE;
    }
    case REG_BINARY: {
      DWORD length = 0;
      if (!key.QueryValue(name, nullptr, &length)) return FALSE;
      if (length == 0) {
        out.U32(0);
        return TRUE;
      }
      std::vector<BYTE> data(length);
      DWORD read = length;
      if (!key.QueryValue(name, data.data(), &read) || read != length) return FALSE;
      out.Block(data.data(), length);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

BOOL ExportKey(const CExportExclusions& exclusions, CFileWriter& out, HKEY parent, LPCWSTR name) {
  CRegKey key(parent, name ? name : L"", FALSE, TRUE);
  if (!key.IsOpen()) return FALSE;
  out.U32(kTagKey);
  if (name)
    out.String(name, lstrlenW(name));
  else
    out.U32(0);
  // The enumeration ends early at a name it cannot hold; the counts tell, so that no
  // value is left out of the file unnoticed.
  DWORD values = 0, subKeys = 0;
  if (RegQueryInfoKeyW(key.GetHandle(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return FALSE;
  CString item;
  DWORD seen = 0;
  for (BOOL more = key.EnumFirstValue(item); more; more = key.EnumNextValue(item), ++seen)
    if (!ExportValue(exclusions, out, key, item)) return FALSE;
  if (seen != values) return FALSE;
  seen = 0;
  for (BOOL more = key.EnumFirstSubKey(item); more; more = key.EnumNextSubKey(item), ++seen)
    if (!ExportKey(exclusions, out, key.GetHandle(), item)) return FALSE;
  if (seen != subKeys) return FALSE;
  out.U32(kTagEndKey);
  return TRUE;
}

BOOL WriteWholeFile(LPCWSTR path, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  if (!ok) DeleteFileW(path);
  return ok;
}

// ---------------------------------------------------------------------------
// Reading: the file is parsed whole into a list of steps, and written only when
// every byte of it made sense.

struct ImportStep {
  enum Kind { kEnterKey, kLeaveKey, kValue } kind;
  std::wstring name;
  DWORD type;
  std::wstring text;
  std::vector<BYTE> data;
  DWORD number;
};

class CFileReader {
 public:
  CFileReader(const BYTE* data, size_t size) : m_at(data), m_left(size) {}

  bool U32(DWORD& value) {
    if (m_left < 4) return false;
    value = static_cast<DWORD>(m_at[0]) | static_cast<DWORD>(m_at[1]) << 8 | static_cast<DWORD>(m_at[2]) << 16 |
            static_cast<DWORD>(m_at[3]) << 24;
    Skip(4);
    return true;
  }
  // The text up to its first zero character, if any. A count that is not a whole
  // number of characters was not written by an export.
  bool String(std::wstring& text) {
    DWORD count = 0;
    if (!U32(count) || count % 2 || count > m_left) return false;
    text.clear();
    for (DWORD i = 0; i < count; i += 2) {
      wchar_t c = static_cast<wchar_t>(m_at[i] | m_at[i + 1] << 8);
      if (c == L'\0') break;
      text.push_back(c);
    }
    Skip(count);
    return true;
  }
  bool Block(std::vector<BYTE>& data) {
    DWORD count = 0;
    if (!U32(count) || count > m_left) return false;
    data.assign(m_at, m_at + count);
    Skip(count);
    return true;
  }

 private:
  void Skip(size_t count) {
    m_at += count;
    m_left -= count;
  }
  const BYTE* m_at;
  size_t m_left;
};

bool ParseValue(CFileReader& in, std::vector<ImportStep>& steps) {
  ImportStep step{ImportStep::kValue, {}, 0, {}, {}, 0};
  if (!in.String(step.name) || !in.U32(step.type)) return false;
  switch (step.type) {
    case REG_SZ:
      if (!in.String(step.text)) return false;
      break;
    case REG_DWORD:
      if (!in.U32(step.number)) return false;
      break;
    case REG_BINARY:
      if (!in.Block(step.data)) return false;
      break;
    default:
      return false;
  }
  steps.push_back(std::move(step));
  return true;
}

bool ParseKey(CFileReader& in, std::vector<ImportStep>& steps, int depth) {
  if (depth > kMaxDepth) return false;
  ImportStep enter{ImportStep::kEnterKey, {}, 0, {}, {}, 0};
  if (!in.String(enter.name)) return false;
  steps.push_back(std::move(enter));
  for (;;) {
    DWORD tag = 0;
    if (!in.U32(tag)) return false;
    if (tag == kTagEndKey || tag == kTagEnd) break;
    if (tag == kTagKey) {
      if (!ParseKey(in, steps, depth + 1)) return false;
    } else if (tag == kTagValue) {
      if (!ParseValue(in, steps)) return false;
    }
    // Any other number is passed over, as the format has always allowed.
  }
  steps.push_back(ImportStep{ImportStep::kLeaveKey, {}, 0, {}, {}, 0});
  return true;
}

// The product key as a file names it: any letter case, with or without the leading "\".
bool IsProductKeyPath(const std::wstring& path) {
  LPCWSTR product = TARVO_PRODUCT_KEY;
  LPCWSTR given = path.c_str();
  if (*given == L'\\') ++given;
  if (*product == L'\\') ++product;
  return CompareStringOrdinal(given, -1, product, -1, TRUE) == CSTR_EQUAL;
}

void ApplySteps(const std::vector<ImportStep>& steps) {
  CRegKey root(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, TRUE, TRUE);
  std::vector<std::unique_ptr<CRegKey>> open;
  for (const ImportStep& step : steps) {
    HKEY parent = open.empty() ? root.GetHandle() : open.back()->GetHandle();
    switch (step.kind) {
      case ImportStep::kEnterKey:
        // An empty name is the parent itself; every name is relative, so nothing
        // leaves the product key.
        open.push_back(std::make_unique<CRegKey>(parent, step.name.c_str(), !step.name.empty(), TRUE));
        break;
      case ImportStep::kLeaveKey:
        if (!open.empty()) open.pop_back();
        break;
      case ImportStep::kValue: {
        if (open.empty()) break;
        CRegKey& key = *open.back();
        if (step.type == REG_SZ)
          key.SetString(step.name.c_str(), step.text.c_str());
        else if (step.type == REG_DWORD)
          key.SetDWORD(step.name.c_str(), step.number);
        else {
          // An empty block is still a value: it is written with no bytes.
          static const BYTE kNothing = 0;
          key.SetBinary(step.name.c_str(), step.data.empty() ? &kNothing : step.data.data(),
                        static_cast<DWORD>(step.data.size()));
        }
        break;
      }
    }
  }
}

}  // namespace

void CExportExclusions::AddExportExclusion(LPCWSTR name) {
  CString upper(name ? name : L"");
  upper.MakeUpper();
  m_names.Add(upper);
}

BOOL CExportExclusions::IsExportAllowed(LPCWSTR name) const {
  CString upper(name ? name : L"");
  upper.MakeUpper();
  for (int i = 0; i < m_names.GetSize(); ++i)
    if (m_names[i] == upper) return FALSE;
  return TRUE;
}

BOOL ExportSettings(const CExportExclusions& exclusions, LPCWSTR path, HKEY root, LPCWSTR keyPath) {
  if (!path || !keyPath) return FALSE;
  try {
    CRegKey key(root, keyPath, FALSE, TRUE);
    if (!key.IsOpen()) return FALSE;
    CFileWriter out;
    out.U32(kTagFile);
    out.U32(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(root)));
    out.String(keyPath, lstrlenW(keyPath));
    if (!ExportKey(exclusions, out, key.GetHandle(), nullptr)) return FALSE;
    out.U32(kTagEnd);
    // The file is made only once its whole content is known, so a failed export
    // leaves no partial file and never truncates an older one.
    return WriteWholeFile(path, out.Bytes());
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

ImportResult ImportSettingsBytes(const BYTE* data, size_t size) {
  if (!data && size) return kImportMalformed;
  try {
    CFileReader in(data, size);
    DWORD mark = 1, root = 0, tag = 0;
    std::wstring path;
    if (!in.U32(mark) || mark != kTagFile || !in.U32(root) || !in.String(path)) return kImportMalformed;
    if (root != kLocalMachine || !IsProductKeyPath(path)) return kImportForeignKey;
    std::vector<ImportStep> steps;
    if (!in.U32(tag) || tag != kTagKey || !ParseKey(in, steps, 0)) return kImportMalformed;
    if (!in.U32(tag) || tag != kTagEnd) return kImportMalformed;
    ApplySteps(steps);
    return kImportDone;
  } catch (const std::bad_alloc&) {
    return kImportUnreadable;
  }
}

ImportResult ImportSettingsFile(LPCWSTR path) {
  if (!path) return kImportUnreadable;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return kImportUnreadable;
  ImportResult result = kImportUnreadable;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 && static_cast<ULONGLONG>(size.QuadPart) <= kMaxFileSize) {
    try {
      std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
      DWORD read = 0;
      if (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size()) {
        CloseHandle(file);
        return ImportSettingsBytes(bytes.data(), bytes.size());
      }
    } catch (const std::bad_alloc&) {
    }
  }
  CloseHandle(file);
  return result;
}

LPCWSTR GetImportErrorText(ImportResult result) {
  switch (result) {
    case kImportDone:
      return L"";
    case kImportForeignKey:
      return L"Error import settings: the file is not a Qel Tarvo settings file (it names another registry key). "
             L"Nothing was imported.";
    default:
      return L"Error import settings";
  }
}
