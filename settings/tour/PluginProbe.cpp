#include "settings/tour/PluginProbe.h"

#include <cstring>
#include <cwchar>
#include <mutex>

namespace {

using QueryFn = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using DrawFn = int(WINAPI*)(HDC, LPCWSTR, int, LPRECT, UINT);

struct Seen {
  unsigned sequence;
  bool read;  // else drawn
  std::wstring name, data;
};

// The hooks are plain functions, so what they see lives here.
struct ProbeState {
  std::mutex lock;
  std::vector<Seen> seen;
  unsigned sequence = 0;
  QueryFn query = nullptr;
  DrawFn draw = nullptr;
  bool attached = false;
};
ProbeState& State() {
  static ProbeState state;
  return state;
}

void Keep(bool read, const wchar_t* name, std::wstring data) {
  ProbeState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  state.seen.push_back({++state.sequence, read, name ? name : L"", std::move(data)});
}

LONG WINAPI ProbeQuery(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  DWORD ownType = REG_NONE;
  LPDWORD typeOut = type ? type : &ownType;
  const LONG result = State().query(key, name, reserved, typeOut, data, size);
  if (result == ERROR_SUCCESS && name && data && size) Keep(true, name, RegistryDataText(*typeOut, data, *size));
  return result;
}

int WINAPI ProbeDraw(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  if (text && !(format & DT_CALCRECT)) {
    const size_t length = count < 0 ? wcslen(text) : static_cast<size_t>(count);
    Keep(false, nullptr, std::wstring(text, length));
  }
  return State().draw(dc, text, count, rect, format);
}

// Points the module's import of function at replacement (or back at original when
// restoring); the first import found is kept in original. True when one was found.
bool PatchImport(HMODULE module, const char* function, void* replacement, void** original) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return false;
  bool found = false;
  for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
       ++library) {
    if (!library->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      void** slot = reinterpret_cast<void**>(&slots->u1.Function);
      if (*slot != replacement && !*original) *original = *slot;
      DWORD protection = 0;
      if (VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection)) {
        *slot = replacement;
        VirtualProtect(slot, sizeof(void*), protection, &protection);
        found = true;
      }
    }
  }
  return found;
}

}  // namespace

std::wstring RegistryDataText(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value = 0;
    std::memcpy(&value, data, sizeof value);
    return std::to_wstring(value);
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(&text[0], data, text.size() * sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
  }
  return std::wstring();
}

CPluginProbe::CPluginProbe() = default;

CPluginProbe::~CPluginProbe() { Detach(); }

bool CPluginProbe::Attach(const wchar_t* module) {
  HMODULE loaded = GetModuleHandleW(module);
  if (!loaded) return false;
  m_module = module;
  ProbeState& state = State();
  void* query = reinterpret_cast<void*>(state.query);
  void* draw = reinterpret_cast<void*>(state.draw);
  bool found = PatchImport(loaded, "RegQueryValueExW", reinterpret_cast<void*>(&ProbeQuery), &query);
  found = PatchImport(loaded, "DrawTextW", reinterpret_cast<void*>(&ProbeDraw), &draw) || found;
  state.query = reinterpret_cast<QueryFn>(query);
  state.draw = reinterpret_cast<DrawFn>(draw);
  state.attached = found;
  return found;
}

void CPluginProbe::Detach() {
  ProbeState& state = State();
  if (!state.attached || m_module.empty()) return;
  state.attached = false;
  HMODULE loaded = GetModuleHandleW(m_module.c_str());
  if (!loaded) return;
  void* ignored = nullptr;
  if (state.query) PatchImport(loaded, "RegQueryValueExW", reinterpret_cast<void*>(state.query), &ignored);
  if (state.draw) PatchImport(loaded, "DrawTextW", reinterpret_cast<void*>(state.draw), &ignored);
}

unsigned CPluginProbe::Mark() const {
  ProbeState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  return state.sequence;
}

bool CPluginProbe::LastReadSince(unsigned mark, const wchar_t* value, std::wstring& data) const {
  ProbeState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  for (auto it = state.seen.rbegin(); it != state.seen.rend() && it->sequence > mark; ++it)
    if (it->read && _wcsicmp(it->name.c_str(), value) == 0) {
      data = it->data;
      return true;
    }
  return false;
}

std::vector<std::wstring> CPluginProbe::DrawnSince(unsigned mark) const {
  ProbeState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  std::vector<std::wstring> texts;
  for (const Seen& seen : state.seen)
    if (seen.sequence > mark && !seen.read) texts.push_back(seen.data);
  return texts;
}
