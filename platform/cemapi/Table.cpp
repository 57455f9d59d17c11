#include "platform/cemapi/Table.h"

#include "platform/cemapi/PropPack.h"

CTable::CTable(std::vector<PropRecordMap> rows, std::vector<ULONG> columns, bool unicode)
    : CUnknownImpl<IMAPITable>({&IID_IMAPITable}), rows_(std::move(rows)), columns_(std::move(columns)),
      unicode_(unicode) {}

HRESULT CTable::GetLastError(HRESULT, ULONG, void** error) {
  if (error) *error = nullptr;
  return MAPI_E_NO_SUPPORT;
}

HRESULT CTable::GetStatus(ULONG* status, ULONG* type) {
  if (status) *status = 0;  // TBLSTAT_COMPLETE
  if (type) *type = 1;      // TBLTYPE_SNAPSHOT
  return S_OK;
}

HRESULT CTable::SetColumns(LPSPropTagArray tags, ULONG) {
  if (!tags || tags->cValues == 0) return MAPI_E_INVALID_PARAMETER;
  columns_.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
  return S_OK;
}

HRESULT CTable::QueryColumns(ULONG, LPSPropTagArray* tags) {
  if (!tags) return MAPI_E_INVALID_PARAMETER;
  size_t bytes = sizeof(ULONG) * (columns_.size() + 1);
  LPSPropTagArray out = static_cast<LPSPropTagArray>(LocalAlloc(LPTR, bytes));
  if (!out) return MAPI_E_NOT_ENOUGH_MEMORY;
  out->cValues = static_cast<ULONG>(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) out->aulPropTag[i] = columns_[i];
  *tags = out;
  return S_OK;
}

HRESULT CTable::GetRowCount(ULONG, ULONG* count) {
  if (!count) return MAPI_E_INVALID_PARAMETER;
  *count = static_cast<ULONG>(rows_.size());
  return S_OK;
}

HRESULT CTable::SeekRow(ULONG origin, LONG rows, LONG* sought) {
  LONGLONG base;
  switch (origin) {
    case BOOKMARK_BEGINNING: base = 0; break;
    case BOOKMARK_CURRENT: base = static_cast<LONGLONG>(at_); break;
    case BOOKMARK_END: base = static_cast<LONGLONG>(rows_.size()); break;
    default: return MAPI_E_INVALID_PARAMETER;
  }
  LONGLONG to = base + rows;
  if (to < 0) to = 0;
  if (to > static_cast<LONGLONG>(rows_.size())) to = static_cast<LONGLONG>(rows_.size());
  if (sought) *sought = static_cast<LONG>(to - base);
  at_ = static_cast<size_t>(to);
  return S_OK;
}

HRESULT CTable::QueryPosition(ULONG* row, ULONG* numerator, ULONG* denominator) {
  if (row) *row = static_cast<ULONG>(at_);
  if (numerator) *numerator = static_cast<ULONG>(at_);
  if (denominator) *denominator = static_cast<ULONG>(rows_.size());
  return S_OK;
}

HRESULT CTable::QueryRows(LONG count, ULONG, LPSRowSet* rows) {
  if (!rows || count == 0) return MAPI_E_INVALID_PARAMETER;
  *rows = nullptr;
  if (count < 0) return MAPI_E_NO_SUPPORT;  // backwards reading is not offered
  size_t left = rows_.size() - at_;
  size_t n = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
  LPSRowSet set = static_cast<LPSRowSet>(LocalAlloc(LPTR, sizeof(SRowSet) + sizeof(SRow) * (n ? n : 1)));
  if (!set) return MAPI_E_NOT_ENOUGH_MEMORY;
  std::vector<ULONG> tagBlock(columns_.size() + 1);
  tagBlock[0] = static_cast<ULONG>(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) tagBlock[i + 1] = columns_[i];
  const SPropTagArray* tags = reinterpret_cast<const SPropTagArray*>(tagBlock.data());
  for (size_t i = 0; i < n; ++i) {
    bool errors = false;
    ULONG values = 0;
    LPSPropValue props = CPropPack::Select(rows_[at_ + i], tags, unicode_, values, errors);
    if (!props) {
      set->cRows = static_cast<ULONG>(i);
      FreeProws(set);
      return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    set->aRow[i].cValues = values;
    set->aRow[i].lpProps = props;
  }
  set->cRows = static_cast<ULONG>(n);
  at_ += n;
  *rows = set;
  return S_OK;
}

HRESULT CTable::WaitForCompletion(ULONG, ULONG, ULONG* status) {
  if (status) *status = 0;
  return S_OK;
}
