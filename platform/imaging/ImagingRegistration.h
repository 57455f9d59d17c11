#pragma once
// On the device the imaging factory is always registered. Here a program (a
// test, a tool, the Today host) makes it findable by CoCreateInstance for its own
// process only: this object loads imaging.dll from beside the program and
// registers its class object until destroyed. Nothing is written to the
// registry. Create it after CoInitializeEx and destroy it before CoUninitialize.
#include "platform/imaging/imaging.h"

class CImagingRegistration {
 public:
  CImagingRegistration() {
    // Kept loaded for the rest of the process: objects made from it may outlive the registration.
    HMODULE module = LoadLibraryW(L"imaging.dll");
    if (!module) return;
    typedef HRESULT(WINAPI * GetClassObject)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    IUnknown* classObject = nullptr;
    if (!get || FAILED(get(CLSID_ImagingFactory, IID_IUnknown, reinterpret_cast<void**>(&classObject)))) return;
    if (FAILED(CoRegisterClassObject(CLSID_ImagingFactory, classObject, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                     &m_cookie)))
      m_cookie = 0;
    classObject->Release();
  }
  ~CImagingRegistration() {
    if (m_cookie) CoRevokeClassObject(m_cookie);
  }
  CImagingRegistration(const CImagingRegistration&) = delete;
  CImagingRegistration& operator=(const CImagingRegistration&) = delete;

  bool IsRegistered() const { return m_cookie != 0; }

 private:
  DWORD m_cookie = 0;
};
