// The server's entry points: the class object of the application, registration in
// HKEY_CLASSES_ROOT, and the item card and beaming records for tests.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "platform/pimstore/ItemCard.h"
#include "platform/pimstore/PimApp.h"
#include "platform/pimstore/PimFolder.h"
#include "platform/pimstore/pimstore.h"

namespace {

LONG g_locks = 0;
HINSTANCE g_module = nullptr;

class CAppFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // One static object: counting does nothing.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* app = new CPimApp();
    HRESULT hr = app->QueryInterface(iid, out);
    app->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&g_locks);
    else InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

CAppFactory g_factory;

const wchar_t kClassKey[] = L"CLSID\\{05058F23-20BE-11D2-8F18-0000F87A4335}";

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_Application) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

// Objects keep the module: it stays loaded for the process.
extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (!n || n >= MAX_PATH) return E_FAIL;
  std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  // Callers use both apartment kinds: "Both" spares them marshalling.
  static const wchar_t kBoth[] = L"Both";
  LONG a = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), (n + 1) * sizeof(wchar_t));
  LONG b = RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(kBoth), sizeof kBoth);
  RegCloseKey(key);
  if (a != ERROR_SUCCESS || b != ERROR_SUCCESS) return SELFREG_E_CLASS;
  // Installed, the object model's tables exist before any program asks for them.
  CPimStore store;
  store.EnsureNamedPropertyTables();
  return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  LONG r = RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
  return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

extern "C" void WINAPI PimCardSetAutoClose(DWORD ms) { CItemCard::SetAutoClose(ms); }
extern "C" DWORD WINAPI PimCardTakeRequests(PimCardRequest* requests, DWORD max) {
  return CItemCard::TakeRequests(requests, max);
}
extern "C" DWORD WINAPI PimInfraredSentCount() { return CPimFolder::SentCount(); }
