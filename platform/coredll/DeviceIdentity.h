// Who the emulated device is: platform type, system version, screen dpi and size, clock and
// the host folder that stands for its "\". One place answers for every stand-in
// (coredll's platform answers, the database store, the Today host).
//
// Each setting is looked up, at every query, in this order:
//   1. the environment variable CEDEVICE_<NAME> (name in capitals): per process, so
//      a test switches the device without touching other programs running beside it;
//   2. the value <Name> under HKEY_CURRENT_USER\Software\CeDevice (or under the key
//      the environment variable CEDEVICE_KEY names): the device a host sets up;
//   3. the default.
//
//   value          type               default      meaning
//   "PlatformType" REG_SZ             "PocketPC"   SystemParametersInfoW(SPI_GETPLATFORMTYPE)
//   "Version"      REG_SZ             "5.1"        "major.minor[.build]" for GetVersionExW
//   "Dpi"          REG_DWORD/REG_SZ   (display's)  GetDeviceCaps LOGPIXELSX/LOGPIXELSY
//   "Clock"        REG_SZ             (real time)  "YYYY-MM-DD HH:MM:SS", local; the clock stands there
//   "Root"         REG_SZ             "C:\"        host folder of the device's "\"
//   "Screen"       REG_SZ             (see below)  "WIDTHxHEIGHT" in pixels, as the screen stands now
//   "TimeZone"     REG_SZ             (host's)     a zone's key name in the zone list (kZoneListPath,
//                                                  "W. Europe Standard Time"): the device's zone and clock changes
//
// Without a "Screen" the device has the common portrait screen of 240x320 pixels at
// 96 dpi, grown with the dpi (480x640 at 192): a screen and its dpi go together.
//
// An environment variable that is set but empty counts as set: an empty
// "PlatformType" is a device without one; an empty "Clock", "Dpi" or "TimeZone" is no
// override, and so is a zone name the zone list does not hold.
#pragma once
#include <windows.h>

#include <cwchar>
#include <string>

class CDeviceIdentity {
 public:
  static constexpr const wchar_t* kKeyPath = L"Software\\CeDevice";

