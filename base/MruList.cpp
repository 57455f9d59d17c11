#include "base/MruList.h"

#include "base/RegKey.h"
#include "platform/windowlib/SimpleMap.h"

#include <wchar.h>

namespace {

// The positive number a value name starts with, or 0.
int SlotNumber(LPCWSTR name) {
  if (!name || name[0] < L'0' || name[0] > L'9') return 0;
  long n = wcstol(name, nullptr, 10);
  return n > 0 && n < 0x7FFFFFFF ? static_cast<int>(n) : 0;
}

// Every value name of the key.
void ValueNames(CRegKey& key, CStringList& names) {
  CString name;
  for (BOOL more = key.EnumFirstValue(name); more; more = key.EnumNextValue(name)) names.Add(name);
}

}  // namespace

CMruList::CMruList(LPCWSTR keyPath, int limit) : m_limit(limit), m_keyPath(keyPath) {}

int CMruList::Load() {
  m_entries.RemoveAll();
  CRegKey key(HKEY_LOCAL_MACHINE, m_keyPath);
  if (!key.IsOpen()) return 0;
  CStringList names;
  ValueNames(key, names);
  CSimpleMap<int, CString> slots;
  int contributions = 0;
  for (int i = 0; i < names.GetCount(); ++i) {
    int n = SlotNumber(names[i]);
    if (n <= 0) continue;
    ++contributions;
    slots.SetAt(n - 1, key.QueryString(names[i]));
  }
  for (int slot = 0; slot < contributions; ++slot) {
    int at = slots.FindKey(slot);
    if (at >= 0 && !slots.GetValueAt(at).IsEmpty()) m_entries.Add(slots.GetValueAt(at));
  }
  return m_entries.GetCount();
}

BOOL CMruList::Save() const {
  CRegKey key(HKEY_LOCAL_MACHINE, m_keyPath);
  if (!key.IsOpen()) return FALSE;
  BOOL done = TRUE;
  for (int i = 0; i < m_entries.GetCount(); ++i) {
    WCHAR name[16];
    swprintf(name, 16, L"%d", i + 1);
    if (!key.SetString(name, m_entries[i])) done = FALSE;
  }
  // Values past the count would come back on the next Load.
  CStringList names;
  ValueNames(key, names);
  bool deleted = false;
  for (int i = 0; i < names.GetCount(); ++i) {
    if (SlotNumber(names[i]) <= m_entries.GetCount()) continue;
    if (RegDeleteValueW(key.GetHandle(), names[i]) != ERROR_SUCCESS) done = FALSE;
    deleted = true;
  }
  if (deleted) RegFlushKey(key.GetHandle());
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
