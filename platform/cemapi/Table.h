#pragma once
// A table of rows (stores, folders, messages or recipients), taken when the table is
// made; QueryRows gives the chosen columns in the order they were set.
#include <vector>

#include "platform/cemapi/ObjectCore.h"

class CTable : public CUnknownImpl<IMAPITable> {
 public:
  CTable(std::vector<PropRecordMap> rows, std::vector<ULONG> columns, bool unicode);

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** error) override;
  HRESULT STDMETHODCALLTYPE Advise(ULONG, IMAPIAdviseSink*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetStatus(ULONG* status, ULONG* type) override;
  HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray tags, ULONG flags) override;
  HRESULT STDMETHODCALLTYPE QueryColumns(ULONG flags, LPSPropTagArray* tags) override;
  HRESULT STDMETHODCALLTYPE GetRowCount(ULONG flags, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE SeekRow(ULONG origin, LONG rows, LONG* sought) override;
  HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE QueryPosition(ULONG* row, ULONG* numerator, ULONG* denominator) override;
  HRESULT STDMETHODCALLTYPE FindRow(void*, ULONG, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE Restrict(void*, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE CreateBookmark(ULONG*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE FreeBookmark(ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SortTable(void*, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE QuerySortOrder(void**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, LPSRowSet* rows) override;
  HRESULT STDMETHODCALLTYPE Abort() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG, ULONG, ULONG* status) override;
  HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG, ULONG, LPBYTE, ULONG*) override { return MAPI_E_NO_SUPPORT; }

 private:
  std::vector<PropRecordMap> rows_;
  std::vector<ULONG> columns_;
  bool unicode_;
  size_t at_ = 0;
};
