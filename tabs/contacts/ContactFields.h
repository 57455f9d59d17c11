// The ten communication fields of a contact: their property in each store layout, the
// label text that names them in menus and the row icon of their kind.
#pragma once
#include <windows.h>

#include "platform/coredll/cedb.h"

const int kContactFieldCount = 10;

// The zero-terminated identifiers of the current layout (the newer-store flag).
const CEPROPID* GetContactFieldTable();
const CEPROPID* GetContactFieldTable(BOOL newer);
// A stored default-field value (a property identifier): its index, -1 when it is not
// one of the ten.
int ContactFieldIndex(const CEPROPID* table, CEPROPID id);
// Label text identifier of field 0-9 (31-40); 0 outside.
UINT ContactFieldLabelId(int field);
// Row icon of a default field: 0-1 -> 10, 2-3 -> 8, 4-7 -> 9, 9 -> 11, 8 or none -> 12.
int ContactFieldIcon(int field);
