#include "base/MruList.h"

#include "platform/windowlib/SimpleMap.h"

#include <wchar.h>

namespace {

// The positive number a value name starts with, or 0.
int SlotNumber(LPCWSTR name) {
  if (!name || name[0] < L'0' || name[0] > L'9') return 0;
  long n = wcstol(name, nullptr, 10);
  return n > 0 && n < 0x7FFFFFFF ? static_cast<int>(n) : 0;
}

HKEY OpenKey(const CString& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return nullptr;
  return key;
}

CString ReadString(HKEY key, LPCWSTR name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
      size < sizeof(WCHAR))
    return CString();
  CString text;
  LPWSTR buffer = text.GetBuffer(static_cast<int>(size / sizeof(WCHAR)) + 1);
  if (!buffer || RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
                     ERROR_SUCCESS)
    return CString();
  buffer[size / sizeof(WCHAR)] = 0;
  text.ReleaseBuffer();
  return text;
}

// Every value name of the key.
void ValueNames(HKEY key, CStringList& names) {
  WCHAR name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    LONG result = RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    names.Add(name);
  }
}

}  // namespace

CMruList::CMruList(LPCWSTR keyPath, int limit) : m_limit(limit), m_keyPath(keyPath) {}

int CMruList::Load() {
  m_entries.RemoveAll();
  HKEY key = OpenKey(m_keyPath);
  if (!key) return 0;
  CStringList names;
  ValueNames(key, names);
  CSimpleMap<int, CString> slots;
  for (int i = 0; i < names.GetCount(); ++i) {
    int n = SlotNumber(names[i]);
    if (n > 0) slots.SetAt(n - 1, ReadString(key, names[i]));
  }
  int contributions = 0;
  for (int i = 0; i < names.GetCount(); ++i)
    if (SlotNumber(names[i]) > 0) ++contributions;
  for (int slot = 0; slot < contributions; ++slot) {
    int at = slots.FindKey(slot);
    if (at >= 0 && !slots.GetValueAt(at).IsEmpty()) m_entries.Add(slots.GetValueAt(at));
  }
  RegFlushKey(key);
  RegCloseKey(key);
  return m_entries.GetCount();
}

BOOL CMruList::Save() const {
  HKEY key = OpenKey(m_keyPath);
  if (!key) return FALSE;
  BOOL done = TRUE;
  for (int i = 0; i < m_entries.GetCount(); ++i) {
    WCHAR name[16];
    swprintf(name, 16, L"%d", i + 1);
    const CString& text = m_entries[i];
    if (RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                       (text.GetLength() + 1) * sizeof(WCHAR)) != ERROR_SUCCESS)
      done = FALSE;
  }
  CStringList names;
  ValueNames(key, names);
  for (int i = 0; i < names.GetCount(); ++i)
    if (SlotNumber(names[i]) > m_entries.GetCount() && RegDeleteValueW(key, names[i]) != ERROR_SUCCESS)
      done = FALSE;
  RegFlushKey(key);
  RegCloseKey(key);
  return done;
}

void CMruList::Add(LPCWSTR text) {
  int at = Find(text);
  if (at >= 0) {
    MoveToFront(at);
    return;
  }
  m_entries.InsertAt(0, text);
  while (m_entries.GetCount() > m_limit && m_entries.GetCount() > 0) m_entries.RemoveAt(m_entries.GetCount() - 1);
}

void CMruList::MoveToFront(int index) {
  if (index <= 0 || index >= m_entries.GetCount()) return;
  CString text = m_entries[index];
  m_entries.RemoveAt(index);
  m_entries.InsertAt(0, text);
}

CString CMruList::GetAt(int index) const {
  return index >= 0 && index < m_entries.GetCount() ? m_entries[index] : CString();
}
