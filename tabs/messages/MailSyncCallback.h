// The callback a mail transport gets while a message is deleted for good: it may
// show a box on the e-mail list's owner window and allocate memory; everything else
// it asks for is refused. Counted; deletes itself at the last Release.
#pragma once
#include <windows.h>

#include "platform/cemapi/cemapi.h"

class CMailSyncCallback : public IMailSyncCallBack {
 public:
  // One reference, the caller's.
  explicit CMailSyncCallback(HWND owner) : m_owner(owner) {}
  CMailSyncCallback(const CMailSyncCallback&) = delete;
  CMailSyncCallback& operator=(const CMailSyncCallback&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE RequestSync(LPCWSTR, DWORD) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE Progress(LPCWSTR, void*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetGlobalSetting(int, void*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE DisplayMessageBox(LPCWSTR text, LPCWSTR caption, UINT type, int* result) override;
  HRESULT STDMETHODCALLTYPE RequestCredentials(LPCWSTR, void*, UINT) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE LogEvent(void*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AllocateMem(DWORD size, LPBYTE* block) override;
  HRESULT STDMETHODCALLTYPE FreeMem(void* block) override;

 private:
  virtual ~CMailSyncCallback() = default;
  HWND m_owner;
  LONG m_refs = 1;
};