  // The setting as text, or false when neither the environment nor the key has it.
  static bool Read(const wchar_t* name, std::wstring& value) {
    std::wstring var = L"CEDEVICE_";
    for (const wchar_t* c = name; *c; ++c) var += static_cast<wchar_t>(towupper(*c));
    if (ReadEnvironment(var.c_str(), value)) return true;

    std::wstring key;
    if (!ReadEnvironment(L"CEDEVICE_KEY", key) || key.empty()) key = kKeyPath;
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS) return false;
    bool found = false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(hkey, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        found = RegQueryValueExW(hkey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) ==
                ERROR_SUCCESS;
        if (found) value = std::to_wstring(number);
      } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        found = RegQueryValueExW(hkey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&text[0]), &bytes) ==
                ERROR_SUCCESS;
        if (found) value.assign(text.c_str());
      }
    }
    RegCloseKey(hkey);
    return found;
  }

  static std::wstring PlatformType() {
    std::wstring value;
    return Read(L"PlatformType", value) ? value : L"PocketPC";
  }

  // "major.minor[.build]"; a malformed setting gives the default.
  static void Version(DWORD& major, DWORD& minor, DWORD& build) {
    major = 5;
    minor = 1;
    build = 0;
    std::wstring value;
    if (!Read(L"Version", value)) return;
    unsigned a = 0, b = 0, c = 0;
    int n = swscanf(value.c_str(), L"%u.%u.%u", &a, &b, &c);
    if (n < 2) return;
    major = a;
    minor = b;
    build = n == 3 ? c : 0;
  }

  // False when the display's own dpi stands.
  static bool Dpi(int& dpi) {
    std::wstring value;
    if (!Read(L"Dpi", value)) return false;
    int n = _wtoi(value.c_str());
    if (n <= 0) return false;
    dpi = n;
    return true;
  }

  // The screen's size in pixels as it stands (a rotated screen has width and height
  // swapped); a malformed or absurd setting gives the default.
  static void Screen(int& width, int& height) {
    int dpi = 96;
    Dpi(dpi);
    width = MulDiv(240, dpi, 96);
    height = MulDiv(320, dpi, 96);
    std::wstring value;
    unsigned w = 0, h = 0;
    wchar_t rest = 0;
    if (!Read(L"Screen", value) || swscanf(value.c_str(), L"%ux%u%lc", &w, &h, &rest) != 2) return;
    if (w < kMinScreen || h < kMinScreen || w > kMaxScreen || h > kMaxScreen) return;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
  }
  static constexpr unsigned kMinScreen = 16, kMaxScreen = 4096;

  // Changes a setting where it is read from: the environment variable when the
  // process has its own device (a test), else the device's key, which every program
  // on the device reads. local tells which.
  static bool Write(const wchar_t* name, const std::wstring& value, bool& local) {
    std::wstring var = L"CEDEVICE_";
    for (const wchar_t* c = name; *c; ++c) var += static_cast<wchar_t>(towupper(*c));
    std::wstring ignored;
    local = ReadEnvironment(var.c_str(), ignored);
    if (local) return SetEnvironmentVariableW(var.c_str(), value.c_str()) != FALSE;
    std::wstring key;
    if (!ReadEnvironment(L"CEDEVICE_KEY", key) || key.empty()) key = kKeyPath;
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  // False when the real clock runs.
  static bool Clock(SYSTEMTIME& local) {
    std::wstring value;
    if (!Read(L"Clock", value)) return false;
    unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (swscanf(value.c_str(), L"%u-%u-%u %u:%u:%u", &y, &mo, &d, &h, &mi, &s) != 6) return false;
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    t.wSecond = static_cast<WORD>(s);
    FILETIME ft;
    if (!SystemTimeToFileTime(&t, &ft) || !FileTimeToSystemTime(&ft, &local)) return false;  // also fills the weekday
    return true;
  }

  // False when the host's zone stands. The zone list's "TZI" value is Bias, StandardBias,
  // DaylightBias, then the two change rules, as TIME_ZONE_INFORMATION keeps them.
  static bool TimeZone(TIME_ZONE_INFORMATION& zone) {
    std::wstring name;
    if (!Read(L"TimeZone", name) || name.empty() || name.size() > 128 || name.find(L'\\') != std::wstring::npos)
      return false;
    const std::wstring path = std::wstring(kZoneListPath) + L"\\" + name;
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS) return false;
    struct {
      LONG bias, standardBias, daylightBias;
      SYSTEMTIME standardDate, daylightDate;
    } tzi = {};
    static_assert(sizeof tzi == 44, "the zone list's rule record");
    DWORD type = 0, size = sizeof tzi;
    bool found = RegQueryValueExW(hkey, L"TZI", nullptr, &type, reinterpret_cast<BYTE*>(&tzi), &size) ==
                     ERROR_SUCCESS &&
                 type == REG_BINARY && size == sizeof tzi && ValidRule(tzi.standardDate) &&
                 ValidRule(tzi.daylightDate) && (tzi.standardDate.wMonth == 0) == (tzi.daylightDate.wMonth == 0) &&
                 ValidBias(tzi.bias) && ValidBias(tzi.standardBias) && ValidBias(tzi.daylightBias);
    if (found) {
      zone = TIME_ZONE_INFORMATION{};
      zone.Bias = tzi.bias;
      zone.StandardBias = tzi.standardBias;
      zone.DaylightBias = tzi.daylightBias;
      zone.StandardDate = tzi.standardDate;
      zone.DaylightDate = tzi.daylightDate;
      ReadZoneName(hkey, L"Std", zone.StandardName);
      ReadZoneName(hkey, L"Dlt", zone.DaylightName);
    }
    RegCloseKey(hkey);
    return found;
  }
  static constexpr const wchar_t* kZoneListPath = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

  // The host folder that stands for the device's "\", without a trailing backslash
  // unless it is a drive root ("C:\").
  static std::wstring Root() {
    std::wstring value;
    if (!Read(L"Root", value) || value.empty()) value = L"C:\\";
    while (value.size() > 3 && (value.back() == L'\\' || value.back() == L'/')) value.pop_back();
    if (value.size() == 2 && value[1] == L':') value += L'\\';
    return value;
  }

 private:
  // A change rule: none (month 0), or a month, a week 1-5 of it (or, with a year, a day)
  // and a time of day. Anything else leaves the zone list's entry unused.
  static bool ValidRule(const SYSTEMTIME& rule) {
    if (rule.wMonth == 0) return true;
    return rule.wMonth <= 12 && rule.wDayOfWeek <= 6 && rule.wDay >= 1 && rule.wDay <= (rule.wYear ? 31 : 5) &&
           rule.wHour <= 23 && rule.wMinute <= 59 && rule.wSecond <= 59 && rule.wMilliseconds <= 999;
  }
  // Zones lie within a day of UTC, and so do their daylight shifts.
  static bool ValidBias(LONG minutes) { return minutes > -1440 && minutes < 1440; }

  static void ReadZoneName(HKEY hkey, const wchar_t* value, WCHAR (&name)[32]) {
    WCHAR text[64] = {};
    DWORD type = 0, size = sizeof text - sizeof(WCHAR);
    if (RegQueryValueExW(hkey, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
      return;
    lstrcpynW(name, text, 32);
  }

  static bool ReadEnvironment(const wchar_t* var, std::wstring& value) {
    SetLastError(ERROR_SUCCESS);
    DWORD n = GetEnvironmentVariableW(var, nullptr, 0);
    if (n == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value.clear();
      return true;
    }
    std::wstring text(n, L'\0');
    DWORD got = GetEnvironmentVariableW(var, &text[0], n);
    if (got >= n) return false;
    text.resize(got);
    value = text;
    return true;
  }
};
