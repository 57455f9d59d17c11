#include "tabs/messages/MimeCharset.h"

#include <windows.h>
#include <mlang.h>

namespace {

const CLSID kMultiLanguageClass = {0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
const IID kMultiLanguageInterface = {0x275C23E1, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
const UINT kFallbackCodePage = 1252;

UINT ResolveCharset(IMultiLanguage* language, const std::string& charset) {
  if (charset.empty()) return kFallbackCodePage;
  const int wide = MultiByteToWideChar(CP_ACP, 0, charset.data(), static_cast<int>(charset.size()), nullptr, 0);
  BSTR name = SysAllocStringLen(nullptr, wide);
  if (!name) return kFallbackCodePage;
  MultiByteToWideChar(CP_ACP, 0, charset.data(), static_cast<int>(charset.size()), name, wide);
  MIMECSETINFO info = {};
  const HRESULT hr = language->GetCharsetInfo(name, &info);
  SysFreeString(name);
  return SUCCEEDED(hr) && info.uiInternetEncoding ? info.uiInternetEncoding : kFallbackCodePage;
}

}  // namespace

bool ConvertMimeText(const std::string& charset, const char* bytes, int length, std::wstring& out) {
  out.clear();
  if (length <= 0) return true;
  IMultiLanguage* language = nullptr;
  if (FAILED(CoCreateInstance(kMultiLanguageClass, nullptr, CLSCTX_INPROC_SERVER, kMultiLanguageInterface,
                              reinterpret_cast<void**>(&language)))) {
    return false;
  }
  const UINT codePage = ResolveCharset(language, charset);
  DWORD mode = 0;
  UINT sourceSize = static_cast<UINT>(length);
  UINT size = 0;
  bool ok = SUCCEEDED(language->ConvertStringToUnicode(&mode, codePage, const_cast<CHAR*>(bytes), &sourceSize,
                                                         nullptr, &size));
  if (ok && size > 0) {
    out.resize(size);
    mode = 0;
    sourceSize = static_cast<UINT>(length);
    ok = SUCCEEDED(language->ConvertStringToUnicode(&mode, codePage, const_cast<CHAR*>(bytes), &sourceSize,
                                                     &out[0], &size));
    out.resize(ok ? size : 0);
  }
  language->Release();
  return ok;
}

std::string GetDeviceBodyCharset() {
  DWORD codePage = 1252;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"nls", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueExW(key, L"DefaultACP", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value)
      codePage = value;
    RegCloseKey(key);
  }
  std::string charset = "us-ascii";
  IMultiLanguage* language = nullptr;
  if (FAILED(CoCreateInstance(kMultiLanguageClass, nullptr, CLSCTX_INPROC_SERVER, kMultiLanguageInterface,
                              reinterpret_cast<void**>(&language))))
    return charset;
  MIMECPINFO info = {};
  if (SUCCEEDED(language->GetCodePageInfo(codePage, &info)) && info.wszBodyCharset[0]) {
    char name[MAX_MIMECSET_NAME + 1] = {};
    if (WideCharToMultiByte(CP_ACP, 0, info.wszBodyCharset, -1, name, sizeof name, nullptr, nullptr) > 1)
      charset = name;
  }
  language->Release();
  return charset;
}
