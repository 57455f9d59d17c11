// What the plug-in does, seen from the process that loaded it: every registry value
// it reads (with the data it got) and every text it draws. The probe takes the
// plug-in's own imports of RegQueryValueExW and DrawTextW, so it sees the plug-in
// alone, not the program around it. One probe at a time.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CPluginProbe {
 public:
  CPluginProbe();
  ~CPluginProbe();
  CPluginProbe(const CPluginProbe&) = delete;
  CPluginProbe& operator=(const CPluginProbe&) = delete;

  // Watches the loaded module; again after the module was loaded anew. False when
  // it is not loaded or imports neither call.
  bool Attach(const wchar_t* module = L"QelTarvo.dll");
  // Gives the module back its own imports, when it is still loaded.
  void Detach();

  // A point in what was seen, to ask about what came after it.
  unsigned Mark() const;
  // The data of the value's last read since mark: a number in decimal, a text as
  // it is; false when the value was not read (or not found) since.
  bool LastReadSince(unsigned mark, const wchar_t* value, std::wstring& data) const;
  // The texts drawn since mark, in order.
  std::vector<std::wstring> DrawnSince(unsigned mark) const;

 private:
  std::wstring m_module;
};

// The data of a registry value as the probe reports it: a number in decimal, a
// text up to its first null; "" for other types or a damaged size.
std::wstring RegistryDataText(DWORD type, const BYTE* data, DWORD size);
