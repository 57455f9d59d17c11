#include "pim/CategoryColors.h"

#include <algorithm>

#include "base/RegKey.h"
#include "pim/CategoryIcons.h"

namespace {

BOOL g_writeMissing = FALSE;

}  // namespace

CString CategoryColorValueName(LPCWSTR name) { return CString(name); }

void CCategoryColors::SetWriteMissingColors(BOOL write) { g_writeMissing = write ? TRUE : FALSE; }
BOOL CCategoryColors::IsWriteMissingColors() { return g_writeMissing; }

void CCategoryColors::Clear() {
  m_colors.clear();
  m_names.clear();
}

void CCategoryColors::Load(const std::vector<CString>& names) {
  Clear();
  m_names = names;
  m_colors.assign(names.size(), CColorValue());
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_COLORS_KEY, g_writeMissing);
  if (!key.IsOpen()) return;
  for (size_t i = 0; i < names.size(); ++i) {
    const CString& name = names[i];
    if (name.IsEmpty()) continue;
    const CString valueName = CategoryColorValueName(name);
    DWORD packed = kNone;
    if (key.ValueExists(valueName)) {
      packed = key.QueryDWORD(valueName);
    } else {
      // The name older builds used, unless a category of that exact name owns it.
      const CString legacy = UnescapeFileName(name);
      if (legacy != name && std::find(names.begin(), names.end(), legacy) == names.end() &&
          key.ValueExists(legacy)) {
        packed = key.QueryDWORD(legacy);
      } else if (g_writeMissing) {
        key.SetDWORD(valueName, kNone);
      }
    }
    if (packed != kNone) m_colors[i].Unpack(packed);
  }
}

COLORREF CCategoryColors::GetColor(int index) const {
  if (index < 0 || index >= GetCount()) return kNone;
  return m_colors[index].GetColor();
}

int CCategoryColors::GetBlend(int index) const {
  if (index < 0 || index >= GetCount()) return -1;
  return m_colors[index].GetBlend();
}

BOOL CCategoryColors::Write(int index) {
  if (m_names[index].IsEmpty()) return FALSE;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_COLORS_KEY);
  const CColorValue& value = m_colors[index];
  return key.SetDWORD(CategoryColorValueName(m_names[index]), value.IsNone() ? kNone : value.Pack());
}

BOOL CCategoryColors::SetColor(int index, COLORREF color) {
  if (index < 0 || index >= GetCount() || m_names[index].IsEmpty()) return FALSE;
  m_colors[index].SetColor(color);
  return Write(index);
}

BOOL CCategoryColors::SetBlend(int index, int percent) {
  if (index < 0 || index >= GetCount() || m_names[index].IsEmpty()) return FALSE;
  m_colors[index].SetBlend(percent);
  return Write(index);
}

COLORREF CCategoryColors::GetItemColor(const CBitSet& set, COLORREF base) const {
  for (int i = set.FindNext(0); i >= 0 && i < GetCount(); i = set.FindNext(i + 1))
    if (!m_colors[i].IsNone()) return m_colors[i].Blend(base);
  return base;
}
