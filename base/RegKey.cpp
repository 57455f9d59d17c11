#include "base/RegKey.h"

#include <wchar.h>

namespace {

// Names of sub-keys and values are at most this long on the device.
const DWORD kMaxNameLength = 260;

BOOL g_flushAfterFailedCreate = FALSE;

}  // namespace

BOOL IsValidStringPtr(LPCWSTR text, int maxLength) {
  if (!text || IsBadReadPtr(text, sizeof(WCHAR))) return FALSE;
  // The length is measured one page at a time, so a text that runs into
  // unreadable memory is refused instead of faulting.
  static DWORD pageSize = 0;
  if (!pageSize) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    pageSize = info.dwPageSize;
  }
  size_t limit = maxLength < 0 ? static_cast<size_t>(-1) : static_cast<size_t>(maxLength);
  size_t length = 0;
  while (length < limit) {
    LPCWSTR at = text + length;
    if (IsBadReadPtr(at, sizeof(WCHAR))) return FALSE;
    size_t inPage = (pageSize - reinterpret_cast<ULONG_PTR>(at) % pageSize) / sizeof(WCHAR);
    if (inPage == 0) inPage = 1;  // a character across two pages, both readable
    if (inPage > limit - length) inPage = limit - length;
    size_t found = wcsnlen(at, inPage);
    length += found;
    if (found < inPage) break;
  }
  return !IsBadReadPtr(text + length, sizeof(WCHAR));
}

void CRegKey::SetFlushAfterFailedCreate(BOOL flush) { g_flushAfterFailedCreate = flush; }

CRegKey::CRegKey(HKEY root, LPCWSTR path, BOOL create, BOOL flushOnClose, DWORD access)
    : m_key(nullptr), m_disposition(0), m_enumIndex(0), m_flushOnClose(flushOnClose), m_written(FALSE),
      m_access(0) {
  LONG result;
  if (create) {
    result = RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, &m_key, &m_disposition);
    if (result != ERROR_SUCCESS && g_flushAfterFailedCreate) m_written = TRUE;
  } else {
    result = RegOpenKeyExW(root, path, 0, access, &m_key);
  }
  if (result != ERROR_SUCCESS) m_key = nullptr;
}

CRegKey::~CRegKey() {
  if (m_flushOnClose && m_written && m_key) RegFlushKey(m_key);
  if (m_key) RegCloseKey(m_key);
}

DWORD CRegKey::GetDWORD(LPCWSTR name, DWORD defaultValue) {
  // A stored value shorter than 4 bytes fills only part of the buffer.
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (m_key && RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
                   ERROR_SUCCESS)
    return value;
  if (defaultValue != kNoWriteBack && m_key)
    RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&defaultValue), sizeof(defaultValue));
  return defaultValue;
}

CString CRegKey::GetString(LPCWSTR name, LPCWSTR defaultValue) {
  if (!IsValidStringPtr(name)) return CString();
  CString text;
  if (ReadText(name, text)) return text;
  if (!IsValidStringPtr(defaultValue)) return CString();
  // A value of another type may belong to someone else's reader: answer the
  // default but leave the stored value alone.
  if (ValueExists(name)) return CString(defaultValue);
  SetString(name, defaultValue);
  return CString(defaultValue);
}

DWORD CRegKey::QueryDWORD(LPCWSTR name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (!m_key ||
      RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
    return 0;
  return value;
}

CString CRegKey::QueryString(LPCWSTR name) {
  CString text;
  if (!IsValidStringPtr(name) || !ReadText(name, text)) return CString();
  return text;
}

BOOL CRegKey::ReadText(LPCWSTR name, CString& text) {
  DWORD size = 0;
  DWORD type = REG_NONE;
  if (!m_key || RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return FALSE;
  // Numbers and blobs are not text; reading their bytes as characters would
  // hand out garbage.
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return FALSE;
  // The size is in bytes; as many characters and one more leave room for a
  // value stored without its terminator.
  LPWSTR buffer = text.GetBufferSetLength(static_cast<int>(size) + 1);
  if (!buffer) return FALSE;
  wmemset(buffer, 0, size + 1);
  DWORD bytes = (size + 1) * sizeof(WCHAR);
  if (RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS) {
    text.Empty();
    return FALSE;
  }
  text.ReleaseBuffer();
  return TRUE;
}

BOOL CRegKey::QueryValue(LPCWSTR name, void* buffer, DWORD* size) {
  if (buffer && size && *size != 0 && (IsBadReadPtr(buffer, *size) || IsBadWritePtr(buffer, *size))) return FALSE;
  if (!m_key) return FALSE;
  return RegQueryValueExW(m_key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), size) == ERROR_SUCCESS;
}

BOOL CRegKey::ValueExists(LPCWSTR name) {
  if (!m_key || !IsValidStringPtr(name)) return FALSE;
  return RegQueryValueExW(m_key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

BOOL CRegKey::SubKeyExists(LPCWSTR name) {
  if (!m_key) return FALSE;
  HKEY sub = nullptr;
  if (RegOpenKeyExW(m_key, name, 0, m_access, &sub) != ERROR_SUCCESS) return FALSE;
  RegCloseKey(sub);
  return TRUE;
}

BOOL CRegKey::SetDWORD(LPCWSTR name, DWORD value) {
  if (!IsValidStringPtr(name)) return FALSE;
  m_written = TRUE;
  if (!m_key) return FALSE;
  return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
         ERROR_SUCCESS;
}

BOOL CRegKey::SetString(LPCWSTR name, LPCWSTR text) {
  if (!IsValidStringPtr(name) || !IsValidStringPtr(text)) return FALSE;
  m_written = TRUE;
  if (!m_key) return FALSE;
  DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR));
  return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

BOOL CRegKey::SetBinary(LPCWSTR name, const void* data, DWORD size) {
  if (!data || IsBadReadPtr(data, size)) return FALSE;
  m_written = TRUE;
  if (!m_key) return FALSE;
  return RegSetValueExW(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

BOOL CRegKey::EnumFirstSubKey(CString& name) {
  m_enumIndex = 0;
  return Enum(name, FALSE);
}

BOOL CRegKey::EnumNextSubKey(CString& name) {
  ++m_enumIndex;
  return Enum(name, FALSE);
}

BOOL CRegKey::EnumFirstValue(CString& name) {
  m_enumIndex = 0;
  return Enum(name, TRUE);
}

BOOL CRegKey::EnumNextValue(CString& name) {
  ++m_enumIndex;
  return Enum(name, TRUE);
}

BOOL CRegKey::Enum(CString& name, BOOL values) {
  WCHAR buffer[kMaxNameLength + 1] = {};
  DWORD length = kMaxNameLength;
  LONG result = ERROR_INVALID_HANDLE;
  if (m_key) {
    result = values ? RegEnumValueW(m_key, m_enumIndex, buffer, &length, nullptr, nullptr, nullptr, nullptr)
                    : RegEnumKeyExW(m_key, m_enumIndex, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  }
  if (result != ERROR_SUCCESS) {
    name.Empty();
    return FALSE;
  }
  name = buffer;
  return TRUE;
}
