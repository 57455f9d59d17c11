#pragma once
// A message: its properties, body streams and recipient table.
#include "platform/cemapi/ObjectCore.h"

class CMessage : public CPropObject<IMessage> {
 public:
  explicit CMessage(ULONGLONG id);

  HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG, IMAPITable**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE OpenAttach(ULONG, LPCIID, ULONG, void**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID, ULONG, ULONG*, void**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG, ULONG_PTR, IMAPIProgress*, ULONG) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG flags, IMAPITable** table) override;
  HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG, void*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG) override { return MAPI_E_NO_SUPPORT; }
};
