#pragma once
// A folder: its properties, its contents and hierarchy tables, and moving, copying and
// deleting its messages. A moved message keeps its entry id.
#include <initializer_list>

#include "platform/cemapi/ObjectCore.h"

class CFolder : public CPropObject<IMAPIFolder> {
 public:
  explicit CFolder(ULONGLONG id);

  HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG flags, IMAPITable** table) override;
  HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG flags, IMAPITable** table) override;
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG flags, ULONG* type,
                                      IUnknown** out) override;
  HRESULT STDMETHODCALLTYPE SetSearchCriteria(void*, LPENTRYLIST, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG, void**, LPENTRYLIST*, ULONG*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID, ULONG, IMessage**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST list, LPCIID iid, void* destination, ULONG_PTR ui,
                                         IMAPIProgress* progress, ULONG flags) override;
  HRESULT STDMETHODCALLTYPE DeleteMessages(LPENTRYLIST list, ULONG_PTR ui, IMAPIProgress* progress,
                                           ULONG flags) override;
  HRESULT STDMETHODCALLTYPE CreateFolder(ULONG, LPWSTR, LPWSTR, LPCIID, ULONG, IMAPIFolder**) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CopyFolder(ULONG, LPENTRYID, LPCIID, void*, LPWSTR, ULONG_PTR, IMAPIProgress*,
                                       ULONG) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE DeleteFolder(ULONG, LPENTRYID, ULONG_PTR, IMAPIProgress*, ULONG) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetReadFlags(LPENTRYLIST, ULONG_PTR, IMAPIProgress*, ULONG) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG, ULONG*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SaveContentsSort(void*, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE EmptyFolder(ULONG_PTR, IMAPIProgress*, ULONG) override { return MAPI_E_NO_SUPPORT; }
 private:
  template <typename Collect>
  HRESULT MakeTable(ULONG flags, std::initializer_list<ULONG> columns, IMAPITable** table, Collect collect);
};
