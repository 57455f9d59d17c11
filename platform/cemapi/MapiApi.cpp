// The library's functions: start-up, logon, freeing what it hands out.
#include "platform/cemapi/NotifyCenter.h"
#include "platform/cemapi/Session.h"
#include "platform/cemapi/cemapi.h"

namespace {
LONG g_initCount = 0;
}

extern "C" {

HRESULT WINAPI MAPIInitialize(void*) {
  InterlockedIncrement(&g_initCount);
  return S_OK;
}

void WINAPI MAPIUninitialize() {
  LONG n = InterlockedDecrement(&g_initCount);
  if (n < 0) InterlockedIncrement(&g_initCount);
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR, LPWSTR, LPWSTR, ULONG, IMAPISession** session) {
  if (!session) return MAPI_E_INVALID_PARAMETER;
  *session = nullptr;
  // The device's logon asks nothing of MAPIInitialize (its documented answers have no
  // "not initialised"), and the options program's folder tree logs on without it.
  CSession* s = new (std::nothrow) CSession;
  if (!s) return MAPI_E_NOT_ENOUGH_MEMORY;
  *session = s;
  return S_OK;
}

ULONG WINAPI MAPIFreeBuffer(void* buffer) {
  if (buffer) LocalFree(buffer);
  return 0;
}

void WINAPI FreeProws(LPSRowSet rows) {
  if (!rows) return;
  for (ULONG i = 0; i < rows->cRows; ++i) MAPIFreeBuffer(rows->aRow[i].lpProps);
  MAPIFreeBuffer(rows);
}

void WINAPI CeMapiTestSetSynchronousNotify(BOOL synchronous) {
  CNotifyCenter::Instance().SetSynchronous(synchronous != FALSE);
}

}  // extern "C"
