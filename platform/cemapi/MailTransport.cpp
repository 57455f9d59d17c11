// A mail transport as a stand-in ("mailtransport.dll"): "OneStopFactory" makes a
// handler that does no mail work; it checks what the inbox hands it (the callback by
// its interface id, memory through the callback, the store's name) and appends what
// it was asked to "\Windows\mailtransport.log".
#include <windows.h>

#include <new>
#include <string>

#include "platform/cemapi/DeviceLog.h"
#include "platform/cemapi/cemapi.h"

namespace {

class CMailSyncHandler : public IMailSyncHandler {
 public:
  explicit CMailSyncHandler(const wchar_t* name) : name_(name ? name : L"") {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown) return E_NOINTERFACE;
    *out = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  HRESULT STDMETHODCALLTYPE Initialize(IMailSyncCallBack* callback, LPCWSTR profile, IMsgStore* store) override {
    if (!callback || !store) return E_INVALIDARG;
    IMailSyncCallBack* checked = nullptr;
    if (FAILED(callback->QueryInterface(IID_IMailSyncCallBack, reinterpret_cast<void**>(&checked))) || !checked)
      return E_INVALIDARG;
    LPBYTE block = nullptr;
    bool memory = SUCCEEDED(checked->AllocateMem(16, &block)) && block;
    if (memory) checked->FreeMem(block);
    checked->Release();
    std::wstring storeName;
    SizedSPropTagArray<1> tags = {1, {PR_DISPLAY_NAME_W}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    if (SUCCEEDED(store->GetProps(tags, MAPI_UNICODE, &count, &values)) && count == 1 &&
        values[0].ulPropTag == PR_DISPLAY_NAME_W)
      storeName = values[0].Value.lpszW;
    MAPIFreeBuffer(values);
    initialized_ = true;
    CDeviceLog::Append(L"mailtransport.log", L"Initialize transport=\"" + name_ + L"\" profile=\"" +
                                                 (profile ? profile : L"") + L"\" store=\"" + storeName +
                                                 L"\" memory=" + (memory ? L"yes" : L"no"));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE ShutDown(DWORD reserved) override {
    CDeviceLog::Append(L"mailtransport.log", L"ShutDown transport=\"" + name_ + L"\" reserved=" +
                                                 std::to_wstring(reserved) +
                                                 (initialized_ ? L"" : L" (not initialized)"));
    initialized_ = false;
    return S_OK;
  }

 private:
  virtual ~CMailSyncHandler() = default;
  LONG refs_ = 1;
  std::wstring name_;
  bool initialized_ = false;
};

}  // namespace

extern "C" HRESULT WINAPI OneStopFactory(LPCWSTR name, IMailSyncHandler** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!name || !*name) return E_INVALIDARG;
  CMailSyncHandler* handler = new (std::nothrow) CMailSyncHandler(name);
  if (!handler) return E_OUTOFMEMORY;
  *out = handler;
  return S_OK;
}
