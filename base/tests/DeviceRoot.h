// The emulated device of this test program: its own root folder (CEDEVICE_ROOT, set
// before main and so before the first database call; test programs run side by side)
// and the switch between the classic store and the newer one.
#pragma once
#include <windows.h>

#include <string>

#include "base/CeDbApi.h"
#include "base/Platform.h"
#include "platform/coredll/DeviceSwitch.h"

std::wstring TestDeviceRoot();

// A Pocket PC of system version 4.21 (classic store) or 5.1 (newer store) for the
// lifetime of the object, with the newer-store flag set as start-up sets it.
class CStoreMode {
 public:
  explicit CStoreMode(bool newer) {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", newer ? L"5.1" : L"4.21");
    ResetPlatformTests();
    SetNewerStore(IsPocketPC());
  }
  ~CStoreMode() {
    ResetPlatformTests();
    SetNewerStore(FALSE);
  }
  CStoreMode(const CStoreMode&) = delete;
  CStoreMode& operator=(const CStoreMode&) = delete;

 private:
  CDeviceSwitch m_device;
};
