#include "tabs/messages/MailSyncCallback.h"

#include "panel/PanelPrompt.h"

HRESULT CMailSyncCallback::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (riid != IID_IUnknown && riid != IID_IMailSyncCallBack) return E_NOINTERFACE;
  *out = static_cast<IMailSyncCallBack*>(this);
  AddRef();
  return S_OK;
}

ULONG CMailSyncCallback::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

ULONG CMailSyncCallback::Release() {
  const LONG left = InterlockedDecrement(&m_refs);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT CMailSyncCallback::DisplayMessageBox(LPCWSTR text, LPCWSTR caption, UINT type, int* result) {
  const int answer = ShowPanelMessage(m_owner, text, caption, type);
  if (result) *result = answer;
  return S_OK;
}

HRESULT CMailSyncCallback::AllocateMem(DWORD size, LPBYTE* block) {
  if (!block) return E_INVALIDARG;
  *block = static_cast<LPBYTE>(LocalAlloc(0, size));
  return *block ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMailSyncCallback::FreeMem(void* block) {
  LocalFree(block);
  return S_OK;
}
